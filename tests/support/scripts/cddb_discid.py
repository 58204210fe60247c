#!/usr/bin/python3
"""The CDDB disc id of a table of contents by the documented formula: the track start frames
(with the two-second lead-in) and the lead-out frame as arguments; prints the id in hex."""
import sys

frames = [int(a) for a in sys.argv[1:]]
offsets, leadout = frames[:-1], frames[-1]


def digit_sum(n):
    return sum(int(d) for d in str(n))


n = sum(digit_sum(o // 75) for o in offsets)
t = leadout // 75 - offsets[0] // 75
print("%08x" % ((n % 0xFF) << 24 | t << 8 | len(offsets)))
