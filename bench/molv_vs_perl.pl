#!/usr/bin/perl
# molv against perl as line filters on the same generated access log
# (bench/access_log.pl): matching lines, and a substitution on every line.
# Runs each pair in turn, several times, writing every output to a file,
# and prints as JSON the median wall time of each side, whether the two
# outputs are the same bytes, and the log's size:
#   {"log": {"lines": ..., "bytes": ...}, "Match": {"molv_ms": ..., "perl_ms": ..., "same": 1}, ...}
# The log is made once in the work folder and reused while the generator
# is unchanged.
# Usage: bench/molv_vs_perl.pl path/to/molv work-folder [runs]
use strict;
use warnings;
use File::Basename ();
use File::Compare ();
use Time::HiRes ();

my ($molv, $work, $runs) = @ARGV;
die "usage: $0 path/to/molv work-folder [runs]\n" unless defined $work && -x $molv;
$runs //= 5;
my $generator = File::Basename::dirname(__FILE__) . '/access_log.pl';

my $log = "$work/access.log";
if (!-e $log || -M $log > -M $generator) {
    system("$^X '$generator' >'$log.tmp'") == 0 or die "$generator failed\n";
    rename "$log.tmp", $log or die "$log: $!\n";
}

# The same perl as runs this script, so the version printed is the one timed.
my @filters = (
    ['Match', [$molv, 'match', '/ 4\d\d$/'], [$^X, '-ne', 'print if / 4\d\d$/']],
    ['Subst', [$molv, 'subst', 's/GET/FETCH/'], [$^X, '-pe', 's/GET/FETCH/']],
);

# Seconds one run takes, from start to exit, input from the log and output
# into `out`. Exit status 1 (nothing matched) is no failure.
sub run_once {
    my ($command, $out) = @_;
    my $start = Time::HiRes::time();
    my $pid = fork // die "fork: $!\n";
    if ($pid == 0) {
        open STDIN, '<', $log or die "$log: $!\n";
        open STDOUT, '>', $out or die "$out: $!\n";
        exec { $command->[0] } @$command or die "$command->[0]: $!\n";
    }
    waitpid $pid, 0;
    my $seconds = Time::HiRes::time() - $start;
    die "@$command: exit status " . ($? >> 8) . "\n" if $? != 0 && $? != 256;
    return $seconds;
}

sub median { my @sorted = sort { $a <=> $b } @_; return $sorted[$#sorted / 2]; }

my %out;
open my $in, '<', $log or die "$log: $!\n";
my $lines = 0;
$lines++ while <$in>;
$out{log} = { lines => $lines, bytes => -s $log };
for my $filter (@filters) {
    my ($name, $ours, $theirs) = @$filter;
    my (@molv, @perl);
    # In turn, so a change in the machine's load falls on both sides alike.
    for (1 .. $runs) {
        push @molv, run_once($ours, "$work/molv.out");
        push @perl, run_once($theirs, "$work/perl.out");
    }
    $out{$name} = {
        molv_ms => median(@molv) * 1e3,
        perl_ms => median(@perl) * 1e3,
        same => File::Compare::compare("$work/molv.out", "$work/perl.out") == 0 ? 1 : 0,
        output => -s "$work/molv.out",
    };
}
unlink "$work/molv.out", "$work/perl.out";

sub json_object {
    my ($hash) = @_;
    return '{' . join(', ', map {
        my $v = $hash->{$_};
        "\"$_\": " . (ref $v ? json_object($v) : $v)
    } sort keys %$hash) . '}';
}
print json_object(\%out), "\n";
