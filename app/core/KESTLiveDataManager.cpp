#include "app/core/KESTLiveDataManager.h"

#include "app/core/KESTFilterDataManager.h"
#include "app/core/KESTPlaneServices.h"
#include "app/core/KESTSettingsManager.h"
#include "coredata/NSFetchRequest.h"
#include "coredata/NSManagedObject.h"
#include "coredata/NSManagedObjectContext.h"
#include "foundation/Clock.h"
#include "foundation/JSONNumbers.h"
#include "foundation/NSDataFile.h"
#include "foundation/NSError.h"
#include "foundation/NSException.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSLog.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSString.h"
#include "foundation/NSTimer.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "net/NSURLSession.h"
#include "net/NSURLSessionConfiguration.h"
#include "net/NSURLSessionDelegate.h"
#include "net/NSURLSessionDownloadTask.h"
#include "net/NSURLSessionTask.h"

#include <cmath>
#include <cstdlib>
#include <unordered_set>

VX_REGISTER_CLASS(KESTLiveDataManager);

namespace {

constexpr const char* kSerialQueueLabel = "com.kestravon.volantrix.queue.serial";
constexpr const char* kBackgroundSessionIdentifier = "com.kestravon.volantrix.background.url.session";
constexpr double kFullPollThrottle = 5.0;
constexpr double kFastStartDelay = 3.0;
constexpr double kTimerFullPollInterval = 120.0;
constexpr double kTimerDeltaPollInterval = 15.0;

std::mutex s_sharedLock;
Ref<KESTLiveDataManager> s_shared;

std::mutex s_configLock;
std::string s_baseURL = "http://127.0.0.1:8080/";
KESTLiveDataManager::AlertPresenter s_alertPresenter;

// The number's text as the platform writes a double: whole values without a fraction.
std::string numberText(double d)
{
    return Value(d).stringValue();
}

// The number the JSON reader makes of a number token (or true/false), so that converting it
// gives what converting the decoded answer's number gives.
Value numberValue(simdjson::dom::element element)
{
    return jsonNumberValue(element).value_or(Value());
}

bool isNumberElement(simdjson::dom::element element)
{
    using Type = simdjson::dom::element_type;
    switch (element.type()) {
    case Type::BOOL:
    case Type::INT64:
    case Type::UINT64:
    case Type::DOUBLE:
        return true;
    default:
        return false;
    }
}

// The fields of a plane info array, under the rules KESTPlane::fieldsFromInfo applies to a
// decoded one: at least 13 elements, texts at 0-3, 10 and 12, numbers at 4-9 and 11.
std::optional<KESTPlane::Fields> readFields(simdjson::dom::element element)
{
    simdjson::dom::array array;
    if (element.get_array().get(array))
        return std::nullopt;
    simdjson::dom::element e[13];
    size_t count = 0;
    for (simdjson::dom::element child : array) {
        if (count == 13)
            break;
        e[count++] = child;
    }
    if (count < 13)
        return std::nullopt;
    for (size_t index : { 0, 1, 2, 3, 10, 12 }) {
        if (!e[index].is_string())
            return std::nullopt;
    }
    for (size_t index : { 4, 5, 6, 7, 8, 9, 11 }) {
        if (!isNumberElement(e[index]))
            return std::nullopt;
    }
    auto text = [&](size_t index) { return std::string(e[index].get_string().value_unsafe()); };
    KESTPlane::Fields f;
    f.type = text(0);
    f.route = text(1);
    f.reg = text(2);
    f.callsign = text(3);
    f.lat = numberValue(e[4]).doubleValue();
    f.lon = numberValue(e[5]).doubleValue();
    f.altitude = numberValue(e[6]).doubleValue();
    f.heading = numberValue(e[7]).doubleValue();
    f.speed = numberValue(e[8]).doubleValue();
    f.mtime = numberValue(e[9]).doubleValue();
    f.squawk = text(10);
    f.dataType = numberValue(e[11]).intValue();
    f.fltno = text(12);
    return f;
}

bool isJSONWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Forwards the background session's download callback to the manager without keeping it alive.
class BackgroundSessionDelegate : public NSURLSessionDelegate {
public:
    explicit BackgroundSessionDelegate(std::weak_ptr<KESTLiveDataManager> manager)
        : m_manager(std::move(manager))
    {
    }
    void URLSessionDownloadTaskDidFinishDownloadingToURL(const Ref<NSURLSession>& session,
        const Ref<NSURLSessionDownloadTask>& task, const Ref<NSURL>& location) override
    {
        if (auto manager = m_manager.lock())
            manager->downloadTaskDidFinishDownloadingToURL(session, task, location ? location->path() : std::string());
    }

private:
    std::weak_ptr<KESTLiveDataManager> m_manager;
};

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

std::shared_ptr<const KESTPlaneAnswer> KESTPlaneAnswer::fromJSONObject(const Value& answer)
{
    Value planes = answer.isDictionary() ? answer["planes"] : Value();
    if (!planes.isDictionary())
        return nullptr;
    auto result = std::make_shared<KESTPlaneAnswer>();
    result->records.reserve(planes.count());
    result->index.reserve(planes.count());
    for (const auto& [key, info] : planes.entries()) {
        Record record;
        record.adshex = key.stringValue();
        // Only a text key names a plane; a key without a value does not list one.
        if (key.isString()) {
            record.fields = KESTPlane::fieldsFromInfo(info);
            if (!info.isNil())
                result->index.emplace(key.string(), result->records.size());
        }
        result->records.push_back(std::move(record));
    }
    return result;
}

std::shared_ptr<const KESTPlaneAnswer> KESTPlaneAnswer::decode(std::string_view bytes)
{
    // Only an object is read here; the general decoder reports everything else, and takes a
    // byte order mark.
    size_t start = 0;
    while (start < bytes.size() && isJSONWhitespace(bytes[start]))
        ++start;
    if (start == bytes.size() || bytes[start] != '{')
        return nullptr;

    // As in the general decoder: one parser keeps its buffers between answers, a call that finds
    // it busy or an answer too large for it uses buffers of its own, and nesting deeper than
    // the general decoder takes fails the parse.
    constexpr size_t kSharedCapacity = 8 * 1024 * 1024;
    constexpr size_t kMaximumDepth = 512;
    static std::mutex s_parserLock;
    static simdjson::dom::parser s_parser(kSharedCapacity);
    std::unique_lock lock(s_parserLock, std::try_to_lock);
    std::optional<simdjson::dom::parser> own;
    simdjson::dom::parser* parser = &s_parser;
    if (!lock.owns_lock() || bytes.size() > kSharedCapacity)
        parser = &own.emplace();
    if (parser->max_depth() != kMaximumDepth && parser->allocate(bytes.size(), kMaximumDepth))
        return nullptr;
    simdjson::dom::element root;
    simdjson::dom::object top;
    if (parser->parse(bytes.data() + start, bytes.size() - start).get(root) || root.get_object().get(top))
        return nullptr;
    // A repeated key's last value counts.
    std::optional<simdjson::dom::element> table;
    for (simdjson::dom::key_value_pair field : top) {
        if (field.key == "planes")
            table = field.value;
    }
    simdjson::dom::object planes;
    if (!table || table->get_object().get(planes))
        return nullptr;

    auto result = std::make_shared<KESTPlaneAnswer>();
    size_t count = planes.size();
    result->records.reserve(count);
    result->index.reserve(count);
    for (simdjson::dom::key_value_pair field : planes) {
        auto fields = readFields(field.value);
        auto [it, added] = result->index.try_emplace(std::string(field.key), result->records.size());
        if (added)
            result->records.push_back(Record { it->first, std::move(fields) });
        else
            result->records[it->second].fields = std::move(fields);
    }
    return result;
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

// MARK: Poll entry points

void KESTLiveDataManager::performFullPoll()
{
    performFullPollWithCompletionHandler(nullptr);
}
void KESTLiveDataManager::performFullPollFromTimer()
{
    performFullPollWithCompletionHandler(nullptr);
}

void KESTLiveDataManager::performFullPollWithSearch(const Value& search)
{
    if (!search.isNil())
        setSearchDictionary(search);
    performFullPollWithCompletionHandler(nullptr);
}

void KESTLiveDataManager::performBackgroundFullPollWithCompletionHandler(CompletionHandler handler)
{
    performFullPollWithCompletionHandler(std::move(handler));
}

void KESTLiveDataManager::performBackgroundFullPollWithSearchAndCompletionHandler(
    const Value& search, CompletionHandler handler)
{
    if (!search.isNil())
        setSearchDictionary(search);
    performFullPollWithCompletionHandler(std::move(handler));
}

void KESTLiveDataManager::performDeltaPoll()
{
    performDeltaPollWithCompletionHandler(nullptr);
}

void KESTLiveDataManager::performBackgroundDeltaPollWithCompletionHandler(CompletionHandler handler)
{
    performDeltaPollWithCompletionHandler(std::move(handler));
}

void KESTLiveDataManager::performFullPollWithCompletionHandler(CompletionHandler handler)
{
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
        serviceBaseURL(), std::string(icao != 0 ? "IATA" : "ICAO"), std::to_string(faa), lastFetchTS().stringValue(),
        int32_t(background ? 1 : 0));
    auto nsurl = NSURL::URLWithString(url);
    if (!nsurl) {
        NSLog("Invalid live feed address %@", url);
        return;
    }
    performPlaneFetch(NSURLRequest::requestWithURL(nsurl), background, true);
}

void KESTLiveDataManager::performDeltaPollWithCompletionHandler(CompletionHandler handler)
{
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
            lastFetchTS().stringValue(), boundsText, int32_t(background ? 1 : 0));
    auto nsurl = NSURL::URLWithString(url);
    if (!nsurl) {
        NSLog("Invalid live feed address %@", url);
        return;
    }
    performPlaneFetch(NSURLRequest::requestWithURL(nsurl), background, false);
}

