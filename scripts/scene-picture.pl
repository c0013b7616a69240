#!/usr/bin/perl
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes a 24-bit BMP of a small landscape (sky, sun, hills, a row of houses) for the screenshot
# and the install tests: perl is on every Debian system, so no picture tool is needed.
# usage: scene-picture.pl WIDTH HEIGHT OUT.bmp
use strict;
use warnings;

my ($w, $h, $out) = @ARGV;
die "usage: $0 WIDTH HEIGHT OUT.bmp\n" unless defined $out && $w > 0 && $h > 0;

sub clamp { my $v = int($_[0] + 0.5); return $v < 0 ? 0 : $v > 255 ? 255 : $v; }

sub pixel {
    my ($x, $y) = @_;    # y = 0 at the top
    my ($fx, $fy) = ($x / $w, $y / $h);
    # Houses along the lower hill: walls, a roof, a window.
    my $cell = $w / 8;
    my $col = int($x / $cell);
    my $cx = ($x - $col * $cell) / $cell;
    my $base = 0.78 + 0.04 * sin($col * 1.7);
    if ($cx > 0.2 && $cx < 0.8) {
        my $roof = $base - 0.16 - 0.12 * (0.3 - abs($cx - 0.5));
        if ($fy > $base - 0.16 && $fy < $base) {
            return (40, 60, 200) if abs($cx - 0.5) < 0.08 && $fy > $base - 0.12 && $fy < $base - 0.06;
            return (($col % 2 ? 230 : 250), 230, ($col % 3 ? 210 : 180));
        }
        return (200, 60 + 20 * ($col % 3), 50) if $fy > $roof && $fy <= $base - 0.16;
    }
    # Hills, sun, then the sky's gradient.
    return (70, 160, 80) if $fy > 0.72 + 0.08 * sin($fx * 6.0);
    return (50, 125, 60) if $fy > 0.62 + 0.10 * cos($fx * 3.5 + 1.0);
    my ($dx, $dy) = ($fx - 0.78, ($fy - 0.22) * $h / $w);
    return (255, 210, 60) if $dx * $dx + $dy * $dy < 0.006;
    return (clamp(80 + 110 * $fy), clamp(150 + 80 * $fy), clamp(240 + 15 * $fy));
}

my $row = int(($w * 3 + 3) / 4) * 4;
my $size = 54 + $row * $h;
open(my $fh, '>:raw', $out) or die "$out: $!\n";
print $fh pack('A2 V v v V', 'BM', $size, 0, 0, 54);
print $fh pack('V l l v v V V l l V V', 40, $w, $h, 1, 24, 0, $row * $h, 2835, 2835, 0, 0);
for (my $y = $h - 1; $y >= 0; --$y) {    # bottom-up rows, blue green red
    my $line = '';
    for my $x (0 .. $w - 1) {
        my ($r, $g, $b) = pixel($x, $y);
        $line .= pack('C3', $b, $g, $r);
    }
    print $fh $line . ("\0" x ($row - $w * 3));
}
close($fh) or die "$out: $!\n";
