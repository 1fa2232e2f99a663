#include "app/core/KESTPlaneServices.h"

#include "foundation/Clock.h"

#include <mutex>

namespace {
std::mutex s_lock;
std::shared_ptr<KESTPlaneServices> s_services;
} // namespace

double KESTPlaneServices::deviceUTCTime() const
{
    return Clock::wallTime();
}

std::shared_ptr<KESTPlaneServices> KESTPlaneServices::shared()
{
    std::lock_guard guard(s_lock);
    if (!s_services)
        s_services = std::make_shared<KESTPlaneServices>();
    return s_services;
}

void KESTPlaneServices::install(std::shared_ptr<KESTPlaneServices> services)
{
    std::lock_guard guard(s_lock);
    s_services = std::move(services);
}
