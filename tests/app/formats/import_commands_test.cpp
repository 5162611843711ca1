// The memory-recorder and text/binary import commands headless over the scripted UiHost: the
// roads of each family with their set-ups, the key-file rebuild and input gain, the writes with
// a failing one, Brevik's side files, the Perrow files and their rule, the menu rows.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "app/formats/document.h"
#include "app/formats/memory_recorder_commands.h"
#include "platform/recent_files.h"
#include "app/formats/text_import_commands.h"
#include "app/workspace.h"
#include "formats/memory_recorder.h"
#include "formats/text_imports.h"
#include "platform/atomic_file.h"
#include "platform/profile.h"
#include "tests/formats/import_fixtures.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

namespace fx = velk::testing::importfixture;
using velk::testing::ReadFileBytes;
using velk::testing::TempFolder;

struct ImportFixture {
    ImportFixture() : profile(Profile::FromText("[General]\nMAXTRACES=16\nMAX_SAMPLE=64\n")), ws(profile, ui), doc(ws)
    {
        ws.startup.language = -1;
        ws.diagnostics = log;
        ws.InitForView(folder.Path());
        RegisterFileFormats(doc.Formats());
    }
    CommandContext Context() { return CommandContext{ws, ui, doc, recent, nullptr, nullptr}; }
    std::string Put(const std::string& name, const fx::Bytes& bytes)
    {
        velk::testing::WriteFileBytes(folder.File(name), bytes);
        return folder.File(name);
    }
    std::string Put(const std::string& name, const std::string& text) { return Put(name, fx::ToBytes(text)); }
    int Run(int id)
    {
        CommandContext ctx = Context();
        return RunCommand(table, id, ctx);
    }
    // An 8840 record of `channels` channels of 4 samples, channel c holding code 2048 + c + 1.
    int Load8840(int channels)
    {
        fx::Hioki8840 h;
        h.flags = std::string(static_cast<size_t>(channels), '1') + std::string(16 - static_cast<size_t>(channels), '0');
        h.ranges.assign(static_cast<size_t>(channels), "80");
        h.units.assign(static_cast<size_t>(channels), "mV");
        for (int c = 0; c < channels; ++c) h.codes.push_back(std::vector<uint16_t>(4, static_cast<uint16_t>(2049 + c)));
        ui.AnswerFileOpen(Put("rec.mem", fx::Hioki8840File(h)));
        ui.ExpectAnyMessage();  // the summary
        return Run(cmd::kOpenHioki8840);
    }
    float Sample(int i, int j) const { return ws.store.current.rows[i][j]; }
    const CTraceHeader& H(int i) const { return ws.store.current.headers[static_cast<size_t>(i)]; }

    TempFolder folder;
    ScriptedUiHost ui;
    std::shared_ptr<MemoryLogSink> log = std::make_shared<MemoryLogSink>();
    Profile profile;
    Workspace ws;
    CVelkarineDoc doc;
    RecentFileList recent;
    CommandTable table = BuildCommandTable();
};

TEST(MemoryRecorderRoads, Open8840WithTheGenericSetUp)
{
    ImportFixture f;
    ASSERT_EQ(f.Load8840(2), 1);
    EXPECT_EQ(f.ui.Messages().back(), " Number of trace = 2 \n Sampling time = 0.001000 \n Number of sample = 4 ");
    EXPECT_EQ(f.ws.store.TraceCount(), 2);
    EXPECT_EQ(f.H(1), (CTraceHeader{1, 200, 0, 1, 1, 0.0f, 1.0f, 4}));
    EXPECT_FLOAT_EQ(f.Sample(1, 0), static_cast<float>(2 * 80 * 0.0000125));
    EXPECT_EQ(f.ws.store.Params().plotscale, 100.0f);
    EXPECT_EQ(f.ws.store.Params().hscale, 50.0f);
    // The imported file has no writer: the document is untitled and keeps the file's name.
    EXPECT_EQ(f.doc.Path(), "");
    EXPECT_EQ(f.doc.currentFileName, "rec.mem");
}

