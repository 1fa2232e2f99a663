#pragma once

#include "app/core/KESTLocation.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "mapkit/MKOverlay.h"

#include <memory>
#include <mutex>
#include <vector>

// A snapshot of a selected plane's track: its positions in order, the altitude of each, and the
// positions projected to map points. It covers the whole world, so the map asks its renderer to
// draw in every visible tile and the renderer clips for itself. Its data does not change once it
// is on a map; the accessors are safe from any thread (renderers read from theirs).
class KESTFlightPathOverlay : public NSObject, public MKOverlay {
    VX_OBJECT(KESTFlightPathOverlay, NSObject)
public:
    explicit KESTFlightPathOverlay(Passkey key)
        : NSObject(key)
    {
    }
    // Copies both lists and projects every location to a map point.
    static Ref<KESTFlightPathOverlay> initWithLocationsAndAltitudes(
        std::vector<KESTLocation> locations, std::vector<Value> altitudes);

    // The first point's coordinate; (0, 0) for an empty track.
    CLLocationCoordinate2D coordinate() const override;
    MKMapRect boundingMapRect() const override;

    std::vector<KESTLocation> locations() const;
    void setLocations(std::vector<KESTLocation> locations);
    std::vector<Value> altitudes() const;
    void setAltitudes(std::vector<Value> altitudes);
    // Shared and never changed in place, so a renderer can keep reading one while it is replaced.
    std::shared_ptr<const std::vector<MKMapPoint>> points() const;
    void setPoints(std::vector<MKMapPoint> points);

    // What the renderer draws from: the points and the altitudes read as numbers, as one
    // consistent pair.
    struct Track {
        std::shared_ptr<const std::vector<MKMapPoint>> points;
        std::shared_ptr<const std::vector<double>> altitudes;
    };
    Track track() const;

private:
    mutable std::mutex m_lock;
    std::vector<KESTLocation> m_locations;
    std::vector<Value> m_altitudes;
    std::shared_ptr<const std::vector<double>> m_altitudeNumbers { std::make_shared<std::vector<double>>() };
    std::shared_ptr<const std::vector<MKMapPoint>> m_points { std::make_shared<std::vector<MKMapPoint>>() };
};
