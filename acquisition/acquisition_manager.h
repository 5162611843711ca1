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
    // The data folder becomes `folder`; returns the folder it was.
    std::string SwapDataFolder(const std::string& folder);
    // Chooses the survey method of an opened line; -1 ends the opening. Not built yet: 0.
    int SelectMode(int surveyMode);

    int lineIndex = -1;
    int surveyType = 0;   // 0 none, 1..7 survey methods, 8 and 9 the QD7000 methods
    std::string dataFolder;

private:
    std::unique_ptr<CAcquisitionMode> mode_;
};

}  // namespace velk
