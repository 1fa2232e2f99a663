#pragma once

#include "app/core/KESTAirport.h"
#include "app/core/KESTLocation.h"
#include "app/core/KESTMapBounds.h"
#include "app/core/KESTPlane.h"
#include "foundation/Dispatch.h"
#include "foundation/Locked.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class NSError;
class NSManagedObjectContext;
class NSOperationQueue;
class NSTimer;
class NSURLRequest;
class NSURLResponse;
class NSURLSession;
class NSURLSessionDownloadTask;
struct KESTPlaneAnswer;

// The map screen, as the live feed sees it.
class KESTLiveDataManagerDelegate {
public:
    virtual ~KESTLiveDataManagerDelegate() = default;
    // The visible map's bounds, or nullopt when there is no map to take them from.
    virtual std::optional<KESTMapBounds> currentMapBounds() = 0;
    // Selects the plane on the map; called on the main queue.
    virtual void selectAnnotationMakeVisible(const Ref<KESTPlane>& plane, bool makeVisible) = 0;
};

// Background-fetch results handed to completion handlers.
enum KESTFetchResult : int32_t {
    KESTFetchResultNewData = 0,
    KESTFetchResultNoData = 1,
    KESTFetchResultFailed = 2,
};

inline constexpr const char* KESTLiveDataUpdatedNotification = "com.kestravon.volantrix.livedata.updated";
inline constexpr const char* KESTFlightPathUpdatedNotification = "com.kestravon.pathupdated";

// The process-wide source of live planes. It polls the flight-data service (a full poll of every
// plane for the user's settings, a delta poll of the visible map), merges each answer into its
// working set on a serial queue, drops the planes a full answer no longer lists, publishes an
// immutable copy and posts KESTLiveDataUpdatedNotification with "delta". It also fetches one
// plane's flight path at a time.
//
// Threads: the poll workers and timers run on the main thread; answers arrive on the width-one
// network queue (foreground) or the high-priority global queue (background), and are merged on
// the background-priority global queue, one plane at a time through the serial queue. The
// clocks shared between those threads are atomic; the published set is swapped under a lock.
class KESTLiveDataManager : public NSObject {
    VX_OBJECT(KESTLiveDataManager, NSObject)
public:
    using CompletionHandler = std::function<void(int32_t result)>;
    using JSONSuccess = std::function<void(const Value& json)>;
    using JSONFailure = std::function<void(const Ref<NSURLResponse>&, const Ref<NSError>&)>;
    using Block = std::function<void()>;
    using PlaneMap = std::unordered_map<std::string, Ref<KESTPlane>>;

    explicit KESTLiveDataManager(Passkey);
    ~KESTLiveDataManager() override;

    static Ref<KESTLiveDataManager> sharedInstance();
    // A manager of its own, for tests and tools; the shared one is made the same way.
    static Ref<KESTLiveDataManager> init();

    // The flight-data service's base address, ending in "/".
    static std::string serviceBaseURL();
    static void setServiceBaseURL(std::string base);

    // Clocks.
    void cacheDeviceUTCTimestamp();
    double deviceUTCTime() const { return m_deviceUTCTime; }
    double serverTime() const { return m_serverTime; }
    // The number `ts` carries: the integer 0 until the first answer was parsed.
    Value lastFetchTS() const;
    double lastFullFetchTS() const { return m_lastFullFetchTS; }
    double fullPollTS() const { return m_fullPollTS; }
    double deltaPollTS() const { return m_deltaPollTS; }
    bool hasPerformedFullPoll() const { return m_hasPerformedFullPoll; }
    bool hasPerformedFastStart() const { return m_hasPerformedFastStart; }
    bool hasRequestedFullPollAfterFastStart() const { return m_hasRequestedFullPollAfterFastStart; }

    // Poll entry points (main thread).
    void performFullPoll();
    void performFullPollFromTimer();
    void performFullPollWithSearch(const Value& search);
    void performBackgroundFullPollWithCompletionHandler(CompletionHandler handler);
    void performBackgroundFullPollWithSearchAndCompletionHandler(const Value& search, CompletionHandler handler);
    void performFullPollWithCompletionHandler(CompletionHandler handler);
    void performDeltaPoll();
    void performBackgroundDeltaPollWithCompletionHandler(CompletionHandler handler);
    void performDeltaPollWithCompletionHandler(CompletionHandler handler);
    void performFastStart();

    // The one-second poll timer.
    void startUpdateTimer();
    void stopUpdateTimer();
    void handleTimerUpdate();
    // Stops the poll timer and a waiting fast-start timer (tear-down).
    void invalidateTimers();
    bool hasUpdateTimer() const;
    bool hasFastStartTimer() const;

