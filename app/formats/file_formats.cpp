// The registry of the program's waveform readers and writers. Each format registers its reader
// (which fills a LoadTarget) and its writer (which writes through the document's atomic file)
// under its file-type code; a code left empty gives the document's "cannot be read" or "cannot
// be saved" message.

#include "app/formats/document.h"
#include "app/formats/eight_header_commands.h"
#include "app/formats/file_road_steps.h"
#include "app/formats/instrument_commands.h"
#include "app/formats/load_setup.h"
#include "app/formats/strong_motion_commands.h"
#include "app/survey/file_list_commands.h"
#include "app/formats/seg1_segy_gpr_commands.h"
#include "app/workspace.h"
#include "formats/format_support.h"
#include "formats/seg2.h"

namespace velk {

namespace {

// SEG-2 (code 0): every path that no other rule claims.
int ReadSeg2Record(ByteSource& file, LoadTarget& target, LoadContext& ctx)
{
    FormatContext fc{ctx.ui, ctx.language, DiagnosticLog(ctx.ws)};
    return ReadSeg2(file, target, 1, fc);
}

// The document's save: float samples, with the latitude and longitude of the extended headers.
bool WriteSeg2Record(ByteSink& sink, SaveContext& ctx)
{
    const WaveformStore& store = ctx.ws.store;
    const Seg2Image image = RecordSeg2Image(ctx.ws);
    const WriteStatus status = WriteSeg2(sink, store.current.rows, ctx.headers, store.TraceCount(), 4, 1.0f,
                                         store.headersEx, nullptr, image.present ? &image : nullptr);
    if (!status) ctx.error = status.error;
    return status.ok;
}

// A 560QX record (code 6) is saved as SEG-2 floats, without extended records.
bool WriteSeg2AsFloatRecord(ByteSink& sink, SaveContext& ctx)
{
    const WaveformStore& store = ctx.ws.store;
    const Seg2Image image = RecordSeg2Image(ctx.ws);
    const WriteStatus status = WriteSeg2(sink, store.current.rows, ctx.headers, store.TraceCount(), 4, 1.0f, {}, nullptr,
                                         image.present ? &image : nullptr);
    if (!status) ctx.error = status.error;
    return status.ok;
}

}  // namespace

void RegisterFileFormats(FormatRegistry& registry)
{
    registry.SetReader(kFileSeg2, ReadSeg2Record);
    registry.SetWriter(kFileSeg2, WriteSeg2Record);
    registry.SetWriter(kFile560QX, WriteSeg2AsFloatRecord);
    RegisterStrongMotionFormats(registry);
    RegisterSeg1SegYGprFormats(registry);
    RegisterEightHeaderFormat(registry);
    RegisterTorvaneOrgFormat(registry);
    RegisterProjectFormat(registry);
}

}  // namespace velk
