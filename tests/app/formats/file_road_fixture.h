#pragma once
// A headless workspace, document and scripted UiHost for the File-menu roads of the 8-header
// and instrument-file commands, with a temporary folder for their files.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_table.h"
#include "app/formats/document.h"
#include "platform/recent_files.h"
#include "app/shell_services.h"
#include "app/workspace.h"
#include "formats/eight_header.h"
#include "formats/format_support.h"
#include "platform/profile.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk::testing {

class TitleOnlyFrame : public FrameServices {
public:
    void DocumentTitleChanged(const std::string& title) override { titles.push_back(title); }
    void RecentFilesChanged() override {}
    void RequestClose() override {}
    void ShowAbout() override {}
    StatusPanes* Status() override { return nullptr; }
    std::vector<std::string> titles;
};

struct FileRoad {
    explicit FileRoad(const std::string& profileText = "")
        : profile(Profile::FromText(profileText)), ws(profile, ui), doc(ws)
    {
        ws.startup.language = -1;
        ws.diagnostics = std::make_shared<MemoryLogSink>();
        ws.InitForView(folder.Path());
        RegisterFileFormats(doc.Formats());
    }
    CommandContext Context() { return CommandContext{ws, ui, doc, recent, nullptr, &frame}; }
    int Run(int (*command)(CommandContext&))
    {
        CommandContext ctx = Context();
        return command(ctx);
    }
    const CTraceHeader& H(int i) const { return ws.store.current.headers[static_cast<size_t>(i)]; }
    float S(int i, int k) const { return ws.store.current.rows[i][k]; }
    const MemoryLogSink& Log() const { return static_cast<const MemoryLogSink&>(*ws.diagnostics); }

    // An 8-header file of `traces` traces of `samples` samples written by our writer: trace i
    // at receiver receivers[i] (hundredths), sample k = i * 1000 + k.
    std::string WriteEightHeader(const std::string& name, const std::vector<int32_t>& receivers, int samples = 20,
                                 float intervalUs = 500.0f, int32_t component = 1)
    {
        const int n = static_cast<int>(receivers.size());
        Matrix2D<float> rows(0, n - 1, 0, samples - 1);
        std::vector<CTraceHeader> headers(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            headers[static_cast<size_t>(i)].Set(i + 1, receivers[static_cast<size_t>(i)], 300, 12, component, 0.0f,
                                                intervalUs, samples);
            for (int k = 0; k < samples; ++k) rows[i][k] = static_cast<float>(i * 1000 + k);
        }
        const std::string path = folder.File(name);
        EXPECT_TRUE(WriteEightHeaderFile(path, rows, headers, n).ok);
        return path;
    }

    TempFolder folder;
    ScriptedUiHost ui;
    Profile profile;
    Workspace ws;
    CVelkarineDoc doc;
    RecentFileList recent;
    TitleOnlyFrame frame;
};

}  // namespace velk::testing
