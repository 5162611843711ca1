#include "formats/file_roads.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <limits>
#include <optional>
#include <vector>

#include "base/position.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/seg2.h"
#include "platform/byte_io.h"
#include "platform/language.h"

namespace velk {

namespace {

bool ContainsAny(std::string_view text, std::initializer_list<std::string_view> keys)
{
    for (std::string_view key : keys) {
        if (text.find(key) != std::string_view::npos) return true;
    }
    return false;
}

// The first `size` bytes of the file from its start, zero-filled when it is shorter; the
// position is 0 afterwards.
std::vector<uint8_t> Prefix(ByteSource& file, size_t size)
{
    std::vector<uint8_t> bytes(size, 0);
    file.Seek(0);
    file.ReadBytes(bytes.data(), size);
    file.Seek(0);
    return bytes;
}

// The same from a path, reading no more than `size` bytes; empty when it cannot be opened.
std::vector<uint8_t> PathPrefix(const std::string& path, size_t size)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::vector<uint8_t> bytes(size, 0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    return bytes;
}

// The zero-terminated text of bytes[first .. last] (inclusive), stopping at a zero byte.
std::string_view TextIn(const std::vector<uint8_t>& bytes, size_t first, size_t last)
{
    if (first >= bytes.size()) return {};
    last = std::min(last, bytes.size() - 1);
    const auto* begin = reinterpret_cast<const char*>(bytes.data()) + first;
    size_t n = 0;
    while (first + n <= last && begin[n] != '\0') ++n;
    return {begin, n};
}

bool Names560QX(const std::vector<uint8_t>& header)
{
    return ContainsAny(TextIn(header, kSeg1ModelOffset, kSeg1HeaderProbe - 1), {"Tq560QX", "TQ560QX"});
}

bool NamesTorvane(const std::vector<uint8_t>& header)
{
    return ContainsAny(TextIn(header, kOrgModelFirst, kOrgModelLast), {"Tq", "TQ"});
}

bool IsThreeComponentDat(std::string_view name)
{
    return ContainsAny(name, {"ew.DAT", "EW.DAT", "ew.dat", "ns.DAT", "NS.DAT", "ns.dat", "ud.DAT",
                              "UD.DAT", "ud.dat"});
}

// The rules that both tables share, from ".ew" on (the three-component names excluded).
int LaterRules(std::string_view name)
{
    if (ContainsAny(name, {".ew", ".EW", ".ns", ".NS", ".ud", ".UD"})) return kFileStrongMotionText;
    if (ContainsAny(name, {".sgm", ".SGM"})) return kFileStrongMotionSet;
    if (ContainsAny(name, {".qz4", ".QZ4"})) return kFileProject;
    if (ContainsAny(name, {".dzt", ".DZT"})) return kFileGpr;
    if (ContainsAny(name, {".sgy", ".SGY", ".segy", ".SEGY"})) return kFileSegY;
    return kFileUnclaimed;
}

bool IsOrgName(std::string_view name) { return ContainsAny(name, {".org", ".ORG"}); }

// The name rules; `isTorvane` answers the .ORG check when checkFlag is 1.
template <class TorvaneCheck>
int ClassifyName(std::string_view path, int checkFlag, int* recordKind, TorvaneCheck isTorvane)
{
    const std::string_view name = FileNamePart(path);
    if (ContainsAny(name, {".8hd", ".8HD"})) return kFileEightHeader;
    if (IsOrgName(name) && (checkFlag != 1 || isTorvane())) return kFileTorvaneOrg;
    if (IsThreeComponentDat(name)) return kFileThreeComponentDat;
    const int later = LaterRules(name);
    if (later != kFileUnclaimed) return later;
    if (recordKind && ContainsAny(name, {".coh", ".COH"})) *recordKind = kRecordCoherence;
    return kFileSeg2;
}

std::string Lang(int language, std::string_view english, std::string_view japanese)
{
    return Msg(language, english, japanese);
}

}  // namespace

std::string_view FileNamePart(std::string_view path)
{
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

int FileTypeFromExtension(std::string_view path, int checkFlag, int* recordKind)
{
    return ClassifyName(path, checkFlag, recordKind,
                        [&] { return IsTorvaneOrgFile(std::string(path)) == 1; });
}

std::optional<int> SaveTypeNamedByExtension(std::string_view path)
{
    const std::string_view name = FileNamePart(path);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return std::nullopt;
    const std::string_view ext = name.substr(dot + 1);
    std::string lower(ext);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "sg2" || lower == "dat" || lower == "coh") return kFileSeg2;
    // The other types are read only under these two spellings.
    std::string upper(ext);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const bool plain = ext == lower || ext == upper;
    if (!plain) return std::nullopt;
    if (lower == "org") return kFileTorvaneOrg;
    if (lower == "8hd") return kFileEightHeader;
    if (lower == "sgm") return kFileStrongMotionSet;
    if (lower == "qz4") return kFileProject;
    // Types that are read but never written: a name that asks for one is refused by the save
    // road rather than given the document's own bytes.
    if (lower == "sgy" || lower == "segy") return kFileSegY;
    if (lower == "dzt") return kFileGpr;
    if (lower == "ew" || lower == "ns" || lower == "ud") return kFileStrongMotionText;
    return std::nullopt;
}

int FileTypeFromContent(std::string_view path, int checkFlag, ByteSource& file, int* recordKind)
{
    if (Names560QX(Prefix(file, kSeg1HeaderProbe))) return kFile560QX;
    int code = ClassifyName(path, checkFlag, recordKind, [&] { return IsTorvaneOrgHeader(file) == 1; });
    if ((code == kFileStrongMotionText || code == kFileThreeComponentDat) && StartsWithSeg2Descriptor(file)) {
        code = kFileSeg2;
    }
    file.Seek(0);
    return code;
}

int FileTypeOfGroupMember(std::string_view path, int checkFlag)
{
    const std::string_view name = FileNamePart(path);
    if (ContainsAny(name, {".dat", ".DAT", ".sg2", ".SG2"})) {
        return Is560QXFile(std::string(path)) ? kFile560QX : kFileSeg2;
    }
    if (ContainsAny(name, {".8hd", ".8HD"})) return kFileEightHeader;
    if (IsOrgName(name) && (checkFlag != 1 || IsTorvaneOrgFile(std::string(path)) == 1)) return kFileTorvaneOrg;
    return LaterRules(name);
}

int IsTorvaneOrgFile(const std::string& path)
{
    const std::vector<uint8_t> header = PathPrefix(path, kOrgHeaderSize);
    return !header.empty() && NamesTorvane(header) ? 1 : 0;
}

int IsTorvaneOrgHeader(ByteSource& file) { return NamesTorvane(Prefix(file, kOrgHeaderSize)) ? 1 : 0; }

bool Is560QXFile(const std::string& path)
{
    const std::vector<uint8_t> header = PathPrefix(path, kSeg1HeaderProbe);
    return !header.empty() && Names560QX(header);
}

bool Is560QXHeader(ByteSource& file) { return Names560QX(Prefix(file, kSeg1HeaderProbe)); }

bool StartsWithSeg2Descriptor(ByteSource& file)
{
    const std::vector<uint8_t> d = Prefix(file, 32);
    if (file.Size() < 32 || d[0] != 0x55 || d[1] != 0x3A) return false;
    const uint32_t tableSize = d[4] | (d[5] << 8);
    const uint32_t traces = d[6] | (d[7] << 8);
    return traces >= 1 && 4 * traces <= tableSize && 32 + 4 * static_cast<uint64_t>(traces) <= file.Size();
}

// ---------------------------------------------------------------------------------------------
// Path-level SEG-2 readers

namespace {

std::optional<ByteSource> OpenForReading(const std::string& path, FormatContext& ctx)
{
    ByteSource file = ByteSource::FromFile(path);
    if (!file.Ok()) {
        ctx.ui.Message(Msg(ctx.language, "Cannot open the file") + "\n\n" + path, MsgButtons::Ok, MsgIcon::Error);
        return std::nullopt;
    }
    return file;
}

}  // namespace

int ReadSeg2File(const std::string& path, LoadTarget& target, int skip, FormatContext& ctx)
{
    std::optional<ByteSource> file = OpenForReading(path, ctx);
    return file ? ReadSeg2(*file, target, skip, ctx) : -1;
}

int ReadSeg2FileEx(const std::string& path, LoadTarget& target, int skip, FormatContext& ctx)
{
    return ReadSeg2File(path, target, skip, ctx);
}

int ReadSeg2HeadersFile(const std::string& path, std::span<CTraceHeader> headers,
                        std::span<CTraceHeaderEx> records, int maxSample, FormatContext& ctx)
{
    std::optional<ByteSource> file = OpenForReading(path, ctx);
    return file ? ReadSeg2Headers(*file, headers, records, 0, maxSample, ctx) : -1;
}

// ---------------------------------------------------------------------------------------------

void BeginLoad(WaveformStore& store, int& loadedCount)
{
    loadedCount = store.TraceCount();
    if (loadedCount != 0) store.PushUndo();
}

// ---------------------------------------------------------------------------------------------
// Dialogs

DialogRequest COpenDataFileDlg::Request(int language)
{
    DialogRequest request(kClass, Lang(language, "Open data file", "データファイルを開く"));
    request.Choice("File", value,
                   {Lang(language, "New file", "新規ファイル"),
                    Lang(language, "Append to present data", "現在のデータに追加")});
    request.OkOnly();
    return request;
}

int COpenDataFileDlg::Ask(UiHost& ui, int language)
{
    COpenDataFileDlg dlg;
    dlg.value = kNewFile;
    DialogRequest request = dlg.Request(language);
    if (!ui.RunDialog(request)) return -1;
    return dlg.value == kAppend ? kAppend : kNewFile;
}

DialogRequest CSamplingTimeDlg::Request(int language)
{
    DialogRequest request(kClass, Lang(language, "Set sampling time", "サンプリング時間の設定"));
    request.Float("Sampling time", interval)
        .Label(Lang(language, "Sampling time =", "サンプリング時間 ="))
        .Unit("msec");
    return request;
}

DialogRequest CSampleSkipDlg::Request(int language)
{
    DialogRequest request(kClass, Lang(language, "Sample skip", "サンプルの間引き"));
    request.Int("Skip", skip, 1, kMaxSkip).Label("Skip=");
    return request;
}

DialogRequest CSourceReceiverLocationDlg::Request(int language)
{
    DialogRequest request(kClass, Lang(language, "Source and receiver location", "震源と受振点の位置"));
    warning = Lang(language, "Warning ! \nSame source-receiver configuration traces \nhas been found !",
                   "警告 ! \n震源と受振点の配置が同じトレースが \n見つかりました !");
    request.String("Warning", warning).ReadOnly();  // unlabelled: the form shows it as text
    request.Choice("Location", choice,
                   {Lang(language, "Neglect receiver locations in trace header",
                         "トレースヘッダーの受振点位置を使わない"),
                    Lang(language, "Use locations in trace header", "トレースヘッダーの位置を使う")});
    request.OkOnly();
    return request;
}

DialogRequest CSourceLocationDlg::Request(int language)
{
    DialogRequest request(kClass, Lang(language, "Source location etc.", "震源位置など"));
    request.Float("Source location", sourceLocation, -1.0e7, 1.0e7)
        .Label(Lang(language, "Source location =", "震源位置 ="))
        .Unit("m");
    request.Bool("Change source location", changeSourceLocation).Label(Lang(language, "Change", "変更"));
    std::vector<std::string> labels;
    for (int i = 1; i <= kComponents; ++i) labels.push_back(std::to_string(i));
    request.Choice("Component", component, labels).Label(Lang(language, "Comp. No.", "成分番号"));
    request.Bool("Change component", changeComponent).Label(Lang(language, "Change", "変更"));
    request.Bool("Shift", distanceShiftOn).Label(Lang(language, "Shift", "シフト"));
    request.Float("Distance shift", distanceShift, -1.0e7, 1.0e7)
        .Label(Lang(language, "Distance shift =", "距離シフト ="))
        .Unit("m");
    return request;
}

int ComponentIndexOf(int32_t componentCode)
{
    return static_cast<int>(std::clamp<int64_t>(static_cast<int64_t>(componentCode) - 1, 0,
                                                CSourceLocationDlg::kComponents - 1));
}

int EditSourceLocation(std::span<CTraceHeader> headers, int first, int end, UiHost& ui, int language)
{
    first = std::max(first, 0);
    end = std::min<int>(end, static_cast<int>(headers.size()));
    if (first >= end) return 0;
    CSourceLocationDlg dlg;
    const CTraceHeader& lead = headers[static_cast<size_t>(first)];
    dlg.sourceLocation = static_cast<float>(HundredthsToMetres(lead.sourceHundredths));
    dlg.component = ComponentIndexOf(lead.component);
    DialogRequest request = dlg.Request(language);
    if (!ui.RunDialog(request)) return 0;

    const std::optional<int32_t> source = MetresToHundredths(dlg.sourceLocation);
    const std::optional<int32_t> shift = MetresToHundredths(dlg.distanceShift);
    for (int i = first; i < end; ++i) {
        CTraceHeader& h = headers[static_cast<size_t>(i)];
        if (dlg.changeSourceLocation && source) h.sourceHundredths = *source;
        if (dlg.changeComponent) h.component = dlg.component + 1;
        if (dlg.distanceShiftOn && shift) {
            const int64_t moved = static_cast<int64_t>(h.receiverHundredths) + *shift;
            if (moved >= std::numeric_limits<int32_t>::min() && moved <= std::numeric_limits<int32_t>::max()) {
                h.receiverHundredths = static_cast<int32_t>(moved);
            }
        }
    }
    return 1;
}

}  // namespace velk
