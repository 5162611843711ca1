#include "survey/file_list_dialogs.h"

#include <algorithm>

#include "platform/language.h"

namespace velk {

DialogRequest CAuxChannelCountDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Number of auxiliary channels", "補助チャンネル数"));
    r.Int("Number of auxiliary channels", count, 0, 1000);
    return r;
}

DialogRequest COffsetDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Offset", "オフセット"));
    r.Float("Offset", offset, -100000.0, 100000.0).Label("Offset =").Unit("m");
    return r;
}

DialogRequest CSelectFileTypeDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Select file type", "ファイル形式の選択"));
    r.Choice("File type", fileType, {"SEG2", "Torvane series", "8 header file", "Unknown"});
    return r;
}

DialogRequest CFileNameOptionDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "File name option", "ファイル名オプション"));
    r.String("Prefix", prefix, FileListEntry::kMaxName);
    r.String("Extension", extension, FileListEntry::kMaxName);
    r.Int("Number of digits", digits);
    r.Bool("Source position", sourcePosition);
    r.Bool("Receiver position", receiverPosition);
    return r;
}

DialogRequest CUseFileInfoDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Use information in file", "ファイル内の情報を使用"));
    r.String(note, note).ReadOnly();
    r.Bool("Source position", sourcePosition);
    r.Bool("Receiver position", receiverPosition);
    return r;
}

DialogRequest CPropertyDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Property", "プロパティ"));
    r.Float("1st source", firstSource).Unit("m");
    r.Float("Offset from source to 1st receiver", offset).Unit("m");
    r.Float("Receiver interval", receiverInterval).Unit("m");
    r.Float("Source interval", sourceInterval).Unit("m");
    r.Float("First receiver position", firstReceiver).Unit("m");
    r.Choice("Layout", layout, {"Variable receiver", "Fixed receiver"});
    return r;
}

// ---------------------------------------------------------------------------------------------
// File list

const std::array<const char*, FileListEditModel::kColumns> FileListEditModel::kTitles = {
    "Index", "Edit", "ID", "Source(m)", "1st receiver(m)", "Receiver int.(m)", "# of aux."};

std::string FileListEditModel::FieldName(int column, int row)
{
    return std::string(kTitles[static_cast<size_t>(column)]) + " " + std::to_string(row);
}

void FileListEditModel::LoadList(const CFileGroup& group)
{
    count_ = std::clamp(group.entryCount, 0, kSlots);
    copy_.assign(kSlots, FileListEntry{});
    std::copy_n(group.entries.begin(), count_, copy_.begin());
    const size_t t = static_cast<size_t>(std::clamp(group.fileType, 0, CFileGroup::kNamingSchemes - 1));
    sourceFlag_ = group.sourceFromFile[t];
    receiverFlag_ = group.receiversFromFile[t];
    first_ = 0;
    setUpRuns_ = 0;
    ShowPage();
}

int FileListEditModel::StoreList(CFileGroup& group)
{
    const size_t t = static_cast<size_t>(std::clamp(group.fileType, 0, CFileGroup::kNamingSchemes - 1));
    group.sourceFromFile[t] = sourceFlag_;
    group.receiversFromFile[t] = receiverFlag_;
    std::copy_n(copy_.begin(), count_, group.entries.begin());
    return count_;
}

void FileListEditModel::ClampCount() { count_ = std::clamp(countShown_, 0, kSlots); }

void FileListEditModel::ShowPage()
{
    countShown_ = count_;
    for (int r = 0; r < kRows; ++r) {
        PageRow& row = page_[static_cast<size_t>(r)];
        const int i = first_ + r;
        row = PageRow{};
        row.index = i;
        if (i < count_) {
            row.entry = copy_[static_cast<size_t>(i)];
        } else {
            row.entry.id = -1;
        }
    }
}

void FileListEditModel::TakePage()
{
    for (int r = 0; r < kRows; ++r) {
        const int i = first_ + r;
        if (i >= kSlots) break;
        copy_[static_cast<size_t>(i)] = page_[static_cast<size_t>(r)].entry;
    }
    ClampCount();
}

