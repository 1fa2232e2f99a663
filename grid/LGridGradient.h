#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGColor.h"
#include "grid/GridForward.h"

#include <optional>
#include <vector>

class UIColor;

// A gradient background: colours, ready for a gradient layer, and optionally one stop
// location per colour in non-decreasing order. Immutable. Main thread only.
class LGridGradient : public NSObject {
    VX_OBJECT(LGridGradient, NSObject)
public:
    explicit LGridGradient(Passkey key)
        : NSObject(key)
    {
    }
    // Raises "LatticeGridsException" (through LatticeGridLog) when locations are given and
    // their count differs from the colours', or when a location is below the one before it
    // (the first is compared with 0), so a negative first location is refused too.
    static Ref<LGridGradient> initWithColorsLocations(
        const std::vector<Ref<UIColor>>& colors, std::optional<std::vector<CGFloat>> locations);
    static Ref<LGridGradient> gradientWithColorsLocations(
        const std::vector<Ref<UIColor>>& colors, std::optional<std::vector<CGFloat>> locations)
    {
        return initWithColorsLocations(colors, std::move(locations));
    }

    const std::vector<CGColorRef>& colors() const { return m_colors; }
    const std::optional<std::vector<CGFloat>>& locations() const { return m_locations; }

    // "{ .colors = (...), .locations = (...) }".
    std::string description() const override;

private:
    std::vector<CGColorRef> m_colors;
    std::optional<std::vector<CGFloat>> m_locations;
};
