#include "app/formats/document.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include "app/record_arrival.h"
#include "app/command_table.h"
#include "app/formats/load_setup.h"
#include "app/formats/strong_motion_commands.h"
#include "app/workspace.h"
#include "platform/atomic_file.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

namespace {

bool ValidCode(int code) { return code >= 0 && code < kFileTypeCount; }

std::string SaveFailedText(int language, const std::string& path, const std::string& reason)
{
    std::string text = Msg(language, kSaveFailed,
                           "ファイルを保存できませんでした。元のファイルは変更されていません。");
    text += "\n\n" + path;
    if (!reason.empty()) text += "\n" + reason;
    return text;
}

}  // namespace

std::string FileNameOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// ---------------------------------------------------------------------------------------------

void FormatRegistry::SetReader(int code, RecordReader reader)
{
    if (!ValidCode(code)) throw std::out_of_range("file-type code " + std::to_string(code));
    slots_[code].reader = std::move(reader);
}

void FormatRegistry::SetWriter(int code, RecordWriter writer, WriterCheck check)
{
    if (!ValidCode(code)) throw std::out_of_range("file-type code " + std::to_string(code));
    slots_[code].writer = std::move(writer);
    slots_[code].check = std::move(check);
}

const RecordReader* FormatRegistry::Reader(int code) const
{
    return ValidCode(code) && slots_[code].reader ? &slots_[code].reader : nullptr;
}

const RecordWriter* FormatRegistry::Writer(int code) const
{
    return ValidCode(code) && slots_[code].writer ? &slots_[code].writer : nullptr;
}

const WriterCheck* FormatRegistry::Check(int code) const
{
    return ValidCode(code) && slots_[code].check ? &slots_[code].check : nullptr;
}

// ---------------------------------------------------------------------------------------------

CVelkarineDoc::CVelkarineDoc(Workspace& ws)
    : strongMotion(ws.strongMotion), coordinateOrigin(ws.coordinateOrigin), strongMotionFlag(ws.strongMotionFlag)
{
    ws.settings.coordinateMode = -1;
}

void CVelkarineDoc::OnNewDocument(Workspace& ws)
{
    path_.clear();
    title_.clear();
    fileType = kFileSeg2;
    ws.survey.appendFiles = 0;
}

bool CVelkarineDoc::LoadRecord(Workspace& ws, const std::string& path, UiHost& ui)
{
    const int language = ws.startup.language;
    WaveformStore& store = ws.store;

    ByteSource file = ByteSource::FromFile(path);
    if (!file.Ok() || !store.IsAllocated()) {
        ui.Message(Msg(language, kCannotOpenFile, "ファイルを開けません") + "\n\n" + path,
                   MsgButtons::Ok, MsgIcon::Error);
        return false;
    }

    // The document's own values change only with a successful load.
    const int oldType = fileType;
    const std::string oldName = currentFileName;
    auto fail = [&] {
        fileType = oldType;
        currentFileName = oldName;
        return false;
    };

    bool appendedTraces = false;
    try {
        fileType = FileTypeFromExtension(path, 1);

        int loaded = 0;
        BeginLoad(store, loaded);

        // A project file always brings a gather of its own, never appended traces.
        const bool project = fileType == kFileProject;
        bool append = false;
        if (loaded > 0 && !project) {
            COpenDataFileDlg dlg;
            dlg.value = 0;
            DialogRequest request = dlg.Request(language);
            ui.RunDialog(request);
            append = dlg.value == 1;
        }
        const int start = append ? loaded : 0;
        appendedTraces = append;

        int recordKind = -1;  // a ".coh" name: coherence, applied only when the load succeeds
        fileType = FileTypeFromContent(path, 1, file, &recordKind);

        const RecordReader* reader = formats_.Reader(fileType);
        if (!reader) {
            ui.Message(Msg(language, kCannotReadType,
                           "このファイル形式は読み込めません。データは変更されていません。"),
                       MsgButtons::Ok, MsgIcon::Error);
            return fail();
        }
        if (start >= store.MaxTraces()) {
            ui.Message(RecordTooLargeMessage(language, store.MaxTraces(), store.MaxSample()),
                       MsgButtons::Ok, MsgIcon::Error);
            return fail();
        }

        LoadTarget target(start, store.MaxTraces() - start, store.RowLength(), store.MaxSample());
        LoadContext ctx{ws, ui, *this, path, language};
        const int count = (*reader)(file, target, ctx);
        if (count <= 0) return fail();
        if (count > target.Capacity()) {
            // A reader that claims more than it was given room for: refuse rather than cut.
            ui.Message(RecordTooLargeMessage(language, store.MaxTraces(), store.MaxSample()),
                       MsgButtons::Ok, MsgIcon::Error);
            return fail();
        }

        // A new record without a sample interval is refused before anything changes.
        if (!append && !HasUsableInterval(target.HeaderAt(0))) {
            ShowUnknownFileFormat(ui, language);
            return fail();
        }

        if (recordKind >= 0) store.Params().recordKind = recordKind;
        // Named only now: a window painted behind a failure's message shows the record kept.
        currentFileName = FileNameOf(path);
        Commit(ws, ui, target, count, append);
        if (ctx.afterCommit) ctx.afterCommit();
    } catch (const std::bad_alloc&) {
        ui.Message(NotEnoughMemoryMessage(language), MsgButtons::Ok, MsgIcon::Error);
        return fail();
    } catch (const std::length_error&) {  // a matrix larger than the address space
        ui.Message(NotEnoughMemoryMessage(language), MsgButtons::Ok, MsgIcon::Error);
        return fail();
    } catch (const TargetOverflow&) {  // a reader that reached past the room it was given
        ui.Message(RecordTooLargeMessage(language, store.MaxTraces(), store.MaxSample()),
                   MsgButtons::Ok, MsgIcon::Error);
        return fail();
    }

    path_ = path;
    title_ = FileNameOf(path);
    lastLoadAppended_ = appendedTraces;
    return true;
}

