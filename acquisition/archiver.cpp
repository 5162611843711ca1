#include "acquisition/archiver.h"

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <set>
#include <vector>

#include "platform/clock.h"
#include "platform/file_ops.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"
#include "survey/file_group.h"
#include "survey/survey_line_xml.h"

namespace velk {

namespace {

bool SameDay(const LocalTime& a, const LocalTime& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

bool Contains(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }

std::string DatedName(const LocalTime& t)
{
    return FormatC("QKWData_%4d_%02d_%02d_%02d_%02d", t.year, t.month, t.day, t.hour, t.minute);
}

std::string Join(const std::string& folder, const std::string& name) { return folder + "/" + name; }

// A name a list gives, as a name in the data folder: without any folder part (lists written
// elsewhere may carry one); empty when nothing usable is left.
std::string BareName(const std::string& name)
{
    const size_t cut = name.find_last_of("/\\");
    std::string bare = cut == std::string::npos ? name : name.substr(cut + 1);
    if (bare == "." || bare == "..") bare.clear();
    return bare;
}

// A file list read into a scratch group; false when the document cannot be read.
struct ListDocument {
    SurveyLine line;
    std::unique_ptr<CFileGroup> group = std::make_unique<CFileGroup>();

    bool Read(const std::string& path)
    {
        MamGeometrySlot geometry;
        geometry.present = 1;  // the array geometry is not wanted here
        return ReadLineXml(line, *group, geometry, path, 0) >= 0;
    }
    // The names the list carries besides itself: its records, then its data, result and
    // plotting files. `inUseOnly` keeps the records named by the list itself.
    std::vector<std::string> Records(bool inUseOnly) const
    {
        std::vector<std::string> names;
        for (int i = 0; i < group->entryCount; ++i) {
            const FileListEntry& e = group->entries[static_cast<size_t>(i)];
            if (inUseOnly && e.inUse != 1) continue;
            names.push_back(BareName(e.inUse == 1 ? e.fileName : group->PatternFileName(i)));
        }
        return names;
    }
    std::vector<std::string> ResultFiles() const
    {
        std::vector<std::string> names;
        if (line.hasDataFile) names.push_back(BareName(line.dataFile));
        if (line.hasResultFile) names.push_back(BareName(line.resultFile));
        if (line.hasPlottingFile) names.push_back(BareName(line.plottingFile));
        return names;
    }
};

}  // namespace

std::string LineIdOf(int index)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz";
    const int i = std::max(index, 0);
    return {kLetters[std::min(i / 26, 25)], kLetters[i % 26]};
}

Archiver::Archiver(FileOps& files, const Clock& clock, UiHost& ui, int language)
    : files_(files), clock_(clock), ui_(ui), language_(language)
{
}

std::string Archiver::DiskFullText() const
{
    return Msg(language_, "Disk full!  Enter a new disk.", "ディスクがいっぱいです。新しいディスクを入れて下さい。");
}

void Archiver::FolderFailed()
{
    ui_.Message(Msg(language_, "Failed to create new directory", "新しいフォルダを作れませんでした"), MsgButtons::Ok,
                MsgIcon::Error);
}

int Archiver::CopyWithRetry(const std::string& from, const std::string& to,
                            std::initializer_list<std::string> folders)
{
    while (!files_.CopyFile(from, to)) {
        if (ui_.Message(DiskFullText(), MsgButtons::OkCancel, MsgIcon::Warning) != MsgResult::Ok) return 0;
        for (const std::string& folder : folders) {
            if (!files_.MakeFolder(folder)) {
                FolderFailed();
                return -1;
            }
        }
    }
    return 1;
}

Archiver::Tally Archiver::CopyTodayRecords(const std::string& dataFolder, const std::string& medium)
{
    Tally t;
    const LocalTime now = clock_.LocalNow();
    std::vector<std::string> today;
    for (const FileStamp& f : files_.ListFiles(dataFolder))
        if (Contains(f.name, ".sg2") && SameDay(f.written, now)) today.push_back(f.name);
    t.filesFound = static_cast<int>(today.size());

    const std::string question =
        FormatC(Msg(language_, "The number of today files is %d.　Are you copy them ?",
                    "今日のファイルは %d 個です。　コピーしますか ?")
                    .c_str(),
                t.filesFound);
    if (ui_.Message(question, MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes) return t;
    std::unique_ptr<ProgressSink> progress =
        ui_.BeginProgress(Msg(language_, "Copying SEG2 files", "SEG2ファイルをコピーしています"));
    progress->SetRange(t.filesFound);
    if (today.empty()) return t;

    const std::string name = DatedName(now);
    const std::string moFolder = Join(medium, name);
    const std::string localFolder = Join(dataFolder, name);
    if (!files_.MakeFolder(moFolder) || !files_.MakeFolder(localFolder)) {
        FolderFailed();
        t.ended = true;
        return t;
    }
    std::vector<std::string> unmoved;
    for (const std::string& file : today) {
        const int copied = CopyWithRetry(Join(dataFolder, file), Join(moFolder, file), {moFolder});
        if (copied < 0) {
            t.ended = true;
            return t;
        }
        if (copied == 1) ++t.filesCopied;
        else ++t.notCopied;
        if (files_.MoveFile(Join(dataFolder, file), Join(localFolder, file))) ++t.filesMoved;
        else unmoved.push_back(file);
        progress->StepIt();
    }
    progress.reset();

    ui_.Message(FormatC(Msg(language_, "%d/%d files have been copied to MO(%s).", "%d/%d 個のファイルをMO(%s)にコピーしました。")
                            .c_str(),
                        t.filesCopied, t.filesFound, moFolder.c_str()));
    ui_.Message(FormatC(Msg(language_, "%d files have been moved to %s.", "%d 個のファイルを %s に移動しました。").c_str(),
                        t.filesMoved, localFolder.c_str()));
    if (t.notCopied > 0)
        ui_.Message(FormatC(Msg(language_, "%d files were not copied to MO and are in %s.",
                                "%d 個のファイルはMOにコピーされず、%s にあります。")
                                .c_str(),
                            t.notCopied, localFolder.c_str()),
                    MsgButtons::Ok, MsgIcon::Warning);
    if (!unmoved.empty()) {
        std::string names;
        for (const std::string& f : unmoved) names += "\n" + f;
        ui_.Message(FormatC(Msg(language_, "%s already holds files of these names; they stay in %s:%s",
                                "%s には同じ名前のファイルがあるため、次のファイルは %s に残ります:%s")
                                .c_str(),
                            localFolder.c_str(), dataFolder.c_str(), names.c_str()),
                    MsgButtons::Ok, MsgIcon::Warning);
    }
    return t;
}

Archiver::Tally Archiver::CopyTodayLists(const std::string& dataFolder, const std::string& medium)
{
    Tally t;
    const LocalTime now = clock_.LocalNow();
    std::set<std::string> present;
    std::vector<std::string> lists;
    for (const FileStamp& f : files_.ListFiles(dataFolder)) {
        present.insert(f.name);
        if (!Contains(f.name, "xml") || !SameDay(f.written, now)) continue;
        ListDocument doc;
        if (!doc.Read(Join(dataFolder, f.name))) continue;  // not a list: left where it is
        lists.push_back(f.name);
        t.filesFound += doc.group->entryCount;
    }
    t.listsFound = static_cast<int>(lists.size());

    const std::string question =
        FormatC(Msg(language_, "The number of today file lists is %d and waveform files is %d.　Are you copy them ?",
                    "今日のファイルリストは %d 個、波形ファイルは %d 個です。　コピーしますか ?")
                    .c_str(),
                t.listsFound, t.filesFound);
    if (ui_.Message(question, MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes) return t;
    std::unique_ptr<ProgressSink> progress =
        ui_.BeginProgress(Msg(language_, "Copying file lists", "ファイルリストをコピーしています"));
    progress->SetRange(t.filesFound);
    if (lists.empty()) return t;

    const std::string name = DatedName(now);
    const std::string moFolder = Join(medium, name);
    const std::string localFolder = Join(dataFolder, name);
    if (!files_.MakeFolder(moFolder) || !files_.MakeFolder(localFolder)) {
        FolderFailed();
        t.ended = true;
        return t;
    }
    std::vector<std::string> unmoved;
    for (const std::string& list : lists) {
        ListDocument doc;
        if (!doc.Read(Join(dataFolder, list))) continue;
        // The list's own ID names its folders; the line being recorded stays the current one.
        const std::string lineId = LineIdOf(doc.line.lineId);
        const std::string moSub = Join(moFolder, lineId);
        const std::string localSub = Join(localFolder, lineId);
        if (!files_.MakeFolder(localSub)) {
            FolderFailed();
            t.ended = true;
            break;
        }
        files_.MakeFolder(moSub);  // a failure shows as the copies' disk-full prompt
        // 0 the list file, 1 a record, 2 a result file.
        auto archive = [&](const std::string& file, int kind) {
            if (file.empty() || !present.count(file)) return true;
            const int copied = CopyWithRetry(Join(dataFolder, file), Join(moSub, file), {moFolder, moSub});
            if (copied < 0) return false;
            if (copied == 0) ++t.notCopied;
            else if (kind == 0) ++t.listsCopied;
            else if (kind == 1) ++t.filesCopied;
            if (files_.MoveFile(Join(dataFolder, file), Join(localSub, file))) {
                present.erase(file);
                if (kind == 0) ++t.listsMoved;
                else if (kind == 1) ++t.filesMoved;
            } else {
                unmoved.push_back(file);
            }
            return true;
        };
        bool go = archive(list, 0);
        for (const std::string& record : doc.Records(false)) {
            if (!go) break;
            go = archive(record, 1);
            progress->StepIt();
        }
        for (const std::string& result : doc.ResultFiles())
            if (go) go = archive(result, 2);
        if (!go) {
            t.ended = true;
            break;
        }
    }
    progress.reset();
    if (t.ended) return t;

    ui_.Message(FormatC(Msg(language_, "%d/%d file lists and %d/%d SEG2 files have been copied to MO(%s).",
                            "%d/%d 個のファイルリストと %d/%d 個のSEG2ファイルをMO(%s)にコピーしました。")
                            .c_str(),
                        t.listsCopied, t.listsFound, t.filesCopied, t.filesFound, moFolder.c_str()));
    ui_.Message(FormatC(Msg(language_, "%d/%d file lists and %d/%d SEG2 files have been moved to %s.",
                            "%d/%d 個のファイルリストと %d/%d 個のSEG2ファイルを %s に移動しました。")
                            .c_str(),
                        t.listsMoved, t.listsFound, t.filesMoved, t.filesFound, localFolder.c_str()));
    if (t.notCopied > 0)
        ui_.Message(FormatC(Msg(language_, "%d files were not copied to MO and are in %s.",
                                "%d 個のファイルはMOにコピーされず、%s にあります。")
                                .c_str(),
                            t.notCopied, localFolder.c_str()),
                    MsgButtons::Ok, MsgIcon::Warning);
    if (!unmoved.empty()) {
        std::string names;
        for (const std::string& f : unmoved) names += "\n" + f;
        ui_.Message(FormatC(Msg(language_, "%s already holds files of these names; they stay in %s:%s",
                                "%s には同じ名前のファイルがあるため、次のファイルは %s に残ります:%s")
                                .c_str(),
                            localFolder.c_str(), dataFolder.c_str(), names.c_str()),
                    MsgButtons::Ok, MsgIcon::Warning);
    }
    return t;
}

int Archiver::CopySingleFile(const std::string& dataFolder, const std::string& name, const std::string& destination)
{
    const std::string bare = BareName(name);
    if (bare.empty()) return 0;
    return CopyWithRetry(Join(dataFolder, bare), Join(destination, bare), {}) == 1 ? 1 : 0;
}

int Archiver::CopyFileList(const std::string& dataFolder, const std::string& name, const std::string& destination)
{
    const std::string bare = BareName(name);
    ListDocument doc;
    if (bare.empty() || !doc.Read(Join(dataFolder, bare))) {
        ui_.Message(FormatC(Msg(language_, "Cannot read %s", "%s を読めません").c_str(), bare.c_str()), MsgButtons::Ok,
                    MsgIcon::Error);
        return 0;
    }
    const std::string folder = Join(destination, "QKWData_" + LineIdOf(doc.line.lineId));
    if (!files_.MakeFolder(folder)) {
        FolderFailed();
        return -1;
    }
    std::vector<std::string> names{bare};
    for (const std::string& n : doc.Records(true)) names.push_back(n);
    for (const std::string& n : doc.ResultFiles()) names.push_back(n);
    std::set<std::string> present;
    for (const FileStamp& f : files_.ListFiles(dataFolder)) present.insert(f.name);
    int copied = 0;
    for (const std::string& n : names) {
        if (n.empty() || !present.count(n)) continue;
        const int r = CopyWithRetry(Join(dataFolder, n), Join(folder, n), {folder});
        if (r != 1) break;  // Cancel, or no folder: the rest is not copied
        ++copied;
    }
    ui_.Message(FormatC(Msg(language_, "%d files were copied !", "%d 個のファイルをコピーしました !").c_str(), copied));
    return copied;
}

}  // namespace velk
