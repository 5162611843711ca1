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
#include <set>
#include <string>
#include <vector>

#include "platform/uihost.h"
#include "survey/shared_memory.h"
#include "survey/survey_line_xml.h"
#include "traveltime/traveltime_text.h"

namespace velk {

class CAcquisitionDevice;
class CAcquisitionManager;
class CFileGroup;
class CTraveltimeSet;
class ProcessLauncher;
class Profile;
class UiHost;
struct SiblingProgramPaths;

// What the modes and the manager reach above the acquisition library: the analyses and the
// program's commands, implemented over the workspace (a fake in tests). Each call returns 1 on
// success, 0 when it did nothing, unless said otherwise.
class ModeServices {
public:
    virtual ~ModeServices() = default;
    // Writes `set` (the first arrivals or the phase-velocity curves) to `path` as a traveltime
    // text file of its kind.
    virtual int SaveRostrelFile(const std::string& path, TraveltimeTextSet set) = 0;
    // The view is drawn again.
    virtual void Repaint() = 0;
    // The shown record saved as the line's next record, the stack emptied afterwards.
    virtual int SaveRecord() = 0;
    // The receiver-interval dialog over the view's interval: 1 after OK.
    virtual int EditReceiverInterval() = 0;
    // The phase velocity-frequency transformation with its dialog, up to `endFrequency` Hz:
    // 1 when an image was made.
    virtual int RunPhaseVelocityAnalysis(float endFrequency) = 0;
    virtual int PickPhaseVelocity() = 0;
    // The picked curve to the dispersion program: `curveName` (the program's switch, "-MAM")
    // goes in the name slot of its command line, the current record's file name (or `text`)
    // in the file-name slot.
    virtual int ShowPhaseVelocityCurve(const std::string& curveName) = 0;
    virtual int ShowPhaseVelocityCurveNamed(const std::string& curveName, const std::string& text) = 0;
    // Every curve of the traveltime set to the dispersion program; 1 when it was started.
    virtual int ShowAllCurvesInQuessil(const std::string& programSwitch) = 0;
    // The 2D line's CMP gathers as the new file list, `binSize` (m) preset as their CMP
    // interval: 1 when made.
    virtual int MakeCmpGatherFiles2D(float binSize) = 0;
    // "Phase velocity (2D : automatic)" up to `endFrequency` Hz: the number of curves.
    virtual int PhaseVelocityCurves(float endFrequency) = 0;
    // "MAM : SPAC" over the file group; `title` gets the image title "first-last". 1 when made.
    virtual int Spac2DFileGroup(std::string& title) = 0;
    virtual int SetUpGroupGeometry() = 0;
    virtual int SetGroupWaveformData(int showMessage) = 0;
    virtual int GroupAutoPickFirstArrivals() = 0;
    virtual int ShowTraveltimeInRostrel(const std::string& word) = 0;
    virtual int SetupGroundWaterTable() = 0;
    virtual int ShowTwoLayerTraveltime() = 0;
    // The wizards' file list: the number of files taken.
    virtual int MakeFileList() = 0;
    // "Open SEG2 file": the trace count afterwards.
    virtual int OpenSeg2Record() = 0;
    virtual int ShowNextWaveformFile() = 0;
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
    // The view's geometry that the modes read and move (m); none leaves it alone.
    float* receiverInterval = nullptr;
    float* shotInterval = nullptr;
    int* moveReceivers = nullptr;
    // 1 while the instrument is present; none means absent.
    const int* instrumentPresent = nullptr;
    // The hand-offs: the traveltime set, the sibling programs' paths, how they are started and
    // the folder they run in. Without a launcher nothing is started.
    CTraveltimeSet* traveltime = nullptr;
    // The phase-velocity curves, held apart from the first arrivals (null: they share `traveltime`).
    CTraveltimeSet* curves = nullptr;
    SiblingProgramPaths* programs = nullptr;
    ProcessLauncher* launcher = nullptr;
    std::string workingFolder;
};

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
    int fileCount = 0;     // the records its list holds
};

