#include "draw/fonts.h"

namespace velk {

Font FontFor(FontUse use, bool japanese)
{
    const Font jp30{kJapaneseFace, 30, 400, 0};
    switch (use) {
    case FontUse::AxisLabel:
        return japanese ? jp30 : Font{"", kDefaultTextHeight, 300, 0};
    case FontUse::AxisLabelMonitor:
        return japanese ? Font{kJapaneseFace, 35, 400, 0} : Font{"", kDefaultTextHeight, 350, 0};
    case FontUse::AxisTitle:
        return Font{japanese ? kJapaneseFace : "", kDefaultTextHeight, 400, 0};
    case FontUse::AxisTitleRotated:
        return Font{japanese ? kJapaneseFace : "", kDefaultTextHeight, 400, 900};
    case FontUse::RecordTitle:
    case FontUse::ComponentName:
        return japanese ? jp30 : Font{"", kDefaultTextHeight, 300, 0};
    case FontUse::PeakLabel:
        return japanese ? Font{kJapaneseFace, 25, 400, 0} : Font{"", kDefaultTextHeight, 250, 0};
    case FontUse::StationLabel:
        return Font{"", kDefaultTextHeight, 45, 0};
    case FontUse::GatherTitle:
        return japanese ? jp30 : Font{kSerifFace, 35, 400, 0};
    case FontUse::Status:
        return Font{japanese ? kJapaneseFace : "", kDefaultTextHeight, 400, 0};
    }
    return Font{"", kDefaultTextHeight, 400, 0};
}

}  // namespace velk
