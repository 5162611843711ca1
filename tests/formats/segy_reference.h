#pragma once
// The references of the SEG-Y fixtures: what segyio read from each file of tests/data, written
// by tests/formats/segy_ref/generate.py ("traces N", "samples n", "interval us", then one line
// of "%.9g" samples per trace).

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/numtext.h"

namespace velk::testing {

struct SegYReference {
    int traces = 0;
    int samples = 0;
    int intervalUs = 0;
    std::vector<std::vector<float>> data;
};

inline std::string SegYFixture(const std::string& name) { return std::string(VELK_TEST_DATA) + "/" + name; }

inline SegYReference LoadSegYReference(const std::string& name)
{
    SegYReference r;
    std::ifstream in(std::string(VELK_SOURCE_DIR) + "/tests/formats/segy_ref/" + name + ".txt");
    std::string key;
    in >> key >> r.traces >> key >> r.samples >> key >> r.intervalUs;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::vector<float> trace;
        for (std::string w; words >> w;) trace.push_back(*ParseFloat(w));
        r.data.push_back(std::move(trace));
    }
    EXPECT_EQ(static_cast<int>(r.data.size()), r.traces) << name;
    return r;
}

// The largest |difference| between a trace read and its reference (infinity when the lengths
// differ).
inline double MaxDifference(const std::vector<float>& got, const std::vector<float>& want)
{
    if (got.size() != want.size()) return INFINITY;
    double worst = 0.0;
    for (size_t i = 0; i < got.size(); ++i) worst = std::max(worst, std::fabs(static_cast<double>(got[i]) - want[i]));
    return worst;
}

}  // namespace velk::testing