    // Transport.
    // The largest answer body taken for each kind of request; a larger one is refused with a log
    // line before it is decoded. A poll of 100,000 planes is about 15 MB and a long flight path
    // well under a megabyte.
    static constexpr size_t kMaximumPlaneAnswerBytes = size_t(32) << 20;
    static constexpr size_t kMaximumFlightPathAnswerBytes = size_t(4) << 20;
    static constexpr size_t kMaximumAnswerBytes = size_t(8) << 20;
    // `maxBodyBytes` bounds the answer's body (a larger one reaches `failure`).
    void performFetchWithRequest(const Ref<NSURLRequest>& request, bool backgroundRequest, JSONSuccess success,
        JSONFailure failure, size_t maxBodyBytes = kMaximumAnswerBytes);
    // Calls at most one of the blocks; answers whether one was called.
    bool handleResponse(const Ref<NSURLResponse>& response, const Value& data, Ref<NSError> error,
        const JSONSuccess& success, const JSONFailure& failure);
    Ref<NSURLSession> URLSessionForBackground(bool background);
    Ref<NSOperationQueue> networkQueue();
    dispatch_queue_t serialQueue();
    void downloadTaskDidFinishDownloadingToURL(
        const Ref<NSURLSession>& session, const Ref<NSURLSessionDownloadTask>& task, const std::string& path);

    // The pending background handler: replacing a pending one answers it with 2 first.
    void setCurrentBackgroundFetchCompletionHandler(CompletionHandler handler);
    bool hasCurrentBackgroundFetchCompletionHandler() const;
    void triggerBackgroundCompletionHandlerWithSessionAndResult(const Ref<NSURLSession>& session, int32_t result);

    // Merge and publication.
    void parsePlaneDataResponse(const Value& answer, bool performDiff, Block success, Block failure);
    // The same for an answer already read into its plane table (nullptr: no table).
    void parsePlaneAnswer(
        std::shared_ptr<const KESTPlaneAnswer> answer, bool performDiff, Block success, Block failure);
    // handleResponse for a poll answer: its plane table is read straight from the bytes and
    // merged (a full answer also drops the planes it no longer lists); bytes that cannot be read
    // that way go through handleResponse and parsePlaneDataResponse. `success` and `failure`
    // are parsePlaneAnswer's, `failed` is handleResponse's failure block.
    bool handlePlaneResponse(const Ref<NSURLResponse>& response, const Value& data, Ref<NSError> error, bool full,
        Block success, Block failure, const JSONFailure& failed);
    std::vector<Ref<KESTPlane>> unfilteredPlaneArray();
    std::vector<Ref<KESTPlane>> planeArray();
    Ref<KESTPlane> planeWithADSHEX(const std::string& adshex);
    // The published set.
    std::shared_ptr<const PlaneMap> liveData() const;
    Value searchDictionary() const;
    void setSearchDictionary(const Value& search);

    // Airports, loaded once at creation.
    void parseAirportList();
    std::vector<Ref<KESTAirport>> airportArray();

    // Flight paths.
    void performFlightPathFetch(const std::string& adshex, const Value& timestamp);
    // [positions, altitudes], each taken on the serial queue.
    std::pair<std::vector<KESTLocation>, std::vector<Value>> flightPathArray();

    void setDelegate(std::weak_ptr<KESTLiveDataManagerDelegate> delegate);
    std::shared_ptr<KESTLiveDataManagerDelegate> delegate() const;
    void setManagedObjectContext(Ref<NSManagedObjectContext> context);
    Ref<NSManagedObjectContext> managedObjectContext() const;

    // Shows the "Not currently tracked" alert (title, message, button); the user interface
    // installs the presenter, without one the alert is logged.
    using AlertPresenter = std::function<void(const std::string&, const std::string&, const std::string&)>;
    static void setAlertPresenter(AlertPresenter presenter);

