#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"
#include "grid/GridForward.h"
#include "grid/LGridRow.h"

#include <optional>
#include <string>
#include <string_view>

class UIView;

// What a grid asks of its client about the data it shows. The three pure operations are
// required; the others are optional, and the grid calls one only when respondsToSelector
// answers true for its selector name (for example "numberOfSectionsInLatticeGrid:"), which an
// implementation must answer the same way for as long as it is the grid's data source.
// Counts are signed so that a wrong (negative) answer can be reported. Main thread only.
class LGridDataSource {
public:
    virtual ~LGridDataSource() = default;
    virtual bool respondsToSelector(std::string_view /*selector*/) const { return false; }

    virtual int32_t numberOfColsForLatticeGrid(const Ref<LatticeGrid>& grid) = 0;
    // Expected to come from the grid's dequeueReusableCellWithIdentifier or a new cell; nullptr
    // leaves a placeholder at that position.
    virtual Ref<LGridCell> latticeGridCellForGridCoord(const Ref<LatticeGrid>& grid, const Ref<LGridCoord>& coord) = 0;
    virtual int32_t latticeGridNumberOfRowsInSection(const Ref<LatticeGrid>& grid, int32_t section) = 0;

    virtual int32_t numberOfSectionsInLatticeGrid(const Ref<LatticeGrid>&) { return 1; }
    virtual std::optional<std::string> latticeGridTitleForHeaderInSection(const Ref<LatticeGrid>&, int32_t)
    {
        return std::nullopt;
    }
    virtual std::optional<std::string> latticeGridTitleForFrozenHeaderInSection(const Ref<LatticeGrid>&, int32_t)
    {
        return std::nullopt;
    }
    virtual Ref<UIView> latticeGridViewForHeaderInSectionInFrame(const Ref<LatticeGrid>&, int32_t, CGRect)
    {
        return nullptr;
    }
    virtual Ref<UIView> latticeGridViewForFrozenHeaderInSectionInFrame(const Ref<LatticeGrid>&, int32_t, CGRect)
    {
        return nullptr;
    }
};
