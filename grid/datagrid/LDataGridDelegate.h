#pragma once

#include "foundation/FoundationForward.h"
#include "uikit/UIScrollView.h"

#include <cstdint>
#include <optional>
#include <string_view>

class LDataGridCell;
class LDataGridCellStyle;
class LDataGridColumn;
class LDataGridCoord;
class LDataGridLineStyle;
class LDataGridRow;
class LDataGridSectionHeaderStyle;
class LatticeDataGrid;

// What a data grid asks of and tells its client about looks and actions, in terms of columns,
// rows and coordinates of the user's sections. Every operation is optional: the grid calls one
// only when respondsToSelector answers true for its selector name (given beside each; the
// scroll-view callbacks by their own names, "scrollViewDidScroll:"). Main thread only.
class LDataGridDelegate : public UIScrollViewDelegate {
public:
    virtual bool respondsToSelector(std::string_view /*selector*/) const { return false; }

    // "latticeDataGrid:heightForRowAtIndex:inSection:" — nullopt keeps the default height.
    virtual std::optional<float> latticeDataGridHeightForRowAtIndexInSection(
        const Ref<LatticeDataGrid>&, int32_t, int32_t)
    {
        return std::nullopt;
    }
    // "latticeDataGrid:alterStyle:beforeApplyingToCellAtCoordinate:"
    virtual void latticeDataGridAlterStyleBeforeApplyingToCellAtCoordinate(
        const Ref<LatticeDataGrid>&, const Ref<LDataGridCellStyle>&, const Ref<LDataGridCoord>&)
    {
    }
    // "latticeDataGrid:styleForHorizontalGridLineAtIndex:inSection:"
    virtual Ref<LDataGridLineStyle> latticeDataGridStyleForHorizontalGridLineAtIndexInSection(
        const Ref<LatticeDataGrid>&, int32_t, int32_t)
    {
        return nullptr;
    }
    // "latticeDataGrid:styleForVerticalGridLineAtIndex:"
    virtual Ref<LDataGridLineStyle> latticeDataGridStyleForVerticalGridLineAtIndex(const Ref<LatticeDataGrid>&, int32_t)
    {
        return nullptr;
    }
    // "latticeDataGrid:styleForSectionHeaderAtIndex:"
    virtual Ref<LDataGridSectionHeaderStyle> latticeDataGridStyleForSectionHeaderAtIndex(
        const Ref<LatticeDataGrid>&, int32_t)
    {
        return nullptr;
    }
    // "didFinishLayingOutLatticeDataGrid:"
    virtual void didFinishLayingOutLatticeDataGrid(const Ref<LatticeDataGrid>&) { }

    // Sections: "latticeDataGrid:shouldExpandSectionAtIndex:" and the will/did, expand/collapse
    // forms of the same shape.
    virtual bool latticeDataGridShouldExpandSectionAtIndex(const Ref<LatticeDataGrid>&, uint32_t) { return true; }
    virtual void latticeDataGridWillExpandSectionAtIndex(const Ref<LatticeDataGrid>&, uint32_t) { }
    virtual void latticeDataGridDidExpandSectionAtIndex(const Ref<LatticeDataGrid>&, uint32_t) { }
    virtual bool latticeDataGridShouldCollapseSectionAtIndex(const Ref<LatticeDataGrid>&, uint32_t) { return true; }
    virtual void latticeDataGridWillCollapseSectionAtIndex(const Ref<LatticeDataGrid>&, uint32_t) { }
    virtual void latticeDataGridDidCollapseSectionAtIndex(const Ref<LatticeDataGrid>&, uint32_t) { }

    // Cells: "latticeDataGrid:shouldSelectCellAtCoordinate:" and so on.
    virtual bool latticeDataGridShouldSelectCellAtCoordinate(const Ref<LatticeDataGrid>&, const Ref<LDataGridCoord>&)
    {
        return true;
    }
    virtual void latticeDataGridWillSelectCellAtCoordinate(const Ref<LatticeDataGrid>&, const Ref<LDataGridCoord>&) { }
    virtual void latticeDataGridDidSelectCellAtCoordinate(const Ref<LatticeDataGrid>&, const Ref<LDataGridCoord>&) { }
    virtual bool latticeDataGridShouldDeselectCellAtCoordinate(const Ref<LatticeDataGrid>&, const Ref<LDataGridCoord>&)
    {
        return true;
    }
    virtual void latticeDataGridWillDeselectCellAtCoordinate(const Ref<LatticeDataGrid>&, const Ref<LDataGridCoord>&) {
    }
    virtual void latticeDataGridDidDeselectCellAtCoordinate(const Ref<LatticeDataGrid>&, const Ref<LDataGridCoord>&) { }
    virtual bool latticeDataGridShouldBeginEditingCellAtCoordinate(
        const Ref<LatticeDataGrid>&, const Ref<LDataGridCoord>&)
    {
        return true;
    }
    virtual void latticeDataGridWillBeginEditingCellAtCoordinate(
        const Ref<LatticeDataGrid>&, const Ref<LDataGridCoord>&)
    {
    }
    virtual void latticeDataGridDidFinishEditingCellAtCoordinate(
        const Ref<LatticeDataGrid>&, const Ref<LDataGridCoord>&)
    {
    }
    // "latticeDataGrid:didTapCellAtCoordinate:isDoubleTap:"
    virtual void latticeDataGridDidTapCellAtCoordinateIsDoubleTap(
        const Ref<LatticeDataGrid>&, const Ref<LDataGridCoord>&, bool)
    {
    }
    // "latticeDataGrid:cellCanRespondToDoubleTap:"
    virtual bool latticeDataGridCellCanRespondToDoubleTap(const Ref<LatticeDataGrid>&, const Ref<LDataGridCell>&)
    {
        return true;
    }

