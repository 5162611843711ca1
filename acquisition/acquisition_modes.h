#pragma once
// The survey methods: each a CAcquisitionMode whose Step walks the user from the geometry of the
// line through its records to the analysis and the hand-off to a sibling program. Every guided
// Step first asks "Ready to proceed?" (dialog 254) above state 0 and stops on Cancel; Back goes
// one state back first.
//
// A step that cannot finish (a cancelled dialog, a failed analysis, a save that did not happen)
// leaves the state as it was, so Enter tries it again.

#include <memory>
#include <string>
#include <vector>

#include "acquisition/acquisition_manager.h"

namespace velk {

// The mode object of a survey type: 2..9 their own classes, any other type general acquisition.
std::unique_ptr<CAcquisitionMode> MakeAcquisitionMode(int type, CAcquisitionManager* manager);

// Shared by the guided methods: the confirmation above state 0, the geometry entry and the
// factory presets of their type.
class CGuidedMode : public CAcquisitionMode {
public:
    using CAcquisitionMode::CAcquisitionMode;
    int Welcome() override;
    std::string GetName() const override;
    void Reset() override;

protected:
    // Above state 0: Confirm; false when it answered Cancel.
    bool Proceed();
    // With the instrument present the presets first, then the receiver-interval dialog: true
    // after OK.
    bool EnterGeometry();
    // Dialog 323: the receivers (default 24) or the shots; false on Cancel.
    bool AskCount(bool shots, int preset, int& count) const;
    // The presets of the type after "Use default setting?" OK; true when they were set.
    bool ApplyPresets();
    // The group's geometry, then its waveforms unless the set-up has read them.
    void SetUpGroup() const;
    // The line's geometry and waveforms into the file group, the line document written and
    // "Source-receiver geometry is completed ..." told.
    void GeometryComplete();
};

class CSurfaceWave1DMode : public CGuidedMode {
public:
    explicit CSurfaceWave1DMode(CAcquisitionManager* manager) : CGuidedMode(2, manager) {}
    int Step() override;
    void OnArm() override;
};

class CSurfaceWave2DMode : public CGuidedMode {
public:
    explicit CSurfaceWave2DMode(CAcquisitionManager* manager) : CGuidedMode(3, manager) {}
    int Confirm() override;
    int Step() override;
    int Advance(int flag) override;
    std::string GetGuideText() const override;
    void OnArm() override;
    void Reset() override;
    // Reopening: with result files, dialog 326 may show the curves or the model (0) instead;
    // otherwise a line with records goes on at state 2 (state 4 or less) or 5.
    int Start(CAcquisitionManager& manager, const LineRecord& line) override;

    int analysisDone = 0;
    // The line's shots when the analysis replaced them in the group by its CMP gathers; -1
    // before.
    int shotsAnalysed = -1;
};

class CRefractionMode : public CGuidedMode {
public:
    explicit CRefractionMode(CAcquisitionManager* manager) : CGuidedMode(4, manager) {}
    int Step() override;
    int Advance(int flag) override;
    std::string GetGuideText() const override;

    std::vector<float> shotPositions;
};

class CMicrotremorArrayMode : public CGuidedMode {
public:
    static constexpr int kRecords = 20;
    explicit CMicrotremorArrayMode(CAcquisitionManager* manager) : CGuidedMode(5, manager) {}
    int Acquire() override;
    int Step() override;
    // The source moves on as in general acquisition; the receivers stay where the array is.
    int Advance(int flag) override;
    std::string GetStatusText() const override;
};

class CPsLoggingMode : public CGuidedMode {
public:
    explicit CPsLoggingMode(CAcquisitionManager* manager) : CGuidedMode(6, manager) {}
    int Step() override;
    std::string GetGuideText() const override;
    void Reset() override;

private:
    // Every channel held but these (1-based).
    void Record(std::initializer_list<int> channels) const;
};

class CGroundWaterMode : public CGuidedMode {
public:
    explicit CGroundWaterMode(CAcquisitionManager* manager) : CGuidedMode(7, manager) {}
    int Step() override;
};

// The two surface-wave wizards of the QD7000 sub-mode: no presets, no welcome.
class CActiveMaswWizard : public CGuidedMode {
public:
    explicit CActiveMaswWizard(CAcquisitionManager* manager) : CGuidedMode(8, manager) {}
    int Step() override;
    void OnArm() override;
    std::string GetPrompt() const override;
};

class CPassiveMamWizard : public CGuidedMode {
public:
    explicit CPassiveMamWizard(CAcquisitionManager* manager) : CGuidedMode(9, manager) {}
    int Step() override;
    void OnArm() override;
    std::string GetPrompt() const override;

    std::string imageTitle;  // "first-last" of the list the SPAC ran over
};

}  // namespace velk