// One survey method's guided steps. The base class is general acquisition; the survey methods
// (acquisition_modes.h) replace some of the operations. The operations are in the order of the
// method table; messages go through the manager's UiHost in its language.
class CAcquisitionMode {
public:
    explicit CAcquisitionMode(int type, CAcquisitionManager* manager = nullptr) : type_(type), manager_(manager) {}
    virtual ~CAcquisitionMode() = default;
    int Type() const { return type_; }

    // While the line needs records: "Do the data acquisition ..." with the source, 1. Then the
    // line document is written (an empty data folder becomes the working folder) and its path
    // told: 0.
    virtual int Acquire();
    // Dialog 254: Yes 1, Cancel 0, Back one step back and 1.
    virtual int Confirm();
    // The survey method's welcome message (types 2..7); returns 1.
    virtual int Welcome();
    // Enter on the acquisition screen: the method's next step.
    virtual int Step();
    // After a record is saved: the next shot's position (flag 1 for the 2D surface-wave and
    // refraction lines). The base moves the source, and the receivers when they move, by the
    // shot interval.
    virtual int Advance(int flag);
    // While the line needs records: "Next shot location is ...", 1; else as Acquire's end, 0.
    virtual int NextShotMessage(int flag);
    // The survey method's name, as the screen and the line document show it.
    virtual std::string GetName() const;
    virtual int GetStep() const { return stepState; }
    virtual std::string GetGuideText() const { return {}; }
    virtual std::string GetStatusText() const;
    // Called when the instrument is armed.
    virtual void OnArm() {}
    // The method's factory presets ("Use default setting?") and counter.
    virtual void Reset() { counter = 0; }
    // Called when a line is reopened; 1 to go on.
    virtual int Start(CAcquisitionManager& manager, const LineRecord& line)
    {
        (void)manager;
        (void)line;
        return 1;
    }
    virtual int Reserved() { return 1; }
    // Dialog 290 over NextID, the first receiver, the source, the shot interval and "move
    // receivers": 1 after OK (the view is to be repainted), 0 after Cancel.
    virtual int EditGeometry();
    virtual std::string GetPrompt() const { return {}; }

    int value = 0;        // the number of receivers in the wizards
    int targetCount = 0;  // records the line needs
    int counter = 0;
    int stepState = 0;
    float spreadLength = 0.0f;  // receivers x receiver interval (m)

protected:
    // The manager's context: the UiHost, language, device and group; empty without a manager.
    ModeContext Context() const;
    CAcquisitionManager* Manager() const { return manager_; }
    // The line's file count (0 without a group) and its setting.
    int FileCount() const;
    void SetFileCount(int count) const;
    // A message in the manager's language (nothing without a UiHost).
    void Say(const std::string& english, const std::string& japanese) const;
    // A question: true for OK or Yes.
    bool Ask(const std::string& english, const std::string& japanese, MsgButtons buttons) const;
    // The line document written, then "<head> \n\n Analysis result was saved into <path>!";
    // the head alone when the line files are off, and "<head> \n\n Cannot save <path>" when
    // the write failed.
    void WriteLineFileAndSay(const char* english, const char* japanese) const;
    void Repaint() const;
    bool InstrumentPresent() const;
    float ReceiverInterval() const;
    float ShotInterval() const;

private:
    int type_;
    CAcquisitionManager* manager_;
};

// The group becomes an empty list of a line's records (no longer a list of CMP gathers).
void StartRecordList(CFileGroup& group);

// The refraction line's shot positions for n shots around r receivers at interval dx from x1:
// one inside each end interval, the rest spaced evenly between them, and one that far beyond
// each end. Needs 4 shots or more; fewer give no positions.
constexpr int kMinRefractionShots = 4;
std::vector<float> ComputeShotPositions(int shots, int receivers, float receiverInterval, float firstReceiver);
// The list shown after the positions are computed: "%d : %.2fm\n" per shot, from 1.
std::string ShotPositionList(const std::vector<float>& positions);
// What too few shots are told.
std::string TooFewShotsMessage(int language);

