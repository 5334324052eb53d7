#pragma once
// Waiting helpers of the serial port component's parts: sleeps, deadlines, and keeping the
// owner's thread responsive while it waits.

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <chrono>
#include <thread>

namespace mv53::comm {

using Clock = std::chrono::steady_clock;

// Longest stretch a wait on the user-interface thread blocks before it processes events again.
inline constexpr int kPumpSliceMs = 10;

inline void SleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

inline void ProcessPendingEvents()
{
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

inline int RemainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

}  // namespace mv53::comm
