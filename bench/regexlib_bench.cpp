// bregexp.dll's entry points against the same work done by calling their
// engine directly (PCRE2 with its JIT, or a plain table loop), on the texts
// regexlib_vs_perl.pl also times perl with. Pairs share a name:
// BM_<Work>_Entry and BM_<Work>_Engine.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <benchmark/benchmark.h>
#include <pcre2.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "bench_texts.h"
#include "bregexp.h"
#include "encoding/shift_jis_unicode.h"

namespace {

// The entry points, linked in, called through their table by role.
#define MOLV_LINKED_ENTRY(name, role, result, parameters) &name,
const bregexp_functions kLibrary = {BREGEXP_ENTRY_POINTS(MOLV_LINKED_ENTRY)};
#undef MOLV_LINKED_ENTRY

const std::string kShortSubject = "mail from: john.smith@example.com (work)";
const std::string kShiftJisSubject = "\x83\x5C\x83\x74\x83\x67 mail: john@example.com";

// A record compiled once, reused with a null pattern as the module does.
class Record {
public:
    Record(decltype(bregexp_functions::match) entry, const char* pattern) {
        const char empty[] = "";
        entry(pattern, empty, empty, &record_, message_);
    }
    ~Record() { kLibrary.regfree(record_); }
    bregexp** slot() { return &record_; }
    char* message() { return message_; }

private:
    bregexp* record_ = nullptr;
    char message_[kMessageBufferSize];
};

// A PCRE2 pattern with its JIT and match data, as a direct caller would keep them.
class DirectPcre2 {
public:
    explicit DirectPcre2(const char* pattern, std::uint32_t options = 0) {
        int error = 0;
        PCRE2_SIZE offset = 0;
        code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern), PCRE2_ZERO_TERMINATED, options, &error, &offset,
                              nullptr);
        pcre2_jit_compile(code_, PCRE2_JIT_COMPLETE);
        data_ = pcre2_match_data_create_from_pattern(code_, nullptr);
    }
    ~DirectPcre2() {
        pcre2_match_data_free(data_);
        pcre2_code_free(code_);
    }
    int Match(const std::string& subject, std::size_t start, std::uint32_t options = 0) {
        return pcre2_jit_match(code_, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), start, options,
                               data_, nullptr);
    }
    PCRE2_SIZE* Ovector() { return pcre2_get_ovector_pointer(data_); }
    pcre2_code* code() { return code_; }
    pcre2_match_data* data() { return data_; }

private:
    pcre2_code* code_ = nullptr;
    pcre2_match_data* data_ = nullptr;
};

void BM_Match_Entry(benchmark::State& state) {
    Record record(kLibrary.match, "/(\\w+)@(\\w+)\\.com/");
    const char* start = kShortSubject.data();
    for (auto _ : state) {
        benchmark::DoNotOptimize(kLibrary.match(nullptr, start, start + kShortSubject.size(), record.slot(), record.message()));
        benchmark::DoNotOptimize((*record.slot())->groupStarts[1]);
    }
}
BENCHMARK(BM_Match_Entry);

void BM_Match_Engine(benchmark::State& state) {
    DirectPcre2 pattern("(\\w+)@(\\w+)\\.com");
    for (auto _ : state) {
        benchmark::DoNotOptimize(pattern.Match(kShortSubject, 0));
        benchmark::DoNotOptimize(pattern.Ovector()[2]);
    }
}
BENCHMARK(BM_Match_Engine);

// The module's benchmark texts: near-miss filler, then the match at the very
// end, so the engine scans all of the subject.
std::string SubjectEndingInMatch(std::size_t size) {
    const std::string tail = " order 12-345";
    const std::string filler = "the quick brown fox jumps 1 over 2 the lazy dog ";
    std::string text;
    while (text.size() + tail.size() < size) text += filler;
    text.resize(size - tail.size());
    return text + tail;
}

void MatchEntry(benchmark::State& state, std::size_t size) {
    const std::string subject = SubjectEndingInMatch(size);
    Record record(kLibrary.match, "/(\\d+)-(\\d+)/");
    const char* start = subject.data();
    if (kLibrary.match(nullptr, start, start + subject.size(), record.slot(), record.message()) != 1) {
        state.SkipWithError("no match");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(kLibrary.match(nullptr, start, start + subject.size(), record.slot(), record.message()));
        benchmark::DoNotOptimize((*record.slot())->groupStarts[1]);
    }
}

