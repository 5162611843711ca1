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


def f32_trace(values):
    return np.asarray(values, dtype=np.float64).astype(np.float32).astype(np.float64)


def decaying(seed, n, tau):
    """lcg(seed, n) x exp(-j / tau) as float32 (math.exp, as the C++ side)."""
    x = lcg(seed, n)
    return f32_trace([x[j] * math.exp(-j / tau) for j in range(n)])


# ----------------------------------------------------------------------------------------------
# AGC


def zav_agc(x, dt, crit, high_cut, high_slope):
    """The ZAV AGC as built: curve with low cut 0, envelope and gain low-passed with the
    conjugate pairing of FilterSymmetric, gain 1.0 where peak/e reaches the limit."""
    n = fft_length(len(x))
    c = slope_curve(n // 2 + 1, dt, 0.0, high_cut, 20.0, high_slope)
    full = np.array([c[min(k, n - k)] for k in range(n)])
    xp = np.zeros(n)
    xp[:len(x)] = x
    env = np.fft.ifft(np.fft.fft(np.abs(xp)) * full).real
    peak = max(float(np.max(env)), 0.0)
    limit = 10.0 ** (0.05 * crit)
    g = np.full(n, 1e6)
    live = env > 0
    g[live] = peak / env[live]
    g = np.where(g >= limit, 1.0, g)
    smooth = np.fft.ifft(np.fft.fft(g) * full).real
    return smooth * xp


def instantaneous_agc(x, window, crit):
    w = window if window > 21 else 21
    n = len(x)
    a = np.abs(x).astype(np.float32)
    peak = float(np.max(np.abs(x)))
    limit = 10.0 ** (0.05 * crit)
    g = np.empty(n)
    for i in range(n):
        lo, hi = max(0, i - w // 2), min(n, i - w // 2 + w)
        s = np.sort(a[lo:hi])
        med = float(s[len(s) // 2])  # the upper middle for an even count
        g[i] = 1.0 if med == 0 or peak / med >= limit else peak / med
    sm = g.copy()
    sm[1:-1] = (g[:-2] + 2 * g[1:-1] + g[2:]) / 4
    return x * sm


def agc_fixture():
    fx = Fixture("agc.txt", """
AGC. zav_t: the ZAV AGC of trace t of 500 samples at 1 ms (N = 512, df 1.95 Hz), critical gain
20 dB, high cut 30 Hz, slope 24 dB/oct, no normalisation; x = lcg(9000, 500) for t = 0 and
decaying(9002, 500, 100) (lcg x exp(-j/100), float32) for t = 1. inst_21_t: the instantaneous
AGC with 21 samples, critical gain 30 dB, of lcg(9100, 300) (t = 0) and decaying(9101, 300, 50)
(t = 1); inst_400: the same with 400 samples of decaying(9102, 600, 100): upper-middle median of
|x| (float32) over the window [i - W/2, i - W/2 + W - 1] cut at the trace ends, 1-2-1 smoothing
inside.""")
    xs = [f32_trace(lcg(9000, 500)), decaying(9002, 500, 100.0)]
    for t, x in enumerate(xs):
        fx.add(f"zav_{t}", zav_agc(x, 1.0, 20.0, 30.0, 24.0))
    ys = [f32_trace(lcg(9100, 300)), decaying(9101, 300, 50.0)]
    for t, y in enumerate(ys):
        fx.add(f"inst_21_{t}", instantaneous_agc(y, 21, 30.0))
    fx.add("inst_400", instantaneous_agc(decaying(9102, 600, 100.0), 400, 30.0))
    return fx


# ----------------------------------------------------------------------------------------------
# Notch filters


def notch_bins(n, f0, df, harmonics):
    bins = set()

    def notch(a):
        for b in (a, a + 1, n - a, n - a - 1):
            if 0 <= b < n:
                bins.add(b)
    notch(int(math.trunc(f0 / df)))
    if harmonics:
        for h in range(2, 100):
            e = int(math.trunc(h * f0 / df))
            if e > n // 2:
                break
            notch(e)
    return sorted(bins)


def hum_trace(seed, n, dt, amplitude, freq, phase, noise):
    x = lcg(seed, n)
    return f32_trace([amplitude * math.sin(TWO_PI * freq * j * dt / 1000.0 + phase) + noise * x[j] for j in range(n)])


def notch_fixture():
    fx = Fixture("notch.txt", """
Notch filters. bins: the bins the spectral notch zeroes for 50 Hz with harmonics at 1000 x 1 ms
(N = 2048, df = 1000/2048 Hz). spectral_t: real(ifft(X) * N)[:1000] with X = fft(x, N)/N and
those bins zeroed, x = lcg(9200, 1000) (t = 0). Least squares: hum_t = 0.8 sin(2 pi 50.3 j / 1000
+ phase_t) + 0.05 lcg(9300 + t, 1000) as float32 at 1 ms, phase_t = 0.6 + 0.7 t (t = 0..3);
estimate: the mean over the traces of 1000 k / 512 with k the strongest bin (0..255) of
fft(hum_t[:512]); fit_t: scipy.optimize.curve_fit of A sin(0.006283185307 f t + phase) to the
coarse pre-arrival window of a pick at 200 ms, hum_t[0:200:2] (t = 2 j ms), from
(max(|window|, 0.1), 0, estimate), as (A, phase, f) with A > 0 and the phase in (-pi, pi].""")
    n, dt = 2048, 1.0
    df = 1000.0 / (n * dt)
    bins = notch_bins(n, 50.0, df, True)
    fx.add("bins", bins)
    for t in range(1):
        x = f32_trace(lcg(9200 + t, 1000))
        spec = np.fft.fft(x, n) / n
        spec[bins] = 0
        fx.add(f"spectral_{t}", (np.fft.ifft(spec) * n).real[:1000])
    hums = [hum_trace(9300 + t, 1000, 1.0, 0.8, 50.3, 0.6 + 0.7 * t, 0.05) for t in range(4)]
    ks = [int(np.argmax(np.abs(np.fft.fft(h[:512]))[:256])) for h in hums]
    estimate = float(np.mean([k * 1000.0 / (1.0 * 512) for k in ks]))
    fx.add("estimate", [estimate])

    def model(tt, a, phase, f):
        return a * np.sin(0.006283185307 * f * tt + phase)

    tt = 2.0 * np.arange(100, dtype=float)
    for t, h in enumerate(hums):
        window = h[0:200:2]
        start = max(float(np.max(np.abs(window))), 0.1)
        (a, phase, f), _ = scipy.optimize.curve_fit(model, tt, window, p0=(start, 0.0, estimate), xtol=1e-14,
                                                    ftol=1e-14, gtol=1e-14, maxfev=100000)
        if a < 0:
            a, phase = -a, phase + math.pi
        phase = math.atan2(math.sin(phase), math.cos(phase))
        fx.add(f"fit_{t}", [a, phase, f])
    return fx


# ----------------------------------------------------------------------------------------------
# Wavelet and source convolution


def convolution_fixture():
    fx = Fixture("convolution.txt", """
Convolution with wavelets. wavelet_0: (1/N) real(ifft(fft(w) fft(x, N))), N = 512, x =
lcg(9400, 500) as float32 at 1 ms, w the first N values of MakeWavelet type 5 (Ricker) at 40 Hz
with N + 1 samples and the default delay. re_/im_source5_0 and _source8_0: the FFT of x =
lcg(9500, 200) at 1 ms (X = fft(x, 256)/256 as float32, df = 1000/256 Hz), bins 0..128
multiplied by SourceSpectrum(5 at 30 Hz, or 8; 257 values), bins 256 - j (0 < j < 128) the
conjugates of bins j.""")
    n = 512
    w = ricker_make_wavelet(n + 1, 40.0, 0.001)[:n]
    for t in range(1):
        x = np.zeros(n)
        x[:500] = f32_trace(lcg(9400 + t, 500))
        fx.add(f"wavelet_{t}", (np.fft.ifft(np.fft.fft(w) * np.fft.fft(x)) / n).real)
    m = 256
    df = 1000.0 / m
    f = np.arange(m + 1) * df
    half = (m + 1) // 2
    for kind in (5, 8):
        s = np.zeros(m + 1)
        if kind == 5:
            s[:half] = 2.0 / math.sqrt(math.pi) * (f[:half] ** 2 / 30.0 ** 3) * np.exp(-f[:half] ** 2 / 30.0 ** 2)
        else:
            s[:half] = np.exp(-0.02 * f[:half])
        for t in range(1):
            x = f32_trace(lcg(9500 + t, 200))
            spec = np.fft.fft(x, m) / m
            re = spec.real.astype(np.float32).astype(np.float64)
            im = spec.imag.astype(np.float32).astype(np.float64)
            re[:m // 2 + 1] *= s[:m // 2 + 1]
            im[:m // 2 + 1] *= s[:m // 2 + 1]
            for j in range(1, m // 2):
                re[m - j] = re[j]
                im[m - j] = -im[j]
            fx.add(f"re_source{kind}_{t}", re)
            fx.add(f"im_source{kind}_{t}", im)
    return fx


FIXTURES = [wavelet_fixture, agc_fixture, notch_fixture, convolution_fixture]
