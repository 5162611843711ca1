#!/usr/bin/python3
"""The phase-shift image benchmark: our PhaseShiftImage and a straightforward cos/sin stack
(the phase_shift benchmark program) against numpy's vectorised phase shift of the same shape
(24 traces x 1500 samples at 1 ms, nfft 2048, 195 frequency rows, 200 velocities), in one run.

    /usr/bin/python3 bench/phase_shift.py build-bench/bench/phase_shift
"""

import sys
import time

import numpy as np

import benchmark_json

TRACES, SAMPLES, NFFT, ROWS, VELOCITIES = 24, 1500, 2048, 195, 200


def numpy_time():
    j = np.arange(SAMPLES)
    i = np.arange(TRACES)[:, None]
    x = np.sin(0.05 * j - 0.3 * i) * np.exp(-0.002 * j) + 0.01 * ((i * 7 + j * 13) % 17)
    positions = np.arange(TRACES, dtype=float)
    df = 1000.0 / NFFT
    velocities = np.arange(VELOCITIES) * 2.5
    velocities[0] = 0.1

    def work():
        u = np.fft.fft(x / np.abs(x).max(axis=1)[:, None], NFFT, axis=1)[:, :ROWS] / NFFT
        u = u / np.abs(u)
        phase = 2 * np.pi * (np.arange(ROWS) * df)[:, None, None] * (positions[None, :] / velocities[:, None])[None]
        return np.abs((u.T[:, None, :] * np.exp(1j * phase)).sum(axis=2)) / TRACES

    best = float("inf")
    for _ in range(5):
        start = time.perf_counter()
        work()
        best = min(best, time.perf_counter() - start)
    return best


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    for name, seconds, _ in benchmark_json.run(sys.argv[1]):
        print(f"{name:>24} {seconds * 1000:9.2f} ms")
    print(f"{'numpy vectorised':>24} {numpy_time() * 1000:9.2f} ms")
    return 0


if __name__ == "__main__":
    sys.exit(main())