void MatchEngine(benchmark::State& state, std::size_t size) {
    const std::string subject = SubjectEndingInMatch(size);
    DirectPcre2 pattern("(\\d+)-(\\d+)");
    if (pattern.Match(subject, 0) < 0) state.SkipWithError("no match");
    for (auto _ : state) {
        benchmark::DoNotOptimize(pattern.Match(subject, 0));
        benchmark::DoNotOptimize(pattern.Ovector()[2]);
    }
}

void BM_Match60B_Entry(benchmark::State& state) { MatchEntry(state, 60); }
void BM_Match60B_Engine(benchmark::State& state) { MatchEngine(state, 60); }
void BM_Match1KiB_Entry(benchmark::State& state) { MatchEntry(state, 1024); }
void BM_Match1KiB_Engine(benchmark::State& state) { MatchEngine(state, 1024); }
BENCHMARK(BM_Match60B_Entry);
BENCHMARK(BM_Match60B_Engine);
BENCHMARK(BM_Match1KiB_Entry);
BENCHMARK(BM_Match1KiB_Engine);

const char kCompiledPattern[] = "/(\\w+)@(\\w+)\\.com|([a-z]+)\\s*=\\s*\"([^\"]*)\"/";

// Compiling a record from its text and freeing it at once.
void CompileAndFree(benchmark::State& state) {
    const char subject[] = "x";
    char message[kMessageBufferSize];
    for (auto _ : state) {
        bregexp* record = nullptr;
        benchmark::DoNotOptimize(kLibrary.match(kCompiledPattern, subject, subject + 1, &record, message));
        kLibrary.regfree(record);
    }
}

// The whole compile (parse, PCRE2 compile and JIT): the scan for possessive
// quantifiers is part of it.
void BM_CompileMatch_Entry(benchmark::State& state) { CompileAndFree(state); }
BENCHMARK(BM_CompileMatch_Entry);

// The same while another record of the text is alive, as a second thread's
// first call: the record shares that one's compiled pattern.
void BM_CompileHeldMatch_Entry(benchmark::State& state) {
    const Record held(kLibrary.match, kCompiledPattern);
    CompileAndFree(state);
}
BENCHMARK(BM_CompileHeldMatch_Entry);

// Runs of digits, none followed by an x, then the match at the very end.
std::string DigitRuns(std::size_t size) {
    std::string text;
    while (text.size() + 10 < size) text += "123456789 ";
    return text + "-42";
}

// An atomic group turns PCRE2's auto-possessification off for the whole
// pattern (see pcre2_engine.cpp), so \d+x backtracks through each run of
// digits it fails on where PCRE2 alone would read \d++x. _Engine compiles
// the same pattern with PCRE2's default: the difference is what the option
// costs.
const char kAtomicPattern[] = "(\\d+)x|(?>-)(\\d+)";

void BM_AtomicMatch1KiB_Entry(benchmark::State& state) {
    const std::string subject = DigitRuns(1024);
    Record record(kLibrary.match, (std::string("/") + kAtomicPattern + "/").c_str());
    const char* start = subject.data();
    if (kLibrary.match(nullptr, start, start + subject.size(), record.slot(), record.message()) != 1) {
        state.SkipWithError("no match");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(kLibrary.match(nullptr, start, start + subject.size(), record.slot(), record.message()));
    }
}
BENCHMARK(BM_AtomicMatch1KiB_Entry);

void BM_AtomicMatch1KiB_Engine(benchmark::State& state) {
    const std::string subject = DigitRuns(1024);
    DirectPcre2 pattern(kAtomicPattern);
    if (pattern.Match(subject, 0) < 0) state.SkipWithError("no match");
    for (auto _ : state) benchmark::DoNotOptimize(pattern.Match(subject, 0));
}
BENCHMARK(BM_AtomicMatch1KiB_Engine);

void BM_MatchShiftJis_Entry(benchmark::State& state) {
    Record record(kLibrary.match, "/(\\w+)@(\\w+)\\.com/k");
    const char* start = kShiftJisSubject.data();
    for (auto _ : state) {
        benchmark::DoNotOptimize(kLibrary.match(nullptr, start, start + kShiftJisSubject.size(), record.slot(), record.message()));
    }
}
BENCHMARK(BM_MatchShiftJis_Entry);

