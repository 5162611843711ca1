#include "acquisition/disk_dlg.h"

#include <algorithm>
#include <cctype>

#include "acquisition/archiver.h"
#include "platform/file_ops.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace {

constexpr std::array<const char*, CDiskDlg::kRows> kJapaneseButtons{
    "今日のファイルリストを全てMOにコピー", "今日の波形ファイルを全てMOにコピー", "ファイルリストをMOにコピー",
    "ファイルリストをFDにコピー",           "現在のデータを保存",                 "IDの設定",
    "ラインIDの設定",                       "波形ファイルをMOにコピー",           "波形ファイルをFDにコピー"};

std::string Lower(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

std::string DiskButtonLabel(const char* english, int language)
{
    for (int r = 0; r < CDiskDlg::kRows; ++r)
        if (std::string_view(CDiskDlg::kRowButtons[static_cast<size_t>(r)]) == english)
            return Msg(language, english, kJapaneseButtons[static_cast<size_t>(r)]);
    return english;
}

// --- Disk ---------------------------------------------------------------------------------------

void CDiskDlg::SelectRow(int r)
{
    row = std::clamp(r, 0, kRows - 1);
    action = row;
    focus = kRowButtons[static_cast<size_t>(row)];
}

void CDiskDlg::Up() { SelectRow(row - 1); }
void CDiskDlg::Down() { SelectRow(row + 1); }

void CDiskDlg::Left()
{
    if (row == kDiskSetId || row == kDiskSetLineId) {
        action = kDiskNone;
        focus = row == kDiskSetId ? kIdNo : kLineId;
    } else {
        action = kDiskNone;
        focus = keypad::kFocusOk;
    }
}

void CDiskDlg::Right()
{
    if (row == kDiskSetId || row == kDiskSetLineId) {
        action = row;
        focus = kRowButtons[static_cast<size_t>(row)];
    } else {
        action = kDiskNone;
        focus = keypad::kFocusOk;
    }
}

DialogRequest CDiskDlg::Request(int language, Runner run)
{
    DialogRequest r(kClass, Msg(language, "Disk", "ディスク"));
    r.Int(kIdNo, idNo).Label(Msg(language, "ID No.", "ID番号"));
    r.String(kLineId, lineId).Label(Msg(language, "Line ID", "ラインID")).ReadOnly();
    keypad_.focus = focus;
    keypad_.close = keypad::kStayOpen;
    AddKeypadState(r, keypad_);
    // After an action the edits show the model's values again.
    auto sync = [this](DialogRequest& d) {
        d.Find(kIdNo)->SetInt(idNo);
        d.Find(kLineId)->SetString(lineId);
    };
    auto perform = [this, run, sync](DialogRequest& d, int which, bool keypad) {
        idNo = d.Find(kIdNo)->IntValue();
        const bool close = run(which, keypad, *this);
        sync(d);
        if (close) RequestKeypadClose(d, keypad::kCloseOk);
    };
    for (int b : kButtonOrder) {
        const char* name = kRowButtons[static_cast<size_t>(b)];
        r.AddButton(
            name, [perform, b](DialogRequest& d) { perform(d, b, false); }, DiskButtonLabel(name, language));
    }
    auto key = [this](void (CDiskDlg::*step)()) {
        return [this, step](DialogRequest& d) {
            (this->*step)();
            SetKeypadFocus(d, focus);
        };
    };
    r.AddButton(keypad::kKeyUp, key(&CDiskDlg::Up));
    r.AddButton(keypad::kKeyDown, key(&CDiskDlg::Down));
    r.AddButton(keypad::kKeyLeft, key(&CDiskDlg::Left));
    r.AddButton(keypad::kKeyRight, key(&CDiskDlg::Right));
    r.AddButton(keypad::kKeyEnter, [this, perform](DialogRequest& d) {
        if (action == kDiskNone) {
            RequestKeypadClose(d, keypad::kCloseOk);
            return;
        }
        const int which = action;
        perform(d, which, true);
        action = kDiskNone;
        focus = keypad::kFocusOk;
        SetKeypadFocus(d, focus);
    });
    return r;
}

// --- Copy files ---------------------------------------------------------------------------------

std::string CCopyFilesDlg::SetExtension(const std::string& ext)
{
    std::string old = extension;
    extension = ext;
    return old;
}

std::vector<std::string> CCopyFilesDlg::MatchingFiles(FileOps& files, const std::string& folder, const std::string& ext)
{
    const std::string tail = "." + Lower(ext);
    std::vector<std::string> names;
    for (const FileStamp& f : files.ListFiles(folder)) {
        const std::string n = Lower(f.name);
        if (n.size() >= 2 + tail.size() && n.compare(0, 2, "qk") == 0 &&
            n.compare(n.size() - tail.size(), tail.size(), tail) == 0)
            names.push_back(f.name);
    }
    return names;
}

DialogRequest CCopyFilesDlg::Request(int language, const std::vector<std::string>& names, int& chosen)
{
    DialogRequest r(kClass, Msg(language, "Copy files", "ファイルのコピー"));
    r.Choice(kFiles, chosen, names).Label(Msg(language, "Files", "ファイル")).Focus();
    return r;
}

bool MediumMounted(const DiskContext& ctx, const std::string& mountPoint, const std::string& key)
{
    if (ctx.files && ctx.files->IsFolder(mountPoint)) return true;
    if (ctx.ui) {
        const std::string text =
            FormatC(Msg(ctx.language,
                        "The drive is not mounted: %s is not there. Mount the disk, or set its mount point in the "
                        "profile key %s.",
                        "ドライブがマウントされていません: %s がありません。ディスクをマウントするか、プロファイルのキー "
                        "%s にマウントポイントを設定して下さい。")
                        .c_str(),
                    mountPoint.c_str(), key.c_str());
        ctx.ui->Message(text, MsgButtons::Ok, MsgIcon::Warning);
    }
    return false;
}

int RunCopyFiles(const DiskContext& ctx, const std::string& extension, const std::string& destination)
{
    Archiver archiver(*ctx.files, *ctx.clock, *ctx.ui, ctx.language);
    CCopyFilesDlg dlg;
    dlg.SetExtension(extension);
    dlg.destination = destination;
    dlg.diskFullText = archiver.DiskFullText();
    const std::vector<std::string> names = CCopyFilesDlg::MatchingFiles(*ctx.files, ctx.dataFolder, dlg.extension);
    int chosen = -1;
    DialogRequest r = dlg.Request(ctx.language, names, chosen);
    if (!ctx.ui->RunDialog(r) || chosen < 0 || chosen >= static_cast<int>(names.size())) return 0;
    dlg.selection = names[static_cast<size_t>(chosen)];
    if (dlg.selection.find("xml") == std::string::npos)
        return archiver.CopySingleFile(ctx.dataFolder, dlg.selection, dlg.destination);
    return archiver.CopyFileList(ctx.dataFolder, dlg.selection, dlg.destination) > 0 ? 1 : 0;
}

}  // namespace velk
