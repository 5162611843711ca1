#include "recorddump/recorddump.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <memory>

#include "app/command_table.h"
#include "app/formats/document.h"
#include "app/formats/eight_header_commands.h"
#include "app/formats/instrument_commands.h"
#include "app/formats/memory_recorder_commands.h"
#include "platform/recent_files.h"
#include "app/formats/text_import_commands.h"
#include "app/workspace.h"
#include "formats/file_roads.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "platform/byte_io.h"
#include "platform/numtext.h"
#include "platform/profile.h"
#include "platform/uihost.h"

namespace velk::tools {

namespace {

// Newlines and tabs of a shown text, escaped so that every record of the dump is one line.
std::string Escape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += c;
        }
    }
    return out;
}

std::string Number(double v) { return FormatC("%.9g", v); }

// Answers from the options and writes every call into the dump.
class DumpUiHost : public UiHost {
public:
    DumpUiHost(const DumpOptions& options, std::string& out)
        : answers_(options.answers.begin(), options.answers.end()),
          dialogs_(options.dialogs.begin(), options.dialogs.end()),
          out_(out)
    {
    }

protected:
    MsgResult DoMessage(const MessageRequest& request) override
    {
        MsgResult result = MsgResult::Ok;
        if (!answers_.empty()) {
            const std::string a = answers_.front();
            answers_.pop_front();
            result = a == "cancel" ? MsgResult::Cancel : a == "yes" ? MsgResult::Yes : a == "no" ? MsgResult::No : MsgResult::Ok;
        }
        if (!IsButtonOf(result, request.buttons)) result = DismissResult(request.buttons);
        out_ += "message: \"" + Escape(request.text) + "\" -> " + ToString(result) + "\n";
        return result;
    }
    int DoTwoChoice(const TwoChoiceRequest& request) override
    {
        out_ += "question: \"" + Escape(request.message) + "\" -> " + std::to_string(request.defaultChoice) + "\n";
        return request.defaultChoice;
    }
    std::optional<std::string> DoOpenFile(const FileRequest&) override
    {
        std::optional<std::string> path = std::move(openPath_);
        openPath_.reset();
        out_ += std::string("file dialog -> ") + (path ? FileNameOf(*path) : "Cancel") + "\n";
        return path;
    }
    std::vector<std::string> DoOpenFiles(const FileRequest&) override { return {}; }
    std::optional<std::string> DoSaveFile(const FileRequest&) override { return std::nullopt; }
    std::optional<std::string> DoBrowseFolder(const FolderRequest&) override { return std::nullopt; }
    std::unique_ptr<ProgressSink> DoBeginProgress(const std::string& caption) override
    {
        return std::make_unique<RecordingProgress>(caption);
    }
    bool DoRunDialog(DialogRequest& request) override
    {
        std::string shown;
        for (const DialogField& f : request.Fields()) shown += (shown.empty() ? "" : ", ") + f.Name() + "=" + Escape(f.Text());
        bool ok = true;
        std::string answer = "OK";
        for (auto it = dialogs_.begin(); it != dialogs_.end(); ++it) {
            const std::string& d = *it;
            const bool cancel = !d.empty() && d[0] == '!';
            const std::string cls = cancel ? d.substr(1) : d.substr(0, d.find(':'));
            if (cls != request.DialogClass()) continue;
            if (cancel) {
                ok = request.IsOkOnly();
                answer = ok ? "OK (no Cancel button)" : "Cancel";
            } else if (d.find(':') != std::string::npos) {
                std::string values = d.substr(d.find(':') + 1);
                size_t pos = 0;
                while (pos <= values.size()) {
                    size_t comma = values.find(',', pos);
                    if (comma == std::string::npos) comma = values.size();
                    const std::string item = values.substr(pos, comma - pos);
                    const size_t eq = item.find('=');
                    if (eq != std::string::npos) {
                        const std::string error = request.SetFromText(item.substr(0, eq), item.substr(eq + 1));
                        answer += error.empty() ? " " + item : " (refused " + item + ": " + error + ")";
                    }
                    pos = comma + 1;
                }
            }
            dialogs_.erase(it);
            break;
        }
        if (ok && !request.Check().empty()) ok = false;
        out_ += "dialog: " + request.DialogClass() + " {" + shown + "} -> " + answer + "\n";
        return ok;
    }

public:
    // The answer of the next file-open dialog (once).
    void AnswerOpen(std::string path) { openPath_ = std::move(path); }

private:
    std::optional<std::string> openPath_;
    std::deque<std::string> answers_;
    std::deque<std::string> dialogs_;
    std::string& out_;
};

