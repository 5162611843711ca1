#pragma once
// CAcquisitionManager: which survey line is recorded with which survey method. What is here so
// far: the survey type, the data folder and the mode object's life; the modes themselves come
// with the acquisition work.

#include <memory>
#include <string>

namespace velk {

// One survey method's guided steps. Only the type is known so far; Step does nothing.
class CAcquisitionMode {
public:
    explicit CAcquisitionMode(int type) : type_(type) {}
    virtual ~CAcquisitionMode() = default;
    int Type() const { return type_; }
    virtual int Step() { return 0; }
    // The mode's geometry editor; 1 when the view must be repainted.
    virtual int EditGeometry() { return 0; }
    // After a record is saved: the next shot's position and step (flag 1 for the 2D
    // surface-wave and refraction lines). Nothing yet; the survey modes fill it.
    virtual int Advance(int flag)
    {
        (void)flag;
        return 1;
    }

private:
    int type_;
};

class CAcquisitionManager {
public:
    static constexpr int kMinType = 1;
    static constexpr int kMaxType = 9;

    CAcquisitionManager();
    ~CAcquisitionManager();

    // Builds and starts the mode object of the current survey type; only types 1..9 get one
    // (any other type leaves no mode). Returns 1 when a mode was built.
    int CreateMode();
    // Runs the current mode's next step; nothing without a mode.
    void StepMode();
    // The current mode's geometry editor; 0 without a mode.
    int EditModeGeometry();
    CAcquisitionMode* Mode() const { return mode_.get(); }
    // Makes `mode` the current mode (the survey modes and tests build their own).
    void SetMode(std::unique_ptr<CAcquisitionMode> mode) { mode_ = std::move(mode); }
    // The two-letter line ID: with i = max(line index, 0), "abc..z"[min(i / 26, 25)] then
    // "abc..z"[i mod 26]; index 0 is "aa".
    std::string LineId() const;
    // The data folder becomes `folder`; returns the folder it was.
    std::string SwapDataFolder(const std::string& folder);
    // Chooses the survey method of an opened line; -1 ends the opening. Not built yet: 0.
    int SelectMode(int surveyMode);

    int lineIndex = -1;
    int surveyType = 0;   // 0 none, 1..7 survey methods, 8 and 9 the QD7000 methods
    std::string dataFolder;
    std::string lineFilePath;  // the line's file list, once formed
    int lineFileSet = 0;

private:
    std::unique_ptr<CAcquisitionMode> mode_;
};

}  // namespace velk