// PCRE2 on the text already converted to UTF-8, as the library converts it
// (the pattern is ASCII): the conversion counts as the entry point's share.
void BM_MatchShiftJis_Engine(benchmark::State& state) {
    regexlib::ShiftJisAsUtf8 converted;
    converted.Convert(kShiftJisSubject.data(), kShiftJisSubject.data() + kShiftJisSubject.size());
    const std::string subject(converted.begin(), converted.end());
    DirectPcre2 pattern("(\\w+)@(\\w+)\\.com", PCRE2_UTF | PCRE2_UCP);
    if (pattern.Match(subject, 0) < 0) state.SkipWithError("no match");
    for (auto _ : state) benchmark::DoNotOptimize(pattern.Match(subject, 0));
}
BENCHMARK(BM_MatchShiftJis_Engine);

void BM_SubstGlobal_Entry(benchmark::State& state) {
    const std::string& text = MebibyteText();
    Record record(kLibrary.subst, "s/fox/cat/g");
    for (auto _ : state) {
        benchmark::DoNotOptimize(kLibrary.subst(nullptr, text.data(), text.data() + text.size(), record.slot(), record.message()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_SubstGlobal_Entry);

void BM_SubstGlobal_Engine(benchmark::State& state) {
    const std::string& text = MebibyteText();
    DirectPcre2 pattern("fox");
    std::vector<PCRE2_UCHAR> output(text.size() + 1);
    for (auto _ : state) {
        PCRE2_SIZE length = output.size();
        benchmark::DoNotOptimize(pcre2_substitute(pattern.code(), reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(),
                                                  0, PCRE2_SUBSTITUTE_GLOBAL, pattern.data(), nullptr,
                                                  reinterpret_cast<PCRE2_SPTR>("cat"), 3, output.data(), &length));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_SubstGlobal_Engine);

void BM_Trans_Entry(benchmark::State& state) {
    const std::string& text = MebibyteText();
    Record record(kLibrary.trans, "tr/a-z/A-Z/");
    for (auto _ : state) {
        benchmark::DoNotOptimize(kLibrary.trans(nullptr, text.data(), text.data() + text.size(), record.slot(), record.message()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Trans_Entry);

// Translation has no engine: the direct version is the plain table loop.
void BM_Trans_Engine(benchmark::State& state) {
    const std::string& text = MebibyteText();
    std::array<char, 256> table;
    for (int byte = 0; byte < 256; ++byte) table[byte] = static_cast<char>(byte >= 'a' && byte <= 'z' ? byte - 32 : byte);
    std::string output(text.size(), '\0');
    for (auto _ : state) {
        int count = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto byte = static_cast<unsigned char>(text[i]);
            count += byte >= 'a' && byte <= 'z';
            output[i] = table[byte];
        }
        benchmark::DoNotOptimize(count);
        benchmark::DoNotOptimize(output.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Trans_Engine);

void SplitEntry(benchmark::State& state, const char* pattern) {
    const std::string& text = MebibyteText();
    Record record(kLibrary.match, pattern);
    for (auto _ : state) {
        benchmark::DoNotOptimize(kLibrary.split(nullptr, text.data(), text.data() + text.size(), 0, record.slot(), record.message()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// The split loop written against PCRE2 directly, keeping pairs as we do.
void SplitEngine(benchmark::State& state, const char* pattern) {
    const std::string& text = MebibyteText();
    DirectPcre2 direct(pattern);
    std::vector<const char*> pairs;
    for (auto _ : state) {
        pairs.clear();
        std::size_t rest = 0;
        while (rest < text.size() && direct.Match(text, rest, PCRE2_NOTEMPTY_ATSTART) >= 0) {
            pairs.push_back(text.data() + rest);
            pairs.push_back(text.data() + direct.Ovector()[0]);
            rest = direct.Ovector()[1];
        }
        pairs.push_back(text.data() + rest);
        pairs.push_back(text.data() + text.size());
        benchmark::DoNotOptimize(pairs.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_SplitByte_Entry(benchmark::State& state) { SplitEntry(state, "/,/"); }
void BM_SplitByte_Engine(benchmark::State& state) { SplitEngine(state, ","); }
void BM_SplitRegex_Entry(benchmark::State& state) { SplitEntry(state, "/\\s+/"); }
void BM_SplitRegex_Engine(benchmark::State& state) { SplitEngine(state, "\\s+"); }
BENCHMARK(BM_SplitByte_Entry);
BENCHMARK(BM_SplitByte_Engine);
BENCHMARK(BM_SplitRegex_Entry);
BENCHMARK(BM_SplitRegex_Engine);

}  // namespace

BENCHMARK_MAIN();
