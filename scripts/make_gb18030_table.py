#!/usr/bin/env python3
"""Writes storage/gb18030_table.inc, the tables behind the list and settings files'
encoding: the character of every two-byte code, and the runs of four-byte codes that
stand for the rest of the Basic Multilingual Plane in order. Taken from Python's own
codec, so the tables are made anew the same way on any machine:

    python3 scripts/make_gb18030_table.py > storage/gb18030_table.inc
"""

TRAILS = list(range(0x40, 0x7F)) + list(range(0x80, 0xFF))


def two_byte():
    table = []
    for lead in range(0x81, 0xFF):
        for trail in TRAILS:
            char = bytes([lead, trail]).decode("gb18030")
            assert len(char) == 1 and ord(char) < 0x10000
            table.append(ord(char))
    return table


def four_byte_runs():
    runs, last = [], None
    for index in range(39420):
        b1, rest = 0x81 + index // 12600, index % 12600
        b2, rest = 0x30 + rest // 1260, rest % 1260
        code = ord(bytes([b1, b2, 0x81 + rest // 10, 0x30 + rest % 10]).decode("gb18030"))
        if last is None or code != last[1] + 1:
            runs.append((index, code))
        last = (index, code)
    return runs, last[0] + 1


def main():
    table = two_byte()
    runs, end = four_byte_runs()
    print("// Made by scripts/make_gb18030_table.py; do not edit.")
    print("// The character of each two-byte code: lead 0x81 to 0xFE, trail 0x40 to 0x7E")
    print("// and 0x80 to 0xFE, in that order.")
    print("static const unsigned short kTwoByteCodes[%d] = {" % len(table))
    for i in range(0, len(table), 12):
        print("    " + ", ".join("0x%04X" % c for c in table[i:i + 12]) + ",")
    print("};")
    print("// Four-byte codes from 0x81308130 on, counted from 0: each run starts at `index`")
    print("// with `code` and goes on one by one up to the next run; they end at %d." % end)
    print("static const struct { unsigned short index, code; } kFourByteRuns[%d] = {" % len(runs))
    for i in range(0, len(runs), 4):
        print("    " + ", ".join("{%d, 0x%04X}" % r for r in runs[i:i + 4]) + ",")
    print("};")
    print("static const unsigned kFourByteBmpEnd = %d;" % end)


if __name__ == "__main__":
    main()
