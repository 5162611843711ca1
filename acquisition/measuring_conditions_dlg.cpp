#include "acquisition/measuring_conditions_dlg.h"

#include <algorithm>
#include <cmath>

#include "platform/language.h"

namespace velk {

namespace {

using keypad::kKeyDown;
using keypad::kKeyEnter;
using keypad::kKeyEsc;
using keypad::kKeyLeft;
using keypad::kKeyRight;
using keypad::kKeyUp;

KeypadOutcome Closing(keypad::Close close) { return {-1, close}; }

// The common ending of a key: Enter closes as OK, Esc as Cancel.
bool EnterOrEsc(std::string_view key, KeypadOutcome& out)
{
    if (key == kKeyEnter) out = Closing(keypad::kCloseOk);
    else if (key == kKeyEsc) out = Closing(keypad::kCloseCancel);
    else return false;
    return true;
}

// A key's request action: the struct takes the edited values, the model runs, the request shows
// the struct again and hears how the dialog goes on.
template <class Model>
DialogRequest::Action KeyAction(Model& model, std::string_view key, std::function<void(int)> run = {})
{
    return [&model, key = std::string(key), run](DialogRequest& d) {
        d.Commit();
        const KeypadOutcome out = model.Key(key);
        if (out.action >= 0 && run) {
            run(out.action);
            model.ActionDone();
        }
        d.Load();
        RequestKeypadClose(d, out.close);
    };
}

void AddKeys(DialogRequest& r, const std::function<DialogRequest::Action(const char*)>& make)
{
    for (const char* key : {kKeyUp, kKeyDown, kKeyLeft, kKeyRight, kKeyEnter, kKeyEsc}) r.AddButton(key, make(key));
}

struct RowRule {
    const char* field;      // Left/Right step this field (null: buttons or nothing)
    int max;
    int leftAction;         // with no field: Left focuses this action's button (-1: the edit)
    int rightAction;        // Right picks this action (-1: nothing)
    const char* leftEdit;   // the edit Left focuses
    int enterAction;        // on entering the row (-1: focus OK)
};

using D = CMeasuringConditionsDlg;
constexpr RowRule kRows[D::kLastRow + 1] = {
    {nullptr, 0, -1, D::kSetupId, D::kId, D::kSetupId},
    {D::kChannels, 4, -1, -1, nullptr, -1},
    {D::kSampling, 6, -1, -1, nullptr, -1},
    {D::kDataLength, 4, -1, -1, nullptr, -1},
    {D::kPreTrigger, 1, -1, -1, nullptr, -1},
    {D::kStack, 3, -1, -1, nullptr, -1},
    {D::kTriggerLevel, 11, -1, -1, nullptr, -1},
    {nullptr, 0, D::kGain1, D::kGain2, nullptr, D::kGain1},
    {nullptr, 0, -1, -1, nullptr, D::kHold},
    {nullptr, 0, -1, -1, nullptr, D::kSpread},
    {nullptr, 0, -1, D::kSetupSource, D::kSource, D::kSetupSource},
    {nullptr, 0, -1, D::kSetupFirstReceiver, D::kFirstReceiver, D::kSetupFirstReceiver},
    {nullptr, 0, -1, D::kSetupReceiverInterval, D::kReceiverInterval, D::kSetupReceiverInterval},
    {nullptr, 0, -1, -1, nullptr, D::kSetupLineId},
    {nullptr, 0, -1, -1, nullptr, D::kSetupSignalTrigger},
    {nullptr, 0, -1, -1, nullptr, D::kSetupAutoShift},
    {D::kAuxiliary, 1, -1, -1, nullptr, -1},
};

constexpr const char* kRowNames[D::kLastRow + 1] = {
    "ID No.", "Channels", "Sampling", "Data length", "Pre-trigger", "Stack", "Trigger level", "Gain", "Hold",
    "Spread", "Source location", "First receiver", "Receiver interval", "Line ID", "Signal trigger level",
    "Automatic shift stack", "Auxiliary"};

constexpr const char* kRowNamesJa[D::kLastRow + 1] = {
    "ID 番号", "チャンネル数", "サンプリング", "データ長", "プレトリガー", "スタック", "トリガーレベル", "ゲイン", "ホールド",
    "展開", "震源位置", "最初の受振器", "受振器間隔", "ライン ID", "信号トリガーレベル", "自動シフトスタック", "補助チャンネル"};

constexpr const char* kButtonNames[D::kActionCount] = {
    "Setup ID", "Gain1 (Individual)", "Gain2 (All)", "Hold", "Spread", "Setup source location",
    "Setup first receiver", "Setup receiver interval", "Setup line ID", "Setup signal trigger level",
    "Setup automatic shift stack"};
constexpr const char* kButtonNamesJa[D::kActionCount] = {
    "ID の設定", "ゲイン1 (個別)", "ゲイン2 (全体)", "ホールド", "展開", "震源位置の設定", "最初の受振器の設定",
    "受振器間隔の設定", "ライン ID の設定", "信号トリガーレベルの設定", "自動シフトスタックの設定"};

int& RowValue(D& d, int row)
{
    switch (row) {
    case D::kRowChannels: return d.channels;
    case D::kRowSampling: return d.sampling;
    case D::kRowDataLength: return d.dataLength;
    case D::kRowPreTrigger: return d.preTrigger;
    case D::kRowStack: return d.stack;
    case D::kRowTriggerLevel: return d.triggerLevel;
    default: return d.auxiliary;
    }
}

float RoundHundredth(double v) { return static_cast<float>(std::round(v * 100.0) / 100.0); }

}  // namespace

// --- Measuring conditions ---------------------------------------------------------------------

const char* CMeasuringConditionsDlg::ButtonName(int a)
{
    return a >= 0 && a < kActionCount ? kButtonNames[a] : keypad::kFocusOk;
}

void CMeasuringConditionsDlg::Pick(const char* control, int picked)
{
    keypad.focus = control;
    action = picked;
}

void CMeasuringConditionsDlg::EnterRow()
{
    row = std::clamp(row, 0, kLastRow);
    cursor = Msg(language, kRowNames[row], kRowNamesJa[row]);
    const int a = kRows[row].enterAction;
    Pick(ButtonName(a), a);
}

void CMeasuringConditionsDlg::Open()
{
    row = 0;
    EnterRow();
    keypad.focus = keypad::kFocusOk;
    keypad.close = keypad::kStayOpen;
}

void CMeasuringConditionsDlg::ActionDone() { Pick(keypad::kFocusOk, kNoAction); }

KeypadOutcome CMeasuringConditionsDlg::Key(std::string_view key)
{
    if (key == kKeyEnter) {
        if (action < 0) return Closing(keypad::kCloseOk);
        return {action, keypad::kStayOpen};
    }
    if (key == kKeyEsc) return Closing(keypad::kCloseCancel);
    if (key == kKeyUp || key == kKeyDown) {
        row = std::clamp(row + (key == kKeyUp ? -1 : 1), 0, kLastRow);
        EnterRow();
        return {};
    }
    if (key != kKeyLeft && key != kKeyRight) return {};
    const bool left = key == kKeyLeft;
    action = kNoAction;
    const RowRule& rule = kRows[row];
    if (rule.field) {
        int& v = RowValue(*this, row);
        v = std::clamp(v + (left ? -1 : 1), 0, rule.max);
    } else if (left && rule.leftEdit) {
        keypad.focus = rule.leftEdit;
    } else if (left && rule.leftAction >= 0) {
        Pick(ButtonName(rule.leftAction), rule.leftAction);
    } else if (!left && rule.rightAction >= 0) {
        Pick(ButtonName(rule.rightAction), rule.rightAction);
    }
    return {};
}

KeypadOutcome CMeasuringConditionsDlg::Click(int clicked)
{
    if (clicked < 0 || clicked >= kActionCount) return {};
    return {clicked, keypad::kStayOpen};
}

DialogRequest CMeasuringConditionsDlg::Request(int language, std::function<void(int)> run)
{
    this->language = language;
    cursor = Msg(language, kRowNames[row], kRowNamesJa[row]);
    DialogRequest r(kClass, Msg(language, "Measuring conditions", "測定条件"));
    const auto L = [language](const char* en, const char* ja) { return Msg(language, en, ja); };
    r.Int(kId, id, 0, kMaxId).LimitsOnOk().Label(L("ID No.", "ID 番号"));
    r.Choice(kChannels, channels, {"1", "3", "6", "12", "24"}).Label(L("Channels", "チャンネル数"));
    r.Choice(kSampling, sampling, {"25", "50", "100", "200", "500", "1000", "2000"})
        .Label(L("Sampling (usec)", "サンプリング (μsec)"));
    r.Choice(kDataLength, dataLength, {"1024", "2048", "4096", "8192", "16384"}).Label(L("Data length", "データ長"));
    r.Choice(kPreTrigger, preTrigger, {L("On", "オン"), L("Off", "オフ")}).Label(L("Pre-trigger", "プレトリガー"));
    r.Choice(kStack, stack, {L("Preview", "プレビュー"), L("Off", "オフ"), L("Auto", "自動"), L("Manual re-arm", "手動再アーム")})
        .Label(L("Stack", "スタック"));
    r.Choice(kTriggerLevel, triggerLevel,
             {L("Off", "オフ"), "100", "200", "300", "400", "500", "600", "700", "800", "900", "1000", L("Signal", "信号")})
        .Label(L("Trigger level (mV)", "トリガーレベル (mV)"));
    r.Float(kSource, sourceLocation).Label(L("Source location (m)", "震源位置 (m)"));
    r.Float(kFirstReceiver, firstReceiver).Label(L("First receiver (m)", "最初の受振器 (m)"));
    r.Float(kReceiverInterval, receiverInterval).Label(L("Receiver interval (m)", "受振器間隔 (m)"));
    r.String(kLineId, lineId).ReadOnly().Label(L("Line ID", "ライン ID"));
    r.Float(kSignalTrigger, signalTriggerLevel, 0.0, 100.0).LimitsOnOk().Label(L("Signal trigger level (%)", "信号トリガーレベル (%)"));
    r.Choice(kAuxiliary, auxiliary, {L("Off", "オフ"), L("On", "オン")}).Label(L("Auxiliary", "補助チャンネル"));
    r.String(kCursor, cursor).ReadOnly().Label(L("Row", "行"));
    AddKeypadState(r, keypad);
    AddKeys(r, [this, run](const char* key) { return KeyAction(*this, key, run); });
    for (int a = 0; a < kActionCount; ++a) {
        r.AddButton(
            kButtonNames[a],
            [this, a, run](DialogRequest& d) {
                d.Commit();
                if (Click(a).action >= 0 && run) run(a);
                ActionDone();
                d.Load();
            },
            L(kButtonNames[a], kButtonNamesJa[a]));
    }
    return r;
}

// --- Gain and hold ----------------------------------------------------------------------------

void CGainDlg::Show(const std::array<int8_t, kInstrumentRows>& table)
{
    for (int i = 0; i < kChannels; ++i) steps[static_cast<size_t>(i)] = table[static_cast<size_t>(i)];
    keypad.focus = std::to_string(row + 1);
}

KeypadOutcome CGainDlg::Key(std::string_view key, std::array<int8_t, kInstrumentRows>& table, bool& changed)
{
    changed = false;
    KeypadOutcome out;
    if (EnterOrEsc(key, out)) return out;
    if (key == kKeyUp || key == kKeyDown) {
        row = std::clamp(row + (key == kKeyUp ? -1 : 1), 0, kChannels - 1);
    } else if (key == kKeyLeft || key == kKeyRight) {
        const bool left = key == kKeyLeft;
        int8_t& entry = table[static_cast<size_t>(row)];
        const int next = hold ? (left ? 0 : 1) : std::clamp(entry + (left ? -1 : 1), 0, 3);
        changed = next != entry;
        entry = static_cast<int8_t>(next);
    }
    Show(table);
    return out;
}

DialogRequest CGainDlg::Request(int language, std::array<int8_t, kInstrumentRows>& table, std::function<void()> changed)
{
    DialogRequest r(hold ? kHoldClass : kClass, hold ? Msg(language, "Hold", "ホールド") : Msg(language, "Gain", "ゲイン"));
    const std::vector<std::string> labels =
        hold ? std::vector<std::string>{Msg(language, "Off", "オフ"), Msg(language, "On", "オン")}
             : std::vector<std::string>{"*16", "*64", "*256", "*1024"};
    for (int i = 0; i < kChannels; ++i) r.Choice(std::to_string(i + 1), steps[static_cast<size_t>(i)], labels);
    Show(table);
    AddKeypadState(r, keypad);
    AddKeys(r, [this, &table, changed](const char* key) {
        return [this, &table, changed, key = std::string(key)](DialogRequest& d) {
            // The channels' radio groups are read into the table first, as every message does.
            d.Commit();
            for (int i = 0; i < kChannels; ++i) {
                table[static_cast<size_t>(i)] = static_cast<int8_t>(std::clamp(steps[static_cast<size_t>(i)], 0, hold ? 1 : 3));
            }
            bool live = false;
            const KeypadOutcome out = Key(key, table, live);
            if (live && changed) changed();
            d.Load();
            RequestKeypadClose(d, out.close);
        };
    });
    return r;
}

bool CGainAllDlg::Step(int by, std::array<int8_t, kInstrumentRows>& table)
{
    bool any = false;
    for (size_t i = 0; i < steps.size(); ++i) {
        const int next = std::clamp(steps[i] + by, 0, 3);
        any = any || next != steps[i];
        steps[i] = next;
        table[i] = static_cast<int8_t>(next);
    }
    return any;
}

DialogRequest CGainAllDlg::Request(int language, std::array<int8_t, kInstrumentRows>& table, std::function<void()> changed)
{
    DialogRequest r(kClass, Msg(language, "Gain2 (All)", "ゲイン2 (全体)"));
    for (size_t i = 0; i < steps.size(); ++i) {
        steps[i] = table[i];
        r.Choice(std::to_string(i + 1), steps[i], {"*16", "*64", "*256", "*1024"}).ReadOnly();
    }
    keypad.focus = keypad::kFocusOk;
    AddKeypadState(r, keypad);
    auto step = [this, &table, changed](int by) {
        return [this, &table, changed, by](DialogRequest& d) {
            Step(by, table);
            if (changed) changed();
            d.Load();
        };
    };
    r.AddButton(kKeyUp, step(1));
    r.AddButton(kKeyDown, step(-1));
    r.AddButton(kUpAll, step(1), Msg(language, kUpAll, "全チャンネルを上げる (上キー)"));
    r.AddButton(kDownAll, step(-1), Msg(language, kDownAll, "全チャンネルを下げる (下キー)"));
    return r;
}

// --- Spread, automatic shift stack ------------------------------------------------------------

KeypadOutcome CSpreadDlg::Key(std::string_view key)
{
    KeypadOutcome out;
    if (EnterOrEsc(key, out)) return out;
    if (key == kKeyUp) row = 0;
    if (key == kKeyDown) row = 1;
    if (key == kKeyLeft || key == kKeyRight) (row == 0 ? first : second) = key == kKeyLeft ? 0 : 1;
    return out;
}

DialogRequest CSpreadDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Spread", "展開"));
    r.Choice("First half", first, {"1 to 12", "12 to 1"}).Label(Msg(language, "First half", "前半"));
    r.Choice("Second half", second, {"13 to 24", "24 to 13"}).Label(Msg(language, "Second half", "後半"));
    r.Choice("Row", row, {Msg(language, "First", "前半"), Msg(language, "Second", "後半")}).ReadOnly();
    keypad.focus = keypad::kFocusOk;
    AddKeypadState(r, keypad);
    AddKeys(r, [this](const char* key) {
        return [this, key = std::string(key)](DialogRequest& d) {
            d.Commit();
            const KeypadOutcome out = Key(key);
            d.Load();
            RequestKeypadClose(d, out.close);
        };
    });
    return r;
}

