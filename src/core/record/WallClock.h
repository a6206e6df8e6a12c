#pragma once

#include <chrono>
#include <cstdint>

// A moment of the submission record: the calendar time to the second, as
// unix seconds (the record's file keeps it so).
using RecordTime = std::chrono::time_point<std::chrono::system_clock, std::chrono::seconds>;

inline std::int64_t UnixSeconds(RecordTime time)
{
    return time.time_since_epoch().count();
}

inline RecordTime RecordTimeFromUnixSeconds(std::int64_t seconds)
{
    return RecordTime(std::chrono::seconds(seconds));
}

// The calendar clock the record reads its times from; tests set their own.
class WallClock
{
public:
    virtual ~WallClock() = default;
    virtual RecordTime Now() const = 0;
};

class SystemWallClock : public WallClock
{
public:
    RecordTime Now() const override
    {
        return std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now());
    }
};
