// The velocity-filter, 2-D transform and old-FFT commands on a workspace.

#include "app/dsp/velocity_filter_commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "app/command_table.h"
#include "app/dsp/data_kind.h"
#include "app/operations.h"
#include "platform/recent_files.h"
#include "dsp/fk_filter.h"
#include "dsp/median_filter.h"
#include "dsp/taup.h"
#include "app/dsp/signal_fixture.h"

namespace velk {
namespace {

using signaltest::SignalTest;

class VelocityCommands : public SignalTest {
protected:
    int Run(int (*operation)(CWaveOperations&))
    {
        CWaveOperations ops(*ws, ui, progress);
        return ops.Run([operation](CWaveOperations& o) { return operation(o); });
    }
    int Run(int (CWaveOperations::*operation)())
    {
        CWaveOperations ops(*ws, ui, progress);
        return ops.Run([operation](CWaveOperations& o) { return (o.*operation)(); });
    }
    // Receivers every dx metres from dx.
    void Spacing(double dx)
    {
        for (int t = 0; t < ws->store.TraceCount(); ++t) {
            ws->store.current.headers[static_cast<size_t>(t)].receiverHundredths = static_cast<int32_t>(std::lround(dx * 100 * (t + 1)));
        }
    }
    // Every sample of the first traces within tol of the rows they were.
    void ExpectRows(const std::vector<std::vector<float>>& rows, double tol)
    {
        for (size_t t = 0; t < rows.size(); ++t) {
            const std::vector<float> now = Row(static_cast<int>(t), static_cast<int>(rows[t].size()));
            for (size_t k = 0; k < rows[t].size(); ++k) ASSERT_NEAR(now[k], rows[t][k], tol) << t << " " << k;
        }
    }
    std::vector<std::vector<float>> Rows(int traces, int samples) const
    {
        std::vector<std::vector<float>> out;
        for (int t = 0; t < traces; ++t) out.push_back(Row(t, samples));
        return out;
    }

