#pragma once

// A point in an axis pair's internal units.
struct LChartPoint {
    double x { 0 };
    double y { 0 };
};