KeypadOutcome CAutoShiftStackDlg::Key(std::string_view key)
{
    KeypadOutcome out;
    if (EnterOrEsc(key, out)) return out;
    if (key == kKeyUp) row = 0;
    if (key == kKeyDown) row = 1;
    if (key == kKeyLeft || key == kKeyRight) {
        const bool left = key == kKeyLeft;
        if (row == 0) automaticShift = left ? 0 : 1;
        else referenceChannel = std::clamp(referenceChannel + (left ? -1 : 1), 0, 24);
    }
    return out;
}

DialogRequest CAutoShiftStackDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Automatic shift stack", "自動シフトスタック"));
    r.Choice("Automatic shift", automaticShift, {Msg(language, "Off", "オフ"), Msg(language, "On", "オン")})
        .Label(Msg(language, "Automatic shift", "自動シフト"));
    r.Int("Reference channel", referenceChannel).Label(Msg(language, "Reference channel", "基準チャンネル"));
    r.Choice("Row", row, {Msg(language, "Automatic shift", "自動シフト"), Msg(language, "Reference channel", "基準チャンネル")})
        .ReadOnly()
        .Label(Msg(language, "(Use left and right key)", "(左右キーを使ってください)"));
    keypad.focus = "Automatic shift";
    AddKeypadState(r, keypad);
    AddKeys(r, [this](const char* key) {
        return [this, key = std::string(key)](DialogRequest& d) {
            d.Commit();
            const KeypadOutcome out = Key(key);
            d.Load();
            RequestKeypadClose(d, out.close);
        };
    });
    return r;
}

