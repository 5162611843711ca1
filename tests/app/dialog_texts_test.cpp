// In Japanese mode every text of the parameter dialogs is Japanese: the title, the labels, the
// units that are words, the choices and the push buttons, either given by the dialog itself or
// found in the message catalogue (the generic form looks them up there).

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "acquisition/input_integer_dlg.h"
#include "acquisition/keypad_dialogs.h"
#include "acquisition/receiver_interval_dlg.h"
#include "app/dsp/fourier_commands.h"
#include "app/dsp/trace_edit_dialogs.h"
#include "app/formats/instrument_commands.h"
#include "app/picking/auto_pick_setup.h"
#include "acquisition/start_dialogs.h"
#include "app/store_commands.h"
#include "app/view/axis_config.h"
#include "app/view/interactive_edit.h"
#include "app/view/print_view_commands.h"
#include "app/view/view_commands.h"
#include "dsp/agc.h"
#include "dsp/band_pass.h"
#include "dsp/correlation.h"
#include "dsp/deconvolution.h"
#include "dsp/fk_filter.h"
#include "dsp/median_filter.h"
#include "dsp/nmo.h"
#include "dsp/notch.h"
#include "dsp/resampling.h"
#include "dsp/stacking.h"
#include "dsp/synthetic.h"
#include "dsp/taup.h"
#include "dsp/trace_edit.h"
#include "dsp/wavelet.h"
#include "formats/entry_dialogs.h"
#include "formats/file_roads.h"
#include "formats/memory_recorder.h"
#include "formats/text_imports.h"
#include "formats/trace_header_key_dlg.h"
#include "platform/language.h"
#include "survey/header_edit_dialogs.h"

