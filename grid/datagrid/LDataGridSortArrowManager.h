#pragma once

#include "foundation/NSObject.h"

#include <string>

class LDataGridCoord;
class LDataGridTextInputCell;
class LGridSortOrderArrow;
class UIImage;
class UIView;

// Makes, shows and places the sort arrow of a data-grid header cell: no arrow for a column
// without a sort mode, otherwise the "no_sort", "sort_up" or "sort_down" image at the right end
// of the cell, vertically centred, hidden while the cell has no height. Main thread only.
class LDataGridSortArrowManager : public NSObject {
    VX_OBJECT(LDataGridSortArrowManager, NSObject)
public:
    explicit LDataGridSortArrowManager(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LDataGridSortArrowManager> init() { return make<LDataGridSortArrowManager>(); }

    // A new upright arrow with the "no_sort" image (whatever the order), every autoresizing bit
    // but flexible width and height, fully opaque.
    Ref<LGridSortOrderArrow> sortArrowForOrder(int32_t order);
    void showArrowOnPresenterForSortOrderSortMode(
        const Ref<LGridSortOrderArrow>& arrow, const Ref<UIView>& presenter, int32_t order, int32_t mode);
    void positionArrowOnPresenter(const Ref<LGridSortOrderArrow>& arrow, const Ref<UIView>& presenter);

    // Shared by the header cell classes: gives a new header cell its arrow (returned) and widens
    // the cell's right inset by the gap and the arrow's width.
    Ref<LGridSortOrderArrow> prepareHeaderCell(const Ref<LDataGridTextInputCell>& cell, float spaceBetweenArrowAndText);
    // Shows the arrow for the sort state of the coordinate's column.
    void showArrowForColumnOfCoordinate(
        const Ref<LGridSortOrderArrow>& arrow, const Ref<UIView>& presenter, const Ref<LDataGridCoord>& coordinate);
};
