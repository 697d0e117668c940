// The module's cost on 32-bit Windows, measured in one process the way a
// host uses it: MOLV_Wrap.dll loaded by path and its exports looked up by
// name, against the very bregexp.dll it loaded, called directly with a
// cached record (compiled once, then called without a pattern text). Rows:
//   LibraryMatch, Match, Stack   the library's match; MOLV_MATCH with the
//                                texts in the host's heap; the same with
//                                them on the calling thread's stack
//   LibrarySplit, Split          the library's split /\s+/ and MOLV_SPLIT
//                                (heap texts)
//   LibrarySubst, Subst          the library's substitution and MOLV_SUBST
//                                s/(\d+)-(\d+)/$2-$1/
// each on the 60-byte and 1 KiB subjects of module_bench's PCRE2 rows; and
//   LibraryFallback, Fallback    the library's match and MOLV_MATCH (heap
//                                texts) on module_bench's long texts that
//                                PCRE2's JIT gives up on, one call a round
// Every answer is checked once before its row is timed; a row's figure is
// the median of its rounds. Prints JSON for module_table.pl.
// Usage: windows_bench [--help]
#include <algorithm>
#include <chrono>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "bench_texts.h"
#include "bregexp_library.h"
#include "host_module.h"
#include "platform/platform.h"

namespace {

// On Windows steady_clock reads QueryPerformanceCounter.
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 9;
const char kSplitOperator[] = "/\\s+/";
const char kSubstOperator[] = "s/(\\d+)-(\\d+)/$2-$1/";

// A round of about the same length for both sizes.
long CallsPerRound(std::size_t size) { return size <= 60 ? 200000 : 20000; }

// Keeps the answers read, so no call can be left out.
volatile char sink;

// Nanoseconds per call, the median of the rounds; one round first warms
// caches and clock up, untimed.
template <typename Call>
double MedianNs(long calls, Call call) {
    std::vector<double> perCall;
    for (int round = -1; round < kRounds; ++round) {
        const Clock::time_point start = Clock::now();
        for (long i = 0; i < calls; ++i) call();
        const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        if (round >= 0) perCall.push_back(ns / static_cast<double>(calls));
    }
    std::sort(perCall.begin(), perCall.end());
    return perCall[perCall.size() / 2];
}


// What each call must answer on a subject.
struct Expected {
    std::string position;   // of the whole match
    int pieces;             // of the split
    std::string substituted;
};

Expected ExpectedOf(const std::string& subject) {
    const std::size_t at = subject.rfind("12-345");
    std::istringstream words(subject);
    std::string word;
    int pieces = 0;
    while (words >> word) ++pieces;
    std::string substituted = subject;
    substituted.replace(at, 6, "345-12");
    return {std::to_string(at) + ":6", pieces, substituted};
}

// The position text MOLV_MATCH answers for a record's match: offset and
// length, each modulo 65536.
std::string PositionOf(const bregexp& record, const char* subject) {
    const auto offset = static_cast<unsigned long>(record.groupStarts[0] - subject);
    const auto length = static_cast<unsigned long>(record.groupEnds[0] - record.groupStarts[0]);
    return std::to_string(offset % 65536) + ":" + std::to_string(length % 65536);
}

// A record of the library, compiled by the first call and then reused.
struct CachedRecord {
    explicit CachedRecord(const BregexpLibrary& library) : library(library) {}
    ~CachedRecord() { library.regfree(record); }
    CachedRecord(const CachedRecord&) = delete;
    CachedRecord& operator=(const CachedRecord&) = delete;

    const BregexpLibrary& library;
    bregexp* record = nullptr;
    char message[kMessageBufferSize];
};

// Adds `item` to a list of names separated by commas.
void Append(std::string& list, const std::string& item) { list += (list.empty() ? "" : ", ") + item; }

// What the rows of one subject share: the module, the library it loaded,
// the subject, and `wrong`, which names each call that answered wrong.
class Rows {
public:
    std::string wrong;

protected:
    Rows(const HostModule& module, const BregexpLibrary& library, std::string text)
        : module(module), library(library), text(std::move(text)) {}

    void Check(const std::string& what, bool right) {
        if (!right) Append(wrong, what + " on " + std::to_string(text.size()) + " bytes");
    }

    const char* Start() const { return text.data(); }
    const char* End() const { return text.data() + text.size(); }

    const HostModule& module;
    const BregexpLibrary& library;
    const std::string text;
};

// The rows of one subject size.
class SizeRows : public Rows {
public:
    SizeRows(const HostModule& module, const BregexpLibrary& library, std::size_t size)
        : Rows(module, library, SubjectOf(size, kPcreTail, kPcreFiller)), expected(ExpectedOf(text)),
          calls(CallsPerRound(size)) {}

    double LibraryMatch() {
        CachedRecord r(library);
        const int answer = library.match(kPcreOperator, Start(), End(), &r.record, r.message);
        Check("the library's match", answer == 1 && PositionOf(*r.record, Start()) == expected.position);
        return MedianNs(calls, [&] { sink = static_cast<char>(library.match(nullptr, Start(), End(), &r.record, r.message)); });
    }

    double Match() {
        const HeapText pattern(kPcreOperator);
        const HeapText subject(text);
        Check("MOLV_MATCH", module.MOLV_MATCH(pattern.c_str(), subject.c_str()) == expected.position);
        return MedianNs(calls, [&] { sink = *module.MOLV_MATCH(pattern.c_str(), subject.c_str()); });
    }

