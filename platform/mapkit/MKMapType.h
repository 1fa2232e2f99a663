#pragma once

#include <cstdint>

// How the base map looks: drawn land and sea, imagery-like colours, or imagery-like colours with
// lines and borders drawn over them.
enum MKMapType : uint32_t {
    MKMapTypeStandard = 0,
    MKMapTypeSatellite = 1,
    MKMapTypeHybrid = 2,
};
