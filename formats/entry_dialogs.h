#pragma once
// Small shared entry dialogs that the readers of this folder are the first to need: the
// receiver position of a text-array import, the choice of an observation station, a date and
// time, and the plane-coordinate zone with its origin. Each is a plain struct shown through
// the UiHost's generic form; its values change only on OK.

#include <string>
#include <vector>

#include "platform/uihost.h"

namespace velk {

// "Receiver location": one position in metres.
struct CReceiverLocationDlg {
    static constexpr const char* kClass = "CReceiverLocationDlg";
    float receiverLocation = 0.0f;  // m

    DialogRequest Request(int language);
};

// "Observation station selection": a list of station names; OK gives the selected name.
struct CStationSelectDlg {
    static constexpr const char* kClass = "CStationSelectDlg";
    int stationCount = 0;
    std::vector<std::string> stationNames;
    std::string selection;  // the selected name after OK, empty when none is selected

    void SetStations(const std::vector<std::string>& names);
    // Shows the list (nothing preselected); true after OK, with `selection` set.
    bool Run(UiHost& ui, int language);

private:
    int chosen_ = -1;
};

// "Time": year, month, day, hour, minute, second.
struct CTimeDlg {
    static constexpr const char* kClass = "CTimeDlg";
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    void SetTime(int year_, int month_, int day_, int hour_, int minute_, int second_);
    void GetTime(int& year_, int& month_, int& day_, int& hour_, int& minute_, int& second_) const;
    DialogRequest Request(int language);
};

// "XY coordinate": the zone of the plane rectangular coordinates ("Corollary(integer)", 1..19,
// the zones the conversion knows) and its origin; "Manual origin" makes positions relative to
// the origin given.
struct CXyCoordinateDlg {
    static constexpr const char* kClass = "CXyCoordinateDlg";
    int manualOrigin = 0;
    int corollary = 0;
    float latitude = 0.0f;   // degrees
    float longitude = 0.0f;  // degrees

    DialogRequest Request(int language);
};

}  // namespace velk
