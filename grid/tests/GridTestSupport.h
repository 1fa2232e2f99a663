#pragma once

#include "foundation/NSException.h"
#include "foundation/NSObject.h"
#include "foundation/NSString.h"
#include "grid/LGridCell.h"
#include "grid/LGridCellPool.h"
#include "grid/LGridColRowStyle.h"
#include "grid/LGridCompositeSectionHeader.h"
#include "grid/LGridCoord.h"
#include "grid/LGridDataSource.h"
#include "grid/LGridDataSourceDelegateManager.h"
#include "grid/LGridDelegate.h"
#include "grid/LGridLineStyle.h"
#include "grid/LGridSectionHeader.h"
#include "grid/LGridSectionHeaderStyle.h"
#include "grid/LGridTextInputCell.h"
#include "grid/LatticeGrid.h"
#include "testing/Drain.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIDevice.h"
#include "uikit/UIKeyboard.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

// A data source and delegate for grids. Which optional operations it implements is the set
// `implemented` (selector names); every call it receives is appended to `calls` in order.
class FakeGridClient : public NSObject, public LGridDataSource, public LGridDelegate {
    VX_OBJECT(FakeGridClient, NSObject)
public:
    explicit FakeGridClient(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<FakeGridClient> make(int32_t columns, std::vector<int32_t> rowsPerSection)
    {
        auto client = NSObject::make<FakeGridClient>();
        client->columns = columns;
        client->rowsPerSection = std::move(rowsPerSection);
        if (client->rowsPerSection.size() != 1)
            client->implemented.insert("numberOfSectionsInLatticeGrid:");
        return client;
    }

    bool respondsToSelector(std::string_view selector) const override
    {
        return implemented.count(std::string(selector)) != 0;
    }

    // Data source.
    int32_t numberOfColsForLatticeGrid(const Ref<LatticeGrid>&) override
    {
        calls.push_back("numberOfCols");
        return columns;
    }
    Ref<LGridCell> latticeGridCellForGridCoord(const Ref<LatticeGrid>& grid, const Ref<LGridCoord>& coord) override
    {
        calls.push_back("cellFor " + coord->description());
        if (nilCells.count({ coord->column(), coord->rowIndex() }))
            return nullptr;
        Ref<LGridCell> cell;
        if (makeCell)
            return makeCell(grid, coord);
        if (dequeues)
            cell = grid->dequeueReusableCellWithIdentifier(std::string("Cell"));
        if (!cell) {
            cell = LGridCell::initWithReuseIdentifier("Cell");
            ++cellsMade;
        }
        return cell;
    }
    int32_t latticeGridNumberOfRowsInSection(const Ref<LatticeGrid>&, int32_t section) override
    {
        calls.push_back(NSString::stringWithFormat("rowsIn %d", section));
        return rowsPerSection.at(static_cast<size_t>(section));
    }
    int32_t numberOfSectionsInLatticeGrid(const Ref<LatticeGrid>&) override
    {
        calls.push_back("numberOfSections");
        return sectionsOverride.value_or(static_cast<int32_t>(rowsPerSection.size()));
    }
    std::optional<std::string> latticeGridTitleForHeaderInSection(const Ref<LatticeGrid>&, int32_t section) override
    {
        return NSString::stringWithFormat("Title %d", section);
    }

    // Delegate.
    Ref<LGridColRowStyle> latticeGridStyleForRowAtIndexInSection(const Ref<LatticeGrid>&, int32_t i, int32_t s) override
    {
        calls.push_back(NSString::stringWithFormat("rowStyle %d,%d", i, s));
        return rowStyle ? rowStyle(i, s) : nullptr;
    }
    Ref<LGridLineStyle> latticeGridStyleForHorizontalGridLineAtIndexInSection(
        const Ref<LatticeGrid>&, int32_t i, int32_t s) override
    {
        calls.push_back(NSString::stringWithFormat("hLine %d,%d", i, s));
        return nullptr;
    }
    Ref<LGridColRowStyle> latticeGridStyleForColAtIndex(const Ref<LatticeGrid>&, int32_t c) override
    {
        calls.push_back(NSString::stringWithFormat("colStyle %d", c));
        return colStyle ? colStyle(c) : nullptr;
    }
    void latticeGridAlterStyleBeforeApplyingToCellAtCoord(
        const Ref<LatticeGrid>&, const Ref<LGridCellStyle>& style, const Ref<LGridCoord>& coord) override
    {
        if (alterStyle)
            alterStyle(style, coord);
    }
    void didFinishLayingOutLatticeGrid(const Ref<LatticeGrid>&) override { calls.push_back("didFinishLayingOut"); }
    bool latticeGridShouldCollapseSectionAtIndex(const Ref<LatticeGrid>&, uint32_t s) override
    {
        calls.push_back(NSString::stringWithFormat("shouldCollapse %u", s));
        return allowToggle;
    }
    bool latticeGridShouldExpandSectionAtIndex(const Ref<LatticeGrid>&, uint32_t s) override
    {
        calls.push_back(NSString::stringWithFormat("shouldExpand %u", s));
        return allowToggle;
    }
    void latticeGridWillExpandSectionAtIndex(const Ref<LatticeGrid>&, uint32_t s) override
    {
        calls.push_back(NSString::stringWithFormat("willExpand %u", s));
    }
    void latticeGridDidExpandSectionAtIndex(const Ref<LatticeGrid>&, uint32_t s) override
    {
        calls.push_back(NSString::stringWithFormat("didExpand %u", s));
    }
    void latticeGridWillCollapseSectionAtIndex(const Ref<LatticeGrid>&, uint32_t s) override
    {
        calls.push_back(NSString::stringWithFormat("willCollapse %u", s));
    }
    void latticeGridDidCollapseSectionAtIndex(const Ref<LatticeGrid>&, uint32_t s) override
    {
        calls.push_back(NSString::stringWithFormat("didCollapse %u", s));
    }
    bool latticeGridShouldSelectCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>& c) override
    {
        calls.push_back("shouldSelect " + c->description());
        return allowSelection;
    }
    void latticeGridWillSelectCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>& c) override
    {
        calls.push_back("willSelect " + c->description());
    }
    void latticeGridDidSelectCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>& c) override
    {
        calls.push_back("didSelect " + c->description());
    }
    bool latticeGridShouldDeselectCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>& c) override
    {
        calls.push_back("shouldDeselect " + c->description());
        return allowDeselection;
    }
    void latticeGridWillDeselectCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>& c) override
    {
        calls.push_back("willDeselect " + c->description());
    }
    void latticeGridDidDeselectCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>& c) override
    {
        calls.push_back("didDeselect " + c->description());
    }
    bool latticeGridShouldSelectRow(const Ref<LatticeGrid>&, LGridRow r) override
    {
        calls.push_back(NSString::stringWithFormat("shouldSelectRow %d,%d", r.index, r.section));
        return allowSelection;
    }
    void latticeGridWillSelectRow(const Ref<LatticeGrid>&, LGridRow r) override
    {
        calls.push_back(NSString::stringWithFormat("willSelectRow %d,%d", r.index, r.section));
    }
    void latticeGridDidSelectRow(const Ref<LatticeGrid>&, LGridRow r) override
    {
        calls.push_back(NSString::stringWithFormat("didSelectRow %d,%d", r.index, r.section));
    }
    bool latticeGridShouldDeselectRow(const Ref<LatticeGrid>&, LGridRow r) override
    {
        calls.push_back(NSString::stringWithFormat("shouldDeselectRow %d,%d", r.index, r.section));
        return allowDeselection;
    }
    void latticeGridWillDeselectRow(const Ref<LatticeGrid>&, LGridRow r) override
    {
        calls.push_back(NSString::stringWithFormat("willDeselectRow %d,%d", r.index, r.section));
    }
    void latticeGridDidDeselectRow(const Ref<LatticeGrid>&, LGridRow r) override
    {
        calls.push_back(NSString::stringWithFormat("didDeselectRow %d,%d", r.index, r.section));
    }
    bool latticeGridCellCanRespondToDoubleTap(const Ref<LatticeGrid>&, const Ref<LGridCell>& cell) override
    {
        calls.push_back("canDoubleTap " + cell->gridCoord()->description());
        return allowDoubleTap;
    }
    void latticeGridDidTapCellAtCoordIsDoubleTap(const Ref<LatticeGrid>&, const Ref<LGridCoord>& c, bool twice) override
    {
        calls.push_back(std::string(twice ? "didDoubleTap " : "didTap ") + c->description());
    }
    void scrollViewDidScroll(const Ref<UIScrollView>& v) override
    {
        calls.push_back(std::string("didScroll ") + (std::dynamic_pointer_cast<LatticeGrid>(v) ? "grid" : "other"));
    }

    void scrollViewWillBeginDragging(const Ref<UIScrollView>&) override { calls.push_back("willBeginDragging"); }
    void scrollViewDidEndDraggingWillDecelerate(const Ref<UIScrollView>&, bool decelerate) override
    {
        calls.push_back(decelerate ? "didEndDragging decelerating" : "didEndDragging");
    }
    void scrollViewDidEndDecelerating(const Ref<UIScrollView>&) override { calls.push_back("didEndDecelerating"); }

    // Editing.
    bool latticeGridShouldBeginEditingAutoCell(const Ref<LatticeGrid>&, const Ref<LGridTextInputCell>& c) override
    {
        calls.push_back("shouldBeginEditing " + c->gridCoord()->description());
        return allowEditing;
    }
    void latticeGridWillBeginEditingAutoCell(const Ref<LatticeGrid>&, const Ref<LGridTextInputCell>& c) override
    {
        calls.push_back("willBeginEditing " + c->gridCoord()->description());
    }
    void latticeGridWillCommenceEditingAutoCell(const Ref<LatticeGrid>&, const Ref<LGridTextInputCell>& c) override
    {
        calls.push_back("willCommenceEditing " + c->gridCoord()->description());
    }
    void latticeGridDidFinishEditingAutoCell(const Ref<LatticeGrid>&, const Ref<LGridTextInputCell>& c) override
    {
        calls.push_back("didFinishEditing " + c->gridCoord()->description() + " " + c->text());
    }

    // Reordering.
    int32_t latticeGridPermittedDragDirectionForCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>& c) override
    {
        calls.push_back("permittedDragDirection " + c->description());
        return permittedDragDirection;
    }
    void latticeGridRowHasBeenSwitchedWithRow(const Ref<LatticeGrid>&, LGridRow a, LGridRow b) override
    {
        calls.push_back(
            NSString::stringWithFormat("rowSwitched %d,%d with %d,%d", a.index, a.section, b.index, b.section));
    }
    void latticeGridColAtIndexHasBeenSwitchedWithColAtIndex(const Ref<LatticeGrid>&, int32_t a, int32_t b) override
    {
        calls.push_back(NSString::stringWithFormat("colSwitched %d with %d", a, b));
    }
    void latticeGridWillEndReorderingRow(const Ref<LatticeGrid>&, LGridRow r) override
    {
        calls.push_back(NSString::stringWithFormat("willEndReorderingRow %d,%d", r.index, r.section));
    }
    void latticeGridDidEndReorderingRow(const Ref<LatticeGrid>&, LGridRow r) override
    {
        calls.push_back(NSString::stringWithFormat("didEndReorderingRow %d,%d", r.index, r.section));
    }
    void latticeGridWillEndReorderingColumnAtIndex(const Ref<LatticeGrid>&, uint32_t c) override
    {
        calls.push_back(NSString::stringWithFormat("willEndReorderingColumn %u", c));
    }
    void latticeGridDidEndReorderingColumnAtIndex(const Ref<LatticeGrid>&, uint32_t c) override
    {
        calls.push_back(NSString::stringWithFormat("didEndReorderingColumn %u", c));
    }
    Ref<UIImage> latticeGridArrowImageForOrientationForCellAtCoord(
        const Ref<LatticeGrid>&, int32_t, const Ref<LGridCoord>&) override
    {
        return arrowImage;
    }

    // Resizing.
    bool latticeGridShouldBeginResizingColumnAtIndex(const Ref<LatticeGrid>&, uint32_t c) override
    {
        calls.push_back(NSString::stringWithFormat("shouldBeginResizing %u", c));
        return allowResizing;
    }
    void latticeGridWillBeginResizingColumnAtIndex(const Ref<LatticeGrid>&, uint32_t c) override
    {
        calls.push_back(NSString::stringWithFormat("willBeginResizing %u", c));
    }
    void latticeGridWillResizeColumnAtIndexFromWidthToWidthWithXCenter(
        const Ref<LatticeGrid>&, uint32_t c, float, float to, float) override
    {
        calls.push_back(NSString::stringWithFormat("willResize %u to %.0f", c, static_cast<double>(to)));
    }
    std::optional<float> latticeGridWidthForResizingColAtIndexWithCurrentWidthTargetWidth(
        const Ref<LatticeGrid>&, uint32_t, float, float) override
    {
        return resizeWidth;
    }
    void latticeGridDidResizeColumnAtIndexFromWidthToWidth(
        const Ref<LatticeGrid>&, uint32_t c, float, float to) override
    {
        calls.push_back(NSString::stringWithFormat("didResize %u to %.0f", c, static_cast<double>(to)));
    }
    void latticeGridWillEndResizingColumnAtIndexFromWidthToWidth(
        const Ref<LatticeGrid>&, uint32_t c, float, float to) override
    {
        calls.push_back(NSString::stringWithFormat("willEndResizing %u to %.0f", c, static_cast<double>(to)));
    }
    void latticeGridDidEndResizingColumnAtIndexFromWidthToWidth(
        const Ref<LatticeGrid>&, uint32_t c, float from, float to) override
    {
        calls.push_back(NSString::stringWithFormat(
            "didEndResizing %u from %.0f to %.0f", c, static_cast<double>(from), static_cast<double>(to)));
    }

    // The calls whose text starts with `prefix`.
    std::vector<std::string> callsStartingWith(const std::string& prefix) const
    {
        std::vector<std::string> found;
        for (const auto& c : calls) {
            if (c.rfind(prefix, 0) == 0)
                found.push_back(c);
        }
        return found;
    }

    int32_t columns { 0 };
    std::vector<int32_t> rowsPerSection;
    std::optional<int32_t> sectionsOverride;
    std::set<std::string> implemented;
    std::vector<std::string> calls;
    std::set<std::pair<int32_t, int32_t>> nilCells;
    bool dequeues { true };
    bool allowSelection { true };
    bool allowToggle { true };
    bool allowDoubleTap { true };
    bool allowDeselection { true };
    bool allowEditing { true };
    bool allowResizing { true };
    int32_t permittedDragDirection { 3 };
    std::optional<float> resizeWidth;
    Ref<UIImage> arrowImage;
    std::function<Ref<LGridCell>(const Ref<LatticeGrid>&, const Ref<LGridCoord>&)> makeCell;
    int32_t cellsMade { 0 };
    std::function<Ref<LGridColRowStyle>(int32_t, int32_t)> rowStyle;
    std::function<Ref<LGridColRowStyle>(int32_t)> colStyle;
    std::function<void(const Ref<LGridCellStyle>&, const Ref<LGridCoord>&)> alterStyle;
};

