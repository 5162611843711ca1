#!/usr/bin/python3
"""Reference traces of the acoustic finite differences: the two-dimensional Green's function of a
point source in a homogeneous medium, convolved with the source wavelet, as the twenty receivers
record it (-p).

    /usr/bin/python3 tests/traveltime/ref/fd_green.py            # rewrite fd_green.txt
    /usr/bin/python3 tests/traveltime/ref/fd_green.py --check    # exit 1 when it differs

The Green's function H(t - r/c) / sqrt(t^2 - r^2/c^2) is integrated exactly over each sample
(acosh), so its singularity at the arrival needs no fine grid. The source wavelet is the Ricker
wavelet of the project (type 5: (1 - 2 g) exp(-g), g = (pi f t)^2, t from -1/f, zero beyond 2/f;
value i at index i + 1). The wavelet sample injected at step n shapes the level of step n + 1,
which the receivers record as sample n. The staggered scheme's source enters the first-order
system, so its reference uses the time derivative of the wavelet.
"""
import sys
from pathlib import Path

import numpy as np

VELOCITY = 3000.0   # m/s
DT = 0.0001         # s
FREQUENCY = 200.0   # Hz
SAMPLES = 450
DISTANCES = (25.0, 35.0, 45.0)  # receivers 7, 6, 5 from the source at 100 m


def wavelet(count):
    w = np.zeros(count + 1)
    d = 1.0 / FREQUENCY
    for i in range(count):
        t = -d + i * DT
        if t > 2.0 * d:
            continue
        g = t * t / (4.0 / (4.0 * np.pi * np.pi * FREQUENCY * FREQUENCY))
        w[i + 1] = np.float32(0.0 if g > 15.0 else (1.0 - 2.0 * g) * np.exp(-g))
    return w


def green(distance, count):
    a = distance / VELOCITY
    edges = (np.arange(count + 1) - 0.5) * DT
    f = np.arccosh(np.maximum(edges, a) / a)
    return np.diff(f)


def trace(distance, source):
    g = green(distance, SAMPLES + 2)
    p = np.convolve(source, g)[: SAMPLES + 2]
    return -p[1 : SAMPLES + 1]


def main():
    w = wavelet(SAMPLES + 1)
    dw = np.gradient(w)
    lines = ["# fd_green.py: receivers 25, 35, 45 m from the source, 450 samples at 0.1 ms"]
    for name, source in (("pressure", w), ("staggered", dw)):
        for d in DISTANCES:
            values = trace(d, source)
            values /= np.max(np.abs(values))
            lines.append(f"{name}_{int(d)} {len(values)}")
            lines.extend(f"{v:.9g}" for v in values)
    text = "\n".join(lines) + "\n"
    target = Path(__file__).with_name("fd_green.txt")
    if "--check" in sys.argv:
        sys.exit(0 if target.read_text() == text else 1)
    target.write_text(text)


if __name__ == "__main__":
    main()
