#pragma once
// CArrayGeometryDlg: dialog "2D SPAC" over the microtremor-array geometry, and
// CMicrotremorArrayDlg: dialog "Micro tremor array" of the synthetic array records.
//
// "2D SPAC" opens with the advanced controls hidden (kAdvancedFields, the radios of
// kAdvancedChoices and the buttons of kAdvancedButtons) and the focus on OK; the window's own
// "Advanced menu" button shows or hides them in turn. Sizes are shown in km (x 0.001) when the
// view's unit is km. "Open array file" reads receiver locations for the record and chooses
// "Manual array" when more than one was read; "Save array file" writes the receivers held. On
// OK the values go back into the geometry and the unused-channel text marks its channels.

#include <array>
#include <span>
#include <string>

#include "base/trace_header.h"
#include "platform/uihost.h"

namespace velk {

class CMamGeometry;

// What the dialog shows besides the geometry: the current file, the unit, the record that
// "Open array file" reads locations for.
struct ArrayDialogSource {
    std::string fileName;
    std::string folder;
    bool km = false;
    int traceCount = 0;
    std::span<const CTraceHeader> headers;
};

struct CArrayGeometryDlg {
    static constexpr const char* kClass = "CArrayGeometryDlg";
    static constexpr const char* kTitle = "2D SPAC";
    // Field and button names of the request.
    static constexpr const char* kArray = "Array";
    static constexpr const char* kArraySize = "Array size =";
    static constexpr const char* kAngle = "Angle=";
    static constexpr const char* kReceivers = "Number of receivers =";
    static constexpr const char* kSpacing = "Receiver spacing =";
    static constexpr const char* kReverse = "Reverse cable direction";
    static constexpr const char* kStartChannel = "Start channel =";
    static constexpr const char* kUnused = "Unused channels (space or comma delimited) =";
    static constexpr const char* kFileName = "File name";
    static constexpr const char* kFolder = "Folder";
    static constexpr const char* kOpenArrayFile = "Open array file";
    static constexpr const char* kSaveArrayFile = "Save array file";
    static constexpr std::array<const char*, 5> kAdvancedFields = {kReverse, kStartChannel, kUnused, kFileName,
                                                                   kFolder};
    static constexpr std::array<int, 3> kAdvancedChoices = {9, 10, 12};  // of kArray
    static constexpr std::array<const char*, 2> kAdvancedButtons = {kOpenArrayFile, kSaveArrayFile};

    int geometry = 2;
    float arraySize = 0.0f;  // as shown
    float angle = 90.0f;
    int receivers = 12;
    float spacing = 0.0f;    // as shown
    int reverse = 0;
    int startChannel = 0;
    std::string unused;
    std::string fileName;
    std::string folder;

    // The request over the members; the two buttons work on `geometry` with `ui`.
    DialogRequest Request(int language, CMamGeometry& target, UiHost& ui, const ArrayDialogSource& source);
    // The geometry's values into the dialog, the dialog, and on OK back (km values x 1000) with
    // the unused channels marked. Cancel changes nothing but what the two buttons did (the
    // receivers read from an array file). True after OK.
    static bool Edit(CMamGeometry& target, UiHost& ui, int language, const ArrayDialogSource& source);
};

struct CMicrotremorArrayDlg {
    static constexpr const char* kClass = "CMicrotremorArrayDlg";
    static constexpr const char* kTitle = "Micro tremor array";
    float angle = 10.0f;  // degrees, 0..360
    int source = 0;       // 0 "Delta function", 1 "Waveform"
    int directions = 1;   // 1..25

    DialogRequest Request(int language);
};

}  // namespace velk
