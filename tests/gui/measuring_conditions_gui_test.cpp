// Dialog 244, every dialog it opens, the "Display" and "Receiver interval" dialogs worked with real key presses alone,
// wherever the focus sits (the toolkit is started by the environment of dialogs_test.cpp).

#include <gtest/gtest.h>

#include <wx/app.h>

#include <array>
#include <cstdlib>
#include <string>

#include "acquisition/acq_display_dlg.h"
#include "acquisition/acquisition_device.h"
#include "acquisition/receiver_interval_dlg.h"
#include "dialogs/acquisition/entry_keypads.h"
#include "dialogs/acquisition/keypad_dialog.h"
#include "dialogs/acquisition/measuring_conditions_wnd.h"
#include "dialogs/acquisition/receiver_interval_wnd.h"
#include "key_feeder.h"
#include "platform/language.h"
#include "platform/profile.h"
#include "toolkit/wx_uihost.h"

namespace velk {
namespace {

using gui::K;
using gui::KeyFeeder;

class KeypadKeys : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        if (!wxTheApp || !std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
        language_ = GetParam();
        ui_.SetLanguageSource(&language_);
        for (const char* cls : MeasuringConditionsClasses()) ui_.RegisterDialog(cls, ShowMeasuringConditionsWindow);
        ui_.RegisterDialog(CAcqDisplayDlg::kClass, [](wxWindow* parent, DialogRequest& request, int language) {
            KeypadDialog dlg(parent, request, language);
            return dlg.ShowModal() == wxID_OK;
        });
        RegisterEntryKeypads(ui_);
        ui_.RegisterDialog(CReceiverIntervalDlg::kClass, [](wxWindow* parent, DialogRequest& request, int language) {
            CReceiverIntervalWnd dlg(parent, request, language);
            return dlg.ShowModal() == wxID_OK;
        });
    }
    KeyFeeder::Step Shot(const std::string& name) const
    {
        return {0, name + (IsJapanese(language_) ? "_ja.png" : "_en.png")};
    }
    int language_ = kLanguageEnglish;
    WxUiHost ui_;
};

TEST_P(KeypadKeys, MeasuringConditionsAndEveryDialogItOpens)
{
    CAcquisitionDevice device;
    device.bAutomaticShift = 0;
    device.iReferenceChannel = 0;
    device.SignalTriggerLevel = 10.0f;
    device.iDirectionFirst = 0;
    device.iDirectionSecond = 0;
    device.SaveAux = 0;
    device.gain_bf.fill(0);
    device.hold_bf.fill(0);
    Profile profile = Profile::FromText("[General]\n");
    float interval = 1.0f;
    const int down = WXK_DOWN, up = WXK_UP, left = WXK_LEFT, right = WXK_RIGHT, enter = WXK_RETURN;
    KeyFeeder keys({
        // Channels one down.
        K(down), K(left),
        // Gain1 (focus in channel 1's radio group): channel 1 up one, channel 2 up two.
        K(down), K(down), K(down), K(down), K(down), K(down), K(enter), Shot("gain1"), K(right), K(down), K(right),
        K(right), K(enter),
        // Gain2 (All): every channel up one.
        K(right), K(enter), K(up), K(enter),
        // Hold: channel 3 on.
        K(down), K(enter), K(down), K(down), K(right), Shot("hold"), K(enter),
        // Spread: both halves reversed.
        K(down), K(enter), K(right), K(down), K(right), K(enter),
        // Receiver interval: tens up.
        K(down), K(down), K(down), K(enter), K(left), K(up), K(enter),
        // Signal trigger level: one step up.
        K(down), K(down), K(enter), K(up), K(enter),
        // Automatic shift stack (focus in the switch's radio group): on, reference channel 2.
        K(down), K(enter), K(right), K(down), K(right), K(right), Shot("auto_shift_stack"), K(enter),
        // Auxiliary on, then OK.
        K(down), K(right), K(enter)});
    CAcquisitionDevice::SettingsEdit edit{ui_, profile, nullptr, interval, language_};
    EXPECT_EQ(device.EditSettings(edit), 1);
    EXPECT_TRUE(keys.Finished());
    EXPECT_EQ(device.parm.disp_ch, 3);
    EXPECT_EQ(device.gain_bf[0], 2);
    EXPECT_EQ(device.gain_bf[1], 3);
    EXPECT_EQ(device.gain_bf[2], 1);
    EXPECT_EQ(device.hold_bf[1], 0);
    EXPECT_EQ(device.hold_bf[2], 1);
    EXPECT_EQ(device.iDirectionFirst, 1);
    EXPECT_EQ(device.iDirectionSecond, 1);
    EXPECT_FLOAT_EQ(interval, 11.0f);
    EXPECT_FLOAT_EQ(device.SignalTriggerLevel, 15.0f);
    EXPECT_EQ(device.bAutomaticShift, 1);
    EXPECT_EQ(device.iReferenceChannel, 2);
    EXPECT_EQ(device.SaveAux, 1);
}

TEST_P(KeypadKeys, DisplayFromTheNormalizeGroup)
{
    CAcquisitionDevice device;
    int normalisation = 0;
    int traceStyle = 0;
    KeyFeeder keys({K(WXK_RIGHT), K(WXK_DOWN), K(WXK_RIGHT), K(WXK_RIGHT), Shot("display"), K(WXK_RETURN)});
    EXPECT_EQ(device.EditDisplay(ui_, language_, normalisation, traceStyle), 1);
    EXPECT_TRUE(keys.Finished());
    EXPECT_EQ(normalisation, 1);
    EXPECT_EQ(traceStyle, -1);  // "Minus"
}

TEST_P(KeypadKeys, ReceiverIntervalPresetByArrows)
{
    std::array<CTraceHeader, 3> headers{};
    float spacing = 100.0f;  // the 1 m preset
    CReceiverIntervalDlg dlg;
    KeyFeeder keys({K(WXK_RIGHT), K(WXK_DOWN), Shot("receiver_interval"), K(WXK_RETURN)});
    dlg.ApplySpacing(3, headers, spacing, ui_, language_);
    EXPECT_TRUE(keys.Finished());
    EXPECT_FLOAT_EQ(spacing, 200.0f);  // two presets on: 2 m
    EXPECT_EQ(headers[2].receiverHundredths, 400);
}

INSTANTIATE_TEST_SUITE_P(Languages, KeypadKeys, ::testing::Values(kLanguageEnglish, kLanguageJapanese),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return IsJapanese(info.param) ? std::string("Japanese") : std::string("English");
                         });

}  // namespace
}  // namespace velk
