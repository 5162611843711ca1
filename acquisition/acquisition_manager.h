#pragma once
// CAcquisitionManager: which survey line is recorded with which survey method. It keeps the line
// index (shown as a two-letter line ID), the survey type, the data folder, the current mode and
// the path of the line's file list "qk<ID>.xml"; it builds the mode of a type, moves to a new
// line and keeps the line's files in the data folder.
//
// The line document is written from the manager's own record of the line, which keeps the names
// of the line's data, result and plotting files: a write after a result was registered keeps
// them, and a new line starts without them.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "survey/survey_line_xml.h"

namespace velk {

class CAcquisitionDevice;
class CAcquisitionManager;
class CFileGroup;
class Profile;
class UiHost;

// What the modes and the manager reach above the acquisition library: the analyses and the
// program's commands, implemented over the workspace (a fake in tests). Each call returns 1 on
// success, 0 when it did nothing.
class ModeServices {
public:
    virtual ~ModeServices() = default;
    // Writes the traveltime set to `path` as a traveltime text file.
    virtual int SaveRostrelFile(const std::string& path) = 0;
};

// What the manager works with; the pointers stay owned by the caller and outlive the manager's
// use of them. Without a device no settings are loaded; without a UiHost no question is asked
// (an existing line file is then left to be overwritten).
struct ModeContext {
    CAcquisitionDevice* device = nullptr;
    CFileGroup* group = nullptr;
    Profile* profile = nullptr;
    UiHost* ui = nullptr;
    ModeServices* services = nullptr;
    int language = 0;
    // The program-wide switch of the XML line files; none means off.
    const int* lineFilesSwitch = nullptr;
    // The array geometry the line document carries; none writes the document without it.
    std::function<MamGeometrySlot()> geometry;
};

// One survey method's guided steps. The base class is general acquisition.
class CAcquisitionMode {
public:
    explicit CAcquisitionMode(int type, CAcquisitionManager* manager = nullptr) : type_(type), manager_(manager) {}
    virtual ~CAcquisitionMode() = default;
    int Type() const { return type_; }
    // The survey method's welcome message (types 2..7); returns 1.
    virtual int Welcome();
    virtual int Step() { return 0; }
    // The mode's geometry editor; 1 when the view must be repainted.
    virtual int EditGeometry() { return 0; }
    // After a record is saved: the next shot's position and step (flag 1 for the 2D
    // surface-wave and refraction lines).
    virtual int Advance(int flag)
    {
        (void)flag;
        return 1;
    }
    // The survey method's name, as the line document records it.
    virtual std::string GetName() const;
    int GetStep() const { return stepState; }
    // Called when a line is reopened; 1 to go on.
    virtual int Start(CAcquisitionManager& manager)
    {
        (void)manager;
        return 1;
    }

    int value = 0;        // the number of receivers in the wizards
    int targetCount = 0;  // records the line needs
    int counter = 0;
    int stepState = 0;

protected:
    // The manager's context: the UiHost, language, device and group; empty without a manager.
    ModeContext Context() const;

private:
    int type_;
    CAcquisitionManager* manager_;
};

// The refraction line's shot positions for n shots around r receivers at interval dx from x1:
// one inside each end interval, the rest spaced evenly between them, and one that far beyond
// each end. Needs 4 shots or more; fewer give no positions.
constexpr int kMinRefractionShots = 4;
std::vector<float> ComputeShotPositions(int shots, int receivers, float receiverInterval, float firstReceiver);
// The list shown after the positions are computed: "%d : %.2fm\n" per shot, from 1.
std::string ShotPositionList(const std::vector<float>& positions);
// What too few shots are told.
std::string TooFewShotsMessage(int language);

// The line document's record as the manager keeps it between writes.
struct LineResultNames {
    int hasDataFile = 0;
    std::string dataFile;
    int hasResultFile = 0;
    std::string resultFile;
    int hasPlottingFile = 0;
    std::string plottingFile;
    bool operator==(const LineResultNames&) const = default;
};

// What a reopened line brings: its survey method, ID, step and files.
struct LineRecord {
    int surveyType = 0;
    int lineId = 0;
    int procedureStep = 0;
    std::string menuName;  // the survey method's name as the document carries it
    LineResultNames names;
};

class CAcquisitionManager {
public:
    static constexpr int kMinType = 1;
    static constexpr int kMaxType = 9;
    static constexpr const char* kLineName = "Torvane-QKW";

