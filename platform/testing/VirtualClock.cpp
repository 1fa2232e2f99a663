#include "testing/VirtualClock.h"

#include "testing/Drain.h"

#include <algorithm>
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
    // Media time starts at the first multiple of kMediaEpochStep at or after the clock it
    // replaces, so timers scheduled before the install keep their place in time, and so every
    // run starts from the same instant whatever the machine's uptime: sums of intervals round
    // alike on every run instead of depending on how long the machine has been up.
    double media = std::ceil(Clock::mediaTime() / kMediaEpochStep) * kMediaEpochStep;
    auto clock = std::make_shared<VirtualClock>(wallEpoch, std::max(media, kMediaEpochStep));
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

void VirtualClock::moveWithoutDraining(double seconds)
{
    if (seconds > 0)
        moveMediaTo(mediaTime() + seconds);
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
