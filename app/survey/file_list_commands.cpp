#include "app/survey/file_list_commands.h"

#include <algorithm>
#include <memory>

#include "app/command_table.h"
#include "app/formats/document.h"
#include "app/formats/load_setup.h"
#include "app/formats/next_file.h"
#include "app/record_arrival.h"
#include "app/shell_services.h"
#include "app/store_commands.h"
#include "app/surfacewave/spac_commands.h"
#include "app/view/record_extents.h"
#include "app/workspace.h"
#include "formats/format_support.h"
#include "formats/trace_arrays.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"
#include "survey/file_list_dialogs.h"
#include "survey/survey_line_xml.h"

namespace velk {

namespace {

std::string ParentOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string CountsMessage(int language, int sources, int receivers, int traces)
{
    return FormatC(Msg(language, "# of sources=%d # of receivers=%d # of traces=%d",
                       "震源数=%d 受振点数=%d トレース数=%d")
                       .c_str(),
                   sources, receivers, traces);
}

std::string TooManyTracesMessage(int language)
{
    return Msg(language, "Number of traces is larger than dimension size !", "トレース数が配列サイズより大きいです !");
}

void WriteFailed(CommandContext& c)
{
    c.ui.Message(Msg(c.ws.startup.language, "The file list could not be written.",
                     "ファイルリストを書き込めませんでした。"),
                 MsgButtons::Ok, MsgIcon::Error);
}

// The group takes the list of `scratch`; the group becomes active on its first file. The
// list's folder becomes the working folder, so the line's results stay with its files.
void TakeList(CommandContext& c, const CFileGroup& scratch)
{
    CFileGroup& g = c.ws.fileGroup;
    CopyListState(scratch, g);
    g.active = 1;
    g.currentIndex = 0;
    g.gatherIndex = 0;
    SetWorkingFolder(c.ws, scratch.listFolder);
}

// The "File list" dialog over the scratch list; OK stores it there.
bool RunListDialog(CommandContext& c, CFileGroup& scratch, int* setUpRuns = nullptr)
{
    FileListEditModel dlg;
    dlg.LoadList(scratch);
    DialogRequest r = dlg.Request(c.ws.startup.language, c.ui);
    if (!c.ui.RunDialog(r)) return false;
    dlg.Finish(true);
    scratch.entryCount = dlg.StoreList(scratch);
    if (setUpRuns) *setUpRuns = dlg.SetUpRuns();
    return true;
}

FileRequest ListFileRequest(const CFileGroup& g, const GroupReadContext& gctx, const char* description,
                            const char* pattern)
{
    FileRequest r;
    r.filters = {{description, pattern}};
    r.initialName = pattern;
    r.initialFolder = g.FolderOfList(gctx);
    return r;
}

int MakeList(CommandContext& c, bool fromMenu, bool folder)
{
    // What the listing logs ("multi_select.txt", the readers' files) is kept until the list is
    // taken or given up, so that a taken list's logs land in its own folder.
    MemoryLogSink listLog;
    const GroupReadContext gctx = MakeGroupReadContext(c.ws, c.ui).WithLog(listLog);
    auto finish = [&](int result) {
        for (const auto& [name, text] : listLog.Files()) DiagnosticLog(c.ws).Rewrite(name, text);
        return result;
    };
    CFileGroup scratch;
    CopyListState(c.ws.fileGroup, scratch);
    const int n = folder ? scratch.ListFolderByBrowse(gctx) : scratch.ListSelectedFiles(gctx);
    if (n < 1) return finish(0);
    scratch.DetectFilePositions(gctx);
    if (fromMenu) {
        if (!scratch.EditNamingOptions(0, c.ui, c.ws.startup.language)) return finish(0);
        if (!RunListDialog(c, scratch)) return finish(0);
    }
    TakeList(c, scratch);
    finish(0);
    ShowListedFile(c, 0, false);
    return c.ws.fileGroup.entryCount;
}

// Why a survey-line document was not read: a file that did not open keeps the open failure's
// text with the system's reason after it; a file that opened names what is wrong with it.
std::string NotReadLineText(int language, const std::string& path, const LineXmlError& error)
{
    if (!error.opened) {
        return Msg(language, kCannotOpenFile, "ファイルを開けません") + "\n\n" + path +
               (error.reason.empty() ? std::string() : "\n" + error.reason);
    }
    return path + Msg(language, " is not a valid survey-line document: ", " は正しい測線ドキュメントではありません: ") +
           error.reason;
}

}  // namespace

GroupReadContext MakeGroupReadContext(Workspace& ws, UiHost& ui)
{
    GroupReadContext g{ui, ws.startup.language, DiagnosticLog(ws)};
    g.workingFolder = ws.workingFolder;
    g.instrumentMenu = ws.startup.instrumentMenu;
    if (ws.acquisitionManager) g.dataFolder = ws.acquisitionManager->dataFolder;
    g.maxTraces = ws.store.MaxTraces();
    g.maxSample = ws.store.MaxSample();
    return g;
}

void CopyListState(const CFileGroup& from, CFileGroup& to)
{
    to.entries = from.entries;
    to.entryCount = from.entryCount;
    to.fileType = from.fileType;
    to.prefix = from.prefix;
    to.extension = from.extension;
    to.digits = from.digits;
    to.sourceFromFile = from.sourceFromFile;
    to.receiversFromFile = from.receiversFromFile;
    to.cmpList = from.cmpList;
    to.listFolder = from.listFolder;
}

bool GatherStoreSetUp(Workspace& ws, int count, int kind)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const int n = std::clamp(count, 0, store.MaxTraces());
    p.traceCount = n;
    const bool validInterval = RecalcRecordExtents(ws, 0);
    for (size_t i = 0; i < p.selectionFlags.size(); ++i) p.selectionFlags[i] = static_cast<int>(i) < n ? 1 : 0;
    store.dataKind() = kTimeDomain;
    if (n == 0) return validInterval;
    const CTraceHeader& first = store.current.headers[0];
    if (kind == 0) {
        ws.display.gatherPosition = static_cast<float>(first.sourceHundredths * 0.01);
    } else if (kind == 1) {
        // The receiver gather carries its common receiver in the source word.
        ws.display.gatherPosition = static_cast<float>(first.sourceHundredths * 0.01);
    } else if (kind == 2) {
        ws.display.gatherPosition =
            static_cast<float>((static_cast<double>(first.sourceHundredths) + first.receiverHundredths) * 0.005);
    }
    return validInterval;
}