    CAcquisitionManager();
    ~CAcquisitionManager();

    // The context the following operations work in; kept until replaced.
    void Attach(const ModeContext& context) { ctx_ = context; }
    const ModeContext& Context() const { return ctx_; }

    // Loads the acquisition settings, moves to the next line, then builds the mode object of the
    // current survey type; only types 1..9 get one (any other type leaves no mode). Returns 1
    // when a mode was built.
    int CreateMode();
    int CreateMode(const ModeContext& context)
    {
        Attach(context);
        return CreateMode();
    }
    // Deletes the current mode. Returns 1.
    int DestroyMode();
    // Line index + 1, the new line's file path, and the question about an existing file of it.
    // Returns the new line index.
    int NextLine();
    // Runs the current mode's next step; nothing without a mode.
    void StepMode();
    // The current mode's geometry editor; 0 without a mode.
    int EditModeGeometry();
    CAcquisitionMode* Mode() const { return mode_.get(); }
    // Makes `mode` the current mode (the survey modes and tests build their own).
    void SetMode(std::unique_ptr<CAcquisitionMode> mode) { mode_ = std::move(mode); }
    // The two-letter line ID: with i = max(line index, 0), "abc..z"[min(i / 26, 25)] then
    // "abc..z"[i mod 26]; index 0 is "aa". A negative index is stored back as 0.
    std::string LineId();
    int GetLineIndex() const { return lineIndex; }
    int GetType() const { return surveyType; }
    const std::string& GetDataFolder() const { return dataFolder; }
    // The data folder becomes `folder`; returns the folder it was.
    std::string SwapDataFolder(const std::string& folder);
    // Reopens a line chosen from a file list: its survey type, a new mode (without moving to
    // another line), its line index, step and result names. Returns the survey type when the
    // mode's Start agrees, else -1.
    int SelectMode(const LineRecord& line);

    // The line's file "<data folder>/qk<ID><extension>"; an empty data folder is the working
    // folder.
    std::string LineFilePath(const std::string& extension);
    // An existing line file: "… Append file to it? …" Yes/No. Yes reads its list into the file
    // group from entry 0 (an unreadable document says so and leaves the group); No leaves the
    // group, and the file is overwritten at the next save. 1 when the file existed.
    int CheckLineFile(const std::string& path);
    // After a save: forms the line file path and writes the line document when the line files
    // are on. Returns the path.
    std::string UpdateLineFile();
    // Writes the line document (with the kept result names and the group's list) to `path`
    // when the line files are on. 1 when written or when the line files are off.
    int WriteLineFile(const std::string& path);
    // Writes the traveltime set as "qk<ID>.pvs" and registers it as the line's data file.
    // Returns the full path; empty when nothing could be written.
    std::string WriteLineResultFile();
    // The line's data file becomes `name`; the line document is written again.
    int RegisterLineResultFile(const std::string& name);
    // "Setup line ID": a new line index; with files in the group, "Line ID was changed. Make new
    // file list?" (Yes empties the group); then the new line's file and CheckLineFile.
    void ChangeLineIndex(int index);

    bool LineFilesOn() const { return ctx_.lineFilesSwitch && *ctx_.lineFilesSwitch != 0; }
    const LineResultNames& ResultNames() const { return names_; }

    int lineIndex = -1;
    int surveyType = 0;   // 0 none, 1..7 survey methods, 8 and 9 the QD7000 methods
    std::string dataFolder;
    std::string lineFilePath;  // the line's file list, once formed
    int lineFileSet = 0;

private:
    void BuildMode();

    std::unique_ptr<CAcquisitionMode> mode_;
    ModeContext ctx_;
    LineResultNames names_;
};

}  // namespace velk
