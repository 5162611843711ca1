"""Reference fixture of the band-pass batch, written by generate.py.

The batch reads a record, filters each trace through irfft(rfft(x, N) * curve, N) with the
cosine-taper curve of its own interval at the N/2 + 1 bins (N the power of two at or above the
longest trace), and writes the first n samples of each trace.
"""

import numpy as np

from generate import Fixture, cosine_curve, lcg

# Traces of the batch's record: seed, samples, interval (ms). One record; N from the longest.
TRACES = [(9100, 100, 2.0), (9101, 100, 2.0), (9102, 80, 1.0)]
LOW_CUT, HIGH_CUT = 10.0, 60.0


def fft_length(n):
    p = 8
    while p < n:
        p *= 2
    return p


def batch_fixture():
    fx = Fixture("batch.txt", """
The band-pass batch. trace_c: irfft(rfft(x, N) * curve, N)[:n] of x = lcg(seed, n) in float32
for TRACES[c] = (seed, n, interval ms), N the power of two at or above the longest n, curve the
cosine taper of the trace's interval for LOW_CUT and HIGH_CUT at N/2 + 1 bins.""")
    n_max = max(n for _, n, _ in TRACES)
    big = fft_length(n_max)
    fx.add("cuts", [LOW_CUT, HIGH_CUT])
    for c, (seed, n, interval) in enumerate(TRACES):
        x = lcg(seed, n).astype(np.float32).astype(np.float64)
        curve = cosine_curve(big // 2 + 1, interval, LOW_CUT, HIGH_CUT)
        y = np.fft.irfft(np.fft.rfft(x, big) * curve, big)[:n]
        fx.add(f"trace_args_{c}", [seed, n, interval])
        fx.add(f"trace_{c}", y)
    return fx


FIXTURES = [batch_fixture]