void KESTLiveDataManager::performFastStart()
{
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
    stopUpdateTimer();
    std::weak_ptr<KESTLiveDataManager> weak = self<KESTLiveDataManager>();
    m_updateTimer = NSTimer::scheduledTimerWithTimeIntervalRepeatsBlock(1.0, true, [weak](const Ref<NSTimer>&) {
        if (auto manager = weak.lock())
            manager->handleTimerUpdate();
    });
}

void KESTLiveDataManager::stopUpdateTimer()
{
    if (m_updateTimer)
        m_updateTimer->invalidate();
    m_updateTimer = nullptr;
}

void KESTLiveDataManager::invalidateTimers()
{
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

// MARK: Transport

Ref<NSOperationQueue> KESTLiveDataManager::networkQueue()
{
    std::lock_guard guard(m_setupLock);
    if (!m_networkQueue) {
        m_networkQueue = NSOperationQueue::init();
        m_networkQueue->setMaxConcurrentOperationCount(1);
    }
    return m_networkQueue;
}

dispatch_queue_t KESTLiveDataManager::serialQueue()
{
    std::lock_guard guard(m_setupLock);
    if (!m_serialQueue)
        m_serialQueue = dispatch_queue_create(kSerialQueueLabel, DISPATCH_QUEUE_SERIAL);
    return *m_serialQueue;
}

Ref<NSURLSession> KESTLiveDataManager::URLSessionForBackground(bool background)
{
    auto queue = networkQueue();
    std::lock_guard guard(m_setupLock);
    if (background) {
        if (!m_backgroundURLSession) {
            auto configuration
                = NSURLSessionConfiguration::backgroundSessionConfigurationWithIdentifier(kBackgroundSessionIdentifier);
            m_backgroundURLSession = NSURLSession::sessionWithConfigurationDelegateDelegateQueue(
                configuration, std::make_shared<BackgroundSessionDelegate>(self<KESTLiveDataManager>()), queue);
        }
        return m_backgroundURLSession;
    }
    if (!m_foregroundURLSession) {
        m_foregroundURLSession = NSURLSession::sessionWithConfigurationDelegateDelegateQueue(
            NSURLSessionConfiguration::defaultSessionConfiguration(), nullptr, queue);
    }
    return m_foregroundURLSession;
}

void KESTLiveDataManager::performFetchWithRequest(
    const Ref<NSURLRequest>& request, bool backgroundRequest, JSONSuccess success, JSONFailure failure)
{
    if (backgroundRequest) {
        URLSessionForBackground(true)->downloadTaskWithRequest(request)->resume();
        return;
    }
    std::weak_ptr<KESTLiveDataManager> weak = self<KESTLiveDataManager>();
    auto task = URLSessionForBackground(false)->dataTaskWithRequestCompletionHandler(request,
        [weak, success = std::move(success), failure = std::move(failure)](
            const Value& data, const Ref<NSURLResponse>& response, const Ref<NSError>& error) {
            if (auto manager = weak.lock())
                manager->handleResponse(response, data, error, success, failure);
        });
    task->resume();
}

void KESTLiveDataManager::performPlaneFetch(const Ref<NSURLRequest>& request, bool backgroundRequest, bool full)
{
    // A background answer arrives as a download (downloadTaskDidFinishDownloadingToURL).
    if (backgroundRequest) {
        performFetchWithRequest(request, true, nullptr, nullptr);
        return;
    }
    std::weak_ptr<KESTLiveDataManager> weak = self<KESTLiveDataManager>();
    auto task = URLSessionForBackground(false)->dataTaskWithRequestCompletionHandler(
        request, [weak, full](const Value& data, const Ref<NSURLResponse>& response, const Ref<NSError>& error) {
            if (auto manager = weak.lock())
                manager->handlePlaneResponse(response, data, error, full, nullptr, nullptr, nullptr);
        });
    task->resume();
}

std::optional<bool> KESTLiveDataManager::screenResponse(
    const Ref<NSURLResponse>& response, const Value& data, Ref<NSError> error, const JSONFailure& failure)
{
    auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
    int32_t status = http ? http->statusCode() : 0;
    if (!data.isData() || data.bytes().empty()) {
        NSLog("Empty webservice response detected");
        error = NSError::errorWithDomain("com.kestravon.error", 0,
            Value::dictionary(
                { { Value(NSLocalizedDescriptionKey), Value("Empty response returned from webservice") } }));
    }
    if (error) {
        if (failure)
            failure(response, error);
        return bool(failure);
    }
    if (status != 200 && status != 201)
        return false;
    return std::nullopt;
}

void KESTLiveDataManager::readServiceClock(const Ref<NSURLResponse>& response)
{
    auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
    if (!http)
        return;
    Value fields = http->allHeaderFields();
    Value header = fields.objectForKey(Value("X-VX-S-TIME"));
    if (!header.isNil()) {
        // Only a number moves the offset: a garbled header would otherwise read as 1970.
        std::string text = header.stringValue();
        char* end = nullptr;
        double serviceTime = std::strtod(text.c_str(), &end);
        if (!text.empty() && end && *end == '\0' && std::isfinite(serviceTime))
            m_serverTime = std::trunc(Clock::wallTime() - serviceTime);
    }
}

bool KESTLiveDataManager::handleResponse(const Ref<NSURLResponse>& response, const Value& data, Ref<NSError> error,
    const JSONSuccess& success, const JSONFailure& failure)
{
    if (auto answered = screenResponse(response, data, std::move(error), failure))
        return *answered;
    Ref<NSError> decodeError;
    Value json = NSJSONSerialization::JSONObjectWithData(
        data.bytes(), NSJSONSerialization::NSJSONReadingMutableContainers, &decodeError);
    if (decodeError || json.isNil()) {
        if (failure)
            failure(response, decodeError);
        return bool(failure);
    }
    readServiceClock(response);
    if (success)
        success(json);
    return bool(success);
}

bool KESTLiveDataManager::handlePlaneResponse(const Ref<NSURLResponse>& response, const Value& data, Ref<NSError> error,
    bool full, Block success, Block failure, const JSONFailure& failed)
{
    if (auto answered = screenResponse(response, data, std::move(error), failed))
        return *answered;
    const auto& bytes = data.bytes();
    if (auto answer
        = KESTPlaneAnswer::decode(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()))) {
        readServiceClock(response);
        parsePlaneAnswer(std::move(answer), full, std::move(success), std::move(failure));
        return true;
    }
    return handleResponse(
        response, data, nullptr,
        [&](const Value& json) { parsePlaneDataResponse(json, full, std::move(success), std::move(failure)); }, failed);
}

