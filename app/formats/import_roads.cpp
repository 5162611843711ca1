#include "app/formats/import_roads.h"

#include "app/record_arrival.h"
#include "app/formats/document.h"
#include "app/formats/load_setup.h"
#include "app/shell_services.h"
#include "app/workspace.h"
#include "formats/load_target.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

std::string ErrorOpeningFileText(int language) { return Msg(language, "error in opening file", "ファイルを開けません"); }

std::optional<ByteSource> OpenImportFile(CommandContext& ctx, const std::string& path)
{
    ByteSource file = ByteSource::FromFile(path);
    if (!file.Ok()) {
        ctx.ui.Message(ErrorOpeningFileText(ctx.ws.startup.language) + "\n\n" + path, MsgButtons::Ok, MsgIcon::Error);
        return std::nullopt;
    }
    return file;
}

void CommitImport(CommandContext& ctx, const LoadTarget& target, int count, bool copyHeaders, const std::string& path)
{
    WaveformStore& store = ctx.ws.store;
    BeforeRecordReplaced(ctx.ws);
    if (store.TraceCount() > 0) store.PushUndo();
    CommitLoadTarget(ctx.ws, target, count, copyHeaders);
    store.Params().ClearFlags();
    ctx.doc.AdoptPath("", kFileSeg2);
    ctx.doc.currentFileName = FileNameOf(path);
    if (ctx.frame) ctx.frame->DocumentTitleChanged(ctx.doc.Title());
}

}  // namespace velk
