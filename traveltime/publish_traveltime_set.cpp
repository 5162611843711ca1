#include "traveltime/publish_traveltime_set.h"

#include "traveltime/traveltime_set.h"

namespace velk {

int PublishTraveltimeSet(CTraveltimeSet& set)
{
    if (set.blockOpen != 1) return 0;
    // No shared block can be open before the refraction exchange builds one.
    return 0;
}

}  // namespace velk
