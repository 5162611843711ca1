// Edit mode 7 on the recording canvas and the commands of the theoretical curves.

#include "app/traveltime/theoretical_commands.h"

#include "app/view/draw_fixture.h"
#include "app/view/edit_controller.h"
#include "app/view/record_extents.h"

namespace velk {
namespace {

using drawtest::DrawTest;
using drawtest::Kind;
using drawtest::Op;

constexpr Rgb kDirect{220, 0, 0}, kHead{0, 150, 0}, kReflection{0, 0, 230};

class TheoreticalCommands : public DrawTest {
protected:
    // Eight receivers 5 m apart from 0, the source at 0, no samples to speak of.
    void SetUp() override
    {
        DrawTest::SetUp();
        Fill(8, 400, [](int, int) { return 0.0f; }, 1000.0f, 5.0f);
    }

    const Op* Curve(Rgb colour) const
    {
        const Op* found = nullptr;
        for (const Op* op : canvas.OpsOf(Kind::Polyline)) {
            if (op->pen.colour == colour && op->pen.width == 1 && op->pen.style == PenStyle::Solid) {
                EXPECT_EQ(found, nullptr);
                found = op;
            }
        }
        return found;
    }

    std::vector<std::string> OverlayTexts() const
    {
        std::vector<std::string> out;
        for (const OverlayFigure& f : ws->display.overlay.Figures())
            if (f.kind == OverlayFigure::Kind::Text) out.push_back(f.text);
        return out;
    }
};

TEST_F(TheoreticalCommands, EditModeSevenDrawsTheModelsCurvesAndFollowsADrag)
{
    ws->store.current.headers[3].receiverHundredths = 3502;  // 0.02 m beyond the last receiver
    const std::string status = "Status : theoretical traveltime V1=0.3 V2=1.5 D=5.0 ";
    ASSERT_EQ(ShowTwoLayerTraveltime(*ws), 1);
    EXPECT_EQ(ws->display.editMode, 7);
    EXPECT_EQ(OverlayTexts(), (std::vector<std::string>{status, "Use a mouse to modify traveltime curve"}));
    Paint();
    const Op* direct = Curve(kDirect);
    const Op* head = Curve(kHead);
    const Op* reflection = Curve(kReflection);
    ASSERT_TRUE(direct && head && reflection);
    EXPECT_EQ(direct->points.size(), 7u);
    EXPECT_EQ(ws->theoretical.pointCount, 7);
    // At 0 m, inside the critical distance, the head wave is the reflection, 2 units later.
    EXPECT_EQ(head->points[0], (LPoint{reflection->points[0].x + 2, reflection->points[0].y}));
    // A repaint of the record keeps the texts of the mode.
    ws->display.overlay.ClearTransient();
    Paint();
    EXPECT_EQ(OverlayTexts().size(), 2u);

    // Drag the head wave at 35 m to 50 ms: V2 from the pointer, the curves recomputed.
    const LPoint grab = DataToCursor(*ws, ws->theoretical.curves[1][7], 35.0f);
    ws->editController.OnLButtonDown(*ws, ui, grab);
    ASSERT_EQ(ws->theoretical.modifiedParameter, 1);
    ws->editController.OnMouseMove(*ws, ui, DataToCursor(*ws, 50.0f, 35.0f));
    EXPECT_GT(ws->theoretical.v2, 1.5f);
    EXPECT_NEAR(ws->theoretical.curves[1][7], 50.0f, 1.0f);
    const auto texts = OverlayTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].rfind("modify:V2 Status : theoretical traveltime V1=0.3 V2=", 0), 0u) << texts[0];
    EXPECT_EQ(texts[1], "Use a mouse to modify traveltime curve");
    ws->editController.OnLButtonUp(*ws, ui, DataToCursor(*ws, 50.0f, 35.0f));

    // The ground-water model: two curves; back to the two-layer model: three.
    ASSERT_EQ(OnGroundWaterTable(*ws), 1);
    EXPECT_EQ(ws->theoretical.v2, 1.5f);
    Paint();
    EXPECT_TRUE(Curve(kDirect) && Curve(kHead));
    EXPECT_EQ(Curve(kReflection), nullptr);
    ASSERT_EQ(OnTwoLayerSetup(*ws), 1);
    Paint();
    EXPECT_TRUE(Curve(kReflection));
}

TEST_F(TheoreticalCommands, DialogsRefuseVelocitiesNotAboveZero)
{
    ui.AnswerDialog("CTwoLayerModelDlg", {{"Velocity(v1)", "0"}});
    ui.ExpectMessage("The velocity must be larger than 0 !");
    EXPECT_EQ(OnTwoLayerDialog(*ws, ui), 0);
    EXPECT_EQ(ws->theoretical.v1, 0.3f);
    ui.AnswerDialog("CVspCurveDlg", {{"Velocity", "-1"}});
    ui.ExpectMessage("The velocity must be larger than 0 !");
    EXPECT_EQ(OnVspDialog(*ws, ui), 0);
    EXPECT_EQ(ws->modelling.migrationVelocity, 3.0f);
    ui.AnswerDialog("CVspCurveDlg", {{"Velocity", "2"}});
    EXPECT_EQ(OnVspDialog(*ws, ui), 1);
    EXPECT_EQ(ws->modelling.migrationVelocity, 2.0f);
    EXPECT_EQ(ws->theoretical.curveCount, 2);
    EXPECT_EQ(ws->theoretical.shown, 1);
}

}  // namespace
}  // namespace velk
