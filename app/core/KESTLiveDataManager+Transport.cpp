// Transport: queues, URL sessions, fetches, answer screening and decoding, background downloads.
#include "app/core/KESTLiveDataManager.h"

#include "app/core/KESTPlaneAnswer.h"
#include "foundation/Clock.h"
#include "foundation/NSDataFile.h"
#include "foundation/NSError.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSLog.h"
#include "foundation/NSOperationQueue.h"
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

namespace {

constexpr const char* kSerialQueueLabel = "com.kestravon.volantrix.queue.serial";
constexpr const char* kBackgroundSessionIdentifier = "com.kestravon.volantrix.background.url.session";

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

constexpr double kPollFailureLogInterval = 60.0;
constexpr double kForegroundRequestTimeout = 30.0;
constexpr double kForegroundResourceTimeout = 60.0;

// The error handleResponse reports for an empty body; its own log line has already named it.
bool isEmptyResponseError(const Ref<NSError>& error)
{
    return error && error->domain() == "com.kestravon.error" && error->code() == 0;
}

// An error as a failed poll's log line names it: domain, code and what went wrong (for a decode
// error, where in the body).
std::string describeError(const Ref<NSError>& error)
{
    if (!error)
        return "unknown error";
    Value debug = error->userInfo()[NSDebugDescriptionErrorKey];
    std::string what = debug.isString() ? debug.string() : error->localizedDescription();
    return error->domain() + " " + std::to_string(error->code()) + ": " + what;
}

Ref<NSError> oversizedBodyError(size_t size)
{
    return NSError::errorWithDomain("com.kestravon.error", 1,
        Value::dictionary({ { Value(NSLocalizedDescriptionKey),
            Value("Answer of " + std::to_string(size) + " bytes is larger than its kind allows") } }));
}

} // namespace

void KESTLiveDataManager::reportPollFailure(const std::string& reason)
{
    std::lock_guard guard(m_pollFailureLock);
    double now = Clock::mediaTime();
    if (m_lastPollFailureLog && now - *m_lastPollFailureLog < kPollFailureLogInterval) {
        ++m_unreportedPollFailures;
        return;
    }
    if (m_unreportedPollFailures > 0)
        NSLog(
            "Live feed poll failed: %@ (%d more failed polls since the last report)", reason, m_unreportedPollFailures);
    else
        NSLog("Live feed poll failed: %@", reason);
    m_lastPollFailureLog = now;
    m_unreportedPollFailures = 0;
}

void KESTLiveDataManager::reportMissingServiceClock()
{
    std::lock_guard guard(m_pollFailureLock);
    double now = Clock::mediaTime();
    if (m_lastMissingClockLog && now - *m_lastMissingClockLog < kPollFailureLogInterval)
        return;
    m_lastMissingClockLog = now;
    NSLog("Live feed answer without the service clock (X-VX-S-TIME): keeping the clock offset of %@ s",
        Value(m_serverTime.load()).stringValue());
}

bool KESTLiveDataManager::isOversizedBody(const Value& data, size_t limit, const char* kind)
{
    if (!data.isData() || data.bytes().size() <= limit)
        return false;
    NSLog("Refusing a %@ answer of %@ bytes: the limit is %@ bytes", std::string(kind),
        std::to_string(data.bytes().size()), std::to_string(limit));
    return true;
}

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
        // A stalled answer (one that never comes, or trickles in) fails within a minute, so the
        // next tick polls again rather than waiting on it.
        auto configuration = NSURLSessionConfiguration::defaultSessionConfiguration();
        configuration->setTimeoutIntervalForRequest(kForegroundRequestTimeout);
        configuration->setTimeoutIntervalForResource(kForegroundResourceTimeout);
        m_foregroundURLSession
            = NSURLSession::sessionWithConfigurationDelegateDelegateQueue(configuration, nullptr, queue);
    }
    return m_foregroundURLSession;
}

void KESTLiveDataManager::performFetchWithRequest(const Ref<NSURLRequest>& request, bool backgroundRequest,
    JSONSuccess success, JSONFailure failure, size_t maxBodyBytes)
{
    if (backgroundRequest) {
        URLSessionForBackground(true)->downloadTaskWithRequest(request)->resume();
        return;
    }
    std::weak_ptr<KESTLiveDataManager> weak = self<KESTLiveDataManager>();
    auto task = URLSessionForBackground(false)->dataTaskWithRequestCompletionHandler(request,
        [weak, success = std::move(success), failure = std::move(failure), maxBodyBytes](
            const Value& data, const Ref<NSURLResponse>& response, const Ref<NSError>& error) {
            auto manager = weak.lock();
            if (!manager)
                return;
            if (!error && isOversizedBody(data, maxBodyBytes, "webservice")) {
                if (failure)
                    failure(response, oversizedBodyError(data.bytes().size()));
                return;
            }
            manager->handleResponse(response, data, error, success, failure);
        });
    task->resume();
}