namespace velk {
namespace {

constexpr int kJa = kLanguageJapanese;

// Texts that read the same in both languages: numbers, symbols, units and acronyms ("Hz",
// "msec", "AGC", "3 (UD)").
bool LanguageNeutral(const std::string& text)
{
    static const std::vector<std::string> kUnits = {"Hz",  "msec", "sec", "ms", "usec", "m",  "cm", "mm", "km",
                                                    "ft",  "kft",  "inch", "db", "dB",  "oct", "s",  "V"};
    auto neutral = [&](const std::string& word) {
        if (word.empty()) return true;
        for (const std::string& u : kUnits)
            if (word == u) return true;
        if (word.size() > 5) return false;
        for (char c : word)
            if (c < 'A' || c > 'Z') return false;
        return true;  // an acronym
    };
    std::string word;
    for (char c : text + " ") {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            word += c;
        } else {
            if (!neutral(word)) return false;
            word.clear();
        }
    }
    return true;
}

// A text shown in English: ASCII letters and no byte of another script.
bool English(const std::string& shown)
{
    if (LanguageNeutral(shown)) return false;
    for (unsigned char c : shown)
        if (c >= 0x80) return false;
    return true;
}

// Every English text of a request as the Japanese form would show it.
std::vector<std::string> EnglishTexts(const DialogRequest& r)
{
    std::vector<std::string> left;
    auto check = [&](const std::string& text) {
        if (English(Msg(kJa, text))) left.push_back(r.DialogClass() + ": \"" + text + "\"");
    };
    check(r.Title());
    std::set<std::string> columns;
    for (const DialogField& f : r.Fields()) {
        if (f.Name() == keypad::kFocusField || f.Name() == keypad::kCloseField) continue;  // not shown
        // A cell of a paged table ("Gain 3") shows under its column's title ("Gain").
        const size_t blank = f.Name().find_last_of(' ');
        if (f.LabelText() == f.Name() && blank != std::string::npos &&
            f.Name().find_first_not_of("0123456789", blank + 1) == std::string::npos && blank + 1 < f.Name().size()) {
            if (columns.insert(f.Name().substr(0, blank)).second) check(f.Name().substr(0, blank));
            continue;
        }
        const bool line = f.IsReadOnly() && f.Type() == FieldType::String && f.LabelText() == f.Name();
        check(line ? f.Text() : f.LabelText());
        check(f.UnitText());
        for (const std::string& choice : f.Choices()) check(choice);
    }
    for (const DialogRequest::Button& b : r.Buttons())
        if (!keypad::IsKeyName(b.name)) check(b.label.empty() ? b.name : b.label);
    return left;
}

template <typename Dlg>
DialogRequest Of()
{
    static Dlg dlg;
    if constexpr (requires { dlg.Request(kJa); }) {
        return dlg.Request(kJa);
    } else {
        return dlg.Request();
    }
}

TEST(DialogTexts, EveryDialogIsJapaneseInJapaneseMode)
{
    static CBandPassDlg bandPass;
    static CTimeDomainWaveformDlg timeWaves;
    static CFreqDomainWaveformDlg freqWaves;
    const std::vector<std::function<DialogRequest()>> dialogs = {
        Of<CAutoPickSetupDlg>,      Of<CDimensionSizeDlg>,      Of<CSave470fFileDlg>,
        Of<CAmplitudeConstantDlg>,  Of<CSelectComponentDlg>,    Of<CAxisConfigDlg>,
        Of<CNumberOfTracesDlg>,     Of<CDistanceDlg>,           Of<CShiftAllTracesDlg>,
        Of<CMuteWaveformDlg>,       Of<CFrequencyDlg>,          Of<CPretriggerDlg>,
        Of<CAngleRangeDlg>,         Of<CComponentShiftDlg>,     Of<CVelocityDepthConversionDlg>,
        Of<CWfftDlg>,               Of<CDataLengthDlg>,         Of<CAcquisitionMenuDlg>,
        Of<CAcquisitionMenuPcDlg>,  Of<CSurfaceWaveStartDlg>,   Of<CTraceHeaderKeyDlg>,
        Of<COpenDataFileDlg>,       Of<CSamplingTimeDlg>,       Of<CSampleSkipDlg>,
        Of<CSourceReceiverLocationDlg>, Of<CSourceLocationDlg>, Of<CHeaderCountDlg>,
        Of<CInputGainDlg>,          Of<CReadTextFormatDlg>,     Of<CSamplesFrequencyDlg>,
        Of<CReceiverLocationDlg>,   Of<CTimeDlg>,               Of<CXyCoordinateDlg>,
        Of<CNmoCorrectionDlg>,      Of<CWaveletDlg>,            Of<CResamplingDlg>,
        Of<CDeconvolutionDlg>,      Of<CApparentVelocityMuteDlg>, Of<CAgcDlg>,
        Of<CInstantaneousAgcDlg>,   Of<CInputFloatDlg>,         Of<CMedianFilterDlg>,
        Of<CMedianVelocityDlg>,     Of<CNotchFilterDlg>,        Of<CLsqNotchDlg>,
        Of<CTauPTransformDlg>,      Of<CTauPVelocityFilterDlg>, Of<CCorrelationDlg>,
        Of<CVerticalStackDlg>,      Of<CFkFilterDlg>,           Of<CHeaderInfoDlg>,
        Of<CGeometryDlg>,           Of<CInputIntegerDlg>,       Of<CReceiverIntervalDlg>,
        Of<CSetIdDlg>,              Of<CSetLineIdDlg>,          Of<CSetPositionDlg>,
        Of<CShotCountDlg>,          Of<CStepConfirmDlg>,
        [] { static NullUiHost ui; static CGeometrySetupDlg g; return g.Request(ui, kJa); },
        [] { return BandPassDialogRequest(bandPass); },
        [] { return timeWaves.Request(kJa, 4100); },
        [] { return freqWaves.Request(kJa, 128); },
    };
    std::vector<std::string> left;
    for (const auto& make : dialogs) {
        const DialogRequest r = make();
        for (std::string& t : EnglishTexts(r)) left.push_back(std::move(t));
    }
    std::string list;
    for (const std::string& t : left) list += "\n  " + t;
    EXPECT_TRUE(left.empty()) << left.size() << " texts are left in English:" << list;
}

}  // namespace
}  // namespace velk