void DumpStore(const Workspace& ws, const CVelkarineDoc& doc, const DumpOptions& options, std::string& out)
{
    const WaveformStore& store = ws.store;
    const CParameterSet& p = store.Params();
    const int traces = store.TraceCount();
    out += "file type: " + std::to_string(doc.fileType) + "\n";
    out += "record kind: " + std::to_string(p.recordKind) + "\n";
    out += "traces: " + std::to_string(traces) + "\n";
    out += "samples per trace: " + std::to_string(p.samplesPerTrace) + "\n";
    out += "sample interval (ms): " + Number(p.sampleInterval) + "\n";
    out += "record maximum: " + Number(p.recordMaximum) + "\n";
    for (int i = 0; i < traces; ++i) {
        const CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        const CTraceHeaderEx& e = store.headersEx[static_cast<size_t>(i)];
        out += FormatC("trace %d: %d %d %d %d %d %s %s %d | x %s y %s latitude %s longitude %s\n", i, h.traceNumber,
                       h.receiverHundredths, h.sourceHundredths, h.gain, h.component, Number(h.delayUs).c_str(),
                       Number(h.intervalUs).c_str(), h.samples, Number(e.x).c_str(), Number(e.y).c_str(),
                       Number(e.latitude).c_str(), Number(e.longitude).c_str());
        int n = store.TraceSamples(i);
        if (options.maxPrint >= 0 && options.maxPrint < n) n = options.maxPrint;
        for (int k = 0; k < n; k += 8) {
            std::string line = FormatC("  %d:", k);
            for (int j = k; j < std::min(n, k + 8); ++j) line += " " + Number(store.current.rows[i][j]);
            out += line + "\n";
        }
    }
}

}  // namespace

const std::vector<ReaderCommand>& ReaderCommands()
{
    static const std::vector<ReaderCommand> commands = {
        {"eight-header-text", cmd::kOpenEightHeaderText},
        {"eight-header-oldest", cmd::kOpenOldestEightHeader},
        {"torvane9", cmd::kOpenTorvane9},
        {"qk", cmd::kOpenQk},
        {"470", cmd::kOpen470},
        {"shuttle", cmd::kOpenShuttle},
        {"kesh", cmd::kReadKesh},
        {"suspension", cmd::kOpenSuspension},
        {"hioki-8840", cmd::kOpenHioki8840},
        {"hioki-8826", cmd::kOpenHioki8826},
        {"hioki-key", cmd::kOpenMemoryRecorderKeyFile},
        {"key", cmd::kOpenKeyFile},
        {"text", cmd::kOpenTextData},
        {"text-rows", cmd::kOpenTextRows},
        {"oskerby", cmd::kReadOskerby},
        {"morvath", cmd::kReadMorvath},
        {"laser-doppler", cmd::kReadLaserDoppler},
        {"binary", cmd::kOpenBinaryData},
        {"brevik", cmd::kReadBrevik},
        {"dwm", cmd::kReadDwm},
        {"varnel", cmd::kReadVarnel},
    };
    return commands;
}

bool ParseDumpArgs(const std::vector<std::string>& args, DumpOptions& options, std::string& file, std::string* error)
{
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    file.clear();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= args.size()) return false;
            v = args[++i];
            return true;
        };
        std::string v;
        if (a == "--japanese") {
            options.language = 1;
        } else if (a == "--max-traces" || a == "--max-sample" || a == "--max-print") {
            if (!value(v)) return fail(a + " needs a number");
            const std::optional<int32_t> n = ParseInt(v);
            if (!n) return fail(a + ": not a number: " + v);
            (a == "--max-traces" ? options.maxTraces : a == "--max-sample" ? options.maxSample : options.maxPrint) = *n;
            if (a != "--max-print") options.capacityGiven = true;
        } else if (a == "--answer") {
            if (!value(v) || (v != "ok" && v != "cancel" && v != "yes" && v != "no")) {
                return fail("--answer needs ok, cancel, yes or no");
            }
            options.answers.push_back(v);
        } else if (a == "--dialog") {
            if (!value(v)) return fail("--dialog needs Class[:Field=Value,...]");
            options.dialogs.push_back(v);
        } else if (a == "--reader") {
            if (!value(v)) return fail("--reader needs a name");
            const auto& readers = ReaderCommands();
            if (std::none_of(readers.begin(), readers.end(), [&](const ReaderCommand& r) { return v == r.name; })) {
                return fail("unknown reader " + v);
            }
            options.reader = v;
        } else if (a == "--first") {
            const size_t eq = value(v) ? v.find('=') : std::string::npos;
            if (eq == std::string::npos) return fail("--first needs NAME=FILE");
            const std::string name = v.substr(0, eq);
            const auto& readers = ReaderCommands();
            if (name != "open" && std::none_of(readers.begin(), readers.end(), [&](const ReaderCommand& r) { return name == r.name; })) {
                return fail("unknown reader " + name);
            }
            options.first.emplace_back(name, v.substr(eq + 1));
        } else if (a == "--cancel-dialog") {
            if (!value(v)) return fail("--cancel-dialog needs a dialog class");
            options.dialogs.push_back("!" + v);
        } else if (!a.empty() && a[0] == '-' && a.size() > 1) {
            return fail("unknown option " + a);
        } else {
            if (!file.empty()) return fail("more than one file: " + file + ", " + a);
            file = a;
        }
    }
    if (file.empty()) return fail("no file given");
    return true;
}

