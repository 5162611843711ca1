#include "platform/clock.h"

#include <chrono>
#include <ctime>

namespace velk {

uint32_t SystemClock::TickCountMs() const
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

LocalTime SystemClock::LocalNow() const
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                     static_cast<int>(ms)};
}

LocalTime ManualClock::LocalNow() const
{
    // Calendar arithmetic through the C library in UTC, so the result does not depend on the
    // machine's time zone.
    std::tm tm{};
    tm.tm_year = local_.year - 1900;
    tm.tm_mon = local_.month - 1;
    tm.tm_mday = local_.day;
    tm.tm_hour = local_.hour;
    tm.tm_min = local_.minute;
    tm.tm_sec = local_.second;
    const int64_t totalMs = static_cast<int64_t>(local_.millisecond) + static_cast<uint32_t>(tick_ - localAtTick_);
    const std::time_t base = timegm(&tm) + static_cast<std::time_t>(totalMs / 1000);
    std::tm out{};
    gmtime_r(&base, &out);
    return LocalTime{out.tm_year + 1900, out.tm_mon + 1, out.tm_mday, out.tm_hour, out.tm_min, out.tm_sec,
                     static_cast<int>(totalMs % 1000)};
}

}  // namespace velk