void KESTLiveDataManager::downloadTaskDidFinishDownloadingToURL(
    const Ref<NSURLSession>& session, const Ref<NSURLSessionDownloadTask>& task, const std::string& path)
{
    // The temporary file is gone once this returns: read it now.
    Value data = path.empty() ? Value() : NSData::dataWithContentsOfFile(path);
    if (!data.isData()) {
        triggerBackgroundCompletionHandlerWithSessionAndResult(session, KESTFetchResultFailed);
        return;
    }
    std::weak_ptr<KESTLiveDataManager> weak = self<KESTLiveDataManager>();
    Ref<NSURLResponse> response = task->response();
    Ref<NSURLRequest> request = task->currentRequest();
    dispatch_async(
        dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_HIGH, 0), [weak, session, response, request, data] {
            auto manager = weak.lock();
            if (!manager)
                return;
            auto query = request && request->URL() ? request->URL()->query() : std::nullopt;
            bool full = !query || query->find("bounds") == std::string::npos;
            bool answered = manager->handlePlaneResponse(
                response, data, nullptr, full,
                [weak, session] {
                    if (auto m = weak.lock())
                        m->triggerBackgroundCompletionHandlerWithSessionAndResult(session, KESTFetchResultNewData);
                },
                [weak, session] {
                    if (auto m = weak.lock())
                        m->triggerBackgroundCompletionHandlerWithSessionAndResult(session, KESTFetchResultFailed);
                },
                [weak, session](const Ref<NSURLResponse>&, const Ref<NSError>&) {
                    if (auto m = weak.lock())
                        m->triggerBackgroundCompletionHandlerWithSessionAndResult(session, KESTFetchResultFailed);
                });
            // An answer that is neither accepted nor an error (a status other than 200 or 201) must
            // still complete the platform's handler, or background fetch waits for ever.
            if (!answered)
                manager->triggerBackgroundCompletionHandlerWithSessionAndResult(session, KESTFetchResultFailed);
        });
}

