#include "acquisition/keypad_dialogs.h"

#include <algorithm>
#include <cmath>

#include "platform/language.h"

namespace velk {

namespace {

constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz";

void Step(unsigned& field, int delta, unsigned cap)
{
    if (delta > 0) field = std::min(field + 1, cap);
    else if (field > 0) --field;
}

}  // namespace

// --- Set ID -----------------------------------------------------------------------------------

unsigned& CSetIdDlg::Field(int position)
{
    unsigned* fields[] = {&thousands, &hundreds, &tens, &ones};
    return *fields[std::clamp(position, 0, kLast)];
}

void CSetIdDlg::Split(int v)
{
    const unsigned u = static_cast<unsigned>(std::max(v, 0));
    thousands = u / 1000;
    hundreds = (u % 1000) / 100;
    tens = (u % 100) / 10;
    ones = u % 10;
}

int CSetIdDlg::Compose() const { return static_cast<int>(ones + 10 * tens + 100 * hundreds + 1000 * thousands); }
bool CSetIdDlg::Validate() const { return ones <= 9 && tens <= 9 && hundreds <= 9 && thousands <= 9; }
void CSetIdDlg::Left() { cursor = std::max(cursor - 1, 0); }
void CSetIdDlg::Right() { cursor = std::min(cursor + 1, kLast); }
void CSetIdDlg::Up() { Step(Field(cursor), 1, 9); }
void CSetIdDlg::Down() { Step(Field(cursor), -1, 9); }

// --- Set line ID ------------------------------------------------------------------------------

void CSetLineIdDlg::Split(int index)
{
    const int i = std::max(index, 0);
    first = static_cast<unsigned>(std::min(i / 26, 25));
    second = static_cast<unsigned>(i % 26);
    ShowLetters();
}

int CSetLineIdDlg::Compose() const { return static_cast<int>(second + 26 * first); }
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
    firstText = std::string(1, kLetters[std::min(first, 25u)]);
    secondText = std::string(1, kLetters[std::min(second, 25u)]);
}

// --- Set position -----------------------------------------------------------------------------

unsigned& CSetPositionDlg::Field(int position)
{
    unsigned* fields[] = {&tenThousands, &thousands, &hundreds, &tens, &ones, &tenths};
    return *fields[std::clamp(position, 1, kLast) - 1];
}

void CSetPositionDlg::Split(float v)
{
    if (v < 0.0f) sign = 1;
    // In whole tenths, nearest: a float such as 0.7 lies just below its decimal.
    double t = std::round(std::fabs(static_cast<double>(v)) * 10.0);
    t = std::min(t, 999999.0);
    auto n = static_cast<unsigned>(t);
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

// --- Number of receiver or shot -----------------------------------------------------------------

unsigned& CShotCountDlg::Field(int position)
{
    unsigned* fields[] = {&hundreds, &tens, &ones};
    return *fields[std::clamp(position, 0, kLast)];
}

void CShotCountDlg::Split(int v)
{
    const unsigned u = static_cast<unsigned>(std::max(v, 0));
    hundreds = u / 100;
    tens = (u % 100) / 10;
    ones = u % 10;
}

int CShotCountDlg::Compose() const { return static_cast<int>(ones + 10 * tens + 100 * hundreds); }
bool CShotCountDlg::Validate() const { return ones <= 9 && tens <= 9 && hundreds <= 9; }
void CShotCountDlg::Left() { cursor = std::max(cursor - 1, 0); }
void CShotCountDlg::Right() { cursor = std::min(cursor + 1, kLast); }
void CShotCountDlg::Up() { Step(Field(cursor), 1, 9); }
void CShotCountDlg::Down() { Step(Field(cursor), -1, 9); }

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
    return language == kLanguageJapanese ? "受振器の数を入力して下さい !" : "";
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

}  // namespace velk
