#include "acquisition/keypad_dialogs.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/language.h"

namespace velk {

namespace {

constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz";

void Step(int& field, int delta, int cap)
{
    if (delta > 0) field = std::min(field + 1, cap);
    else if (field > 0) --field;
}

// A key's action: the fields (what the controls show) into the dialog's members, the step,
// then the members shown again, with the focus and closing request the step left.
template <class F>
DialogRequest::Action Stepping(F step)
{
    return [step](DialogRequest& r) {
        r.Commit();
        step();
        r.Load();
    };
}

// The arrows of a digit dialog over `d` (Left, Right, Up, Down and its FieldName).
template <class Dlg>
void AddDigitKeys(DialogRequest& r, Dlg& d, KeypadState& keypad)
{
    keypad.focus = Dlg::FieldName(d.cursor);
    keypad.close = keypad::kStayOpen;
    AddKeypadState(r, keypad);
    auto key = [&](void (Dlg::*move)()) {
        return Stepping([&d, &keypad, move] {
            (d.*move)();
            keypad.focus = Dlg::FieldName(d.cursor);
        });
    };
    r.AddButton(keypad::kKeyUp, key(&Dlg::Up));
    r.AddButton(keypad::kKeyDown, key(&Dlg::Down));
    r.AddButton(keypad::kKeyLeft, key(&Dlg::Left));
    r.AddButton(keypad::kKeyRight, key(&Dlg::Right));
}

std::string DigitLabel(const char* name, int language)
{
    const std::string n = name;
    if (n == "Ten-thousands") return Msg(language, n, "万の位");
    if (n == "Thousands") return Msg(language, n, "千の位");
    if (n == "Hundreds") return Msg(language, n, "百の位");
    if (n == "Tens") return Msg(language, n, "十の位");
    if (n == "Ones") return Msg(language, n, "一の位");
    return Msg(language, n, "小数第一位");
}

// Digit fields 0..9 for positions [from, to] of `d`, in that order.
template <class Dlg>
void AddDigits(DialogRequest& r, Dlg& d, int from, int to, int language)
{
    for (int p = from; p <= to; ++p)
        r.Int(Dlg::FieldName(p), d.Field(p), 0, 9).Label(DigitLabel(Dlg::FieldName(p), language));
}

}  // namespace

// --- Set ID -----------------------------------------------------------------------------------

int& CSetIdDlg::Field(int position)
{
    int* fields[] = {&thousands, &hundreds, &tens, &ones};
    return *fields[std::clamp(position, 0, kLast)];
}

const char* CSetIdDlg::FieldName(int position)
{
    const char* names[] = {"Thousands", "Hundreds", "Tens", "Ones"};
    return names[std::clamp(position, 0, kLast)];
}

void CSetIdDlg::Split(int v)
{
    const int u = std::max(v, 0);
    thousands = u / 1000;
    hundreds = (u % 1000) / 100;
    tens = (u % 100) / 10;
    ones = u % 10;
}

int CSetIdDlg::Compose() const { return ones + 10 * tens + 100 * hundreds + 1000 * thousands; }
bool CSetIdDlg::Validate() const { return ones <= 9 && tens <= 9 && hundreds <= 9 && thousands <= 9; }
void CSetIdDlg::Left() { cursor = std::max(cursor - 1, 0); }
void CSetIdDlg::Right() { cursor = std::min(cursor + 1, kLast); }
void CSetIdDlg::Up() { Step(Field(cursor), 1, 9); }
void CSetIdDlg::Down() { Step(Field(cursor), -1, 9); }

DialogRequest CSetIdDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Set ID", "ID の設定"));
    AddDigits(r, *this, 0, kLast, language);
    AddDigitKeys(r, *this, keypad_);
    return r;
}

bool CSetIdDlg::Edit(UiHost& ui, int language, int& id)
{
    CSetIdDlg dlg;
    dlg.Split(id);
    DialogRequest r = dlg.Request(language);
    if (!ui.RunDialog(r)) return false;
    id = dlg.Compose();
    return true;
}

// --- Set line ID ------------------------------------------------------------------------------

void CSetLineIdDlg::Split(int index)
{
    const int i = std::max(index, 0);
    first = std::min(i / 26, 25);
    second = i % 26;
    ShowLetters();
}

int CSetLineIdDlg::Compose() const { return second + 26 * first; }

