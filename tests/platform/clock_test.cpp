#include <gtest/gtest.h>

#include <tuple>

#include "platform/clock.h"

namespace velk {
namespace {

TEST(ManualClock, TicksAndCalendarMoveTogether)
{
    ManualClock clock(0xFFFFFF00u);  // the tick count wraps like the one it replaces
    clock.SetLocal(LocalTime{2026, 12, 31, 23, 59, 59, 900});
    clock.AdvanceMs(0x200);
    EXPECT_EQ(clock.TickCountMs(), 0x100u);
    const LocalTime t = clock.LocalNow();
    EXPECT_EQ(std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond),
              std::make_tuple(2027, 1, 1, 0, 0, 0, 412));
    const LocalTime now = SystemClock().LocalNow();
    EXPECT_GE(now.year, 2024);
}

}  // namespace
}  // namespace velk
