// The menu rows of the velocity filters, the two-dimensional transforms and the old FFT.

#include "app/dsp/velocity_filter_commands.h"

#include <algorithm>
#include <utility>

#include "app/dsp/data_kind.h"
#include "app/view/interactive_edit.h"
#include "app/operations.h"
#include "app/view/view_commands.h"
#include "app/workspace.h"

namespace velk {

namespace {

// Runs one operation with the view's progress text; the shell repaints on 1.
int RunOperation(CommandContext& ctx, int (*operation)(CWaveOperations&))
{
    ViewProgressText progress(ctx.view);
    CWaveOperations ops(ctx.ws, ctx.ui, progress);
    return ops.Run([operation](CWaveOperations& o) { return operation(o); });
}

int RunMember(CommandContext& ctx, int (CWaveOperations::*operation)())
{
    ViewProgressText progress(ctx.view);
    CWaveOperations ops(ctx.ws, ctx.ui, progress);
    return ops.Run([operation](CWaveOperations& o) { return (o.*operation)(); });
}

}  // namespace

void AddVelocityFilterCommands(CommandTable& t)
{
    // Menus another feature may have made already are reused.
    t.AddMenuIfMissing({"option.processing", "option", "Processing", "処理", kInAllMenus, 700});
    t.AddMenuIfMissing({"option.fourier", "option", "Fourier analysis", "フーリエ解析", kInAllMenus, 710});
    t.AddMenuIfMissing({"option.etc", "option", "etc.", "その他", kInAllMenus, 800});
    t.AddMenuIfMissing({"option.processing.velocity", "option.processing", "Velocity filter", "速度フィルター", kInAllMenus, 40});
    t.AddMenuIfMissing({"option.processing.median", "option.processing", "Median filter", "メディアンフィルター", kInAllMenus, 41});
    t.AddMenuIfMissing({"option.etc.etc", "option.etc", "etc.", "その他", kInAllMenus, 900});
    t.AddMenuIfMissing({"option.etc.etc.oldfft", "option.etc.etc", "Old FFT", "旧FFT", kInAllMenus, 50});

    auto op = [](int (*operation)(CWaveOperations&)) -> CommandAction {
        return [operation](CommandContext& c) { return RunOperation(c, operation); };
    };
    auto member = [](int (CWaveOperations::*operation)()) -> CommandAction {
        return [operation](CommandContext& c) { return RunMember(c, operation); };
    };

    // Option > Processing.
    const char* p = "option.processing";
    t.Add(cmd::kFkSpectrum, p, 21, "F-K spectrum", "F-K スペクトル", op(OnFkSpectrum), kRuleTimeDomain);
    t.Add(cmd::kTauPTransform, p, 42, "tau-P transform", "τ-P 変換", op(OnTauPTransform), kRuleTimeDomain);
    const char* v = "option.processing.velocity";
    t.Add(cmd::kFkFilter, v, 10, "F-K", "F-K", op(OnFkFilter), kRuleTimeDomain);
    t.Add(cmd::kTauPVelocityFilter, v, 20, "tau-P", "τ-P", op(OnTauPVelocityFilter), kRuleTimeDomain);
    t.Add(cmd::kMedianVelocityFilter, v, 30, "Median", "メディアン", op(OnMedianVelocityFilter), kRuleTimeDomain);
    const char* m = "option.processing.median";
    t.Add(cmd::kSubtractFirstArrival, m, 10, "Subtract first arrival time", "初動時刻を引く",
        [](CommandContext& c) { return OnSubtractFirstArrivalTime(c.ws, c.ui); }, kRuleReceiverShiftTable);
    t.Add(cmd::kAddFirstArrival, m, 20, "Add first arrival time", "初動時刻を足す",
        [](CommandContext& c) { return OnAddFirstArrivalTime(c.ws, c.ui); }, kRuleTimeDomain);
    t.Add(cmd::kEnhanceVertical, m, 30, "Enhance vertical trajectories", "鉛直な軌跡を強調",
        [](CommandContext& c) { return OnEnhanceVerticalTrajectories(c.ws, c.ui); }, kRuleTimeDomain);
    t.Add(cmd::kSubtractVertical, m, 40, "Subtract vertical trajectories", "鉛直な軌跡を除去",
        [](CommandContext& c) { return OnSubtractVerticalTrajectories(c.ws, c.ui); }, kRuleTimeDomain);

    // Option > Fourier analysis.
    const char* f = "option.fourier";
    t.Add(cmd::kFkTransform, f, 60, "Transform to F-K domain(FFT)", "F-K 領域へ変換(FFT)", op(OnFkTransform),
        kRuleTimeDomain);
    t.Add(cmd::kFkInverseTransform, f, 61, "Inverse transform from F-K domain(FFT)", "F-K 領域から逆変換(FFT)",
        op(OnFkInverseTransform), kRuleFkInverse);

    // Option > etc. > etc. > Old FFT.
    const char* o = "option.etc.etc.oldfft";
    t.Add(cmd::kOldBandPass, o, 10, "BPF (up to 2048)", "BPF (2048 まで)", member(&CWaveOperations::BandPassOldFft),
        kRuleTimeDomain);
    t.Add(cmd::kOldPowerSpectrum, o, 20, "Power spectrum(up to 2048)", "パワースペクトル(2048 まで)",
        member(&CWaveOperations::PowerSpectrumOldFft), kRuleTimeDomain);

    // The 2-D DFT has no menu item.
    CommandRow dft;
    dft.id = cmd::kDft2d;
    dft.menus = 0;
    dft.action = op(OnDft2d);
    t.Add(std::move(dft));

    t.SetRule(kRuleFkInverse, [](const Workspace& ws, const RecentFileList&) { return CanInverseFkTransform(ws); });
    t.SetRule(kRuleReceiverShiftTable, [](const Workspace& ws, const RecentFileList&) { return TimeDomainData(ws); });
}

}  // namespace velk
