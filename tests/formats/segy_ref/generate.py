#!/usr/bin/python3
"""Writes the SEG-Y fixtures of tests/data and, from segyio's own reading of each, the
reference files beside this script that the SEG-Y tests compare with.

Run with Debian's interpreter and packages (python3-segyio, python3-numpy):

    /usr/bin/python3 tests/formats/segy_ref/generate.py           # rewrite fixtures and references
    /usr/bin/python3 tests/formats/segy_ref/generate.py --check   # compare, exit 1 on a difference

The build and CI only read the committed files.

Most files are written by segyio itself. Its 1.8 writer drops the last sample of 2- and
1-byte formats, so the int16 and int8 files are written here with numpy (headers laid out as
segyio lays them) and only read by segyio. Damaged and patched copies are made from the
written files; their references come from segyio's reading of the file they were made from.

Reference format (text): "traces N", "samples n", "interval us", then one line per trace
holding its samples as "%.9g" separated by blanks.
"""

import os
import struct
import sys
import tempfile

import numpy as np
import segyio

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.normpath(os.path.join(HERE, "..", "..", "data"))

EBCDIC_END = bytes([0x4D, 0x4D, 0xE2, 0xC5, 0xC7, 0x7A, 0x40, 0xC5, 0x95, 0x84, 0xE3, 0x85, 0xA7, 0xA3, 0x5D, 0x5D])


def lcg(seed, count):
    """count integers in [0, 2^24) from a 32-bit LCG."""
    out = []
    x = seed & 0xFFFFFFFF
    for _ in range(count):
        x = (1664525 * x + 1013904223) & 0xFFFFFFFF
        out.append(x >> 8)
    return out


def values(seed, traces, n, scale, offset=0.0):
    """traces x n values k / scale - offset, exact in float32."""
    k = np.array(lcg(seed, traces * n), dtype=np.float64).reshape(traces, n)
    return (k / scale - offset).astype(np.float32)


def write_segyio(path, data, fmt, dt_us, per_ensemble, endian="big", ext_headers=0):
    spec = segyio.spec()
    spec.samples = list(np.arange(data.shape[1]) * (dt_us / 1000.0))
    spec.format = fmt
    spec.tracecount = data.shape[0]
    spec.endian = endian
    spec.ext_headers = ext_headers
    with segyio.create(path, spec) as f:
        for i, trace in enumerate(data):
            f.header[i] = {segyio.TraceField.TRACE_SEQUENCE_LINE: i + 1,
                           segyio.TraceField.TRACE_SAMPLE_COUNT: data.shape[1],
                           segyio.TraceField.TRACE_SAMPLE_INTERVAL: dt_us}
            f.trace[i] = trace
        f.bin.update({segyio.BinField.Traces: per_ensemble, segyio.BinField.Interval: dt_us})


def write_numpy(path, data, fmt, dtype, dt_us, per_ensemble):
    """A big-endian file of a format segyio 1.8 cannot write correctly."""
    n = data.shape[1]
    binary = bytearray(400)
    struct.pack_into(">h", binary, 12, per_ensemble)
    struct.pack_into(">H", binary, 16, dt_us)
    struct.pack_into(">H", binary, 20, n)
    struct.pack_into(">h", binary, 24, fmt)
    with open(path, "wb") as f:
        f.write(b"\x40" * 3200)
        f.write(bytes(binary))
        for i, trace in enumerate(data):
            header = bytearray(240)
            struct.pack_into(">i", header, 0, i + 1)
            struct.pack_into(">H", header, 114, n)
            struct.pack_into(">H", header, 116, dt_us)
            f.write(bytes(header))
            f.write(np.asarray(trace, dtype=dtype).tobytes())


def read_segyio(path, endian="big"):
    with segyio.open(path, ignore_geometry=True, endian=endian) as f:
        traces = np.array([np.asarray(f.trace[i], dtype=np.float64) for i in range(f.tracecount)])
        return {"traces": f.tracecount, "samples": len(f.samples),
                "interval": int(f.bin[segyio.BinField.Interval]), "data": traces}


def reference_text(ref, keep=None):
    data = ref["data"] if keep is None else ref["data"][:keep]
    lines = ["traces %d" % len(data), "samples %d" % ref["samples"], "interval %d" % ref["interval"]]
    for trace in data:
        lines.append(" ".join("%.9g" % np.float32(v) for v in trace))
    return "\n".join(lines) + "\n"


def patch(src, dst, changes, cut=0):
    with open(src, "rb") as f:
        b = bytearray(f.read())
    for at, new in changes:
        b[at:at + len(new)] = new
    if cut:
        b = b[:-cut]
    with open(dst, "wb") as f:
        f.write(bytes(b))


