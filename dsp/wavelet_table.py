#!/usr/bin/python3
"""Writes dsp/wavelet_table.cpp: the reference table of wavelet type 7.

The table is synthetic, made here and nowhere else: a recorded-like source wavelet of 729
non-zero samples followed by zeros, 1024 values in all. It starts with a small precursor
whose first values are -0.067678, -0.051754, -0.027868, 0.003981, swings to its extreme
-53.660866 at index 43, rings on in a decaying coda and is tapered to its last non-zero
sample at index 728. Values are rounded to six decimals; none of the 729 rounds to zero.

    /usr/bin/python3 dsp/wavelet_table.py            # rewrite dsp/wavelet_table.cpp
    /usr/bin/python3 dsp/wavelet_table.py --check    # exit 1 when the file differs
"""

import os
import sys

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
TABLE_LENGTH = 1024
LIVE = 729
PEAK_INDEX = 43
PEAK = -53.660866
FIRST = [-0.067678, -0.051754, -0.027868, 0.003981]


def wavelet():
    i = np.arange(LIVE, dtype=float)
    # Main arrival: a trough at the peak index with its two side lobes.
    u = ((i - PEAK_INDEX) / 9.0) ** 2
    pulse = -(1.0 - 2.0 * u) * np.exp(-u)
    # Coda: a decaying ring that sets in smoothly after the arrival.
    onset = 0.5 * (1.0 + np.tanh((i - 60.0) / 8.0))
    coda = 0.16 * np.exp(-(i - PEAK_INDEX) / 140.0) * np.sin(2.0 * np.pi * (i - PEAK_INDEX) / 27.0 + 0.7) * onset
    w = pulse + coda
    # Cosine-squared taper over the last 220 samples.
    taper = np.ones(LIVE)
    tail = i > LIVE - 221
    taper[tail] = np.sin(0.5 * np.pi * (LIVE - i[tail]) / 220.0) ** 2
    w = w * taper * -PEAK
    # Precursor: a cubic under a narrow Gaussian window that meets the first four values.
    window = np.exp(-(i / 7.0) ** 2)
    head = (np.array(FIRST) - w[:4]) / window[:4]
    w = w + np.polyval(np.polyfit(np.arange(4.0), head, 3), i) * window
    w[:4] = FIRST
    w[PEAK_INDEX] = PEAK
    values = np.round(w, 6)
    # A value that rounds to zero keeps the smallest step of its sign.
    small = values == 0.0
    values[small] = np.where(w[small] < 0.0, -1e-6, 1e-6)
    assert int(np.argmax(np.abs(values))) == PEAK_INDEX
    assert np.count_nonzero(values) == LIVE
    return values


def source():
    values = wavelet()
    lines = [
        "// The reference table of wavelet type 7. Written by dsp/wavelet_table.py; do not edit.",
        "// Synthetic: a recorded-like wavelet of 729 non-zero samples followed by zeros.",
        "",
        '#include "dsp/wavelet.h"',
        "",
        "namespace velk {",
        "",
        "const std::array<double, kWaveletTableLength> kWaveletTable = {",
    ]
    row = []
    for v in values:
        row.append(f"{v:.6f}")
        if len(row) == 8:
            lines.append("    " + ", ".join(row) + ",")
            row = []
    if row:
        lines.append("    " + ", ".join(row) + ",")
    lines.append("    // the remaining values are zero")
    lines.append("};")
    lines.append("")
    lines.append("}  // namespace velk")
    return "\n".join(lines) + "\n"


def main():
    path = os.path.join(HERE, "wavelet_table.cpp")
    text = source()
    if "--check" in sys.argv[1:]:
        try:
            with open(path, encoding="ascii") as f:
                same = f.read() == text
        except OSError:
            same = False
        print("wavelet_table.cpp matches its generator" if same else "wavelet_table.cpp differs from its generator")
        return 0 if same else 1
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write(text)
    print(f"wavelet_table.cpp: {len(text)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