std::string DumpRecord(const std::string& path, const DumpOptions& options)
{
    std::string out = "# recorddump " + FileNameOf(path) + "\n";
    DumpUiHost ui(options, out);
    const std::string profileText = FormatC("[General]\nMAXTRACES=%d\nMAX_SAMPLE=%d\n", options.maxTraces, options.maxSample);
    Profile profile = Profile::FromText(profileText);
    Workspace ws(profile, ui);
    ws.startup.language = options.language;
    ws.diagnostics = std::make_shared<NullLogSink>();
    ws.InitForView();
    CVelkarineDoc doc(ws);
    RegisterFileFormats(doc.Formats());
    const CommandTable table = BuildCommandTable();
    RecentFileList recent;
    // A file through File > Open ("open") or the menu command of a reader name.
    auto read = [&](const std::string& reader, const std::string& file) {
        if (reader.empty() || reader == "open") return doc.LoadRecord(ws, file, ui);
        int id = 0;
        for (const ReaderCommand& r : ReaderCommands())
            if (reader == r.name) id = r.id;
        ui.AnswerOpen(file);
        CommandContext ctx{ws, ui, doc, recent, nullptr, nullptr};
        return RunCommand(table, id, ctx) == 1;
    };
    for (const auto& [reader, file] : options.first) {
        const size_t slash = path.find_last_of('/');
        const std::string beside = file.empty() || file[0] == '/' || slash == std::string::npos ? file : path.substr(0, slash + 1) + file;
        out += "first: " + reader + " " + FileNameOf(file) + "\n";
        read(reader, beside);
    }
    if (!options.reader.empty()) out += "reader: " + options.reader + "\n";
    const bool loaded = read(options.reader, path);
    out += std::string("loaded: ") + (loaded ? "yes" : "no") + "\n";
    DumpStore(ws, doc, options, out);
    return out;
}

namespace {

// English, no diagnostics, the view set up: before the document is made over it.
Workspace& PreparedForTool(Workspace& ws)
{
    ws.startup.language = -1;
    ws.diagnostics = std::make_shared<NullLogSink>();
    ws.InitForView();
    return ws;
}

}  // namespace

DumpOptions SizedToFile(const std::string& file, DumpOptions options)
{
    if (options.capacityGiven) return options;
    // The file's reader into a scratch target with room to spare; rows are made only for the
    // traces read.
    constexpr int kProbeTraces = 2048;
    constexpr int kProbeSamples = 65536;
    NullUiHost quiet;
    Profile profile = Profile::FromText("[General]\nMAXTRACES=1\nMAX_SAMPLE=8\n");
    Workspace ws(profile, quiet);
    CVelkarineDoc doc(PreparedForTool(ws));
    RegisterFileFormats(doc.Formats());
    ByteSource source = ByteSource::FromFile(file);
    if (!source.Ok()) return options;
    try {
        const int code = FileTypeFromContent(file, 1, source);
        const RecordReader* reader = doc.Formats().Reader(code);
        if (!reader) return options;
        LoadTarget target(0, kProbeTraces, kProbeSamples, kProbeSamples);
        LoadContext ctx{ws, quiet, doc, file, -1};
        const int count = std::min((*reader)(source, target, ctx), kProbeTraces);
        int samples = 0;
        for (int k = 0; k < count; ++k) samples = std::max(samples, target.HeaderAt(k).samples);
        if (count <= 0) return options;
        options.maxTraces = std::max(options.maxTraces, count);
        options.maxSample = std::max(options.maxSample, std::min(samples, kProbeSamples));
    } catch (const std::exception&) {
        // A file the probe cannot read: the defaults, and the tool's own read says why.
    }
    return options;
}

MsgResult ToolUiHost::DoMessage(const MessageRequest& request)
{
    std::fprintf(stderr, "%s: %s\n", tool_.c_str(), request.text.c_str());
    return NullUiHost::DoMessage(request);
}

ToolWorkspace::ToolWorkspace(const DumpOptions& options, const char* name)
    : tool(name),
      ui(name),
      profile(Profile::FromText(
          FormatC("[General]\nMAXTRACES=%d\nMAX_SAMPLE=%d\n", options.maxTraces, options.maxSample))),
      ws(profile, ui),
      doc(PreparedForTool(ws))
{
    RegisterFileFormats(doc.Formats());
}

bool ToolWorkspace::Load(const std::string& file)
{
    if (doc.LoadRecord(ws, file, ui) && ws.store.TraceCount() > 0) return true;
    std::fprintf(stderr, "%s: no traces read from %s\n", tool.c_str(), file.c_str());
    return false;
}

}  // namespace velk::tools
