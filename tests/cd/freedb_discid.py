#!/usr/bin/env python3
"""The freedb disc ID and query string of a single-file cue/bin image, written from the
published freedb definition for the tests, independently of the player's code.

Usage: freedb_discid.py disc.cue  ->  prints "discid ntracks offset... seconds"
"""
import os
import sys


def msf(text):
    m, s, f = (int(x) for x in text.split(":"))
    return (m * 60 + s) * 75 + f


def table_of_contents(cue_path):
    folder = os.path.dirname(cue_path)
    starts = []
    shift = 0  # PREGAP sectors that are not in the file
    bin_sectors = 0
    for raw in open(cue_path, encoding="utf-8"):
        words = raw.split()
        if not words:
            continue
        if words[0] == "FILE":
            name = raw.split('"')[1]
            bin_sectors = os.path.getsize(os.path.join(folder, name)) // 2352
        elif words[0] == "PREGAP":
            shift += msf(words[1])
        elif words[0] == "INDEX" and words[1] == "01":
            starts.append(msf(words[2]) + shift)
    leadout = bin_sectors + shift
    return starts, leadout


def digit_sum(n):
    return sum(int(d) for d in str(n))


def freedb_query(starts, leadout):
    offsets = [s + 150 for s in starts]
    n = sum(digit_sum(o // 75) for o in offsets)
    total = (leadout + 150) // 75 - offsets[0] // 75
    discid = ((n % 0xFF) << 24) | (total << 8) | len(offsets)
    return "%08x %d %s %d" % (discid, len(offsets), " ".join(str(o) for o in offsets), (leadout + 150) // 75)


if __name__ == "__main__":
    print(freedb_query(*table_of_contents(sys.argv[1])))
