#include "grid/LatticeGrid.h"

#include "grid/LGridArithmeticCell.h"
#include "grid/LGridCompositeSectionHeader.h"
#include "grid/LGridNumberCell.h"
#include "grid/LGridSection.h"
#include "grid/LGridTextCell.h"
#include "grid/LGridTextField.h"
#include "grid/tests/GridTestSupport.h"
#include "testing/TouchSynthesis.h"

#include <array>

using TouchSynthesis::Finger;
using TouchSynthesis::TwoFingers;

namespace {

// A small timetable behind a grid, as a client of the engine keeps one: two sections of
// flights with a name, a number of seats and a formula of booked seats. The client dequeues its
// cells, stores edited text, moves its rows when the grid switches them and keeps column widths.
class DemoTimetable : public NSObject, public LGridDataSource, public LGridDelegate {
    VX_OBJECT(DemoTimetable, NSObject)
public:
    using Row = std::array<std::string, 3>;

    explicit DemoTimetable(Passkey key)
        : NSObject(key)
    {
        sections = {
            { { "KL1001", "180", "=120+30" }, { "BA2490", "150", "=75*2" }, { "LH0930", "220", "=200" },
                { "AF1180", "174", "=100+74" } },
            { { "SK0501", "140", "=140" }, { "IB3170", "186", "=90+90" }, { "AZ0608", "160", "=80*2" } },
        };
    }
    static Ref<DemoTimetable> make() { return NSObject::make<DemoTimetable>(); }

    bool respondsToSelector(std::string_view selector) const override
    {
        static const std::set<std::string_view> implemented { "numberOfSectionsInLatticeGrid:",
            "latticeGrid:titleForHeaderInSection:", "latticeGrid:didFinishEditingAutoCell:",
            "latticeGrid:row:hasBeenSwitchedWithRow:", "latticeGrid:colAtIndex:hasBeenSwitchedWithColAtIndex:",
            "latticeGrid:didEndResizingColumnAtIndex:fromWidth:toWidth:", "latticeGrid:didCollapseSectionAtIndex:",
            "latticeGrid:didExpandSectionAtIndex:", "latticeGrid:didSelectRow:" };
        return implemented.count(selector) != 0;
    }

    int32_t numberOfColsForLatticeGrid(const Ref<LatticeGrid>&) override { return 3; }
    int32_t numberOfSectionsInLatticeGrid(const Ref<LatticeGrid>&) override
    {
        return static_cast<int32_t>(sections.size());
    }
    int32_t latticeGridNumberOfRowsInSection(const Ref<LatticeGrid>&, int32_t section) override
    {
        return static_cast<int32_t>(sections.at(static_cast<size_t>(section)).size());
    }
    std::optional<std::string> latticeGridTitleForHeaderInSection(const Ref<LatticeGrid>&, int32_t section) override
    {
        return section == 0 ? "Arrivals" : "Departures";
    }
    Ref<LGridCell> latticeGridCellForGridCoord(const Ref<LatticeGrid>& grid, const Ref<LGridCoord>& coord) override
    {
        static const char* identifiers[] = { "Name", "Seats", "Booked" };
        int32_t column = coord->column();
        auto cell = std::dynamic_pointer_cast<LGridAutoCell>(
            grid->dequeueReusableCellWithIdentifier(std::string(identifiers[column])));
        if (!cell) {
            if (column == 0)
                cell = LGridTextCell::initWithReuseIdentifier(identifiers[0]);
            else if (column == 1)
                cell = LGridNumberCell::initWithReuseIdentifier(identifiers[1]);
            else
                cell = LGridArithmeticCell::initWithReuseIdentifier(identifiers[2]);
        }
        cell->setText(at(coord->row())[static_cast<size_t>(column)]);
        return cell;
    }

    void latticeGridDidFinishEditingAutoCell(const Ref<LatticeGrid>&, const Ref<LGridTextInputCell>& cell) override
    {
        auto coord = cell->gridCoord();
        at(coord->row())[static_cast<size_t>(coord->column())] = cell->text();
    }
    void latticeGridRowHasBeenSwitchedWithRow(const Ref<LatticeGrid>&, LGridRow a, LGridRow b) override
    {
        std::swap(at(a), at(b));
    }
    void latticeGridDidEndResizingColumnAtIndexFromWidthToWidth(
        const Ref<LatticeGrid>&, uint32_t column, float, float to) override
    {
        resized.emplace_back(column, to);
    }
    void latticeGridDidCollapseSectionAtIndex(const Ref<LatticeGrid>&, uint32_t s) override
    {
        events.push_back("collapsed " + std::to_string(s));
    }
    void latticeGridDidExpandSectionAtIndex(const Ref<LatticeGrid>&, uint32_t s) override
    {
        events.push_back("expanded " + std::to_string(s));
    }
    void latticeGridDidSelectRow(const Ref<LatticeGrid>&, LGridRow r) override
    {
        events.push_back("selected " + std::to_string(r.index) + "," + std::to_string(r.section));
    }

    Row& at(LGridRow row) { return sections.at(static_cast<size_t>(row.section)).at(static_cast<size_t>(row.index)); }

