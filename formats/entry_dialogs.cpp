#include "formats/entry_dialogs.h"

#include "platform/language.h"
#include "base/plane_coordinates.h"

namespace velk {

DialogRequest CReceiverLocationDlg::Request(int language)
{
    DialogRequest request(kClass, Msg(language, "Receiver location", "受振点位置"));
    request.Float("Location", receiverLocation, -1.0e7, 1.0e7)
        .Label(Msg(language, "Receiver location =", "受振点位置 ="))
        .Unit("m");
    return request;
}

// ---------------------------------------------------------------------------------------------

void CStationSelectDlg::SetStations(const std::vector<std::string>& names)
{
    stationNames = names;
    stationCount = static_cast<int>(names.size());
}

bool CStationSelectDlg::Run(UiHost& ui, int language)
{
    DialogRequest request(kClass, Msg(language, "Observation station selection", "観測点の選択"));
    chosen_ = -1;
    request.Choice("Station", chosen_, stationNames).Label(Msg(language, "Station", "観測点"));
    if (!ui.RunDialog(request)) return false;
    selection = chosen_ >= 0 && chosen_ < static_cast<int>(stationNames.size())
                    ? stationNames[static_cast<size_t>(chosen_)]
                    : std::string();
    return true;
}

// ---------------------------------------------------------------------------------------------

void CTimeDlg::SetTime(int year_, int month_, int day_, int hour_, int minute_, int second_)
{
    year = year_;
    month = month_;
    day = day_;
    hour = hour_;
    minute = minute_;
    second = second_;
}

void CTimeDlg::GetTime(int& year_, int& month_, int& day_, int& hour_, int& minute_, int& second_) const
{
    year_ = year;
    month_ = month;
    day_ = day;
    hour_ = hour;
    minute_ = minute;
    second_ = second;
}

DialogRequest CTimeDlg::Request(int language)
{
    DialogRequest request(kClass, Msg(language, "Time", "時刻"));
    // Unsigned fields in the dialog: no negative values, no other range.
    request.Int("Year", year, 0).Label(Msg(language, "Year", "年"));
    request.Int("Month", month, 0).Label(Msg(language, "Month", "月"));
    request.Int("Day", day, 0).Label(Msg(language, "Day", "日"));
    request.Int("Hour", hour, 0).Label(Msg(language, "Hour", "時"));
    request.Int("Minute", minute, 0).Label(Msg(language, "Minute", "分"));
    request.Int("Second", second, 0).Label(Msg(language, "Second", "秒"));
    return request;
}

// ---------------------------------------------------------------------------------------------

DialogRequest CXyCoordinateDlg::Request(int language)
{
    DialogRequest request(kClass, Msg(language, "XY coordinate", "XY座標"));
    request.Bool("Manual origin", manualOrigin).Label(Msg(language, "Manual origin", "原点を指定"));
    request.Int("Corollary", corollary, kPlaneZoneFirst, kPlaneZoneLast).Label("Corollary(integer)");
    request.Float("Latitude", latitude, -90.0, 90.0).Label(Msg(language, "Latitude", "緯度"));
    request.Float("Longitude", longitude, -360.0, 360.0).Label(Msg(language, "Longitude", "経度"));
    return request;
}

}  // namespace velk