void CVelkarineDoc::Commit(Workspace& ws, UiHost& ui, const LoadTarget& target, int count, bool append)
{
    WaveformStore& store = ws.store;
    const int start = target.Start();
    // A gather of the project file: its headers as they are; its own set-up follows.
    if (fileType == kFileProject) {
        BeforeRecordReplaced(ws);
        CommitLoadTarget(ws, target, count, true);
        return;
    }
    // Rows and extended headers go in now; the header records by store index go to the
    // set-up steps, which copy them (the old headers are still there for the picks).
    CommitLoadTarget(ws, target, count, false);
    std::vector<CTraceHeader> records(static_cast<size_t>(store.MaxTraces()));
    for (int k = 0; k < count; ++k) records[static_cast<size_t>(start + k)] = target.HeaderAt(k);
    // A strong-motion load brings the shown record of every trace read; the set-up's sort
    // moves them with their traces.
    if (fileType == kFileStrongMotionText || fileType == kFileStrongMotionSet) CommitStrongMotionLoad(ws, start, count);
    LoadSetupInfo info;
    info.fileName = currentFileName;
    info.moveStationRecords = StationRecordMover(ws);
    if (append) {
        AppendLoadedTraces(ws, ui, count, records, info);
    } else {
        ReplaceLoadedTraces(ws, ui, count, records, info);
    }
    if (strongMotionFlag) strongMotion.header.traceCount = count + start;
}

void CVelkarineDoc::AdoptPath(const std::string& path, int code)
{
    path_ = path;
    title_ = FileNameOf(path);
    currentFileName = title_;
    fileType = code;
}

bool CVelkarineDoc::SaveRecord(Workspace& ws, const std::string& path, UiHost& ui)
{
    const int language = ws.startup.language;
    // A name whose extension names a saveable type gets that type, whatever the record came
    // from (a set file, a project file, a SEG-2 record after a project ...). Any other name
    // keeps the document's type. A 560QX record is saved as SEG-2 (by its own writer when one
    // is registered), and stays SEG-2.
    int writerCode = fileType;
    const int savedAs = fileType == kFile560QX ? kFileSeg2 : fileType;
    if (const std::optional<int> named = SaveTypeNamedByExtension(path); named && *named != savedAs) writerCode = *named;
    if (writerCode == kFile560QX && !formats_.Writer(kFile560QX)) writerCode = kFileSeg2;
    const RecordWriter* writer = formats_.Writer(writerCode);
    const WriterCheck* check = formats_.Check(writerCode);
    if (!writer || (check && !(*check)(ws, *this))) {
        ui.Message(Msg(language, kCannotSaveType,
                       "このファイル形式では保存できません。ファイルは変更されていません。"),
                   MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }

    std::string reason;
    bool ok = false;
    try {
        std::vector<CTraceHeader> headers(static_cast<size_t>(ws.store.MaxTraces()));
        ws.store.CopyTraceHeaders(headers);
        AtomicFileWriter out(path);
        ByteSink sink(out);
        SaveContext ctx{ws, ui, *this, path, language, headers};
        ok = (*writer)(sink, ctx) && sink.Ok() && !out.Failed();
        if (ok) ok = out.Commit();
        reason = ctx.error.empty() ? out.Error() : ctx.error;
    } catch (const std::bad_alloc&) {
        reason = NotEnoughMemoryMessage(language);
    }
    if (!ok) {
        ui.Message(SaveFailedText(language, path, reason), MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    fileType = writerCode == kFile560QX ? kFileSeg2 : writerCode;
    path_ = path;
    title_ = FileNameOf(path);
    return true;
}

}  // namespace velk