    // Test-only: drops the shared instance so the next call makes a fresh one.
    static void resetSharedInstanceForTesting();

private:
    // The status and body checks of handleResponse: nullopt when the body is to be decoded,
    // else handleResponse's answer.
    // `emptyBody` says whether an empty body is logged here or by the caller.
    enum class EmptyBodyLog : uint8_t { Here, ByCaller };
    std::optional<bool> screenResponse(const Ref<NSURLResponse>& response, const Value& data, Ref<NSError> error,
        const JSONFailure& failure, EmptyBodyLog emptyBody = EmptyBodyLog::Here);
    // Moves serverTime to the answer's service clock; false when the answer carries none.
    bool readServiceClock(const Ref<NSURLResponse>& response);
    // Logs a failed poll with its reason, at most one line a minute; the next line says how
    // many failures were not shown. Any thread.
    void reportPollFailure(const std::string& reason);
    // Logs, at most once a minute, that a plane answer came without the service clock.
    void reportMissingServiceClock();
    // True (after a log line naming `kind`) when the body is over `limit` bytes.
    static bool isOversizedBody(const Value& data, size_t limit, const char* kind);
    // How a poll's request travels, and which poll it is.
    enum class Transfer : uint8_t { Foreground, Background };
    enum class Poll : uint8_t { Delta, Full };
    void performPlaneFetch(const Ref<NSURLRequest>& request, Transfer transfer, Poll poll);
    // Merges the answer into the working set, drops what a full answer no longer lists and
    // publishes the result, in one pass through the serial queue.
    void mergeAnswer(const KESTPlaneAnswer& answer, bool full);
    // The search, the first-answer rules, the notification and `success`, after the merge.
    void finishAnswer(bool full, const Block& success);
    void serveSearch();
    void fastStartTimerFired();
    Ref<NSManagedObjectContext> filterMOC();

    Ref<NSURLSession> m_backgroundURLSession;
    Ref<NSURLSession> m_foregroundURLSession;
    Ref<NSOperationQueue> m_networkQueue;
    std::optional<dispatch_queue_t> m_serialQueue;
    std::mutex m_setupLock;

    std::atomic<double> m_lastFetchTS { 0 };
    std::atomic<bool> m_hasFetched { false };
    std::atomic<double> m_lastFullFetchTS { 0 };
    Ref<NSTimer> m_updateTimer;
    Ref<NSTimer> m_fastStartTimer;
    double m_lastTimerUpdateTS { 0 };
    double m_fullPollTS { 0 };
    double m_deltaPollTS { 0 };
    std::atomic<bool> m_hasPerformedFullPoll { false };
    std::atomic<bool> m_hasPerformedFastStart { false };
    std::atomic<bool> m_hasRequestedFullPollAfterFastStart { false };

    // Working set: serial queue only. Published set: swapped under its lock. Each working plane
    // carries the number of the last full answer that listed it, so a full answer finds the
    // planes it does not list without looking each one up in the answer.
    struct WorkingPlane {
        Ref<KESTPlane> plane;
        uint64_t listedBy { 0 };
    };
    using WorkingSet = std::unordered_map<std::string, WorkingPlane>;
    WorkingSet m_liveDataDirty;
    uint64_t m_fullAnswerCount { 0 };
    // The working entries in the order the last full answer listed them. The service lists
    // its planes in much the same order each time, so the entry at a record's position is
    // tried before the hash lookup. Only full answers remove entries, and only those they do
    // not list, so these stay valid until the next full answer replaces them.
    std::vector<WorkingSet::value_type*> m_lastFullAnswerOrder;
    // The entries delta answers added since the last full answer. With the list above they are
    // the whole working set, held in arrays: a full answer looks for the planes it does not
    // list there rather than walking the hash table's nodes one cache miss after another.
    std::vector<WorkingSet::value_type*> m_addedSinceLastFullAnswer;
    // A plane joined or left the working set since the last publication (serial queue only).
    bool m_workingSetChanged { false };
    // The keys of malformed records already logged (serial queue only): each bad plane is
    // named once, not in every answer that still carries it.
    std::unordered_set<std::string> m_reportedMalformedRecords;
    Locked<std::shared_ptr<const PlaneMap>> m_liveData;

    // Flight path: serial queue only.
    std::vector<KESTLocation> m_flightPathLocationPoints;
    std::vector<Value> m_flightPathAltitudePoints;

    Locked<CompletionHandler> m_currentBackgroundFetchCompletionHandler;

    mutable std::mutex m_stateLock;
    Value m_searchDictionary;
    std::weak_ptr<KESTLiveDataManagerDelegate> m_delegate;
    Ref<NSManagedObjectContext> m_managedObjectContext;
    Ref<NSManagedObjectContext> m_filterMOC;
    std::vector<Ref<KESTAirport>> m_airports;

    std::mutex m_pollFailureLock;
    std::optional<double> m_lastPollFailureLog;
    int m_unreportedPollFailures { 0 };
    std::optional<double> m_lastMissingClockLog;

    std::atomic<double> m_serverTime { 0 };
    std::atomic<double> m_deviceUTCTime { 0 };
};

// Every key of `a` that `b` lacks and every key of `b` that `a` lacks, each once.
std::vector<std::string> diffKeys(const Value& a, const Value& b);