int ShowListedFile(CommandContext& c, int index, bool sortByReceiver)
{
    Workspace& ws = c.ws;
    WaveformStore& store = ws.store;
    CFileGroup& g = ws.fileGroup;
    if (!store.IsAllocated() || index < 0 || index >= g.entryCount) return 0;
    GroupReadContext gctx = MakeGroupReadContext(ws, c.ui);
    // The picks of the record being left go to the traveltime set while picking is on, as on
    // the open roads.
    BeforeRecordReplaced(ws);
    store.PushUndo();
    std::string path;
    // A member that cannot be read is passed over for the next readable one, so that a damaged
    // file does not leave the line without a shot on show. The first such member is named by its
    // reader; the ones after it are passed over in silence (a list whose folder moved would
    // otherwise ask once per file), and next/previous name them when the user steps onto them.
    NullUiHost quiet;
    int n = 0;
    for (int tried = 0; index < g.entryCount; ++index, ++tried) {
        n = g.ReadNthFile(index, store.current.rows, store.current.headers, store.headersEx, &path,
                          tried == 0 ? gctx : gctx.WithUi(quiet));
        if (n > 0) break;
    }
    if (n <= 0) {
        RestoreUndo(ws);
        return 0;
    }
    g.currentIndex = index;
    const bool leftGather = g.gatherKind == 1 || g.gatherKind == 2;
    store.Params().traceCount = std::min(n, store.MaxTraces());
    if (sortByReceiver) SortStoreByReceiver(store, store.TraceCount());
    const FileListEntry& e = g.entries[static_cast<size_t>(index)];
    c.doc.AdoptPath(path, FileTypeFromExtension(path, 1));
    c.doc.currentFileName = e.inUse == 1 ? e.fileName : path;
    store.Params().recordKind = 0;
    store.dataKind() = kTimeDomain;
    ws.display.modified = 0;
    const bool validInterval = RecalcRecordExtents(ws, 0);
    StartFromMemberFile(ws, leftGather);
    AfterRecordReplaced(c, ListMemberArrival(ws));
    if (!validInterval) c.ui.Message(InvalidIntervalMessage(ws.startup.language), MsgButtons::Ok, MsgIcon::Warning);
    return n;
}

