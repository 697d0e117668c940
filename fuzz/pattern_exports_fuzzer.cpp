// The exports of the loaded module, with our bregexp.dll beside it, driven
// by random sequences of calls: patterns of every operator kind with random
// bodies and flags, random subjects and split limits, null and unreadable
// pointers and texts that run into a no-access page, interleaved with the cursor, extraction, message and version
// calls. Besides the sanitizers' own checks, every call is held to what a
// host relies on:
//  - every returned text is zero-terminated and stays valid and unchanged
//    until the next call that hands a text over (the calls that make no
//    hand-off leave the previous text alone);
//  - positions lie inside the subject, a split's pieces are walked exactly
//    once each, and cutting by a position gives exactly those bytes;
//  - the version texts are stable.
// The module stays loaded for the whole run, so its cache grows with every
// distinct pattern, as it does in a host; scripts/fuzz runs it in rounds.
// Unloading is the long session's business (Valgrind), not this target's.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "process_memory.h"
#include "host_module.h"
#include "position_model.h"

namespace {

HostModule* module = nullptr;

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "pattern exports: %s: %s\n", what, detail.c_str());
    std::abort();
}

// The same bytes without their terminator, at the end of a readable page
// that a no-access page follows; the page's last byte is always 'a', so the
// text is never empty. Texts placed here overwrite each other, and none of
// them has a zero byte.
const char* IntoNoAccessPage(const std::string& bytes) {
    static char* const pages = [] {
        char* guarded = GuardedPages();
        if (guarded == nullptr) Fail("start", "no guarded pages");
        guarded[PageSize() - 1] = 'a';
        return guarded;
    }();
    char* text = pages + PageSize() - 1 - bytes.size();
    std::memcpy(text, bytes.data(), bytes.size());
    return text;
}

// A text handed to the module: its bytes (up to the first zero byte), or a
// null or unreadable pointer, or the bytes running into a no-access page,
// all of which the module reads as "".
struct HostText {
    std::string bytes;
    const char* pointer = nullptr;
    void Point(int kind) {
        pointer = kind == 0   ? nullptr
                  : kind == 1 ? NoAccessPage()
                  : kind == 2 ? IntoNoAccessPage(bytes)
                              : bytes.c_str();
    }
    std::string Seen() const { return pointer == bytes.c_str() ? bytes : std::string(); }
};

std::string Cut(const std::string& text) { return text.substr(0, text.find('\0')); }

std::string TakeFlags(FuzzedDataProvider& input) {
    static const char kFlags[] = "gimsxkucdro";
    std::string flags;
    const int count = input.ConsumeIntegralInRange<int>(0, 3);
    for (int i = 0; i < count; ++i) flags += kFlags[input.ConsumeIntegralInRange<std::size_t>(0, sizeof kFlags - 2)];
    return flags;
}

// Operator texts of every kind, mostly well formed so the engines get to
// run, sometimes raw bytes.
std::string TakePattern(FuzzedDataProvider& input) {
    static const char* const kDelimiters[] = {"/", "#", "!", "{", "(", ","};
    const int shape = input.ConsumeIntegralInRange<int>(0, 7);
    if (shape == 0) return Cut(input.ConsumeRandomLengthString(40));
    const std::string open = kDelimiters[input.ConsumeIntegralInRange<std::size_t>(0, 5)];
    const std::string close = open == "{" ? "}" : open == "(" ? ")" : open;
    const std::string middle = open == close ? open : close + open;
    const std::string first = Cut(input.ConsumeRandomLengthString(24));
    switch (shape) {
    case 1: return "/" + first + "/" + TakeFlags(input);
    case 2: return "m" + open + first + close + TakeFlags(input);
    case 3:
    case 4: return "s" + open + first + middle + Cut(input.ConsumeRandomLengthString(16)) + close + TakeFlags(input);
    case 5: return "tr" + open + first + middle + Cut(input.ConsumeRandomLengthString(16)) + close + TakeFlags(input);
    case 6: return "y/" + first + "/" + Cut(input.ConsumeRandomLengthString(16)) + "/" + TakeFlags(input);
    default: return "m/" + first + "/k";
    }
}

