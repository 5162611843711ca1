#pragma once
// CMamGeometry: the microtremor-array geometry of the document, made on first use and kept
// until the program ends. Its five named settings persist in the profile, section "General".
// This holds the array's fields and reads its settings; the presets, the spacing list, the
// array files and the writing of the settings after a build come with the array commands.

#include <cstdint>
#include <vector>

#include "base/trace_header.h"

namespace velk {

class Profile;

class CMamGeometry {
public:
    static constexpr const char* kArraySizeKey = "ArraySize";
    static constexpr const char* kGeometryKey = "iGeometry";
    static constexpr const char* kAngleKey = "Angle";
    static constexpr const char* kReceiverCountKey = "nReceiver";
    static constexpr const char* kLinearSpacingKey = "SpacingForLinearArray";

    // The defaults, then the five keys of the profile (a missing or unparsable key keeps its
    // default); spacings and usable flags for `maxTraces` channels.
    explicit CMamGeometry(const Profile& profile, int maxTraces);

    std::vector<CTraceHeaderEx> receivers;  // one per receiver: header words and x, y (m)
    int32_t iGeometry = 2;                  // preset index
    float ArraySize = 20.0f;                // m: triangle side, L arm, circle diameter
    int32_t spacingCount = 0;               // distinct spacings after a build
    std::vector<float> spacings;            // distinct receiver spacings, ascending
    int32_t reverse = 0;                    // 1: receiver order reversed
    int32_t startChannel = 0;               // record channel of receiver 0, from 0
    int32_t nReceiver = 12;                 // receivers of the linear and manual arrays
    std::vector<int32_t> usable;            // 0 marks an unusable channel
    float Angle = 90.0f;                    // degrees, first arm of an L array
    float SpacingForLinearArray = 10.0f;    // m
};

}  // namespace velk
