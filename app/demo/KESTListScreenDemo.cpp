#include "app/demo/KESTListScreenDemo.h"

#include "app/view-controllers/list/KESTListViewController.h"
#include "app/view-controllers/map/KESTAppleMapViewController.h"
#include "grid/LGridCell.h"
#include "grid/LatticeGrid.h"
#include "grid/datagrid/LDataGridColumn.h"
#include "grid/datagrid/LatticeDataGrid.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UINavigationController.h"

#include <cstdio>
#include <optional>

namespace KESTListScreenDemo {

namespace {

// The header cell of the titled column, brought on screen by scrolling the grid sideways.
Ref<LGridCell> headerCellOnScreen(const Ref<LatticeDataGrid>& grid, const std::string& title)
{
    auto columns = grid->columns();
    float left = 0;
    for (const auto& column : columns) {
        float width = column->width().value_or(grid->defaultColWidth().value_or(160));
        if (column->title() == title) {
            // The column's right edge at the right of the grid.
            float offset = std::max(0.0f, left + width - static_cast<float>(grid->bounds().size.width));
            grid->setContentOffset(CGPointMake(offset, 0));
            grid->internalGrid()->layoutIfNeeded();
            return grid->visibleHeaderCellAtColIndex(static_cast<uint32_t>(column->displayIndex()));
        }
        left += width;
    }
    return nullptr;
}

// Scrolled sideways, the grid may show only the right end of its first visible column: its
// sort arrow without its title. Scrolls on to the next column's left edge, so the first column
// on screen shows whole (the columns to its right only move further into view).
void showFirstColumnWhole(const Ref<LatticeDataGrid>& grid)
{
    auto columns = grid->columns();
    float gridLeft = static_cast<float>(grid->convertPointToView(CGPointZero, nullptr).x);
    auto leftOnScreen = [&](size_t position) -> std::optional<float> {
        auto cell = grid->visibleHeaderCellAtColIndex(static_cast<uint32_t>(position));
        if (!cell)
            return std::nullopt;
        return static_cast<float>(cell->convertPointToView(CGPointZero, nullptr).x);
    };
    for (size_t position = 0; position + 1 < columns.size(); ++position) {
        auto left = leftOnScreen(position);
        if (!left || *left >= gridLeft - 0.5f)
            continue;
        auto next = leftOnScreen(position + 1);
        if (!next || *next <= gridLeft + 0.5f)
            continue;
        CGPoint offset = grid->contentOffset();
        grid->setContentOffset(CGPointMake(offset.x + (*next - gridLeft), offset.y));
        grid->internalGrid()->layoutIfNeeded();
        return;
    }
}

} // namespace

bool write(const Ref<KESTAppleMapViewController>& screen, const std::function<bool(const std::string&)>& write,
    const std::function<void(double)>& run)
{
    auto list = KESTListViewController::init();
    auto navigation = UINavigationController::initWithRootViewController(list);
    navigation->setModalPresentationStyle(UIModalPresentationFormSheet);
    screen->presentViewControllerAnimatedCompletion(navigation, false, nullptr);
    run(2);
    auto grid = list->gridView();
    bool written = false;
    if (grid) {
        for (int tap = 0; tap < 2; ++tap) {
            auto header = headerCellOnScreen(grid, "Altitude");
            if (!header)
                break;
            CGRect bounds = header->bounds();
            UIApplicationHost::tap(
                header->convertPointToView(CGPointMake(CGRectGetMidX(bounds), CGRectGetMidY(bounds)), nullptr));
            // Past the double-tap wait, so the next tap counts on its own.
            run(1);
        }
        headerCellOnScreen(grid, "Altitude");
        showFirstColumnWhole(grid);
        auto column = grid->columns().size() > 5 ? grid->columns()[5] : nullptr;
        if (!column || column->sortOrder() != LDataGridColumnSortOrderDescending)
            std::fprintf(stderr, "volantrix: the aircraft list is not sorted by altitude\n");
        written = write("aircraft-list.png");
    }
    navigation->dismissViewControllerAnimatedCompletion(false, nullptr);
    run(1);
    return written;
}

} // namespace KESTListScreenDemo
