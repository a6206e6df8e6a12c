#pragma once

#include <chrono>
#include <cstdint>

// A millisecond clock that wraps around after 2^32 ms. Callers compare two
// readings by unsigned subtraction, which stays right across the wrap.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual std::uint32_t Milliseconds() const = 0;
};

class SteadyClock : public Clock
{
public:
    std::uint32_t Milliseconds() const override
    {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    }
};
