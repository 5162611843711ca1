#pragma once
// Time as the program reads it: a monotonic millisecond tick (what the record cycle, the
// simulated instrument and the noise log measure intervals with) and the local calendar time
// (what file names and logs are stamped with). The program runs on SystemClock; tests drive a
// ManualClock so that every timed step is reproducible.

#include <cstdint>

namespace velk {

struct LocalTime {
    int year = 1970;
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start; wraps at 2^32 like the tick count it replaces, so
    // intervals are taken as unsigned differences.
    virtual uint32_t TickCountMs() const = 0;
    virtual LocalTime LocalNow() const = 0;
};

class SystemClock : public Clock {
public:
    uint32_t TickCountMs() const override;
    LocalTime LocalNow() const override;
};

// A clock that moves only when told to; the calendar time moves with the ticks.
class ManualClock : public Clock {
public:
    explicit ManualClock(uint32_t startMs = 0) : tick_(startMs) {}
    uint32_t TickCountMs() const override { return tick_; }
    LocalTime LocalNow() const override;

    void AdvanceMs(uint32_t ms) { tick_ += ms; }
    void SetLocal(const LocalTime& local) { local_ = local; localAtTick_ = tick_; }

private:
    uint32_t tick_;
    LocalTime local_{2026, 1, 1, 0, 0, 0, 0};
    uint32_t localAtTick_ = 0;
};

}  // namespace velk
