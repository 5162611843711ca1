"""Reference fixtures of trace editing, NMO and the synthetic generators, written by generate.py.

The mutes are computed with numpy float32 scalars in the order the C++ kernels use, so the
tests compare them exactly. The NMO index maps use float64 after rounding dt and the offset to
float32, as NmoCorrect does. The Ricker reference is scipy.signal.ricker.
"""

import math

import numpy as np
import scipy.signal

from generate import Fixture, lcg

f32 = np.float32


def trunc(v):
    """Truncation toward zero of a float32 quotient, as TruncIndex (no clamp is reached here)."""
    return int(math.trunc(float(v)))


def ramps(x, zero_below, full_from, full_until, zero_from):
    out = x.astype(np.float32).copy()
    for i in range(len(out)):
        if i < zero_below:
            out[i] = f32(0)
        elif i < full_from:
            out[i] = out[i] * f32(i - zero_below) / f32(full_from - zero_below)
        elif i < full_until:
            pass
        elif i < zero_from:
            out[i] = out[i] * f32(zero_from - i) / f32(zero_from - full_until)
        else:
            out[i] = f32(0)
    return out


def taper_window(x, dt, start, window, before, after):
    dt, b, w, tb, ta = f32(dt), f32(start), f32(window), f32(before), f32(after)
    e = b + w
    o = trunc((b - tb) / dt)
    r = trunc(b / dt)
    t = trunc(e / dt)
    m = trunc((e + ta) / dt)
    return ramps(x, o, r, t, m)


def velocity_mute(x, receiver, source, interval_us, vmin, vmax, taper):
    dt = f32(interval_us) * f32(0.001)
    d = f32(abs(receiver - source)) / f32(100)
    t1 = d / f32(vmax)
    t2 = d / f32(vmin) if vmin > 0 else dt * f32(len(x))
    h = f32(taper)
    r = trunc((t1 - h) / dt)
    o = trunc(t1 / dt)
    t = trunc(t2 / dt)
    m = trunc((t2 + h) / dt)
    return ramps(x, r, o, t, m)


TAPERS = [  # dt ms, start, window, taper before, taper after
    (0.5, 20.0, 30.0, 5.0, 7.5),
    (1.0, 12.3, 40.7, 10.0, 3.3),
    (0.25, 5.0, 10.0, 0.0, 0.0),
    (0.125, 3.0, 11.0, 4.0, 2.0),
]

MUTES = [  # receiver, source (x 100), interval us, min velocity, max velocity, taper ms
    (3000, 0, 500.0, 0.4, 1.5, 0.0),
    (-2550, 1200, 250.0, 0.3, 2.2, 6.0),
    (4100, 100, 1000.0, 0.0, 1.8, 0.0),
    (1234, 0, 125.0, 0.35, 3.1, 2.5),
]

NMO = [  # receiver, source (x 100), interval us, velocity km/s, samples
    (10000, 0, 1000.0, 1.0, 400),
    (-3700, 2500, 250.0, 0.45, 600),
    (2000, 0, 500.0, 2.7, 300),
]


def nmo_indices(receiver, source, interval_us, velocity, n):
    """k(j) of NmoCorrect, -1 where the sample becomes 0."""
    dt = float(f32(interval_us * 0.001 * 0.001))
    x = float(f32(abs(receiver / 100.0 - source / 100.0)))
    v = float(f32(velocity) * f32(1000.0))
    out = []
    for j in range(n):
        t0 = (j + 1) * dt
        g = x / (v * t0)
        move = t0 * (math.sqrt(g * g + 1.0) - 1.0) / dt
        out.append(j + int(move) if move < n - j else -1)
    return out


def trace_edit_fixture():
    fx = Fixture("trace_edit.txt", """
Trace editing. taper_c: TaperWindow of x = lcg(8000 + c, 200) in float32 with TAPERS[c]
(taper_args_c); mute_c: the apparent-velocity mute of x = lcg(8100 + c, 240) with MUTES[c]
(mute_args_c). nmo_c: NmoCorrect's source index per sample (-1: zero) for NMO[c] (nmo_args_c).
ricker: scipy.signal.ricker(161, a)[40:] / its peak, a = 1 / (sqrt(2) pi F dt) samples, F = 25 Hz,
dt = 1 ms: t = -40 .. 80 ms, the span of the time-domain generator's Ricker (peak at sample 40).""")
    for c, args in enumerate(TAPERS):
        x = lcg(8000 + c, 200).astype(np.float32)
        fx.add(f"taper_args_{c}", args)
        fx.add(f"taper_{c}", taper_window(x, *args))
    for c, args in enumerate(MUTES):
        x = lcg(8100 + c, 240).astype(np.float32)
        fx.add(f"mute_args_{c}", args)
        fx.add(f"mute_{c}", velocity_mute(x, *args))
    for c, args in enumerate(NMO):
        fx.add(f"nmo_args_{c}", args)
        fx.add(f"nmo_{c}", nmo_indices(*args))
    a = 1.0 / (math.sqrt(2.0) * math.pi * 25.0 * 0.001)
    r = scipy.signal.ricker(161, a)
    fx.add("ricker", r[40:] / np.max(np.abs(r)))
    return fx


FIXTURES = [trace_edit_fixture]
