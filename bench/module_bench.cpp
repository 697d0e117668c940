// The module's cost over the work it forwards, measured side by side in one
// run. Each family names its rows by what is called:
//   Engine   PCRE2 (JIT) called directly with the same pattern; for Shift_JIS
//            the subject's conversion to UTF-8 and PCRE2's search of it
//   Library  our bregexp.dll called directly with its cached record
//   Module   the MOLV_ export, texts in the host's heap (each probed once)
//   Stack    the MOLV_ export, texts on the calling thread's stack (exempt
//            from the probe), which isolates the module's own steps
// plus one probe against one plain system call, the first call of a
// pattern, the cache with 1 to 4096 patterns held, 1 MiB substitutions,
// translations and splits (module_vs_perl.pl times perl on the same text),
// cursor walks over a split of 10,000 pieces, and searches on long texts
// that PCRE2's JIT gives up on, answered by the fallback, beside PCRE2's
// interpreter (perl: module_vs_perl.pl).
#define PCRE2_CODE_UNIT_WIDTH 8
#include <benchmark/benchmark.h>
#include <pcre2.h>

#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench_texts.h"
#include "bregexp_library.h"
#include "encoding/shift_jis_unicode.h"
#include "host_module.h"
#include "platform/platform.h"

namespace {

// ---- texts ----

// The PCRE2 rows' pattern and subjects are in bench_texts.h, shared with
// the Windows benchmark.

// Shift_JIS: "tesuto" in katakana, any character, digits.
const char kSjisPattern[] = "\x83\x65\x83\x58(.)(\\d+)";
const char kSjisOperator[] = "m/\x83\x65\x83\x58(.)(\\d+)/k";
const std::string kSjisTail = " \x83\x65\x83\x58\x83\x67" "123";
const std::string kSjisFiller = "\x82\xa0\x82\xa2\x82\xa4 abc \x83\x65x ";

// ---- the module and the library ----

// The loaded module. Benchmarks that depend on what the cache holds start
// from a fresh load (the last unload really unloads it and runs its detach).
std::unique_ptr<HostModule> currentModule;

HostModule& Module() {
    if (currentModule == nullptr) currentModule = std::make_unique<HostModule>();
    if (!currentModule->Loaded()) std::abort();
    return *currentModule;
}

HostModule& FreshModule() {
    currentModule.reset();
    return Module();
}

// Our library, opened by path beside the module: the loader hands back the
// very object the module uses.
const BregexpLibrary& OurLibrary() {
    static const BregexpLibrary library = [] {
        BregexpLibrary loaded;
        if (!loaded.Load(BregexpBesideModule())) std::abort();
        return loaded;
    }();
    return library;
}

// ---- engines called directly, set up as our library sets them up ----

class DirectPcre2 {
public:
    explicit DirectPcre2(const char* pattern, std::uint32_t options = 0) {
        int error = 0;
        PCRE2_SIZE offset = 0;
        code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern), PCRE2_ZERO_TERMINATED, options, &error, &offset,
                             nullptr);
        pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
        data = pcre2_match_data_create_from_pattern(code, nullptr);
        context = pcre2_match_context_create(nullptr);
        pcre2_set_match_limit(context, 10'000'000);
        pcre2_set_depth_limit(context, 10'000'000);
        stack = pcre2_jit_stack_create(32 * 1024, 4 * 1024 * 1024, nullptr);
        pcre2_jit_stack_assign(context, nullptr, stack);
    }
    ~DirectPcre2() {
        pcre2_match_data_free(data);
        pcre2_match_context_free(context);
        pcre2_jit_stack_free(stack);
        pcre2_code_free(code);
    }
    int Match(const char* subject, std::size_t length) {
        return pcre2_jit_match(code, reinterpret_cast<PCRE2_SPTR>(subject), length, 0, 0, data, context);
    }

private:
    pcre2_code* code = nullptr;
    pcre2_match_data* data = nullptr;
    pcre2_match_context* context = nullptr;
    pcre2_jit_stack* stack = nullptr;
};

// A Shift_JIS text as our library converts it for PCRE2.
std::string ConvertedToUtf8(const std::string& shiftJis) {
    regexlib::ShiftJisAsUtf8 converted;
    converted.Convert(shiftJis.data(), shiftJis.data() + shiftJis.size());
    return std::string(converted.begin(), converted.end());
}

// ---- cached match: engine, library, module ----

struct MatchCase {
    const char* pattern;
    const char* operatorText;
    const std::string* tail;
    const std::string* filler;
    bool shiftJis;
};

const MatchCase kPcre{kPcrePattern, kPcreOperator, &kPcreTail, &kPcreFiller, false};
const MatchCase kSjis{kSjisPattern, kSjisOperator, &kSjisTail, &kSjisFiller, true};