TEST(MemoryRecorderRoads, Open8826AskingForTheHeaderCount)
{
    ImportFixture f;
    fx::Hioki8826 h;
    h.samples = {{1, 2, 3}, {4, 5, 6}};
    const std::string path = f.Put("rec.826", fx::Hioki8826File(h));
    f.ui.AnswerFileOpen(path);
    f.ui.CancelDialog(CHeaderCountDlg::kClass);
    EXPECT_EQ(f.Run(cmd::kOpenHioki8826), 0);
    EXPECT_EQ(f.ws.store.TraceCount(), 0);

    f.ui.AnswerFileOpen(path);
    f.ui.AnswerDialog(CHeaderCountDlg::kClass);
    f.ui.ExpectAnyMessage();
    ASSERT_EQ(f.Run(cmd::kOpenHioki8826), 1);
    EXPECT_EQ(f.ws.store.TraceCount(), 2);
    EXPECT_FLOAT_EQ(f.Sample(1, 2), static_cast<float>(6 * 500 * 0.0000125));
    EXPECT_FLOAT_EQ(f.Sample(0, 2), static_cast<float>(3 * 5000 * 0.0000125));
}

TEST(MemoryRecorderRoads, KeyFilesRebuildTracesFromChannelsAndShowThemAll)
{
    ImportFixture f;
    ASSERT_EQ(f.Load8840(4), 1);
    const float channel3 = f.Sample(2, 0);
    const int curves = f.ws.display.showTraveltimeCurves;
    f.ui.AnswerFileOpen(f.Put("keys.txt", "3 500 0 0 0 2.0\n3 100 0 0 0 1.0\n"));
    ASSERT_EQ(f.Run(cmd::kOpenMemoryRecorderKeyFile), 1);
    EXPECT_EQ(f.ws.store.TraceCount(), 2);
    EXPECT_EQ(f.H(0).receiverHundredths, 100);  // sorted by receiver
    EXPECT_EQ(f.Sample(0, 0), channel3);
    EXPECT_EQ(f.Sample(1, 0), 2.0f * channel3);
    EXPECT_FLOAT_EQ(f.ws.store.Params().traceMaxima[1], 2.0f * channel3);
    EXPECT_FLOAT_EQ(f.H(1).intervalUs, 1.01f);
    EXPECT_EQ(f.ws.display.showTraveltimeCurves, -curves);

    // Keys that make more traces than the record had show them all, from the first.
    f.ws.store.Params().tracesShown = 1;
    f.ws.display.firstTraceShown = 1;
    f.ui.AnswerFileOpen(f.Put("more.txt", "1 100 0 1 0 0\n1 200 0 1 0 0\n2 300 0 1 0 0\n2 400 0 1 0 0\n"));
    ASSERT_EQ(f.Run(cmd::kOpenKeyFile), 1);
    EXPECT_EQ(f.ws.store.TraceCount(), 4);
    EXPECT_EQ(f.ws.store.Params().tracesShown, 4);
    EXPECT_EQ(f.ws.display.firstTraceShown, 0);

    // A key file that names no channel of the record changes nothing.
    f.ui.AnswerFileOpen(f.Put("none.txt", "9 500 0 0 0 1\n"));
    f.ui.ExpectMessage("The key file names no channel of the record ! \n The data was not changed.");
    EXPECT_EQ(f.Run(cmd::kOpenKeyFile), 0);
    EXPECT_EQ(f.ws.store.TraceCount(), 4);
}

TEST(MemoryRecorderRoads, InputGainOfTheFirstEightChannels)
{
    ImportFixture f;
    ASSERT_EQ(f.Load8840(10), 1);
    const float second = f.Sample(1, 0), ninth = f.Sample(8, 0);
    f.ui.AnswerDialog(CInputGainDlg::kClass, {{"Gain2", "2.0"}, {"Gain8", "0"}});
    ASSERT_EQ(f.Run(cmd::kInputGain), 1);
    EXPECT_EQ(f.Sample(1, 0), 2.0f * second);
    EXPECT_EQ(f.Sample(7, 0), 0.0f);
    EXPECT_EQ(f.Sample(8, 0), ninth);
    EXPECT_FLOAT_EQ(f.ws.store.Params().traceMaxima[1], 2.0f * second);
}

TEST(TextImportRoads, TextColumnsWithTheCommonSetUp)
{
    ImportFixture f;
    f.ui.AnswerFileOpen(f.Put("cols.txt", fx::Numbers({1, 2, 3, 4, 5, 6, 7, 8, 9, 10})));
    f.ui.AnswerDialog(CReadTextFormatDlg::kClass, {{"Samples", "4"}, {"SamplingTime", "0.5"}});
    f.ui.ExpectMessage(" Number of trace = 2 \n Sampling time = 0.500000 \n Number of sample = 4 ");
    ASSERT_EQ(f.Run(cmd::kOpenTextData), 1);
    EXPECT_EQ(f.H(1), (CTraceHeader{2, 200, 0, 1, 1, 1.0f, 500.0f, 4}));
    EXPECT_EQ(f.Sample(1, 3), 8.0f);
    EXPECT_EQ(f.ws.store.Params().plotscale, 50.0f);
    EXPECT_EQ(f.ws.store.Params().hscale, 25.0f);
    EXPECT_EQ(f.ws.display.firstReceiver, 1.0f);
    EXPECT_EQ(f.ws.display.lastReceiver, 1.0f);
    EXPECT_FLOAT_EQ(f.ws.store.Params().shownTime, 2.0f);
}