int OpenFileList(CommandContext& c, bool atStartup)
{
    Workspace& ws = c.ws;
    const int language = ws.startup.language;
    GroupReadContext gctx = MakeGroupReadContext(ws, c.ui);
    CFileGroup scratch;
    CopyListState(ws.fileGroup, scratch);

    int first = 0;
    if (scratch.entryCount > 0) {
        const int answer = COpenDataFileDlg::Ask(c.ui, language);
        if (answer < 0) return 0;
        first = answer == COpenDataFileDlg::kAppend ? scratch.entryCount : 0;
    }
    const FileRequest request = atStartup ? ListFileRequest(scratch, gctx, "All files(*.*)", "*.*")
                                          : ListFileRequest(scratch, gctx, "File list(*.xml)", "*.xml");
    const std::optional<std::string> path = c.ui.OpenFile(request);
    if (!path) return 0;

    SurveyLine line = ws.surveyLine;
    line.hasArrayGeometry = 0;
    MamGeometrySlot geometry = ws.MamGeometrySlotOf();
    const bool xml = EndsWith(*path, ".xml") || EndsWith(*path, ".XML");
    if (xml) {
        LineXmlError error;
        if (ReadLineXml(line, scratch, geometry, *path, first, &c.ui, language, &error) < 0) {
            c.ui.Message(NotReadLineText(language, *path, error), MsgButtons::Ok, MsgIcon::Error);
            return 0;
        }
        if (ws.startup.acquisitionMode != 0 && ws.acquisitionManager) {
            ws.acquisitionManager->SwapDataFolder(ParentOf(*path));
            LineRecord record;
            record.surveyType = line.qkwMenu;
            record.lineId = line.lineId;
            record.menuName = line.qkwMenuName;
            record.procedureStep = line.procedureStep;
            record.names = {line.hasDataFile, line.dataFile, line.hasResultFile, line.resultFile,
                            line.hasPlottingFile, line.plottingFile};
            record.fileCount = scratch.entryCount;
            if (ws.acquisitionManager->SelectMode(record) == -1) return 0;
        }
    } else {
        if (!scratch.EditNamingOptions(1, c.ui, language)) return 0;
        scratch.ReadTextList(*path, first, c.ui, language);
    }
    scratch.listFolder = ParentOf(*path);
    if (scratch.entryCount < 1) return 0;
    if (!RunListDialog(c, scratch)) return 0;
    TakeList(c, scratch);
    if (xml) {
        ws.surveyLine = line;
        ws.StoreMamGeometry(geometry);
    }
    ShowListedFile(c, 0, false);
    // A line recorded on a microtremor array: its geometry is confirmed in the array dialog and
    // built on the line's first record, which is why that record is read first; Cancel or a
    // geometry that does not fit the record ends the command without the array picture.
    if (line.hasArrayGeometry == 1) {
        if (c.view) c.view->Repaint();  // the record shows behind the dialog
        if (!ArrayGeometryDialog(ws, c.ui, FileNameOf(c.doc.currentFileName))) return 0;
    }
    return 1;
}

int MakeFileList(CommandContext& c, bool fromMenu) { return MakeList(c, fromMenu, false); }

int MakeFileListFromFolder(CommandContext& c, bool fromMenu) { return MakeList(c, fromMenu, true); }

int ShowFileList(CommandContext& c)
{
    Workspace& ws = c.ws;
    CFileGroup scratch;
    CopyListState(ws.fileGroup, scratch);
    int setUpRuns = 0;
    if (!RunListDialog(c, scratch, &setUpRuns)) return 0;
    if (setUpRuns > 0 && !scratch.EditNamingOptions(0, c.ui, ws.startup.language)) return 0;
    CopyListState(scratch, ws.fileGroup);
    CFileGroup& g = ws.fileGroup;
    if (g.entryCount > 0) {
        g.currentIndex = std::clamp(g.currentIndex, 0, g.entryCount - 1);
        ShowListedFile(c, g.currentIndex, false);
    }
    return 1;
}

