#include "Clock.h"

#include <chrono>
#include <mutex>

namespace {

class RealClock final : public ClockSource {
public:
    double wallTime() const override
    {
        using namespace std::chrono;
        return duration<double>(system_clock::now().time_since_epoch()).count();
    }
    double mediaTime() const override
    {
        using namespace std::chrono;
        return duration<double>(steady_clock::now().time_since_epoch()).count();
    }
};

std::mutex s_lock;
std::shared_ptr<ClockSource>& current()
{
    static std::shared_ptr<ClockSource> s_source = std::make_shared<RealClock>();
    return s_source;
}

} // namespace

namespace Clock {

std::shared_ptr<ClockSource> source()
{
    std::lock_guard lock(s_lock);
    return current();
}

void setSource(std::shared_ptr<ClockSource> newSource)
{
    std::lock_guard lock(s_lock);
    current() = newSource ? std::move(newSource) : std::make_shared<RealClock>();
}

double wallTime() { return source()->wallTime(); }
double mediaTime() { return source()->mediaTime(); }
bool isVirtual() { return source()->isVirtual(); }

} // namespace Clock