    // Rows: "latticeDataGrid:shouldSelectRow:" and so on.
    virtual bool latticeDataGridShouldSelectRow(const Ref<LatticeDataGrid>&, const Ref<LDataGridRow>&) { return true; }
    virtual void latticeDataGridWillSelectRow(const Ref<LatticeDataGrid>&, const Ref<LDataGridRow>&) { }
    virtual void latticeDataGridDidSelectRow(const Ref<LatticeDataGrid>&, const Ref<LDataGridRow>&) { }
    virtual bool latticeDataGridShouldDeselectRow(const Ref<LatticeDataGrid>&, const Ref<LDataGridRow>&)
    {
        return true;
    }
    virtual void latticeDataGridWillDeselectRow(const Ref<LatticeDataGrid>&, const Ref<LDataGridRow>&) { }
    virtual void latticeDataGridDidDeselectRow(const Ref<LatticeDataGrid>&, const Ref<LDataGridRow>&) { }

    // Column resizing: "latticeDataGrid:didResizeColumn:fromWidth:toWidth:",
    // "latticeDataGrid:widthForResizingColumn:withCurrentWidth:targetWidth:" (nullopt lets the
    // target stand), "latticeDataGrid:willEndResizingColumn:fromWidth:toWidth:",
    // "latticeDataGrid:didEndResizingColumn:fromWidth:toWidth:".
    virtual void latticeDataGridDidResizeColumnFromWidthToWidth(
        const Ref<LatticeDataGrid>&, const Ref<LDataGridColumn>&, float, float)
    {
    }
    virtual std::optional<float> latticeDataGridWidthForResizingColumnWithCurrentWidthTargetWidth(
        const Ref<LatticeDataGrid>&, const Ref<LDataGridColumn>&, float, float)
    {
        return std::nullopt;
    }
    virtual void latticeDataGridWillEndResizingColumnFromWidthToWidth(
        const Ref<LatticeDataGrid>&, const Ref<LDataGridColumn>&, float, float)
    {
    }
    virtual void latticeDataGridDidEndResizingColumnFromWidthToWidth(
        const Ref<LatticeDataGrid>&, const Ref<LDataGridColumn>&, float, float)
    {
    }

    // Reordering: "latticeDataGrid:permittedDragDirectionForCellAtCoordinate:" (bit 1 sideways,
    // bit 2 up and down), "latticeDataGrid:didReorderColumn:withColumn:",
    // "latticeDataGrid:willEndReorderingColumn:", "latticeDataGrid:didEndReorderingColumn:",
    // "latticeDataGrid:didReorderRow:withRow:", "latticeDataGrid:willEndReorderingRow:",
    // "latticeDataGrid:didEndReorderingRow:".
    virtual int32_t latticeDataGridPermittedDragDirectionForCellAtCoordinate(
        const Ref<LatticeDataGrid>&, const Ref<LDataGridCoord>&)
    {
        return 0;
    }
    virtual void latticeDataGridDidReorderColumnWithColumn(
        const Ref<LatticeDataGrid>&, const Ref<LDataGridColumn>&, const Ref<LDataGridColumn>&)
    {
    }
    virtual void latticeDataGridWillEndReorderingColumn(const Ref<LatticeDataGrid>&, const Ref<LDataGridColumn>&) { }
    virtual void latticeDataGridDidEndReorderingColumn(const Ref<LatticeDataGrid>&, const Ref<LDataGridColumn>&) { }
    virtual void latticeDataGridDidReorderRowWithRow(
        const Ref<LatticeDataGrid>&, const Ref<LDataGridRow>&, const Ref<LDataGridRow>&)
    {
    }
    virtual void latticeDataGridWillEndReorderingRow(const Ref<LatticeDataGrid>&, const Ref<LDataGridRow>&) { }
    virtual void latticeDataGridDidEndReorderingRow(const Ref<LatticeDataGrid>&, const Ref<LDataGridRow>&) { }

    // Sorting, sent by a column around a change of its order:
    // "latticeDataGrid:willChangeSortOrderForColumn:to:" with the new order and
    // "latticeDataGrid:didChangeSortOrderForColumn:from:" with the old one.
    virtual void latticeDataGridWillChangeSortOrderForColumnTo(
        const Ref<LatticeDataGrid>&, const Ref<LDataGridColumn>&, int32_t)
    {
    }
    virtual void latticeDataGridDidChangeSortOrderForColumnFrom(
        const Ref<LatticeDataGrid>&, const Ref<LDataGridColumn>&, int32_t)
    {
    }
};
