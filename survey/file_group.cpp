#include "survey/file_group.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>

#include "base/position.h"
#include "dsp/edit_helpers.h"
#include "dsp/fourier.h"
#include "formats/eight_header.h"
#include "formats/file_roads.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/org_file.h"
#include "formats/seg1_560qx.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/atomic_file.h"
#include "platform/uihost.h"
#include "survey/file_list_dialogs.h"
#include "survey/result_files.h"

namespace velk {

// ---------------------------------------------------------------------------------------------
// Trace entry

void CTraceEntry::SetTrace(std::span<const float> row, const CTraceHeader& h)
{
    FreeArrays();
    header = h;
    const size_t n = static_cast<size_t>(std::max(h.samples, 0));
    samples.assign(n, 0.0f);
    const size_t k = std::min(n, row.size());
    if (k > 0) std::memcpy(samples.data(), row.data(), k * sizeof(float));
    ownsSamples = 1;
    hasSamples = 1;
    use = 1;
}

int CTraceEntry::GetSamples(std::span<float> out) const
{
    const size_t n = std::min({static_cast<size_t>(std::max(header.samples, 0)), samples.size(), out.size()});
    if (n > 0) std::memcpy(out.data(), samples.data(), n * sizeof(float));
    return static_cast<int>(n);
}

void CTraceEntry::PutSamples(std::span<const float> row, int count)
{
    const size_t n = static_cast<size_t>(std::max(count, 0));
    if (samples.size() < n) samples.resize(n, 0.0f);
    header.samples = static_cast<int32_t>(n);
    const size_t k = std::min(n, row.size());
    if (k > 0) std::memcpy(samples.data(), row.data(), k * sizeof(float));
}

CTraceHeader CTraceEntry::SetHeaderWords(const CTraceHeader& words)
{
    header = words;
    return header;
}

int CTraceEntry::ComputeSpectrum(int padding, int n)
{
    if (hasSamples != 1) return 0;
    const int p = std::clamp(padding, 1, 4);
    const int length = PowerOfTwoLength(std::max(n, 1), p);
    std::vector<double> re(static_cast<size_t>(length), 0.0);
    std::vector<double> im(static_cast<size_t>(length), 0.0);
    const size_t k = std::min({samples.size(), static_cast<size_t>(std::max(header.samples, 0)), re.size()});
    for (size_t i = 0; i < k; ++i) re[i] = samples[i];
    CFourier::Fft(re.data(), im.data(), length, 0, 0);
    spectrumRe.assign(re.begin(), re.end());
    spectrumIm.assign(im.begin(), im.end());
    spectrumLength = length;
    hasSpectrum = 1;
    return length;
}

int CTraceEntry::GetSpectrum(std::span<float> re, std::span<float> im) const
{
    const size_t n = std::min({static_cast<size_t>(std::max(spectrumLength, 0)), spectrumRe.size(),
                               spectrumIm.size(), re.size(), im.size()});
    std::copy_n(spectrumRe.begin(), n, re.begin());
    std::copy_n(spectrumIm.begin(), n, im.begin());
    return spectrumLength;
}

void CTraceEntry::Kill()
{
    alive = 0;
    std::fill(samples.begin(), samples.end(), 0.0f);
}

void CTraceEntry::ResizeSamples(int n)
{
    samples.resize(static_cast<size_t>(std::max(n, 0)), 0.0f);
    header.samples = std::max(n, 0);
}

void CTraceEntry::FreeArrays()
{
    samples.clear();
    samples.shrink_to_fit();
    spectrumRe.clear();
    spectrumIm.clear();
    ownsSamples = 0;
    hasSamples = 0;
    hasSpectrum = 0;
    spectrumLength = 0;
}

// ---------------------------------------------------------------------------------------------

namespace {

constexpr const char* kListFullText = "The file list is full: at most %d files can be listed.";
constexpr const char* kListFullJa = "ファイルリストが一杯です: 登録できるファイルは %d 個までです。";

}  // namespace

std::string ListFullText(int language)
{
    return FormatC(Msg(language, kListFullText, kListFullJa).c_str(), CFileGroup::kMaxFiles);
}

void ListFullMessage(UiHost* ui, int language)
{
    if (!ui) return;
    ui->Message(ListFullText(language), MsgButtons::Ok, MsgIcon::Warning);
}

namespace {

bool IsAbsolute(const std::string& name) { return !name.empty() && name.front() == '/'; }

std::string JoinFolder(const std::string& folder, const std::string& name)
{
    if (IsAbsolute(name) || folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string ParentFolder(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

int32_t MidpointOf(int32_t source, int32_t receiver)
{
    return static_cast<int32_t>((static_cast<int64_t>(source) + receiver) / 2);
}

// The ".dat" and ".org" names of an unknown-type entry.
std::string UnknownSeg2Name(int id)
{
    if (id <= 9) return FormatC("file000%d.dat", id);
    if (id <= 99) return FormatC("file00%d.dat", id);
    if (id <= 999) return FormatC("file0%d.dat", id);
    return FormatC("file%d.dat", id);
}

std::optional<std::string> UnknownOrgName(int id)
{
    if (id <= 9) return FormatC("Tq00%d_qk.org", id);
    if (id <= 99) return FormatC("Tq0%d_qk.org", id);
    if (id <= 999) return FormatC("Tq%d_qk.org", id);
    return std::nullopt;  // the previous name stays
}

bool CanOpen(const std::string& path) { return ByteSource::FromFile(path).Ok(); }

// Passes every call on to another host; the hosts below change what a message box does.
class ForwardingUiHost : public UiHost {
public:
    explicit ForwardingUiHost(UiHost& inner) : inner_(inner) {}

protected:
    MsgResult DoMessage(const MessageRequest& request) override { return inner_.Message(request); }
    int DoTwoChoice(const TwoChoiceRequest& request) override { return inner_.TwoChoice(request); }
    std::optional<std::string> DoOpenFile(const FileRequest& request) override { return inner_.OpenFile(request); }
    std::vector<std::string> DoOpenFiles(const FileRequest& request) override { return inner_.OpenFiles(request); }
    std::optional<std::string> DoSaveFile(const FileRequest& request) override { return inner_.SaveFile(request); }
    std::optional<std::string> DoBrowseFolder(const FolderRequest& request) override
    {
        return inner_.BrowseFolder(request);
    }
    std::unique_ptr<ProgressSink> DoBeginProgress(const std::string& caption) override
    {
        return inner_.BeginProgress(caption);
    }
    bool DoRunDialog(DialogRequest& request) override { return inner_.RunDialog(request); }

    UiHost& inner_;
};

// The messages of a listed file's read, each headed by the file's path so that the user knows
// which file of the list it is about; everything else passes through unchanged.
class FileNamingUiHost : public ForwardingUiHost {
public:
    FileNamingUiHost(UiHost& inner, const std::string& path) : ForwardingUiHost(inner), path_(path) {}
    bool Told() const { return told_; }

protected:
    MsgResult DoMessage(const MessageRequest& request) override
    {
        told_ = true;
        MessageRequest named = request;
        named.text = path_ + "\n" + request.text;
        return inner_.Message(named);
    }

private:
    const std::string& path_;
    bool told_ = false;
};

// Passes everything on but the message boxes, whose texts it keeps.
class CollectingUiHost : public ForwardingUiHost {
public:
    using ForwardingUiHost::ForwardingUiHost;
    std::vector<std::string> texts;

protected:
    MsgResult DoMessage(const MessageRequest& request) override
    {
        texts.push_back(request.text);
        return DismissResult(request.buttons);
    }
};

// The positions could not be detected: the members that gave no traces, each with what its
// reader said (the first ten, then how many more).
std::string PositionsNotReadMessage(int language, const std::vector<std::string>& failed)
{
    constexpr size_t kShown = 10;
    std::string text = Msg(language, "The source and receiver positions could not be read from the files. These files gave no traces:",
                           "ファイルから震源と受振点の位置を読み取れませんでした。トレースを読み込めなかったファイル:");
    for (size_t i = 0; i < std::min(failed.size(), kShown); ++i) text += "\n\n" + failed[i];
    if (failed.size() > kShown) {
        text += "\n\n" + FormatC(Msg(language, "... and %d more files", "... ほか %d 個のファイル").c_str(),
                                 static_cast<int>(failed.size() - kShown));
    }
    return text;
}

// Why a listed file gave no traces when its reader said nothing.
std::string NoTracesReason(const std::string& path, int language)
{
    const ByteSource file = ByteSource::FromFile(path);
    if (!file.Ok()) return UnopenedFileReason(path, file.Error(), language);
    return Msg(language, "No traces could be read from the file.", "ファイルからトレースを読み込めませんでした。");
}

}  // namespace

std::string UnopenedFileReason(const std::string& path, const std::string& error, int language)
{
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return Msg(language, "The file does not exist.", "ファイルがありません。");
    // The system's reason comes last in the error text ("cannot open "...": reason").
    const size_t colon = error.rfind(": ");
    const std::string reason = colon == std::string::npos ? error : error.substr(colon + 2);
    return Msg(language, "The file cannot be opened: ", "ファイルを開けません: ") + reason;
}

std::optional<int32_t> FileNumberOf(std::string_view name)
{
    const std::string key = FileNameSortKey(name);
    if (key.empty()) return std::nullopt;
    if (key == "-") return 0;
    return ParseInt(key);
}

// ---------------------------------------------------------------------------------------------
// Group

CFileGroup::CFileGroup()
    : entries(kMaxFiles),
      sourcePositions(kMaxSources, 0),
      receiverPositions(kMaxReceivers, 0),
      cdpPositions(kMaxCdps, 0)
{
}

int CFileGroup::CurrentType() const { return fileType >= 0 && fileType < kNamingSchemes ? fileType : 0; }

int CFileGroup::AddFile(const std::string& name, float shotDistance, float firstReceiver, float receiverInterval,
                        UiHost* ui, int language)
{
    const std::optional<int32_t> number = FileNumberOf(FileNamePart(name));
    if (!number) return entryCount;
    if (entryCount >= kMaxFiles) {
        ListFullMessage(ui, language);
        return entryCount;
    }
    FileListEntry& e = entries[static_cast<size_t>(std::max(entryCount, 0))];
    e = FileListEntry{};
    e.inUse = 1;
    e.fileName = name.substr(0, FileListEntry::kMaxName);
    e.fileType = FileTypeOfGroupMember(JoinFolder(listFolder, e.fileName), 1);
    e.hasType = 1;
    e.id = *number;
    e.shotDistance = shotDistance;
    e.firstReceiver = firstReceiver;
    e.receiverInterval = receiverInterval;
    entryCount = std::max(entryCount, 0) + 1;
    return entryCount;
}

void CFileGroup::SortEntriesById()
{
    const int n = std::clamp(entryCount, 0, kMaxFiles);
    std::stable_sort(entries.begin(), entries.begin() + n,
                     [](const FileListEntry& a, const FileListEntry& b) { return a.id < b.id; });
}

void CFileGroup::ShiftPositions(float x)
{
    const int n = std::clamp(entryCount, 0, kMaxFiles);
    for (int i = 0; i < n; ++i) {
        entries[static_cast<size_t>(i)].shotDistance += x;
        entries[static_cast<size_t>(i)].firstReceiver += x;
    }
}

std::string CFileGroup::PatternFileName(int n) const
{
    const int t = CurrentType();
    const int id = n >= 0 && n < kMaxFiles ? entries[static_cast<size_t>(n)].id : 0;
    std::string number;
    switch (digits[static_cast<size_t>(t)]) {
    case 2:
    case 3: number = FormatC("%03d", id); break;
    case 4: number = FormatC("%04d", id); break;
    case 5: number = FormatC("%05d", id); break;
    case 6: number = FormatC("%06d", id); break;
    default: number = FormatC("%d", id); break;
    }
    return prefix[static_cast<size_t>(t)] + number + extension[static_cast<size_t>(t)];
}

std::string CFileGroup::FolderOfList(const GroupReadContext& ctx) const
{
    return listFolder.empty() ? ctx.workingFolder : listFolder;
}

std::string CFileGroup::ResolveName(const std::string& name, bool inUse, const GroupReadContext& ctx) const
{
    if (inUse && ctx.instrumentMenu && !IsAbsolute(name)) return JoinFolder(ctx.dataFolder, name);
    return JoinFolder(FolderOfList(ctx), name);
}

bool CFileGroup::IsCmpGatherName(std::string_view name) const
{
    name = FileNamePart(name);
    if (IsCmpGatherFileName(name)) return true;
    const std::string& start = prefix[static_cast<size_t>(CurrentType())];
    return start.find("cmp") != std::string::npos && name.substr(0, start.size()) == start;
}

bool CFileGroup::IsCmpGather(int index) const
{
    if (index < 0 || index >= std::min(entryCount, kMaxFiles)) return false;
    const FileListEntry& e = entries[static_cast<size_t>(index)];
    return IsCmpGatherName(e.inUse == 1 ? e.fileName : PatternFileName(index));
}

std::vector<int> CFileGroup::CmpGatherMembers() const
{
    std::vector<int> members;
    for (int i = 0; i < std::min(entryCount, kMaxFiles); ++i) {
        if (IsCmpGather(i)) members.push_back(i);
    }
    return members;
}

void CFileGroup::UpdateCmpList()
{
    const int count = std::min(entryCount, kMaxFiles);
    cmpList = count > 0 && static_cast<int>(CmpGatherMembers().size()) == count ? 1 : 0;
}

int CFileGroup::GetListedPath(int n, std::string& path, const GroupReadContext& ctx) const
{
    if (n < 0 || n >= kMaxFiles) return 0;
    const FileListEntry& e = entries[static_cast<size_t>(n)];
    if (e.inUse == 1) path = ResolveName(e.fileName, true, ctx);
    return 0;
}

int CFileGroup::ReadMember(int index, LoadTarget* target, std::span<CTraceHeader> headers, std::string* pathOut,
                           const GroupReadContext& ctx)
{
    if (index < 0 || index >= std::min(entryCount, kMaxFiles)) return 0;
    const FileListEntry& e = entries[static_cast<size_t>(index)];
    if (e.hasType == 1 && e.fileType >= 0 && e.fileType < kNamingSchemes) fileType = e.fileType;
    const int flagsType = CurrentType();
    const int type = e.hasType == 1 ? e.fileType : flagsType;
    const bool inUse = e.inUse == 1;
    std::string path;
    FileNamingUiHost naming(ctx.ui, path);
    FormatContext fc{naming, ctx.language, ctx.log};

    // One reader by code; false when the file cannot be opened (no reader message then).
    auto read = [&](int code, const std::string& path) -> int {
        if (!CanOpen(path)) return 0;
        if (target) {
            switch (code) {
            case 0: return ReadSeg2FileEx(path, *target, 1, fc);
            case 1: return ReadTorvaneOrgFile(path, *target, fc);
            case 2: return ReadEightHeaderFile(path, *target, 1, fc);
            case 6: return Read560QXFile(path, *target, fc);
            default: return 0;
            }
        }
        switch (code) {
        case 0: return ReadSeg2HeadersFile(path, headers, {}, ctx.maxSample, fc);
        case 1: return ReadTorvaneOrgVariantFile(path, headers, fc);
        case 2: return CountEightHeaderTraces(path, headers);
        default: return 0;
        }
    };

    int n = 0;
    try {
        if (type == 3) {
            path = ResolveName(inUse ? e.fileName : UnknownSeg2Name(e.id), inUse, ctx);
            n = read(0, path);
            if (n < 1) {
                if (!inUse) {
                    if (const auto org = UnknownOrgName(e.id)) path = ResolveName(*org, false, ctx);
                }
                n = read(1, path);
            }
        } else {
            path = ResolveName(inUse ? e.fileName : PatternFileName(index), inUse, ctx);
            if (type == 0 || type == 1 || type == 2 || type == 6) n = read(type, path);
        }
    } catch (const TargetOverflow&) {
        naming.Message(RecordTooLargeMessage(ctx.language, ctx.maxTraces, ctx.maxSample), MsgButtons::Ok,
                       MsgIcon::Error);
        n = 0;
    }
    if (pathOut) *pathOut = path;
    const int capacity = target ? target->Capacity() : static_cast<int>(headers.size());
    n = std::min(n, capacity);
    if (n <= 0) {
        // The path, and why: the reader's own message already gave both when it spoke.
        if (!naming.Told()) {
            ctx.ui.Message(path + "\n" + NoTracesReason(path, ctx.language), MsgButtons::Ok, MsgIcon::Warning);
        }
        return 0;
    }

    // The list's positions replace the file's unless the current type keeps them.
    const bool keepSource = sourceFromFile[static_cast<size_t>(flagsType)] == 1;
    const bool keepReceivers = receiversFromFile[static_cast<size_t>(flagsType)] == 1;
    const std::optional<int32_t> source = MetresToHundredths(e.shotDistance);
    bool refused = !keepSource && !source;
    for (int k = 0; k < n && !refused; ++k) {
        CTraceHeader& h = target ? target->Header(k) : headers[static_cast<size_t>(k)];
        if (!keepSource) h.sourceHundredths = *source;
        if (!keepReceivers) {
            const float metres = static_cast<float>(k) * e.receiverInterval + e.firstReceiver;
            const std::optional<int32_t> receiver = MetresToHundredths(metres);
            if (!receiver) {
                refused = true;
                break;
            }
            h.receiverHundredths = *receiver;
        }
    }
    if (refused) {
        ctx.ui.Message(FormatC(Msg(ctx.language, "The positions of list entry %d (ID %d) cannot be used.",
                                   "リストの %d 番目 (ID %d) の位置は使えません。")
                                   .c_str(),
                               index, e.id),
                       MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }
    // A list made by a road that did not work it out: the whole list is looked at again only
    // when this member disagrees with it, so that a read of every member stays linear.
    if (IsCmpGather(index) != (cmpList == 1)) UpdateCmpList();
    return n;
}

int CFileGroup::ReadNthFile(int index, Matrix2D<float>& rows, std::span<CTraceHeader> headers,
                            std::span<CTraceHeaderEx> headersEx, std::string* pathOut, const GroupReadContext& ctx)
{
    const int capacity = static_cast<int>(std::min(headers.size(), rows.Rows()));
    if (capacity <= 0 || rows.Cols() == 0 || index < 0 || index >= std::min(entryCount, kMaxFiles)) return 0;
    LoadTarget target(0, capacity, static_cast<int>(rows.Cols()), ctx.maxSample);
    const int n = ReadMember(index, &target, {}, pathOut, ctx);
    if (n <= 0) return 0;
    for (int k = 0; k < n; ++k) {
        const std::span<float> out = rows.Row(rows.RowLow() + k);
        std::fill(out.begin(), out.end(), 0.0f);
        const std::span<const float> in = target.RowIfAny(k);
        const size_t m = std::min(in.size(), out.size());
        if (m > 0) std::memcpy(out.data(), in.data(), m * sizeof(float));
        headers[static_cast<size_t>(k)] = target.HeaderAt(k);
        if (static_cast<size_t>(k) < headersEx.size()) headersEx[static_cast<size_t>(k)] = target.HeaderExAt(k);
    }
    return std::max(0, n - entries[static_cast<size_t>(index)].numberOfAuxiliary);
}

int CFileGroup::ReadNthFileHeader(std::span<CTraceHeader> headers, int index, std::string* pathOut,
                                  const GroupReadContext& ctx)
{
    if (headers.empty() || index < 0 || index >= std::min(entryCount, kMaxFiles)) return 0;
    std::vector<CTraceHeader> scratch(headers.size());
    const int n = ReadMember(index, nullptr, scratch, pathOut, ctx);
    if (n <= 0) return 0;
    std::copy_n(scratch.begin(), n, headers.begin());
    return std::max(0, n - entries[static_cast<size_t>(index)].numberOfAuxiliary);
}

int CFileGroup::ReadListedFile(int fileIndex, Matrix2D<float>& rows, std::span<CTraceHeader> headers,
                               const GroupReadContext& ctx)
{
    std::string path;
    return ReadListedFileArgs(fileIndex, rows, headers, path, ctx);
}

int CFileGroup::ReadListedFileArgs(int fileIndex, Matrix2D<float>& rows, std::span<CTraceHeader> headers,
                                   std::string& pathOut, const GroupReadContext& ctx)
{
    std::vector<CTraceHeaderEx> records(headers.size());
    return ReadNthFile(fileIndex, rows, headers, records, &pathOut, ctx);
}

// ---------------------------------------------------------------------------------------------
// List makers

namespace {

// Fills the list from names (in their order) found in `folder`; returns the listed count.
// Each listed name is also handed to `listed` (name, number text, index).
int FillList(CFileGroup& g, const std::string& folder, const std::vector<std::string>& names, UiHost& ui,
             int language, const std::function<void(const std::string&, const std::string&, int)>& listed)
{
    int count = 0;
    for (const std::string& full : names) {
        const std::string name(FileNamePart(full));
        const std::optional<int32_t> number = FileNumberOf(name);
        if (!number) continue;
        if (count >= CFileGroup::kMaxFiles) {
            ListFullMessage(&ui, language);
            break;
        }
        FileListEntry& e = g.entries[static_cast<size_t>(count)];
        e = FileListEntry{};
        e.inUse = 1;
        e.fileName = name.substr(0, FileListEntry::kMaxName);
        e.fileType = FileTypeOfGroupMember(JoinFolder(folder, name), 1);
        e.hasType = 1;
        e.id = *number;
        e.receiverInterval = 1.0f;
        if (listed) listed(name, FileNameSortKey(name), count);
        ++count;
    }
    g.entryCount = count;
    g.listFolder = folder;
    g.SortEntriesById();
    g.UpdateCmpList();
    if (count > 0) {
        const int t = g.entries[0].fileType;
        if (t >= 0 && t < CFileGroup::kNamingSchemes) g.fileType = t;
    }
    return count;
}

std::string OpenedMessage(int language, int count)
{
    if (count == 1) return Msg(language, "1 file has been opened!", "1 個のファイルを開きました!");
    return FormatC(Msg(language, "%d files have been opened!", "%d 個のファイルを開きました!").c_str(), count);
}

}  // namespace

int CFileGroup::ListSelectedFiles(const GroupReadContext& ctx)
{
    FileRequest request;
    request.filters = {{"All files(*.*)", "*.*"}};
    request.initialName = "*.*";
    request.initialFolder = FolderOfList(ctx);
    const std::vector<std::string> paths = ctx.ui.OpenFiles(request);
    if (paths.empty()) return -1;
    FillList(*this, ParentFolder(paths.front()), paths, ctx.ui, ctx.language, {});
    ctx.ui.Message(OpenedMessage(ctx.language, entryCount), MsgButtons::Ok, MsgIcon::Info);
    return entryCount;
}

int CFileGroup::ListFolder(const std::string& folder, const GroupReadContext& ctx)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        // The line's own results and logs are never its shots.
        std::string name = it->path().filename().string();
        if (it->is_regular_file(ec) && !IsProgramResultFile(name)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    const std::string search = JoinFolder(folder, "*.*");
    std::string log = FormatC("%s\n", search.c_str());
    FillList(*this, folder, names, ctx.ui, ctx.language,
             [&](const std::string& name, const std::string& number, int index) {
                 log += FormatC("%s %s %s %d \n", search.c_str(), name.c_str(), number.c_str(), index);
             });
    ctx.log.Rewrite("multi_select.txt", log);
    return entryCount;
}

int CFileGroup::ListFolderByBrowse(const GroupReadContext& ctx)
{
    FolderRequest request;
    request.initialFolder = FolderOfList(ctx);
    const std::optional<std::string> folder = ctx.ui.BrowseFolder(request);
    if (!folder) return -1;
    ListFolder(*folder, ctx);
    ctx.ui.Message(OpenedMessage(ctx.language, entryCount), MsgButtons::Ok, MsgIcon::Info);
    return entryCount;
}

void CFileGroup::DetectFilePositions(const GroupReadContext& ctx)
{
    const int count = std::min(entryCount, kMaxFiles);
    if (count <= 0) return;
    // The files are read as they are: every from-file flag is 1 while they are read.
    const auto sources = sourceFromFile;
    const auto receivers = receiversFromFile;
    sourceFromFile.fill(1);
    receiversFromFile.fill(1);
    // The receivers are judged from the receivers of the first member that gives traces, the
    // sources from every member: a line whose first two shots share a position (a repeated
    // shot) still holds its positions in the files. What the readers say is kept back: a
    // member skipped here is named when it is read, and all of them are named when the
    // positions cannot be read at all.
    CollectingUiHost quiet(ctx.ui);
    const GroupReadContext q = ctx.WithUi(quiet);
    std::vector<CTraceHeader> first;
    bool sourcesDiffer = false;
    int firstSource = 0;
    size_t found = 0;
    std::vector<std::string> failed;
    for (int i = 0; i < count && !sourcesDiffer; ++i) {
        std::vector<CTraceHeader> headers(static_cast<size_t>(std::max(ctx.maxTraces, 1)));
        const size_t said = quiet.texts.size();
        std::string path;
        const int n = ReadNthFileHeader(headers, i, &path, q);
        if (n > 0) {
            headers.resize(static_cast<size_t>(n));
            if (found == 0) {
                firstSource = headers[0].sourceHundredths;
                first = std::move(headers);
            } else if (headers[0].sourceHundredths != firstSource) {
                sourcesDiffer = true;
            }
            ++found;
            continue;
        }
        std::string why;
        for (size_t k = said; k < quiet.texts.size(); ++k) why += (why.empty() ? "" : "\n") + quiet.texts[k];
        failed.push_back(why.empty() ? path : why);
    }
    sourceFromFile = sources;
    receiversFromFile = receivers;
    const size_t needed = count >= 2 ? 2 : 1;
    if (found < needed) {
        ctx.ui.Message(PositionsNotReadMessage(ctx.language, failed), MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    const int receiverFlag = first.front().receiverHundredths != first.back().receiverHundredths ? 1 : 0;
    const int sourceFlag = found >= 2 ? (sourcesDiffer ? 1 : 0) : receiverFlag;
    sourceFromFile[static_cast<size_t>(CurrentType())] = sourceFlag;
    receiversFromFile[static_cast<size_t>(CurrentType())] = receiverFlag;
}

bool CFileGroup::EditNamingOptions(int mode, UiHost& ui, int language)
{
    if (mode == 1) {
        CSelectFileTypeDlg select;
        select.fileType = CurrentType();
        DialogRequest r = select.Request(language);
        if (!ui.RunDialog(r) || select.fileType < 0 || select.fileType >= kNamingSchemes) return false;
        fileType = select.fileType;
        const size_t t = static_cast<size_t>(fileType);
        if (prefix[t].find("cmp") != std::string::npos) cmpList = 1;
        CFileNameOptionDlg option;
        option.prefix = prefix[t];
        option.extension = extension[t];
        option.digits = digits[t];
        option.sourcePosition = cmpList == 1 ? 1 : sourceFromFile[t];
        option.receiverPosition = cmpList == 1 ? 1 : receiversFromFile[t];
        DialogRequest o = option.Request(language);
        if (!ui.RunDialog(o)) return false;
        prefix[t] = option.prefix;
        extension[t] = option.extension;
        digits[t] = option.digits;
        sourceFromFile[t] = option.sourcePosition;
        receiversFromFile[t] = option.receiverPosition;
        return true;
    }
    const size_t t = static_cast<size_t>(CurrentType());
    CUseFileInfoDlg info;
    info.sourcePosition = sourceFromFile[t];
    info.receiverPosition = receiversFromFile[t];
    DialogRequest r = info.Request(language);
    if (!ui.RunDialog(r)) return false;
    sourceFromFile[t] = info.sourcePosition;
    receiversFromFile[t] = info.receiverPosition;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Text and tabular lists

int CFileGroup::ReadTextList(const std::string& path, int first, UiHost& ui, int language)
{
    ByteSource file = ByteSource::FromFile(path);
    if (!file.Ok()) return entryCount;
    std::string text(static_cast<size_t>(file.Size()), '\0');
    if (file.ReadBytes(text.data(), text.size()) != text.size()) return entryCount;
    return ReadTextListText(text, first, ui, language);
}

int CFileGroup::ReadTextListText(std::string_view text, int first, UiHost& ui, int language)
{
    first = std::clamp(first, 0, kMaxFiles);
    const std::string_view firstLine = text.substr(0, text.find('\n'));
    auto numbers = [](std::string_view line) {
        TextScanner s(line);
        int32_t i = 0;
        float f = 0.0f;
        int n = 0;
        if (!s.ReadInt(i)) return n;
        for (++n; n < 4; ++n) {
            if (!s.ReadFloat(f)) return n;
        }
        return s.ReadInt(i) ? 5 : 4;
    };
    const int form = numbers(firstLine);
    if (form < 4) {
        entryCount = first;
        return entryCount;
    }
    int auxiliaries = 0;
    if (form == 4) {
        CAuxChannelCountDlg dlg;
        DialogRequest r = dlg.Request(language);
        if (!ui.RunDialog(r)) {
            entryCount = first;
            return entryCount;
        }
        auxiliaries = dlg.count;
    }
    TextScanner s(text);
    int i = first;
    while (true) {
        FileListEntry e;
        if (!s.ReadInt(e.id) || !s.ReadFloat(e.shotDistance) || !s.ReadFloat(e.firstReceiver) ||
            !s.ReadFloat(e.receiverInterval)) {
            break;
        }
        if (form == 5) {
            if (!s.ReadInt(e.numberOfAuxiliary)) break;
        } else {
            e.numberOfAuxiliary = auxiliaries;
        }
        if (i >= kMaxFiles) {
            ListFullMessage(&ui, language);
            break;
        }
        entries[static_cast<size_t>(i)] = e;
        ++i;
    }
    entryCount = i;
    return entryCount;
}

int CFileGroup::WriteTextList(const std::string& path) const
{
    std::string text;
    const int n = std::clamp(entryCount, 0, kMaxFiles);
    for (int i = 0; i < n; ++i) {
        const FileListEntry& e = entries[static_cast<size_t>(i)];
        text += FormatC(" %d %f %f %f %d\n", e.id, static_cast<double>(e.shotDistance),
                        static_cast<double>(e.firstReceiver), static_cast<double>(e.receiverInterval),
                        e.numberOfAuxiliary);
    }
    return WriteFileAtomically(path, text) ? 1 : 0;
}

int CFileGroup::WriteTabularList(const std::string& path, const GroupReadContext& ctx)
{
    std::string text = IsJapanese(ctx.language)
                           ? "ファイル名\t震源位置(m)\t最初の受振点位置(m)\t最後の受振点位置(m)\t受振点間隔(m)\t受振点数\n"
                           : "FileName\tSourceLocation(m)\tFirstReceiverLocation(m)\tLastReceiverLocation(m)\t"
                             "ReceiverSpacing(m)\tNumberOfReceivers\n";
    std::vector<CTraceHeader> headers(static_cast<size_t>(std::max(ctx.maxTraces, 1)));
    const int count = std::clamp(entryCount, 0, kMaxFiles);
    for (int i = 0; i < count; ++i) {
        const int n = ReadNthFileHeader(headers, i, nullptr, ctx);
        const FileListEntry& e = entries[static_cast<size_t>(i)];
        const size_t t = static_cast<size_t>(CurrentType());
        double source = e.shotDistance;
        double firstReceiver = e.firstReceiver;
        double spacing = e.receiverInterval;
        double last = firstReceiver + spacing * (n - 1);
        if (sourceFromFile[t] == 1 && n >= 1) source = headers[0].sourceHundredths * 0.01;
        if (receiversFromFile[t] == 1) {
            if (n >= 1) {
                firstReceiver = headers[0].receiverHundredths * 0.01;
                last = headers[static_cast<size_t>(n - 1)].receiverHundredths * 0.01;
            }
            if (n >= 2) spacing = (headers[1].receiverHundredths - headers[0].receiverHundredths) * 0.01;
        }
        text += FormatC("%s\t%f\t%f\t%f\t%f\t%d\n", e.fileName.c_str(), source, firstReceiver, last, spacing, n);
    }
    return WriteFileAtomically(path, text) ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// Table

int CFileGroup::AllocateTable(int sources, int receivers)
{
    if (tableAllocated == 1) return -1;
    const int s = std::max(sources, 0);
    const int r = std::max(receivers, 0);
    table.assign(static_cast<size_t>(s), std::vector<CTraceEntry>(static_cast<size_t>(r)));
    rowsAllocated = s;
    columnsAllocated = s + r;
    tableAllocated = 1;
    return s * (s + r);
}

void CFileGroup::FreeTable()
{
    table.clear();
    table.shrink_to_fit();
    tracesOutsideTable.clear();
    rowsAllocated = 0;
    columnsAllocated = 0;
    sourceCount = 0;
    receiverCount = 0;
    cdpCount = 0;
    tableAllocated = 0;
    dataLoaded = 0;
}

int CFileGroup::BuildGeometry(const GroupReadContext& ctx, bool verbose,
                              const std::function<void(const std::string&)>& progress)
{
    const int files = std::clamp(entryCount, 0, kMaxFiles);
    std::vector<std::vector<CTraceHeader>> fileHeaders(static_cast<size_t>(files));
    std::vector<std::string> paths(static_cast<size_t>(files));
    std::vector<CTraceHeader> scratch(static_cast<size_t>(std::max(ctx.maxTraces, 1)));
    for (int i = 0; i < files; ++i) {
        const int n = ReadNthFileHeader(scratch, i, &paths[static_cast<size_t>(i)], ctx);
        fileHeaders[static_cast<size_t>(i)].assign(scratch.begin(), scratch.begin() + n);
    }

    FreeTable();
    geometryTraces = 0;
    positions = 0;
    std::vector<int32_t> sources, receivers, cdps;
    bool overflow = false;
    auto insert = [&](std::vector<int32_t>& values, int32_t v, int limit) {
        if (std::binary_search(values.begin(), values.end(), v)) return;
        if (static_cast<int>(values.size()) >= limit) {
            overflow = true;
            return;
        }
        InsertSortedUniqueInt(values, v);
    };
    std::string log = FormatC("File header : # of files = %d\n", files);
    for (int i = 0; i < files; ++i) {
        const auto& hs = fileHeaders[static_cast<size_t>(i)];
        const int n = static_cast<int>(hs.size());
        if (verbose) {
            log += FormatC(" %d %d %d file type=%d %s \n", i, n, entries[static_cast<size_t>(i)].numberOfAuxiliary,
                           fileType, paths[static_cast<size_t>(i)].c_str());
            if (progress) progress(FormatC("file=%d/%d # of traces=%d", i + 1, files, n));
        }
        for (int t = 0; t < n; ++t) {
            const CTraceHeader& h = hs[static_cast<size_t>(t)];
            insert(receivers, h.receiverHundredths, kMaxReceivers);
            insert(sources, h.sourceHundredths, kMaxSources);
            insert(cdps, MidpointOf(h.sourceHundredths, h.receiverHundredths), kMaxCdps);
            log += FormatC("file number=%d trace number=%d source=%dcm receiver=%d \n", i, t, h.sourceHundredths,
                           h.receiverHundredths);
        }
    }
    auto list = [&](const char* title, const std::vector<int32_t>& values) {
        log += title;
        for (size_t k = 0; k < values.size(); ++k) log += FormatC("%d %d \n", static_cast<int>(k), values[k]);
    };
    list("Receiver location\n", receivers);
    list("Source location\n", sources);
    list("CDP location\n", cdps);
    if (overflow) {
        ctx.log.Rewrite("geometry.txt", log);
        ctx.ui.Message(FormatC(Msg(ctx.language,
                                   "Too many positions: at most %d sources, %d receivers and %d CDPs. No geometry "
                                   "was built.",
                                   "位置が多すぎます: 震源は %d、受振点は %d、CDP は %d までです。ジオメトリは作成されません"
                                   "でした。")
                                   .c_str(),
                               kMaxSources, kMaxReceivers, kMaxCdps),
                       MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }
    sourceCount = static_cast<int32_t>(sources.size());
    receiverCount = static_cast<int32_t>(receivers.size());
    cdpCount = static_cast<int32_t>(cdps.size());
    std::copy(sources.begin(), sources.end(), sourcePositions.begin());
    std::copy(receivers.begin(), receivers.end(), receiverPositions.begin());
    std::copy(cdps.begin(), cdps.end(), cdpPositions.begin());
    positions = AllocateTable(sourceCount, receiverCount);
    if (verbose) {
        ctx.ui.Message(FormatC(Msg(ctx.language,
                                   "# of sources = %d # of receivers = %d # of positisons = %d # of CDP = %d ",
                                   "震源数 = %d 受振点数 = %d 位置数 = %d CDP数 = %d ")
                                   .c_str(),
                               sourceCount, receiverCount, positions, cdpCount),
                       MsgButtons::Ok, MsgIcon::Info);
    }
    if (!sources.empty() || !receivers.empty()) {
        int32_t lo = INT32_MAX;
        int32_t hi = INT32_MIN;
        for (const auto* v : {&sources, &receivers}) {
            if (v->empty()) continue;
            lo = std::min(lo, v->front());
            hi = std::max(hi, v->back());
        }
        minPosition = lo;
        maxPosition = hi;
    }
    // The first trace in list and file order takes its cell.
    for (int i = 0; i < files; ++i) {
        const auto& hs = fileHeaders[static_cast<size_t>(i)];
        for (size_t t = 0; t < hs.size(); ++t) {
            const auto s = std::lower_bound(sources.begin(), sources.end(), hs[t].sourceHundredths) - sources.begin();
            const auto r =
                std::lower_bound(receivers.begin(), receivers.end(), hs[t].receiverHundredths) - receivers.begin();
            CTraceEntry& cell = table[static_cast<size_t>(s)][static_cast<size_t>(r)];
            if (cell.use == 1) {
                // An earlier member holds the cell (a repeated shot): this member's own
                // record is read from its file when it is analysed alone.
                tracesOutsideTable.resize(static_cast<size_t>(files), 0);
                ++tracesOutsideTable[static_cast<size_t>(i)];
                continue;
            }
            cell.use = 1;
            cell.fileIndex = i;
            cell.traceIndex = static_cast<int32_t>(t);
            ++geometryTraces;
        }
    }
    if (verbose) {
        ctx.ui.Message(FormatC(Msg(ctx.language, "Total traces in Geometry = %d from %d cm to %d cm",
                                   "ジオメトリ内の全トレース数 = %d  %d cm から %d cm").c_str(),
                               geometryTraces, minPosition, maxPosition),
                       MsgButtons::Ok, MsgIcon::Info);
    }
    ctx.log.Rewrite("geometry.txt", log);
    return geometryTraces;
}

int CFileGroup::ReadWaveformData(const GroupReadContext& ctx, bool verbose,
                                 const std::function<void(const std::string&)>& progress)
{
    if (tableAllocated != 1) return dataLoaded;
    const int maxTraces = std::max(ctx.maxTraces, 1);
    const int maxSample = std::max(ctx.maxSample, 1);
    Matrix2D<float> rows(0, maxTraces - 1, 0, maxSample - 1);
    std::vector<CTraceHeader> headers(static_cast<size_t>(maxTraces));
    std::vector<CTraceHeaderEx> records(static_cast<size_t>(maxTraces));
    // Cell of (file, trace), the first in table order.
    std::map<std::pair<int, int>, CTraceEntry*> cells;
    for (auto& row : table) {
        for (CTraceEntry& cell : row) {
            if (cell.fileIndex >= 0) cells.emplace(std::make_pair(cell.fileIndex, cell.traceIndex), &cell);
        }
    }
    int count = 0;
    int longest = 0;
    bool mismatch = false;
    const int files = std::clamp(entryCount, 0, kMaxFiles);
    for (int i = 0; i < files; ++i) {
        const int n = ReadNthFile(i, rows, headers, records, nullptr, ctx);
        if (progress) progress(FormatC("File=%d # of traces=%d", i, n));
        for (int k = 0; k < n; ++k) {
            const auto it = cells.find({i, k});
            if (it == cells.end()) continue;
            const CTraceHeader& h = headers[static_cast<size_t>(k)];
            it->second->SetTrace(rows.Row(k), h);
            if (count > 0 && h.samples != longest) mismatch = true;
            longest = std::max(longest, h.samples);
            ++count;
        }
    }
    tracesRead = count;
    if (verbose) {
        ctx.ui.Message(FormatC(Msg(ctx.language, "%d waveform trace data are read for %d traces",
                                   "%d 個の波形データを %d トレースに対して読み込みました").c_str(),
                               tracesRead, geometryTraces),
                       MsgButtons::Ok, MsgIcon::Info);
    }
    if (tracesRead == geometryTraces) dataLoaded = 1;
    if (mismatch) {
        const MsgResult answer =
            ctx.ui.Message(FormatC(Msg(ctx.language, "Set data length to %d", "データ長を %d にします").c_str(), longest),
                           MsgButtons::OkCancel, MsgIcon::Question);
        if (answer == MsgResult::Ok) SetDataLength(longest);
    }
    return dataLoaded;
}

void CFileGroup::SetDataLength(int n)
{
    for (auto& row : table) {
        for (CTraceEntry& cell : row) {
            if (cell.hasSamples == 1 && cell.header.samples != n) cell.ResizeSamples(n);
        }
    }
}

int CFileGroup::ComputeCellSpectra(int padding)
{
    if (tableAllocated != 1) return 0;
    int n = 0;
    for (auto& row : table) {
        for (const CTraceEntry& cell : row) n = std::max(n, cell.header.samples);
    }
    int done = 0;
    for (auto& row : table) {
        for (CTraceEntry& cell : row) {
            if (cell.ComputeSpectrum(padding, n) > 0) ++done;
        }
    }
    return done;
}

int CFileGroup::MaxUsedCellsPerRow() const
{
    int most = 0;
    for (const auto& row : table) {
        most = std::max(most, static_cast<int>(std::count_if(row.begin(), row.end(),
                                                             [](const CTraceEntry& c) { return c.use == 1; })));
    }
    return most;
}

int CFileGroup::KillTraces(std::span<const int32_t> receiverHundredths)
{
    int hit = 0;
    for (auto& cells : table) {
        for (CTraceEntry& cell : cells) {
            if (std::find(receiverHundredths.begin(), receiverHundredths.end(), cell.header.receiverHundredths) !=
                receiverHundredths.end()) {
                cell.Kill();
                ++hit;
            }
        }
    }
    return hit;
}

namespace {

const CTraceEntry* CellAt(const std::vector<std::vector<CTraceEntry>>& table, int s, int r)
{
    if (s < 0 || r < 0 || static_cast<size_t>(s) >= table.size()) return nullptr;
    const auto& row = table[static_cast<size_t>(s)];
    return static_cast<size_t>(r) < row.size() ? &row[static_cast<size_t>(r)] : nullptr;
}

}  // namespace

int CFileGroup::GetTrace(std::span<float> row, CTraceHeader& header, int s, int r) const
{
    if (s >= sourceCount || r >= receiverCount) return 0;
    const CTraceEntry* cell = CellAt(table, s, r);
    if (!cell || cell->hasSamples != 1) return 0;
    header = cell->header;
    cell->GetSamples(row);
    return 1;
}

int CFileGroup::GetTraceSpectrum(std::span<float> re, std::span<float> im, CTraceHeader& header, int s, int r) const
{
    if (s >= sourceCount || r >= receiverCount) return 0;
    const CTraceEntry* cell = CellAt(table, s, r);
    if (!cell || cell->spectrumLength <= 0) return 0;
    header = cell->header;
    return cell->GetSpectrum(re, im);
}

int CFileGroup::GetTraceHeader(CTraceHeader& header, int s, int r) const
{
    if (s >= sourceCount || r >= receiverCount) return 0;
    const CTraceEntry* cell = CellAt(table, s, r);
    if (!cell || cell->hasSamples != 1) return 0;
    header = cell->header;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Project file

int CFileGroup::Save(ByteSink& sink) const
{
    if (dataLoaded != 1) return 0;
    constexpr auto le = ByteOrder::Little;
    sink.WriteBytes(signature.data(), 10);
    sink.WriteI32(reserved, le);
    sink.WriteI32(sourceCount, le);
    sink.WriteI32(receiverCount, le);
    for (int s = 0; s < sourceCount; ++s) sink.WriteI32(sourcePositions[static_cast<size_t>(s)], le);
    for (int r = 0; r < receiverCount; ++r) sink.WriteI32(receiverPositions[static_cast<size_t>(r)], le);
    for (int s = 0; s < sourceCount; ++s) {
        for (int r = 0; r < receiverCount; ++r) {
            static const CTraceEntry kEmpty;
            const CTraceEntry* found = CellAt(table, s, r);
            const CTraceEntry& cell = found ? *found : kEmpty;
            CTraceHeader h = cell.header;
            h.WriteBinary(sink);
            sink.WriteI32(cell.use, le);
            sink.WriteI32(cell.hasSamples, le);
            if (cell.hasSamples != 1) continue;
            const size_t n = static_cast<size_t>(std::max(h.samples, 0));
            std::vector<float> words(n, 0.0f);
            std::copy_n(cell.samples.begin(), std::min(n, cell.samples.size()), words.begin());
            for (float v : words) sink.WriteF32(v, le);
        }
    }
    return sink.Ok() ? 1 : 0;
}

ProjectLoadStatus CFileGroup::Load(ByteSource& source, int maxSample, int* traces)
{
    constexpr auto le = ByteOrder::Little;
    if (traces) *traces = 0;
    char sig[10] = {};
    if (source.ReadBytes(sig, sizeof sig) != sizeof sig) return ProjectLoadStatus::Bad;
    if (std::memcmp(sig, kSignature, 9) != 0) return ProjectLoadStatus::WrongSignature;
    int32_t reservedWord = 0, s = 0, r = 0;
    if (source.ReadI32(reservedWord, le) != 4 || source.ReadI32(s, le) != 4 || source.ReadI32(r, le) != 4) {
        return ProjectLoadStatus::Bad;
    }
    if (s < 1 || s > kMaxSources || r < 1 || r > kMaxReceivers) return ProjectLoadStatus::Bad;
    std::vector<int32_t> sources(static_cast<size_t>(s)), receivers(static_cast<size_t>(r));
    for (auto* v : {&sources, &receivers}) {
        for (int32_t& p : *v) {
            if (source.ReadI32(p, le) != 4) return ProjectLoadStatus::Bad;
        }
    }
    // Every cell record takes at least 40 bytes: a file too short for them is refused before
    // the table is made.
    constexpr uint64_t kCellBytes = 40;
    if (static_cast<uint64_t>(s) * static_cast<uint64_t>(r) * kCellBytes > source.Remaining()) {
        return ProjectLoadStatus::Bad;
    }
    std::vector<std::vector<CTraceEntry>> cells(static_cast<size_t>(s), std::vector<CTraceEntry>(static_cast<size_t>(r)));
    int count = 0;
    for (auto& row : cells) {
        for (CTraceEntry& cell : row) {
            if (cell.header.ReadBinary(source) != 32) return ProjectLoadStatus::Bad;
            if (source.ReadI32(cell.use, le) != 4 || source.ReadI32(cell.hasSamples, le) != 4) {
                return ProjectLoadStatus::Bad;
            }
            if (cell.hasSamples != 1) continue;
            const int32_t n = cell.header.samples;
            if (n < 0 || static_cast<uint64_t>(n) * 4 > source.Remaining()) return ProjectLoadStatus::Bad;
            if (n > maxSample) return ProjectLoadStatus::TooLarge;
            cell.samples.resize(static_cast<size_t>(n));
            if (n > 0 && source.ReadBytes(cell.samples.data(), static_cast<size_t>(n) * 4) != static_cast<size_t>(n) * 4) {
                return ProjectLoadStatus::Bad;
            }
            cell.ownsSamples = 1;
            ++count;
        }
    }

    FreeTable();
    table = std::move(cells);
    reserved = reservedWord;
    rowsAllocated = s;
    columnsAllocated = s + r;
    tableAllocated = 1;
    positions = s * (s + r);
    sourceCount = s;
    receiverCount = r;
    std::copy(sources.begin(), sources.end(), sourcePositions.begin());
    std::copy(receivers.begin(), receivers.end(), receiverPositions.begin());
    minPosition = std::min(*std::min_element(sources.begin(), sources.end()),
                           *std::min_element(receivers.begin(), receivers.end()));
    maxPosition = std::max(*std::max_element(sources.begin(), sources.end()),
                           *std::max_element(receivers.begin(), receivers.end()));
    geometryTraces = count;
    tracesRead = count;
    if (count > 0) dataLoaded = 1;
    if (traces) *traces = count;
    return ProjectLoadStatus::Loaded;
}

void CFileGroup::AdoptTable(CFileGroup&& other)
{
    table = std::move(other.table);
    reserved = other.reserved;
    rowsAllocated = other.rowsAllocated;
    columnsAllocated = other.columnsAllocated;
    tableAllocated = other.tableAllocated;
    positions = other.positions;
    geometryTraces = other.geometryTraces;
    tracesRead = other.tracesRead;
    sourceCount = other.sourceCount;
    receiverCount = other.receiverCount;
    cdpCount = other.cdpCount;
    sourcePositions = std::move(other.sourcePositions);
    receiverPositions = std::move(other.receiverPositions);
    cdpPositions = std::move(other.cdpPositions);
    minPosition = other.minPosition;
    maxPosition = other.maxPosition;
    dataLoaded = other.dataLoaded;
    other = CFileGroup();
}

// ---------------------------------------------------------------------------------------------
// Gathers

namespace {

// Copies taken cells into the caller's rows and headers from 0, at most `capacity` of them.
// A cell offered after the capacity was reached is not taken and marks the gather as stopped.
struct GatherWriter {
    Matrix2D<float>& rows;
    std::span<CTraceHeader> headers;
    int capacity;
    bool mark;
    int count = 0;
    bool stopped = false;

    // False when the capacity is reached (the cell is not taken).
    bool Take(CTraceEntry& cell)
    {
        if (count >= capacity) {
            stopped = true;
            return false;
        }
        CTraceHeader& h = headers[static_cast<size_t>(count)];
        h = cell.GetHeader();
        const std::span<float> row = rows.Row(rows.RowLow() + count);
        std::fill(row.begin(), row.end(), 0.0f);
        h.samples = cell.GetSamples(row);
        if (mark) cell.mark = 1;
        ++count;
        return true;
    }
    CTraceHeader& Last() { return headers[static_cast<size_t>(count - 1)]; }
    int Finish(bool* stoppedOut) const
    {
        if (stoppedOut) *stoppedOut = stopped;
        return count;
    }
};

int64_t Distance(int64_t a, int64_t b) { return a > b ? a - b : b - a; }

}  // namespace

int CFileGroup::TableSources() const
{
    return std::max(0, std::min({sourceCount, static_cast<int32_t>(table.size()), static_cast<int32_t>(sourcePositions.size())}));
}

int CFileGroup::TableReceivers(int row) const
{
    if (row < 0 || row >= static_cast<int>(table.size())) return 0;
    return std::max(0, std::min({receiverCount, static_cast<int32_t>(table[static_cast<size_t>(row)].size()),
                                 static_cast<int32_t>(receiverPositions.size())}));
}

int CFileGroup::GatherCapacity(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers) const
{
    if (table.empty()) return 0;
    return static_cast<int>(std::min(headers.size(), rows.Rows()));
}

int CFileGroup::ShotGatherSize(int sourceIndex) const
{
    const int sources = TableSources();
    if (sources <= 0) return 0;
    const int s = std::clamp(sourceIndex, 0, sources - 1);
    const auto& row = table[static_cast<size_t>(s)];
    const int receivers = TableReceivers(s);
    return static_cast<int>(std::count_if(row.begin(), row.begin() + receivers,
                                          [](const CTraceEntry& c) { return c.hasSamples == 1; }));
}

int CFileGroup::BuildGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int sourceIndex, bool* stopped)
{
    if (stopped) *stopped = false;
    const int capacity = GatherCapacity(rows, headers);
    const int sources = TableSources();
    if (capacity == 0 || sources <= 0) return 0;
    const int s = std::clamp(sourceIndex, 0, sources - 1);
    ClearMarks();
    GatherWriter out{rows, headers, capacity, true};
    auto& row = table[static_cast<size_t>(s)];
    for (int j = 0; j < TableReceivers(s); ++j) {
        CTraceEntry& cell = row[static_cast<size_t>(j)];
        if (cell.hasSamples == 1 && !out.Take(cell)) break;
    }
    return out.Finish(stopped);
}

int CFileGroup::ShotRecordGather(int fileIndex, Matrix2D<float>& rows, std::span<CTraceHeader> headers,
                                 std::string* pathOut, const GroupReadContext& ctx, bool* stopped)
{
    if (stopped) *stopped = false;
    const int capacity = GatherCapacity(rows, headers);
    if (capacity <= 0 || fileIndex < 0 || fileIndex >= std::min(entryCount, kMaxFiles)) return 0;
    if (pathOut && static_cast<size_t>(fileIndex) < entries.size()) {
        const FileListEntry& e = entries[static_cast<size_t>(fileIndex)];
        *pathOut = e.inUse == 1 ? e.fileName : PatternFileName(fileIndex);
    }
    const bool whole = static_cast<size_t>(fileIndex) >= tracesOutsideTable.size() ||
                       tracesOutsideTable[static_cast<size_t>(fileIndex)] == 0;
    if (whole) {
        // The table holds every trace of the member: its cells, as edited, in receiver order.
        ClearMarks();
        GatherWriter out{rows, headers, capacity, true};
        for (int s = 0; s < TableSources(); ++s) {
            auto& row = table[static_cast<size_t>(s)];
            for (int j = 0; j < TableReceivers(s); ++j) {
                CTraceEntry& cell = row[static_cast<size_t>(j)];
                if (cell.fileIndex == fileIndex && cell.hasSamples == 1 && !out.Take(cell)) return out.Finish(stopped);
            }
        }
        return out.Finish(stopped);
    }
    const int maxTraces = std::max(ctx.maxTraces, 1);
    Matrix2D<float> read(0, maxTraces - 1, 0, std::max(std::max(ctx.maxSample, 1), static_cast<int>(rows.Cols())) - 1);
    std::vector<CTraceHeader> readHeaders(static_cast<size_t>(maxTraces));
    std::vector<CTraceHeaderEx> records(static_cast<size_t>(maxTraces));
    const int n = ReadNthFile(fileIndex, read, readHeaders, records, pathOut, ctx);
    if (n <= 0) return 0;
    std::vector<int> order(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) order[static_cast<size_t>(k)] = k;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return readHeaders[static_cast<size_t>(a)].receiverHundredths < readHeaders[static_cast<size_t>(b)].receiverHundredths;
    });
    int count = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        const CTraceHeader& h = readHeaders[static_cast<size_t>(order[k])];
        if (k > 0 && readHeaders[static_cast<size_t>(order[k - 1])].receiverHundredths == h.receiverHundredths) continue;
        if (count >= capacity) {
            if (stopped) *stopped = true;
            break;
        }
        headers[static_cast<size_t>(count)] = h;
        const std::span<const float> from = read.Row(read.RowLow() + order[k]);
        const std::span<float> to = rows.Row(rows.RowLow() + count);
        std::fill(to.begin(), to.end(), 0.0f);
        std::copy(from.begin(), from.begin() + static_cast<std::ptrdiff_t>(std::min(from.size(), to.size())), to.begin());
        ++count;
    }
    return count;
}

int CFileGroup::CommonReceiverGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int receiverIndex,
                                     bool* stopped)
{
    if (stopped) *stopped = false;
    const int capacity = GatherCapacity(rows, headers);
    const int sources = TableSources();
    const int receivers = std::max(0, std::min(receiverCount, static_cast<int32_t>(receiverPositions.size())));
    if (capacity == 0 || sources <= 0 || receivers <= 0) return 0;
    const int r = std::clamp(receiverIndex, 0, receivers - 1);
    ClearMarks();
    GatherWriter out{rows, headers, capacity, true};
    for (int s = 0; s < sources; ++s) {
        if (r >= TableReceivers(s)) continue;
        CTraceEntry& cell = table[static_cast<size_t>(s)][static_cast<size_t>(r)];
        if (cell.hasSamples != 1) continue;
        if (!out.Take(cell)) break;
        // Reciprocity: the common receiver stands where the source of a shot record stands.
        CTraceHeader& h = out.Last();
        std::swap(h.sourceHundredths, h.receiverHundredths);
    }
    return out.Finish(stopped);
}

int CFileGroup::CdpGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int midpointIndex, bool* stopped)
{
    if (stopped) *stopped = false;
    const int capacity = GatherCapacity(rows, headers);
    if (capacity == 0 || midpointIndex < 0 || midpointIndex >= std::min(cdpCount, kMaxCdps) ||
        midpointIndex >= static_cast<int>(cdpPositions.size())) {
        return 0;
    }
    const int32_t midpoint = cdpPositions[static_cast<size_t>(midpointIndex)];
    ClearMarks();
    GatherWriter out{rows, headers, capacity, true};
    for (int s = 0; s < TableSources(); ++s) {
        for (int j = 0; j < TableReceivers(s); ++j) {
            CTraceEntry& cell = table[static_cast<size_t>(s)][static_cast<size_t>(j)];
            if (cell.hasSamples != 1 ||
                MidpointOf(sourcePositions[static_cast<size_t>(s)], receiverPositions[static_cast<size_t>(j)]) !=
                    midpoint) {
                continue;
            }
            if (!out.Take(cell)) return out.Finish(stopped);
        }
    }
    return out.Finish(stopped);
}

int CFileGroup::CdpFold(int midpointIndex) const
{
    if (midpointIndex < 0 || midpointIndex >= std::min(cdpCount, kMaxCdps) ||
        midpointIndex >= static_cast<int>(cdpPositions.size())) {
        return 0;
    }
    const int32_t midpoint = cdpPositions[static_cast<size_t>(midpointIndex)];
    int fold = 0;
    for (int s = 0; s < TableSources(); ++s) {
        for (int j = 0; j < TableReceivers(s); ++j) {
            const CTraceEntry& cell = table[static_cast<size_t>(s)][static_cast<size_t>(j)];
            fold += cell.hasSamples == 1 && MidpointOf(sourcePositions[static_cast<size_t>(s)],
                                                        receiverPositions[static_cast<size_t>(j)]) == midpoint
                        ? 1
                        : 0;
        }
    }
    return fold;
}

int CFileGroup::TakeTracesByOffset(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int sourceIndex,
                                   double minimumOffset, double maximumOffset, bool* stopped)
{
    if (stopped) *stopped = false;
    const int capacity = GatherCapacity(rows, headers);
    const int sources = TableSources();
    const std::optional<int32_t> low = MetresToHundredths(minimumOffset);
    const std::optional<int32_t> high = MetresToHundredths(maximumOffset);
    if (capacity == 0 || sources <= 0 || !low || !high) return 0;
    const int s = std::clamp(sourceIndex, 0, sources - 1);
    ClearMarks();
    GatherWriter out{rows, headers, capacity, true};
    auto& row = table[static_cast<size_t>(s)];
    for (int j = 0; j < TableReceivers(s); ++j) {
        CTraceEntry& cell = row[static_cast<size_t>(j)];
        if (cell.hasSamples != 1) continue;
        const int64_t offset = Distance(cell.header.receiverHundredths, cell.header.sourceHundredths);
        if (offset < *low || offset > *high) continue;
        if (!out.Take(cell)) break;
    }
    return out.Finish(stopped);
}

int CFileGroup::GatherAllTraces(Matrix2D<float>& rows, std::span<CTraceHeader> headers, bool* stopped)
{
    if (stopped) *stopped = false;
    const int capacity = GatherCapacity(rows, headers);
    if (capacity == 0) return 0;
    GatherWriter out{rows, headers, capacity, false};
    for (int s = 0; s < TableSources(); ++s) {
        for (int j = 0; j < TableReceivers(s); ++j) {
            CTraceEntry& cell = table[static_cast<size_t>(s)][static_cast<size_t>(j)];
            if (cell.hasSamples == 1 && !out.Take(cell)) return out.Finish(stopped);
        }
    }
    return out.Finish(stopped);
}

int CFileGroup::CommonSpacingGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, bool* stopped)
{
    if (stopped) *stopped = false;
    const int capacity = GatherCapacity(rows, headers);
    const std::optional<int32_t> target = MetresToHundredths(spacing);
    if (capacity == 0 || !target) return 0;
    ClearMarks();
    GatherWriter out{rows, headers, capacity, true};
    for (int s = 0; s < TableSources(); ++s) {
        CTraceEntry* best = nullptr;
        int64_t bestDistance = 0;
        for (int j = 0; j < TableReceivers(s); ++j) {
            CTraceEntry& cell = table[static_cast<size_t>(s)][static_cast<size_t>(j)];
            if (cell.hasSamples != 1) continue;
            const int64_t d = Distance(receiverPositions[static_cast<size_t>(j)], *target);
            if (!best || d < bestDistance) {
                best = &cell;
                bestDistance = d;
            }
        }
        if (!best || bestDistance >= 100) continue;
        if (!out.Take(*best)) break;
        // Laid out along the shots.
        out.Last().receiverHundredths = sourcePositions[static_cast<size_t>(s)];
    }
    return out.Finish(stopped);
}

int CFileGroup::ExtrapolateMissingTraces()
{
    const int sources = TableSources();
    const int positioned = std::max(0, std::min(receiverCount, static_cast<int32_t>(receiverPositions.size())));
    int receivers = positioned;
    for (int s = 0; s < sources; ++s) receivers = std::min(receivers, TableReceivers(s));
    if (sources <= 0 || receivers <= 0) return 0;
    const int64_t limit = receiverPositions[static_cast<size_t>(positioned - 1)] / 4;
    // The cells present before this run; cells filled now give nothing to others.
    std::vector<std::vector<char>> present(static_cast<size_t>(sources), std::vector<char>(static_cast<size_t>(receivers)));
    for (int i = 0; i < sources; ++i) {
        for (int j = 0; j < receivers; ++j) {
            CTraceEntry& cell = table[static_cast<size_t>(i)][static_cast<size_t>(j)];
            cell.header.sourceHundredths = sourcePositions[static_cast<size_t>(i)];
            cell.header.receiverHundredths = receiverPositions[static_cast<size_t>(j)];
            present[static_cast<size_t>(i)][static_cast<size_t>(j)] = cell.hasSamples == 1 ? 1 : 0;
        }
    }
    int filled = 0;
    for (int i = 0; i < sources; ++i) {
        for (int j = 0; j < receivers; ++j) {
            if (present[static_cast<size_t>(i)][static_cast<size_t>(j)]) continue;
            CTraceEntry& cell = table[static_cast<size_t>(i)][static_cast<size_t>(j)];
            const int32_t c = cell.header.sourceHundredths;
            int donor = -1;
            int64_t nearest = 1000000000;
            for (int k = 0; k < sources; ++k) {
                if (!present[static_cast<size_t>(k)][static_cast<size_t>(j)]) continue;
                const int64_t d = Distance(c, table[static_cast<size_t>(k)][static_cast<size_t>(j)].header.sourceHundredths);
                if (d < nearest) {
                    nearest = d;
                    donor = k;
                }
            }
            if (donor < 0 || nearest >= limit) continue;
            const CTraceEntry& from = table[static_cast<size_t>(donor)][static_cast<size_t>(j)];
            CTraceHeader h = from.header;
            h.sourceHundredths = c;
            cell.SetTrace(from.samples, h);
            ++filled;
        }
    }
    return filled;
}

int CFileGroup::StoreRow(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int sourceIndex,
                         int traceCount)
{
    if (sourceIndex < 0 || sourceIndex >= TableSources()) return 0;
    const int capacity = static_cast<int>(
        std::min({headers.size(), rows.Rows(), static_cast<size_t>(std::max(traceCount, 0))}));
    auto& row = table[static_cast<size_t>(sourceIndex)];
    int k = 0;
    for (int j = 0; j < TableReceivers(sourceIndex) && k < capacity; ++j) {
        CTraceEntry& cell = row[static_cast<size_t>(j)];
        if (cell.hasSamples != 1) continue;
        const CTraceHeader& h = headers[static_cast<size_t>(k)];
        const std::span<const float> from = rows.Row(rows.RowLow() + k);
        const size_t n = std::min(static_cast<size_t>(std::max(h.samples, 0)), from.size());
        cell.header = h;
        cell.PutSamples(from, static_cast<int>(n));
        ++k;
    }
    return k;
}

int CFileGroup::ClearMarks()
{
    int cleared = 0;
    const int s = std::min(sourceCount, static_cast<int32_t>(table.size()));
    for (int i = 0; i < s; ++i) {
        auto& row = table[static_cast<size_t>(i)];
        const int r = std::min(receiverCount, static_cast<int32_t>(row.size()));
        for (int j = 0; j < r; ++j) {
            row[static_cast<size_t>(j)].mark = 0;
            ++cleared;
        }
    }
    return cleared;
}

}  // namespace velk
