#pragma once

#include "core/record/WallClock.h"

// A calendar clock that says what the test set, so the record's times are
// known without waiting.
class FixedWallClock : public WallClock
{
public:
    RecordTime Now() const override { return now; }
    void Advance(long long seconds) { now += std::chrono::seconds(seconds); }

    RecordTime now = RecordTimeFromUnixSeconds(1765000000);
};
