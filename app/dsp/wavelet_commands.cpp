#include "app/dsp/wavelet_commands.h"

#include <algorithm>
#include <vector>

#include "app/dsp/data_kind.h"
#include "app/formats/load_setup.h"
#include "app/workspace.h"
#include "dsp/band_pass.h"
#include "dsp/correlation.h"
#include "dsp/fourier.h"
#include "dsp/wavelet.h"
#include "formats/format_support.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

std::string WaveletConvolutionProgressText(int trace) { return FormatC(" Convolution : trace = %d ", trace); }

bool RunWaveletDialog(Workspace& ws, UiHost& ui)
{
    CWaveletDlg dlg;
    dlg.frequency = ws.wavelet.frequency;
    dlg.type = ws.wavelet.type;
    DialogRequest request = dlg.Request();
    if (!ui.RunDialog(request)) {
        return false;
    }
    ws.wavelet.frequency = dlg.frequency;
    ws.wavelet.type = dlg.type;
    return true;
}

std::string WaveletFrequencyRefusal(int language)
{
    return Msg(language, "The wavelet frequency must be above 0 Hz !",
               "ウェーブレットの周波数は 0 Hz より大きくしてください !");
}

int OnWaveletConvolution(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const int language = ws.startup.language;
    if (!TimeDomainTraces(ws, ui)) {
        return 0;
    }
    if (!CheckIntervalMs(ws, ui, p.sampleInterval) || !RunWaveletDialog(ws, ui)) {
        return 0;
    }
    const WaveletChoice choice = ws.wavelet;
    if (CWaveletDlg::NeedsFrequency(choice.type) && !(choice.frequency > 0.0f)) {
        ui.Message(WaveletFrequencyRefusal(language), MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }

    const int n = PowerOfTwoLength(RecordSamples(store), 1);
    const int traces = store.TraceCount();
    std::vector<float> wavelet(static_cast<size_t>(CWaveletDlg::WaveletLength(choice.type, n + 1)));
    std::vector<double> waveAmplitude(static_cast<size_t>(n)), wavePhase(static_cast<size_t>(n));
    ws.fftWork.Reserve(static_cast<size_t>(n));
    store.PushUndo();
    RaiseSampleCounts(ws, n);
    p.samplesPerTrace = n;
    p.samplesShown = std::min(p.samplesShown, n);
    if (choice.type == 9) {
        DiagnosticLog(ws).Rewrite(kWindowedWaveletFile, "");
    }
    CWaveletDlg::MakeWavelet(choice.type, 0, n + 1, wavelet, choice.frequency, 0.0f, 1.0f, 0.0f,
                             p.sampleInterval * 0.001f);
    // The wavelet's spectrum once, in polar form, for every trace.
    std::copy_n(wavelet.begin(), std::min<size_t>(wavelet.size(), static_cast<size_t>(n)), waveAmplitude.begin());
    CFourier::Fft(waveAmplitude.data(), wavePhase.data(), n, 0, 0);
    CFourier::RectToPolar(n, waveAmplitude.data(), wavePhase.data());

    double* re = ws.fftWork.Re();
    double* im = ws.fftWork.Im();
    for (int i = 0; i < traces; ++i) {
        progress.SetText(WaveletConvolutionProgressText(i + 1));
        const std::span<float> row = store.current.rows.Row(i);
        CBandPassDlg::PackRowComplex(row, n, n, re, im);
        CFourier::Fft(re, im, n, 0, 0);
        CFourier::RectToPolar(n, re, im);
        CCorrelationDlg::ConvolveSpectraPolar(n, re, im, waveAmplitude.data(), wavePhase.data(), re, im);
        CBandPassDlg::PolarToRect(n, re, im);
        CFourier::Fft(re, im, n, 0, 1);
        CBandPassDlg::UnpackRowReal(row, n, re);
    }
    store.dataKind() = kTimeDomain;
    ResetDisplayFactors(ws);
    store.ComputeTraceMaxima();
    return 1;
}

int OnSourceConvolution(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const int language = ws.startup.language;
    if (store.TraceCount() == 0) {
        return 0;
    }
    if (!IsComplexKind(store.dataKind()) || store.transformFlag() != 0) {
        ui.Message(Msg(language, "Not frequency domain data", "周波数領域のデータではありません"), MsgButtons::Ok,
                   MsgIcon::Warning);
        return 0;
    }
    const float df = p.sampleInterval;  // the spectrum's frequency step, Hz
    if (!CheckIntervalMs(ws, ui, df) || !RunWaveletDialog(ws, ui)) {
        return 0;
    }
    const WaveletChoice choice = ws.wavelet;
    if (choice.type != 5 && choice.type != 8) {
        ui.Message(Msg(language, "Source convolution uses the wavelet types 5 (Ricker) and 8 (Delta function) only !",
                       "震源のたたみ込みに使えるウェーブレットは 5 (Ricker) と 8 (デルタ関数) だけです !"),
                   MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }
    if (choice.type == 5 && !(choice.frequency > 0.0f)) {
        ui.Message(WaveletFrequencyRefusal(language), MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }
    const int n = RecordSamples(store);
    std::vector<double> spectrum(static_cast<size_t>(n) + 1);
    SourceSpectrum(choice.type, n + 1, spectrum, choice.frequency, df);
    for (int i = 0; i < store.TraceCount(); ++i) {
        const std::span<float> re = store.current.rows.Row(i);
        const std::span<float> im = store.current.imag.Row(i);
        for (int j = 0; j <= n / 2 && j < n; ++j) {
            const size_t k = static_cast<size_t>(j);
            re[k] = static_cast<float>(re[k] * spectrum[k]);
            im[k] = static_cast<float>(im[k] * spectrum[k]);
        }
        for (int j = 1; 2 * j < n; ++j) {
            const size_t k = static_cast<size_t>(j);
            re[static_cast<size_t>(n - j)] = re[k];
            im[static_cast<size_t>(n - j)] = -im[k];
        }
    }
    ComputeComplexMaxima(ws);
    return 1;
}

}  // namespace velk