// A Shift_JIS search is the conversion of the subject and PCRE2's search of
// the converted text: together they are the engine's work on such a text.
void Engine(benchmark::State& state, const MatchCase& c) {
    FreshModule();
    const std::string subject = SubjectOf(static_cast<std::size_t>(state.range(0)), *c.tail, *c.filler);
    if (!c.shiftJis) {
        DirectPcre2 engine(c.pattern);
        if (engine.Match(subject.data(), subject.size()) < 0) state.SkipWithError("no match");
        for (auto _ : state) benchmark::DoNotOptimize(engine.Match(subject.data(), subject.size()));
        return;
    }
    DirectPcre2 engine(ConvertedToUtf8(c.pattern).c_str(), PCRE2_UTF | PCRE2_UCP);
    regexlib::ShiftJisAsUtf8 converted;
    const char* begin = subject.data();
    const char* end = begin + subject.size();
    converted.Convert(begin, end);
    if (engine.Match(converted.begin(), static_cast<std::size_t>(converted.end() - converted.begin())) < 0) {
        state.SkipWithError("no match");
    }
    for (auto _ : state) {
        converted.Convert(begin, end);
        benchmark::DoNotOptimize(
            engine.Match(converted.begin(), static_cast<std::size_t>(converted.end() - converted.begin())));
    }
}

void Library(benchmark::State& state, const MatchCase& c) {
    const BregexpLibrary& library = OurLibrary();
    const std::string subject = SubjectOf(static_cast<std::size_t>(state.range(0)), *c.tail, *c.filler);
    bregexp* record = nullptr;
    char message[kMessageBufferSize];
    const char* start = subject.data();
    const char* end = start + subject.size();
    if (library.match(c.operatorText, start, end, &record, message) != 1) state.SkipWithError(message);
    for (auto _ : state) benchmark::DoNotOptimize(library.match(nullptr, start, end, &record, message));
    library.regfree(record);
}

void Module(benchmark::State& state, const MatchCase& c) {
    HostModule& m = Module();
    // The host's own strings, in its heap.
    const HeapText subject(SubjectOf(static_cast<std::size_t>(state.range(0)), *c.tail, *c.filler));
    const HeapText pattern(c.operatorText);
    if (m.MOLV_MATCH(pattern.c_str(), subject.c_str())[0] == 0) state.SkipWithError("no match");
    for (auto _ : state) benchmark::DoNotOptimize(m.MOLV_MATCH(pattern.c_str(), subject.c_str()));
}

void Stack(benchmark::State& state, const MatchCase& c) {
    HostModule& m = Module();
    const std::string heapSubject = SubjectOf(static_cast<std::size_t>(state.range(0)), *c.tail, *c.filler);
    char subject[2048];
    char pattern[64];
    std::memcpy(subject, heapSubject.c_str(), heapSubject.size() + 1);
    std::memcpy(pattern, c.operatorText, std::strlen(c.operatorText) + 1);
    if (m.MOLV_MATCH(pattern, subject)[0] == 0) state.SkipWithError("no match");
    for (auto _ : state) {
        benchmark::DoNotOptimize(m.MOLV_MATCH(pattern, subject));
        benchmark::ClobberMemory();
    }
}

BENCHMARK_CAPTURE(Engine, Pcre2, kPcre)->Arg(60)->Arg(1024);
BENCHMARK_CAPTURE(Library, Pcre2, kPcre)->Arg(60)->Arg(1024);
BENCHMARK_CAPTURE(Module, Pcre2, kPcre)->Arg(60)->Arg(1024);
BENCHMARK_CAPTURE(Stack, Pcre2, kPcre)->Arg(60)->Arg(1024);
BENCHMARK_CAPTURE(Engine, ShiftJis, kSjis)->Arg(60)->Arg(1024);
BENCHMARK_CAPTURE(Library, ShiftJis, kSjis)->Arg(60)->Arg(1024);
BENCHMARK_CAPTURE(Module, ShiftJis, kSjis)->Arg(60)->Arg(1024);
BENCHMARK_CAPTURE(Stack, ShiftJis, kSjis)->Arg(60)->Arg(1024);

// One readability probe of a text outside the calling thread's stack: the
// price every host text pays on this system.
void Probe(benchmark::State& state) {
    const HeapText text(kPcreOperator);
    for (auto _ : state) benchmark::DoNotOptimize(platform::IsBadStringPtrA(text.c_str(), 1));
}
BENCHMARK(Probe);

// The cheapest call into the kernel there is, to weigh the probe against.
void Getppid(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(syscall(SYS_getppid));
}
BENCHMARK(Getppid);

// ---- first call (compilation) against a cached call ----

