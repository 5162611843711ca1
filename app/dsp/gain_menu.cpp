// The menu rows of the gain, notch and wavelet commands.

#include <algorithm>
#include <utility>

#include "app/command_table.h"
#include "app/dsp/data_kind.h"
#include "app/dsp/gain_commands.h"
#include "app/dsp/notch_commands.h"
#include "app/operations.h"
#include "app/dsp/wavelet_commands.h"
#include "app/workspace.h"

namespace velk {

void AddGainCommands(CommandTable& t)
{
    // Menus another feature may have made already are reused.
    t.AddMenuIfMissing({"option.processing", "option", "Processing", "処理", kInAllMenus, 700});
    t.AddMenuIfMissing({"option.processing.option", "option.processing", "Option", "オプション", kInAllMenus, 900});
    t.AddMenuIfMissing({"option.processing.agc", "option.processing", "AGC", "AGC", kInAllMenus, 40});
    t.AddMenuIfMissing({"option.fourier", "option", "Fourier analysis", "フーリエ解析", kInAllMenus, 710});
    t.AddMenuIfMissing({"option.etc", "option", "etc.", "その他", kInAllMenus, 800});
    t.AddMenuIfMissing({"option.etc.amplitude", "option.etc", "Amplitude correction", "振幅補正", kInAllMenus, 100});
    t.AddMenuIfMissing({"option.construction", "option", "Under construction", "工事中", kInAllMenus, 900});
    t.AddMenuIfMissing({"pick.option", "pick", "Option", "オプション", kInAllMenus, 900});

    using WithProgress = int (*)(Workspace&, UiHost&, ProgressSink&);
    using Plain = int (*)(Workspace&, UiHost&);
    auto withProgress = [](WithProgress command) -> CommandAction {
        return [command](CommandContext& c) {
            ViewProgressText progress(c.view);
            return command(c.ws, c.ui, progress);
        };
    };
    auto plain = [](Plain command) -> CommandAction {
        return [command](CommandContext& c) { return command(c.ws, c.ui); };
    };

    t.Add(cmd::kZavAgc, "option.processing.agc", 10, "ZAV AGC", "ZAV AGC", withProgress(OnZavAgc), kRuleTimeDomain);
    t.Add(cmd::kInstantaneousAgc, "option.processing.agc", 20, "Instantaneous AGC", "瞬間AGC",
        withProgress(OnInstantaneousAgc), kRuleTimeDomain);
    t.Add(cmd::kNormalizeEachTrace, "option.etc.amplitude", 10, "Normalize by each trace", "トレースごとに正規化",
        plain(OnNormalizeEachTrace), kRuleTimeDomain);
    t.Add(cmd::kMultiplyConstant, "option.etc.amplitude", 20, "Multiply constant", "定数を掛ける",
        plain(OnMultiplyConstant), kRuleTimeDomain);

    t.Add(cmd::kNotchFilter, "pick", 800, "Notch filetr", "ノッチフィルター", plain(OnNotchFilter), kRuleTimeDomain);
    t.Add(cmd::kLsqNotchFilter, "pick.option", 800, "Notch filter(Least Square Method)", "ノッチフィルター(最小二乗法)",
        withProgress(OnLsqNotchFilter), kRuleTimeDomain);
    t.Add(cmd::kCutDominantFrequency, "option.construction", 300, "Cutting dominant frequency", "卓越周波数の除去",
        plain(OnCutDominantFrequency), kRuleTimeDomain);

    t.Add(cmd::kWaveletConvolution, "option.processing.option", 300, "Wavelet convolution", "ウェーブレットのたたみ込み",
        withProgress(OnWaveletConvolution), kRuleTimeDomain);
    t.Add(cmd::kSourceConvolution, "option.fourier", 60, "Source convolution", "震源のたたみ込み",
        plain(OnSourceConvolution), kRuleFftData);
}

}  // namespace velk
