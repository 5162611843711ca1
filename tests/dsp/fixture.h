#pragma once
// Reference fixtures of the signal-processing tests (tests/dsp/ref/, written by generate.py
// from numpy/scipy) and the input generator both sides share.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <complex>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velk::dsptest {

// lcg() of generate.py: count values k / 2^24 - 0.5, k from a 32-bit linear congruential
// generator; exact in float and double, so both sides start from the same bits.
inline std::vector<double> SignalLcg(uint32_t seed, size_t count)
{
    std::vector<double> out(count);
    uint32_t state = seed;
    for (double& v : out) {
        state = state * 1664525u + 1013904223u;
        v = static_cast<double>(state >> 8) / 16777216.0 - 0.5;
    }
    return out;
}

// complex_input() of generate.py: real and imaginary parts alternate in the sequence.
inline void ComplexInput(uint32_t seed, size_t n, std::vector<double>& re, std::vector<double>& im)
{
    const std::vector<double> v = SignalLcg(seed, 2 * n);
    re.resize(n);
    im.resize(n);
    for (size_t i = 0; i < n; ++i) {
        re[i] = v[2 * i];
        im[i] = v[2 * i + 1];
    }
}

// smooth_curve() of generate.py.
inline std::vector<double> SmoothCurve(size_t count)
{
    std::vector<double> c(count);
    const double n = static_cast<double>(count);
    for (size_t k = 0; k < count; ++k) {
        const double u = (static_cast<double>(k) - n / 4.0) / (n / 8.0);
        c[k] = std::exp(-(u * u));
    }
    return c;
}

// One fixture file: named arrays of doubles.
class Fixture {
public:
    explicit Fixture(const std::string& name)
    {
        const std::string path = std::string(VELK_SOURCE_DIR) + "/tests/dsp/ref/" + name;
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            throw std::runtime_error("cannot open fixture " + path);
        }
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        Parse(text, path);
    }

    bool Has(const std::string& key) const { return arrays_.count(key) != 0; }

    const std::vector<double>& Get(const std::string& key) const
    {
        const auto it = arrays_.find(key);
        if (it == arrays_.end()) {
            throw std::runtime_error("fixture has no array " + key);
        }
        return it->second;
    }

    double Scalar(const std::string& key) const { return Get(key).at(0); }

    std::vector<int> Indices(const std::string& key) const
    {
        std::vector<int> out;
        for (double v : Get(key)) {
            out.push_back(static_cast<int>(v));
        }
        return out;
    }

private:
    void Parse(std::string_view text, const std::string& path)
    {
        size_t pos = 0;
        auto nextToken = [&]() -> std::string_view {
            for (;;) {
                while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) {
                    ++pos;
                }
                if (pos < text.size() && text[pos] == '#') {  // a comment runs to the line end
                    while (pos < text.size() && text[pos] != '\n') {
                        ++pos;
                    }
                    continue;
                }
                break;
            }
            const size_t start = pos;
            while (pos < text.size() && !std::isspace(static_cast<unsigned char>(text[pos]))) {
                ++pos;
            }
            return text.substr(start, pos - start);
        };
        auto number = [&](std::string_view token) {
            double v = 0.0;
            const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), v);
            if (ec != std::errc() || end != token.data() + token.size()) {
                throw std::runtime_error(path + ": bad number '" + std::string(token) + "'");
            }
            return v;
        };
        for (;;) {
            const std::string_view name = nextToken();
            if (name.empty()) {
                break;
            }
            const auto count = static_cast<size_t>(number(nextToken()));
            std::vector<double>& values = arrays_[std::string(name)];
            values.reserve(count);
            for (size_t i = 0; i < count; ++i) {
                const std::string_view token = nextToken();
                if (token.empty()) {
                    throw std::runtime_error(path + ": " + std::string(name) + " is short");
                }
                values.push_back(number(token));
            }
        }
    }

    std::map<std::string, std::vector<double>> arrays_;
};

// The largest |a[i] - b[i]| over two complex vectors given as parts.
inline double MaxComplexError(const std::vector<double>& re, const std::vector<double>& im,
                              const std::vector<double>& refRe, const std::vector<double>& refIm)
{
    double err = 0.0;
    for (size_t i = 0; i < refRe.size(); ++i) {
        err = std::max(err, std::abs(std::complex<double>(re[i] - refRe[i], im[i] - refIm[i])));
    }
    return err;
}

inline double MaxAbs(const std::vector<double>& v)
{
    double m = 0.0;
    for (double x : v) {
        m = std::max(m, std::fabs(x));
    }
    return m;
}

}  // namespace velk::dsptest
