#pragma once

#include "foundation/NSString.h"
#include "grid/LGridCellPool.h"
#include "grid/LGridCoord.h"
#include "grid/LGridDataSourceDelegateManager.h"
#include "grid/LatticeGrid.h"
#include "grid/datagrid/LDataGridCell.h"
#include "grid/datagrid/LDataGridColumn.h"
#include "grid/datagrid/LDataGridCoord.h"
#include "grid/datagrid/LDataGridDataSource.h"
#include "grid/datagrid/LDataGridDelegate.h"
#include "grid/datagrid/LDataGridRow.h"
#include "grid/datagrid/LDataGridTextCell.h"
#include "grid/datagrid/LDataGridTheme.h"
#include "grid/datagrid/LatticeDataGrid.h"
#include "testing/Drain.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIDevice.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

// A data source and delegate for data grids. Which optional operations it implements is the set
// `implemented` (selector names); the calls it receives are appended to `calls` in order. Body
// cells are filled with "<column title> <row>,<section>".
class FakeDataGridClient : public NSObject, public LDataGridDataSource, public LDataGridDelegate {
    VX_OBJECT(FakeDataGridClient, NSObject)
public:
    explicit FakeDataGridClient(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<FakeDataGridClient> make(std::vector<uint32_t> rowsPerSection)
    {
        auto client = NSObject::make<FakeDataGridClient>();
        client->rowsPerSection = std::move(rowsPerSection);
        if (client->rowsPerSection.size() != 1)
            client->implemented.insert("numberOfSectionsInLatticeDataGrid:");
        return client;
    }

    bool respondsToSelector(std::string_view selector) const override
    {
        return implemented.count(std::string(selector)) != 0;
    }

    void latticeDataGridPrepareCellForDisplay(const Ref<LatticeDataGrid>&, const Ref<LDataGridCell>& cell) override
    {
        auto coord = cell->coordinate();
        calls.push_back("prepare " + (coord ? coord->description() : std::string("(null)")));
        if (auto text = std::dynamic_pointer_cast<LDataGridTextCell>(cell); text && coord) {
            text->setText(NSString::stringWithFormat(
                "%@ %d,%d", coord->column()->title().value_or(""), coord->rowIndex(), coord->sectionIndex()));
        }
    }
    uint32_t latticeDataGridNumberOfRowsInSection(const Ref<LatticeDataGrid>&, int32_t section) override
    {
        return section >= 0 && static_cast<size_t>(section) < rowsPerSection.size() ? rowsPerSection[section] : 0;
    }
    int32_t numberOfSectionsInLatticeDataGrid(const Ref<LatticeDataGrid>&) override
    {
        return sectionsOverride.value_or(static_cast<int32_t>(rowsPerSection.size()));
    }
    std::optional<std::string> latticeDataGridTitleForHeaderInSection(const Ref<LatticeDataGrid>&, int32_t s) override
    {
        return NSString::stringWithFormat("Group %d", s);
    }

    std::optional<float> latticeDataGridHeightForRowAtIndexInSection(
        const Ref<LatticeDataGrid>&, int32_t i, int32_t s) override
    {
        calls.push_back(NSString::stringWithFormat("height %d,%d", i, s));
        return rowHeight ? rowHeight(i, s) : std::nullopt;
    }
    Ref<LDataGridLineStyle> latticeDataGridStyleForHorizontalGridLineAtIndexInSection(
        const Ref<LatticeDataGrid>&, int32_t, int32_t) override
    {
        return nullptr;
    }
    void latticeDataGridDidTapCellAtCoordinateIsDoubleTap(
        const Ref<LatticeDataGrid>&, const Ref<LDataGridCoord>& c, bool twice) override
    {
        calls.push_back(std::string(twice ? "doubleTap " : "tap ") + c->description());
    }
    bool latticeDataGridShouldSelectRow(const Ref<LatticeDataGrid>&, const Ref<LDataGridRow>& r) override
    {
        calls.push_back("shouldSelectRow " + r->description());
        return true;
    }
    void latticeDataGridDidSelectRow(const Ref<LatticeDataGrid>&, const Ref<LDataGridRow>& r) override
    {
        calls.push_back("didSelectRow " + r->description());
    }
    int32_t latticeDataGridPermittedDragDirectionForCellAtCoordinate(
        const Ref<LatticeDataGrid>&, const Ref<LDataGridCoord>&) override
    {
        return dragAnswer;
    }
    void latticeDataGridDidReorderColumnWithColumn(
        const Ref<LatticeDataGrid>&, const Ref<LDataGridColumn>& a, const Ref<LDataGridColumn>& b) override
    {
        calls.push_back("reorder " + a->title().value_or("") + " " + b->title().value_or(""));
    }
    void latticeDataGridWillChangeSortOrderForColumnTo(
        const Ref<LatticeDataGrid>&, const Ref<LDataGridColumn>& column, int32_t order) override
    {
        calls.push_back(NSString::stringWithFormat("will %@ %d", column->title().value_or(""), order));
    }
    void latticeDataGridDidChangeSortOrderForColumnFrom(
        const Ref<LatticeDataGrid>&, const Ref<LDataGridColumn>& column, int32_t order) override
    {
        calls.push_back(NSString::stringWithFormat("did %@ %d", column->title().value_or(""), order));
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

    std::vector<uint32_t> rowsPerSection;
    std::optional<int32_t> sectionsOverride;
    std::set<std::string> implemented;
    std::vector<std::string> calls;
    std::function<std::optional<float>(int32_t, int32_t)> rowHeight;
    int32_t dragAnswer { 3 };
};

// Every data-grid test runs on a virtual clock on theme 0 and leaves no pooled cells behind.
class DataGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UIApplicationHost::resetForTesting();
        LGridCellPool::reset();
        LGridDataSourceDelegateManager::resetForTesting();
        LDataGridTheme::resetForTesting();
        LatticeDataGrid::resetForTesting();
    }
    void TearDown() override
    {
        drainAll();
        LGridCellPool::reset();
        LGridDataSourceDelegateManager::resetForTesting();
        LDataGridTheme::resetForTesting();
        UIApplicationHost::resetForTesting();
        UIDevice::resetForTesting();
    }