int SaveFileListText(CommandContext& c)
{
    CFileGroup& g = c.ws.fileGroup;
    GroupReadContext gctx = MakeGroupReadContext(c.ws, c.ui);
    const std::optional<std::string> path = c.ui.SaveFile(ListFileRequest(g, gctx, "File list(*.*)", "*.*"));
    if (!path) return 0;
    if (g.WriteTextList(*path) == 0) WriteFailed(c);
    return 0;
}

int SaveFileListTabular(CommandContext& c)
{
    CFileGroup& g = c.ws.fileGroup;
    GroupReadContext gctx = MakeGroupReadContext(c.ws, c.ui);
    const std::optional<std::string> path = c.ui.SaveFile(ListFileRequest(g, gctx, "File list(*.*)", "*.*"));
    if (!path) return 0;
    if (g.WriteTabularList(*path, gctx) == 0) WriteFailed(c);
    return 0;
}

int SaveFileListXml(CommandContext& c)
{
    Workspace& ws = c.ws;
    CFileGroup& g = ws.fileGroup;
    GroupReadContext gctx = MakeGroupReadContext(ws, c.ui);
    std::optional<std::string> path = c.ui.SaveFile(ListFileRequest(g, gctx, "File list(*.xml)", "*.xml"));
    if (!path) return 0;
    if (!EndsWith(*path, ".xml") && !EndsWith(*path, ".XML")) *path += ".xml";
    int written = 1;
    if (ws.startup.acquisitionMode != 0) {
        written = ws.acquisitionManager ? ws.acquisitionManager->WriteLineFileTo(*path) : 0;
    } else if (ws.acquisitionStartupValue == 1) {
        written = WriteLineXml(ws.surveyLine, g, ws.MamGeometrySlotOf(), *path);
    }
    if (written == 0) WriteFailed(c);
    return 0;
}

