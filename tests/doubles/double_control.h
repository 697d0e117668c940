// The test double of the outside library: what a test scripts into it, and a
// handle that loads the double beside the code under test and reads its log.
// The log lives in the double, so it can be read after the module unloaded.
#pragma once

#include <string>

#include "platform/platform.h"

extern "C" {

enum { kDoubleMaxPairs = 64 };

// One scripted answer. Calls take queued replies in order; with none queued
// a call answers 0, leaves a record and an empty message.
struct DoubleReply {
    int rc;
    int leaveRecord;          // a call that got no record leaves a new one
    const char* message;      // copied into the caller's message buffer
    int pairCount;            // start/end pairs: the match and its groups, or pieces
    long long pairs[2 * kDoubleMaxPairs];   // offsets from the subject start; -1: null
    const char* output;       // outputText of the record
};

typedef void (*DoubleResetFunction)();
typedef void (*DoubleQueueFunction)(const DoubleReply* reply);
typedef void (*DoubleSetVersionFunction)(const char* text, int returnNull);
typedef const char* (*DoubleLogFunction)();
}

class DoubleControl {
public:
    // Loads the double at `path` (the same file the module loads).
    explicit DoubleControl(const std::string& path);
    ~DoubleControl();
    DoubleControl(const DoubleControl&) = delete;
    DoubleControl& operator=(const DoubleControl&) = delete;

    bool Loaded() const { return library != nullptr; }
    void Reset() const { reset(); }
    void Queue(const DoubleReply& reply) const { queue(&reply); }
    void SetVersion(const char* text) const { setVersion(text, text == nullptr); }
    std::string Log() const { return log(); }

private:
    platform::ModuleHandle library;
    DoubleResetFunction reset = nullptr;
    DoubleQueueFunction queue = nullptr;
    DoubleSetVersionFunction setVersion = nullptr;
    DoubleLogFunction log = nullptr;
};

// Reply builders for the common cases.
DoubleReply Answer(int rc, const char* message = "");
DoubleReply WithPairs(DoubleReply reply, std::initializer_list<long long> offsets);
DoubleReply WithOutput(DoubleReply reply, const char* output);
DoubleReply WithoutRecord(DoubleReply reply);

// Where the build put each variant of the double and the module copies.
std::string DoublePath(const std::string& variant);