void KESTLiveDataManager::setCurrentBackgroundFetchCompletionHandler(CompletionHandler handler)
{
    CompletionHandler previous;
    {
        std::lock_guard guard(m_handlerLock);
        previous = std::exchange(m_currentBackgroundFetchCompletionHandler, std::move(handler));
    }
    if (previous)
        previous(KESTFetchResultFailed);
}

bool KESTLiveDataManager::hasCurrentBackgroundFetchCompletionHandler() const
{
    std::lock_guard guard(m_handlerLock);
    return bool(m_currentBackgroundFetchCompletionHandler);
}

void KESTLiveDataManager::triggerBackgroundCompletionHandlerWithSessionAndResult(
    const Ref<NSURLSession>& session, int32_t result)
{
    std::weak_ptr<KESTLiveDataManager> weak = self<KESTLiveDataManager>();
    auto fire = [weak, result](size_t outstanding) {
        auto manager = weak.lock();
        if (!manager || outstanding > 0)
            return;
        CompletionHandler handler;
        {
            std::lock_guard guard(manager->m_handlerLock);
            handler = std::exchange(manager->m_currentBackgroundFetchCompletionHandler, nullptr);
        }
        if (handler)
            handler(result);
    };
    if (!session) {
        fire(0);
        return;
    }
    session->getTasksWithCompletionHandler([fire](auto data, auto upload, auto download) {
        // A task that has already completed is no longer outstanding.
        size_t outstanding = 0;
        auto count = [&](const auto& tasks) {
            for (const auto& task : tasks)
                outstanding += task->state() != NSURLSessionTaskStateCompleted;
        };
        count(data);
        count(upload);
        count(download);
        fire(outstanding);
    });
}

