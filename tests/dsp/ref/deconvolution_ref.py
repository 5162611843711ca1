#!/usr/bin/python3
"""Reference values of the deconvolution solvers, the spline and the interpolations (numpy/scipy).

    /usr/bin/python3 tests/dsp/ref/deconvolution_ref.py           # rewrite the fixture
    /usr/bin/python3 tests/dsp/ref/deconvolution_ref.py --check   # exit 1 when it differs

Inputs come from lcg() of generate.py (SignalLcg in tests/dsp/fixture.h)."""

import os
import sys

import numpy as np
import scipy.interpolate
import scipy.linalg
import scipy.signal

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from generate import HERE, Fixture, lcg  # noqa: E402


def lags_of(seed, count, n):
    """n lags (1/L) sum x[m] x[m+k] of count values zero-filled to L = 2 count (no wrap)."""
    x = lcg(seed, count)
    L = 2 * count
    X = np.fft.fft(x, L) / L
    return (np.fft.ifft(np.abs(X) ** 2) * L).real[:n]


def spline_m(x, y):
    """Second derivatives with M[0] = M[1], M[n-1] = M[n-2], solved as a banded system."""
    n = len(x)
    h = np.diff(x)
    u = n - 2
    ab = np.zeros((3, u))
    rhs = np.zeros(u)
    for k in range(1, n - 1):
        r = h[k] / h[k - 1]
        i = k - 1
        ab[1, i] = 2 * (1 + r)
        if i + 1 < u:
            ab[0, i + 1] = r
        if i > 0:
            ab[2, i - 1] = 1.0
        rhs[i] = 6 * ((y[k + 1] - y[k]) / (h[k - 1] * h[k]) - (y[k] - y[k - 1]) / h[k - 1] ** 2)
    ab[1, 0] += 1.0
    ab[1, u - 1] += h[n - 2] / h[n - 3]
    m = scipy.linalg.solve_banded((1, 1), ab, rhs)
    return np.concatenate([[m[0]], m, [m[-1]]])


def spline_eval(x, y, M, xq):
    j = max(1, int(np.searchsorted(x, xq, side="left")))
    c, a, H = xq - x[j - 1], x[j] - xq, x[j] - x[j - 1]
    return (M[j] * c ** 3 + M[j - 1] * a ** 3 + a * (6 * y[j - 1] - M[j - 1] * H * H)
            + c * (6 * y[j] - M[j] * H * H)) / H / 6


def make():
    fx = Fixture("deconvolution.txt", __doc__.splitlines()[0])
    # Toeplitz systems: lags of seed 11 (60 values), spike and general right-hand sides.
    r = lags_of(11, 60, 40)
    r[0] *= 1.01
    spike = np.zeros(40)
    spike[0] = 1.0
    g = lcg(12, 40)
    fx.add("toeplitz_r", r)
    fx.add("levinson_spike", scipy.linalg.solve_toeplitz(r, spike))
    fx.add("levinson_general", scipy.linalg.solve_toeplitz(r, g))
    fx.add("gauss_spike", np.linalg.solve(scipy.linalg.toeplitz(r), spike))
    # A well-conditioned symmetric system for the conjugate gradients: 20 x 20, diagonal 4.
    a = lcg(13, 400).reshape(20, 20) * 0.2
    a = (a + a.T) / 2 + 4 * np.eye(20)
    b = lcg(14, 20)
    fx.add("cg_b", b)
    fx.add("cg_x", np.linalg.solve(a, b))

    # Spline through 40 knots of uneven spacing, evaluated at 57 points.
    steps = 0.5 + (lcg(21, 39) + 0.5)
    x = np.concatenate([[0.0], np.cumsum(steps)])
    y = lcg(22, 40)
    M = spline_m(x, y)
    xq = np.linspace(x[0], x[-1], 57)
    fx.add("spline_x", x)
    fx.add("spline_m", M)
    fx.add("spline_xq", xq)
    fx.add("spline_value", [spline_eval(x, y, M, v) for v in xq])
    # A sine of 16 samples per period against the not-a-knot spline, at 0.25 of the step.
    t = np.arange(64.0)
    s = np.sin(2 * np.pi * t / 16)
    tq = np.arange(0, 63.0, 0.25)
    fx.add("sine_notaknot", scipy.interpolate.CubicSpline(t, s, bc_type="not-a-knot")(tq))

    # Time interpolation: 1000 samples zero-filled to 1024, resampled to 2048, 2000 kept;
    # every 7th value stored.
    x = lcg(31, 1000)
    yr = scipy.signal.resample(np.concatenate([x, np.zeros(24)]), 2048)[:2000]
    fx.add("time_interp_every7", yr[::7])

    # F-K interpolation of 24 traces x 100 samples: time at 128 points, space at D = 64,
    # wavenumbers stuffed to 128 (the Nyquist row split), 48 traces x 100 samples kept;
    # every 13th value (row-major) stored.
    data = np.array([lcg(41 + t, 100) for t in range(24)])
    pad = np.zeros((64, 128))
    pad[:24, :100] = data
    F = np.fft.fft2(pad)
    G = np.zeros((128, 128), dtype=complex)
    G[:32] = F[:32]
    G[32] = F[32] / 2
    G[96] = F[32] / 2
    G[97:] = F[33:]
    out = (np.fft.ifft2(G) * 2).real[:48, :100]
    fx.add("fk_every13", out.ravel()[::13])
    return fx


def main():
    fx = make()
    path = os.path.join(HERE, fx.name)
    text = fx.text()
    if "--check" in sys.argv[1:]:
        with open(path, encoding="ascii") as f:
            same = f.read() == text
        print("fixture matches" if same else "fixture differs")
        return 0 if same else 1
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write(text)
    print(f"{fx.name}: {len(text)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
