#include "app/dsp/signal_commands.h"

#include <algorithm>
#include <utility>

#include "app/dsp/band_pass_commands.h"
#include "app/dsp/correlation_commands.h"
#include "app/dsp/data_kind.h"
#include "app/dsp/display_filter_commands.h"
#include "app/dsp/filter_test.h"
#include "app/dsp/fourier_commands.h"
#include "app/operations.h"
#include "app/record_arrival.h"
#include "app/workspace.h"

namespace velk {

namespace {

// Runs one operation of the holder with the view's progress text; the shell repaints on 1.
int RunOperation(CommandContext& ctx, int (CWaveOperations::*operation)())
{
    ViewProgressText progress(ctx.view);
    CWaveOperations ops(ctx.ws, ctx.ui, progress);
    return ops.Run([operation](CWaveOperations& o) { return (o.*operation)(); });
}

}  // namespace

void AddSignalCommands(CommandTable& t)
{
    // Menus another feature may have made already are reused.
    t.AddMenuIfMissing({"option.processing", "option", "Processing", "処理", kInAllMenus, 700});
    t.AddMenuIfMissing({"option.processing.option", "option.processing", "Option", "オプション", kInAllMenus, 900});
    t.AddMenuIfMissing({"option.fourier", "option", "Fourier analysis", "フーリエ解析", kInAllMenus, 710});
    t.AddMenuIfMissing({"view.option.fuzz", "view.option", "Fuzz filter", "簡易フィルター", kInFullMenus, 40});
    t.AddMenuIfMissing({"view.option.fuzzshort", "view.option", "Fuzz filter", "簡易フィルター", kIn285, 40});

    auto make = [](int id, const char* where, double order, const char* en, const char* ja, CommandAction action,
                   int enable = kRuleAlways, ItemKind kind = ItemKind::Command, int check = kRuleNone) {
        return MakeRow(id, where, order, en, ja, std::move(action), enable, kind, check);
    };
    auto add = [&](auto&&... args) { t.Add(make(std::forward<decltype(args)>(args)...)); };
    auto separator = [&](const char* where, double order) {
        t.Add(SeparatorRow(where, order));
    };
    using Op = int (CWaveOperations::*)();
    auto op = [](Op operation) -> CommandAction {
        return [operation](CommandContext& c) { return RunOperation(c, operation); };
    };
    auto withProgress = [](int (*command)(Workspace&, UiHost&, ProgressSink&)) -> CommandAction {
        return [command](CommandContext& c) {
            ViewProgressText progress(c.view);
            return command(c.ws, c.ui, progress);
        };
    };

    // Option > Fourier analysis.
    const char* f = "option.fourier";
    add(cmd::kForwardFft, f, 10, "Fourier transform(FFT)", "フーリエ変換(FFT)", op(&CWaveOperations::ForwardFft),
        kRuleKindTime);
    add(cmd::kInverseFft, f, 11, "Inverse Fourier transform(FFT)", "逆フーリエ変換(FFT)",
        op(&CWaveOperations::InverseFft), kRuleFftData);
    add(cmd::kForwardDft, f, 12, "Fourier transform(DFT)", "フーリエ変換(DFT)", op(&CWaveOperations::ForwardDft),
        kRuleKindTime);
    add(cmd::kInverseDft, f, 13, "Inverse Fourier transform(DFT)", "逆フーリエ変換(DFT)",
        op(&CWaveOperations::InverseDftAll), kRuleDftData);
    add(cmd::kSpectrumDft, f, 14, "Spectrum(DFT)", "スペクトル(DFT)", op(&CWaveOperations::PowerSpectrumDft));
    add(cmd::kSpectrumDftDecibel, f, 15, "Spectrum(DFT,dB)", "スペクトル(DFT,dB)",
        op(&CWaveOperations::DecibelSpectrumDft));
    separator(f, 20);
    add(cmd::kShowRealPart, f, 21, "Show real part (cos)", "実部を表示 (cos)",
        [](CommandContext& c) { return OnShowRealPart(c.ws, c.ui); }, kRuleComplexData);
    add(cmd::kShowImaginaryPart, f, 22, "Show imaginary part (sin)", "虚部を表示 (sin)",
        [](CommandContext& c) { return OnShowImaginaryPart(c.ws, c.ui); }, kRuleComplexData);
    add(cmd::kShowTimeDomain, f, 23, "Show the time domain of waveform data", "時間領域の波形を表示",
        [](CommandContext& c) { return OnShowTimeDomain(c.ws); }, kRuleRealSpectrum);
    add(cmd::kShadeSpectrum, f, 24, "Shade spectrum", "スペクトルの塗りつぶし",
        [](CommandContext& c) { return OnShadeSpectrum(c.ws); }, kRuleAlways, ItemKind::Check, kRuleShadeSpectrum);
    separator(f, 30);
    add(cmd::kFourierBandPass, f, 31, "BPF", "BPF", op(&CWaveOperations::FourierBandPass), kRuleComplexData);
    separator(f, 40);
    add(cmd::kSaveFrequencyData, f, 41, "Save frequency domain data", "周波数領域のデータを保存",
        [](CommandContext& c) { return OnSaveFrequencyDomainData(c.ws, c.ui); }, kRuleComplexData);
    add(cmd::kOpenFrequencyData, f, 42, "Open frequency domain data", "周波数領域のデータを開く",
        [](CommandContext& c) {
            const int read = OnOpenFrequencyDomainData(c.ws, c.ui);
            if (read == 1) AfterRecordReplaced(c, BuiltArrival());
            return read;
        });
    separator(f, 50);
    add(cmd::kMemoryPresentAmplitude, f, 51, "Memory present amplitude", "表示中の振幅を記憶",
        [](CommandContext& c) { return OnMemoryPresentAmplitude(c.ws); });
    add(cmd::kChangeSamplingTime, f, 52, "Change sampling time", "サンプリング時間の変更",
        [](CommandContext& c) { return OnChangeSamplingTime(c.ws, c.ui); });

    // Option > Processing.
    const char* p = "option.processing";
    add(cmd::kBandPass, p, 10, "BPF", "BPF", [](CommandContext& c) {
        ViewProgressText progress(c.view);
        return ApplyBandPass(c.ws, c.ui, progress, 0, 0, c.ws.settings.bpfLowCut, c.ws.settings.bpfHighCut);
    }, kRuleTimeDomain);
    add(cmd::kBandPassCosine, p, 11, "BPF(cos function taper)", "BPF(cos関数テーパー)", [](CommandContext& c) {
        ViewProgressText progress(c.view);
        return ApplyBandPass(c.ws, c.ui, progress, 1, 0, c.ws.settings.bpfLowCut, c.ws.settings.bpfHighCut);
    }, kRuleTimeDomain);
    add(cmd::kPowerSpectrum, p, 20, "Power spectrum", "パワースペクトル", withProgress(OnPowerSpectrum),
        kRuleTimeDomain);
    add(cmd::kFilterTest, p, 30, "Filter test", "フィルターテスト",
        [](CommandContext& c) { return OnFilterTest(c.ws, c.ui); }, kRuleTimeDomain);

    // Option > Processing > Option.
    const char* po = "option.processing.option";
    add(cmd::kBandPassPrecise, po, 20, "BPF(Precise)", "BPF(高精度)", withProgress(OnBandPassPrecise),
        kRuleTimeDomain);
    add(cmd::kBandPassDft, po, 21, "BPF(DFT)", "BPF(DFT)", op(&CWaveOperations::BandPassDft), kRuleTimeDomain);
    add(cmd::kIntegration, po, 22, "Integration", "積分", withProgress(OnIntegration), kRuleTimeDomain);
    add(cmd::kDifferential, po, 23, "Differential", "微分",
        [](CommandContext& c) { return OnDifferential(c.ws, c.ui); }, kRuleTimeDomain);
    add(cmd::kPhaseSpectrum, po, 24, "Phase spectrum(FFT)", "位相スペクトル(FFT)",
        [](CommandContext& c) { return OnPhaseSpectrum(c.ws, c.ui); }, kRuleTimeDomain);

    // View > Option > Fuzz filter; the short English menu calls the items Filter, Up, Down.
    auto fuzz = [&](int filterId, int lowId, int highId, const char* where, const char* lowText,
                    const char* highText, unsigned menus) {
        CommandRow r = make(filterId, where, 10, "Filter", "フィルター",
                            [](CommandContext& c) { return OnDisplayFilter(c.ws); }, kRuleDisplayFilterApplied,
                            ItemKind::Check, kRuleDisplayFilterApplied);
        r.menus = menus;
        t.Add(r);
        r = make(lowId, where, 20, lowText, "LCF", [](CommandContext& c) { return OnLowCutFilter(c.ws, c.ui); },
                 kRuleTimeDomain);
        r.menus = menus;
        r.accelerator = "Ctrl+L";
        t.Add(r);
        r = make(highId, where, 30, highText, "HCF", [](CommandContext& c) { return OnHighCutFilter(c.ws, c.ui); },
                 kRuleTimeDomain);
        r.menus = menus;
        r.accelerator = "Ctrl+H";
        t.Add(r);
    };
    fuzz(cmd::kDisplayFilter, cmd::kLowCutFilter, cmd::kHighCutFilter, "view.option.fuzz", "LCF", "HCF",
         kInFullMenus);
    fuzz(cmd::kDisplayFilterShort, cmd::kLowCutFilterShort, cmd::kHighCutFilterShort, "view.option.fuzzshort", "Up",
         "Down", kIn285);

    // Edit > Redo.
    add(cmd::kEditRedo, "edit", 20, "&Redo", "やり直し(&R)", [](CommandContext& c) { return OnEditRedo(c.ws); },
        kRuleRedo);

    AddCorrelationCommands(t);
    RegisterDataKindRules(t);
}

}  // namespace velk
