#include "app/dsp/notch_commands.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "app/dsp/data_kind.h"
#include "app/formats/load_setup.h"
#include "app/workspace.h"
#include "dsp/band_pass.h"
#include "dsp/fourier.h"
#include "dsp/notch.h"
#include "formats/format_support.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"
#include "dsp/least_squares.h"

namespace velk {

namespace {

constexpr const char* kPickFirst = "初動を読み取って下さい";

// The spectrum of the first `length` samples of trace i, zero-filled beyond the trace.
void TraceSpectrum(const WaveformStore& store, int i, int length, double* re, double* im)
{
    CBandPassDlg::PackRowComplex(store.current.rows.Row(i), std::min(store.TraceSamples(i), length), length, re, im);
    CFourier::Fft(re, im, length, 0, 0);
}

}  // namespace

std::string NotchProgressText(int trace) { return FormatC(" Calculating notch filter : trace = %d ", trace); }

std::string NotchFrequencyRefusal(int language, double nyquistHz)
{
    return FormatC(Msg(language, "The notch frequency must lie above 0 Hz and below the Nyquist frequency (%g Hz) !",
                       "ノッチ周波数は 0 Hz より大きく、ナイキスト周波数 (%g Hz) より小さくしてください !")
                       .c_str(),
                   nyquistHz);
}

int OnNotchFilter(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    const float dt = store.Params().sampleInterval;
    if (!TimeDomainWithInterval(ws, ui)) {
        return 0;
    }
    CNotchFilterDlg dlg;
    dlg.otherFrequency = ws.notch.humFrequency;
    dlg.choice = ws.notch.frequencyChoice;
    dlg.deleteHarmonics = ws.notch.deleteHarmonics;
    DialogRequest request = dlg.Request();
    if (!ui.RunDialog(request)) {
        return 0;
    }
    ws.notch.humFrequency = dlg.otherFrequency;
    ws.notch.frequencyChoice = dlg.choice;
    ws.notch.deleteHarmonics = dlg.deleteHarmonics;
    const double f0 = dlg.Frequency();
    const double nyquist = 500.0 / static_cast<double>(dt);
    if (!(f0 > 0.0 && f0 < nyquist)) {
        ui.Message(NotchFrequencyRefusal(ws.startup.language, nyquist), MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }

    const int samples = RecordSamples(store);
    const int n = PowerOfTwoLength(samples, 2);
    const double df = 1000.0 / (static_cast<double>(n) * static_cast<double>(dt));
    ws.fftWork.Reserve(static_cast<size_t>(n));
    double* re = ws.fftWork.Re();
    double* im = ws.fftWork.Im();
    store.PushUndo();
    for (int i = 0; i < store.TraceCount(); ++i) {
        const std::span<float> row = store.current.rows.Row(i);
        CBandPassDlg::PackRowComplex(row, samples, n, re, im);
        CFourier::Fft(re, im, n, 0, 0);
        ZeroNotchBins(re, im, n, f0, df, dlg.deleteHarmonics == 1);
        CFourier::Fft(re, im, n, 0, 1);
        CBandPassDlg::UnpackRowReal(row, samples, re);
    }
    store.ComputeTraceMaxima();
    return 1;
}

int OnLsqNotchFilter(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const double dt = p.sampleInterval;
    if (!TimeDomainWithInterval(ws, ui)) {
        return 0;
    }
    const int traces = store.TraceCount();
    const int samples = RecordSamples(store);
    ws.fftWork.Reserve(512);
    double* re = ws.fftWork.Re();
    double* im = ws.fftWork.Im();

    // The starting frequency: the mean strongest bin of the first 512 samples.
    double sum = 0.0;
    for (int i = 0; i < traces; ++i) {
        TraceSpectrum(store, i, 512, re, im);
        sum += LargestBin(re, im, 256) * 1000.0 / (dt * 512.0);
    }
    ws.notch.humFrequency = static_cast<float>(sum / traces);

    CLsqNotchDlg dlg;
    dlg.mode = ws.notch.mode;
    dlg.harmonics = ws.notch.harmonics;
    dlg.coarseSampling = ws.notch.coarseSampling;
    dlg.alpha = ws.notch.alpha;
    dlg.beta = ws.notch.beta;
    dlg.iterations = ws.notch.iterations;
    dlg.commonFrequency = ws.notch.commonFrequency;
    dlg.initialFrequency = ws.notch.humFrequency;
    DialogRequest request = dlg.Request();
    if (!ui.RunDialog(request)) {
        return 0;
    }
    ws.notch.mode = dlg.mode;
    ws.notch.harmonics = dlg.harmonics;
    ws.notch.coarseSampling = dlg.coarseSampling;
    ws.notch.alpha = dlg.alpha;
    ws.notch.beta = dlg.beta;
    ws.notch.iterations = dlg.iterations;
    ws.notch.commonFrequency = dlg.commonFrequency;
    ws.notch.humFrequency = dlg.mode == 1 ? 50.0f : dlg.mode == 2 ? 60.0f : dlg.initialFrequency;
    store.PushUndo();

    const bool automatic = dlg.mode == 0;
    const int lastPass = automatic && dlg.commonFrequency == 1 ? 10 : 0;
    const int harmonics = std::max(dlg.harmonics, 1);
    int fitted = 0;
    std::string lsmText;
    bool logged = false;
    std::vector<double> window;
    for (int pass = 0; pass <= lastPass; ++pass) {
        fitted = 0;
        int frequencies = 0;
        double frequencySum = 0.0;
        const double hum = ws.notch.humFrequency;
        for (int i = 0; i < traces; ++i) {
            progress.SetText(NotchProgressText(i + 1));
            const size_t t = static_cast<size_t>(i);
            const double pick = t < p.pickTimes.size() ? p.pickTimes[t] : 0.0;
            // The pre-arrival part of the trace, never beyond its samples.
            const double arrival = std::min(std::trunc(pick / dt), static_cast<double>(store.TraceSamples(i)));
            if (!(arrival >= 10.0)) {
                continue;
            }
            const int k = static_cast<int>(arrival);
            const int count = std::min(k, 100);
            const int step = dlg.coarseSampling == 1 ? std::max(1, k / 100) : 1;
            const std::span<float> row = store.current.rows.Row(i);
            window.assign(static_cast<size_t>(count), 0.0);
            double start = 0.1;
            for (int j = 0; j < count; ++j) {
                window[static_cast<size_t>(j)] = row[static_cast<size_t>(j) * static_cast<size_t>(step)];
                start = std::max(start, std::fabs(window[static_cast<size_t>(j)]));
            }
            ++fitted;
            const double windowStep = step * dt;

            int code = 1;
            double f = hum;
            std::vector<double> amplitudes;
            std::vector<double> phases;
            if (automatic) {
                CLeastSquaresDlg::SinusoidFit fit;
                code = CLeastSquaresDlg::FitSinusoids(start, 0.0, hum, window, windowStep, dlg.iterations, dlg.alpha,
                                                      dlg.beta, fit);
                if (code == 0) {
                    amplitudes = {fit.amplitude};
                    phases = {fit.phase};
                    f = fit.frequency;
                    frequencySum += f;
                    ++frequencies;
                }
            } else if (harmonics == 1) {
                double a = 0.0;
                double phase = 0.0;
                double rms = 0.0;
                code = CLeastSquaresDlg::FitSinusoidsIterative(a, phase, start, 0.0, hum, window, windowStep, rms);
                amplitudes = {a};
                phases = {phase};
            } else {
                // Starting values from the trace's first 128 (or 64) samples: the transform
                // (scaled 1/length) holds A/2 e^(i (phase - pi/2)) of A sin(w t + phase) at
                // the sinusoid's bin. Harmonics at or above that transform's Nyquist
                // frequency are left out.
                const int length = count < 64 ? 64 : 128;
                TraceSpectrum(store, i, length, re, im);
                const double dfn = 1000.0 / (length * dt);
                for (int h = 1; h <= harmonics; ++h) {
                    const double bin = std::trunc(h * hum / dfn);
                    if (!(bin >= 0.0 && bin < length / 2)) {
                        break;
                    }
                    const size_t b = static_cast<size_t>(bin);
                    amplitudes.push_back(2.0 * std::hypot(re[b], im[b]));
                    phases.push_back(std::atan2(im[b], re[b]) + std::numbers::pi / 2.0);
                }
                if (!amplitudes.empty()) {
                    double rms = 0.0;
                    code = CLeastSquaresDlg::FitSinusoidsLogged(amplitudes, phases, hum, window, windowStep, rms,
                                                                &lsmText);
                    logged = true;
                }
            }
            if (code == 0 && (!automatic || dlg.commonFrequency != 1 || pass == lastPass)) {
                SubtractSinusoids(row, samples, dt, f, amplitudes, phases);
            }
        }
        if (pass < lastPass && frequencies > 0) {
            ws.notch.humFrequency = static_cast<float>(frequencySum / frequencies);
        }
    }
    if (logged) {
        DiagnosticLog(ws).Rewrite("lsm.txt", lsmText);
    }
    if (fitted == 0) {
        ui.Message(MsgJa(kPickFirst), MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }
    store.ComputeTraceMaxima();
    return 1;
}

int OnCutDominantFrequency(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    const double dt = store.Params().sampleInterval;
    if (!TimeDomainWithInterval(ws, ui)) {
        return 0;
    }
    const int samples = RecordSamples(store);
    ws.fftWork.Reserve(256);
    double* re = ws.fftWork.Re();
    double* im = ws.fftWork.Im();
    store.PushUndo();
    for (int i = 0; i < store.TraceCount(); ++i) {
        const std::span<float> row = store.current.rows.Row(i);
        const int own = std::min(store.TraceSamples(i), samples);
        double start = 0.0;
        for (int j = 0; j < std::min(own, 256); ++j) {
            start = std::max(start, std::fabs(static_cast<double>(row[static_cast<size_t>(j)])));
        }
        TraceSpectrum(store, i, 256, re, im);
        const int k = LargestBin(re, im, 128);
        const double frequency = k * 1000.0 / (dt * 256.0);
        ws.notch.humFrequency = static_cast<float>(frequency);
        const std::vector<double> window(row.begin(), row.begin() + std::min(own, 100));
        CLeastSquaresDlg::SinusoidFit fit;
        if (CLeastSquaresDlg::FitSinusoids(start, std::atan2(im[k], re[k]), frequency, window, dt,
                                           ws.notch.iterations, ws.notch.alpha, ws.notch.beta, fit) == 0) {
            const double a[] = {fit.amplitude};
            const double phase[] = {fit.phase};
            SubtractSinusoids(row, samples, dt, fit.frequency, a, phase);
        }
    }
    store.ComputeTraceMaxima();
    return 1;
}

}  // namespace velk
