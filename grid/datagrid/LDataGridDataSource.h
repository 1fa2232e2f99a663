#pragma once

#include "foundation/FoundationForward.h"
#include "graphics/CGGeometry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class LDataGridCell;
class LatticeDataGrid;
class UIView;

// What a data grid asks its client about content, in the user's section numbering (from 0).
// The first two operations are required; the others are optional and called only when
// respondsToSelector answers true for their selector name (for example
// "numberOfSectionsInLatticeDataGrid:"). Main thread only.
class LDataGridDataSource {
public:
    virtual ~LDataGridDataSource() = default;
    virtual bool respondsToSelector(std::string_view /*selector*/) const { return false; }

    // Fill a body cell about to be shown; its coordinate says which.
    virtual void latticeDataGridPrepareCellForDisplay(const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCell>& cell)
        = 0;
    virtual uint32_t latticeDataGridNumberOfRowsInSection(const Ref<LatticeDataGrid>& grid, int32_t section) = 0;

    // "numberOfSectionsInLatticeDataGrid:"; a negative answer is a fatal grid error.
    virtual int32_t numberOfSectionsInLatticeDataGrid(const Ref<LatticeDataGrid>&) { return 1; }
    // "latticeDataGrid:titleForHeaderInSection:"
    virtual std::optional<std::string> latticeDataGridTitleForHeaderInSection(const Ref<LatticeDataGrid>&, int32_t)
    {
        return std::nullopt;
    }
    // "latticeDataGrid:titleForFrozenHeaderInSection:"
    virtual std::optional<std::string> latticeDataGridTitleForFrozenHeaderInSection(
        const Ref<LatticeDataGrid>&, int32_t)
    {
        return std::nullopt;
    }
    // "latticeDataGrid:viewForHeaderInSection:inFrame:"
    virtual Ref<UIView> latticeDataGridViewForHeaderInSectionInFrame(const Ref<LatticeDataGrid>&, int32_t, CGRect)
    {
        return nullptr;
    }
    // "latticeDataGrid:viewForFrozenHeaderInSection:inFrame:"
    virtual Ref<UIView> latticeDataGridViewForFrozenHeaderInSectionInFrame(const Ref<LatticeDataGrid>&, int32_t, CGRect)
    {
        return nullptr;
    }
};
