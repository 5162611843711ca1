#pragma once
// CComplexMath: complex arithmetic on pairs of 32-bit floats, a holder of routines without
// data. The members ending in To write the result through two pointers; the others return a
// pair.

namespace velk {

struct ComplexPair {
    float re = 0.0f;
    float im = 0.0f;
};

class CComplexMath {
public:
    // (a + ib)(c + id)
    static void MulTo(float a, float b, float c, float d, float* outRe, float* outIm);
    // (a + ib)/(c + id); (0, 0) when c + id = 0.
    static void DivTo(float a, float b, float c, float d, float* outRe, float* outIm);
    // e^a (cos b, sin b)
    static void ExpTo(float a, float b, float* outRe, float* outIm);
    // (ln sqrt(a^2 + b^2), atan(b/a)): the angle lies within +-pi/2, so log(-1, 0) has angle
    // 0. With a = 0 the angle is +-pi/2 by the sign of b (0 for b = 0).
    static void LogTo(float a, float b, float* outRe, float* outIm);

    static ComplexPair Mul(float a, float b, float c, float d);
    // (a/c, b/c); (0, 0) when c = 0.
    static ComplexPair DivReal(float a, float b, float c);
    // e^a (cos b, sin b)
    static ComplexPair ExpPolar(float a, float b);
    // (a, -b)
    static ComplexPair Conjugate(float a, float b);
    // (sqrt(a^2 + b^2), atan2(b, a))
    static ComplexPair ToPolar(float a, float b);
    // sqrt(a^2 + b^2)
    static float Abs(float a, float b);
};

}  // namespace velk
