// The least-squares fits of picked reflection times, through their menu commands.

#include <cmath>
#include <string>

#include "app/dsp/nmo_commands.h"
#include "app/traveltime/theoretical_commands.h"
#include "app/view/view_fixture.h"

namespace velk {
namespace {

class FitCommands : public viewtest::ViewTest {
protected:
    void SetUp() override { Build("[General]\nMAXTRACES=300\n"); }

    // `traces` receivers 1 m apart from 1 m, the source at 0, picked at the given times.
    template <typename Time>
    void Picks(int traces, Time time)
    {
        Load(traces, 100);
        for (int i = 0; i < traces; ++i) {
            ws->store.current.headers[static_cast<size_t>(i)].receiverHundredths = 100 * (i + 1);
            ws->store.current.headers[static_cast<size_t>(i)].sourceHundredths = 0;
            ws->store.Params().pickTimes[static_cast<size_t>(i)] = static_cast<float>(time(i + 1.0));
        }
    }
    static double TwoLayer(double x) { return std::sqrt(x * x + 100.0) / 0.3; }
    static double Vsp(double z) { return CTheoreticalTraveltime::ComputeVspTimes(static_cast<float>(z), 0.0f, 30.0f, 60.0f, 3.0f).reflection; }
};

TEST_F(FitCommands, NoiseFreePicksGiveTheModelBack)
{
    struct Case {
        const char* name;
        int (*command)(Workspace&, UiHost&);
        double tolerance;
    };
    for (const Case& k : {Case{"two-layer", OnFitTwoLayer, 0.01}, Case{"given velocity", OnFitVspGivenVelocity, 0.005},
                          Case{"full", OnFitVspFull, 0.005}}) {
        const bool vsp = k.command != OnFitTwoLayer;
        vsp ? Picks(24, Vsp) : Picks(24, TwoLayer);
        ws->theoretical.v2 = 0.36f;  // the two-layer fit starts from V = V2
        ws->theoretical.depth = 6.0f;
        ws->modelling.vspAngle = 65.0f;
        ws->modelling.vspDistance = 35.0f;
        ws->modelling.migrationVelocity = 3.3f;
        if (k.command == OnFitVspGivenVelocity) ui.AnswerDialog("CSetVelocityDlg", {{"Velocity", "3"}});
        ui.ExpectAnyMessage();
        ASSERT_EQ(k.command(*ws, ui), 1) << k.name;
        if (vsp) {
            EXPECT_NEAR(ws->modelling.vspAngle, 60.0, 60.0 * k.tolerance) << k.name;
            EXPECT_NEAR(ws->modelling.vspDistance, 30.0, 30.0 * k.tolerance) << k.name;
            EXPECT_NEAR(ws->modelling.migrationVelocity, 3.0, 3.0 * k.tolerance) << k.name;
            EXPECT_EQ(ws->theoretical.curveCount, 2);
            EXPECT_NEAR(ws->theoretical.curves[1][5], Vsp(6.0), 0.01);
        } else {
            EXPECT_NEAR(ws->theoretical.v1, 0.3, 0.3 * k.tolerance);
            EXPECT_NEAR(ws->theoretical.depth, 5.0, 5.0 * k.tolerance);
            EXPECT_EQ(ws->theoretical.curveCount, 3);
            EXPECT_EQ(ui.Messages().back().rfind(" V1=0.30", 0), 0u) << ui.Messages().back();
        }
        EXPECT_EQ(ws->theoretical.shown, 1);
        ui.ClearCalls();
    }
    // The fitted velocity presets the NMO correction.
    ui.AnswerDialogWith("CNmoCorrectionDlg", [](DialogRequest& r) {
        EXPECT_NEAR(r.Find("Velocity")->NumberValue(), 3.0, 0.015);
        return false;
    });
    EXPECT_EQ(OnNmoCorrection(*ws, ui), 0);
}

TEST_F(FitCommands, TwoLayerFitReportsTheDepthAsItsMagnitude)
{
    // The hyperbola holds D only squared: a start below the surface ends on -5 m, which is the
    // reflector at 5 m.
    Picks(24, TwoLayer);
    ws->theoretical.v2 = 0.36f;
    ws->theoretical.depth = -6.0f;
    ui.ExpectAnyMessage();
    ASSERT_EQ(OnFitTwoLayer(*ws, ui), 1);
    EXPECT_NEAR(ws->theoretical.depth, 5.0, 0.05);
    EXPECT_NEAR(ws->theoretical.v1, 0.3, 0.003);
    EXPECT_NE(ui.Messages().back().find(" D1=5.0"), std::string::npos) << ui.Messages().back();

    // Times that fall with offset fit no positive velocity: refused, nothing changes.
    Picks(24, [](double x) { return 40.0 - x; });
    ws->theoretical.v2 = -0.36f;
    ws->theoretical.depth = 6.0f;
    ws->theoretical.shown = 0;
    ui.ExpectMessage("Error in Least Squear Method !");
    EXPECT_EQ(OnFitTwoLayer(*ws, ui), 0);
    EXPECT_NEAR(ws->theoretical.v1, 0.3, 0.003);
    EXPECT_EQ(ws->theoretical.depth, 6.0f);
    EXPECT_EQ(ws->theoretical.shown, 0);
}

TEST_F(FitCommands, FailuresSayTheyFailedAndChangeNothing)
{
    const std::string error = "Error in Least Squear Method !";
    // One pick: the normal equations are singular.
    Picks(24, [](double x) { return x == 1.0 ? TwoLayer(x) : 0.0; });
    ui.ExpectMessage(error);
    EXPECT_EQ(OnFitTwoLayer(*ws, ui), 0);
    EXPECT_EQ(ws->theoretical.v1, 0.3f);
    EXPECT_EQ(ws->theoretical.shown, 0);
    // A start at 90 degrees: u = b = 0, singular; the velocity entered stays.
    Picks(24, Vsp);
    ws->modelling.vspAngle = 90.0f;
    ui.AnswerDialog("CSetVelocityDlg", {{"Velocity", "2.5"}});
    ui.ExpectMessage(error);
    EXPECT_EQ(OnFitVspGivenVelocity(*ws, ui), 0);
    EXPECT_EQ(ws->modelling.vspAngle, 90.0f);
    EXPECT_EQ(ws->modelling.vspDistance, 30.0f);
    EXPECT_EQ(ws->modelling.migrationVelocity, 2.5f);
    EXPECT_EQ(ws->theoretical.shown, 0);
    // 300 picked traces fit in.
    Picks(300, TwoLayer);
    ui.ExpectAnyMessage();
    EXPECT_EQ(OnFitTwoLayer(*ws, ui), 1);
}

}  // namespace
}  // namespace velk