class Session {
public:
    // The module keeps its last subject and result set from the previous
    // input; a match with nothing to match starts every input from "".
    explicit Session(HostModule& loaded) : m(loaded) {
        if (m.MOLV_MATCH(nullptr, nullptr)[0] != 0) Fail("MOLV_MATCH", "a match without pattern");
    }

    void Step(FuzzedDataProvider& input) {
        CheckLastText();
        switch (input.ConsumeIntegralInRange<int>(0, 11)) {
        case 0:
        case 1: Match(input); break;
        case 2: TextOperation(input, m.MOLV_SUBST); break;
        case 3: TextOperation(input, m.MOLV_TRANS); break;
        case 4:
        case 5: Split(input); break;
        case 6:
        case 7: Walk(input.ConsumeIntegralInRange<int>(1, 4)); break;
        case 8: PosToStr(input); break;
        case 9: Handed(m.MOLV_ERRORMSG(), "MOLV_ERRORMSG", 79); break;
        case 10: Version(); break;
        case 11: MolvwVersion(); break;
        }
        CheckLastText();
    }

private:
    void Subject(FuzzedDataProvider& input, HostText& subject) {
        subject.bytes = Cut(input.ConsumeRandomLengthString(200));
        subject.Point(input.ConsumeIntegralInRange<int>(0, 15));
    }

    void PatternText(FuzzedDataProvider& input, HostText& pattern) {
        pattern.bytes = TakePattern(input);
        pattern.Point(input.ConsumeIntegralInRange<int>(0, 31));
    }

    // A text the module handed over: zero-terminated, not longer than
    // `longest`, and kept to be compared until the next hand-off.
    const char* Handed(const char* text, const char* call, std::size_t longest = std::string::npos) {
        if (text == nullptr) Fail(call, "returned null");
        const std::size_t length = std::strlen(text);
        if (length > longest) Fail(call, "text too long: " + std::string(text));
        lastText = text;
        lastCopy.assign(text, length);
        return text;
    }

    void CheckLastText() const {
        if (lastText != nullptr && (std::strlen(lastText) != lastCopy.size() ||
                                    std::memcmp(lastText, lastCopy.data(), lastCopy.size()) != 0)) {
            Fail("a returned text changed before the next hand-off", lastCopy);
        }
    }

    void CheckPosition(const char* call, const std::string& text) const {
        const std::int32_t position = model::ParsePosition(text);
        if (position == model::kNoPosition || model::FormatPosition(position) != text) {
            Fail(call, "not a position text: " + text);
        }
        if (model::Offset(position) + model::Length(position) > lastSubject.size()) {
            Fail(call, "position " + text + " outside a subject of " + std::to_string(lastSubject.size()));
        }
    }

    void Match(FuzzedDataProvider& input) {
        HostText pattern, subject;
        PatternText(input, pattern);
        Subject(input, subject);
        const std::string whole = Handed(m.MOLV_MATCH(pattern.pointer, subject.pointer), "MOLV_MATCH");
        lastSubject = subject.Seen();
        if (whole.empty()) {
            piecesLeft = 0;
        } else {
            CheckPosition("MOLV_MATCH", whole);
            piecesLeft = kUnknownCount;
        }
    }

    void TextOperation(FuzzedDataProvider& input, const char* (*operation)(const char*, const char*)) {
        HostText pattern, subject;
        PatternText(input, pattern);
        Subject(input, subject);
        Handed(operation(pattern.pointer, subject.pointer), "MOLV_SUBST or MOLV_TRANS");
    }

    void Split(FuzzedDataProvider& input) {
        HostText pattern, subject;
        PatternText(input, pattern);
        Subject(input, subject);
        const int limit = input.ConsumeBool() ? input.ConsumeIntegralInRange<int>(-2, 6)
                                              : input.ConsumeIntegral<int>();
        const int pieces = m.MOLV_SPLIT(pattern.pointer, subject.pointer, limit);
        lastSubject = subject.Seen();
        if (pieces < -1) Fail("MOLV_SPLIT", "count " + std::to_string(pieces));
        piecesLeft = pieces > 0 ? pieces : 0;
        if (input.ConsumeBool()) Walk(pieces + 1);
    }

