#include "app/overlays/KESTFlightPathOverlay.h"

#include "mapkit/MKGeometry.h"

namespace {

std::shared_ptr<const std::vector<double>> numbers(const std::vector<Value>& values)
{
    auto result = std::make_shared<std::vector<double>>();
    result->reserve(values.size());
    for (const auto& value : values)
        result->push_back(value.doubleValue());
    return result;
}

} // namespace

Ref<KESTFlightPathOverlay> KESTFlightPathOverlay::initWithLocationsAndAltitudes(
    std::vector<KESTLocation> locations, std::vector<Value> altitudes)
{
    auto overlay = make<KESTFlightPathOverlay>();
    std::vector<MKMapPoint> points;
    points.reserve(locations.size());
    for (const auto& location : locations)
        points.push_back(MKMapPointForCoordinate(CLLocationCoordinate2DMake(location.latitude, location.longitude)));
    overlay->setLocations(std::move(locations));
    overlay->setAltitudes(std::move(altitudes));
    overlay->setPoints(std::move(points));
    return overlay;
}

CLLocationCoordinate2D KESTFlightPathOverlay::coordinate() const
{
    auto all = points();
    if (all->empty())
        return CLLocationCoordinate2DMake(0, 0);
    return MKCoordinateForMapPoint(all->front());
}

MKMapRect KESTFlightPathOverlay::boundingMapRect() const
{
    return MKMapRectWorld;
}

std::vector<KESTLocation> KESTFlightPathOverlay::locations() const
{
    std::lock_guard guard(m_lock);
    return m_locations;
}

void KESTFlightPathOverlay::setLocations(std::vector<KESTLocation> locations)
{
    std::lock_guard guard(m_lock);
    m_locations = std::move(locations);
}

std::vector<Value> KESTFlightPathOverlay::altitudes() const
{
    std::lock_guard guard(m_lock);
    return m_altitudes;
}

void KESTFlightPathOverlay::setAltitudes(std::vector<Value> altitudes)
{
    auto converted = numbers(altitudes);
    std::lock_guard guard(m_lock);
    m_altitudes = std::move(altitudes);
    m_altitudeNumbers = std::move(converted);
}

std::shared_ptr<const std::vector<MKMapPoint>> KESTFlightPathOverlay::points() const
{
    std::lock_guard guard(m_lock);
    return m_points;
}

void KESTFlightPathOverlay::setPoints(std::vector<MKMapPoint> points)
{
    auto shared = std::make_shared<const std::vector<MKMapPoint>>(std::move(points));
    std::lock_guard guard(m_lock);
    m_points = std::move(shared);
}

KESTFlightPathOverlay::Track KESTFlightPathOverlay::track() const
{
    std::lock_guard guard(m_lock);
    return { m_points, m_altitudeNumbers };
}