    std::vector<std::vector<Row>> sections;
    std::vector<std::pair<uint32_t, float>> resized;
    std::vector<std::string> events;
};

} // namespace

class LatticeGridDemoTest : public WindowedGridTest { };

TEST_F(LatticeGridDemoTest, ATimetableIsCollapsedSelectedEditedReorderedAndResized)
{
    auto timetable = DemoTimetable::make();
    m_window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
    m_window->setRootViewController(UIViewController::init());
    m_window->makeKeyAndVisible();
    auto grid = LatticeGrid::initWithFrame(CGRectMake(0, 0, 500, 600));
    grid->setDataSource(timetable);
    grid->setDelegate(timetable);
    grid->setDefaultColumnStyle(LGridColRowStyle::styleWithSizeWithCellStyle(120, nullptr));
    grid->setDefaultRowStyle(LGridColRowStyle::styleWithSizeWithCellStyle(44, nullptr));
    grid->setSelectionMode(LGridSelectionModeSingleRow);
    // A double tap only edits, so editing a cell of the selected row keeps it selected.
    grid->setDoubleTapEventMask(2);
    grid->setCanReorderRowsViaLongPress(true);
    grid->setCanResizeColumnsViaPinch(true);
    m_window->addSubview(grid);
    grid->layoutIfNeeded();
    auto cellText = [&](int32_t column, LGridRow r) {
        return std::dynamic_pointer_cast<LGridAutoCell>(grid->loadAndRetrieveCellAtColAtRow(column, r))->text();
    };
    EXPECT_EQ(cellText(0, row(0, 1)), "SK0501");
    EXPECT_EQ(cellText(2, row(1, 0)), "=75*2") << "a formula set from outside shows unevaluated";

    // Collapse the departures by tapping their header, then open them again.
    auto headerCentre = [&](int32_t section) {
        auto header = grid->dataSourceDelegateManager()->sectionAtIndex(section)->header()->headerAtIndex(1);
        return header->superview()->convertPointToView(header->center(), nullptr);
    };
    TouchSynthesis::tap(headerCentre(1));
    m_clock.advance(1);
    EXPECT_TRUE(grid->sectionAtIndexIsCollapsed(1));
    TouchSynthesis::tap(headerCentre(1));
    m_clock.advance(1);
    EXPECT_FALSE(grid->sectionAtIndexIsCollapsed(1));

    // Select the second arrival by a tap.
    TouchSynthesis::tap(centreOf(grid, 0, row(1, 0)));
    m_clock.advance(1);
    EXPECT_TRUE(grid->isRowSelected(row(1, 0)));

    // Edit its booked seats with a formula: the cell shows the value, the timetable keeps the text.
    TouchSynthesis::doubleTap(centreOf(grid, 2, row(1, 0)));
    auto booked = std::dynamic_pointer_cast<LGridArithmeticCell>(grid->loadAndRetrieveCellAtColAtRow(2, row(1, 0)));
    ASSERT_TRUE(booked && booked->textField()->isFirstResponder());
    EXPECT_EQ(booked->text(), "=75*2");
    UIKeyboard::pressDelete();
    UIKeyboard::typeText("3");
    UIKeyboard::pressReturn();
    m_clock.advance(1);
    EXPECT_EQ(booked->text(), "225");
    EXPECT_EQ(timetable->at(row(1, 0))[2], "=75*3");
    EXPECT_TRUE(grid->isRowSelected(row(1, 0)));

    // Drag the second arrival up above the first: the timetable moves its rows with the grid.
    {
        Finger finger(centreOf(grid, 0, row(1, 0)));
        finger.hold(0.6);
        finger.moveBy(0, -12);
        finger.moveBy(0, -30, 3, 0.05);
        finger.lift();
    }
    m_clock.advance(1);
    EXPECT_EQ(timetable->at(row(0, 0))[0], "BA2490");
    EXPECT_EQ(timetable->at(row(1, 0))[0], "KL1001");
    EXPECT_EQ(cellText(0, row(0, 0)), "BA2490");
    EXPECT_TRUE(grid->isRowSelected(row(0, 0))) << "the selection moves with its row";

    // Widen the seats column by 30 points with two fingers on its edges.
    CGRect seats = windowFrameOf(grid, 1, row(2, 0));
    CGFloat y = seats.origin.y + seats.size.height / 2;
    {
        TwoFingers fingers(CGPointMake(seats.origin.x + 1, y), CGPointMake(seats.origin.x + seats.size.width - 1, y));
        fingers.hold(0.3);
        fingers.spread(30, 3, 0.02);
        fingers.lift();
    }
    m_clock.advance(1);
    ASSERT_EQ(timetable->resized.size(), 1u);
    EXPECT_EQ(timetable->resized[0].first, 1u);
    EXPECT_NEAR(grid->loadAndRetrieveCellAtColAtRow(1, row(0, 0))->frame().size.width, seats.size.width + 30, 2);

    // A full reload shows the timetable as it now stands.
    grid->reload();
    grid->layoutIfNeeded();
    EXPECT_EQ(cellText(0, row(0, 0)), "BA2490");
    EXPECT_EQ(cellText(2, row(0, 0)), "=75*3");
    EXPECT_EQ(timetable->events.front(), "collapsed 1");
}
