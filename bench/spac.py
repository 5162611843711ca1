#!/usr/bin/python3
"""The SPAC benchmark: our two-dimensional SPAC of a "Double circle 37" record of 8192 samples
(703 receiver pairs) and our synthesis of one such record with three plane waves (the spac
benchmark program) against numpy in one run; prints both times and the ratios.

    /usr/bin/python3 bench/spac.py build-bench/bench/spac

numpy: the coherency of all pairs as one vectorised product (rfft of every receiver, then
Re(A conj B) / |A||B| over the pair index arrays, summed per spacing by one matrix product); the
synthesis as one phase-shift product per receiver and direction and an irfft per receiver.
Each the best of a few runs.
"""

import sys
import time

import numpy as np

import benchmark_json

N, DT, C = 8192, 0.004, 200.0


def best_of(runs, work):
    best = float("inf")
    for _ in range(runs):
        start = time.perf_counter()
        work()
        best = min(best, time.perf_counter() - start)
    return best


def double_circle(a=40.0):
    xy = [(0.0, 0.0)]
    for i in range(1, 37):
        r = a / 4 if i <= 18 else a / 2
        t = np.radians(20.0 * ((i - 1) if i <= 18 else (i - 19)))
        xy.append((r * np.cos(t), r * np.sin(t)))
    return np.array(xy)


def numpy_times():
    xy = double_circle()
    n = len(xy)
    f = np.fft.rfftfreq(N, DT)
    rng = np.random.default_rng(1)

    def synthesis():
        spectrum = np.zeros((n, N // 2 + 1), dtype=np.complex128)
        for d in range(3):
            theta = np.radians(10.0 + 18.5 * d)
            p = -np.sin(theta) * xy[:, 0] + np.cos(theta) * xy[:, 1]
            delay = rng.random() * N * DT + (p - p.min()) / C
            spectrum += np.exp(-2j * np.pi * f[None, :] * delay[:, None]) / N
        return np.fft.irfft(spectrum * N, n=N, axis=1).astype(np.float32)

    record = synthesis()
    i, j = np.triu_indices(n)
    keep = i < n - 1
    i, j = i[keep], j[keep]
    d = np.hypot(*(xy[i] - xy[j]).T)
    spacings, which = np.unique(np.round(d, 1), return_inverse=True)
    onehot = np.zeros((len(spacings), len(i)), dtype=np.float32)
    onehot[which, np.arange(len(i))] = 1.0

    def spac():
        s = np.fft.fft(record.astype(np.float64), axis=1)[:, :N]
        a, b = s[i], s[j]
        rho = (a * b.conj()).real / np.maximum(np.abs(a) * np.abs(b), 1e-300)
        sums = onehot @ rho.astype(np.float32)
        return sums / np.bincount(which)[:, None]

    return best_of(3, spac), best_of(3, synthesis)


def ours(program):
    return {name.split("/")[0]: seconds for name, seconds, _ in benchmark_json.run(program)}


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    mine = ours(sys.argv[1])
    spac, synthesis = numpy_times()
    print(f"{'work':>12} {'ours (s)':>10} {'numpy (s)':>10} {'ratio':>7}")
    for name, key, reference in (("Spac2D", "BM_Spac2D", spac), ("synthesis", "BM_Synthesis", synthesis)):
        print(f"{name:>12} {mine[key]:10.4f} {reference:10.4f} {mine[key] / reference:7.2f}")
    print("ratio: ours / numpy (below 1: ours is faster)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