// MARK: Merge and publication

void KESTLiveDataManager::parsePlaneDataResponse(const Value& answer, bool performDiff, Block success, Block failure)
{
    parsePlaneAnswer(KESTPlaneAnswer::fromJSONObject(answer), performDiff, std::move(success), std::move(failure));
}

void KESTLiveDataManager::parsePlaneAnswer(
    std::shared_ptr<const KESTPlaneAnswer> answer, bool performDiff, Block success, Block failure)
{
    cacheDeviceUTCTimestamp();
    m_lastFetchTS = m_deviceUTCTime.load();
    m_hasFetched = true;
    if (!answer) {
        if (failure)
            failure();
        return;
    }
    auto group = dispatch_group_create();
    auto queue = dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_BACKGROUND, 0);
    auto self = this->self<KESTLiveDataManager>();
    dispatch_group_async(group, queue, [self, answer] { self->mergeAnswer(*answer); });
    dispatch_group_notify(group, queue, [self, answer, performDiff, success = std::move(success)] {
        self->finishAnswer(*answer, performDiff, success);
    });
}

void KESTLiveDataManager::mergeAnswer(const KESTPlaneAnswer& answer)
{
    bool faaOff = KESTSettingsManager::sharedInstance()->faaData() == 0;
    // The records are checked and filtered first, so the serial queue is taken once per answer
    // rather than once per plane; they are applied in the answer's order.
    std::vector<const KESTPlaneAnswer::Record*> records;
    records.reserve(answer.records.size());
    for (const auto& record : answer.records) {
        if (!record.fields) {
            NSLog("Skipping malformed plane record %@", record.adshex);
            continue;
        }
        if (faaOff && record.fields->dataType == 1)
            continue;
        records.push_back(&record);
    }
    dispatch_sync(serialQueue(), [this, &records] {
        for (const auto* record : records) {
            auto found = m_liveDataDirty.find(record->adshex);
            if (found != m_liveDataDirty.end()) {
                found->second->updateFields(*record->fields);
                continue;
            }
            m_liveDataDirty.emplace(
                record->adshex, KESTPlane::initWithAdshexAndFields(record->adshex, *record->fields));
            m_workingSetChanged = true;
        }
    });
}

