#pragma once
// Dialog 225 "Phase velocity calculation for CMP": three lengths in metres, each beside a
// caption that the caller sets (the bin size, then a distance or an offset, then the last
// distance or offset), the method and "Show option menu". A plain struct shown through the
// generic form with the captions as the labels; its values change only on OK.

#include <array>
#include <string>

namespace velk {

class DialogRequest;

struct CCmpPhaseVelocityDlg {
    static constexpr const char* kClass = "CCmpPhaseVelocityDlg";
    static constexpr const char* kTitle = "Phase velocity calculation for CMP";
    // Field names of the request.
    static constexpr const char* kFirst = "Value 1";
    static constexpr const char* kSecond = "Value 2";
    static constexpr const char* kThird = "Value 3";
    static constexpr const char* kMethod = "Method";
    static constexpr const char* kShowOptionMenu = "Show option menu";

    std::array<float, 3> values{};          // m; the first 0..10000
    std::array<std::string, 3> captions{};  // set by the caller
    int method = -1;                        // 0 phase difference, 1 cross correlation, 2 coherence
    int showOptionMenu = 0;

    // The fields whose caption is empty are left out.
    DialogRequest Request(int language);
};

}  // namespace velk
