#pragma once
// Logical coordinates come from products of samples, gains and scales that nothing bounds (raw
// counts drawn without normalisation, a large amplitude scale). Every such value becomes an
// integer through these helpers, so the conversion is always defined and the result still
// fits when a few of them are added: far-off points stay far off, in the same direction.

#include <cmath>
#include <cstdint>

namespace velk {

// 10 km of paper: beyond every window, printer and export, and small enough that sums of a
// handful of limited values cannot overflow 32 bits.
inline constexpr int32_t kCoordinateLimit = 100'000'000;

// trunc(v) clamped to [-kCoordinateLimit, kCoordinateLimit]; NaN gives 0.
inline int32_t SaturatingTrunc(double v)
{
    if (!(v == v)) return 0;
    if (v >= static_cast<double>(kCoordinateLimit)) return kCoordinateLimit;
    if (v <= -static_cast<double>(kCoordinateLimit)) return -kCoordinateLimit;
    return static_cast<int32_t>(v);
}

// a + b clamped the same way.
inline int32_t SaturatingAdd(int32_t a, int32_t b)
{
    const int64_t s = static_cast<int64_t>(a) + b;
    if (s > kCoordinateLimit) return kCoordinateLimit;
    if (s < -kCoordinateLimit) return -kCoordinateLimit;
    return static_cast<int32_t>(s);
}

}  // namespace velk
