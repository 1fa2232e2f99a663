#pragma once

#include "foundation/Value.h"
#include "grid/datagrid/LDataGridDelegate.h"

#include <string>
#include <vector>

class LDataGridCell;
class LDataGridDataSourceHelper;

// What the data-source helper asks of and tells its delegate. Every operation is optional and
// called only when respondsToSelector answers true for its selector name. Besides these, every
// operation of the data grid's delegate and the data source's optional title and view
// operations that the delegate implements reach it through the helper. Main thread only.
class LDataGridDataSourceHelperDelegate : public LDataGridDelegate {
public:
    // "dataGridDataSourceHelper:populateCell:withValue:forProperty:sourceObject:" — true when
    // the delegate filled the cell itself.
    virtual bool dataGridDataSourceHelperPopulateCellWithValueForPropertySourceObject(
        const Ref<LDataGridDataSourceHelper>&, const Ref<LDataGridCell>&, const Value&, const std::string&,
        const Ref<NSObject>&)
    {
        return false;
    }
    // "dataGridDataSourceHelper:displayValueForProperty:withSourceObject:" — nil for the default.
    virtual Value dataGridDataSourceHelperDisplayValueForPropertyWithSourceObject(
        const Ref<LDataGridDataSourceHelper>&, const std::string&, const Ref<NSObject>&)
    {
        return {};
    }
    // "dataGridDataSourceHelper:sortValueForProperty:withSourceObject:" — nil for the default.
    virtual Value dataGridDataSourceHelperSortValueForPropertyWithSourceObject(
        const Ref<LDataGridDataSourceHelper>&, const std::string&, const Ref<NSObject>&)
    {
        return {};
    }
    // "dataGridDataSourceHelper:groupValueForProperty:withSourceObject:" — nil for the default.
    virtual Value dataGridDataSourceHelperGroupValueForPropertyWithSourceObject(
        const Ref<LDataGridDataSourceHelper>&, const std::string&, const Ref<NSObject>&)
    {
        return {};
    }
    // "dataGridDataSourceHelper:didUpdateSelectedItems:"
    virtual void dataGridDataSourceHelperDidUpdateSelectedItems(
        const Ref<LDataGridDataSourceHelper>&, const std::vector<Ref<NSObject>>&)
    {
    }

    // The data source's optional operations the helper leaves to its delegate:
    // "latticeDataGrid:titleForFrozenHeaderInSection:", "latticeDataGrid:viewForHeaderInSection:inFrame:"
    // and "latticeDataGrid:viewForFrozenHeaderInSection:inFrame:".
    virtual std::optional<std::string> latticeDataGridTitleForFrozenHeaderInSection(
        const Ref<LatticeDataGrid>&, int32_t)
    {
        return std::nullopt;
    }
    virtual Ref<UIView> latticeDataGridViewForHeaderInSectionInFrame(const Ref<LatticeDataGrid>&, int32_t, CGRect)
    {
        return nullptr;
    }
    virtual Ref<UIView> latticeDataGridViewForFrozenHeaderInSectionInFrame(const Ref<LatticeDataGrid>&, int32_t, CGRect)
    {
        return nullptr;
    }
};