def build(folder):
    """Writes every fixture into `folder`; returns {name: reference text}."""
    refs = {}
    p = lambda name: os.path.join(folder, name)

    ibm = values(1, 6, 50, 4096.0, 2048.0)
    ibm[1, 3] = 0.0
    write_segyio(p("segy-ibm-be.sgy"), ibm, 1, 500, 24)
    refs["segy-ibm-be.sgy"] = reference_text(read_segyio(p("segy-ibm-be.sgy")))

    int32 = np.array(lcg(2, 4 * 40), dtype=np.int64).reshape(4, 40) * 256 - 2**31
    int32[0, :4] = [2**31 - 1, -2**31, 16777217, -16777219]
    write_segyio(p("segy-int32-be.sgy"), int32.astype(np.int32), 2, 1000, 0)
    refs["segy-int32-be.sgy"] = reference_text(read_segyio(p("segy-int32-be.sgy")))

    int16 = (np.array(lcg(3, 5 * 30), dtype=np.int64).reshape(5, 30) % 65536) - 32768
    int16[0, :2] = [-32768, 32767]
    write_numpy(p("segy-int16-be.sgy"), int16, 3, ">i2", 250, 24)
    refs["segy-int16-be.sgy"] = reference_text(read_segyio(p("segy-int16-be.sgy")))

    ieee = values(4, 25, 1000, 8.0, 1024.0)
    write_segyio(p("segy-ieee-be-1000x25.sgy"), ieee, 5, 125, 24)
    refs["segy-ieee-be-1000x25.sgy"] = reference_text(read_segyio(p("segy-ieee-be-1000x25.sgy")))

    int8 = (np.array(lcg(5, 3 * 20), dtype=np.int64).reshape(3, 20) % 256) - 128
    int8[0, :2] = [-128, 127]
    write_numpy(p("segy-int8-be.sgy"), int8, 8, "i1", 2000, 0)
    refs["segy-int8-be.sgy"] = reference_text(read_segyio(p("segy-int8-be.sgy")))

    write_segyio(p("segy-ibm-le.sgy"), values(6, 4, 30, 65536.0, 128.0), 1, 1000, 24, "little")
    refs["segy-ibm-le.sgy"] = reference_text(read_segyio(p("segy-ibm-le.sgy"), "little"))

    write_segyio(p("segy-ieee-le.sgy"), values(7, 4, 30, 1024.0, 8192.0), 5, 1000, 0, "little")
    refs["segy-ieee-le.sgy"] = reference_text(read_segyio(p("segy-ieee-le.sgy"), "little"))

    # Two extended textual headers; then the same file with the count -1 and the end stanza
    # (EBCDIC) in the second of them.
    write_segyio(p("segy-ext2.sgy"), values(8, 3, 20, 256.0, 1.0), 5, 500, 3, ext_headers=2)
    refs["segy-ext2.sgy"] = reference_text(read_segyio(p("segy-ext2.sgy")))
    patch(p("segy-ext2.sgy"), p("segy-ext-endtext.sgy"),
          [(3504, struct.pack(">h", -1)), (3600 + 3200, EBCDIC_END)])
    refs["segy-ext-endtext.sgy"] = refs["segy-ext2.sgy"]

    # A little-endian file whose byte-order mark is patched in.
    write_segyio(p("segy-bom-le.sgy"), values(9, 3, 16, 32.0, 100.0), 5, 1000, 0, "little")
    refs["segy-bom-le.sgy"] = reference_text(read_segyio(p("segy-bom-le.sgy"), "little"))
    patch(p("segy-bom-le.sgy"), p("segy-bom-le.sgy"), [(3296, bytes([4, 3, 2, 1]))])

    # Format code 0: the question road. 257 samples and 514 us read the same in both byte
    # orders, so both answers find the same traces; the reference is the IBM reading.
    code0 = values(10, 2, 257, 512.0, 16000.0)
    tmp = p("segy-code0-ibm.tmp")
    write_segyio(tmp, code0, 1, 514, 0)
    refs["segy-code0.sgy"] = reference_text(read_segyio(tmp))
    patch(tmp, p("segy-code0.sgy"), [(3224, struct.pack(">h", 0))])
    os.remove(tmp)

    # A dead trace and exact zeros.
    dead = values(11, 4, 20, 16.0, 500.0)
    dead[2, :] = 0.0
    dead[0, ::5] = 0.0
    write_segyio(p("segy-dead.sgy"), dead, 1, 1000, 4)
    refs["segy-dead.sgy"] = reference_text(read_segyio(p("segy-dead.sgy")))

    # 240 traces in ensembles of 24.
    write_segyio(p("segy-240tr.sgy"), values(12, 240, 2, 64.0, 100.0), 1, 1000, 24)
    refs["segy-240tr.sgy"] = reference_text(read_segyio(p("segy-240tr.sgy")))

    # The IBM file cut inside its last trace: the five complete traces.
    patch(p("segy-ibm-be.sgy"), p("segy-truncated.sgy"), [], cut=37)
    refs["segy-truncated.sgy"] = reference_text(read_segyio(p("segy-ibm-be.sgy")), keep=5)
    return refs


def main():
    check = "--check" in sys.argv[1:]
    if check:
        with tempfile.TemporaryDirectory() as folder:
            refs = build(folder)
            bad = 0
            for name, text in sorted(refs.items()):
                with open(os.path.join(folder, name), "rb") as a, open(os.path.join(DATA, name), "rb") as b:
                    if a.read() != b.read():
                        print("differs:", name)
                        bad = 1
                with open(os.path.join(HERE, name + ".txt")) as r:
                    if r.read() != text:
                        print("reference differs:", name)
                        bad = 1
            sys.exit(bad)
    refs = build(DATA)
    for name, text in refs.items():
        with open(os.path.join(HERE, name + ".txt"), "w") as f:
            f.write(text)
    print("wrote", len(refs), "fixtures and references")


if __name__ == "__main__":
    main()
