// Every command that makes the record longer refuses a result beyond MAX_SAMPLE (what the
// readers take back) with one message, before it changes anything.

#include <functional>

#include "app/dsp/correlation_commands.h"
#include "app/dsp/data_kind.h"
#include "app/dsp/resampling_commands.h"
#include "app/dsp/signal_fixture.h"
#include "app/dsp/stack_commands.h"
#include "app/dsp/trace_edit_commands.h"
#include "app/view/interactive_edit.h"

namespace velk {
namespace {

using signaltest::SignalTest;

class RecordCapacity : public SignalTest {};

TEST_F(RecordCapacity, LongerThanMaxSampleIsRefusedWithOneMessageAndNothingChanges)
{
    struct Road {
        const char* name;
        int samples;    // of the two loaded traces
        int64_t asked;  // the length the command would make
        std::function<void()> answer;  // the command's dialog answered (or the record prepared)
        std::function<int()> run;
    };
    const auto none = [] {};
    const std::vector<Road> roads = {
        {"Re-sampling", 1000, 4999, [&] { ui.AnswerDialog("CResamplingDlg", {{"Sampling time", "0.2"}}); },
         [&] { return OnSplineResample(*ws, ui, progress); }},
        {"Time interpolation", 2100, 4200, none, [&] { return OnTimeInterpolation(*ws, ui, progress, false); }},
        {"Change record length", 1000, 4101, [&] { ui.AnswerDialog("CDataLengthDlg", {{"Data length", "4101"}}); },
         [&] { return OnRecordLengthArbitrary(*ws, ui); }},
        {"Connect", 2100, 4200,
         [&] { ws->store.current.headers[1].receiverHundredths = 100; },  // one receiver: one joined trace
         [&] { return OnConnect(*ws, ui, progress); }},
        {"Shift all traces", 4000, 4200,
         [&] { ui.AnswerDialog("CShiftAllTracesDlg", {{"Time shift", "-200"}, {"Change data length", "1"}}); },
         [&] { return OnSetTimeShiftAllTraces(*ws, ui); }},
        {"Time-shift (by component)", 4000, 4200,
         [&] { ui.AnswerDialog("CComponentShiftDlg", {{"Component 1", "-200"}}); },
         [&] { return ws->settings.changeDataLength = 1, OnTimeShiftByComponent(*ws, ui); }},
        {"Cross-correlation", 4100, 8192, [&] { ws->store.Params().selectionFlags[0] = 1; },
         [&] { return OnCrossCorrelation(*ws, ui, progress); }},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        ws->settings.changeDataLength = 0;
        LoadLcg(5, 2, road.samples, 1000.0f);
        road.answer();  // the dialog's answer scripted, or the record prepared
        const std::vector<uint8_t> before = Snapshot();
        ui.ExpectMessage(RecordLongerThanMaxSampleText(-1, road.asked, 4100));
        EXPECT_EQ(road.run(), 0);
        EXPECT_EQ(Snapshot(), before);
        EXPECT_TRUE(ui.VerifyAndClear());
    }
    EXPECT_NE(RecordLongerThanMaxSampleText(-1, 4200, 4100).find("MAX_SAMPLE = 4100"), std::string::npos);
}

}  // namespace
}  // namespace velk
