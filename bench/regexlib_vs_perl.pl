#!/usr/bin/perl
# Runs regexlib_bench and times perl on the same work and the same texts,
# then prints, per work, our entry point against the engine called directly
# and against perl.   Usage: bench/regexlib_vs_perl.pl path/to/regexlib_bench
use strict;
use warnings;
use JSON::PP ();
use Time::HiRes ();

my $bench = shift or die "usage: $0 path/to/regexlib_bench\n";

# The texts regexlib_bench.cpp builds.
my $line = "The quick brown fox jumps over the lazy dog, 0123456789; alpha,beta,gamma\n";
my $text = $line x (int((1 << 20) / length($line)) + 1);
$text = substr($text, 0, 1 << 20);
my $short = "mail from: john.smith\@example.com (work)";

# Nanoseconds per call, running the work for about half a second.
sub time_perl {
    my ($work) = @_;
    my ($calls, $start) = (0, Time::HiRes::time());
    my $elapsed = 0;
    while ($elapsed < 0.5) {
        $work->() for 1 .. 10;
        $calls += 10;
        $elapsed = Time::HiRes::time() - $start;
    }
    return $elapsed * 1e9 / $calls;
}

my %perl = (
    Match => time_perl(sub { my $n = 0; for (1 .. 1000) { $n += ($short =~ /(\w+)@(\w+)\.com/) ? $-[1] : 0 } }) / 1000,
    SubstGlobal => time_perl(sub { my $t = $text; $t =~ s/fox/cat/g }),
    Trans => time_perl(sub { my $t = $text; $t =~ tr/a-z/A-Z/ }),
    SplitByte => time_perl(sub { my @pieces = split /,/, $text }),
    SplitRegex => time_perl(sub { my @pieces = split /\s+/, $text }),
);

my $json = `$bench --benchmark_format=json --benchmark_min_time=0.5 2>/dev/null`;
die "$bench failed\n" if $? != 0;
my %ours;
for my $result (@{ JSON::PP::decode_json($json)->{benchmarks} }) {
    my ($work, $side) = $result->{name} =~ /^BM_(\w+)_(Entry|Engine)$/ or next;
    my $scale = { ns => 1, us => 1e3, ms => 1e6 }->{ $result->{time_unit} };
    # CPU time: the machine is shared, and wall time swings with its load.
    $ours{$work}{$side} = $result->{cpu_time} * $scale;
}

printf "%-16s %12s %12s %12s %10s %10s\n", 'work', 'entry ns', 'engine ns', 'perl ns', 'vs engine', 'vs perl';
for my $work (sort keys %ours) {
    my $entry = $ours{$work}{Entry};
    my $engine = $ours{$work}{Engine};
    my $p = $perl{$work};
    printf "%-16s %12.0f %12.0f %12s %9.2fx %10s\n", $work, $entry, $engine,
        defined $p ? sprintf('%.0f', $p) : '-', $entry / $engine,
        defined $p ? sprintf('%.2fx', $entry / $p) : '-';
}
