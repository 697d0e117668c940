#!/usr/bin/perl
# Turns one run of module_bench (JSON), module_vs_perl.pl, module_scaling,
# molv_vs_perl.pl, module_threads and windows_bench (one file per calling
# convention, none where Windows programs cannot run) into the Markdown
# tables of the README: times side by side, their ratios, and each goal
# marked met or not met from the figures.
# Usage: bench/module_table.pl module_bench.json perl.json scaling.json molv.json threads.json [windows.json...]
use strict;
use warnings;
use JSON::PP ();

my ($benchFile, $perlFile, $scalingFile, $molvFile, $threadsFile, @windowsFiles) = @ARGV;
die "usage: $0 module_bench.json perl.json scaling.json molv.json threads.json [windows.json...]\n"
    unless defined $threadsFile;
sub slurp { local $/; open my $in, '<', $_[0] or die "$_[0]: $!\n"; return <$in>; }
# Google Benchmark writes NaN for the spread of a counter that is 0 in every
# repetition; JSON has no such number.
(my $benchText = slurp($benchFile)) =~ s/\b-?(?:NaN|nan|inf|Infinity)\b/null/g;
my $bench = JSON::PP::decode_json($benchText);
my $perl = JSON::PP::decode_json(slurp($perlFile));
my $scaling = JSON::PP::decode_json(slurp($scalingFile));
my $molv = JSON::PP::decode_json(slurp($molvFile));
my $threads = JSON::PP::decode_json(slurp($threadsFile));
my @windows = map { JSON::PP::decode_json(slurp($_)) } @windowsFiles;

