#!/usr/bin/python3
"""The any-length transform benchmark: our Dft (the fft benchmark program, cases dft/N) against
numpy.fft.fft of the same real inputs, in one run; prints the medians and the ratio.

    /usr/bin/python3 bench/fft.py build-bench/bench/fft

Ours: --benchmark_repetitions=5, the median of the five. numpy: five repetitions, each the
mean of enough calls to last about 0.2 s, and their median.
"""

import statistics
import sys
import time

import numpy as np

import benchmark_json

LENGTHS = [4099, 10000, 30000]


def numpy_median(n, repetitions=5):
    i = np.arange(1, n + 1)
    x = np.sin(0.37 * i) + 0.25 * np.cos(1.3 * i)
    np.fft.fft(x)  # numpy keeps a plan per length too
    calls = 1
    while True:
        start = time.perf_counter()
        for _ in range(calls):
            np.fft.fft(x)
        if time.perf_counter() - start > 0.2:
            break
        calls *= 2
    times = []
    for _ in range(repetitions):
        start = time.perf_counter()
        for _ in range(calls):
            np.fft.fft(x)
        times.append((time.perf_counter() - start) / calls)
    return statistics.median(times)


def ours(program):
    times = {}
    for _, seconds, b in benchmark_json.run(program, "--benchmark_filter=^dft/", "--benchmark_repetitions=5"):
        if b.get("aggregate_name") == "median":
            times[int(b["run_name"].split("/")[1])] = seconds
    return times


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    mine = ours(sys.argv[1])
    print(f"{'n':>8} {'ours (us)':>11} {'numpy (us)':>11} {'ratio':>7}")
    for n in LENGTHS:
        theirs = numpy_median(n)
        t = mine[n]
        print(f"{n:>8} {t * 1e6:11.1f} {theirs * 1e6:11.1f} {t / theirs:7.2f}")
    print("ratio: ours / numpy (below 1: ours is faster)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
