#include "acquisition/acquisition_manager.h"

#include <algorithm>

#include "platform/paths.h"

namespace velk {

CAcquisitionManager::CAcquisitionManager() : dataFolder(MapWindowsPath("c:\\Data")) {}

CAcquisitionManager::~CAcquisitionManager() = default;

int CAcquisitionManager::CreateMode()
{
    if (surveyType < kMinType || surveyType > kMaxType) {
        mode_.reset();
        return 0;
    }
    mode_ = std::make_unique<CAcquisitionMode>(surveyType);
    return 1;
}

void CAcquisitionManager::StepMode()
{
    if (mode_) {
        mode_->Step();
    }
}

std::string CAcquisitionManager::LineId() const
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz";
    const int i = std::max(lineIndex, 0);
    return {kLetters[std::min(i / 26, 25)], kLetters[i % 26]};
}

int CAcquisitionManager::EditModeGeometry() { return mode_ ? mode_->EditGeometry() : 0; }

std::string CAcquisitionManager::SwapDataFolder(const std::string& folder)
{
    std::string old = dataFolder;
    dataFolder = folder;
    return old;
}

int CAcquisitionManager::SelectMode(int) { return 0; }

}  // namespace velk
