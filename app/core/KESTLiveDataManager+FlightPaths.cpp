// Flight paths: one plane's past positions and altitudes, fetched and kept on the serial queue.
#include "app/core/KESTLiveDataManager.h"

#include "app/core/KESTURLEscaping.h"

#include "foundation/NSLog.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSString.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"

void KESTLiveDataManager::performFlightPathFetch(const std::string& adshex, const Value& timestamp)
{
    // The hex address and the time come from the service: escaped, they cannot add fields.
    std::string url = NSString::stringWithFormat(
        "%@APPAPIv2/planeFlightPath.php?adshex=%@", serviceBaseURL(), KESTURLEscaping::escapedValue(adshex));
    if (!timestamp.isNil())
        url += NSString::stringWithFormat("&tmestamp=%@", KESTURLEscaping::escapedValue(timestamp.stringValue()));
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
        [](const Ref<NSURLResponse>&, const Ref<NSError>&) {}, kMaximumFlightPathAnswerBytes);
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
