#include "acquisition/start_dialogs.h"

#include <algorithm>

#include "platform/language.h"

namespace velk {

namespace {

const char* const kMenuWelcome = "Welcome to the Torvane-QKW and Tarnhold ! Select data acquisition menu";
const char* const kMenuWelcomeJa = "Torvane-QKW と Tarnhold へようこそ ! データ収録メニューを選択してください";

// The keypad of a start menu: Up and Down step the choice within 0..last (each key reads the
// choice shown and shows it again), the focus stays on OK, Enter accepts, Esc cancels.
void AddMenuKeys(DialogRequest& request, KeypadState& keypad, int& choice, int last)
{
    keypad.focus = keypad::kFocusOk;
    keypad.close = keypad::kStayOpen;
    AddKeypadState(request, keypad);
    const auto step = [&choice, last](int delta) {
        return [&choice, last, delta](DialogRequest& r) {
            r.Commit();
            choice = std::clamp(choice + delta, 0, last);
            r.Load();
        };
    };
    request.AddButton(keypad::kKeyUp, step(-1));
    request.AddButton(keypad::kKeyDown, step(+1));
}

}  // namespace

DialogRequest CAcquisitionMenuDlg::Request(int language)
{
    welcome = Msg(language, kMenuWelcome, kMenuWelcomeJa);
    DialogRequest request(kClass, Msg(language, "QKW menu", "QKW メニュー"));
    request.String("Welcome", welcome).ReadOnly();
    request.Choice("Survey type", type,
                   {Msg(language, "No data acquisition", "データ収録をしない"),
                    Msg(language, "General data acquisition", "一般のデータ収録"),
                    Msg(language, "1D surface-wave method", "1次元表面波探査"),
                    Msg(language, "2D surface-wave method", "2次元表面波探査"),
                    Msg(language, "Seismic refraction method", "屈折法地震探査"),
                    Msg(language, "Micro-tremors array measurements", "微動アレイ観測"),
                    Msg(language, "PS-logging", "PS 検層"),
                    Msg(language, "Ground-water survey", "地下水調査")})
        .Label(Msg(language, "Survey type", "探査の種類"));
    AddMenuKeys(request, keypad_, type, kLast);
    return request;
}

int CAcquisitionMenuDlg::Run(UiHost& ui, int language)
{
    DialogRequest request = Request(language);
    return ui.RunDialog(request) ? type : 0;
}

DialogRequest CAcquisitionMenuPcDlg::Request(int language)
{
    welcome = Msg(language, kMenuWelcome, kMenuWelcomeJa);
    DialogRequest request(kClass, Msg(language, "QKW Menu on PC", "PC 上の QKW メニュー"));
    request.String("Welcome", welcome).ReadOnly();
    request.Choice("Choice", choice,
                   {Msg(language, "Working without menu", "メニューを使わずに作業する"),
                    Msg(language, "Open existed file list(*.xml)", "既存のファイルリストを開く(*.xml)"),
                    Msg(language, "1D surface-wave method", "1次元表面波探査"),
                    Msg(language, "2D surface-wave method", "2次元表面波探査"),
                    Msg(language, "Seismic refraction method", "屈折法地震探査")})
        .Label(Msg(language, "Menu", "メニュー"));
    AddMenuKeys(request, keypad_, choice, kLast);
    request.AddButton("Make new file list", [](DialogRequest&) {},
                      Msg(language, "Make new file list", "新しいファイルリストを作る"));
    return request;
}

int CAcquisitionMenuPcDlg::Run(UiHost& ui, int language)
{
    DialogRequest request = Request(language);
    return ui.RunDialog(request) ? choice : 0;
}

DialogRequest CSurfaceWaveStartDlg::Request(int language)
{
    welcome = Msg(language, "Welcome to Tarnhold/SW !       Please select a data processing wizard:",
                  "Tarnhold/SW へようこそ !       データ処理ウィザードを選択してください:");
    DialogRequest request(kClass, Msg(language, "Tarnhold 1D Multi-channel Analysis of Surface Waves",
                                      "Tarnhold 1次元多チャンネル表面波解析"));
    request.String("Welcome", welcome).ReadOnly();
    request.Choice("Wizard", wizard,
                   {Msg(language, "Active Source 1D MASW", "能動的表面波探査 (1次元 MASW)"),
                    Msg(language, "Passive Source (Micro-tremor) 1D MAM", "受動的表面波探査 (微動, 1次元 MAM)")})
        .Label(Msg(language, "Wizard", "ウィザード"));
    AddMenuKeys(request, keypad_, wizard, kLast);
    return request;
}

int CSurfaceWaveStartDlg::Run(UiHost& ui, int language)
{
    DialogRequest request = Request(language);
    return ui.RunDialog(request) ? wizard : -1;
}

}  // namespace velk