void KESTLiveDataManager::finishAnswer(const KESTPlaneAnswer& answer, bool full, const Block& success)
{
    auto queue = serialQueue();
    if (full) {
        dispatch_sync(queue, [this, &answer] {
            for (auto it = m_liveDataDirty.begin(); it != m_liveDataDirty.end();) {
                if (!answer.index.contains(it->first)) {
                    it = m_liveDataDirty.erase(it);
                    m_workingSetChanged = true;
                } else {
                    ++it;
                }
            }
        });
    }
    dispatch_sync(queue, [this] {
        // Planes are shared and updated in place, so while no plane has joined or left the
        // working set since the last publication the published set already holds it.
        if (!m_workingSetChanged)
            return;
        m_workingSetChanged = false;
        auto published = std::make_shared<const PlaneMap>(m_liveDataDirty);
        std::lock_guard guard(m_publishLock);
        m_liveData = std::move(published);
    });

    if (full && !searchDictionary().isNil())
        serveSearch();

    auto self = this->self<KESTLiveDataManager>();
    if (full) {
        m_hasPerformedFullPoll = true;
        dispatch_async(dispatch_get_main_queue(), [self] {
            if (self->m_fastStartTimer) {
                self->m_fastStartTimer->invalidate();
                self->m_fastStartTimer = nullptr;
            }
        });
    } else if (!m_hasPerformedFullPoll && !m_hasRequestedFullPollAfterFastStart.exchange(true)) {
        dispatch_async(dispatch_get_main_queue(), [self] { self->performFullPoll(); });
    }
    dispatch_async(dispatch_get_main_queue(), [full] {
        NSNotificationCenter::defaultCenter()->postNotificationName(
            KESTLiveDataUpdatedNotification, nullptr, Value::dictionary({ { Value("delta"), Value(!full) } }));
    });
    if (success)
        success();
}

