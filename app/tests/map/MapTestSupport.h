#pragma once

#include "app/core/KESTAirport.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/tests/AppTestSupport.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSString.h"
#include "graphics/CALayer.h"
#include "testing/Drain.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

// The service's address answering every request, without a content type, with an empty
// plane list.
inline URLStubSpec quietFeedStub()
{
    URLStubSpec quiet;
    quiet.url = "http://feed.invalid/";
    quiet.matchPrefix = true;
    quiet.body = R"({"planes":{}})";
    return quiet;
}

// The map facade and the live feed made fresh for one test, on a virtual clock, with the
// feed pointed at an address nothing answers.
class MapTestScope {
public:
    MapTestScope()
    {
        KESTLiveDataManager::setServiceBaseURL("http://feed.invalid/");
        KESTMapController::resetSharedInstanceForTesting();
        KESTLiveDataManager::resetSharedInstanceForTesting();
    }
    ~MapTestScope() { resetAppSingletonsForTesting(); }
    MapTestScope(const MapTestScope&) = delete;
    MapTestScope& operator=(const MapTestScope&) = delete;

    AppTestScope& app() { return m_app; }
    VirtualClock& clock() { return m_clock.clock(); }

private:
    AppTestScope m_app;
    ScopedVirtualClock m_clock;
};

inline Ref<KESTAirport> makeAirport(const std::string& icao, double lat, double lon, bool major = true)
{
    return KESTAirport::initWithData(
        Value::array({ icao + " Field", "City", "Country", icao.substr(1), icao, lat, lon, major ? 1 : 0 }));
}

// One live-feed record of a plane at the given place.
inline std::string planeRecord(const std::string& callsign, double lat, double lon)
{
    return NSString::stringWithFormat(
        R"(["B738","LHR-JFK","G-ABCD","%@",%@,%@,35000,90,450,1388534390,"1234",0,"BA1"])", callsign,
        Value(lat).stringValue(), Value(lon).stringValue());
}

// The text of a live-feed answer holding the given planes (hex, latitude, longitude); each
// plane's callsign is "C" followed by its hex.
inline std::string feedAnswerText(const std::vector<std::tuple<std::string, double, double>>& planes)
{
    std::string json = R"({"planes":{)";
    for (size_t i = 0; i < planes.size(); ++i) {
        const auto& [hex, lat, lon] = planes[i];
        json += (i ? "," : "") + ("\"" + hex + "\":") + planeRecord("C" + hex, lat, lon);
    }
    return json + "}}";
}

inline Value feedAnswer(const std::vector<std::tuple<std::string, double, double>>& planes)
{
    return NSJSONSerialization::JSONObjectWithData(
        std::string_view(feedAnswerText(planes)), NSJSONSerialization::NSJSONReadingMutableContainers, nullptr);
}

// The layers under `layer`, itself first, in the order the renderer paints them: a layer before
// its sublayers, the sublayers by zPosition and, at equal zPosition, in their order. Hidden
// layers and what they hold are left out.
inline void collectPaintOrder(const Ref<CALayer>& layer, std::vector<const CALayer*>& order)
{
    if (!layer || layer->isHidden())
        return;
    order.push_back(layer.get());
    std::vector<Ref<CALayer>> sublayers = layer->sublayers();
    std::stable_sort(sublayers.begin(), sublayers.end(),
        [](const Ref<CALayer>& a, const Ref<CALayer>& b) { return a->zPosition() < b->zPosition(); });
    for (const auto& sublayer : sublayers)
        collectPaintOrder(sublayer, order);
}

// When each layer is painted on the way through a view tree.
class PaintOrder {
public:
    explicit PaintOrder(const Ref<CALayer>& root) { collectPaintOrder(root, m_order); }
    // The place of a view's layer in the order; -1 when it is not painted at all.
    long indexOf(const Ref<CALayer>& layer) const
    {
        auto it = std::find(m_order.begin(), m_order.end(), layer.get());
        return it == m_order.end() ? -1 : long(it - m_order.begin());
    }

private:
    std::vector<const CALayer*> m_order;
};