void FirstCall(benchmark::State& state) {
    HostModule& m = FreshModule();
    const HeapText subject(SubjectOf(60, kPcreTail, kPcreFiller));
    static long serial = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const HeapText pattern("m/(\\d+)-(\\d+)" + std::to_string(++serial) + "?/");
        state.ResumeTiming();
        benchmark::DoNotOptimize(m.MOLV_MATCH(pattern.c_str(), subject.c_str()));
    }
}
// Every iteration adds a pattern to the cache for good; keep the count fixed.
BENCHMARK(FirstCall)->Iterations(3000);

void FirstCallEngine(benchmark::State& state) {
    static long serial = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string pattern = "(\\d+)-(\\d+)" + std::to_string(++serial) + "?";
        state.ResumeTiming();
        DirectPcre2 engine(pattern.c_str());
        benchmark::DoNotOptimize(&engine);
    }
}
BENCHMARK(FirstCallEngine)->Iterations(3000);

void CachedCall(benchmark::State& state) {
    FreshModule();
    Module(state, kPcre);
}
BENCHMARK(CachedCall)->Arg(60);

// ---- the cache with 1 to 4096 distinct patterns held ----

void CacheLookup(benchmark::State& state) {
    const int held = static_cast<int>(state.range(0));
    HostModule& m = FreshModule();
    std::vector<HeapText> patterns;
    for (int i = 0; i < held; ++i) patterns.emplace_back("m/k" + std::to_string(i) + "=(\\d+)/");
    const HeapText subject("k" + std::to_string(held - 1) + "=42");
    for (const HeapText& pattern : patterns) m.MOLV_MATCH(pattern.c_str(), subject.c_str());
    std::size_t next = 0;
    for (auto _ : state) {
        // Every pattern held in turn: all chain positions are visited.
        benchmark::DoNotOptimize(m.MOLV_MATCH(patterns[next].c_str(), subject.c_str()));
        if (++next == patterns.size()) next = 0;
    }
}
BENCHMARK(CacheLookup)->Arg(1)->Arg(16)->Arg(256)->Arg(4096);

// ---- 1 MiB: substitution, translation, split (perl: module_vs_perl.pl) ----

void Subst1MiB(benchmark::State& state) {
    HostModule& m = FreshModule();
    const std::string& text = MebibyteText();
    std::size_t length = 0;
    for (auto _ : state) length = std::strlen(m.MOLV_SUBST("s/(\\d+)/<$1>/g", text.c_str()));
    state.counters["output"] = static_cast<double>(length);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(Subst1MiB)->Unit(benchmark::kMillisecond);

void Trans1MiB(benchmark::State& state) {
    HostModule& m = Module();
    const std::string& text = MebibyteText();
    std::size_t length = 0;
    for (auto _ : state) length = std::strlen(m.MOLV_TRANS("tr/a-z/A-Z/", text.c_str()));
    state.counters["output"] = static_cast<double>(length);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(Trans1MiB)->Unit(benchmark::kMillisecond);

void Split1MiB(benchmark::State& state) {
    HostModule& m = Module();
    const std::string& text = MebibyteText();
    int pieces = 0;
    for (auto _ : state) pieces = m.MOLV_SPLIT("/[\\s,;]+/", text.c_str(), 0);
    state.counters["pieces"] = pieces;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(Split1MiB)->Unit(benchmark::kMillisecond);

// ---- walking a split of 10,000 pieces ----

// 10,000 pieces of four bytes: 49,999 bytes, inside the 16-bit positions.
const std::string& TenThousandPieces() {
    static const std::string text = [] {
        std::string built;
        for (int i = 0; i < 10000; ++i) built += (i == 0 ? "" : ",") + std::string("w") + std::to_string(1000 + i % 9000).substr(1);
        return built;
    }();
    return text;
}

void Walk(benchmark::State& state, bool cut) {
    HostModule& m = Module();
    const std::string& text = TenThousandPieces();
    if (m.MOLV_SPLIT("/,/", text.c_str(), 0) != 10000) state.SkipWithError("not 10,000 pieces");
    // The host keeps its own copy of each position text, in its heap.
    const std::unique_ptr<char[]> position(new char[32]);
    std::int64_t pieces = 0;
    for (auto _ : state) {
        state.PauseTiming();
        m.MOLV_SPLIT("/,/", text.c_str(), 0);
        state.ResumeTiming();
        while (m.MOLV_HASMORERESULTS() == 1) {
            std::strncpy(position.get(), m.MOLV_GETNEXT(), 31);
            position[31] = 0;
            if (cut) benchmark::DoNotOptimize(m.MOLV_POSTOSTR(position.get()));
            ++pieces;
        }
    }
    state.SetItemsProcessed(pieces);
}
BENCHMARK_CAPTURE(Walk, GetNext, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Walk, GetNextPosToStr, true)->Unit(benchmark::kMillisecond);

// ---- searches PCRE2 gives up on, answered by the fallback ----

// The cases of bench_texts.h; module_vs_perl.pl times perl on the same
// texts. The first search of each pattern pays the limit outside the
// timing, as a host's loop over many texts pays it once.
void FallbackModule(benchmark::State& state, const FallbackCase& c) {
    HostModule& m = FreshModule();
    const HeapText subject(c.subject());
    const HeapText pattern(c.operatorText);
    // Copied: the next export's answer takes the thread's result text.
    const std::string answer = m.MOLV_MATCH(pattern.c_str(), subject.c_str());
    if (std::strcmp(m.MOLV_ERRORMSG(), "") != 0) state.SkipWithError(m.MOLV_ERRORMSG());
    // The answer, to set beside perl's: "offset:length", both modulo 65536.
    char* rest = nullptr;
    state.counters["matched"] = !answer.empty();
    state.counters["start"] = static_cast<double>(std::strtol(answer.c_str(), &rest, 10));
    state.counters["length"] = *rest == ':' ? static_cast<double>(std::strtol(rest + 1, nullptr, 10)) : 0;
    state.counters["bytes"] = static_cast<double>(std::strlen(subject.c_str()));
    for (auto _ : state) benchmark::DoNotOptimize(m.MOLV_MATCH(pattern.c_str(), subject.c_str()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * std::strlen(subject.c_str())));
}

// PCRE2's interpreter with our library's limits: 10,000,000 steps, and the
// heap budget it gives a long search.
void FallbackInterpreter(benchmark::State& state, const FallbackCase& c) {
    const std::string subject = c.subject();
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(c.pattern), PCRE2_ZERO_TERMINATED, 0, &error,
                                     &offset, nullptr);
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    pcre2_match_context* context = pcre2_match_context_create(nullptr);
    pcre2_set_match_limit(context, 10'000'000);
    pcre2_set_depth_limit(context, 10'000'000);
    pcre2_set_heap_limit(context, static_cast<std::uint32_t>((64 * 1024 * 1024 + 512 * subject.size()) / 1024));
    int rc = 0;
    for (auto _ : state) {
        rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), 0, 0, data, context);
        benchmark::DoNotOptimize(rc);
    }
    // Below PCRE2_ERROR_NOMATCH the interpreter stopped on a limit.
    state.counters["answered"] = rc >= PCRE2_ERROR_NOMATCH;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * subject.size()));
    pcre2_match_context_free(context);
    pcre2_match_data_free(data);
    pcre2_code_free(code);
}