TEST(TextImportRoads, BinaryThroughTheOperationsHolder)
{
    ImportFixture f;
    f.ui.AnswerFileOpen(f.Put("dump.bin", fx::Int32Words({1, 2, 3, 4, 5, 6, 7})));
    f.ui.ExpectMessage("28 7");
    f.ui.AnswerDialogWith(CReadTextFormatDlg::kClass, [](DialogRequest& request) {
        EXPECT_EQ(request.Find("Samples")->Text(), "7");
        EXPECT_EQ(request.Find("SamplingTime")->Text(), "10");
        request.SetFromText("Samples", "2");
        return true;
    });
    f.ui.ExpectAnyMessage();
    ASSERT_EQ(f.Run(cmd::kOpenBinaryData), 1);
    EXPECT_EQ(f.ws.store.TraceCount(), 3);
    EXPECT_EQ(f.Sample(2, 1), 6.0f);
    EXPECT_EQ(f.log->Text("open_binary_file.txt").substr(0, 9), "1.000000\n");
}

TEST(TextImportRoads, BrevikTracesAlsoBecomeEightHeaderFiles)
{
    ImportFixture f;
    f.ui.SetStrict(false);
    f.ws.store.SetCapacity(16, 4);
    ASSERT_TRUE(f.ws.store.Resize(16, 4));
    f.ui.AnswerFileOpen(f.Put("line.txt", fx::PairsFile(9, 0.001)));
    f.ui.AnswerDialog("CReceiverLocationDlg", {{"Location", "2.5"}});
    ASSERT_EQ(f.Run(cmd::kReadBrevik), 1);
    EXPECT_EQ(f.ws.store.TraceCount(), 2);
    const std::string side = f.log->Text("mam1_line.8hd");
    ASSERT_EQ(side.size(), 32u + 4 * 4);  // one 8-header trace of 4 samples
    CTraceHeader h;
    std::memcpy(&h, side.data(), 32);
    EXPECT_EQ(h.receiverHundredths, 250);
    EXPECT_EQ(h.traceNumber, 2);
}

TEST(TextExportRoads, FailedWriteKeepsTheOldFile)
{
    ImportFixture f;
    ASSERT_EQ(f.Load8840(2), 1);
    const std::string out = f.folder.File("rows.txt");
    velk::testing::WriteFileText(out, "old contents");
    const std::vector<uint8_t> old = ReadFileBytes(out);
    AtomicFileWriter::SetFaultInjector([](size_t) { return false; });
    f.ui.AnswerFileSave(out);
    f.ui.ExpectAnyMessage();
    f.Run(cmd::kSaveTextAsRows);
    AtomicFileWriter::SetFaultInjector({});
    EXPECT_EQ(ReadFileBytes(out), old);

    f.ui.AnswerFileSave(out);
    f.Run(cmd::kSaveTextAsRows);
    EXPECT_EQ(velk::testing::ReadFileText(out).substr(0, 4), "2 4\n");
}

TEST(TextExportRoads, PerrowFilesEnergyAndTheirRules)
{
    ImportFixture f;
    EXPECT_FALSE(f.table.IsEnabled(cmd::kSavePerrow, f.ws, f.recent));
    ASSERT_EQ(f.Load8840(2), 1);
    EXPECT_TRUE(f.table.IsEnabled(cmd::kSavePerrow, f.ws, f.recent));
    f.Run(cmd::kSavePerrow);
    EXPECT_TRUE(std::filesystem::exists(f.folder.File("c.mem01.cdm")));
    EXPECT_TRUE(std::filesystem::exists(f.folder.File("c.mem02.cdm")));
    f.Run(cmd::kSaveEnergy);
    EXPECT_EQ(f.log->Text("energy.txt").substr(0, 10), " 0.003000 ");
    ASSERT_TRUE(f.ws.store.Resize(128, 64));
    f.ws.store.Params().traceCount = 99;
    EXPECT_TRUE(f.table.IsEnabled(cmd::kSavePerrow, f.ws, f.recent));
    f.ws.store.Params().traceCount = 100;
    EXPECT_FALSE(f.table.IsEnabled(cmd::kSavePerrow, f.ws, f.recent));
}

}  // namespace
}  // namespace velk