void KESTLiveDataManager::performPlaneFetch(const Ref<NSURLRequest>& request, Transfer transfer, Poll poll)
{
    // A background answer arrives as a download (downloadTaskDidFinishDownloadingToURL).
    if (transfer == Transfer::Background) {
        performFetchWithRequest(request, true, nullptr, nullptr);
        return;
    }
    std::weak_ptr<KESTLiveDataManager> weak = self<KESTLiveDataManager>();
    bool full = poll == Poll::Full;
    auto task = URLSessionForBackground(false)->dataTaskWithRequestCompletionHandler(
        request, [weak, full](const Value& data, const Ref<NSURLResponse>& response, const Ref<NSError>& error) {
            if (auto manager = weak.lock())
                manager->handlePlaneResponse(response, data, error, full, nullptr, nullptr, nullptr);
        });
    task->resume();
}

std::optional<bool> KESTLiveDataManager::screenResponse(const Ref<NSURLResponse>& response, const Value& data,
    Ref<NSError> error, const JSONFailure& failure, EmptyBodyLog emptyBody)
{
    auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
    int32_t status = http ? http->statusCode() : 0;
    // A transport error explains an empty body itself: only an answer that arrived empty is
    // logged as one.
    if ((!data.isData() || data.bytes().empty()) && !error) {
        if (emptyBody == EmptyBodyLog::Here)
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

bool KESTLiveDataManager::readServiceClock(const Ref<NSURLResponse>& response)
{
    auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
    if (!http)
        return false;
    Value fields = http->allHeaderFields();
    Value header = fields.objectForKey(Value("X-VX-S-TIME"));
    if (header.isNil())
        return false;
    // Only a number moves the offset: a garbled header would otherwise read as 1970.
    std::string text = header.stringValue();
    char* end = nullptr;
    double serviceTime = std::strtod(text.c_str(), &end);
    if (text.empty() || !end || *end != '\0' || !std::isfinite(serviceTime))
        return false;
    m_serverTime = std::trunc(Clock::wallTime() - serviceTime);
    return true;
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
    // Every failed poll is logged once with its reason (an empty body has its own line); the
    // planes of the last good answer stay as they are.
    std::weak_ptr<KESTLiveDataManager> weak = self<KESTLiveDataManager>();
    JSONFailure reported = [weak, failed](const Ref<NSURLResponse>& response, const Ref<NSError>& error) {
        auto manager = weak.lock();
        if (manager && !isEmptyResponseError(error))
            manager->reportPollFailure(describeError(error));
        if (failed)
            failed(response, error);
    };
    if (!error && isOversizedBody(data, kMaximumPlaneAnswerBytes, "live feed")) {
        reported(response, oversizedBodyError(data.bytes().size()));
        return true;
    }
    // An empty answer is a failed poll like the others: named as the feed's, once a minute.
    if (!error && (!data.isData() || data.bytes().empty()))
        reportPollFailure("Empty webservice response detected");
    if (auto answered = screenResponse(response, data, std::move(error), reported, EmptyBodyLog::ByCaller)) {
        if (!*answered) {
            auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
            reportPollFailure("HTTP status " + std::to_string(http ? http->statusCode() : 0));
        }
        return *answered;
    }
    // The network layer leaves spare capacity after a body, which the reader then reads in place.
    const auto& bytes = data.bytes();
    if (auto answer
        = KESTPlaneAnswer::decode(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
            bytes.capacity() - bytes.size())) {
        if (!readServiceClock(response))
            reportMissingServiceClock();
        parsePlaneAnswer(std::move(answer), full, std::move(success), std::move(failure));
        return true;
    }
    return handleResponse(
        response, data, nullptr,
        [&](const Value& json) {
            auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
            if (!http || http->allHeaderFields().objectForKey(Value("X-VX-S-TIME")).isNil())
                reportMissingServiceClock();
            parsePlaneDataResponse(json, full, std::move(success), std::move(failure));
        },
        reported);
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
    CompletionHandler previous = m_currentBackgroundFetchCompletionHandler.exchange(std::move(handler));
    if (previous)
        previous(KESTFetchResultFailed);
}

bool KESTLiveDataManager::hasCurrentBackgroundFetchCompletionHandler() const
{
    return m_currentBackgroundFetchCompletionHandler.with(
        [](const CompletionHandler& handler) { return bool(handler); });
}

void KESTLiveDataManager::triggerBackgroundCompletionHandlerWithSessionAndResult(
    const Ref<NSURLSession>& session, int32_t result)
{
    std::weak_ptr<KESTLiveDataManager> weak = self<KESTLiveDataManager>();
    auto fire = [weak, result](size_t outstanding) {
        auto manager = weak.lock();
        if (!manager || outstanding > 0)
            return;
        CompletionHandler handler = manager->m_currentBackgroundFetchCompletionHandler.exchange(nullptr);
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