// Every grid test runs on a virtual clock and leaves no pooled cells or logged hints behind.
class GridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UIApplicationHost::resetForTesting();
        LGridCellPool::reset();
        LGridDataSourceDelegateManager::resetForTesting();
    }
    void TearDown() override
    {
        drainAll();
        LGridCellPool::reset();
        LGridDataSourceDelegateManager::resetForTesting();
        UIApplicationHost::resetForTesting();
        UIDevice::resetForTesting();
    }

    // A grid of the given frame whose data source and delegate are `client`, with fixed
    // column widths and row heights (no stretching) and 1-point grid lines.
    Ref<LatticeGrid> makeGrid(
        const Ref<FakeGridClient>& client, CGRect frame, float columnWidth = 100, float rowHeight = 40)
    {
        auto grid = LatticeGrid::initWithFrame(frame);
        grid->setDataSource(client);
        grid->setDelegate(client);
        grid->setDefaultColumnStyle(LGridColRowStyle::styleWithSizeWithCellStyle(columnWidth, nullptr));
        grid->setDefaultRowStyle(LGridColRowStyle::styleWithSizeWithCellStyle(rowHeight, nullptr));
        grid->setMinimumColWidth(10);
        grid->setMinimumRowHeight(10);
        return grid;
    }

    // Makes the client implement every section should/will/did callback.
    static void implementSectionCallbacks(const Ref<FakeGridClient>& client)
    {
        for (const char* verb : { "should", "will", "did" }) {
            for (const char* what : { "Collapse", "Expand" })
                client->implemented.insert(std::string("latticeGrid:") + verb + what + "SectionAtIndex:");
        }
    }

    // Makes the client implement every row and cell selection callback.
    static void implementSelectionCallbacks(const Ref<FakeGridClient>& client)
    {
        for (const char* verb : { "should", "will", "did" }) {
            for (const char* what : { "Select", "Deselect" }) {
                client->implemented.insert(std::string("latticeGrid:") + verb + what + "Row:");
                client->implemented.insert(std::string("latticeGrid:") + verb + what + "CellAtCoord:");
            }
        }
    }

    static LGridRow row(int32_t index, int32_t section) { return LGridRowMake(index, section); }

    ScopedVirtualClock m_clock;
};

