#pragma once

// The edges of the shown map's region (widened by any padding) in degrees, neither clamped nor
// wrapped: what the delta poll sends as "bounds=north,south,east,west".
struct KESTMapBounds {
    double north = 0;
    double south = 0;
    double east = 0;
    double west = 0;
};
