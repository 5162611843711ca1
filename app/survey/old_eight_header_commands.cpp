// The old 8-header files through the converter Kelvarn: one file opened as the record, or
// many converted into new files beside them.

#include <cstdio>

#include "app/formats/document.h"
#include "app/formats/file_road_steps.h"
#include "app/formats/load_setup.h"
#include "app/record_arrival.h"
#include "app/shell_services.h"
#include "app/survey/exchange_commands.h"
#include "app/view/record_extents.h"
#include "app/workspace.h"
#include "formats/file_roads.h"
#include "formats/load_target.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/paths.h"
#include "platform/uihost.h"
#include "survey/old_eight_header_conversion.h"

namespace velk {

namespace {

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string KelvarnMissingText(int language)
{
    return FormatC(Msg(language, "Could not find Kelvarn.exe in %s", "%s に Kelvarn.exe が見つかりません").c_str(),
                   OwnExecutableDir().c_str());
}

}  // namespace

int OnOpenOld8HeaderFile(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    if (!store.IsAllocated()) return 0;
    FileRequest request;
    request.initialName = "*.*";
    request.filters = {{"Old 8header file(*.*)", "*"}};
    const std::optional<std::string> path = ctx.ui.OpenFile(request);
    if (!path) return 0;

    // Kelvarn runs in the file's folder, where its bare name and the temporary file resolve.
    const std::string folder = FolderOf(*path);
    const std::string temp = folder + "/" + kConverterTempFile;
    std::remove(temp.c_str());
    const SpawnResult started = ws.launcher->Spawn(KelvarnPath(), KelvarnOpenCommandLine(NameOf(*path)).args, folder);
    if (!started.Ok()) {
        ctx.ui.Message(KelvarnMissingText(language), MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    std::optional<ByteSource> file =
        AwaitConverterOutput(temp, started.pid, *ws.launcher, [&ws](int ms) { SleepFor(ws, ms); });
    if (!file) {
        ctx.ui.Message(Msg(language, "Could not open the file !", "ファイルを開けませんでした !"), MsgButtons::Ok,
                       MsgIcon::Error);
        return 0;
    }
    LoadTarget target(0, store.MaxTraces(), store.RowLength(), store.MaxSample());
    const int count = ReadConverterOutput(*file, target);
    std::remove(temp.c_str());
    if (count < 0) {
        ctx.ui.Message(RecordTooLargeMessage(language, store.MaxTraces(), store.MaxSample()), MsgButtons::Ok,
                       MsgIcon::Error);
        return 0;
    }
    if (count == 0) {
        ctx.ui.Message(Msg(language, "Could not open the file !", "ファイルを開けませんでした !"), MsgButtons::Ok,
                       MsgIcon::Error);
        return 0;
    }
    CommitReadRecord(ws, target, count, true);
    store.Params().traceCount = count;
    store.dataKind() = kTimeDomain;
    const bool validInterval = RecalcRecordExtents(ws, 0);
    // Save writes the current layout, never over the old file.
    ctx.doc.AdoptPath("", kFileSeg2);
    ctx.doc.currentFileName = NameOf(*path);
    AfterRecordReplaced(ctx, ShotArrival());
    if (!validInterval) ctx.ui.Message(InvalidIntervalMessage(language));
    return 1;
}

int OnConvertOld8HeaderFiles(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    const int language = ws.startup.language;
    FileRequest request;
    request.initialName = "*.*";
    request.filters = {{"Old 8header files(*.8hd)", "*.8hd"}};
    const std::vector<std::string> paths = ctx.ui.OpenFiles(request);
    if (paths.empty()) return 0;
    int started = 0;
    for (const std::string& path : paths) {
        const CommandLine line = KelvarnConvertCommandLine(path, ConvertedOutputPath(path));
        if (!ws.launcher->Spawn(KelvarnPath(), line.args, FolderOf(path)).Ok()) {
            ctx.ui.Message(KelvarnMissingText(language), MsgButtons::Ok, MsgIcon::Error);
            return 0;
        }
        ++started;
        if (ctx.view) ctx.view->ShowTransientText(FormatC("Coverting old 8 header files ! %d ", started));
        SleepFor(ws, 800);
    }
    ctx.ui.Message(FormatC(Msg(language, "%d files have been converted ! ", "%d 個のファイルを変換しました ! ").c_str(), started));
    return 0;
}

}  // namespace velk
