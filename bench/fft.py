#!/usr/bin/python3
"""The transform benchmark in one run: the fft benchmark program (our FFT against FFTW at every
power of two 256 .. 65536, and our Dft at record lengths), then numpy.fft.fft of the same real
inputs at the Dft lengths; prints the medians and the ratios of both.

    /usr/bin/python3 bench/fft.py build-bench/bench/fft [more benchmark arguments]

Ours and FFTW: --benchmark_repetitions=5 with the repetitions interleaved, the median of the
five. numpy: five repetitions, each the mean of enough calls to last about 0.2 s, and their
median.
"""

import statistics
import sys
import time

import numpy as np

import benchmark_json

LENGTHS = [1000, 2000, 3000, 4099, 5000, 6000, 10000, 30000, 65537]


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


def medians(program, extra):
    """{(benchmark, n): seconds} of the median aggregates."""
    times = {}
    for _, seconds, b in benchmark_json.run(program, "--benchmark_repetitions=5",
                                            "--benchmark_enable_random_interleaving=true", *extra):
        if b.get("aggregate_name") == "median":
            name, n = b["run_name"].split("/")[:2]
            times[(name, int(n))] = seconds
    return times


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    mine = medians(sys.argv[1], sys.argv[2:])
    print(f"{'n':>8} {'ours (us)':>11} {'FFTW (us)':>11} {'ratio':>7}")
    for n in sorted(n for name, n in mine if name == "ours"):
        ours, fftw = mine[("ours", n)], mine.get(("fftw", n), float("nan"))
        print(f"{n:>8} {ours * 1e6:11.2f} {fftw * 1e6:11.2f} {ours / fftw:7.2f}")
    print("ratio: ours / FFTW (ESTIMATE plan)")
    print()
    print(f"{'n':>8} {'Dft (us)':>11} {'numpy (us)':>11} {'ratio':>7}")
    for n in LENGTHS:
        if ("dft", n) not in mine:
            continue
        theirs = numpy_median(n)
        t = mine[("dft", n)]
        print(f"{n:>8} {t * 1e6:11.1f} {theirs * 1e6:11.1f} {t / theirs:7.2f}")
    print("ratio: ours / numpy (below 1: ours is faster)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