// --- Signal trigger level ---------------------------------------------------------------------

float CSignalTriggerLevelDlg::Up(float v)
{
    double next;
    if (v >= 0.1f) next = v >= 1.0f ? (v >= 10.0f ? v + 5.0 : v + 1.0) : v + 0.1;
    else next = v + 0.01;
    return std::min(RoundHundredth(next), 100.0f);
}

float CSignalTriggerLevelDlg::Down(float v)
{
    double next = 0.0;
    if (v > 0.011f) {
        if (v <= 0.1f) next = v - 0.01;
        else if (v > 10.0f) next = v - 5.0;
        else if (v > 1.0f) next = v - 1.0;
        else next = v - 0.1;
    }
    return std::max(RoundHundredth(next), 0.0f);
}

DialogRequest CSignalTriggerLevelDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Signal trigger level", "信号トリガーレベル"));
    r.Float(kLevel, level, 0.0, 100.0).LimitsOnOk().Label(Msg(language, "Level", "レベル")).Unit("%");
    keypad.focus = kLevel;
    AddKeypadState(r, keypad);
    auto step = [this](bool up) {
        return [this, up](DialogRequest& d) {
            d.Commit();
            level = up ? Up(level) : Down(level);
            d.Load();
        };
    };
    r.AddButton(kKeyUp, step(true));
    r.AddButton(kKeyDown, step(false));
    return r;
}

}  // namespace velk