void KESTLiveDataManager::serveSearch()
{
    Value search = searchDictionary();
    bool found = false;
    auto planes = planeArray();
    auto self = this->self<KESTLiveDataManager>();
    auto select = [&](const Ref<KESTPlane>& plane) {
        found = true;
        dispatch_async(dispatch_get_main_queue(), [self, plane] {
            if (auto delegate = self->delegate())
                delegate->selectAnnotationMakeVisible(plane, true);
        });
    };
    for (const auto& [key, value] : search.entries()) {
        std::string text = value.stringValue();
        for (const auto& plane : planes) {
            if (key == Value("adshex")) {
                if (plane->adshex() == text)
                    select(plane);
            } else if (key == Value("callsign")) {
                if (plane->callsign() == text)
                    select(plane);
                else if (!found && plane->fltno() == text)
                    select(plane);
            }
        }
    }
    if (!found) {
        dispatch_async(dispatch_get_main_queue(), [] {
            AlertPresenter presenter;
            {
                std::lock_guard guard(s_configLock);
                presenter = s_alertPresenter;
            }
            if (presenter)
                presenter("Not currently tracked", "This flight is out of range or not currently tracked.", "Continue");
            else
                NSLog("%@: %@", std::string("Not currently tracked"),
                    std::string("This flight is out of range or not currently tracked."));
        });
    }
    setSearchDictionary(Value());
}

std::shared_ptr<const KESTLiveDataManager::PlaneMap> KESTLiveDataManager::liveData() const
{
    std::lock_guard guard(m_publishLock);
    return m_liveData;
}

std::vector<Ref<KESTPlane>> KESTLiveDataManager::unfilteredPlaneArray()
{
    auto published = liveData();
    std::vector<Ref<KESTPlane>> planes;
    planes.reserve(published->size());
    for (const auto& [key, plane] : *published)
        planes.push_back(plane);
    return planes;
}

std::vector<Ref<KESTPlane>> KESTLiveDataManager::planeArray()
{
    auto planes = unfilteredPlaneArray();
    auto predicate = KESTFilterDataManager::sharedInstance()->predicate();
    if (predicate) {
        try {
            std::vector<Ref<KESTPlane>> filtered;
            for (const auto& plane : planes) {
                if (predicate->evaluateWithObject(Value(plane)))
                    filtered.push_back(plane);
            }
            planes = std::move(filtered);
        } catch (const NSException& exception) {
            // A filter that cannot be evaluated switches every filter off, so the user sees
            // planes again, and the unfiltered list is served.
            if (auto context = filterMOC()) {
                bool ok = true;
                context->performBlockAndWait([&] {
                    Ref<NSError> error;
                    Value filters = context->executeFetchRequest(
                        NSFetchRequest::fetchRequestWithEntityName("KESTFilter"), &error);
                    if (error) {
                        ok = false;
                        return;
                    }
                    for (const auto& filter : filters.elements()) {
                        if (auto object = filter.objectAs<NSManagedObject>())
                            object->setValueForKey(Value(), "filterActive");
                    }
                    if (!context->save(&error))
                        ok = false;
                });
                if (ok) {
                    if (auto parent = context->parentContext()) {
                        parent->performBlock([parent] {
                            Ref<NSError> error;
                            parent->save(&error);
                        });
                    }
                }
            }
            NSLog("Exception: %@", std::string(exception.what()));
        }
    }
    return planes;
}

