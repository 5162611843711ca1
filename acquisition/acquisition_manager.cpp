#include "acquisition/acquisition_manager.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "acquisition/acquisition_device.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/paths.h"
#include "platform/uihost.h"
#include "survey/file_group.h"
#include "survey/survey_line_xml.h"

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

std::string CAcquisitionMode::GetName() const
{
    switch (type_) {
    case 2: return "1D surface-wave method";
    case 3: return "2D surface wave method";
    case 4: return "Refraction method";
    case 5: return "Microtremors Array Measurements";
    case 6: return "PS-Logging";
    case 7: return "Ground-water survey";
    case 8: return "Active 1D MASW";
    case 9: return "Passive 1D MAM";
    default: return "General data acquisition";
    }
}

int CAcquisitionMode::Welcome()
{
    const ModeContext c = Context();
    if (!c.ui) return 1;
    struct Text {
        const char* english;
        const char* japanese;
    };
    static constexpr Text kWelcome[] = {
        {"Welcome to 1D surface wave survey !", "1次元表面波探査へようこそ !"},
        {"Welcome to 2D surface wave survey !", "2次元表面波探査へようこそ !"},
        {"Welcome to seismic refraction survey !", "屈折法地震探査へようこそ !"},
        {"Welcome to Microtremors Array Measurements !", "微動アレイ探査へようこそ !"},
        {"Welcome to PSLogging !", "PS検層へようこそ !"},
        {"Welcome to Ground-water survey !", "地下水探査へようこそ !"},
    };
    if (type_ >= 2 && type_ <= 7) {
        const Text& t = kWelcome[type_ - 2];
        c.ui->Message(Msg(c.language, t.english, t.japanese), MsgButtons::Ok, MsgIcon::Info);
    }
    return 1;
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
    mode_ = std::make_unique<CAcquisitionMode>(surveyType, this);
}

int CAcquisitionManager::CreateMode()
{
    if (ctx_.device && ctx_.profile) ctx_.device->LoadSettings(*ctx_.profile, lineIndex);
    NextLine();
    BuildMode();
    return mode_ ? 1 : 0;
}

int CAcquisitionManager::DestroyMode()
{
    mode_.reset();
    return 1;
}

int CAcquisitionManager::NextLine()
{
    lineIndex = std::max(lineIndex, -1) + 1;
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

std::string CAcquisitionManager::LineId()
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz";
    lineIndex = std::max(lineIndex, 0);
    const int i = lineIndex;
    return {kLetters[std::min(i / 26, 25)], kLetters[i % 26]};
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
    mode_->stepState = line.procedureStep;
    return mode_->Start(*this) == 1 ? surveyType : -1;
}

std::string CAcquisitionManager::LineFilePath(const std::string& extension)
{
    std::filesystem::path folder(dataFolder);
    if (dataFolder.empty()) {
        std::error_code ec;
        folder = std::filesystem::current_path(ec);
        if (ec) folder = ".";
    }
    return (folder / ("qk" + LineId() + extension)).string();
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
    if (!LineFilesOn() || !ctx_.group) return 1;
    LineRecord record;
    record.surveyType = surveyType;
    record.lineId = std::max(lineIndex, 0);
    record.procedureStep = mode_ ? mode_->GetStep() : 0;
    record.names = names_;
    if (mode_) record.menuName = mode_->GetName();
    const MamGeometrySlot geometry = ctx_.geometry ? ctx_.geometry() : MamGeometrySlot{};
    return WriteLineDocument(path, record, *ctx_.group, geometry);
}

std::string CAcquisitionManager::WriteLineResultFile()
{
    const std::string name = "qk" + LineId() + ".pvs";
    const std::string path = LineFilePath(".pvs");
    if (!ctx_.services || ctx_.services->SaveRostrelFile(path) != 1) return {};
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
    return WriteLineFile(lineFilePath);
}

void CAcquisitionManager::ChangeLineIndex(int index)
{
    if (ctx_.group && ctx_.group->entryCount > 0 && ctx_.ui) {
        const std::string question = Msg(ctx_.language, "Line ID was changed. Make new file list?",
                                         "ラインIDが変更されました。新しいファイルリストを作りますか?");
        if (ctx_.ui->Message(question, MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes) {
            ctx_.group->entryCount = 0;
        }
    }
    lineIndex = std::max(index, 0);
    names_ = {};
    lineFilePath = LineFilePath(".xml");
    lineFileSet = 1;
    CheckLineFile(lineFilePath);
}

}  // namespace velk
