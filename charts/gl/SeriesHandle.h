#pragma once

#include <memory>
#include <string>

namespace LChartGL {

// The engine's view of a series: identity, drawing order and title. `lessThan(other)` is true
// when `other` comes earlier (has the lower series index), so maps ordered by it run from the
// highest series index to the lowest.
class SeriesHandle {
public:
    virtual ~SeriesHandle() = default;
    virtual bool equals(const SeriesHandle& other) const = 0;
    virtual bool lessThan(const SeriesHandle& other) const = 0;
    virtual std::string title() const = 0;
};

using SeriesHandleRef = std::shared_ptr<const SeriesHandle>;

// What an animation manager says about a series for one frame.
struct AnimationValues {
    float xScale { 1 };
    float yScale { 1 };
    float alphaScale { 1 };
    bool running { false };
    bool visible { true };
    bool entryExit { false };
    double originX { 0 };
    double originY { 0 };
};

class AnimationManager {
public:
    virtual ~AnimationManager() = default;
    virtual AnimationValues updateValues(const SeriesHandle& series) = 0;
};

} // namespace LChartGL
