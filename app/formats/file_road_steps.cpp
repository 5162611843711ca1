#include "app/formats/file_road_steps.h"

#include <algorithm>

#include "app/command_table.h"
#include "app/formats/document.h"
#include "app/formats/load_setup.h"
#include "app/picking/pick_matching.h"
#include "app/shell_services.h"
#include "app/workspace.h"
#include "formats/load_target.h"

namespace velk {

int LeaveRecordForOpen(Workspace& ws)
{
    const int loaded = ws.store.TraceCount();
    if (loaded > 0 && ws.display.editMode == 1) MergeRecordPicks(ws);
    return loaded;
}

void CommitReadRecord(Workspace& ws, const LoadTarget& target, int count, bool copyHeaders)
{
    if (ws.store.TraceCount() > 0) ws.store.PushUndo();
    CommitLoadTarget(ws, target, count, copyHeaders);
}

void AdoptReadFile(CommandContext& ctx, const std::string& path, int code)
{
    ctx.doc.AdoptPath(path, code);
    if (ctx.frame) ctx.frame->DocumentTitleChanged(ctx.doc.Title());
}

void AdoptUntitled(CommandContext& ctx, const std::string& path, int code)
{
    ctx.doc.AdoptPath("", code);
    ctx.doc.currentFileName = FileNameOf(path);
    if (ctx.frame) ctx.frame->DocumentTitleChanged(ctx.doc.Title());
}

float LoadedPeak(const WaveformStore& store)
{
    float peak = 0.0f;
    for (int i = 0; i < store.TraceCount(); ++i) {
        const int n = store.TraceSamples(i);
        for (int k = 0; k < n; ++k) {
            const float v = std::fabs(store.current.rows[i][k]);
            if (std::isfinite(v)) peak = std::max(peak, v);
        }
    }
    return peak;
}

}  // namespace velk
