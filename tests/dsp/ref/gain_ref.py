"""Reference fixtures of the gain, notch and wavelet code, written by generate.py.

Each function returns one Fixture; generate.py imports this module when it runs. Inputs come
from the shared generator (lcg) or from closed formulas that the C++ tests repeat, cast to
float32 where the store holds them.
"""

import math

import numpy as np
import scipy.optimize
import scipy.signal

from generate import Fixture, lcg, slope_curve

f32 = np.float32
TWO_PI = 6.283185307179586


def fft_length(n, factor=1):
    """PowerOfTwoLength."""
    p = 8
    while p < n and p < 262144:
        p *= 2
    return p * factor


# ----------------------------------------------------------------------------------------------
# Wavelets


def ricker_make_wavelet(count, freq, dt):
    """MakeWavelet type 5 with the default delay: out[i + 1] for t = -1/F + i dt."""
    out = np.zeros(count + 1)
    d = 1.0 / freq
    for i in range(count):
        t = -d + i * dt
        if t > 2 * d:
            continue
        g = t * t / (4.0 / (4.0 * math.pi * math.pi * freq * freq))
        out[i + 1] = 0.0 if g > 15 else (1 - 2 * g) * math.exp(-g)
    return out.astype(np.float32).astype(np.float64)


def smooth_three(x):
    y = np.array(x, dtype=np.float64)
    inner = np.convolve(y, [0.25, 0.5, 0.25], mode="same")
    y[1:-1] = inner[1:-1]
    return y.astype(np.float32).astype(np.float64)


def windowed_wavelet(count, freq, dt):
    """MakeWavelet type 9."""
    n = fft_length(count)
    df = 1.0 / (n * dt)
    spec = np.zeros(n, dtype=complex)
    for i in range(n // 2 + 1):
        f = i * df
        a = 1.0 if 5.0 < f < freq else 0.0
        spec[i] = a * np.exp(1j * math.pi / 2)
        if 0 < i < n // 2:
            spec[n - i] = a * np.exp(-1j * math.pi / 2)
    wave = (np.fft.ifft(spec) * n).real
    out = np.zeros(count)
    quarter, eighth = count // 4, count // 8
    for i in range(10, quarter):
        v = wave[i - 10]
        if i > eighth:
            v *= (quarter - i) / eighth
        out[i + 10] = v
    out[:20] = 0
    out[quarter:] = 0
    out = out.astype(np.float32).astype(np.float64)
    for _ in range(4):
        out = smooth_three(out)
    return out


def wavelet_fixture():
    fx = Fixture("wavelet.txt", """
Wavelets. ricker_F_dt: scipy.signal.ricker(points, a) / its peak, a = 1/(sqrt(2) pi F dt)
samples, points = 2/(F dt) + 1, centred on the default delay 1/F (MakeWavelet type 5 writes
sample i at out[i + 1]). smooth_in / smooth_out: SmoothThree of lcg(8100, 64) as float32, the
inside from np.convolve with (0.25, 0.5, 0.25). windowed: MakeWavelet type 9 for count 400,
F = 60 Hz, dt = 1 ms (band 5 .. F Hz, phase +-pi/2, inverse transform, taper, four smoothings).
wfft: abs(fft(window))/L for L = 64, 5 windows at step 40 of re = lcg(8200, 300), im =
lcg(8201, 300), zeros past the end; the first L/2 amplitudes of each window.""")
    for freq, dt in ((50.0, 0.001), (25.0, 0.001), (100.0, 0.00025)):
        points = int(round(2.0 / (freq * dt))) + 1
        a = 1.0 / (math.sqrt(2.0) * math.pi * freq * dt)
        w = scipy.signal.ricker(points, a)
        fx.add(f"ricker_{int(freq)}_{int(round(dt * 1e6))}", w / np.max(w))
    x = lcg(8100, 64).astype(np.float32).astype(np.float64)
    fx.add("smooth_out", smooth_three(x))
    fx.add("windowed", windowed_wavelet(400, 60.0, 0.001))
    re, im = lcg(8200, 300), lcg(8201, 300)
    length, step = 64, 40
    rows = []
    for w in range(5):
        seg = np.zeros(length, dtype=complex)
        part = slice(w * step, min(w * step + length, 300))
        got = re[part] + 1j * im[part]
        seg[:len(got)] = got
        rows.append(np.abs(np.fft.fft(seg)) / length)
    fx.add("wfft", np.concatenate([r[:length // 2] for r in rows]))
    return fx


FIXTURES = [wavelet_fixture]