#define MOLV_FALLBACK_BENCHMARKS(name, c)                                                    \
    BENCHMARK_CAPTURE(FallbackModule, name, c)->Unit(benchmark::kMillisecond)->Iterations(5); \
    BENCHMARK_CAPTURE(FallbackInterpreter, name, c)->Unit(benchmark::kMillisecond)->Iterations(1)
MOLV_FALLBACK_BENCHMARKS(AlternationLoop, kAlternationLoop);
MOLV_FALLBACK_BENCHMARKS(Quoted, kQuoted);
MOLV_FALLBACK_BENCHMARKS(Fields, kFields);
MOLV_FALLBACK_BENCHMARKS(Words10k, kWords10k);
MOLV_FALLBACK_BENCHMARKS(Words100k, kWords100k);
MOLV_FALLBACK_BENCHMARKS(Backreference, kBackreference);
#undef MOLV_FALLBACK_BENCHMARKS

// The first search of a pattern on a short text, which stops on the match
// limit before it is answered again.
void FallbackFirstCall(benchmark::State& state) {
    const HeapText subject(Repeated("word ", 20) + "!");
    const HeapText pattern("m/^(\\w+\\s?)*$/");
    for (auto _ : state) {
        state.PauseTiming();
        HostModule& m = FreshModule();
        state.ResumeTiming();
        benchmark::DoNotOptimize(m.MOLV_MATCH(pattern.c_str(), subject.c_str()));
    }
}
BENCHMARK(FallbackFirstCall)->Unit(benchmark::kMillisecond)->Iterations(5);

// A host's loop: 1,000 searches of one pattern on 20 words and a "!", from
// its first call, which stops on the match limit, on.
void FallbackThousandCalls(benchmark::State& state) {
    const HeapText subject(Repeated("word ", 20) + "!");
    const HeapText pattern("m/^(\\w+\\s?)*$/");
    for (auto _ : state) {
        state.PauseTiming();
        HostModule& m = FreshModule();
        state.ResumeTiming();
        for (int i = 0; i < 1000; ++i) benchmark::DoNotOptimize(m.MOLV_MATCH(pattern.c_str(), subject.c_str()));
        if (std::strcmp(m.MOLV_ERRORMSG(), "") != 0) state.SkipWithError(m.MOLV_ERRORMSG());
    }
}
BENCHMARK(FallbackThousandCalls)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
