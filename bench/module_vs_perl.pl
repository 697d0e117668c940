#!/usr/bin/perl
# Times perl on the 1 MiB work of module_bench (the same text, the same
# operators) and prints nanoseconds per operation and output sizes as JSON:
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

print "{\"version\": \"" . sprintf("%vd", $^V) . "\", ", join(", ", map {
    my $name = $_;
    "\"$name\": {" . join(", ", map { "\"$_\": $out{$name}{$_}" } sort keys %{ $out{$name} }) . "}"
} sort keys %out), "}\n";
