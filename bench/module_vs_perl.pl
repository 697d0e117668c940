#!/usr/bin/perl
# Times perl on the 1 MiB work of module_bench (the same text, the same
# operators) and on the long texts of its fallback rows, and prints
# nanoseconds per operation and output sizes or answers as JSON:
#   {"Subst1MiB": {"ns": ..., "output": ...}, ...}
use strict;
use warnings;
use Time::HiRes ();

# The text module_bench.cpp builds: one line repeated to exactly 1 MiB.
my $line = "The quick brown fox jumps over the lazy dog, 0123456789; alpha,beta,gamma\n";
my $text = $line x (int((1 << 20) / length($line)) + 1);
$text = substr($text, 0, 1 << 20);

# Nanoseconds per call: the median of three rounds of about half a second,
# as module_bench reports the median of its repetitions.
sub time_perl {
    my ($work) = @_;
    my @rounds;
    for (1 .. 3) {
        my ($calls, $start, $elapsed) = (0, Time::HiRes::time(), 0);
        while ($elapsed < 0.5) {
            $work->();
            ++$calls;
            $elapsed = Time::HiRes::time() - $start;
        }
        push @rounds, $elapsed * 1e9 / $calls;
    }
    return (sort { $a <=> $b } @rounds)[1];
}

my %out;
my $subst;
$out{Subst1MiB}{ns} = time_perl(sub { ($subst = $text) =~ s/(\d+)/<$1>/g; });
$out{Subst1MiB}{output} = length $subst;
my $trans;
$out{Trans1MiB}{ns} = time_perl(sub { ($trans = $text) =~ tr/a-z/A-Z/; });
$out{Trans1MiB}{output} = length $trans;
my @pieces;
$out{Split1MiB}{ns} = time_perl(sub { @pieces = split /[\s,;]+/, $text, 0; });
$out{Split1MiB}{pieces} = scalar @pieces;

# The long texts of module_bench's fallback rows, where PCRE2's JIT stops on
# a limit; perl's answer is kept beside its time (perl gives up silently on
# some of them).
my %fallback = (
    AlternationLoop => [qr/(a|b)*c/, ("ab" x 300000) . "c"],
    Quoted => [qr/"(?:[^"\\]|\\.)*"/, '"' . ('abc\\"def' x 75000) . '"'],
    Fields => [qr/^(?:([^,]*),)*x$/, ("field," x 66000) . "x"],
    Words10k => [qr/^(\w+\s?)*$/, ("word " x 10000) . "!"],
    Words100k => [qr/^(\w+\s?)*$/, ("word " x 100000) . "!"],
    Backreference => [qr/^(?:(a)|b)*x\1$/, ("ab" x 200000) . "xa"],
);
{
    # Perl warns when it gives up on a search; the warning is kept as its
    # mark, not printed.
    my $gaveUp = 0;
    local $SIG{__WARN__} = sub { $gaveUp = 1 if $_[0] =~ /recursion limit/; };
    for my $name (sort keys %fallback) {
        my ($re, $subject) = @{ $fallback{$name} };
        my ($matched, $start, $length) = (0, 0, 0);
        $gaveUp = 0;
        $out{"Fallback/$name"}{ns} = time_perl(sub { $matched = $subject =~ $re ? 1 : 0; });
        # Where and how long, modulo 65536 as the module's position text gives them.
        ($start, $length) = ($-[0] % 65536, ($+[0] - $-[0]) % 65536) if $subject =~ $re;
        $out{"Fallback/$name"}{matched} = $matched;
        $out{"Fallback/$name"}{start} = $start;
        $out{"Fallback/$name"}{length} = $length;
        $out{"Fallback/$name"}{bytes} = length $subject;
        $out{"Fallback/$name"}{gave_up} = $gaveUp;
    }
}

print "{\"version\": \"" . sprintf("%vd", $^V) . "\", ", join(", ", map {
    my $name = $_;
    "\"$name\": {" . join(", ", map { "\"$_\": $out{$name}{$_}" } sort keys %{ $out{$name} }) . "}"
} sort keys %out), "}\n";
