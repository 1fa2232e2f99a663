// Polling: the full and delta poll entry points, the fast start and the one-second poll timer.
#include "app/core/KESTLiveDataManager.h"

#include "app/core/KESTSettingsManager.h"
#include "app/core/KESTURLEscaping.h"
#include "foundation/Clock.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "foundation/NSTimer.h"
#include "foundation/ThreadChecks.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"

namespace {

constexpr double kFullPollThrottle = 5.0;
constexpr double kFastStartDelay = 3.0;
constexpr double kTimerFullPollInterval = 120.0;
constexpr double kTimerDeltaPollInterval = 15.0;

// The number's text as the platform writes a double: whole values without a fraction.
std::string numberText(double d)
{
    return Value(d).stringValue();
}

} // namespace

void KESTLiveDataManager::performFullPoll()
{
    assertIsMainThread();
    performFullPollWithCompletionHandler(nullptr);
}
void KESTLiveDataManager::performFullPollFromTimer()
{
    assertIsMainThread();
    performFullPollWithCompletionHandler(nullptr);
}

void KESTLiveDataManager::performFullPollWithSearch(const Value& search)
{
    assertIsMainThread();
    if (!search.isNil())
        setSearchDictionary(search);
    performFullPollWithCompletionHandler(nullptr);
}

void KESTLiveDataManager::performBackgroundFullPollWithCompletionHandler(CompletionHandler handler)
{
    assertIsMainThread();
    performFullPollWithCompletionHandler(std::move(handler));
}

void KESTLiveDataManager::performBackgroundFullPollWithSearchAndCompletionHandler(
    const Value& search, CompletionHandler handler)
{
    assertIsMainThread();
    if (!search.isNil())
        setSearchDictionary(search);
    performFullPollWithCompletionHandler(std::move(handler));
}

void KESTLiveDataManager::performDeltaPoll()
{
    assertIsMainThread();
    performDeltaPollWithCompletionHandler(nullptr);
}

void KESTLiveDataManager::performBackgroundDeltaPollWithCompletionHandler(CompletionHandler handler)
{
    assertIsMainThread();
    performDeltaPollWithCompletionHandler(std::move(handler));
}

void KESTLiveDataManager::performFullPollWithCompletionHandler(CompletionHandler handler)
{
    assertIsMainThread();
    auto settings = KESTSettingsManager::sharedInstance();
    int32_t faa = settings->faaData();
    int32_t icao = settings->icaoType();
    if (m_deviceUTCTime - m_lastFullFetchTS < kFullPollThrottle) {
        if (handler)
            handler(KESTFetchResultNoData);
        return;
    }
    m_lastFullFetchTS = m_deviceUTCTime.load();
    bool background = bool(handler);
    setCurrentBackgroundFetchCompletionHandler(std::move(handler));

    if (!m_hasPerformedFullPoll && !m_hasPerformedFastStart) {
        if (m_fastStartTimer)
            m_fastStartTimer->invalidate();
        std::weak_ptr<KESTLiveDataManager> weak = self<KESTLiveDataManager>();
        m_fastStartTimer
            = NSTimer::scheduledTimerWithTimeIntervalRepeatsBlock(kFastStartDelay, false, [weak](const Ref<NSTimer>&) {
                  if (auto manager = weak.lock())
                      manager->fastStartTimerFired();
              });
    }

    std::string url = NSString::stringWithFormat("%@APPAPIv2/planeUpdate.php?routetype=%@&FAA=%@&ts=%@&background=%d",
        serviceBaseURL(), std::string(icao != 0 ? "IATA" : "ICAO"), std::to_string(faa),
        KESTURLEscaping::escapedValue(lastFetchTS().stringValue()), int32_t(background ? 1 : 0));
    auto nsurl = NSURL::URLWithString(url);
    if (!nsurl) {
        NSLog("Invalid live feed address %@", url);
        return;
    }
    performPlaneFetch(
        NSURLRequest::requestWithURL(nsurl), background ? Transfer::Background : Transfer::Foreground, Poll::Full);
}

