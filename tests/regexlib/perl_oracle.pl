#!/usr/bin/perl
# Answers regular-expression cases with perl itself, for the differential
# test of bregexp.dll. One case per input line, fields separated by spaces:
#   OPERATION ENCODING LIMIT OPERATOR_HEX SUBJECT_HEX
# OPERATION is M (match), S (substitute), T (translate) or P (split);
# ENCODING is b (bytes), u (UTF-8) or k (Shift_JIS as Windows has it, cp932):
# perl works on the decoded text. Texts are hex so any byte survives.
# One answer per line:
#   M: "0", or "1" followed by "start,end" per group in bytes ("-" if idle)
#   S, T: the count, then the output in hex
#   P: the number of pieces, then each piece in hex (an idle group is empty)
#   any failure: "E" and perl's message
use strict;
use warnings;
no warnings;    # undefined groups in replacements are part of the cases
use Encode ();

$| = 1;

sub from_hex { return pack('H*', $_[0] // '') }
sub to_hex { return unpack('H*', $_[0]) }

my %encoding_names = (u => 'UTF-8', k => 'cp932');

sub decode_text {
    my ($encoding, $bytes) = @_;
    return $bytes if $encoding eq 'b';
    return Encode::decode($encoding_names{$encoding}, $bytes, Encode::FB_CROAK);
}

# A character the encoding cannot write is an error, never a silent '?'.
sub encode_text {
    my ($encoding, $text) = @_;
    return $text if $encoding eq 'b';
    return Encode::encode($encoding_names{$encoding}, $text, Encode::FB_CROAK);
}

# Byte offset of a character offset in the subject.
sub byte_offset {
    my ($encoding, $subject, $offset) = @_;
    return $offset if $encoding eq 'b';
    return length(encode_text($encoding, substr($subject, 0, $offset)));
}

sub answer_match {
    my ($encoding, $operator, $subject) = @_;
    my (@starts, @ends);
    my $matched = eval "\$subject =~ $operator ? do { \@starts = \@-; \@ends = \@+; 1 } : 0";
    die $@ if $@;
    return "0" unless $matched;
    my @spans;
    for my $group (0 .. $#ends) {
        if (defined $starts[$group]) {
            push @spans, byte_offset($encoding, $subject, $starts[$group]) . ','
                . byte_offset($encoding, $subject, $ends[$group]);
        } else {
            push @spans, '-';
        }
    }
    return join(' ', 1, @spans);
}

sub answer_rewrite {
    my ($encoding, $operator, $subject) = @_;
    my $count = eval "\$subject =~ $operator";
    die $@ if $@;
    return join(' ', ($count || 0), to_hex(encode_text($encoding, $subject)));
}

sub answer_split {
    my ($encoding, $operator, $subject, $limit) = @_;
    my @pieces = eval "split($operator, \$subject, $limit)";
    die $@ if $@;
    return join(' ', scalar(@pieces), map { to_hex(encode_text($encoding, $_ // '')) } @pieces);
}

while (my $line = <STDIN>) {
    chomp $line;
    my ($operation, $encoding, $limit, $operator_hex, $subject_hex) = split / /, $line;
    my $answer = eval {
        my $operator = decode_text($encoding, from_hex($operator_hex));
        my $subject = decode_text($encoding, from_hex($subject_hex));
        return answer_match($encoding, $operator, $subject) if $operation eq 'M';
        return answer_split($encoding, $operator, $subject, $limit) if $operation eq 'P';
        return answer_rewrite($encoding, $operator, $subject);
    };
    if (!defined $answer) {
        my $message = $@;
        $message =~ s/\s+/ /g;
        $answer = "E $message";
    }
    print "$answer\n";
}
