#include "app/dsp/gain_commands.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/command_table.h"
#include "platform/recent_files.h"
#include "dsp/agc.h"
#include "app/dsp/signal_fixture.h"

namespace velk {
namespace {

using signaltest::SignalTest;

const MenuNode* FindMenu(const std::vector<MenuNode>& nodes, const std::string& key)
{
    for (const MenuNode& n : nodes) {
        if (n.kind == MenuNode::Kind::Submenu && n.key == key) return &n;
        if (const MenuNode* inner = FindMenu(n.children, key)) return inner;
    }
    return nullptr;
}

class GainCommands : public SignalTest {
protected:
    float Peak(int i, int n) const
    {
        float m = 0.0f;
        for (float v : Row(i, n)) m = std::max(m, std::fabs(v));
        return m;
    }
    bool AnyNan(int i, int n) const
    {
        for (float v : Row(i, n)) {
            if (std::isnan(v)) return true;
        }
        return false;
    }
};

TEST_F(GainCommands, ZavAgcGrowsTheRecordNormalisesAndRemembersItsValues)
{
    Load({dsptest::SignalLcg(9900, 1000), dsptest::SignalLcg(9901, 1000), std::vector<double>(1000, 0.0)}, 500.0f);
    ws->store.displayFactor[0] = 3.0f;
    ui.AnswerDialogWith(CAgcDlg::kClass, [](DialogRequest& r) {
        EXPECT_EQ(r.Title(), "AGC");
        EXPECT_EQ(r.Find("Critical Gain")->Text(), "10");
        EXPECT_EQ(r.Find("Hi-cut freq.")->Text(), "50");
        EXPECT_EQ(r.Find("Cut off")->Text(), "20");
        EXPECT_EQ(r.Find("Normalize trace")->Text(), "1");
        return r.SetFromText("Hi-cut freq.", "40").empty();
    });
    ASSERT_EQ(OnZavAgc(*ws, ui, progress), 1);
    const WaveformStore& s = ws->store;
    EXPECT_EQ(s.Params().samplesPerTrace, 1024);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(s.current.headers[static_cast<size_t>(i)].samples, 1024);
    EXPECT_FLOAT_EQ(Peak(0, 1024), 1.0f);
    EXPECT_FLOAT_EQ(Peak(1, 1024), 1.0f);
    EXPECT_EQ(Peak(2, 1024), 0.0f);
    EXPECT_FALSE(AnyNan(2, 1024));
    EXPECT_EQ(s.displayFactor[0], 1.0f);
    EXPECT_EQ(s.Params().traceMaxima[1], Peak(1, 1024));
    EXPECT_EQ(ws->agc.highCut, 40.0f);
    EXPECT_EQ(s.undoDepth, 1);
    ASSERT_EQ(progress.Record().texts.size(), 3u);
    EXPECT_EQ(progress.Record().texts.back(), " AGC calculation : trace = 3 ");

    const std::vector<uint8_t> before = Snapshot();
    ui.CancelDialog(CAgcDlg::kClass);
    EXPECT_EQ(OnZavAgc(*ws, ui, progress), 0);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(GainCommands, InstantaneousAgcRaisesAShortWindowTo21Samples)
{
    // 5 ms at 0.5 ms is 10 samples: the window is raised to 21 (the fixture's case).
    const dsptest::Fixture fx("agc.txt");
    Load({dsptest::SignalLcg(9100, 300)}, 500.0f);
    ui.AnswerDialogWith(CInstantaneousAgcDlg::kClass, [](DialogRequest& r) {
        EXPECT_EQ(r.Find("Window length")->Text(), "10");
        EXPECT_EQ(r.Find("Critical Gain")->Text(), "10");
        return r.SetFromText("Window length", "5").empty() && r.SetFromText("Critical Gain", "30").empty() &&
               r.SetFromText("Normalize trace", "0").empty();
    });
    ASSERT_EQ(OnInstantaneousAgc(*ws, ui, progress), 1);
    const std::vector<double>& ref = fx.Get("inst_21_0");
    const std::vector<float> got = Row(0, 300);
    for (size_t j = 0; j < ref.size(); ++j) EXPECT_NEAR(got[j], ref[j], 1e-6 * dsptest::MaxAbs(ref)) << j;
    // Both AGC commands share the critical gain and the normalise flag.
    EXPECT_EQ(ws->agc.criticalGain, 30.0f);
    EXPECT_EQ(ws->agc.normalize, 0);
    EXPECT_EQ(ws->agc.windowLength, 5.0f);
}

TEST_F(GainCommands, NormalizeEachTraceDividesByTheLargestMagnitude)
{
    Load({{0.5, 2.0, -1.0}, {0.5, -3.0, 1.5}, {0.0, 0.0, 0.0}}, 1000.0f);
    EXPECT_EQ(NormalizeEachTrace(ws->store), 3);
    EXPECT_EQ(Row(0, 3), (std::vector<float>{0.25f, 1.0f, -0.5f}));
    EXPECT_EQ(Row(1, 3), (std::vector<float>{0.5f / 3.0f, -1.0f, 0.5f}));
    EXPECT_EQ(Row(2, 3), (std::vector<float>{0, 0, 0}));
    EXPECT_EQ(ws->store.Params().traceMaxima[1], 1.0f);
    EXPECT_EQ(ws->store.Params().traceMaxima[2], 0.0f);
    EXPECT_EQ(ws->store.Params().recordMaximum, 1.0f);
    EXPECT_EQ(ws->store.undoDepth, 1);
}

TEST_F(GainCommands, MultiplyConstantFlipsAndScalesWithTheMaxima)
{
    Load({{0.5, 2.0, -1.0}, {0.5, -3.0, 1.5}}, 1000.0f);
    ui.AnswerDialogWith(CInputFloatDlg::kClass, [](DialogRequest& r) {
        EXPECT_EQ(r.Title(), "Input float");
        EXPECT_EQ(r.Find("Prompt")->Text(), "Enter float multiplier !");
        EXPECT_EQ(r.Find("Value")->Text(), "1");
        return r.SetFromText("Value", "-2").empty();
    });
    ASSERT_EQ(OnMultiplyConstant(*ws, ui), 1);
    EXPECT_EQ(Row(0, 3), (std::vector<float>{-1.0f, -4.0f, 2.0f}));
    EXPECT_EQ(ws->store.Params().traceMaxima[0], 4.0f);
    EXPECT_EQ(ws->store.Params().traceMaxima[1], 6.0f);
    EXPECT_EQ(ws->store.Params().recordMaximum, 6.0f);
    ASSERT_TRUE(ws->store.RestoreUndo());
    EXPECT_EQ(Row(1, 3), (std::vector<float>{0.5f, -3.0f, 1.5f}));
}

TEST_F(GainCommands, OtherDataKindsAreRefusedAndTheRowsSitInTheirMenus)
{
    Load({{1.0, 2.0}}, 1000.0f);
    ws->store.dataKind() = kRealSpectrum;
    const std::vector<uint8_t> before = Snapshot();
    ui.ExpectMessage("Not time domain data");
    EXPECT_EQ(OnMultiplyConstant(*ws, ui), 0);
    EXPECT_EQ(Snapshot(), before);

    const CommandTable table = BuildCommandTable();
    RecentFileList recent;
    EXPECT_FALSE(table.IsEnabled(cmd::kZavAgc, *ws, recent));
    ws->store.dataKind() = kTimeDomain;
    EXPECT_TRUE(table.IsEnabled(cmd::kZavAgc, *ws, recent));
    const MenuBarModel english = table.BuildMenuBar(kMenuDefault, -1);
    const MenuNode* agc = FindMenu(english.menus, "option.processing.agc");
    ASSERT_NE(agc, nullptr);
    ASSERT_EQ(agc->children.size(), 2u);
    EXPECT_EQ(agc->children[1].text, "Instantaneous AGC");
    const MenuBarModel japanese = table.BuildMenuBar(kMenuDefault, 1);
    const MenuNode* amplitude = FindMenu(japanese.menus, "option.etc.amplitude");
    ASSERT_NE(amplitude, nullptr);
    EXPECT_EQ(amplitude->children[0].text, "トレースごとに正規化");
}

}  // namespace
}  // namespace velk