    // Splits walk every piece exactly once; a match's groups may be idle.
    void Walk(int steps) {
        for (int step = 0; step < steps; ++step) {
            const int more = m.MOLV_HASMORERESULTS();
            CheckLastText();
            if (more != 0 && more != 1) Fail("MOLV_HASMORERESULTS", std::to_string(more));
            if (piecesLeft != kUnknownCount && more != (piecesLeft > 0 ? 1 : 0)) {
                Fail("MOLV_HASMORERESULTS", "disagrees with the pieces left");
            }
            const std::string next = Handed(m.MOLV_GETNEXT(), "MOLV_GETNEXT");
            if (more == 0 && !next.empty()) Fail("MOLV_GETNEXT", "a position after the last one");
            if (piecesLeft != kUnknownCount && more == 1 && next.empty()) Fail("MOLV_GETNEXT", "a piece without position");
            if (!next.empty()) {
                CheckPosition("MOLV_GETNEXT", next);
                CheckCut(next);
            }
            if (piecesLeft > 0) --piecesLeft;
            if (more == 0) piecesLeft = 0;
        }
    }

    // Cutting by a position the module handed out, from a copy the host made.
    void CheckCut(const std::string& position) {
        const std::string piece = Handed(m.MOLV_POSTOSTR(position.c_str()), "MOLV_POSTOSTR");
        const std::int32_t value = model::ParsePosition(position);
        const std::string wanted = lastSubject.substr(model::Offset(value), model::Length(value));
        if (piece != wanted) Fail("MOLV_POSTOSTR", position + " gave \"" + piece + "\"");
    }

    void PosToStr(FuzzedDataProvider& input) {
        HostText position;
        position.bytes = input.ConsumeBool() ? std::to_string(input.ConsumeIntegralInRange<int>(-2, 220)) + ":" +
                                                   std::to_string(input.ConsumeIntegralInRange<int>(-2, 220))
                                             : Cut(input.ConsumeRandomLengthString(16));
        position.Point(input.ConsumeIntegralInRange<int>(0, 15));
        const std::int32_t value = model::ParsePosition(position.Seen());
        const char* piece = m.MOLV_POSTOSTR(position.pointer);
        if (value == model::kNoPosition) {
            // No hand-off: the previous text must still be there.
            if (piece == nullptr || piece[0] != 0) Fail("MOLV_POSTOSTR", "text for no position");
            return;
        }
        Handed(piece, "MOLV_POSTOSTR");
        const std::uint32_t offset = model::Offset(value);
        const std::string wanted = offset >= lastSubject.size() ? std::string()
                                                                : lastSubject.substr(offset, model::Length(value));
        if (wanted != piece) Fail("MOLV_POSTOSTR", position.bytes + " gave \"" + piece + "\"");
    }

    void Version() {
        const char* version = Handed(m.MOLV_VERSION(), "MOLV_VERSION");
        if (versionText == nullptr) {
            versionText = version;
            versionCopy = version;
            if (versionCopy.empty()) Fail("MOLV_VERSION", "empty");
        }
        if (version != versionText || versionCopy != version) Fail("MOLV_VERSION", "moved or changed");
    }

    void MolvwVersion() const {
        static const char* const first = m.MOLV_MOLVWVERSION();
        const char* version = m.MOLV_MOLVWVERSION();
        if (version != first || std::strcmp(version, MOLV_WRAP_VERSION) != 0) Fail("MOLV_MOLVWVERSION", version);
    }

    static constexpr int kUnknownCount = -1;

    HostModule& m;
    const char* lastText = nullptr;
    std::string lastCopy;
    std::string lastSubject;
    int piecesLeft = 0;
    static const char* versionText;
    static std::string versionCopy;
};

const char* Session::versionText = nullptr;
std::string Session::versionCopy;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    module = new HostModule();
    const std::string path = ModuleBesideProgram();
    if (!module->Loaded()) Fail("start", "cannot load " + path);
    // Our own reference on the library the module loaded: its coverage
    // counters stay mapped until the process is gone, and the records and
    // tables it keeps are still reachable when the leak check runs at exit,
    // after the module's detach.
    if (platform::LoadLibraryA((path.substr(0, path.rfind('/') + 1) + "bregexp.dll").c_str()) == nullptr) {
        Fail("start", "cannot load bregexp.dll beside the module");
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    Session session(*module);
    while (input.remaining_bytes() > 0) session.Step(input);
    return 0;
}