const char* CSetLineIdDlg::FieldName(int position) { return position <= 0 ? "First letter" : "Second letter"; }
void CSetLineIdDlg::Left() { cursor = std::max(cursor - 1, 0); }
void CSetLineIdDlg::Right() { cursor = std::min(cursor + 1, kLast); }

void CSetLineIdDlg::Up()
{
    Step(cursor == 0 ? first : second, 1, 25);
    ShowLetters();
}

void CSetLineIdDlg::Down()
{
    Step(cursor == 0 ? first : second, -1, 25);
    ShowLetters();
}

void CSetLineIdDlg::ShowLetters()
{
    firstText = std::string(1, kLetters[std::clamp(first, 0, 25)]);
    secondText = std::string(1, kLetters[std::clamp(second, 0, 25)]);
}

DialogRequest CSetLineIdDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Set line ID", "測線 ID の設定"));
    // Labelled, so that a window shows them as fields and not as lines of text.
    r.String(FieldName(0), firstText).ReadOnly().Label(Msg(language, "Letter 1", "1文字目"));
    r.String(FieldName(1), secondText).ReadOnly().Label(Msg(language, "Letter 2", "2文字目"));
    AddDigitKeys(r, *this, keypad_);
    return r;
}

bool CSetLineIdDlg::Edit(UiHost& ui, int language, int& index)
{
    CSetLineIdDlg dlg;
    dlg.Split(index);
    DialogRequest r = dlg.Request(language);
    if (!ui.RunDialog(r)) return false;
    index = dlg.Compose();
    return true;
}

// --- Set position -----------------------------------------------------------------------------

int& CSetPositionDlg::Field(int position)
{
    int* fields[] = {&tenThousands, &thousands, &hundreds, &tens, &ones, &tenths};
    return *fields[std::clamp(position, 1, kLast) - 1];
}

const char* CSetPositionDlg::FieldName(int position)
{
    const char* names[] = {"Sign", "Ten-thousands", "Thousands", "Hundreds", "Tens", "Ones", "Tenths"};
    return names[std::clamp(position, 0, kLast)];
}

void CSetPositionDlg::Split(float v)
{
    if (v < 0.0f) sign = 1;
    // In whole tenths, nearest: a float such as 0.7 lies just below its decimal.
    double t = std::round(std::fabs(static_cast<double>(v)) * 10.0);
    t = std::min(t, 999999.0);
    auto n = static_cast<int>(t);
    tenths = n % 10;
    n /= 10;
    ones = n % 10;
    tens = (n / 10) % 10;
    hundreds = (n / 100) % 10;
    thousands = (n / 1000) % 10;
    tenThousands = (n / 10000) % 10;
    signText = sign == 1 ? "-" : "+";
}

float CSetPositionDlg::Compose() const
{
    const double v = tenths * 0.1 + ones + 10.0 * tens + 100.0 * hundreds + 1000.0 * thousands + 10000.0 * tenThousands;
    return static_cast<float>(sign == 1 ? -v : v);
}

void CSetPositionDlg::Left() { cursor = std::max(cursor - 1, 0); }
void CSetPositionDlg::Right() { cursor = std::min(cursor + 1, kLast); }

void CSetPositionDlg::Up()
{
    if (cursor == 0) sign = 0;
    else Step(Field(cursor), 1, 9);
    signText = sign == 1 ? "-" : "+";
}

void CSetPositionDlg::Down()
{
    if (cursor == 0) sign = 1;
    else Step(Field(cursor), -1, 9);
    signText = sign == 1 ? "-" : "+";
}

DialogRequest CSetPositionDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Set position", "位置の設定"));
    r.String("Title", title).ReadOnly();
    r.String(FieldName(0), signText).ReadOnly().Label("+/-");
    AddDigits(r, *this, 1, kLast, language);
    r.Find(FieldName(kLast))->Unit("m");
    AddDigitKeys(r, *this, keypad_);
    return r;
}

bool CSetPositionDlg::Edit(UiHost& ui, int language, float& v, const std::string& title)
{
    CSetPositionDlg dlg;
    dlg.Split(v);
    dlg.title = title;
    DialogRequest r = dlg.Request(language);
    if (!ui.RunDialog(r)) return false;
    v = dlg.Compose();
    return true;
}

// --- Number of receiver or shot -----------------------------------------------------------------

int& CShotCountDlg::Field(int position)
{
    int* fields[] = {&hundreds, &tens, &ones};
    return *fields[std::clamp(position, 0, kLast)];
}

