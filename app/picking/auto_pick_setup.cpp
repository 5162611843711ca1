#include "app/picking/auto_pick_setup.h"

#include "platform/language.h"
#include "traveltime/auto_pick_settings.h"

namespace velk {

void CAutoPickSetupDlg::Preset(const AutoPickSettings& settings)
{
    centreFrequency = settings.centreFrequency;
    numberOfChecking = settings.numberOfChecking;
    portion = settings.portion;
    bandPass = settings.bandPass;
}

void CAutoPickSetupDlg::StoreTo(AutoPickSettings& settings) const
{
    settings.centreFrequency = centreFrequency;
    settings.numberOfChecking = numberOfChecking;
    settings.portion = portion;
    settings.bandPass = bandPass;
}

DialogRequest CAutoPickSetupDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, kTitle, "自動読み取り"));
    r.Float(kCentreFrequency, centreFrequency).Label(Msg(language, "Center frequency", "中心周波数")).Unit("Hz");
    r.Int(kNumberOfChecking, numberOfChecking, 0, 20).Label(Msg(language, "Number of checking", "チェック回数"));
    r.Int(kPortion, portion, 1, 20).Label(Msg(language, "Portion", "分割数"));
    r.Bool(kBandPass, bandPass).Label("BPF");
    return r;
}

}  // namespace velk
