#pragma once

#include <memory>

// The process clock. Wall time is seconds since 1970; media time is monotonic seconds. Real by
// default; tests install a virtual source (platform/testing) and move it explicitly. Nothing
// else in the system reads the system clock. Any thread.
class ClockSource {
public:
    virtual ~ClockSource() = default;
    virtual double wallTime() const = 0;
    virtual double mediaTime() const = 0;
    // True when time only moves when told to (timers are then fired by advancing).
    virtual bool isVirtual() const { return false; }
};

namespace Clock {
double wallTime();
double mediaTime();
bool isVirtual();
// Installs a source (nullptr restores the real clock).
void setSource(std::shared_ptr<ClockSource> source);
std::shared_ptr<ClockSource> source();
} // namespace Clock