class CAcquisitionManager {
public:
    static constexpr int kMinType = 1;
    static constexpr int kMaxType = 9;
    static constexpr const char* kLineName = "Torvane-QKW";
    static constexpr int kLineIds = 26 * 26;  // "aa" .. "zz"

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
    // The next line index whose ID no line file or record in the data folder carries (the
    // index is kept in the profile's LineName at once), the new line's file path, and the
    // question about an existing file of it (asked only when every ID is taken). Returns the
    // new line index.
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
    // A file of the data folder (the working folder when it is empty).
    std::string DataFilePath(const std::string& name) const;
    // An existing line file: "… Append file to it? …" Yes/No. Yes reads its list into the file
    // group from entry 0 (an unreadable document says so and leaves the group); No leaves the
    // group, and the file is overwritten at the next save. 1 when the file existed.
    int CheckLineFile(const std::string& path);
    // After a save: forms the line file path and writes the line document when the line files
    // are on. Returns the path.
    std::string UpdateLineFile();
    // Writes the line document (with the kept result names and the group's list) to `path`
    // when the line files are on: 1 when written, 0 when the write failed, -1 when the line
    // files are off (nothing written). While the group holds CMP gathers, the list is the one
    // the file already holds (RewriteLineFile).
    int WriteLineFile(const std::string& path);
    // The same document to `path` whatever the switch says (a list the user saves himself):
    // 1 when written, else 0.
    int WriteLineFileTo(const std::string& path);
    // Writes `set` (a refraction line's first arrivals, a 2D line's curves) as "qk<ID>.pvs" and
    // registers it as the line's data file; the file's declared kind says which set it holds. An
    // existing file that the line has not registered is overwritten only after Yes to "%s
    // already exists. Overwrite it?". Returns the full path; empty when nothing was written.
    std::string WriteLineResultFile(TraveltimeTextSet set);
    // The line's data file becomes `name`; the line document is written again, with the list
    // its file holds when there is one.
    int RegisterLineResultFile(const std::string& name);
    // "Setup line ID": a new line index; with files in the group, "Line ID was changed. Make new
    // file list?" (Yes empties the group); then the new line's file and CheckLineFile.
    void ChangeLineIndex(int index);

    // The curves of the text file `name` in the data folder to the dispersion program with its
    // switch ("-MASW2D"): none read says "No dispersion curve data !", more than 251 are
    // refused; otherwise they go into "RostrelData" with the line index as request code and
    // the data folder as path, and the program starts. 1 when it started.
    int SendDispersionCurves(const std::string& programSwitch, const std::string& name);
    // The plotting program with " -0 -100 -20 -10 -1 -<data folder>/<name> -<type> -<line>";
    // the block "MandroveData" (made on first use and kept) holds the data folder as a
    // NUL-terminated text. 1 when it started, 0 when the block could not be made or the user
    // gave up looking for the program.
    int StartPlotter(const std::string& name);
    static constexpr const char* kPlottingBlock = "MandroveData";
    static constexpr size_t kPlottingBlockSize = 2756432;

    bool LineFilesOn() const { return ctx_.lineFilesSwitch && *ctx_.lineFilesSwitch != 0; }
    const LineResultNames& ResultNames() const { return names_; }

    int lineIndex = -1;
    int surveyType = 0;   // 0 none, 1..7 survey methods, 8 and 9 the QD7000 methods
    std::string dataFolder;
    std::string lineFilePath;  // the line's file list, once formed
    int lineFileSet = 0;

private:
    void BuildMode();
    // The line's record as the document carries it: type, ID, step, method name, result names.
    LineRecord CurrentRecord() const;
    // The line document at `path` written again with the current record and the list the file
    // holds (the line's records): 1 when written, 0 when the file cannot be read or written.
    int RewriteLineFile(const std::string& path);
    // The line IDs of the "qk<ID>.xml", "qk<ID>.pvs" and "qk<ID>nnnn.sg2" files of the data folder.
    std::set<std::string> LineIdsInUse() const;

    std::unique_ptr<CAcquisitionMode> mode_;
    ModeContext ctx_;
    LineResultNames names_;
    CSharedMemory plottingBlock_;
    uint8_t* plottingView_ = nullptr;
};

}  // namespace velk
