#include "testing/VirtualClock.h"

#include "testing/Drain.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <sys/syscall.h>
#include <unistd.h>

VirtualClock::VirtualClock(double wallEpoch, double mediaEpoch)
    : m_wallBase(wallEpoch)
    , m_mediaBase(mediaEpoch)
    , m_media(mediaEpoch)
{
}

std::shared_ptr<VirtualClock> VirtualClock::install(double wallEpoch)
{
    auto clock = std::make_shared<VirtualClock>(wallEpoch, std::ceil(Clock::mediaTime()));
    Clock::setSource(clock);
    return clock;
}

void VirtualClock::uninstall()
{
    if (Clock::source().get() == this)
        Clock::setSource(nullptr);
}

double VirtualClock::wallTime() const
{
    std::lock_guard guard(m_lock);
    return m_wallBase + (m_media - m_mediaBase);
}

double VirtualClock::mediaTime() const
{
    std::lock_guard guard(m_lock);
    return m_media;
}

void VirtualClock::moveMediaTo(double media)
{
    {
        std::lock_guard guard(m_lock);
        if (media <= m_media)
            return;
        m_media = media;
    }
    Clock::timeDidChange();
}

void VirtualClock::advance(double seconds)
{
    if (static_cast<pid_t>(syscall(SYS_gettid)) != getpid()) {
        std::fprintf(stderr, "VirtualClock::advance must be called on the main thread\n");
        std::abort();
    }
    drainAll();
    double target = mediaTime() + (seconds > 0 ? seconds : 0);
    for (;;) {
        auto next = Clock::nextDueTime(mediaTime());
        if (!next || *next > target)
            break;
        moveMediaTo(*next);
        drainAll();
    }
    moveMediaTo(target);
    drainAll();
}

void VirtualClock::setWallTime(double secondsSince1970)
{
    std::lock_guard guard(m_lock);
    m_wallBase = secondsSince1970;
    m_mediaBase = m_media;
}

ScopedVirtualClock::ScopedVirtualClock(double wallEpoch)
    : m_clock(VirtualClock::install(wallEpoch))
{
}

ScopedVirtualClock::~ScopedVirtualClock()
{
    m_clock->uninstall();
}
