// A binding built on the recording double, with the platform's library calls
// watched: which names were looked up, and whether (and when, relative to
// the double's own log) the library was released.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "double_control.h"
#include "engine/engine_binding.h"

struct WatchedLibraryCalls {
    std::vector<std::string> lookups;
    int loads = 0;
    int releases = 0;
    std::string logAtRelease;   // the double's log when the library was released
    bool failLoad = false;
};

class BindingTest : public ::testing::Test {
public:
    static WatchedLibraryCalls watched;

protected:
    void SetUp() override;
    void TearDown() override;

    // Builds a binding on the double of that variant.
    std::unique_ptr<EngineBinding> Bind(const std::string& variant = "full");
    // The double's log lines that start with `prefix`.
    std::vector<std::string> LogLines(const std::string& prefix) const;

    DoubleControl control{DoublePath("full")};
    // The calling thread's texts and positions, as the exports keep them.
    ThreadState thread;
};

// A text the binding operations take, as an export hands it in.
inline TextSpan Text(const char* text) { return HostText(text); }
// A text the binding answered, copied before the next operation.
inline std::string Copy(TextSpan text) { return std::string(text.text, text.length); }