    dsptest::Fixture fx{"velocity.txt"};
};

// ---------------------------------------------------------------------------------------------
// Done when: the forward F-K transform against numpy and its round trips

TEST_F(VelocityCommands, FkTransformMatchesNumpyAndComesBack)
{
    Build(128, 4100);
    LoadLcg(8100, 12, 100, 1000.0f);
    const auto input = Rows(12, 100);
    ASSERT_EQ(Run(OnFkTransform), 1);
    const CParameterSet& p = ws->store.Params();
    EXPECT_EQ(p.traceCount, 16);  // 256 does not fit 128 traces; 16 covers the 12
    EXPECT_EQ(p.samplesPerTrace, 128);
    EXPECT_EQ(ws->store.dataKind(), kComplexShowReal);
    EXPECT_EQ(ws->store.current.headers[0].intervalUs, 7812.5f);  // 1000 / 128 Hz, untruncated
    EXPECT_EQ(ws->store.current.headers[0].receiverHundredths, -50000);  // k' = -8, dk 0.0625
    EXPECT_EQ(progress.Record().texts, std::vector<std::string>{" Forward Fourier transform "});

    const std::vector<int>& order = ws->velocityFilters.fkTransform.order;
    const std::vector<int> bins = fx.Indices("fkt_bins");
    const double peak = std::max(dsptest::MaxAbs(fx.Get("fkt_re")), dsptest::MaxAbs(fx.Get("fkt_im")));
    for (int i = 0; i < 16; ++i) {
        const size_t k = static_cast<size_t>(order[static_cast<size_t>(i)]);
        for (size_t b = 0; b < bins.size(); ++b) {
            const auto bin = static_cast<size_t>(bins[b]);
            EXPECT_NEAR(Row(i, 128)[bin], fx.Get("fkt_re")[k * bins.size() + b], 1e-6 * peak);
            EXPECT_NEAR(Imag(i, 128)[bin], fx.Get("fkt_im")[k * bins.size() + b], 1e-6 * peak);
        }
    }

    ASSERT_EQ(Run(OnFkInverseTransform), 1);
    EXPECT_EQ(p.traceCount, 12);
    EXPECT_EQ(p.samplesPerTrace, 128);
    EXPECT_EQ(ws->store.dataKind(), kTimeDomain);
    EXPECT_FLOAT_EQ(p.sampleInterval, 1.0f);
    EXPECT_EQ(ws->store.current.headers[11].receiverHundredths, 1200);
    ExpectRows(input, 1e-5);
    EXPECT_FALSE(CanInverseFkTransform(*ws));  // the record is spent
}

TEST_F(VelocityCommands, FkRoundTripsKeepTheOrderWhateverTheLabels)
{
    Build(128, 1024);
    LoadLcg(40, 48, 200, 500.0f);
    auto input = Rows(48, 200);
    ASSERT_EQ(Run(OnFkTransform), 1);
    EXPECT_EQ(ws->store.TraceCount(), 64);
    ASSERT_EQ(Run(OnFkInverseTransform), 1);
    ExpectRows(input, 1e-5);

    // 150 m at 1024 wavenumbers: every label truncates to 0, the recorded order still holds.
    Build(1024, 64);
    LoadLcg(41, 600, 64, 1000.0f);
    Spacing(150.0);
    input = Rows(600, 64);
    ASSERT_EQ(Run(OnFkTransform), 1);
    EXPECT_EQ(ws->store.TraceCount(), 1024);
    int repeated = 0;  // labels that say nothing about the order
    for (int k = 1; k < 1024; ++k) {
        repeated += ws->store.current.headers[static_cast<size_t>(k)].receiverHundredths ==
                    ws->store.current.headers[static_cast<size_t>(k) - 1].receiverHundredths;
    }
    EXPECT_GT(repeated, 300);
    ASSERT_EQ(Run(OnFkInverseTransform), 1);
    ExpectRows(input, 1e-5);
    EXPECT_EQ(ws->store.current.headers[599].receiverHundredths, 600 * 15000);

    // 600 traces in a store of 700: neither 1024 nor any power of two fits.
    Build(700, 64);
    LoadLcg(41, 600, 64, 1000.0f);
    const std::vector<uint8_t> before = Snapshot();
    ui.ExpectMessage(TracesTooLargeText(-1, 700));
    EXPECT_EQ(Run(OnFkTransform), 0);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(VelocityCommands, FkSpectrumCoversEveryTraceAndZeroSpacingIsRefused)
{
    Build(128, 1024);
    std::vector<std::vector<double>> traces(96, std::vector<double>(256, 0.0));
    traces[95][0] = 1.0;  // only the last trace: lost if it were dropped
    Load(traces, 1000.0f);
    ASSERT_EQ(Run(OnFkSpectrum), 1);
    EXPECT_EQ(ws->store.TraceCount(), 128);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 16);
    EXPECT_EQ(ws->store.dataKind(), kRealSpectrum);
    EXPECT_EQ(ws->display.spectrumFill, -1);
    EXPECT_FLOAT_EQ(Row(77, 16)[5], 1e6f);

    for (auto command : {OnFkSpectrum, OnFkTransform, OnFkFilter}) {
        LoadLcg(5, 4, 64, 1000.0f);
        Spacing(0.0);
        const std::vector<uint8_t> before = Snapshot();
        ui.ExpectMessage(ReceiverSpacingRefusal(-1));
        EXPECT_EQ(Run(command), 0);
        EXPECT_TRUE(ui.VerifyAndClear());
        EXPECT_EQ(Snapshot(), before);
    }
}

TEST_F(VelocityCommands, FkFilterThroughItsDialogRemembersTheOrderedRoles)
{
    LoadLcg(8000, 6, 30, 1000.0f);
    Spacing(2.0);
    ui.CancelDialog(CFkFilterDlg::kClass);
    const std::vector<uint8_t> before = Snapshot();
    EXPECT_EQ(Run(OnFkFilter), 0);
    EXPECT_EQ(Snapshot(), before);

    // Group 2 the wrong way round with Fan-reject: the fixture's reject case after the swap.
    ui.AnswerDialog(CFkFilterDlg::kClass, {{CFkFilterDlg::kInnerLow, "1.5"},
                                           {CFkFilterDlg::kInnerHigh, "0.3"},
                                           {CFkFilterDlg::kFan, "Fan-reject"},
                                           {CFkFilterDlg::kOuterLow, "1.6"},
                                           {CFkFilterDlg::kOuterHigh, "0.2"}});
    ASSERT_EQ(Run(OnFkFilter), 1);
    const VelocityFilterState& m = ws->velocityFilters;
    EXPECT_EQ(m.fkVelocity1121, 0.3f);
    EXPECT_EQ(m.fkVelocity1125, 1.6f);
    EXPECT_EQ(m.fkFanMode, 1);
    const std::vector<double>& ref = fx.Get("fk_reject");
    for (int t = 0; t < 6; ++t) {
        for (int k = 0; k < 30; ++k) EXPECT_NEAR(Row(t, 30)[static_cast<size_t>(k)], ref[static_cast<size_t>(t * 30 + k)], 1e-5);
    }
}

TEST_F(VelocityCommands, Dft2dWritesNegatedMagnitudesAndZeroImaginaryRows)
{
    LoadLcg(8200, 5, 12, 1000.0f);
    for (int t = 0; t < 5; ++t) {
        auto imag = ws->store.current.imag.Row(t);
        std::fill(imag.begin(), imag.end(), 7.0f);  // stale rows from an earlier transform
    }
    ASSERT_EQ(Run(OnDft2d), 1);
    EXPECT_EQ(progress.Record().texts, std::vector<std::string>{" 2-D DFT 計算中"});
    EXPECT_EQ(ws->store.dataKind(), kComplexShowReal);
    EXPECT_EQ(ws->store.current.transformFlag, 0);
    EXPECT_NEAR(ws->store.Params().sampleInterval, 1000.0f / 12.0f, 1e-3);
    const std::vector<double>& ref = fx.Get("dft2d");
    for (int t = 0; t < 5; ++t) {
        for (int j = 0; j < 12; ++j) {
            EXPECT_NEAR(Row(t, 12)[static_cast<size_t>(j)], -ref[static_cast<size_t>(t * 12 + j)], 1e-6);
            EXPECT_EQ(Imag(t, 12)[static_cast<size_t>(j)], 0.0f);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Medians and tau-p

TEST_F(VelocityCommands, AddFirstArrivalTimeShiftsByThePick)
{
    LoadLcg(3, 2, 100, 500.0f);
    const std::vector<float> old = Row(0, 100);
    ws->store.Params().pickTimes[0] = 10.0f;
    ws->display.editMode = 1;
    ASSERT_EQ(OnAddFirstArrivalTime(*ws, ui), 1);
    const std::vector<float> now = Row(0, 100);
    for (int j = 0; j < 20; ++j) EXPECT_EQ(now[static_cast<size_t>(j)], 0.0f);
    for (int j = 20; j < 100; ++j) EXPECT_EQ(now[static_cast<size_t>(j)], old[static_cast<size_t>(j - 20)]);
    EXPECT_EQ(ws->display.editMode, 0);
    EXPECT_EQ(ws->store.undoDepth, 1);
}

TEST_F(VelocityCommands, VerticalTrajectoriesAndTheMedianVelocityFilter)
{
    LoadLcg(8300, 10, 40, 1000.0f);
    const auto input = Rows(10, 40);
    ui.AnswerDialog(CMedianFilterDlg::kClass, {{CMedianFilterDlg::kTraces, "3"}});
    ASSERT_EQ(OnSubtractVerticalTrajectories(*ws, ui), 1);
    std::vector<float> window{input[3][7], input[4][7], input[5][7]};
    EXPECT_EQ(Row(4, 40)[7], input[4][7] - MedianOfValues(window.data(), 3));
    EXPECT_EQ(ws->velocityFilters.medianTraces, 3);

    // The velocity filter shares M; a velocity of 0 is refused before any change.
    ui.AnswerDialogWith(CMedianVelocityDlg::kClass, [](DialogRequest& r) {
        EXPECT_EQ(r.Find(CMedianVelocityDlg::kTraces)->Text(), "3");
        EXPECT_EQ(r.Find(CMedianVelocityDlg::kSteps)->Text(), "20");
        return r.SetFromText(CMedianVelocityDlg::kMinVelocity, "0").empty();
    });
    ui.ExpectMessage(VelocityRefusal(-1));
    const std::vector<uint8_t> before = Snapshot();
    EXPECT_EQ(Run(OnMedianVelocityFilter), 0);
    EXPECT_EQ(Snapshot(), before);

    ui.AnswerDialog(CMedianVelocityDlg::kClass, {{CMedianVelocityDlg::kSteps, "8"}});
    ASSERT_EQ(Run(OnMedianVelocityFilter), 1);
    EXPECT_EQ(progress.Record().texts.back(), kMedianFilterText);
    EXPECT_EQ(ws->velocityFilters.slownessSteps, 8);
}

TEST_F(VelocityCommands, TauPTransformGivesOneTracePerSlowness)
{
    LoadLcg(50, 12, 200, 1000.0f);
    ws->store.current.headers[0].sourceHundredths = -250;
    ui.AnswerDialogWith(CTauPTransformDlg::kClass, [](DialogRequest& r) {
        EXPECT_EQ(r.Find(CTauPTransformDlg::kNumberOfP)->Text(), "10");
        EXPECT_EQ(r.Find(CTauPTransformDlg::kMethod)->IntValue(), 2);
        return true;
    });
    ASSERT_EQ(Run(OnTauPTransform), 1);
    ASSERT_EQ(ws->store.TraceCount(), 10);
    for (int i = 0; i < 10; ++i) {
        const CTraceHeader& h = ws->store.current.headers[static_cast<size_t>(i)];
        EXPECT_EQ(h.receiverHundredths, 5 * (i + 1));
        EXPECT_EQ(h.sourceHundredths, -250);
        EXPECT_EQ(h.samples, 200);
    }
    EXPECT_EQ(ws->store.Params().normalisation, 1);
    EXPECT_EQ(ws->store.undoDepth, 1);  // one snapshot for normalisation and stack

    // 0.01 .. 1 by 0.01 asks for 100 traces in a store of 64.
    LoadLcg(50, 12, 200, 1000.0f);
    ui.AnswerDialog(CTauPTransformDlg::kClass, {{CTauPTransformDlg::kMinP, "0.01"},
                                                 {CTauPTransformDlg::kMaxP, "1"},
                                                 {CTauPTransformDlg::kInterval, "0.01"}});
    ui.ExpectMessage(TracesTooLargeText(-1, 64));
    const std::vector<uint8_t> before = Snapshot();
    EXPECT_EQ(Run(OnTauPTransform), 0);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(ws->tauP.startSlowness, 0.05f);
}

TEST_F(VelocityCommands, TauPVelocityFilterRepaintsEvenAfterCancel)
{
    LoadLcg(60, 8, 100, 1000.0f);
    ui.AnswerDialogWith(CTauPVelocityFilterDlg::kClass, [](DialogRequest& r) {
        EXPECT_EQ(r.Find(CTauPVelocityFilterDlg::kNp)->Text(), "48001");
        EXPECT_FALSE(r.Check().empty());  // above the accepted range
        return false;
    });
    const std::vector<uint8_t> before = Snapshot();
    EXPECT_EQ(Run(OnTauPVelocityFilter), 1);
    EXPECT_EQ(Snapshot(), before);

    const std::vector<float> old = Row(3, 100);
    ui.AnswerDialog(CTauPVelocityFilterDlg::kClass,
                    {{CTauPVelocityFilterDlg::kNp, "50"}, {CTauPVelocityFilterDlg::kMethod, "2. Semblance"}});
    EXPECT_EQ(Run(OnTauPVelocityFilter), 1);
    EXPECT_EQ(ws->velocityFilters.taupNp, 50);
    EXPECT_EQ(ws->velocityFilters.taupMethod, 1);
    EXPECT_EQ(ws->store.undoDepth, 1);
    EXPECT_NE(Row(3, 100), old);
}

// ---------------------------------------------------------------------------------------------
// Old FFT

TEST_F(VelocityCommands, OldBandPassMatchesNumpyAndKeepsTheLength)
{
    LoadLcg(8600, 3, 1000, 500.0f);
    ui.AnswerDialog("CBandPassDlg", {{"Low-cut freq.", "10"},
                                      {"High-cut freq.", "200"},
                                      {"Low-cut slope", "24"},
                                      {"High-cut slope", "36"}});
    ASSERT_EQ(Run(&CWaveOperations::BandPassOldFft), 1);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 1000);
    EXPECT_EQ(ws->store.current.headers[2].samples, 1000);
    EXPECT_EQ(progress.Record().texts.front(), " BPF calculation : Trace = 1 ");
    for (int t = 0; t < 3; ++t) {
        const std::string name = "oldbpf_" + std::to_string(t);
        const std::vector<int> idx = fx.Indices("idx_" + name);
        for (size_t i = 0; i < idx.size(); ++i) {
            EXPECT_NEAR(Row(t, 1000)[static_cast<size_t>(idx[i])], fx.Get(name)[i], 1e-6 * fx.Scalar("peak_" + name));
        }
    }
    EXPECT_EQ(ws->settings.bpfLowCut, 10.0f);

    // Cancel: nothing changes, the corners stay.
    ui.CancelDialog("CBandPassDlg");
    std::vector<uint8_t> before = Snapshot();
    EXPECT_EQ(Run(&CWaveOperations::BandPassOldFft), 0);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(ws->settings.bpfHighCut, 200.0f);

    LoadLcg(1, 2, 3000, 500.0f);
    before = Snapshot();
    ui.ExpectMessage(OldBandPassRefusal(-1, 3000));
    EXPECT_EQ(Run(&CWaveOperations::BandPassOldFft), 0);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(VelocityCommands, OldPowerSpectrumKeepsASixteenthOfTheHalf)
{
    LoadLcg(8700, 2, 1024, 1000.0f);
    ASSERT_EQ(Run(&CWaveOperations::PowerSpectrumOldFft), 1);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 32);
    EXPECT_EQ(ws->store.Params().sampleInterval, 1.953125f);
    EXPECT_EQ(ws->store.current.headers[1].intervalUs, 1953.125f);
    EXPECT_EQ(ws->store.dataKind(), kRealSpectrum);
    for (int t = 0; t < 2; ++t) {
        const std::vector<double>& ref = fx.Get("oldpower_" + std::to_string(t));
        for (int j = 0; j < 32; ++j) EXPECT_NEAR(Row(t, 32)[static_cast<size_t>(j)], ref[static_cast<size_t>(j)], 1e-4);
    }
    LoadLcg(1, 1, 4097, 1000.0f);
    ui.ExpectMessage(OldPowerSpectrumRefusal(-1, 4097));
    EXPECT_EQ(Run(&CWaveOperations::PowerSpectrumOldFft), 0);
}

TEST_F(VelocityCommands, MenuRowsAndRules)
{
    const CommandTable table = BuildCommandTable();
    RecentFileList recent;
    LoadLcg(31, 4, 64, 1000.0f);
    auto enabled = [&](int id) { return table.IsEnabled(id, *ws, recent); };
    EXPECT_EQ(table.Find(cmd::kFkFilter)->english, "F-K");
    EXPECT_EQ(table.Find(cmd::kOldBandPass)->menu, "option.etc.etc.oldfft");
    EXPECT_EQ(table.Find(cmd::kDft2d)->menus, 0u);
    EXPECT_TRUE(enabled(cmd::kFkTransform));
    EXPECT_FALSE(enabled(cmd::kFkInverseTransform));
    EXPECT_TRUE(enabled(cmd::kSubtractFirstArrival));  // time-domain data
    ASSERT_EQ(Run(OnFkTransform), 1);
    EXPECT_FALSE(enabled(cmd::kSubtractFirstArrival));
    EXPECT_TRUE(enabled(cmd::kFkInverseTransform));
    EXPECT_FALSE(enabled(cmd::kFkFilter));
    const MenuBarModel ja = table.BuildMenuBar(kMenuDefault, 1);
    std::function<const MenuNode*(const std::vector<MenuNode>&, const std::string&)> find =
        [&](const std::vector<MenuNode>& nodes, const std::string& key) -> const MenuNode* {
        for (const MenuNode& n : nodes) {
            if (n.key == key) return &n;
            if (const MenuNode* inner = find(n.children, key)) return inner;
        }
        return nullptr;
    };
    const MenuNode* velocity = find(ja.menus, "option.processing.velocity");
    ASSERT_NE(velocity, nullptr);
    EXPECT_EQ(velocity->text, "速度フィルター");
    EXPECT_GE(velocity->children.size(), 3u);
}

}  // namespace
}  // namespace velk
