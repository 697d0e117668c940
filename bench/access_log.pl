#!/usr/bin/perl
# Writes a web server's access log to standard output: the input on which
# scripts/bench times molv against perl as a line filter. The same lines on
# every run and every machine (numbers from our own generator, not perl's
# rand), one request a line ending in its status, about one line in
# sixteen a 4xx status.
# Usage: bench/access_log.pl [LINES]   (default 1,000,000 lines, about 70 MB)
use strict;
use warnings;

my $lines = shift // 1_000_000;
die "usage: $0 [LINES]\n" unless $lines =~ /^\d+$/;

# A 32-bit linear congruential generator (Numerical Recipes' constants); its
# upper bits are the better ones, so each draw shifts them down.
my $state = 20240315;
sub draw {
    my ($below) = @_;
    $state = ($state * 1664525 + 1013904223) % 4294967296;
    return ($state >> 8) % $below;
}

my @methods = (('GET') x 13, 'POST', 'POST', 'HEAD');
my @paths = qw(/ /index.html /about /contact /login /logout /cart /search /api/v1/items
               /img/logo.png /css/site.css /js/app.js /favicon.ico /robots.txt /feed.xml);
my @months = qw(Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec);
my @fine = (200, 200, 200, 200, 200, 200, 200, 304, 304, 301, 302, 500, 503, 200, 200);
my @client = (400, 401, 403, 404, 404, 404, 405, 429);

binmode STDOUT;
for my $n (1 .. $lines) {
    my $address = join '.', 10, draw(256), draw(256), 1 + draw(254);
    my $time = sprintf '%02d/%s/2024:%02d:%02d:%02d', 1 + draw(28), $months[draw(12)],
        draw(24), draw(60), draw(60);
    my $path = $paths[draw(scalar @paths)];
    $path .= '?id=' . draw(100000) if draw(4) == 0;
    my $status = draw(16) == 0 ? $client[draw(scalar @client)] : $fine[draw(scalar @fine)];
    print "$address - - [$time] \"$methods[draw(scalar @methods)] $path HTTP/1.1\" $status\n";
}
