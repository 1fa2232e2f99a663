#include "app/core/KESTVolcanoManager.h"

#include "app/core/KESTLiveDataManager.h"
#include "foundation/Clock.h"
#include "foundation/NSError.h"
#include "foundation/NSLog.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSString.h"
#include "foundation/NSTimer.h"
#include "foundation/ThreadChecks.h"
#include "mapkit/MKGeometry.h"
#include "mapkit/MKPolygon.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNJSONResponseSerializer.h"

#include <algorithm>
#include <mutex>

namespace {

std::mutex s_sharedLock;
Ref<KESTVolcanoManager> s_shared;

// Answers younger than this are not asked for again.
constexpr double kRefreshInterval = 600;
// The wait before asking again after a failure, doubled after each failure in a row.
constexpr double kFirstRetryDelay = 5;
constexpr double kLongestRetryDelay = 300;

} // namespace

Ref<KESTVolcanoManager> KESTVolcanoManager::init()
{
    return make<KESTVolcanoManager>();
}

Ref<KESTVolcanoManager> KESTVolcanoManager::sharedInstance()
{
    std::lock_guard guard(s_sharedLock);
    if (!s_shared)
        s_shared = init();
    return s_shared;
}

void KESTVolcanoManager::resetSharedInstanceForTesting()
{
    std::lock_guard guard(s_sharedLock);
    s_shared = nullptr;
}

void KESTVolcanoManager::checkforOverlay()
{
    assertIsMainThread();
    if (!m_polyArray.empty()) {
        NSNotificationCenter::defaultCenter()->postNotificationName(KESTVolcanoOverlayChangeNotification, nullptr);
        if (Clock::wallTime() - m_lastUpdate <= kRefreshInterval)
            return;
    }
    pollForOverlay();
}

void KESTVolcanoManager::pollForOverlay()
{
    assertIsMainThread();
    // This request takes the place of a waiting retry.
    if (m_retryTimer) {
        m_retryTimer->invalidate();
        m_retryTimer = nullptr;
    }
    std::string address = NSString::stringWithFormat("%@APPAPIv2/vaa.php", KESTLiveDataManager::serviceBaseURL());
    auto url = NSURL::URLWithString(address);
    if (!url) {
        NSLog("Invalid ash area address %@", address);
        return;
    }
    auto operation = VNHTTPRequestOperation::initWithRequest(NSURLRequest::requestWithURL(url));
    operation->setResponseSerializer(VNJSONResponseSerializer::serializer());
    auto queue = NSOperationQueue::init();
    Weak<KESTVolcanoManager> weak = self<KESTVolcanoManager>();
    Weak<NSOperationQueue> weakQueue = queue;
    operation->setCompletionBlockWithSuccessFailure(
        [weak, weakQueue](const Ref<VNHTTPRequestOperation>&, const Value& reply) {
            auto manager = weak.lock();
            if (!manager)
                return;
            manager->requestFinished(weakQueue.lock());
            manager->m_retryDelay = 0;
            manager->parseJSON(reply);
        },
        [weak, weakQueue](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>& error) {
            NSLog("%@", error ? error->description() : std::string("(null)"));
            if (auto manager = weak.lock()) {
                manager->requestFinished(weakQueue.lock());
                manager->scheduleRetry();
            }
        });
    m_requestQueues.insert(queue);
    queue->addOperation(operation);
}

void KESTVolcanoManager::scheduleRetry()
{
    assertIsMainThread();
    if (m_retryTimer)
        return;
    m_retryDelay = m_retryDelay == 0 ? kFirstRetryDelay : std::min(m_retryDelay * 2, kLongestRetryDelay);
    Weak<KESTVolcanoManager> weak = self<KESTVolcanoManager>();
    m_retryTimer
        = NSTimer::scheduledTimerWithTimeIntervalRepeatsBlock(m_retryDelay, false, [weak](const Ref<NSTimer>&) {
              if (auto manager = weak.lock()) {
                  manager->m_retryTimer = nullptr;
                  manager->pollForOverlay();
              }
          });
}

void KESTVolcanoManager::requestFinished(const Ref<NSOperationQueue>& queue)
{
    if (queue)
        m_requestQueues.erase(queue);
}

void KESTVolcanoManager::parseJSON(const Value& reply)
{
    assertIsMainThread();
    if (!reply.isDictionary()) {
        NSLog("Ash area answer is not an object: %@", std::string(reply.kindName()));
        return;
    }
    m_polyArray.clear();
    m_volcanoArray.removeAllObjects();
    for (const auto& [key, area] : reply.entries()) {
        if (key.isString() && key.string() == "position")
            continue;
        if (!area.isArray()) {
            NSLog("Ash area %@ is not a list of points", key.stringValue());
            continue;
        }
        std::vector<MKMapPoint> points;
        points.reserve(area.count());
        for (const auto& point : area.elements()) {
            if (!point.isDictionary())
                continue;
            points.push_back(MKMapPointForCoordinate(
                CLLocationCoordinate2DMake(point["lat"].doubleValue(), point["lon"].doubleValue())));
        }
        m_polyArray.push_back(MKPolygon::polygonWithPoints(std::move(points)));
    }
    m_lastUpdate = Clock::wallTime();
    NSNotificationCenter::defaultCenter()->postNotificationName(KESTVolcanoOverlayChangeNotification, nullptr);
}