    // Columns titled by the given names, in that order.
    static std::vector<Ref<LDataGridColumn>> columnsTitled(std::initializer_list<const char*> titles)
    {
        std::vector<Ref<LDataGridColumn>> columns;
        for (const char* title : titles)
            columns.push_back(LDataGridColumn::columnWithTitle(std::string(title)));
        return columns;
    }

    // A laid-out grid of the given frame over `client`, with the given columns.
    Ref<LatticeDataGrid> makeGrid(const Ref<FakeDataGridClient>& client,
        const std::vector<Ref<LDataGridColumn>>& columns, CGRect frame = CGRectMake(0, 0, 600, 400))
    {
        auto grid = LatticeDataGrid::initWithFrame(frame);
        grid->setDataSource(client);
        grid->setDelegate(client);
        grid->setColumns(columns);
        grid->layoutIfNeeded();
        grid->internalGrid()->layoutIfNeeded();
        return grid;
    }

    static Ref<LGridCoord> engineCoord(int32_t column, int32_t index, int32_t section)
    {
        return LGridCoord::initWithColumnWithRow(column, LGridRowMake(index, section));
    }

    ScopedVirtualClock m_clock;
};

class LatticeDataGridTest : public DataGridTest { };
class LDataGridColumnTest : public DataGridTest { };
class LDataGridCellTest : public DataGridTest { };
class LDataGridThemeTest : public DataGridTest { };

// The message part of a grid log line (the source's description follows "\nFrom:").
inline std::string messageOf(const std::string& logged)
{
    return logged.substr(0, logged.find("\nFrom:"));
}

inline bool loggedMessage(const std::vector<std::string>& lines, const std::string& message)
{
    for (const auto& line : lines) {
        if (messageOf(line) == message)
            return true;
    }
    return false;
}