void FileListEditModel::Next()
{
    TakePage();
    first_ = std::max(std::min(first_ + kRows, count_ - kRows), 0);
    ShowPage();
}

void FileListEditModel::Back()
{
    TakePage();
    first_ = std::max(first_ - kRows, 0);
    ShowPage();
}

bool FileListEditModel::SetUp(UiHost& ui, int language)
{
    CPropertyDlg dlg;
    if (count_ < 50) dlg.layout = CPropertyDlg::kFixedReceiver;
    DialogRequest r = dlg.Request(language);
    if (!ui.RunDialog(r)) return false;
    for (int i = 0; i < count_; ++i) {
        FileListEntry& e = copy_[static_cast<size_t>(i)];
        e.shotDistance = static_cast<float>(i) * dlg.sourceInterval + dlg.firstSource;
        e.receiverInterval = dlg.receiverInterval;
        e.firstReceiver = dlg.layout == CPropertyDlg::kFixedReceiver ? dlg.firstReceiver : dlg.offset + e.shotDistance;
    }
    ShowPage();
    ++setUpRuns_;
    return true;
}

bool FileListEditModel::SetAuxiliaries(UiHost& ui, int language)
{
    CAuxChannelCountDlg dlg;
    DialogRequest r = dlg.Request(language);
    if (!ui.RunDialog(r)) return false;
    for (int i = 0; i < count_; ++i) copy_[static_cast<size_t>(i)].numberOfAuxiliary = dlg.count;
    ShowPage();
    return true;
}

void FileListEditModel::DeleteSelected()
{
    std::array<int, kRows> selected{};
    for (int r = 0; r < kRows; ++r) selected[static_cast<size_t>(r)] = page_[static_cast<size_t>(r)].selected;
    TakePage();
    for (int r = kRows - 1; r >= 0; --r) {
        const int i = first_ + r;
        if (selected[static_cast<size_t>(r)] != 1 || i >= count_) continue;
        copy_.erase(copy_.begin() + i);
        copy_.emplace_back();
        --count_;
    }
    ShowPage();
}

void FileListEditModel::Finish(bool ok)
{
    if (ok) TakePage();
}

DialogRequest FileListEditModel::Request(int language, UiHost& ui)
{
    DialogRequest r(kClass, Msg(language, "File list", "ファイルリスト"));
    for (int row = 1; row <= kRows; ++row) {
        PageRow& p = page_[static_cast<size_t>(row - 1)];
        r.Int(FieldName(0, row), p.index).ReadOnly();
        r.Bool(FieldName(1, row), p.selected);
        r.Int(FieldName(2, row), p.entry.id);
        r.Float(FieldName(3, row), p.entry.shotDistance);
        r.Float(FieldName(4, row), p.entry.firstReceiver);
        r.Float(FieldName(5, row), p.entry.receiverInterval);
        r.Int(FieldName(6, row), p.entry.numberOfAuxiliary);
    }
    r.Int(kCount, countShown_, 0, kSlots);
    r.Bool(kSourceFlag, sourceFlag_);
    r.Bool(kReceiverFlag, receiverFlag_);
    // Each button works on the edited page: it is committed into the page rows first and the
    // page shown again afterwards. "Set up" and "Set # of aux." replace the page unread.
    auto button = [](auto step) {
        return [step](DialogRequest& q) {
            q.Commit();
            step();
            q.Load();
        };
    };
    r.AddButton(kBack, button([this] { Back(); }), Msg(language, kBack, "戻る"));
    r.AddButton(kNext, button([this] { Next(); }), Msg(language, kNext, "次へ"));
    r.AddButton(kSetUp, button([this, &ui, language] { SetUp(ui, language); }), Msg(language, kSetUp, "設定"));
    r.AddButton(kSetAux, button([this, &ui, language] { SetAuxiliaries(ui, language); }),
                Msg(language, kSetAux, "補助チャンネル数の設定"));
    r.AddButton(kDelete, button([this] { DeleteSelected(); }), Msg(language, kDelete, "削除"));
    return r;
}

}  // namespace velk
