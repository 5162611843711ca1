#!/usr/bin/python3
"""Expected words of the shared block "RostrelData" for rostrel_block_test.cpp (standard library).

    /usr/bin/python3 tests/traveltime/ref/rostrel_block.py           # rewrite rostrel_block.txt
    /usr/bin/python3 tests/traveltime/ref/rostrel_block.py --check   # exit 1 when it differs

The offsets are the block's table as the refraction program reads it, written here on their
own, not taken from the C++ code. The set, the parameter slots, the request and the path are
the ones the test builds (SHOTS, PARAMETERS, REQUEST, PATH below; pick p of shot s from
pick()). Output: '#' comment lines, then one line per written word: byte offset, and the
little-endian 32-bit word in hex. Every other byte of the block is zero, bytes 4-39 aside."""

import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "rostrel_block.txt")

# The table: offset of each field; per-shot rows of 401 values (1604 bytes).
SIZE = 2016416
ROWS, ROW = 251, 401
REQUEST_AT = 0
PARAMETERS_AT = 40
N_AT = 80
COUNT_AT = 84
SOURCE_AT = 1088
THIRD_AT = 2092
X_AT = 3096
T_AT = 405700
K_AT = 808304
W_AT = 1210908
F_AT = 1613512
PATH_AT = 2016116
PATH_BYTES = 300
assert PATH_AT + PATH_BYTES == SIZE

# The test's input: (source position, third value, pick count) per shot.
SHOTS = [(10.5, 0.0, 3), (20.25, 115.0, 450), (-5.0, 2.5, 7)]
PARAMETERS = {0: 1.5, 4: -2.25, 9: 1000.0}
REQUEST = 7
PATH = ("/survey/" + "abcdefghijklmnopqrstuvwxyz" * 13)[:320]


def pick(s, p):
    """X, T, K, W, F of pick p of shot s (all exact in float32)."""
    return (s * 100 + p * 0.5, 10 + s + p * 0.25, (p + s) % 4, p * 0.125 - s, 1 + p * 0.0625)


def f32(v):
    return struct.unpack("<I", struct.pack("<f", v))[0]


def i32(v):
    return struct.unpack("<I", struct.pack("<i", v))[0]


def words():
    w = {REQUEST_AT: i32(REQUEST)}
    for slot, value in PARAMETERS.items():
        w[PARAMETERS_AT + 4 * slot] = f32(value)
    w[N_AT] = i32(len(SHOTS))
    for s, (source, third, count) in enumerate(SHOTS[:ROWS]):
        copied = min(count, ROW)
        w[COUNT_AT + 4 * s] = i32(copied)
        w[SOURCE_AT + 4 * s] = f32(source)
        w[THIRD_AT + 4 * s] = f32(third)
        for p in range(copied):
            x, t, k, wv, f = pick(s, p)
            at = 4 * (s * ROW + p)
            w[X_AT + at] = f32(x)
            w[T_AT + at] = f32(t)
            w[K_AT + at] = i32(k)
            w[W_AT + at] = f32(wv)
            w[F_AT + at] = f32(f)
    path = PATH.encode("ascii")[: PATH_BYTES - 1]
    path += bytes(PATH_BYTES - len(path))
    for i in range(0, PATH_BYTES, 4):
        w[PATH_AT + i] = struct.unpack("<I", path[i : i + 4])[0]
    return w


def text():
    lines = [
        "# Words of the block \"RostrelData\" (written by rostrel_block.py; do not edit).",
        "# byte offset, little-endian 32-bit word in hex; all other bytes zero except 4-39.",
    ]
    lines += ["%d %08x" % (at, v) for at, v in sorted(words().items())]
    return "\n".join(lines) + "\n"


def main():
    new = text()
    if "--check" in sys.argv[1:]:
        with open(OUT, encoding="ascii") as f:
            if f.read() != new:
                print("rostrel_block.txt differs", file=sys.stderr)
                return 1
        return 0
    with open(OUT, "w", encoding="ascii") as f:
        f.write(new)
    return 0


if __name__ == "__main__":
    sys.exit(main())