    double Stack() {
        char pattern[sizeof kPcreOperator];
        char subject[2048];
        std::memcpy(pattern, kPcreOperator, sizeof kPcreOperator);
        std::memcpy(subject, text.c_str(), text.size() + 1);
        Check("MOLV_MATCH, stack texts", module.MOLV_MATCH(pattern, subject) == expected.position);
        return MedianNs(calls, [&] { sink = *module.MOLV_MATCH(pattern, subject); });
    }

    double LibrarySplit() {
        CachedRecord r(library);
        Check("the library's split", library.split(kSplitOperator, Start(), End(), 0, &r.record, r.message) == expected.pieces);
        return MedianNs(calls, [&] { sink = static_cast<char>(library.split(nullptr, Start(), End(), 0, &r.record, r.message)); });
    }

    double Split() {
        const HeapText pattern(kSplitOperator);
        const HeapText subject(text);
        Check("MOLV_SPLIT", module.MOLV_SPLIT(pattern.c_str(), subject.c_str(), 0) == expected.pieces);
        return MedianNs(calls, [&] { sink = static_cast<char>(module.MOLV_SPLIT(pattern.c_str(), subject.c_str(), 0)); });
    }

    double LibrarySubst() {
        CachedRecord r(library);
        const int answer = library.subst(kSubstOperator, Start(), End(), &r.record, r.message);
        Check("the library's substitution", answer == 1 && r.record->outputText == expected.substituted);
        return MedianNs(calls, [&] { sink = static_cast<char>(library.subst(nullptr, Start(), End(), &r.record, r.message)); });
    }

    double Subst() {
        const HeapText pattern(kSubstOperator);
        const HeapText subject(text);
        Check("MOLV_SUBST", module.MOLV_SUBST(pattern.c_str(), subject.c_str()) == expected.substituted);
        return MedianNs(calls, [&] { sink = *module.MOLV_SUBST(pattern.c_str(), subject.c_str()); });
    }

private:
    const Expected expected;
    const long calls;
};

// The rows of one long text: the library's match, then MOLV_MATCH, which
// must answer what the library answered. Each record's first search, which
// pays PCRE2's limit, comes before the timing, as a host's loop pays it once.
class FallbackRows : public Rows {
public:
    FallbackRows(const HostModule& module, const BregexpLibrary& library, const FallbackCase& fallback)
        : Rows(module, library, fallback.subject()), operatorText(fallback.operatorText) {}

    // Nanoseconds per call of the library and of MOLV_MATCH.
    std::pair<double, double> Time() {
        CachedRecord r(library);
        const int answer = library.match(operatorText, Start(), End(), &r.record, r.message);
        Check(std::string("the library's ") + operatorText, answer >= 0);
        const std::string expected = answer == 1 ? PositionOf(*r.record, Start()) : "";
        const double libraryNs = MedianNs(1, [&] {
            sink = static_cast<char>(library.match(nullptr, Start(), End(), &r.record, r.message));
        });
        const HeapText pattern(operatorText);
        const HeapText subject(text);
        Check(std::string("MOLV_MATCH ") + operatorText,
              module.MOLV_MATCH(pattern.c_str(), subject.c_str()) == expected && module.MOLV_ERRORMSG()[0] == 0);
        return {libraryNs, MedianNs(1, [&] { sink = *module.MOLV_MATCH(pattern.c_str(), subject.c_str()); })};
    }

private:
    const char* operatorText;
};

}  // namespace

int main(int argc, char** argv) {
    platform::UseBinaryStandardStreams();
    if (argc > 1) {
        // --help doubles as the check that this system can run the program.
        std::cout << "usage: windows_bench  (prints JSON; MOLV_Wrap.dll and bregexp.dll beside it)\n";
        return std::strcmp(argv[1], "--help") == 0 ? 0 : 2;
    }
    // The module by path, its exports looked up by name; then bregexp.dll
    // asked for by its bare name: Windows hands back the library of that
    // name the process already holds, the very one the module uses.
    const HostModule module;
    BregexpLibrary library;
    if (!module.Loaded() || module.MOLV_VERSION()[0] == 0 || !library.Load("bregexp.dll")) {
        std::cerr << "windows_bench: cannot load the module beside this program, or its bregexp.dll\n";
        return 2;
    }
    std::string wrong;
    std::cout << "{\"convention\": \"" << MOLV_CALLING_CONVENTION << "\", \"rounds\": " << kRounds
              << ", \"rows\": {";
    const char* separator = "";
    for (const std::size_t size : {60, 1024}) {
        SizeRows rows(module, library, size);
        const std::pair<const char*, double (SizeRows::*)()> timed[] = {
            {"LibraryMatch", &SizeRows::LibraryMatch}, {"Match", &SizeRows::Match},
            {"Stack", &SizeRows::Stack}, {"LibrarySplit", &SizeRows::LibrarySplit},
            {"Split", &SizeRows::Split}, {"LibrarySubst", &SizeRows::LibrarySubst},
            {"Subst", &SizeRows::Subst}};
        for (const auto& [name, row] : timed) {
            std::cout << separator << "\n  \"" << name << "/" << size << "\": " << (rows.*row)();
            separator = ",";
        }
        if (!rows.wrong.empty()) Append(wrong, rows.wrong);
    }
    for (const NamedFallbackCase& named : kFallbackCases) {
        FallbackRows rows(module, library, named.fallback);
        const auto [libraryNs, moduleNs] = rows.Time();
        std::cout << ",\n  \"LibraryFallback/" << named.name << "\": " << libraryNs;
        std::cout << ",\n  \"Fallback/" << named.name << "\": " << moduleNs;
        if (!rows.wrong.empty()) Append(wrong, rows.wrong);
    }
    std::cout << "}}\n";
    if (!wrong.empty()) {
        std::cerr << "windows_bench: wrong answers: " << wrong << "\n";
        return 1;
    }
    return 0;
}
