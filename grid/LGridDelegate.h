#pragma once

#include "grid/GridForward.h"
#include "grid/LGridRow.h"
#include "uikit/UIScrollView.h"

#include <string_view>

class LGridSectionHeaderStyle;

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
};
