#!/usr/bin/python3
"""The band-pass benchmark: our pass (the bandpass benchmark program) against numpy on float32
records of the same shapes, in one run; prints both times and the ratio.

    /usr/bin/python3 bench/bandpass.py build-bench/bench/bandpass

numpy is timed whole-array, irfft(rfft(x, axis=1) * c, n=N, axis=1), and row by row; each the
best of a few runs. c is a real curve of N/2 + 1 factors (its values do not change the cost).
"""

import sys
import time

import numpy as np

import benchmark_json

SHAPES = [(48, 4096), (1000, 65536)]


def best_of(runs, work):
    best = float("inf")
    for _ in range(runs):
        start = time.perf_counter()
        work()
        best = min(best, time.perf_counter() - start)
    return best


def numpy_times(traces, samples):
    rng = np.random.default_rng(1)
    x = (rng.random((traces, samples), dtype=np.float32) - 0.5).astype(np.float32)
    n = samples
    c = np.linspace(0.0, 1.0, n // 2 + 1)
    runs = 5 if traces * samples < 10_000_000 else 2

    def whole():
        np.fft.irfft(np.fft.rfft(x, axis=1) * c, n=n, axis=1).astype(np.float32)

    def rows():
        for i in range(traces):
            x[i] = np.fft.irfft(np.fft.rfft(x[i]) * c, n=n)

    return best_of(runs, whole), best_of(runs, rows)


def ours(program):
    times = {}
    for name, seconds, _ in benchmark_json.run(program):
        traces, samples = (int(v) for v in name.split("/")[1:3])
        times[(traces, samples)] = seconds
    return times


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    mine = ours(sys.argv[1])
    print(f"{'shape':>14} {'ours (s)':>10} {'numpy (s)':>10} {'rows (s)':>10} {'ratio':>7}")
    for traces, samples in SHAPES:
        whole, rows = numpy_times(traces, samples)
        t = mine[(traces, samples)]
        print(f"{traces:>5} x {samples:<6} {t:10.4f} {whole:10.4f} {rows:10.4f} {t / whole:7.2f}")
    print("ratio: ours / numpy whole-array (below 1: ours is faster)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
