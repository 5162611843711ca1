"""Reference fixture of the velocity filters, the two-dimensional transforms and the old FFT.

Called by generate.py with itself as `g` (its lcg, Fixture, slope_curve and sampled_bins).
Loops that the C++ code must match bit for bit (the medians, the trajectories and their
truncation) are written out in plain Python with float64 arithmetic in the same order.
"""

import math

import numpy as np

f32 = np.float32


# ----------------------------------------------------------------------------------------------
# F-K


def fan_weight(h, v, outer, inner):
    depth = abs(outer - inner)
    inner_higher = inner >= outer
    if h >= v[0]:
        return outer
    if h > v[1]:
        s = v[1] if inner_higher else v[0]
        return depth * 0.5 * (1.0 + math.cos(3.1416 * (h - s) / (v[0] - v[1])))
    if h >= v[2]:
        return inner
    if h > v[3]:
        s = v[2] if inner_higher else v[3]
        return depth * 0.5 * (1.0 + math.cos(3.1416 * (h - s) / (v[2] - v[3])))
    return outer


def apparent_velocity(f, dk, j, nx):
    if j == 0:
        return 1e9
    if j < nx // 2:
        return -f / (dk * j)
    return f / (dk * (nx - j))


def fk_weights(nt, nx, dt, dx, v, fan_reject):
    """The weight of every cell of the full nt x nx grid: the half 0..nt/2 from the formula,
    the rest mirrored as the conjugate completion of the inverse makes it."""
    outer, inner = (1.0, 0.0) if fan_reject else (0.0, 1.0)
    df = 1000.0 / (dt * nt)
    dk = 1.0 / (dx * nx)
    w = np.zeros((nt, nx))
    for i in range(nt // 2 + 1):
        for j in range(nx):
            w[i, j] = fan_weight(apparent_velocity(i * df, dk, j, nx), v, outer, inner)
    for i in range(nt // 2 + 1, nt):
        for j in range(nx):
            w[i, j] = w[nt - i, (-j) % nx]
    return w


def fk_filter(x, dt, dx, velocities, fan_reject):
    """x: traces x samples. velocities: (1121, 1123, 1126, 1125) in km/s, already ordered."""
    v1121, v1123, v1126, v1125 = (float(f32(a)) * 1000.0 for a in velocities)
    v = (v1125, v1123, v1121, v1126)
    traces, samples = x.shape
    nt = 2
    while nt < samples:
        nt *= 2
    nx = 256
    grid = np.zeros((nt, nx))
    grid[:samples, :traces] = x.T
    y = np.real(np.fft.ifft2(np.fft.fft2(grid) * fk_weights(nt, nx, dt, dx, v, fan_reject)))
    return y[:samples, :traces].T


# ----------------------------------------------------------------------------------------------
# Medians


def upper_median(values):
    s = sorted(values)
    return s[len(s) - 1 - (len(s) - 1) // 2]


def median_across(x, m):
    traces, samples = x.shape
    out = np.zeros_like(x)
    for i in range(traces):
        start = i - (m - 1) // 2
        window = range(max(start, 0), min(start + m, traces))
        for k in range(samples):
            out[i, k] = upper_median([x[t, k] for t in window])
    return out


def sample_index(v, count):
    return int(v) if -1.0 < v < count else -1


def median_along_slowness(x, m, dt, pos, vmin, vmax, steps, weighting):
    traces, samples = x.shape
    p_start = 1.0 / float(f32(vmin))
    p_step = (1.0 / float(f32(vmax)) - p_start) / (steps - 1)
    dt = float(f32(dt))
    out = np.zeros(x.shape, dtype=np.float32)
    for c in range(traces):
        start = c - (m - 1) // 2
        window = list(range(max(start, 0), min(start + m, traces)))
        shifts = [[(pos[t] - pos[c]) * (p_start + e * p_step) / dt for t in window] for e in range(steps)]
        for k in range(samples):
            best, best_e = 0.0, 0
            for e in range(steps):
                total, squares, count = 0.0, 0.0, 0
                for t, s in zip(window, shifts[e]):
                    n = sample_index(k + s, samples)
                    if n >= 0:
                        v = float(x[t, n])
                        total += v
                        squares += v * v
                        count += 1
                sem = total * total / (count * squares) if squares > 0.0 else 0.0
                if sem >= best:
                    best, best_e = sem, e
            values = []
            for t, s in zip(window, shifts[best_e]):
                n = sample_index(k + s, samples)
                if n >= 0:
                    values.append(x[t, n])
            med = upper_median(values)
            out[c, k] = f32(float(med) * best) if weighting == 1 else med
    return out


# ----------------------------------------------------------------------------------------------
# Slant stacks


def slant_stack(x, p0, dp, np_, dt, pos, ref, method, velocity_mode):
    traces, samples = x.shape
    out = np.zeros((np_, samples))
    for i in range(np_):
        p = float(f32(p0)) + float(f32(dp)) * i
        if velocity_mode == 1:
            p = 1.0 / p
        shifts = [p * (pos[t] - ref) / float(f32(dt)) for t in range(traces)]
        for j in range(samples):
            total, squares, count = 0.0, 0.0, 0
            for t in range(traces):
                n = sample_index(j + shifts[t], samples)
                if n >= 0:
                    v = float(x[t, n])
                    total += v
                    squares += v * v
                    count += 1
            if method == 0:
                out[i, j] = total
            else:
                sem = total * total / count / squares if squares > 0.0 else 0.0
                out[i, j] = sem if method == 1 else total * sem
    return out


def inverse_slant_stack(panel, p0, dp, traces, dt, pos, ref):
    np_, samples = panel.shape
    out = np.zeros((traces, samples))
    for i in range(np_):
        p = float(f32(p0)) + float(f32(dp)) * i
        for t in range(traces):
            s = p * (pos[t] - ref) / float(f32(dt))
            for j in range(samples):
                n = sample_index(j + s, samples)
                if n >= 0:
                    out[t, n] += panel[i, j]
    return out


# ----------------------------------------------------------------------------------------------


def velocity_fixture(g):
    fx = g.Fixture("velocity.txt", """
Velocity filters, two-dimensional transforms and the old FFT. Inputs are made from lcg as
described; traces x samples arrays are stored row after row.
fk_reject / fk_pass: 6 traces x 30 samples of lcg(8000 + t), dt 1 ms, dx 2 m: real(ifft2(fft2(G)
* W)) of the 32 x 256 zero-padded grid, W the fan weights (ordered velocities 1121, 1123, 1126,
1125 in fk_*_velocities). fk_transform: 12 traces x 100 samples of lcg(8100 + t): fft over time
at N = 128, then over position at Nx = 16, each scaled 1/n, at the frequency bins fkt_bins; row k
of fkt_re / fkt_im is wavenumber bin k. dft2d: |fft2| of 5 x 12 values of lcg(8200 + t).
median_M: upper medians across M traces of float32(lcg(8300 + t, 4) * 4e5), 35 traces.
mvf_w: the median velocity filter (M 5, 8 steps, 0.5 .. 1.5 km/s, dt 1 ms, weighting w) of 8
traces x 24 samples: float32(lcg(8400 + t) * 0.2) plus 1.0 at sample 10 + (16 t) // 10; receivers
200 (t + 1) hundredths. slant_m / slant_velocity: slant stacks of 5 x 30 values of lcg(8500 + t),
receivers 150 (t + 1) + 37 hundredths, reference 0.5 m, dt 0.5 ms; p0 0.1, dp 0.07, 6 p
(velocity mode: 0.3 + 0.1 i km/s); inverse_slant: the adjoint of slant_0.
oldbpf: real(ifft(fft(x, 1024) * w))[:1000] of lcg(8600 + t, 1000), 3 traces, w the slope curve
(513, 0.5 ms, 10, 200, 24, 36) paired k with 1024 - k, bin 512 taking value 511; at idx_oldbpf_t.
oldpower: -|fft(x[:512])|[:32] of lcg(8700 + t, 1024), 2 traces.""")

    x = np.array([g.lcg(8000 + t, 30) for t in range(6)])
    reject = (0.3, 1.5, 0.2, 1.6)
    passing = (0.25, 0.9, 0.1, 1.2)
    fx.add("fk_reject_velocities", reject)
    fx.add("fk_reject", fk_filter(x, 1.0, 2.0, reject, True))
    fx.add("fk_pass_velocities", passing)
    fx.add("fk_pass", fk_filter(x, 1.0, 2.0, passing, False))

    x = np.array([g.lcg(8100 + t, 100) for t in range(12)])
    spectrum = np.fft.fft(np.fft.fft(x, 128, axis=1) / 128, 16, axis=0) / 16
    bins = g.sampled_bins(128, 8150, 3)
    fx.add("fkt_bins", bins)
    fx.add("fkt_re", spectrum.real[:, bins])
    fx.add("fkt_im", spectrum.imag[:, bins])

    x = np.array([g.lcg(8200 + t, 12) for t in range(5)])
    fx.add("dft2d", np.abs(np.fft.fft2(x)))

    x = np.array([g.lcg(8300 + t, 4) * 4e5 for t in range(35)]).astype(np.float32)
    for m in (3, 11, 31):
        fx.add(f"median_{m}", median_across(x, m))

    x = np.array([g.lcg(8400 + t, 24) * 0.2 for t in range(8)]).astype(np.float32)
    for t in range(8):
        x[t, 10 + (16 * t) // 10] = f32(float(x[t, 10 + (16 * t) // 10]) + 1.0)
    pos = [200 * (t + 1) * 0.01 for t in range(8)]
    for weighting in (0, 1):
        fx.add(f"mvf_{weighting}", median_along_slowness(x, 5, 1.0, pos, 0.5, 1.5, 8, weighting))

    x = np.array([g.lcg(8500 + t, 30) for t in range(5)])
    pos = [(150 * (t + 1) + 37) * 0.01 for t in range(5)]
    for method in (0, 1, 2):
        fx.add(f"slant_{method}", slant_stack(x, 0.1, 0.07, 6, 0.5, pos, 0.5, method, 0))
    fx.add("slant_velocity", slant_stack(x, 0.3, 0.1, 6, 0.5, pos, 0.5, 0, 1))
    panel = slant_stack(x, 0.1, 0.07, 6, 0.5, pos, 0.5, 0, 0).astype(np.float32).astype(np.float64)
    fx.add("inverse_slant", inverse_slant_stack(panel, 0.1, 0.07, 5, 0.5, pos, 0.5))

    c = g.slope_curve(513, 0.5, 10.0, 200.0, 24.0, 36.0)
    k = np.arange(1024)
    w = c[np.minimum(np.minimum(k, 1024 - k), 511)]
    for t in range(3):
        y = np.real(np.fft.ifft(np.fft.fft(g.lcg(8600 + t, 1000), 1024) * w))[:1000]
        idx = g.sampled_bins(1000, 8650 + t, 24)
        fx.add(f"idx_oldbpf_{t}", idx)
        fx.add(f"oldbpf_{t}", y[idx])
        fx.add(f"peak_oldbpf_{t}", [np.max(np.abs(y))])
    for t in range(2):
        fx.add(f"oldpower_{t}", -np.abs(np.fft.fft(g.lcg(8700 + t, 1024)[:512]))[:32])
    return fx
