#pragma once

#include "grid/GridForward.h"

#include <memory>
#include <vector>

// Merges a style hierarchy, most general first and the cell's own style last, into one style:
// every non-colour field takes the value of the last entry that chooses it (the last entry's
// own values otherwise), and each colour comes from its blender, which either keeps the last
// colour or blends them in order. Both blenders are emptied first, so merges using the same
// blenders must not interleave. An empty hierarchy gives null. The grid's
// blendedStyleFromHierarchy runs this with its own two blenders. Main thread only.
std::shared_ptr<LGridCellStyle> blendedStyleFromHierarchy(const std::vector<std::shared_ptr<LGridCellStyle>>& hierarchy,
    LGridColourBlender& backgroundColorBlender, LGridColourBlender& textColorBlender);
