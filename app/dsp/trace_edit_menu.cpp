#include "app/dsp/trace_edit_menu.h"

#include <algorithm>
#include <utility>

#include "app/dsp/correlation_commands.h"
#include "app/dsp/data_kind.h"
#include "app/dsp/nmo_commands.h"
#include "app/operations.h"
#include "app/dsp/trace_edit_commands.h"
#include "app/workspace.h"

namespace velk {

void AddTraceEditCommands(CommandTable& t)
{
    // Menus another feature may have made already are reused.
    t.AddMenuIfMissing({"edit.selected", "edit", "Selected traces", "選択トレース", kInAllMenus, 110});
    t.AddMenuIfMissing({"edit.timeshift", "edit", "Time shift traces", "トレースの時間シフト", kInAllMenus, 120});
    t.AddMenuIfMissing({"edit.timeshift.auto", "edit.timeshift", "Automatic shift", "自動シフト", kInAllMenus, 50});
    t.AddMenuIfMissing({"edit.recordlength", "edit", "Change record length", "レコード長の変更", kInAllMenus, 200});
    t.AddMenuIfMissing({"edit.resample", "edit", "Resample data", "データのリサンプル", kInAllMenus, 210});
    t.AddMenuIfMissing({"edit.option", "edit", "Option", "オプション", kInAllMenus, 300});
    t.AddMenuIfMissing({"edit.option.reverse", "edit.option", "Reverse spread", "展開の反転", kInAllMenus, 40});
    t.AddMenuIfMissing({"option.processing", "option", "Processing", "処理", kInAllMenus, 700});
    t.AddMenuIfMissing({"option.processing.mute", "option.processing", "Mute", "ミュート", kInAllMenus, 45});
    t.AddMenuIfMissing({"option.processing.velocity", "option.processing", "Velocity filter", "速度フィルター", kInAllMenus, 40});
    t.AddMenuIfMissing({"option.processing.option", "option.processing", "Option", "オプション", kInAllMenus, 900});
    t.AddMenuIfMissing({"option.fourier", "option", "Fourier analysis", "フーリエ解析", kInAllMenus, 710});
    t.AddMenuIfMissing({"option.generate", "option", "Genarate waveform data", "波形データの生成", kInAllMenus, 720});
    t.AddMenuIfMissing({"option.earthquakes", "option", "Earthquakes", "地震", kInAllMenus, 730});
    t.AddMenuIfMissing({"option.etc", "option", "etc.", "その他", kInAllMenus, 800});
    t.AddMenuIfMissing({"option.etc.amplitude", "option.etc", "Amplitude correction", "振幅補正", kInAllMenus, 100});

    using WsUi = int (*)(Workspace&, UiHost&);
    auto wsUi = [](WsUi f) -> CommandAction { return [f](CommandContext& c) { return f(c.ws, c.ui); }; };
    auto holder = [](int (CWaveOperations::*operation)()) -> CommandAction {
        return [operation](CommandContext& c) {
            ViewProgressText progress(c.view);
            CWaveOperations ops(c.ws, c.ui, progress);
            return ops.Run([operation](CWaveOperations& o) { return (o.*operation)(); });
        };
    };

    // Edit > Selected traces.
    t.Add(cmd::kDeleteSelected, "edit.selected", 20, "Delate", "削除", holder(&CWaveOperations::DeleteSelectedTraces),
        kRuleTracesLoaded);
    t.Add(cmd::kKillTrace, "edit.selected", 30, "Kill trace", "トレースの消去", wsUi(OnKillTrace), kRuleTracesLoaded);
    t.Add(cmd::kStrongMotionSpectrum, "edit.selected", 40, "Show Fourier amplitude spectrum",
        "フーリエ振幅スペクトルを表示", wsUi(StrongMotionSpectrum), kRuleTracesLoaded);

    // Edit > Option.
    t.Add(cmd::kInsertTrace, "edit.option", 50, "Insert trace", "トレースの挿入", wsUi(OnInsertTrace), kRuleAlways);
    t.Add(cmd::kReverseSpread, "edit.option.reverse", 10, "1 to 24", "1 から 24",
        [](CommandContext& c) { return OnReverseSpread(c.ws); }, kRuleReverseSpread);
    t.Add(cmd::kDurationTime, "edit.option", 60, "Duration time", "継続時間", wsUi(WriteDuration), kRuleTracesLoaded);
    t.Add(cmd::kStrongMotionSpectrum3C, "edit.option", 70, "Show Fourier amplitude spectrum (multi compnents)",
        "フーリエ振幅スペクトルを表示 (多成分)", wsUi(StrongMotionSpectrum3C), kRuleTracesLoaded);

    // Edit > Time shift traces.
    t.Add(cmd::kEditPretrigger, "edit.timeshift", 30, "Edit pre-trigger", "プリトリガーの編集", wsUi(OnEditPretrigger),
        kRuleTracesLoaded);
    t.Add(cmd::kTimeShiftByComponent, "edit.timeshift", 40, "Time-shift (by component)", "時間シフト (成分ごと)",
        wsUi(OnTimeShiftByComponent), kRuleTracesLoaded);
    t.Add(cmd::kCorrelationLoop, "edit.timeshift.auto", 30, "Correlation(loop)", "相関(ループ)",
        [](CommandContext& c) {
            const int result = AutoShiftByCorrelation(c.ws, c.ui, 1);
            if (result == 1) c.ws.display.modified = 1;
            return result;
        },
        kRuleTimeDomain);

    // Edit > Resample data, Edit > Change record length.
    const std::pair<int, int> decimations[] = {{cmd::kDecimate2, 2}, {cmd::kDecimate4, 4}, {cmd::kDecimate8, 8},
                                               {cmd::kDecimate5, 5}};
    const char* const decimationEn[] = {"Every other", "Every 4th", "Every 8th", "Every 5th"};
    const char* const decimationJa[] = {"1 つおき", "4 つごと", "8 つごと", "5 つごと"};
    for (size_t k = 0; k < std::size(decimations); ++k) {
        const int factor = decimations[k].second;
        t.Add(decimations[k].first, "edit.resample", 50 + static_cast<double>(k), decimationEn[k], decimationJa[k],
            [factor](CommandContext& c) { return OnDecimate(c.ws, factor); }, kRuleTimeDomain);
    }
    t.Add(cmd::kRecordLengthArbitrary, "edit.recordlength", 50, "Arbitrary", "任意の長さ...",
        wsUi(OnRecordLengthArbitrary), kRuleTracesLoaded);

    // Option > Fourier analysis.
    t.Add(cmd::kFourierTimeShift, "option.fourier", 60, "Time shift", "時間シフト", wsUi(OnFourierTimeShift),
        kRuleComplexData);
    t.Add(cmd::kFourierDifferential, "option.fourier", 61, "Differential", "微分", wsUi(OnFourierDifferential),
        kRuleComplexData);

    // Option > Processing.
    t.Add(cmd::kNmoCorrection, "option.processing", 60, "NMO correction", "NMO補正", wsUi(OnNmoCorrection),
        kRuleTimeDomain);
    t.Add(cmd::kApparentVelocityMute, "option.processing.mute", 10, "Mute(apparent velocity)", "ミュート(見かけ速度)",
        wsUi(OnApparentVelocityMute), kRuleTimeDomain);
    t.Add(cmd::kMuteByMouse, "option.processing.mute", 20, "Mute(by mouse)", "ミュート(マウス)",
        [](CommandContext& c) { return OnMuteByMouse(c.ws); }, kRuleTimeDomain);
    t.Add(cmd::kSpacialFilter, "option.processing.velocity", 60, "Spacial filter", "空間フィルター",
        wsUi(OnSpacialFilter), kRuleAlways);
    t.Add(cmd::kIntegrationInTime, "option.processing.option", 60, "Integration in time", "時間積分",
        [](CommandContext& c) { return OnIntegrationInTime(c.ws); }, kRuleTimeDomain);
    t.Add(cmd::kExtractSingleFrequency, "option.processing.option", 61, "Extract single frequency",
        "単一周波数の抽出", wsUi(OnExtractSingleFrequency), kRuleTimeDomain);
    t.Add(cmd::kFourierDecomposition, "option.processing.option", 62, "Fourier decomposition", "フーリエ分解",
        wsUi(OnFourierDecomposition), kRuleTracesLoaded);

    // Option > etc., Option > Earthquakes.
    t.Add(cmd::kSetMaximumAmplitude, "option.etc.amplitude", 60, "Set maximum amplitude to 1", "最大振幅を 1 にする",
        [](CommandContext& c) { return NormalizeToMax(c.ws); }, kRuleTimeDomain);
    t.Add(cmd::kSetupCoordinate, "option.etc", 70, "Setup coordinate", "座標の設定", wsUi(OnSetupCoordinate),
        kRuleAlways);
    t.Add(cmd::kAngleRange, "option.earthquakes", 60, "Set up min. and max. angle to be plotted",
        "表示する最小・最大角度の設定",
        wsUi(OnAngleRange), kRuleAngleRange);

    // Option > Genarate waveform data.
    t.Add(cmd::kGenerateTimeDomain, "option.generate", 10, "Generate in time domain", "時間領域で生成",
        holder(&CWaveOperations::GenerateTimeDomain), kRuleAlways);
    t.Add(cmd::kGenerateFrequencyDomain, "option.generate", 11, "Generate in frequency domain", "周波数領域で生成",
        [](CommandContext& c) {
            ViewProgressText progress(c.view);
            CWaveOperations ops(c.ws, c.ui, progress);
            return ops.Run([](CWaveOperations& o) { return o.GenerateFrequencyDomain(o.ws.traceEdit.generatorVelocity); });
        },
        kRuleAlways);
    t.Add(cmd::kGenerateFkDomain, "option.generate", 12, "Generate in F-K domain", "F-K 領域で生成",
        holder(&CWaveOperations::GenerateFkDomain), kRuleAlways);

    auto rule = [&](int id, bool (*predicate)(const Workspace&)) {
        t.SetRule(id, [predicate](const Workspace& ws, const RecentFileList&) { return predicate(ws); });
    };
    rule(kRuleReverseSpread, CanReverseSpread);
    rule(kRuleAngleRange, CanSetAngleRange);
    rule(kRuleReceiverInterval, CanSetReceiverInterval);
}

}  // namespace velk