// Grids shown in a key window the size of the screen (768 x 1024 points), touched with synthesized touches in window
// coordinates.
class WindowedGridTest : public GridTest {
protected:
    Ref<LatticeGrid> hostedGrid(const Ref<FakeGridClient>& client, CGRect frame = CGRectMake(0, 0, 400, 400),
        float columnWidth = 100, float rowHeight = 40)
    {
        m_window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
        m_window->setRootViewController(UIViewController::init());
        m_window->makeKeyAndVisible();
        auto grid = makeGrid(client, frame, columnWidth, rowHeight);
        m_window->addSubview(grid);
        grid->layoutIfNeeded();
        return grid;
    }
    // The centre of a loaded cell in window coordinates.
    static CGPoint centreOf(const Ref<LatticeGrid>& grid, int32_t column, LGridRow row)
    {
        auto cell = grid->loadAndRetrieveCellAtColAtRow(column, row);
        return cell->superview()->convertPointToView(cell->center(), nullptr);
    }
    static CGRect windowFrameOf(const Ref<LatticeGrid>& grid, int32_t column, LGridRow row)
    {
        auto cell = grid->loadAndRetrieveCellAtColAtRow(column, row);
        return cell->superview()->convertRectToView(cell->frame(), nullptr);
    }
    void TearDown() override
    {
        // The window lets its grid go before the client does.
        if (m_window) {
            auto views = m_window->subviews();
            for (const auto& view : views)
                view->removeFromSuperview();
        }
        m_window = nullptr;
        m_clock.advance(2);
        GridTest::TearDown();
        UIKeyboard::resetForTesting();
    }

    Ref<UIWindow> m_window;
};

// Suites named after the class they test.
class LatticeGridTest : public GridTest { };
class LGridCellPoolTest : public GridTest { };
class LGridLayerTest : public GridTest { };

// The message part of a grid log line (the source's description follows "\nFrom:").
inline std::string messageOf(const std::string& logged)
{
    return logged.substr(0, logged.find("\nFrom:"));
}

inline bool operator==(CGPoint a, CGPoint b)
{
    return a.x == b.x && a.y == b.y;
}

inline void PrintTo(CGPoint p, std::ostream* os)
{
    *os << "(" << p.x << ", " << p.y << ")";
}

inline void PrintTo(LGridRow r, std::ostream* os)
{
    *os << "{i=" << r.index << ", s=" << r.section << "}";
}

inline std::vector<std::pair<int32_t, int32_t>> asPairs(const std::vector<LGridRow>& rows)
{
    std::vector<std::pair<int32_t, int32_t>> pairs;
    for (LGridRow r : rows)
        pairs.emplace_back(r.index, r.section);
    return pairs;
}
