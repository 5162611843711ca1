#include "app/formats/file_commands.h"

#include <sys/stat.h>

#include "app/formats/document.h"
#include "app/record_arrival.h"
#include "platform/recent_files.h"
#include "app/shell_services.h"
#include "app/workspace.h"
#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

namespace {

int Language(const CommandContext& ctx) { return ctx.ws.startup.language; }

std::vector<FileFilter> WaveformFilters(int language)
{
    return {
        {Msg(language, "SEG-2 files (*.sg2, *.dat)", "SEG-2 ファイル (*.sg2, *.dat)"), "*.sg2;*.SG2;*.dat;*.DAT"},
        {Msg(language, "All files (*.*)", "すべてのファイル (*.*)"), "*"},
    };
}

void TitleChanged(CommandContext& ctx)
{
    if (ctx.frame) ctx.frame->DocumentTitleChanged(ctx.doc.Title());
}

void RecentChanged(CommandContext& ctx)
{
    if (ctx.frame) ctx.frame->RecentFilesChanged();
}

bool Exists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

int OnFileNew(CommandContext& ctx)
{
    ctx.doc.OnNewDocument(ctx.ws);
    TitleChanged(ctx);
    return 0;
}

bool OpenDocumentFile(CommandContext& ctx, const std::string& path)
{
    if (!ctx.doc.LoadRecord(ctx.ws, path, ctx.ui)) return false;
    ctx.recent.Add(path);
    RecentChanged(ctx);
    AfterRecordReplaced(ctx, ShotArrival(RecordTitle::Kept, ctx.doc.LastLoadAppended()));
    return true;
}

int OnFileOpen(CommandContext& ctx)
{
    FileRequest request;
    request.filters = WaveformFilters(Language(ctx));
    std::optional<std::string> path = ctx.ui.OpenFile(request);
    if (!path) return 0;
    return OpenDocumentFile(ctx, *path) ? 1 : 0;
}

int OnOpenRecentFile(CommandContext& ctx, int index)
{
    if (index < 0 || index >= ctx.recent.Count()) return 0;
    const std::string path = ctx.recent.At(index);
    if (OpenDocumentFile(ctx, path)) return 1;
    if (!Exists(path)) {
        ctx.recent.Remove(index);
        RecentChanged(ctx);
    }
    return 0;
}

int OnFileSaveAs(CommandContext& ctx)
{
    FileRequest request;
    request.filters = WaveformFilters(Language(ctx));
    request.initialName = ctx.doc.Title();
    request.defaultExtension = "sg2";
    std::optional<std::string> path = ctx.ui.SaveFile(request);
    if (!path) return 0;
    if (ctx.doc.SaveRecord(ctx.ws, *path, ctx.ui)) {
        ctx.recent.Add(*path);
        RecentChanged(ctx);
        TitleChanged(ctx);
    }
    return 0;
}

int OnFileSave(CommandContext& ctx)
{
    if (ctx.doc.Path().empty()) return OnFileSaveAs(ctx);
    ctx.doc.SaveRecord(ctx.ws, ctx.doc.Path(), ctx.ui);
    return 0;
}

}  // namespace velk
