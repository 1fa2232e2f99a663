#pragma once

#include "grid/GridForward.h"
#include "grid/LGridRow.h"
#include "uikit/UIScrollView.h"

#include <optional>
#include <string_view>

class LGridSectionHeaderStyle;
class LGridTextInputCell;
class UIImage;

// What a grid asks of and tells its client about looks and actions. Every operation is
// optional: the grid calls one only when respondsToSelector answers true for its selector name
// (for example "latticeGrid:styleForColAtIndex:"; the scroll-view callbacks by their own names,
// "scrollViewDidScroll:"). The style questions are probed once, when the delegate is set.
// A nullptr style answer stands for an empty style. Main thread only.
class LGridDelegate : public UIScrollViewDelegate {
public:
    virtual bool respondsToSelector(std::string_view /*selector*/) const { return false; }

    // Styles.
    virtual Ref<LGridColRowStyle> latticeGridStyleForRowAtIndexInSection(const Ref<LatticeGrid>&, int32_t, int32_t)
    {
        return nullptr;
    }
    virtual Ref<LGridColRowStyle> latticeGridStyleForColAtIndex(const Ref<LatticeGrid>&, int32_t) { return nullptr; }
    virtual void latticeGridAlterStyleBeforeApplyingToCellAtCoord(
        const Ref<LatticeGrid>&, const Ref<LGridCellStyle>&, const Ref<LGridCoord>&)
    {
    }
    virtual Ref<LGridLineStyle> latticeGridStyleForHorizontalGridLineAtIndexInSection(
        const Ref<LatticeGrid>&, int32_t, int32_t)
    {
        return nullptr;
    }
    virtual Ref<LGridLineStyle> latticeGridStyleForVerticalGridLineAtIndex(const Ref<LatticeGrid>&, int32_t)
    {
        return nullptr;
    }
    virtual Ref<LGridSectionHeaderStyle> latticeGridStyleForSectionHeaderAtIndex(const Ref<LatticeGrid>&, int32_t)
    {
        return nullptr;
    }

    // Layout and sections.
    virtual void didFinishLayingOutLatticeGrid(const Ref<LatticeGrid>&) { }
    virtual bool latticeGridShouldExpandSectionAtIndex(const Ref<LatticeGrid>&, uint32_t) { return true; }
    virtual void latticeGridWillExpandSectionAtIndex(const Ref<LatticeGrid>&, uint32_t) { }
    virtual void latticeGridDidExpandSectionAtIndex(const Ref<LatticeGrid>&, uint32_t) { }
    virtual bool latticeGridShouldCollapseSectionAtIndex(const Ref<LatticeGrid>&, uint32_t) { return true; }
    virtual void latticeGridWillCollapseSectionAtIndex(const Ref<LatticeGrid>&, uint32_t) { }
    virtual void latticeGridDidCollapseSectionAtIndex(const Ref<LatticeGrid>&, uint32_t) { }

    // Cell selection.
    virtual bool latticeGridShouldSelectCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>&) { return true; }
    virtual void latticeGridWillSelectCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>&) { }
    virtual void latticeGridDidSelectCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>&) { }
    virtual bool latticeGridShouldDeselectCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>&) { return true; }
    virtual void latticeGridWillDeselectCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>&) { }
    virtual void latticeGridDidDeselectCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>&) { }

    // Row selection.
    virtual bool latticeGridShouldSelectRow(const Ref<LatticeGrid>&, LGridRow) { return true; }
    virtual void latticeGridWillSelectRow(const Ref<LatticeGrid>&, LGridRow) { }
    virtual void latticeGridDidSelectRow(const Ref<LatticeGrid>&, LGridRow) { }
    virtual bool latticeGridShouldDeselectRow(const Ref<LatticeGrid>&, LGridRow) { return true; }
    virtual void latticeGridWillDeselectRow(const Ref<LatticeGrid>&, LGridRow) { }
    virtual void latticeGridDidDeselectRow(const Ref<LatticeGrid>&, LGridRow) { }

    // Taps.
    virtual bool latticeGridCellCanRespondToDoubleTap(const Ref<LatticeGrid>&, const Ref<LGridCell>&) { return true; }
    virtual void latticeGridDidTapCellAtCoordIsDoubleTap(const Ref<LatticeGrid>&, const Ref<LGridCoord>&, bool) { }

    // Reordering: the grid checks that these are implemented when drags are permitted.
    virtual int32_t latticeGridPermittedDragDirectionForCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>&)
    {
        return 0;
    }
    virtual void latticeGridColAtIndexHasBeenSwitchedWithColAtIndex(const Ref<LatticeGrid>&, int32_t, int32_t) { }
    virtual void latticeGridRowHasBeenSwitchedWithRow(const Ref<LatticeGrid>&, LGridRow, LGridRow) { }
    virtual void latticeGridWillEndReorderingColumnAtIndex(const Ref<LatticeGrid>&, uint32_t) { }
    virtual void latticeGridDidEndReorderingColumnAtIndex(const Ref<LatticeGrid>&, uint32_t) { }
    virtual void latticeGridWillEndReorderingRow(const Ref<LatticeGrid>&, LGridRow) { }
    virtual void latticeGridDidEndReorderingRow(const Ref<LatticeGrid>&, LGridRow) { }
    virtual Ref<UIImage> latticeGridArrowImageForOrientationForCellAtCoord(
        const Ref<LatticeGrid>&, int32_t, const Ref<LGridCoord>&)
    {
        return nullptr;
    }
    virtual CGPoint latticeGridOffsetForArrowImageWithOrientationForCellAtCoord(
        const Ref<LatticeGrid>&, int32_t, const Ref<LGridCoord>&)
    {
        return CGPointZero;
    }

    // Editing of text cells.
    virtual bool latticeGridShouldBeginEditingAutoCell(const Ref<LatticeGrid>&, const Ref<LGridTextInputCell>&)
    {
        return true;
    }
    virtual void latticeGridWillBeginEditingAutoCell(const Ref<LatticeGrid>&, const Ref<LGridTextInputCell>&) { }
    virtual void latticeGridWillCommenceEditingAutoCell(const Ref<LatticeGrid>&, const Ref<LGridTextInputCell>&) { }
    virtual void latticeGridDidFinishEditingAutoCell(const Ref<LatticeGrid>&, const Ref<LGridTextInputCell>&) { }

    // Two-finger column resizing. A width answer of nullopt keeps the target width.
    virtual bool latticeGridShouldBeginResizingColumnAtIndex(const Ref<LatticeGrid>&, uint32_t) { return true; }
    virtual void latticeGridWillBeginResizingColumnAtIndex(const Ref<LatticeGrid>&, uint32_t) { }
    virtual void latticeGridWillResizeColumnAtIndexFromWidthToWidthWithXCenter(
        const Ref<LatticeGrid>&, uint32_t, float, float, float)
    {
    }
    virtual std::optional<float> latticeGridWidthForResizingColAtIndexWithCurrentWidthTargetWidth(
        const Ref<LatticeGrid>&, uint32_t, float, float)
    {
        return std::nullopt;
    }
    virtual void latticeGridDidResizeColumnAtIndexFromWidthToWidth(const Ref<LatticeGrid>&, uint32_t, float, float) { }
    virtual void latticeGridWillEndResizingColumnAtIndexFromWidthToWidth(
        const Ref<LatticeGrid>&, uint32_t, float, float)
    {
    }
    virtual void latticeGridDidEndResizingColumnAtIndexFromWidthToWidth(const Ref<LatticeGrid>&, uint32_t, float, float)
    {
    }
};
