#include "platform/clock.h"

#include <chrono>

namespace platform {

namespace {

int64_t steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

SteadyClock::SteadyClock(int64_t startNs) : shift_(startNs - steadyNanoseconds()) {}

int64_t SteadyClock::frequency() const { return 1000000000; }

int64_t SteadyClock::counter() const { return steadyNanoseconds() + shift_; }

Clock& steadyClock()
{
    static SteadyClock clock;
    return clock;
}

uint32_t tickCountMs()
{
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<uint32_t>(ms.count());
}

}  // namespace platform
