#include "acquisition/instrument/simulator_config.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace velk {

namespace {

std::string_view Trim(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool ParseOne(std::string_view text, double& value)
{
    text = Trim(text);
    if (text.empty()) return false;
    double v = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

constexpr size_t kMaxShotTimes = 64;
constexpr double kMaxSeconds = 86400.0;
constexpr double kMaxVelocity = 1.0e5;

}  // namespace

bool ParseNumberList(std::string_view text, std::vector<double>& values, size_t maxCount)
{
    std::vector<double> out;
    while (true) {
        const size_t comma = text.find(',');
        double v = 0.0;
        if (out.size() >= maxCount || !ParseOne(text.substr(0, comma), v)) return false;
        out.push_back(v);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    values = std::move(out);
    return true;
}

bool ParseShots(std::string_view text, SimulatorConfig& config)
{
    text = Trim(text);
    if (text == "manual") {
        config.shots = ShotSchedule::Manual;
        return true;
    }
    if (text.starts_with("periodic:")) {
        double period = 0.0;
        if (!ParseOne(text.substr(9), period) || !(period > 0.0) || period > kMaxSeconds) return false;
        config.shots = ShotSchedule::Periodic;
        config.shotPeriod = period;
        return true;
    }
    if (text.starts_with("at:")) {
        std::vector<double> times;
        if (!ParseNumberList(text.substr(3), times, kMaxShotTimes)) return false;
        if (std::any_of(times.begin(), times.end(), [](double t) { return t < 0.0 || t > kMaxSeconds; })) {
            return false;
        }
        std::sort(times.begin(), times.end());
        config.shots = ShotSchedule::At;
        config.shotTimes = std::move(times);
        return true;
    }
    return false;
}

bool ParseLayers(std::string_view text, SimulatorConfig& config)
{
    std::vector<double> v;
    if (!ParseNumberList(text, v, 3) || v.size() != 3) return false;
    if (!(v[0] > 0.0) || !(v[1] > 0.0) || v[0] > kMaxVelocity || v[1] > kMaxVelocity) return false;
    if (v[2] < 0.0 || v[2] > 1.0e4) return false;
    config.v1 = v[0];
    config.v2 = v[1];
    config.thickness = v[2];
    return true;
}

bool ParseSurfaceWave(std::string_view text, SimulatorConfig& config)
{
    if (Trim(text).empty()) {
        config.surfaceWave = false;
        return true;
    }
    std::vector<double> v;
    if (!ParseNumberList(text, v, 3) || v.size() != 3) return false;
    for (double x : v) {
        if (!(x > 0.0) || x > kMaxVelocity) return false;
    }
    config.surfaceWave = true;
    config.c0 = v[0];
    config.cinf = v[1];
    config.fref = v[2];
    return true;
}

bool ParseBattery(std::string_view text, SimulatorConfig& config)
{
    std::vector<double> v;
    if (!ParseNumberList(text, v, 4) || v.size() != 4) return false;
    if (v[0] < 0.0 || v[0] > 1000.0 || v[1] < 0.0 || v[2] < 0.0 || v[3] < 0.0 || v[3] > v[0]) return false;
    config.batteryStart = v[0];
    config.batteryPerMinute = v[1];
    config.batteryPerRecord = v[2];
    config.batteryFloor = v[3];
    return true;
}

}  // namespace velk