const char* CShotCountDlg::FieldName(int position)
{
    const char* names[] = {"Hundreds", "Tens", "Ones"};
    return names[std::clamp(position, 0, kLast)];
}

void CShotCountDlg::Split(int v)
{
    const int u = std::max(v, 0);
    hundreds = u / 100;
    tens = (u % 100) / 10;
    ones = u % 10;
}

int CShotCountDlg::Compose() const { return ones + 10 * tens + 100 * hundreds; }
bool CShotCountDlg::Validate() const { return ones <= 9 && tens <= 9 && hundreds <= 9; }
void CShotCountDlg::Left() { cursor = std::max(cursor - 1, 0); }
void CShotCountDlg::Right() { cursor = std::min(cursor + 1, kLast); }
void CShotCountDlg::Up() { Step(Field(cursor), 1, 9); }
void CShotCountDlg::Down() { Step(Field(cursor), -1, 9); }

DialogRequest CShotCountDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Number of receiver or shot", "受振器数または発振数"));
    r.String("Prompt", prompt).ReadOnly();
    AddDigits(r, *this, 0, kLast, language);
    AddDigitKeys(r, *this, keypad_);
    return r;
}

bool CShotCountDlg::Edit(UiHost& ui, int language, int& n, const std::string& prompt)
{
    CShotCountDlg dlg;
    dlg.Split(n);
    dlg.prompt = prompt;
    DialogRequest r = dlg.Request(language);
    if (!ui.RunDialog(r)) return false;
    n = dlg.Compose();
    return true;
}

std::string SetPositionTitle(int which, int language)
{
    switch (which) {
    case 0: return Msg(language, "Set source position", "震源位置の設定");
    case 1: return Msg(language, "Set first receiver position", "最初の受振器位置の設定");
    default: return Msg(language, "Set receiver interval", "受振器間隔の設定");
    }
}

std::string ShotCountPrompt(bool shots, int language)
{
    if (shots) return "Number of shot !";
    return language == kLanguageJapanese ? "受振器の数を入力して下さい !" : "Enter the number of receivers !";
}

// --- Procedure step confirmation ----------------------------------------------------------------

DialogRequest CStepConfirmDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Procedure step confirmation", "手順の確認"));
    r.String("Message", message).ReadOnly();
    keypad_.focus = keypad::kFocusOk;
    keypad_.close = keypad::kStayOpen;
    AddKeypadState(r, keypad_);
    const auto back = [this] {
        result = kBack;
        keypad_.close = keypad::kCloseOk;
    };
    r.AddButton(kBackButton, Stepping(back), Msg(language, "Back", "戻る"));
    // The arrows move the focus along the buttons as they stand (Back, Yes, Cancel), without
    // wrapping; Enter presses the button with the focus.
    static constexpr std::array<const char*, 3> kOrder{kBackButton, keypad::kFocusOk, keypad::kFocusCancel};
    const auto move = [this](int delta) {
        return Stepping([this, delta] {
            int at = 1;
            for (int i = 0; i < 3; ++i)
                if (keypad_.focus == kOrder[static_cast<size_t>(i)]) at = i;
            keypad_.focus = kOrder[static_cast<size_t>(std::clamp(at + delta, 0, 2))];
        });
    };
    r.AddButton(keypad::kKeyLeft, move(-1));
    r.AddButton(keypad::kKeyUp, move(-1));
    r.AddButton(keypad::kKeyRight, move(+1));
    r.AddButton(keypad::kKeyDown, move(+1));
    r.AddButton(keypad::kKeyEnter, Stepping([this, back] {
                    if (keypad_.focus == kBackButton) back();
                    else keypad_.close = keypad_.focus == keypad::kFocusCancel ? keypad::kCloseCancel : keypad::kCloseOk;
                }));
    return r;
}

int CStepConfirmDlg::Ask(UiHost& ui, int language)
{
    CStepConfirmDlg dlg;
    dlg.message = Msg(language, "Ready to proceed?", "次の手順へ進みますか?");
    dlg.result = kYes;  // OK is the "Yes" button
    DialogRequest r = dlg.Request(language);
    return ui.RunDialog(r) ? dlg.result : kCancel;
}

// --- Geometry setup ---------------------------------------------------------------------------

void CGeometrySetupDlg::Up()
{
    row = std::max(row - 1, 0);
    action = row;
}