void KESTLiveDataManager::performDeltaPollWithCompletionHandler(CompletionHandler handler)
{
    assertIsMainThread();
    auto delegate = m_delegate.lock();
    std::optional<KESTMapBounds> bounds = delegate ? delegate->currentMapBounds() : std::nullopt;
    if (!bounds) {
        if (handler)
            handler(KESTFetchResultNoData);
        return;
    }
    auto settings = KESTSettingsManager::sharedInstance();
    int32_t faa = settings->faaData();
    int32_t icao = settings->icaoType();
    bool background = bool(handler);
    if (handler)
        setCurrentBackgroundFetchCompletionHandler(std::move(handler));

    std::string boundsText = numberText(bounds->north) + "," + numberText(bounds->south) + ","
        + numberText(bounds->east) + "," + numberText(bounds->west);
    std::string url
        = NSString::stringWithFormat("%@APPAPIv2/planeUpdate.php?routetype=%@&FAA=%@&ts=%@&bounds=%@&background=%d",
            serviceBaseURL(), std::string(icao != 0 ? "IATA" : "ICAO"), std::to_string(faa),
            KESTURLEscaping::escapedValue(lastFetchTS().stringValue()), boundsText, int32_t(background ? 1 : 0));
    auto nsurl = NSURL::URLWithString(url);
    if (!nsurl) {
        NSLog("Invalid live feed address %@", url);
        return;
    }
    performPlaneFetch(
        NSURLRequest::requestWithURL(nsurl), background ? Transfer::Background : Transfer::Foreground, Poll::Delta);
}

void KESTLiveDataManager::performFastStart()
{
    assertIsMainThread();
    if (m_hasPerformedFullPoll)
        return;
    performDeltaPollWithCompletionHandler(nullptr);
    m_hasPerformedFastStart = true;
}

void KESTLiveDataManager::fastStartTimerFired()
{
    m_fastStartTimer = nullptr;
    performFastStart();
}

// MARK: Timer

void KESTLiveDataManager::startUpdateTimer()
{
    assertIsMainThread();
    stopUpdateTimer();
    std::weak_ptr<KESTLiveDataManager> weak = self<KESTLiveDataManager>();
    m_updateTimer = NSTimer::scheduledTimerWithTimeIntervalRepeatsBlock(1.0, true, [weak](const Ref<NSTimer>&) {
        if (auto manager = weak.lock())
            manager->handleTimerUpdate();
    });
}

void KESTLiveDataManager::stopUpdateTimer()
{
    assertIsMainThread();
    if (m_updateTimer)
        m_updateTimer->invalidate();
    m_updateTimer = nullptr;
}

void KESTLiveDataManager::invalidateTimers()
{
    assertIsMainThread();
    stopUpdateTimer();
    if (m_fastStartTimer)
        m_fastStartTimer->invalidate();
    m_fastStartTimer = nullptr;
}

bool KESTLiveDataManager::hasUpdateTimer() const
{
    return bool(m_updateTimer);
}
bool KESTLiveDataManager::hasFastStartTimer() const
{
    return bool(m_fastStartTimer);
}

void KESTLiveDataManager::handleTimerUpdate()
{
    assertIsMainThread();
    double now = Clock::wallTime();
    double elapsed = now - m_lastTimerUpdateTS;
    m_deltaPollTS += elapsed;
    m_fullPollTS += elapsed;
    if (m_fullPollTS > kTimerFullPollInterval) {
        performFullPollFromTimer();
        m_deltaPollTS = 0;
        m_fullPollTS = 0;
    } else if (m_deltaPollTS > kTimerDeltaPollInterval) {
        performDeltaPoll();
        m_deltaPollTS = 0;
    }
    m_lastTimerUpdateTS = now;
    m_deviceUTCTime = now;
}
