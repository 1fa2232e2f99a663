#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <atomic>
#include <set>
#include <vector>

class MKPolygon;
class NSOperationQueue;
class NSTimer;

// Posted on the main thread, without object or user info, whenever the ash areas may have
// changed; observers read polyArray.
inline constexpr const char* KESTVolcanoOverlayChangeNotification = "com.kestravon.volantrix.volcano.overlaychange";

// The process-wide holder of the current volcanic-ash areas: fetches them from the flight-data
// service, keeps one polygon per area and tells the map when they change. Main thread only,
// except lastUpdate, which any thread may read.
class KESTVolcanoManager : public NSObject {
    VX_OBJECT(KESTVolcanoManager, NSObject)
public:
    explicit KESTVolcanoManager(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<KESTVolcanoManager> sharedInstance();
    // A manager of its own: no areas, lastUpdate 0.
    static Ref<KESTVolcanoManager> init();
    static void resetSharedInstanceForTesting();

    // When areas are known, announces them at once; then asks the service again unless the
    // last answer is at most ten minutes old.
    void checkforOverlay();
    // Requests the ash areas. An answer is parsed (and stamps lastUpdate); a failure is logged,
    // changes nothing, and asks again later (after 5 s, then twice as long after each failure
    // in a row, at most every 5 minutes), so areas still arrive when the service comes up
    // after the application.
    void pollForOverlay();
    // Whether a request is to be made again after a failure.
    bool hasPendingRetry() const { return bool(m_retryTimer); }
    // Rebuilds the polygons from a decoded answer and announces the change. An answer that is
    // not an object is logged and changes nothing; an area that is not an array, and a point
    // that is not an object, are left out.
    void parseJSON(const Value& reply);

    const std::vector<Ref<MKPolygon>>& polyArray() const { return m_polyArray; }
    void setPolyArray(std::vector<Ref<MKPolygon>> polygons) { m_polyArray = std::move(polygons); }
    const Value& volcanoArray() const { return m_volcanoArray; }
    void setVolcanoArray(Value volcanoes) { m_volcanoArray = std::move(volcanoes); }
    double lastUpdate() const { return m_lastUpdate; }
    void setLastUpdate(double seconds) { m_lastUpdate = seconds; }

private:
    void requestFinished(const Ref<NSOperationQueue>& queue);
    void scheduleRetry();

    std::vector<Ref<MKPolygon>> m_polyArray;
    Value m_volcanoArray { Value::mutableArray() };
    std::atomic<double> m_lastUpdate { 0 };
    // The queue of each request in flight, kept until its answer is handled.
    std::set<Ref<NSOperationQueue>> m_requestQueues;
    // The next request after a failure, and how long the one after it waits.
    Ref<NSTimer> m_retryTimer;
    double m_retryDelay { 0 };
};
