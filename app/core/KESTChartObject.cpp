#include "app/core/KESTChartObject.h"

#include "app/overlays/KESTAppleMapsTileOverlay.h"

VX_REGISTER_CLASS(KESTChartObject);

namespace {

std::optional<std::string> optionalString(const Value& value)
{
    if (value.isString())
        return value.string();
    return std::nullopt;
}

} // namespace

Ref<KESTChartObject> KESTChartObject::initWithChartUrl(
    const Value& record, MKMapRect bounds, CLLocationCoordinate2D coordinate)
{
    auto chart = make<KESTChartObject>();
    chart->setUrl(optionalString(record["product_url"]));
    chart->setName(optionalString(record["product_description"]));
    const Value& metadata = record["product_metadata"];
    chart->setMinZoom(metadata["minzoom"].intValue());
    chart->setMaxZoom(metadata["maxzoom"].intValue());
    chart->setOpacity(1.0f);
    chart->setOrder(kInactiveOrder);
    chart->setBounds(bounds);
    chart->setCoordinate(coordinate);
    // The overlay reads the URL, the bounds and the centre, so they are set first.
    auto overlay = KESTAppleMapsTileOverlay::initWithChartObject(chart);
    overlay->setMaximumZ(chart->maxZoom());
    overlay->setMinimumZ(chart->minZoom());
    chart->setOverlay(overlay);
    chart->setActive(false);
    return chart;
}

std::optional<std::string> KESTChartObject::url() const
{
    std::lock_guard guard(m_lock);
    return m_url;
}

void KESTChartObject::setUrl(std::optional<std::string> url)
{
    std::lock_guard guard(m_lock);
    m_url = std::move(url);
}

std::optional<std::string> KESTChartObject::name() const
{
    std::lock_guard guard(m_lock);
    return m_name;
}

void KESTChartObject::setName(std::optional<std::string> name)
{
    std::lock_guard guard(m_lock);
    m_name = std::move(name);
}

int32_t KESTChartObject::minZoom() const
{
    std::lock_guard guard(m_lock);
    return m_minZoom;
}

void KESTChartObject::setMinZoom(int32_t zoom)
{
    std::lock_guard guard(m_lock);
    m_minZoom = zoom;
}

int32_t KESTChartObject::maxZoom() const
{
    std::lock_guard guard(m_lock);
    return m_maxZoom;
}

void KESTChartObject::setMaxZoom(int32_t zoom)
{
    std::lock_guard guard(m_lock);
    m_maxZoom = zoom;
}

CLLocationCoordinate2D KESTChartObject::coordinate() const
{
    std::lock_guard guard(m_lock);
    return m_coordinate;
}

void KESTChartObject::setCoordinate(CLLocationCoordinate2D coordinate)
{
    std::lock_guard guard(m_lock);
    m_coordinate = coordinate;
}

MKMapRect KESTChartObject::bounds() const
{
    std::lock_guard guard(m_lock);
    return m_bounds;
}

void KESTChartObject::setBounds(MKMapRect bounds)
{
    std::lock_guard guard(m_lock);
    m_bounds = bounds;
}

Value KESTChartObject::valueForKey(const std::string& key)
{
    auto text = [](const std::optional<std::string>& s) { return s ? Value(*s) : Value(); };
    if (key == "active")
        return Value(m_active);
    if (key == "order")
        return Value(m_order);
    if (key == "name")
        return text(name());
    if (key == "url")
        return text(url());
    if (key == "minZoom")
        return Value(minZoom());
    if (key == "maxZoom")
        return Value(maxZoom());
    if (key == "opacity")
        return Value(m_opacity);
    return NSObject::valueForKey(key);
}
