#include "acquisition/acquisition_manager.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "acquisition/acquisition_device.h"
#include "acquisition/acquisition_modes.h"
#include "acquisition/archiver.h"
#include "acquisition/keypad_dialogs.h"
#include "base/settings_io.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/paths.h"
#include "platform/uihost.h"
#include "survey/file_group.h"
#include "survey/sibling_launch.h"
#include "survey/survey_line_xml.h"
#include "survey/survey_services.h"
#include "traveltime/publish_traveltime_set.h"
#include "traveltime/traveltime_set.h"
#include "traveltime/traveltime_text.h"

namespace velk {

namespace {

// The line document's two roads, in one place: the record's fields beyond the list go with
// the document as far as its reader and writer carry them.
int WriteLineDocument(const std::string& path, const LineRecord& record, CFileGroup& group,
                      const MamGeometrySlot& geometry)
{
    SurveyLine line;
    line.lineName = CAcquisitionManager::kLineName;
    line.lineId = record.lineId;
    line.qkwMenu = record.surveyType;
    line.qkwMenuName = record.menuName;
    line.procedureStep = record.procedureStep;
    line.hasDataFile = record.names.hasDataFile;
    line.dataFile = record.names.dataFile;
    line.hasResultFile = record.names.hasResultFile;
    line.resultFile = record.names.resultFile;
    line.hasPlottingFile = record.names.hasPlottingFile;
    line.plottingFile = record.names.plottingFile;
    return WriteLineXml(line, group, geometry, path);
}

int ReadLineDocument(const std::string& path, CFileGroup& group, LineRecord& record, UiHost* ui, int language)
{
    SurveyLine line;
    // The array geometry a line may carry belongs to the analysis, which reads it itself.
    MamGeometrySlot geometry;
    geometry.present = 1;
    const int count = ReadLineXml(line, group, geometry, path, 0, ui, language);
    if (count < 0) return count;
    record.surveyType = line.qkwMenu;
    record.lineId = line.lineId;
    record.menuName = line.qkwMenuName;
    record.procedureStep = line.procedureStep;
    record.names = {line.hasDataFile, line.dataFile, line.hasResultFile, line.resultFile, line.hasPlottingFile,
                    line.plottingFile};
    return count;
}

bool IsFile(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

void StartRecordList(CFileGroup& group)
{
    group.entryCount = 0;
    group.cmpList = 0;
}

std::string CAcquisitionMode::GetName() const { return "General data acquisition"; }

int CAcquisitionMode::Welcome() { return 1; }

int CAcquisitionMode::Step()
{
    Say("Sorry! Under construction", "申し訳ありません。準備中です");
    return 1;
}

int CAcquisitionMode::Acquire()
{
    const ModeContext c = Context();
    if (FileCount() < targetCount) {
        const float source = c.device ? c.device->sourcePosition : 0.0f;
        Say(FormatC("Do the data acquisition \n\n Source location is %f m!", static_cast<double>(source)),
            FormatC("データを収録して下さい \n\n 震源位置は %f m です!", static_cast<double>(source)));
        return 1;
    }
    if (manager_ && manager_->dataFolder.empty()) manager_->dataFolder = WorkingFolder();
    WriteLineFileAndSay("Data acquisition has been completed !", "データ収録が終了しました !");
    return 0;
}

int CAcquisitionMode::Confirm()
{
    const ModeContext c = Context();
    if (!c.ui) return 0;
    const int answer = CStepConfirmDlg::Ask(*c.ui, c.language);
    if (answer == CStepConfirmDlg::kBack) {
        stepState = std::max(stepState - 1, 0);
        return 1;
    }
    return answer == CStepConfirmDlg::kYes ? 1 : 0;
}

int CAcquisitionMode::Advance(int flag)
{
    (void)flag;
    const ModeContext c = Context();
    if (!c.device) return 1;
    const float interval = ShotInterval();
    c.device->sourcePosition += interval;
    if (c.moveReceivers && *c.moveReceivers == 1) c.device->firstReceiverPosition += interval;
    return 1;
}

int CAcquisitionMode::NextShotMessage(int flag)
{
    (void)flag;
    const ModeContext c = Context();
    if (FileCount() < targetCount) {
        const double source = c.device ? c.device->sourcePosition : 0.0;
        Say(FormatC("Next shot location is %fm", source), FormatC("次の発振位置は %fm です", source));
        return 1;
    }
    WriteLineFileAndSay("Data acquisition has been completed !", "データ収録が終了しました !");
    return 0;
}

std::string CAcquisitionMode::GetStatusText() const
{
    const ModeContext c = Context();
    if (!c.device) return FormatC("Next ID=%d(%.1fm)", 1, 0.0);
    return FormatC("Next ID=%d(%.1fm)", c.device->NextID, static_cast<double>(c.device->sourcePosition));
}

int CAcquisitionMode::EditGeometry()
{
    const ModeContext c = Context();
    if (!c.ui || !c.device) return 0;
    CGeometrySetupDlg dlg;
    dlg.id = c.device->NextID;
    dlg.firstReceiver = c.device->firstReceiverPosition;
    dlg.source = c.device->sourcePosition;
    dlg.sourceInterval = ShotInterval();
    dlg.moveReceivers = c.moveReceivers ? std::clamp(*c.moveReceivers, 0, 1) : 0;
    int count = FileCount();
    if (!dlg.Run(*c.ui, c.language, count)) return 0;
    SetFileCount(count);
    c.device->NextID = dlg.id;
    c.device->firstReceiverPosition = dlg.firstReceiver;
    c.device->sourcePosition = dlg.source;
    if (c.shotInterval) *c.shotInterval = dlg.sourceInterval;
    if (c.moveReceivers) *c.moveReceivers = dlg.moveReceivers;
    return 1;
}

int CAcquisitionMode::FileCount() const
{
    const ModeContext c = Context();
    return c.group ? c.group->entryCount : 0;
}

void CAcquisitionMode::SetFileCount(int count) const
{
    const ModeContext c = Context();
    if (!c.group) return;
    if (count <= 0) StartRecordList(*c.group);
    else c.group->entryCount = std::min(count, c.group->entryCount);
}

void CAcquisitionMode::Say(const std::string& english, const std::string& japanese) const
{
    const ModeContext c = Context();
    if (c.ui) c.ui->Message(Msg(c.language, english, japanese), MsgButtons::Ok, MsgIcon::Info);
}

bool CAcquisitionMode::Ask(const std::string& english, const std::string& japanese, MsgButtons buttons) const
{
    const ModeContext c = Context();
    if (!c.ui) return false;
    const MsgResult r = c.ui->Message(Msg(c.language, english, japanese), buttons, MsgIcon::Question);
    return r == MsgResult::Ok || r == MsgResult::Yes;
}

void CAcquisitionMode::WriteLineFileAndSay(const char* english, const char* japanese) const
{
    if (!manager_) return;
    if (!manager_->lineFileSet) manager_->UpdateLineFile();
    const std::string path = manager_->lineFilePath;
    const int written = manager_->WriteLineFile(path);
    if (written == 1) {
        Say(FormatC("%s \n\n Analysis result was saved into %s!", english, path.c_str()),
            FormatC("%s \n\n 解析結果は %s に保存されました!", japanese, path.c_str()));
    } else if (written < 0) {
        Say(english, japanese);  // the line files are off: nothing was saved, and nothing is claimed
    } else if (const ModeContext c = Context(); c.ui) {
        c.ui->Message(Msg(c.language, FormatC("%s \n\n Cannot save %s", english, path.c_str()),
                          FormatC("%s \n\n %s を保存できません", japanese, path.c_str())),
                      MsgButtons::Ok, MsgIcon::Error);
    }
}

void CAcquisitionMode::Repaint() const
{
    const ModeContext c = Context();
    if (c.services) c.services->Repaint();
}

bool CAcquisitionMode::InstrumentPresent() const
{
    const ModeContext c = Context();
    return c.instrumentPresent && *c.instrumentPresent == 1;
}

float CAcquisitionMode::ReceiverInterval() const
{
    const ModeContext c = Context();
    return c.receiverInterval ? *c.receiverInterval : 1.0f;
}

float CAcquisitionMode::ShotInterval() const
{
    const ModeContext c = Context();
    return c.shotInterval ? *c.shotInterval : 1.0f;
}

ModeContext CAcquisitionMode::Context() const { return manager_ ? manager_->Context() : ModeContext{}; }

std::vector<float> ComputeShotPositions(int shots, int receivers, float receiverInterval, float firstReceiver)
{
    if (shots < kMinRefractionShots) return {};
    const int n = shots;
    const float dx = receiverInterval;
    const float x1 = firstReceiver;
    std::vector<float> p(static_cast<size_t>(n));
    p[1] = x1 + 0.5f * dx;
    p[n - 2] = x1 + (static_cast<float>(receivers) - 2.0f + 0.5f) * dx;
    const float d = (p[n - 2] - p[1]) / static_cast<float>(n - 3);
    p[0] = x1 - d;
    p[n - 1] = x1 + static_cast<float>(receivers - 1) * dx + d;
    for (int m = 0; m <= n - 5; ++m) p[m + 2] = p[1] + static_cast<float>(m + 1) * d;
    return p;
}

std::string ShotPositionList(const std::vector<float>& positions)
{
    std::string list;
    for (size_t i = 0; i < positions.size(); ++i) {
        list += FormatC("%d : %.2fm\n", static_cast<int>(i + 1), static_cast<double>(positions[i]));
    }
    return list;
}

std::string TooFewShotsMessage(int language)
{
    return Msg(language, "The number of shots must be 4 or more.", "ショット数は4以上にして下さい。");
}

CAcquisitionManager::CAcquisitionManager() : dataFolder(MapWindowsPath("c:\\Data")) {}

CAcquisitionManager::~CAcquisitionManager() = default;

void CAcquisitionManager::BuildMode()
{
    if (surveyType < kMinType || surveyType > kMaxType) {
        mode_.reset();
        return;
    }
    mode_ = MakeAcquisitionMode(surveyType, this);
}

int CAcquisitionManager::CreateMode()
{
    if (ctx_.device && ctx_.profile) {
        // The profile may still hold an earlier line than the one recorded last: never go back.
        int stored = lineIndex;
        ctx_.device->LoadSettings(*ctx_.profile, stored);
        lineIndex = std::max(lineIndex, stored);
    }
    NextLine();
    BuildMode();
    // PS logging starts from its presets at once.
    if (mode_ && surveyType == 6) mode_->Reset();
    return mode_ ? 1 : 0;
}

int CAcquisitionManager::DestroyMode()
{
    mode_.reset();
    return 1;
}

std::set<std::string> CAcquisitionManager::LineIdsInUse() const
{
    std::set<std::string> used;
    std::error_code ec;
    const std::filesystem::path folder(dataFolder.empty() ? WorkingFolder() : dataFolder);
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() < 8 || name.compare(0, 2, "qk") != 0) continue;
        const std::string id = name.substr(2, 2);
        const std::string rest = name.substr(4);
        const bool lineFile = rest == ".xml" || rest == ".pvs";
        const bool record = rest.size() == 8 && rest.compare(4, 4, ".sg2") == 0 &&
                            std::all_of(rest.begin(), rest.begin() + 4, [](char c) { return c >= '0' && c <= '9'; });
        if (lineFile || record) used.insert(id);
    }
    return used;
}

int CAcquisitionManager::NextLine()
{
    // The next line ID that no line file or record of the data folder carries; when every ID is
    // taken, the next one, and the question about its file list protects it.
    const int next = std::max(lineIndex, -1) + 1;
    const std::set<std::string> used = LineIdsInUse();
    lineIndex = next;
    for (int i = next; i < next + kLineIds; ++i) {
        if (!used.count(LineIdOf(i))) {
            lineIndex = i;
            break;
        }
    }
    if (ctx_.profile) WriteSettingInt(*ctx_.profile, "LineName", lineIndex);
    names_ = {};
    lineFilePath = LineFilePath(".xml");
    lineFileSet = 1;
    CheckLineFile(lineFilePath);
    return lineIndex;
}

void CAcquisitionManager::StepMode()
{
    if (mode_) mode_->Step();
}

std::string CAcquisitionManager::DataFilePath(const std::string& name) const
{
    std::filesystem::path folder(dataFolder);
    if (dataFolder.empty()) folder = WorkingFolder();
    return (folder / name).string();
}

std::string CAcquisitionManager::LineId()
{
    lineIndex = std::max(lineIndex, 0);
    return LineIdOf(lineIndex);
}

int CAcquisitionManager::EditModeGeometry() { return mode_ ? mode_->EditGeometry() : 0; }

std::string CAcquisitionManager::SwapDataFolder(const std::string& folder)
{
    std::string old = dataFolder;
    dataFolder = folder;
    return old;
}

int CAcquisitionManager::SelectMode(const LineRecord& line)
{
    // Reopening keeps to the chosen line: no move to the next line and no question about it.
    surveyType = line.surveyType;
    mode_.reset();
    if (ctx_.device && ctx_.profile) ctx_.device->LoadSettings(*ctx_.profile, lineIndex);
    BuildMode();
    lineIndex = std::max(line.lineId, 0);
    lineFilePath = LineFilePath(".xml");
    lineFileSet = 1;
    names_ = line.names;
    if (!mode_) return -1;
    if (line.names.hasDataFile == 1 && !line.names.dataFile.empty() && ctx_.traveltime) {
        // The kind the file declares says where it goes, whatever its name: a line's curves among
        // the curves, its first arrivals (also an older "qk<ID>.pvs" of a refraction line) not.
        const std::string path = DataFilePath(line.names.dataFile);
        const bool curves = TraveltimeFileSetOf(path) == TraveltimeTextSet::PhaseVelocityCurves;
        ReadTraveltimeText(curves && ctx_.curves ? *ctx_.curves : *ctx_.traveltime, path);
    }
    mode_->stepState = line.procedureStep;
    return mode_->Start(*this, line) == 1 ? surveyType : -1;
}

std::string CAcquisitionManager::LineFilePath(const std::string& extension)
{
    return DataFilePath("qk" + LineId() + extension);
}

int CAcquisitionManager::CheckLineFile(const std::string& path)
{
    if (!IsFile(path)) return 0;
    if (!ctx_.ui) return 1;
    const int language = ctx_.language;
    const std::string question =
        FormatC(Msg(language, "%s is already existed. Append file to it? \n\n（If no, %s will be overwritten.）",
                    "%s は既に存在します。ファイルを追加しますか? \n\n（いいえの場合、%s は上書きされます。）")
                    .c_str(),
                path.c_str(), path.c_str());
    if (ctx_.ui->Message(question, MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes) return 1;
    if (!ctx_.group) return 1;
    // The line's list replaces the group's: appending would mix two lines.
    CFileGroup scratch = *ctx_.group;
    StartRecordList(scratch);
    LineRecord record;
    if (ReadLineDocument(path, scratch, record, ctx_.ui, ctx_.language) < 0) {
        ctx_.ui->Message(FormatC(Msg(language, "Cannot read %s", "%s を読めません").c_str(), path.c_str()),
                         MsgButtons::Ok, MsgIcon::Error);
        return 1;
    }
    *ctx_.group = std::move(scratch);
    names_ = record.names;
    return 1;
}

std::string CAcquisitionManager::UpdateLineFile()
{
    lineFilePath = LineFilePath(".xml");
    lineFileSet = 1;
    if (LineFilesOn()) WriteLineFile(lineFilePath);
    return lineFilePath;
}

int CAcquisitionManager::WriteLineFile(const std::string& path)
{
    if (!LineFilesOn()) return -1;
    // The 2D analysis leaves the line's CMP gathers in the group: the line file keeps listing
    // the line's own records.
    if (ctx_.group && ctx_.group->cmpList == 1) return RewriteLineFile(path);
    return WriteLineFileTo(path);
}

LineRecord CAcquisitionManager::CurrentRecord() const
{
    LineRecord record;
    record.surveyType = surveyType;
    record.lineId = std::max(lineIndex, 0);
    record.procedureStep = mode_ ? mode_->GetStep() : 0;
    record.names = names_;
    if (mode_) record.menuName = mode_->GetName();
    return record;
}

int CAcquisitionManager::WriteLineFileTo(const std::string& path)
{
    if (!ctx_.group || path.empty()) return 0;
    const MamGeometrySlot geometry = ctx_.geometry ? ctx_.geometry() : MamGeometrySlot{};
    return WriteLineDocument(path, CurrentRecord(), *ctx_.group, geometry) == 1 ? 1 : 0;
}

int CAcquisitionManager::RewriteLineFile(const std::string& path)
{
    CFileGroup listed;
    LineRecord kept;
    if (path.empty() || !IsFile(path) || ReadLineDocument(path, listed, kept, ctx_.ui, ctx_.language) < 0) return 0;
    const MamGeometrySlot geometry = ctx_.geometry ? ctx_.geometry() : MamGeometrySlot{};
    return WriteLineDocument(path, CurrentRecord(), listed, geometry) == 1 ? 1 : 0;
}

std::string CAcquisitionManager::WriteLineResultFile(TraveltimeTextSet set)
{
    const std::string name = "qk" + LineId() + ".pvs";
    const std::string path = LineFilePath(".pvs");
    // A traveltime file that this line has not registered belongs to an earlier line.
    if (IsFile(path) && !(names_.hasDataFile == 1 && names_.dataFile == name) && ctx_.ui) {
        const std::string question = FormatC(
            Msg(ctx_.language, "%s already exists. Overwrite it?", "%s は既に存在します。上書きしますか?").c_str(),
            path.c_str());
        if (ctx_.ui->Message(question, MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes) return {};
    }
    if (!ctx_.services || ctx_.services->SaveRostrelFile(path, set) != 1) return {};
    RegisterLineResultFile(name);
    return path;
}

int CAcquisitionManager::RegisterLineResultFile(const std::string& name)
{
    names_.hasDataFile = 1;
    names_.dataFile = name;
    if (!LineFilesOn()) return 1;
    if (!lineFileSet) {
        lineFilePath = LineFilePath(".xml");
        lineFileSet = 1;
    }
    // The result goes into the list the line file holds, whatever the analysis left in the group.
    if (IsFile(lineFilePath)) return RewriteLineFile(lineFilePath);
    return WriteLineFile(lineFilePath);
}

void CAcquisitionManager::ChangeLineIndex(int index)
{
    if (ctx_.group && ctx_.group->entryCount > 0 && ctx_.ui) {
        const std::string question = Msg(ctx_.language, "Line ID was changed. Make new file list?",
                                         "ラインIDが変更されました。新しいファイルリストを作りますか?");
        if (ctx_.ui->Message(question, MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes) {
            StartRecordList(*ctx_.group);
        }
    }
    lineIndex = std::max(index, 0);
    names_ = {};
    lineFilePath = LineFilePath(".xml");
    lineFileSet = 1;
    CheckLineFile(lineFilePath);
}

int CAcquisitionManager::SendDispersionCurves(const std::string& programSwitch, const std::string& name)
{
    if (!ctx_.traveltime) return 0;
    // The block is the traveltime set's; the curves read from the file fill it.
    CTraveltimeSet& set = *ctx_.traveltime;
    CTraveltimeSet& curves = ctx_.curves ? *ctx_.curves : set;
    const int language = ctx_.language;
    auto say = [&](const std::string& text) {
        if (ctx_.ui) ctx_.ui->Message(text, MsgButtons::Ok, MsgIcon::Warning);
    };
    const int read = ReadTraveltimeText(curves, DataFilePath(name));
    if (read <= 0) {
        say(Msg(language, "No dispersion curve data !", "分散曲線のデータがありません !"));
        return 0;
    }
    if (read > rostrel_block::kShots) {
        const std::string format = Msg(language, "The number of phase velocity curves is larger than %d !",
                                       "位相速度曲線の数が %d を超えています !");
        say(FormatC(format.c_str(), rostrel_block::kShots));
        return 0;
    }
    if (set.blockOpen == 0) {
        std::string error;
        OpenRostrelData(set, &error);
        if (set.blockOpen == 0) {
            say(Msg(language, "The shared block for the dispersion program could not be made.",
                    "分散曲線プログラム用の共有メモリを作れませんでした。") +
                "\n" + error);
            return 0;
        }
        SetRostrelParameter(set, 0, mode_ ? mode_->spreadLength : 0.0f);
    }
    CopyToRostrelData(set, curves, std::max(lineIndex, 0), dataFolder);
    if (!ctx_.ui || !ctx_.launcher || !ctx_.programs) return 0;
    const LaunchServices launch{*ctx_.ui, *ctx_.launcher, ctx_.workingFolder, language};
    return LaunchDispersionProgram(ctx_.programs->quessil, programSwitch, launch);
}

int CAcquisitionManager::StartPlotter(const std::string& name)
{
    const int language = ctx_.language;
    if (!plottingView_) {
        std::string error;
        plottingView_ = plottingBlock_.Create(kPlottingBlock, kPlottingBlockSize, &error);
        if (!plottingView_) {
            if (ctx_.ui) {
                ctx_.ui->Message(Msg(language, "The shared block for the plotting program could not be made.",
                                     "描画プログラム用の共有メモリを作れませんでした。") +
                                     "\n" + error,
                                 MsgButtons::Ok, MsgIcon::Error);
            }
            return 0;
        }
    }
    const size_t length = std::min(dataFolder.size(), kPlottingBlockSize - 1);
    std::copy_n(dataFolder.begin(), length, plottingView_);
    plottingView_[length] = 0;
    CommandLine line;
    line.Append(" -0 -100 -20 -10 -1 -%s -%d -%d",
                {DataFilePath(name), std::to_string(surveyType), std::to_string(std::max(lineIndex, 0))});
    if (!ctx_.ui || !ctx_.launcher || !ctx_.programs) return 0;
    const LaunchServices launch{*ctx_.ui, *ctx_.launcher, ctx_.workingFolder, language};
    return LaunchWithRetry(SiblingProgram::Mandrove, ctx_.programs->mandrove, line, launch);
}

}  // namespace velk
