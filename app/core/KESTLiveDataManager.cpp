// Creation, the shared instance, configuration, clocks, airports, delegate and context.
#include "app/core/KESTLiveDataManager.h"

#include "app/core/KESTLiveDataManagerInternal.h"
#include "app/core/KESTPlaneServices.h"
#include "coredata/NSManagedObjectContext.h"
#include "foundation/Clock.h"
#include "foundation/NSTimer.h"

#include <unordered_set>

VX_REGISTER_CLASS(KESTLiveDataManager);

namespace {

std::mutex s_sharedLock;
Ref<KESTLiveDataManager> s_shared;

std::mutex s_configLock;
std::string s_baseURL = "http://127.0.0.1:8080/";
KESTLiveDataManager::AlertPresenter s_alertPresenter;

// The live feed's clocks and flight-path fetch, for the planes' position estimate.
class LiveFeedPlaneServices : public KESTPlaneServices {
public:
    double deviceUTCTime() const override { return KESTLiveDataManager::sharedInstance()->deviceUTCTime(); }
    double serverTime() const override { return KESTLiveDataManager::sharedInstance()->serverTime(); }
    void performFlightPathFetch(const std::string& adshex, const Value& timestamp) override
    {
        KESTLiveDataManager::sharedInstance()->performFlightPathFetch(adshex, timestamp);
    }
};

} // namespace

KESTLiveDataManager::AlertPresenter KESTLiveDataManagerInternal::alertPresenter()
{
    std::lock_guard guard(s_configLock);
    return s_alertPresenter;
}

std::vector<std::string> diffKeys(const Value& a, const Value& b)
{
    std::vector<std::string> keys;
    std::unordered_set<std::string> seen;
    auto walk = [&](const Value& from, const Value& other) {
        for (const auto& [key, value] : from.entries()) {
            std::string text = key.stringValue();
            if (other.objectForKey(key).isNil() && seen.insert(text).second)
                keys.push_back(text);
        }
    };
    walk(a, b);
    walk(b, a);
    return keys;
}

KESTLiveDataManager::KESTLiveDataManager(Passkey key)
    : NSObject(key)
    , m_liveData(std::make_shared<const PlaneMap>())
{
    m_lastTimerUpdateTS = Clock::wallTime();
}

KESTLiveDataManager::~KESTLiveDataManager()
{
    if (m_updateTimer)
        m_updateTimer->invalidate();
    if (m_fastStartTimer)
        m_fastStartTimer->invalidate();
}

Ref<KESTLiveDataManager> KESTLiveDataManager::init()
{
    auto manager = make<KESTLiveDataManager>();
    manager->cacheDeviceUTCTimestamp();
    manager->parseAirportList();
    return manager;
}

Ref<KESTLiveDataManager> KESTLiveDataManager::sharedInstance()
{
    std::lock_guard guard(s_sharedLock);
    if (!s_shared) {
        s_shared = init();
        KESTPlaneServices::install(std::make_shared<LiveFeedPlaneServices>());
    }
    return s_shared;
}

void KESTLiveDataManager::resetSharedInstanceForTesting()
{
    Ref<KESTLiveDataManager> old;
    {
        std::lock_guard guard(s_sharedLock);
        old = std::move(s_shared);
    }
    if (old) {
        old->invalidateTimers();
        KESTPlaneServices::install(nullptr);
    }
}

std::string KESTLiveDataManager::serviceBaseURL()
{
    std::lock_guard guard(s_configLock);
    return s_baseURL;
}

void KESTLiveDataManager::setServiceBaseURL(std::string base)
{
    std::lock_guard guard(s_configLock);
    s_baseURL = std::move(base);
}

void KESTLiveDataManager::setAlertPresenter(AlertPresenter presenter)
{
    std::lock_guard guard(s_configLock);
    s_alertPresenter = std::move(presenter);
}

// MARK: Clocks

void KESTLiveDataManager::cacheDeviceUTCTimestamp()
{
    m_deviceUTCTime = Clock::wallTime();
}

Value KESTLiveDataManager::lastFetchTS() const
{
    if (!m_hasFetched)
        return Value(int32_t(0));
    return Value(m_lastFetchTS.load());
}

// MARK: Airports, delegate and context

void KESTLiveDataManager::parseAirportList()
{
    auto airports = KESTAirport::airportsFromBundle();
    std::lock_guard guard(m_stateLock);
    m_airports = std::move(airports);
}

std::vector<Ref<KESTAirport>> KESTLiveDataManager::airportArray()
{
    std::lock_guard guard(m_stateLock);
    return m_airports;
}

void KESTLiveDataManager::setDelegate(std::weak_ptr<KESTLiveDataManagerDelegate> delegate)
{
    std::lock_guard guard(m_stateLock);
    m_delegate = std::move(delegate);
}

std::shared_ptr<KESTLiveDataManagerDelegate> KESTLiveDataManager::delegate() const
{
    std::lock_guard guard(m_stateLock);
    return m_delegate.lock();
}

void KESTLiveDataManager::setManagedObjectContext(Ref<NSManagedObjectContext> context)
{
    std::lock_guard guard(m_stateLock);
    m_managedObjectContext = std::move(context);
    m_filterMOC = nullptr;
}

Ref<NSManagedObjectContext> KESTLiveDataManager::managedObjectContext() const
{
    std::lock_guard guard(m_stateLock);
    return m_managedObjectContext;
}
