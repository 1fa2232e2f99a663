#pragma once

#include "mapkit/MKGeometry.h"

#include <memory>
#include <string>
#include <vector>

// Land polygons in map points, read from a JSON file {"polygons": [[ring, ...], ...]} where each
// ring is a list of [longitude, latitude] pairs and the first ring of a polygon is its outline
// (the others are lakes). The bundle holds a coarse and a detailed set ("data/land-110m.json",
// "data/land-50m.json"). Immutable once loaded; any thread.
class LandOutlines {
public:
    struct Polygon {
        MKMapRect bounds;
        std::vector<std::vector<MKMapPoint>> rings;
    };

    // Nullptr when the file is missing or not in the format above.
    static std::shared_ptr<const LandOutlines> loadFromFile(const std::string& path);
    // The bundle's sets, loaded once (nullptr when absent).
    static std::shared_ptr<const LandOutlines> coarse();
    static std::shared_ptr<const LandOutlines> detailed();
    // Reads both sets from another directory (tests, hosts); "" goes back to the bundle's.
    static void setDataDirectory(const std::string& directory);

    const std::vector<Polygon>& polygons() const { return m_polygons; }

private:
    std::vector<Polygon> m_polygons;
};