int ShiftFileList(CommandContext& c)
{
    Workspace& ws = c.ws;
    COffsetDlg dlg;
    DialogRequest r = dlg.Request(ws.startup.language);
    if (!c.ui.RunDialog(r)) return 0;
    CFileGroup& g = ws.fileGroup;
    g.ShiftPositions(dlg.offset);
    if (g.dataLoaded != 1 && g.entryCount > 0) {
        g.currentIndex = std::clamp(g.currentIndex, 0, g.entryCount - 1);
        ShowListedFile(c, g.currentIndex, true);
    }
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Project file

namespace {

int ReadProjectRecord(ByteSource& file, LoadTarget& target, LoadContext& ctx)
{
    Workspace& ws = ctx.ws;
    const int language = ctx.language;
    auto scratch = std::make_shared<CFileGroup>();
    int traces = 0;
    switch (scratch->Load(file, target.MaxSample(), &traces)) {
    case ProjectLoadStatus::WrongSignature:
        ctx.ui.Message(CountsMessage(language, ws.fileGroup.sourceCount, ws.fileGroup.receiverCount, 0),
                       MsgButtons::Ok, MsgIcon::Info);
        return 0;
    case ProjectLoadStatus::Bad:
        ctx.ui.Message(Msg(language, kCannotOpenFile, "ファイルを開けません") + "\n\n" + ctx.path, MsgButtons::Ok,
                       MsgIcon::Error);
        return 0;
    case ProjectLoadStatus::TooLarge:
        ctx.ui.Message(RecordTooLargeMessage(language, target.MaxTraces(), target.MaxSample()), MsgButtons::Ok,
                       MsgIcon::Error);
        return 0;
    case ProjectLoadStatus::Loaded: break;
    }
    const int capacity = target.Capacity();
    if (traces <= 0 || capacity <= 0) {
        ctx.ui.Message(CountsMessage(language, scratch->sourceCount, scratch->receiverCount, traces), MsgButtons::Ok,
                       MsgIcon::Info);
        return 0;
    }
    if (scratch->ShotGatherSize(0) > capacity) {
        ctx.ui.Message(TooManyTracesMessage(language), MsgButtons::Ok, MsgIcon::Warning);
    }
    Matrix2D<float> rows(0, capacity - 1, 0, target.RowLength() - 1);
    std::vector<CTraceHeader> headers(static_cast<size_t>(capacity));
    const int n = scratch->BuildGather(rows, headers, 0);
    for (int k = 0; k < n; ++k) {
        const auto from = rows.Row(k);
        const auto to = target.Row(k);
        std::copy_n(from.begin(), std::min(from.size(), to.size()), to.begin());
        target.Header(k) = headers[static_cast<size_t>(k)];
    }
    const int sources = scratch->sourceCount;
    const int receivers = scratch->receiverCount;
    ctx.afterCommit = [scratch, n, traces, sources, receivers, &ws, &ui = ctx.ui, language] {
        CFileGroup& g = ws.fileGroup;
        g.AdoptTable(std::move(*scratch));
        g.active = 1;
        g.currentIndex = 0;
        g.gatherIndex = 0;
        g.gatherKind = 0;
        GatherStoreSetUp(ws, n, 0);
        ui.Message(CountsMessage(language, sources, receivers, traces), MsgButtons::Ok, MsgIcon::Info);
    };
    return n;
}

bool WriteProjectRecord(ByteSink& sink, SaveContext& ctx) { return ctx.ws.fileGroup.Save(sink) == 1; }

}  // namespace

void RegisterProjectFormat(FormatRegistry& registry)
{
    registry.SetReader(kFileProject, ReadProjectRecord);
    registry.SetWriter(kFileProject, WriteProjectRecord,
                       [](const Workspace& ws, const CVelkarineDoc&) { return ws.fileGroup.dataLoaded == 1; });
}

// ---------------------------------------------------------------------------------------------

void AddFileListCommands(CommandTable& t)
{
    t.AddMenuIfMissing({"group", "", "&Group (File list)", "グループ (ファイルリスト)(&G)", kInFullMenus, 80});
    t.SetRule(kRuleFileListNotEmpty,
              [](const Workspace& ws, const RecentFileList&) { return ws.fileGroup.entryCount > 0; });
    auto row = [&t](int id, double order, const char* en, const char* ja, int rule, CommandAction action,
                    const char* accelerator = "") {
        CommandRow r = MakeRow(id, "group", order, en, ja, std::move(action), rule);
        r.menus = kInFullMenus;
        r.accelerator = accelerator;
        t.Add(std::move(r));
    };
    row(cmd::kOpenFileList, 1, "Open file list", "ファイルリストを開く", kRuleAlways,
        [](CommandContext& c) { return OpenFileList(c, false); });
    row(cmd::kMakeFileList, 2, "Make file list", "ファイルリストの作成", kRuleAlways,
        [](CommandContext& c) { return MakeFileList(c, true) > 0 ? 1 : 0; });
    row(cmd::kMakeFileListFromFolder, 3, "Make file list(select a folder)", "ファイルリストの作成(フォルダを選択)",
        kRuleAlways, [](CommandContext& c) { return MakeFileListFromFolder(c, true) > 0 ? 1 : 0; });
    row(cmd::kShowFileList, 4, "Show file list(&F)", "ファイルリストの表示(&F)", kRuleFileListNotEmpty, ShowFileList,
        "Ctrl+F");
    row(cmd::kSaveFileListText, 5, "Save file list(text)", "ファイルリストの保存(テキスト)", kRuleFileListNotEmpty,
        SaveFileListText);
    row(cmd::kSaveFileListTabular, 6, "Save file list(tabular form)", "ファイルリストの保存(表形式)",
        kRuleFileListNotEmpty, SaveFileListTabular);
    row(cmd::kSaveFileListXml, 7, "Save file list(XML)", "ファイルリストの保存(XML)", kRuleFileListNotEmpty,
        SaveFileListXml);
    row(cmd::kShiftFileList, 8, "Shift file list", "ファイルリストのシフト", kRuleFileListNotEmpty, ShiftFileList);
}

}  // namespace velk
