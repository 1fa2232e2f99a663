#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "location/CLLocation.h"
#include "mapkit/MKGeometry.h"

#include <mutex>
#include <optional>
#include <string>

class KESTAppleMapsTileOverlay;

// One aviation chart: a tile layer from the chart service, built from one product record
// ({"product_url", "product_description", "product_metadata": {"minzoom", "maxzoom",
// "bounds"}}). It owns the tile overlay that draws it; the overlay refers back weakly.
// A chart is made inactive with order 99999. The text, zoom and geometry fields may be read
// from any thread; `active`, `order`, `opacity` and the overlay belong to the main thread.
class KESTChartObject : public NSObject {
    VX_OBJECT(KESTChartObject, NSObject)
public:
    static constexpr int32_t kInactiveOrder = 99999;

    explicit KESTChartObject(Passkey key)
        : NSObject(key)
    {
    }

    // Builds the chart from a record, with its area and centre already worked out.
    static Ref<KESTChartObject> initWithChartUrl(
        const Value& record, MKMapRect bounds, CLLocationCoordinate2D coordinate);

    bool active() const { return m_active; }
    void setActive(bool active) { m_active = active; }
    std::optional<std::string> url() const;
    void setUrl(std::optional<std::string> url);
    std::optional<std::string> name() const;
    void setName(std::optional<std::string> name);
    int32_t order() const { return m_order; }
    void setOrder(int32_t order) { m_order = order; }
    int32_t minZoom() const;
    void setMinZoom(int32_t zoom);
    int32_t maxZoom() const;
    void setMaxZoom(int32_t zoom);
    const Ref<KESTAppleMapsTileOverlay>& overlay() const { return m_overlay; }
    void setOverlay(Ref<KESTAppleMapsTileOverlay> overlay) { m_overlay = std::move(overlay); }
    float opacity() const { return m_opacity; }
    void setOpacity(float opacity) { m_opacity = opacity; }
    CLLocationCoordinate2D coordinate() const;
    void setCoordinate(CLLocationCoordinate2D coordinate);
    MKMapRect bounds() const;
    void setBounds(MKMapRect bounds);

    // "active", "order", "name", "url", "minZoom", "maxZoom", "opacity".
    Value valueForKey(const std::string& key) override;

private:
    bool m_active { false };
    int32_t m_order { kInactiveOrder };
    float m_opacity { 1.0f };
    Ref<KESTAppleMapsTileOverlay> m_overlay;
    mutable std::mutex m_lock;
    std::optional<std::string> m_url;
    std::optional<std::string> m_name;
    int32_t m_minZoom { 0 };
    int32_t m_maxZoom { 0 };
    CLLocationCoordinate2D m_coordinate { 0, 0 };
    MKMapRect m_bounds { { 0, 0 }, { 0, 0 } };
};
