#include "acquisition/instrument/simulated_seismograph.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>

#include "platform/clock.h"

namespace velk {

namespace {

constexpr int64_t kMonitorPeriodMs = 50;
constexpr int kMonitorPoints = 50;       // levels looked at per monitor set, one per ms
constexpr int kMicrotremorWaves = 12;
constexpr double kHeadWaveShare = 0.5;   // head-wave amplitude relative to the direct wave
constexpr double kTimeBreakUs = 1000.0;  // length of the AUX pulse
constexpr double kPi = std::numbers::pi;

uint64_t Mix(uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Independent streams: record k, and monitor set n.
uint64_t RecordSeed(uint64_t seed, uint64_t k) { return Mix(Mix(seed) + k); }
uint64_t MonitorSeed(uint64_t seed, uint64_t n) { return Mix(Mix(seed ^ 0x6D6F6E69746F72ull) + n); }
// The AUX row's monitor noise has a stream of its own: the channels' stay as they were.
uint64_t AuxMonitorSeed(uint64_t seed, uint64_t n) { return Mix(Mix(seed ^ 0x6175786D6F6Eull) + n); }

// The wavelet of a shot: a Ricker wavelet whose peak lies 1/f after its onset, nothing before
// the onset (it starts at a thousandth of its peak), so the arrival time is the first break.
double Wavelet(double u, double f)
{
    if (u < 0.0) return 0.0;
    const double a = kPi * f * (u - 1.0 / f);
    const double a2 = a * a;
    return (1.0 - 2.0 * a2) * std::exp(-a2);
}

// The Ricker wavelet's amplitude spectrum, normalised so that its integral over all
// frequencies is the wavelet's peak, 1.
double RickerSpectrum(double f, double fp)
{
    const double r = f / fp;
    return 2.0 / std::sqrt(kPi) * r * r / fp * std::exp(-r * r);
}

int32_t ClipToInt32(double v)
{
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(std::llround(v));
}

int32_t MonitorWord(double v)
{
    const long clipped = std::lround(std::clamp(v, -32768.0, 32767.0));
    return static_cast<int32_t>(static_cast<uint16_t>(static_cast<int16_t>(clipped)));
}

}  // namespace

double SimulatorRandom::Uniform() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

double SimulatorRandom::Gaussian()
{
    if (haveSpare_) {
        haveSpare_ = false;
        return spare_;
    }
    double u = 0.0, v = 0.0, s = 0.0;
    do {
        u = 2.0 * Uniform() - 1.0;
        v = 2.0 * Uniform() - 1.0;
        s = u * u + v * v;
    } while (s >= 1.0 || s == 0.0);
    const double m = std::sqrt(-2.0 * std::log(s) / s);
    spare_ = v * m;
    haveSpare_ = true;
    return u * m;
}

const char* ToString(SimulatedSeismograph::State state)
{
    switch (state) {
    case SimulatedSeismograph::State::Off: return "Off";
    case SimulatedSeismograph::State::Idle: return "Idle";
    case SimulatedSeismograph::State::Monitoring: return "Monitoring";
    case SimulatedSeismograph::State::TriggerWait: return "TriggerWait";
    case SimulatedSeismograph::State::Recording: return "Recording";
    case SimulatedSeismograph::State::Ready: return "Ready";
    }
    return "?";
}

SimulatedSeismograph::SimulatedSeismograph(SimulatorConfig config, const Clock& clock)
    : config_(std::move(config)), clock_(clock), lastTick_(clock.TickCountMs())
{
    gains_.fill(1);
    for (int r = 0; r < kInstrumentRows; ++r) rowPositions_[static_cast<size_t>(r)] = static_cast<float>(r);
}

void SimulatedSeismograph::Log(const char* call, bool ignored)
{
    log_.push_back(ignored ? std::string(call) + " ignored" : std::string(call));
}

void SimulatedSeismograph::Advance()
{
    const uint32_t tick = clock_.TickCountMs();
    now_ += static_cast<uint32_t>(tick - lastTick_);
    lastTick_ = tick;
    if (state_ == State::TriggerWait && !shotFired_) {
        int64_t due = -1;
        if (config_.shots == ShotSchedule::Periodic) {
            due = waitStart_ + std::llround(config_.shotPeriod * 1000.0);
        } else if (config_.shots == ShotSchedule::At) {
            while (nextShot_ < config_.shotTimes.size()) {
                const int64_t at = armedAt_ + std::llround(config_.shotTimes[nextShot_] * 1000.0);
                if (at >= waitStart_) {
                    due = at;
                    break;
                }
                ++nextShot_;  // passed while a record was being made
            }
        }
        if (due >= 0 && due <= now_) {
            shotFired_ = true;
            shotAt_ = due;
            if (config_.shots == ShotSchedule::At) ++nextShot_;
        }
    }
    if (state_ == State::Recording && now_ >= recordEnd_) {
        state_ = State::Ready;
        recordReady_ = true;
    }
}

void SimulatedSeismograph::EnterTriggerWait()
{
    state_ = State::TriggerWait;
    waitStart_ = now_;
    shotFired_ = false;
    lastMonitorSet_ = now_;
}

void SimulatedSeismograph::Trigger()
{
    recordParm_ = parm_;
    pendingRecord_ = recordIndex_++;
    ++recordsMade_;
    recordReady_ = false;
    const double lengthMs = SamplesOf(recordParm_.m_size) * IntervalUsOf(recordParm_.rate) / 1000.0;
    recordEnd_ = now_ + std::llround(lengthMs * std::max(0.0, config_.timeScale));
    state_ = State::Recording;
}

uint16_t SimulatedSeismograph::Init_DSP()
{
    Log("Init_DSP");
    Advance();
    const int code = std::clamp(config_.initCode, 0, 65535);
    if (code != 0) {
        state_ = State::Off;
    } else if (state_ == State::Off) {
        state_ = State::Idle;
    }
    return static_cast<uint16_t>(code);
}

void SimulatedSeismograph::Clear_ADC_Buf(const int8_t*, InstrumentRow* buffer, const PARM*)
{
    if (state_ == State::Off || buffer == nullptr) {
        Log("Clear_ADC_Buf", true);
        return;
    }
    Log("Clear_ADC_Buf");
    for (int r = 0; r < kInstrumentRows; ++r) std::fill(buffer[r], buffer[r] + kInstrumentRowSamples, 0);
}

void SimulatedSeismograph::chk_meas_flg(FLAG* flag, const PARM* parm, const int8_t* gains, void*, int32_t* monitor)
{
    if (state_ == State::Off || flag == nullptr) {
        Log("chk_meas_flg", true);
        return;
    }
    Log("chk_meas_flg");
    if (parm) parm_ = *parm;
    if (gains) std::copy(gains, gains + kInstrumentRows, gains_.begin());
    Advance();
    const int8_t command = flag->code;
    if (command == kCommandStop) {
        state_ = State::Idle;
        flag->code = 0;
        flag->monitor = 0;
        flag->complete = 0;
        return;
    }
    if (state_ == State::Idle && (command == kCommandMonitor || command == kCommandTriggerWait)) {
        recordReady_ = false;
        if (command == kCommandMonitor) {
            state_ = State::Monitoring;
            lastMonitorSet_ = now_;
        } else {
            armedAt_ = now_;
            nextShot_ = 0;
            EnterTriggerWait();
        }
    }
    if ((state_ == State::Monitoring || state_ == State::TriggerWait) && now_ - lastMonitorSet_ >= kMonitorPeriodMs) {
        lastMonitorSet_ = now_ - (now_ - lastMonitorSet_) % kMonitorPeriodMs;
        MakeMonitorSet(monitor);
        flag->monitor = 1;
    }
    flag->complete = 0;  // only a ready record is complete
    switch (state_) {
    case State::Off:
    case State::Idle: flag->code = 0; break;
    case State::Monitoring: flag->code = kStatusMonitoring; break;
    case State::TriggerWait: flag->code = kStatusTriggerWait; break;
    case State::Recording: flag->code = kStatusRecording; break;
    case State::Ready:
        flag->code = static_cast<int8_t>(config_.readyCode);
        flag->complete = 1;
        break;
    }
}

void SimulatedSeismograph::MakeMonitorSet(int32_t* monitor)
{
    SimulatorRandom auxRandom(AuxMonitorSeed(config_.seed, monitorSets_));
    SimulatorRandom random(MonitorSeed(config_.seed, monitorSets_++));
    std::array<double, kInstrumentRows> level{};
    for (int p = 0; p < kMonitorPoints; ++p) {
        // The AUX channel sees the same noise as the others (the time break is made at the shot).
        const double aux = config_.noiseLevel * auxRandom.Gaussian();
        double& auxLevel = level[static_cast<size_t>(kInstrumentRows - 1)];
        if (std::abs(aux) > std::abs(auxLevel)) auxLevel = aux;
        const int64_t t = now_ - (kMonitorPoints - 1 - p);
        for (int r = 0; r < kInstrumentChannels; ++r) {
            double v = config_.noiseLevel * random.Gaussian();
            if (state_ == State::TriggerWait && shotFired_ && !config_.microtremor && !config_.testPattern) {
                v += ShotWave(r, static_cast<double>(t - shotAt_) / 1000.0);
            }
            if (std::abs(v) > std::abs(level[static_cast<size_t>(r)])) level[static_cast<size_t>(r)] = v;
        }
    }
    if (monitor) {
        for (int r = 0; r < kInstrumentRows; ++r) {
            monitor[r] = MonitorWord(level[static_cast<size_t>(r)] * Divisor(r) * config_.monitorScale);
        }
    }
    // The instrument's own level trigger, PARM byte 7 x 100 mV.
    const int code = parm_.trig_level;
    if (state_ == State::TriggerWait && code >= 1 && code <= 10) {
        const double threshold = code * 0.1;
        if (std::any_of(level.begin(), level.end(), [&](double v) { return std::abs(v) > threshold; })) Trigger();
    }
}

void SimulatedSeismograph::DSP_MEAS_trigger()
{
    Advance();
    if (state_ != State::TriggerWait) {
        Log("DSP_MEAS_trigger", true);
        return;
    }
    Log("DSP_MEAS_trigger");
    Trigger();
}

void SimulatedSeismograph::read_meas_data(const PARM*, const int8_t*, InstrumentRow* buffer)
{
    if (state_ != State::Off) Advance();
    if (state_ == State::Off || !recordReady_ || buffer == nullptr) {
        Log("read_meas_data", true);
        return;
    }
    Log("read_meas_data");
    const int n = SamplesOf(recordParm_.m_size);
    const int zero = recordParm_.pre_trig == 0 ? n / 10 : 0;
    preTrigger_ = zero;
    const auto rows = MakeRecord(pendingRecord_, n, IntervalUsOf(recordParm_.rate), zero);
    for (int r = 0; r < kInstrumentRows; ++r) {
        const double counts = kCountsPerUnit * Divisor(r);
        int32_t* out = buffer[r];
        for (int i = 0; i < kInstrumentRowSamples; ++i) {
            out[i] = i < n ? ClipToInt32(rows[static_cast<size_t>(r)][static_cast<size_t>(i)] * counts) : 0;
        }
    }
    recordReady_ = false;
    if (state_ == State::Ready) EnterTriggerWait();
}

uint16_t SimulatedSeismograph::Read_Batt()
{
    if (state_ == State::Off) {
        Log("Read_Batt", true);
        return 0;
    }
    Log("Read_Batt");
    Advance();
    const double minutes = static_cast<double>(now_) / 60000.0;
    const double volts = std::max(config_.batteryFloor, config_.batteryStart - config_.batteryPerMinute * minutes -
                                                            config_.batteryPerRecord * recordsMade_);
    return static_cast<uint16_t>(std::clamp(std::lround(volts * 10.0), 0L, 65535L));
}

void SimulatedSeismograph::Timer_Count()
{
    if (state_ == State::Off) {
        Log("Timer_Count", true);
        return;
    }
    Log("Timer_Count");
    ++timerCount_;
}

void SimulatedSeismograph::SetSpreadHint(float sourceMetres, const std::array<float, kInstrumentRows>& rowPositions)
{
    Log("SetSpreadHint");
    if (std::isfinite(sourceMetres)) source_ = sourceMetres;
    for (size_t r = 0; r < rowPositions.size(); ++r) {
        if (std::isfinite(rowPositions[r])) rowPositions_[r] = rowPositions[r];
    }
}

int SimulatedSeismograph::Divisor(int row) const { return DivisorOf(gains_[static_cast<size_t>(row)]); }

double SimulatedSeismograph::Distance(int row) const
{
    return std::abs(static_cast<double>(rowPositions_[static_cast<size_t>(row)]) - source_);
}

double SimulatedSeismograph::ShotWave(int row, double tau) const
{
    return BodyWaves(row, tau) + (config_.surfaceWave ? SurfaceWave(row, tau) : 0.0);
}

double SimulatedSeismograph::BodyWaves(int row, double tau) const
{
    const double d = Distance(row);
    const double f = config_.frequency;
    const double a = config_.shotAmplitude * 2.0 / (d + 1.0);
    double v = a * Wavelet(tau - d / config_.v1, f);
    if (config_.v2 > config_.v1) {
        const double v1 = config_.v1, v2 = config_.v2, h = config_.thickness;
        const double critical = 2.0 * h * v1 / std::sqrt(v2 * v2 - v1 * v1);
        if (d > critical) {
            const double t = d / v2 + 2.0 * h * std::sqrt(1.0 / (v1 * v1) - 1.0 / (v2 * v2));
            v += kHeadWaveShare * a * Wavelet(tau - t, f);
        }
    }
    return v;
}

namespace {

// The surface-wave train as a sum over frequencies: period P long enough that the train of the
// farthest receiver never wraps into the part of the record that is looked at.
struct SurfaceTrain {
    double df = 0.0;
    int terms = 0;
    double periodS = 0.0;
};

SurfaceTrain TrainFor(const SimulatorConfig& c, double d)
{
    const double cmin = std::min(c.c0, c.cinf);
    SurfaceTrain t;
    t.periodS = std::max(2.0, 4.0 * (d / cmin + 3.0 / c.frequency));
    t.df = 1.0 / t.periodS;
    t.terms = static_cast<int>(std::ceil(3.0 * c.frequency / t.df));
    return t;
}

double PhaseVelocity(const SimulatorConfig& c, double f) { return c.cinf + (c.c0 - c.cinf) * std::exp(-f / c.fref); }

}  // namespace

double SimulatedSeismograph::SurfaceWave(int row, double tau) const
{
    const double d = Distance(row);
    const SurfaceTrain train = TrainFor(config_, d);
    if (tau < -0.25 * train.periodS || tau >= 0.75 * train.periodS) return 0.0;
    const double a = config_.shotAmplitude * std::sqrt(2.0) / std::sqrt(d + 1.0);
    const double fp = config_.frequency;
    double sum = 0.0;
    for (int k = 1; k <= train.terms; ++k) {
        const double f = k * train.df;
        const double delay = 1.0 / fp + d / PhaseVelocity(config_, f);
        sum += RickerSpectrum(f, fp) * std::cos(2.0 * kPi * f * (tau - delay));
    }
    return a * 2.0 * train.df * sum;
}

std::vector<std::vector<double>> SimulatedSeismograph::MakeRecord(uint64_t k, int samples, double intervalUs,
                                                                  int zeroIndex) const
{
    const size_t n = static_cast<size_t>(std::max(samples, 0));
    std::vector<std::vector<double>> rows(kInstrumentRows, std::vector<double>(n, 0.0));
    if (config_.testPattern) {
        for (int r = 0; r < kInstrumentRows; ++r) std::fill(rows[static_cast<size_t>(r)].begin(), rows[static_cast<size_t>(r)].end(), r + 1.0);
        return rows;
    }
    SimulatorRandom random(RecordSeed(config_.seed, k));
    const int shift = config_.jitter > 0
                          ? static_cast<int>(std::floor(random.Uniform() * (2 * config_.jitter + 1))) - config_.jitter
                          : 0;
    const double dt = intervalUs * 1.0e-6;
    const double zero = static_cast<double>(zeroIndex + shift);
    const double fp = config_.frequency;

    if (config_.microtremor) {
        // Plane waves along the line from either side, each at one frequency.
        for (int w = 0; w < kMicrotremorWaves; ++w) {
            const double f = fp * (0.1 + 0.9 * random.Uniform());
            const double c = config_.surfaceWave ? PhaseVelocity(config_, f) : config_.v1;
            const double direction = random.Uniform() < 0.5 ? -1.0 : 1.0;
            const double phase = 2.0 * kPi * random.Uniform();
            const double amplitude = 0.01 * config_.shotAmplitude * random.Gaussian();
            for (int r = 0; r < kInstrumentChannels; ++r) {
                const double x = rowPositions_[static_cast<size_t>(r)];
                for (size_t i = 0; i < n; ++i) {
                    const double t = static_cast<double>(i) * dt;
                    rows[static_cast<size_t>(r)][i] += amplitude * std::sin(2.0 * kPi * f * (t - direction * x / c) + phase);
                }
            }
        }
    } else {
        for (int r = 0; r < kInstrumentChannels; ++r) {
            std::vector<double>& row = rows[static_cast<size_t>(r)];
            for (size_t i = 0; i < n; ++i) row[i] = BodyWaves(r, (static_cast<double>(i) - zero) * dt);
            if (!config_.surfaceWave) continue;
            // Each frequency's cosine advances by a fixed rotation per sample.
            const double d = Distance(r);
            const SurfaceTrain train = TrainFor(config_, d);
            const double a = config_.shotAmplitude * std::sqrt(2.0) / std::sqrt(d + 1.0) * 2.0 * train.df;
            const double tauFirst = -zero * dt;
            size_t first = 0, last = 0;  // the samples inside the train's window
            {
                const double lo = (-0.25 * train.periodS - tauFirst) / dt;
                const double hi = (0.75 * train.periodS - tauFirst) / dt;
                first = static_cast<size_t>(std::clamp(std::ceil(lo), 0.0, static_cast<double>(n)));
                last = static_cast<size_t>(std::clamp(std::ceil(hi), 0.0, static_cast<double>(n)));
            }
            for (int k2 = 1; k2 <= train.terms && first < last; ++k2) {
                const double f = k2 * train.df;
                const double delay = 1.0 / fp + d / PhaseVelocity(config_, f);
                const double amp = a * RickerSpectrum(f, fp);
                const double tau0 = tauFirst + static_cast<double>(first) * dt;
                std::complex<double> z = std::polar(1.0, 2.0 * kPi * f * (tau0 - delay));
                const std::complex<double> step = std::polar(1.0, 2.0 * kPi * f * dt);
                for (size_t i = first; i < last; ++i) {
                    row[i] += amp * z.real();
                    z *= step;
                }
            }
        }
    }
    // The time break on the AUX row.
    {
        const double pulse = std::max(1.0, kTimeBreakUs / intervalUs);
        std::vector<double>& aux = rows[static_cast<size_t>(kInstrumentRows - 1)];
        for (size_t i = 0; i < n; ++i) {
            const double rel = static_cast<double>(i) - zero;
            if (rel >= 0.0 && rel < pulse) aux[i] = 1.0;
        }
    }
    if (config_.noiseLevel > 0.0) {
        for (int r = 0; r < kInstrumentChannels; ++r) {
            for (double& v : rows[static_cast<size_t>(r)]) v += config_.noiseLevel * random.Gaussian();
        }
    }
    return rows;
}

}  // namespace velk