Ref<KESTPlane> KESTLiveDataManager::planeWithADSHEX(const std::string& adshex)
{
    auto published = liveData();
    auto found = published->find(adshex);
    return found == published->end() ? nullptr : found->second;
}

Value KESTLiveDataManager::searchDictionary() const
{
    std::lock_guard guard(m_stateLock);
    return m_searchDictionary;
}

void KESTLiveDataManager::setSearchDictionary(const Value& search)
{
    std::lock_guard guard(m_stateLock);
    m_searchDictionary = search.copy();
}

Ref<NSManagedObjectContext> KESTLiveDataManager::filterMOC()
{
    std::lock_guard guard(m_stateLock);
    if (!m_filterMOC && m_managedObjectContext) {
        m_filterMOC
            = NSManagedObjectContext::initWithConcurrencyType(NSManagedObjectContext::NSPrivateQueueConcurrencyType);
        m_filterMOC->setParentContext(m_managedObjectContext);
    }
    return m_filterMOC;
}

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

// MARK: Flight paths

void KESTLiveDataManager::performFlightPathFetch(const std::string& adshex, const Value& timestamp)
{
    // The hex address comes from the service: escape it so it cannot add query parameters.
    std::string url = NSString::stringWithFormat(
        "%@APPAPIv2/planeFlightPath.php?adshex=%@", serviceBaseURL(), NSString::stringByEscapingForURLArgument(adshex));
    if (!timestamp.isNil())
        url += NSString::stringWithFormat("&tmestamp=%@", timestamp.stringValue());
    auto nsurl = NSURL::URLWithString(url);
    if (!nsurl) {
        NSLog("Invalid flight path address %@", url);
        return;
    }
    std::weak_ptr<KESTLiveDataManager> weak = self<KESTLiveDataManager>();
    performFetchWithRequest(
        NSURLRequest::requestWithURL(nsurl), false,
        [weak](const Value& json) {
            auto manager = weak.lock();
            if (!manager)
                return;
            auto queue = manager->serialQueue();
            dispatch_async(queue, [manager] {
                manager->m_flightPathLocationPoints.clear();
                manager->m_flightPathAltitudePoints.clear();
            });
            Value path = json.isDictionary() ? json["path"] : Value();
            for (const auto& point : path.elements()) {
                if (!point.isArray() || point.count() < 3 || !point[0].isNumber() || !point[1].isNumber()
                    || !point[2].isNumber()) {
                    NSLog("Skipping malformed flight path point %@", point.description());
                    continue;
                }
                KESTLocation location { point[0].doubleValue(), point[1].doubleValue() };
                Value altitude = point[2];
                dispatch_async(queue, [manager, location, altitude] {
                    manager->m_flightPathLocationPoints.push_back(location);
                    manager->m_flightPathAltitudePoints.push_back(altitude);
                });
            }
            NSNotificationCenter::defaultCenter()->postNotificationName(KESTFlightPathUpdatedNotification, nullptr);
        },
        [](const Ref<NSURLResponse>&, const Ref<NSError>&) {});
}

std::pair<std::vector<KESTLocation>, std::vector<Value>> KESTLiveDataManager::flightPathArray()
{
    std::pair<std::vector<KESTLocation>, std::vector<Value>> result;
    dispatch_sync(serialQueue(), [&] {
        result.first = m_flightPathLocationPoints;
        result.second = m_flightPathAltitudePoints;
    });
    return result;
}