my %scale = (ns => 1, us => 1e3, ms => 1e6, s => 1e9);
my (%ns, %row);
# With repetitions, the median of each benchmark stands for it.
my %median;
for my $b (@{ $bench->{benchmarks} }) {
    my $isMedian = ($b->{run_type} // '') eq 'aggregate' && ($b->{aggregate_name} // '') eq 'median';
    next unless $isMedian || ($b->{run_type} // 'iteration') eq 'iteration';
    (my $name = $b->{run_name} // $b->{name}) =~ s{/iterations:\d+$}{};
    next if $median{$name} && !$isMedian;
    $median{$name} = 1 if $isMedian;
    $ns{$name} = $b->{real_time} * $scale{ $b->{time_unit} // 'ns' };
    $row{$name} = $b;
}
sub need { my $n = shift; die "module_bench gave no $n\n" unless defined $ns{$n}; return $ns{$n}; }
sub t {
    my $v = shift;
    return sprintf('%.2f s', $v / 1e9) if $v >= 1e9;
    return sprintf('%.0f ms', $v / 1e6) if $v >= 1e7;
    return sprintf('%.2f ms', $v / 1e6) if $v >= 1e6;
    return sprintf('%.1f µs', $v / 1e3) if $v >= 1e4;
    return sprintf('%.2f µs', $v / 1e3) if $v >= 1e3;
    return sprintf('%.0f ns', $v);
}
sub x { return sprintf('%.2f×', $_[0]); }
sub d { my $v = shift; return ($v < 0 ? '−' : '+') . t(abs $v); }
sub mib { return sprintf('%.1f MiB', $_[0] / 1024); }
sub count { (my $n = reverse shift) =~ s/(\d{3})(?=\d)/$1,/g; return scalar reverse $n; }

# Every goal is counted, and its mark printed beside its figure.
my ($goals, $unmet) = (0, 0);
sub goal {
    my ($text, $met) = @_;
    ++$goals;
    ++$unmet unless $met;
    return "$text: " . ($met ? 'met' : 'not met');
}

my @out;
my ($probe, $getppid) = (need('Probe'), need('Getppid'));
push @out, sprintf('Machine: %d CPUs at %.0f MHz. One readability probe of a host text costs %s here, one plain system call (`getppid`) %s: the probe is %s the system call (%s).',
                   $bench->{context}{num_cpus}, $bench->{context}{mhz_per_cpu}, t($probe), t($getppid),
                   x($probe / $getppid), goal('at most 1.5×', $probe <= 1.5 * $getppid)), '';

push @out, '**Cached match**: the engine called directly with the same compiled pattern (for Shift_JIS, the subject\'s conversion to UTF-8 and PCRE2\'s search of it, the engine\'s work on such a text), our bregexp.dll with its cached record, and `MOLV_MATCH` with the host\'s texts in its heap (each probed) or on its stack (exempt from the probe).', '';
push @out, '| Work | Engine | bregexp.dll | MOLV_MATCH | added | goal | MOLV_MATCH, stack texts | added | goal |';
push @out, '|---|---:|---:|---:|---:|---|---:|---:|---|';
for my $case (['Pcre2', 'PCRE2 JIT'], ['ShiftJis', 'Shift_JIS, converted for PCRE2']) {
    for my $size ([60, '60 B'], [1024, '1 KiB']) {
        my ($e, $l, $m, $s) = map { need("$_/$case->[0]/$size->[0]") } qw(Engine Library Module Stack);
        my ($heapGoal, $stackGoal);
        if ($size->[0] == 60) {
            $heapGoal = goal('2 probes + 80 ns', $m - $e <= 2 * $probe + 80);
            $stackGoal = goal('+80 ns', $s - $e <= 80);
        } else {
            $heapGoal = '—';
            $stackGoal = goal('at most 1.35×', $s <= 1.35 * $e);
        }
        push @out, sprintf('| %s, %s | %s | %s | %s | %s (%s) | %s | %s | %s (%s) | %s |', $case->[1], $size->[1],
                           t($e), t($l), t($m), d($m - $e), x($m / $e), $heapGoal, t($s), d($s - $e), x($s / $e),
                           $stackGoal);
    }
}
push @out, '';

my ($first, $compile, $cached) = (need('FirstCall'), need('FirstCallEngine'), need('CachedCall/60'));
push @out, '| First call of a pattern | PCRE2 compile + JIT alone | Cached call | first / cached | goal |';
push @out, '|---:|---:|---:|---:|---|';
push @out, sprintf('| %s | %s | %s | %s | %s |', t($first), t($compile), t($cached), x($first / $cached),
                   goal('at least 20×', $first >= 20 * $cached)), '';

push @out, '| Patterns held in the cache | 1 | 16 | 256 | 4096 |';
push @out, '|---|---:|---:|---:|---:|';
my @held = map { need("CacheLookup/$_") } (1, 16, 256, 4096);
push @out, '| Cached `MOLV_MATCH`, every held pattern in turn | ' . join(' | ', map { t($_) } @held) . ' |';
push @out, '| against 1 held | ' . join(' | ', map { x($_ / $held[0]) } @held) . ' |', '';

# ---- many patterns: module_scaling ----
my %stage = map { $_->{patterns} => $_ } @{ $scaling->{stages} };
my @counts = (1, 1000, 10000, 100000, 1000000);
sub at { my ($n, $field, $format) = @_; return $stage{$n} ? $format->($stage{$n}{$field}) : 'not reached'; }
push @out, '**Many patterns**: one host process uses distinct patterns `m/k<N>=(\d+)/` one after another, each once; after the given number, a hot call of one cached pattern, the first call of a new pattern, and the process\'s resident memory (texts on the stack, so the cache\'s own cost shows).', '';
push @out, '| Patterns used | ' . join(' | ', map { count($_) } @counts) . ' |';
push @out, '|---|' . ('---:|' x @counts);
my ($hot1, $first1) = ($stage{1}{hot_ns}, $stage{1}{first_ns});
push @out, '| Hot cached `MOLV_MATCH` | ' . join(' | ', map { at($_, 'hot_ns', \&t) } @counts) . ' |';
push @out, '| against 1 used | ' . join(' | ', map { at($_, 'hot_ns', sub { x($_[0] / $hot1) }) } @counts) . ' |';
push @out, '| A new pattern\'s first call | ' . join(' | ', map { at($_, 'first_ns', \&t) } @counts) . ' |';
push @out, '| against 1 used | ' . join(' | ', map { at($_, 'first_ns', sub { x($_[0] / $first1) }) } @counts) . ' |';
push @out, '| Resident memory (VmRSS) | ' . join(' | ', map { at($_, 'rss_kib', \&mib) } @counts) . ' |', '';
my ($s10k, $s100k) = ($stage{10000}, $stage{100000});
my @scalingGoals = (
    $s100k ? goal(sprintf('hot call after 100,000 patterns at most 1.3× the hot call after 1 (%s)', x($s100k->{hot_ns} / $hot1)),
                  $s100k->{hot_ns} <= 1.3 * $hot1)
           : goal('hot call after 100,000 patterns at most 1.3× the hot call after 1 (not reached)', 0),
    $s100k ? goal(sprintf('a new pattern\'s call after 100,000 at most 2× the first ones (%s)', x($s100k->{first_ns} / $first1)),
                  $s100k->{first_ns} <= 2 * $first1)
           : goal('a new pattern\'s call after 100,000 at most 2× the first ones (not reached)', 0),
    $s10k && $s100k
        ? goal(sprintf('resident memory from 10,000 to 100,000 patterns at most +8 MiB (%s)',
                       d_mib($s100k->{rss_kib} - $s10k->{rss_kib})),
               $s100k->{rss_kib} - $s10k->{rss_kib} <= 8 * 1024)
        : goal('resident memory from 10,000 to 100,000 patterns at most +8 MiB (not reached)', 0),
);
sub d_mib { my $v = shift; return ($v < 0 ? '−' : '+') . mib(abs $v); }
push @out, 'Goals: ' . join('; ', @scalingGoals) . '.';
push @out, "The run stopped adding patterns: $scaling->{stopped}." if $scaling->{stopped};
push @out, '';

# ---- 1 MiB against perl ----
push @out, '| 1 MiB | MOLV_ export | perl | module / perl | same result size | goal |';
push @out, '|---|---:|---:|---:|---|---|';
for my $work (['Subst1MiB', '`MOLV_SUBST` s/(\d+)/<$1>/g', 'output'], ['Trans1MiB', '`MOLV_TRANS` tr/a-z/A-Z/', 'output'],
              ['Split1MiB', '`MOLV_SPLIT` /[\s,;]+/, limit 0', 'pieces']) {
    my ($name, $label, $counter) = @$work;
    my $m = need($name);
    my $p = $perl->{$name}{ns} // die "perl gave no $name\n";
    my $same = abs(($row{$name}{$counter} // -1) - $perl->{$name}{$counter}) < 0.5 ? 'yes' : 'NO';
    my $goal = $name eq 'Trans1MiB' ? goal('faster than perl', $m < $p) : '—';
    push @out, sprintf('| %s | %s | %s | %s | %s | %s |', $label, t($m), t($p), x($m / $p), $same, $goal);
}
push @out, '';

# ---- searches PCRE2's JIT gives up on: the fallback ----
sub answer {
    my $r = shift;
    return 'no match' unless $r->{matched} >= 0.5;
    return sprintf('match %d:%d', $r->{start}, $r->{length});
}
push @out, '**Long texts PCRE2\'s JIT gives up on** (its stack, or its match limit): `MOLV_MATCH` of each pattern, answered by the linear engine, or for a backreference by PCRE2\'s interpreter with its heap budget; beside PCRE2\'s interpreter alone (our limits: 10,000,000 steps, the same heap budget) and perl. Answers as position texts (offset:length, modulo 65536). Each pattern\'s first search, which pays the limit, is left out: a host\'s loop pays it once.', '';
push @out, '| Pattern, text | size | MOLV_MATCH | per byte | goal | PCRE2 interpreter | perl | answer | perl\'s answer |';
push @out, '|---|---:|---:|---:|---|---:|---:|---|---|';
# A "|" in a table cell, code spans too, must be escaped.
my @fallbackCases = map { (my $cell = $_->[1]) =~ s/\|/\\|/g; [$_->[0], $cell] }
    (['AlternationLoop', '`m/(a|b)*c/`, "ab" × 300,000, "c"'],
     ['Quoted', '`m/"(?:[^"\\\\]|\\\\.)*"/`, a quoted string of 600 KB'],
     ['Fields', '`m/^(?:([^,]*),)*x$/`, "field," × 66,000, "x"'],
     ['Words10k', '`m/^(\w+\s?)*$/`, "word " × 10,000, "!"'],
     ['Words100k', '`m/^(\w+\s?)*$/`, "word " × 100,000, "!"'],
     ['Backreference', '`m/^(?:(a)|b)*x\1$/`, "ab" × 200,000, "xa"']);
# Both systems time the same texts (bench_texts.h); module_bench counts their bytes.
sub fallbackBytes { return $row{"FallbackModule/$_[0]"}{bytes}; }
for my $case (@fallbackCases) {
    my ($name, $cell) = @$case;
    my ($m, $r) = (need("FallbackModule/$name"), $row{"FallbackModule/$name"});
    my $i = need("FallbackInterpreter/$name");
    my $p = $perl->{"Fallback/$name"} // die "perl gave no Fallback/$name\n";
    my $perByte = $m / fallbackBytes($name);
    my $interpreter = $row{"FallbackInterpreter/$name"}{answered} >= 0.5 ? t($i) : 'stops on a limit';
    my $same = answer($r) eq answer($p) ? 'the same' : ($p->{gave_up} ? 'perl gave up' : 'DIFFERS');
    push @out, sprintf('| %s | %s | %s | %.1f ns | %s | %s | %s | %s | %s (%s) |', $cell, sprintf('%.0f KiB', fallbackBytes($name) / 1024), t($m),
                       $perByte, goal('at most 500 ns', $perByte <= 500), $interpreter, t($p->{ns}), answer($r),
                       answer($p), $same);
}
push @out, '';
my ($words10k, $words100k) = (need('FallbackModule/Words10k'), need('FallbackModule/Words100k'));
my ($firstFallback, $thousand) = (need('FallbackFirstCall'), need('FallbackThousandCalls'));
push @out, sprintf('Goals: ten times the words, %s the time (%s); the first search of `m/^(\w+\s?)*$/` on 20 words and "!", which stops on the match limit first, %s (%s); 1,000 such searches from the first on, %s (%s).',
                   x($words100k / $words10k), goal('at most 15×', $words100k <= 15 * $words10k), t($firstFallback),
                   goal('at most 50 ms', $firstFallback <= 50e6), t($thousand), goal('under 100 ms', $thousand < 100e6)), '';

push @out, '| Walk over a split of 10,000 pieces | per piece | whole walk |';
push @out, '|---|---:|---:|';
my ($walk, $walkCut) = (need('Walk/GetNext'), need('Walk/GetNextPosToStr'));
push @out, sprintf('| `MOLV_HASMORERESULTS` + `MOLV_GETNEXT` | %s | %s |', t($walk / 10000), t($walk));
push @out, sprintf('| … + `MOLV_POSTOSTR` of each position, kept in the host\'s heap | %s | %s |', t($walkCut / 10000), t($walkCut)), '';

# ---- molv against perl as filters ----
push @out, sprintf('**molv as a filter** against perl on the same generated web access log (`bench/access_log.pl`: %s lines, %s), output into a file, median of the runs:',
                   count($molv->{log}{lines}), mib($molv->{log}{bytes} / 1024)), '';
push @out, '| Filter | molv | perl | molv / perl | same output | goal |';
push @out, '|---|---:|---:|---:|---|---|';
for my $filter (['Match', q{`molv match '/ 4\d\d$/'`}, q{`perl -ne 'print if / 4\d\d$/'`}],
                ['Subst', q{`molv subst 's/GET/FETCH/'`}, q{`perl -pe 's/GET/FETCH/'`}]) {
    my ($name, $ours, $theirs) = @$filter;
    my $f = $molv->{$name} // die "molv_vs_perl gave no $name\n";
    push @out, sprintf('| %s against %s | %s | %s | %s | %s | %s |', $ours, $theirs, t($f->{molv_ms} * 1e6),
                       t($f->{perl_ms} * 1e6), x($f->{molv_ms} / $f->{perl_ms}), $f->{same} ? 'yes' : 'NO',
                       goal('no slower than perl', $f->{molv_ms} <= $f->{perl_ms}));
}
push @out, '';

# ---- host threads at once: module_threads ----
my $n = $threads->{threads};
my @cases = map { $threads->{cases}{$_} } qw(shared own);
my $wrong = 0;
$wrong += $_->{wrong} for @cases;
sub rate { return sprintf('%.1f M calls/s', $_[0] / 1e6); }
push @out, sprintf('**Host threads at once**: cached `MOLV_MATCH` of `m/(\d+)-(\d+)/` on a %d-byte subject, the texts on each calling thread\'s stack, on 1 thread and on all %d cores; every answer checked (%s wrong); calls per second, the best of %d alternating rounds of %s calls a thread. Each thread\'s own pattern differs by a comment group, `(?#t<N>)`.',
                   $threads->{subject_bytes}, $n, count($wrong), $threads->{rounds}, count($threads->{calls_per_thread})), '';
push @out, '| Threads calling at once | one pattern shared | a pattern of each thread\'s own |';
push @out, '|---|---:|---:|';
push @out, '| 1 | ' . join(' | ', map { rate($_->{one_per_s}) } @cases) . ' |';
push @out, "| $n | " . join(' | ', map { rate($_->{all_per_s}) } @cases) . ' |';
push @out, "| $n threads / 1 | " . join(' | ', map {
    my $r = $_->{all_per_s} / $_->{one_per_s};
    x($r) . ' (' . goal('at least 1.8×', $r >= 1.8) . ')' } @cases) . ' |';
push @out, '| 1 thread, a call | ' . join(' | ', map {
    my $ns = 1e9 / $_->{one_per_s};
    t($ns) . ' (' . goal('at most 75 ns', $ns <= 75) . ')' } @cases) . ' |', '';

# ---- the Windows DLL: windows_bench under Wine ----
if (@windows) {
    push @out, '**Windows**: the 32-bit `MOLV_Wrap.dll` of each calling convention under Wine, in one process with the `bregexp.dll` it loaded: that library with its cached record, `MOLV_MATCH` with the host\'s texts in its heap or on its stack; the PCRE2 subjects and pattern above, median of the rounds; then the long texts above that PCRE2\'s JIT gives up on, each record\'s first search, which pays the limit, left out.', '';
    push @out, '| Build, work | bregexp.dll | MOLV_MATCH | added | MOLV_MATCH, stack texts | added | goal |';
    push @out, '|---|---:|---:|---:|---:|---:|---|';
    for my $w (@windows) {
        my $r = $w->{rows};
        for my $size ([60, '60 B'], [1024, '1 KiB']) {
            my ($l, $m, $s) = map { $r->{"$_/$size->[0]"} // die "windows_bench gave no $_/$size->[0]\n" } qw(LibraryMatch Match Stack);
            my $goal = $size->[0] == 60 ? goal('both at most +80 ns', $m - $l <= 80 && $s - $l <= 80)
                                        : goal('both at most 1.35×', $m <= 1.35 * $l && $s <= 1.35 * $l);
            push @out, sprintf('| %s, PCRE2 JIT, %s | %s | %s | %s (%s) | %s | %s (%s) | %s |', $w->{convention}, $size->[1],
                               t($l), t($m), d($m - $l), x($m / $l), t($s), d($s - $l), x($s / $l), $goal);
        }
    }
    push @out, '';
    push @out, '| Build, work (host texts in its heap) | bregexp.dll | MOLV_ export | added |';
    push @out, '|---|---:|---:|---:|';
    for my $w (@windows) {
        for my $work (['Split', 'LibrarySplit', '`MOLV_SPLIT` /\s+/, limit 0'], ['Subst', 'LibrarySubst', '`MOLV_SUBST` s/(\d+)-(\d+)/$2-$1/']) {
            for my $size ([60, '60 B'], [1024, '1 KiB']) {
                my ($l, $m) = map { $w->{rows}{"$_/$size->[0]"} // die "windows_bench gave no $_/$size->[0]\n" } ($work->[1], $work->[0]);
                push @out, sprintf('| %s, %s, %s | %s | %s | %s (%s) |', $w->{convention}, $work->[2], $size->[1],
                                   t($l), t($m), d($m - $l), x($m / $l));
            }
        }
    }
    push @out, '';
    push @out, '| Build, long text PCRE2\'s JIT gives up on (heap texts) | bregexp.dll | MOLV_MATCH | per byte | goal |';
    push @out, '|---|---:|---:|---:|---|';
    for my $w (@windows) {
        for my $case (@fallbackCases) {
            my ($name, $cell) = @$case;
            my ($l, $m) = map { $w->{rows}{"$_/$name"} // die "windows_bench gave no $_/$name\n" } qw(LibraryFallback Fallback);
            my $perByte = $m / fallbackBytes($name);
            push @out, sprintf('| %s, %s | %s | %s | %.1f ns | %s |', $w->{convention}, $cell, t($l), t($m), $perByte,
                               goal('at most 500 ns', $perByte <= 500));
        }
    }
    push @out, '';
} else {
    # scripts/bench says why, where it knows.
    my $why = $ENV{MOLV_BENCH_WINDOWS_CAUSE} // 'see the notices of scripts/bench';
    push @out, "No Windows figures in this run: the 32-bit Windows benchmark could not be built or run here ($why).", '';
}

# ---- what the figures say ----
my ($e60, $s60) = map { need("$_/Pcre2/60") } qw(Engine Stack);
my ($e1k, $s1k) = map { need("$_/Pcre2/1024") } qw(Engine Stack);
my @load = @{ $bench->{context}{load_avg} // [] };
push @out, sprintf('Goals: %s. A `MOLV_MATCH` checks both host texts, the pattern and the subject, for readability before it reads them; on this system that is one kernel check per text (per page it spans), %s each, so two come to %s on every call whose texts lie in the host\'s heap. The checks stay: they are what makes a null or unreadable host text count as the empty text instead of crashing the host. Texts on the calling thread\'s stack need no check: with them the module and our library change a PCRE2 search by %s (%s) on 60 bytes and by %s (%s) on 1 KiB, and molv hands the module every line that way. In the walk, each `MOLV_POSTOSTR` adds %s a piece.',
                   $unmet ? "not met in $unmet of $goals" : "all $goals met", t($probe), t(2 * $probe),
                   d($s60 - $e60), x($s60 / $e60), d($s1k - $e1k), x($s1k / $e1k), t(($walkCut - $walk) / 10000));
# What the heap rows carry beyond the module's own steps and the two checks.
my %afterChecks = map { $_ => need("Module/$_/60") - need("Stack/$_/60") - 2 * $probe } qw(Pcre2 ShiftJis);
push @out, '';
push @out, sprintf('With heap texts the search also runs right after two kernel entries, which leave caches and branch predictors colder: on 60 bytes that adds %s to a PCRE2 search beyond the two checks, and %s to a Shift_JIS one (conversion and search). The module\'s own steps are what the stack rows show.',
                   d($afterChecks{Pcre2}), d($afterChecks{ShiftJis}));
push @out, '';
push @out, sprintf('Figures from one run of scripts/bench (Google Benchmark, real time, median of the repetitions; module_scaling and windows_bench, median of their rounds; module_threads, best of its rounds; perl %s; load average %s at the start: the machine is shared, so single figures move by 10-30%% between runs).',
                   $perl->{version} // 'as installed', @load ? join(' ', map { sprintf('%.1f', $_) } @load) : 'unknown');
print join("\n", @out), "\n";
