#!/usr/bin/python3
"""Writes the 560QX SEG-1, .DZT and three-component .DAT fixtures of tests/data (and the seeds
of their fuzz targets) with the layouts the readers document. Run from anywhere:

    /usr/bin/python3 tests/formats/import_fixtures.py

The files are plain and deterministic; the golden dumps (<file>.expected) say what the program
reads from them.
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
DATA = os.path.join(ROOT, "tests", "data")
CORPUS = os.path.join(ROOT, "fuzz", "corpus")


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def seg1(channels, samples, interval, delay, gains):
    header = bytearray(b" " * 1024)

    def put(at, text):
        header[at:at + len(text)] = text.encode()
        header[at + len(text)] = 13

    put(31, "Tq560QX")
    put(99, str(channels))
    put(102, str(samples))
    put(107, interval)
    put(114, delay)
    for c, g in enumerate(gains):
        put(158 + 32 * c + 28, str(g))
    data = bytearray()
    for t in range(channels + 1):
        for e in range(samples):
            data += struct.pack("<h", ((t + 1) * 700 * (e % 7 - 3) + e * 11) % 30000 - 15000)
    return bytes(header + data)


def dzt(samples, bits, scans_per_metre, traces):
    header = bytearray(1024)
    struct.pack_into("<H", header, 4, samples)
    struct.pack_into("<h", header, 6, bits)
    struct.pack_into("<f", header, 12, 2.5)
    struct.pack_into("<f", header, 16, scans_per_metre)
    data = bytearray()
    for t in range(traces):
        for s in range(samples):
            if bits == 8:
                data.append((t * 37 + s * 19) % 256)
            else:
                data += struct.pack("<H", (t * 9001 + s * 4099) % 65536)
    return bytes(header + data)


def component_dat(count, dt):
    lines = []
    for k in range(count):
        lines.append("%.4f %d" % (k * dt, (k * 37) % 101 - 50))
    return ("\n".join(lines) + "\n").encode()


def main():
    qx = seg1(3, 20, "0.5", "0", [0, 6, 12])
    write(os.path.join(DATA, "seg1-560qx.dat"), qx)
    write(os.path.join(CORPUS, "seg1_560qx", "seed-3ch"), qx)
    write(os.path.join(CORPUS, "seg1_560qx", "seed-cut"), qx[:-5])
    write(os.path.join(CORPUS, "seg1_560qx", "seed-many"), seg1(999, 2, "0.125", "-1.5", [20] * 20)[:1100])

    d16 = dzt(16, 16, 50.0, 5)
    d8 = dzt(12, 8, 0.05, 4)
    write(os.path.join(DATA, "gpr-16bit.dzt"), d16)
    write(os.path.join(DATA, "gpr-8bit.DZT"), d8)
    write(os.path.join(CORPUS, "dzt", "seed-16bit"), d16)
    write(os.path.join(CORPUS, "dzt", "seed-8bit"), d8[:-3])

    dat = component_dat(30, 0.01)
    write(os.path.join(DATA, "station-ud.DAT"), dat)
    write(os.path.join(CORPUS, "component_dat", "seed-ud"), b"\x02" + dat)
    write(os.path.join(CORPUS, "component_dat", "seed-one"), b"\x00" + b"0.5 12\n")

    write(os.path.join(CORPUS, "gpr_radar_text", "seed-two-traces"),
          b"9 0.5 0.0001 2 3  0 20 40  ABC 7  10 20 30 40 50 60 70 80 90\n"
          b"4 0.5 0.0002 2 1  6 W 0 -5 6 -7 8\n")
    write(os.path.join(CORPUS, "gpr_radar_text", "seed-bad"), b"3 0 1 0 0 W 0 1 2 x\n")

    words = struct.pack(">IIIIIIII", 0x42640000, 0xC2640000, 0, 0x80000000, 0x7FFFFFFF, 0x00000001,
                        0x7F800000, 0x3F800000)
    write(os.path.join(CORPUS, "ibm_to_ieee", "seed-edges"), words)


if __name__ == "__main__":
    main()