void CGeometrySetupDlg::Down()
{
    row = std::min(row + 1, 5);
    action = row;
}

void CGeometrySetupDlg::Left()
{
    if (row == 5) moveReceivers = std::max(moveReceivers - 1, 0);
}

void CGeometrySetupDlg::Right()
{
    if (row == 5) moveReceivers = std::min(moveReceivers + 1, 1);
}

int CGeometrySetupDlg::Enter(bool& close)
{
    close = action < 0;
    const int run = action >= 0 && action <= 4 ? action : -1;
    if (run == 0) Back();
    action = -1;
    return run;
}

void CGeometrySetupDlg::Back()
{
    ++backs;
    if (id > 0) --id;
    source -= sourceInterval;
    if (moveReceivers == 1) firstReceiver -= sourceInterval;
}

bool CGeometrySetupDlg::Apply(int& fileCount) const
{
    if (!ValidId()) return false;
    fileCount = std::max(fileCount - backs, 0);
    return true;
}

const char* CGeometrySetupDlg::RowFocus(int row) { return kActions[std::clamp(row, 0, 4)]; }

void CGeometrySetupDlg::RunAction(int which, UiHost& ui, int language)
{
    switch (which) {
    case 0: Back(); break;
    case 1: CSetIdDlg::Edit(ui, language, id); break;
    case 2: CSetPositionDlg::Edit(ui, language, source); break;
    case 3: CSetPositionDlg::Edit(ui, language, sourceInterval); break;
    case 4: CSetPositionDlg::Edit(ui, language, firstReceiver); break;
    default: break;
    }
}

DialogRequest CGeometrySetupDlg::Request(UiHost& ui, int language)
{
    DialogRequest r(kClass, Msg(language, "Geometry setup", "ジオメトリの設定"));
    r.Int(kId, id, 0, kMaxId).LimitsOnOk().Label("ID");
    r.Float(kSource, source).Label(Msg(language, "Source", "震源")).Unit("m");
    r.Float(kSourceInterval, sourceInterval).Label(Msg(language, "Source interval", "発振間隔")).Unit("m");
    r.Float(kFirstReceiver, firstReceiver).Label(Msg(language, "Present first receiver", "現在の最初の受振器")).Unit("m");
    r.Choice(kMoveReceivers, moveReceivers, {Msg(language, "Fixed", "固定"),
                                             Msg(language, "Move with receivers", "受振器とともに移動")})
        .Label(Msg(language, "Move receivers", "受振器の移動"));
    keypad_.focus = RowFocus(row);
    keypad_.close = keypad::kStayOpen;
    AddKeypadState(r, keypad_);
    const char* const labels[5] = {"震源・受振器・ID を一つ戻す", "ID の設定", "震源位置の設定", "発振間隔の設定",
                                   "受振器位置の設定"};
    for (int a = 0; a < 5; ++a)
        r.AddButton(kActions[a], Stepping([this, a, &ui, language] { RunAction(a, ui, language); }),
                    Msg(language, kActions[a], labels[a]));
    auto rowKey = [this](void (CGeometrySetupDlg::*move)()) {
        return Stepping([this, move] {
            (this->*move)();
            if (row < 5) keypad_.focus = RowFocus(row);  // on row 5 the focus stays
        });
    };
    r.AddButton(keypad::kKeyUp, rowKey(&CGeometrySetupDlg::Up));
    r.AddButton(keypad::kKeyDown, rowKey(&CGeometrySetupDlg::Down));
    r.AddButton(keypad::kKeyLeft, Stepping([this] { Left(); }));
    r.AddButton(keypad::kKeyRight, Stepping([this] { Right(); }));
    r.AddButton(keypad::kKeyEnter, Stepping([this, &ui, language] {
                    bool close = false;
                    const int run = Enter(close);
                    if (close) {
                        keypad_.close = keypad::kCloseOk;
                        return;
                    }
                    if (run > 0) RunAction(run, ui, language);  // Enter has run Back itself
                    keypad_.focus = keypad::kFocusOk;
                }));
    return r;
}

bool CGeometrySetupDlg::Run(UiHost& ui, int language, int& fileCount)
{
    CGeometrySetupDlg work = *this;
    work.action = 0;
    work.row = 0;
    work.backs = 0;
    DialogRequest r = work.Request(ui, language);
    if (!ui.RunDialog(r) || !work.Apply(fileCount)) return false;
    *this = work;
    return true;
}

}  // namespace velk
