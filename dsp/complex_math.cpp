#include "dsp/complex_math.h"

#include <cmath>
#include <numbers>

namespace velk {

void CComplexMath::MulTo(float a, float b, float c, float d, float* outRe, float* outIm)
{
    *outRe = a * c - b * d;
    *outIm = a * d + b * c;
}

void CComplexMath::DivTo(float a, float b, float c, float d, float* outRe, float* outIm)
{
    const float denominator = c * c + d * d;
    if (denominator == 0.0f) {
        *outRe = 0.0f;
        *outIm = 0.0f;
        return;
    }
    *outRe = (a * c + b * d) / denominator;
    *outIm = (b * c - a * d) / denominator;
}

void CComplexMath::ExpTo(float a, float b, float* outRe, float* outIm)
{
    const float e = std::exp(a);
    *outRe = e * std::cos(b);
    *outIm = e * std::sin(b);
}

void CComplexMath::LogTo(float a, float b, float* outRe, float* outIm)
{
    *outRe = std::log(std::sqrt(a * a + b * b));
    if (a != 0.0f) {
        *outIm = std::atan(b / a);
    } else {
        // atan of +-infinity, without dividing by zero.
        const float halfPi = std::numbers::pi_v<float> / 2.0f;
        *outIm = b > 0.0f ? halfPi : (b < 0.0f ? -halfPi : 0.0f);
    }
}

ComplexPair CComplexMath::Mul(float a, float b, float c, float d)
{
    ComplexPair out;
    MulTo(a, b, c, d, &out.re, &out.im);
    return out;
}

ComplexPair CComplexMath::DivReal(float a, float b, float c)
{
    if (c == 0.0f) {
        return {};
    }
    return {a / c, b / c};
}

ComplexPair CComplexMath::ExpPolar(float a, float b)
{
    ComplexPair out;
    ExpTo(a, b, &out.re, &out.im);
    return out;
}

ComplexPair CComplexMath::Conjugate(float a, float b)
{
    return {a, -b};
}

ComplexPair CComplexMath::ToPolar(float a, float b)
{
    return {Abs(a, b), std::atan2(b, a)};
}

float CComplexMath::Abs(float a, float b)
{
    return std::sqrt(a * a + b * b);
}

}  // namespace velk
