#include "grid/LGridLayer.h"

#include "foundation/NSException.h"
#include "grid/tests/GridTestSupport.h"
#include "testing/LogCapture.h"

#include <cfloat>

TEST_F(LGridLayerTest, PanesFollowOnlyTheirFreezeTypesComponents)
{
    auto grid = LatticeGrid::initWithFrame(CGRectMake(0, 0, 200, 100));
    struct Case {
        int32_t type;
        const char* description;
        CGPoint expected;
    };
    for (const auto& c : std::vector<Case> { { 0, "No Freeze", CGPointMake(-5, -7) },
             { 1, "Vertical Freeze", CGPointMake(0, 0) }, { 2, "Horizontal Freeze", CGPointMake(0, 0) },
             { 3, "Static Freeze", CGPointMake(0, 0) }, { 9, "Unkown Freeze", CGPointMake(0, 0) } }) {
        SCOPED_TRACE(c.description);
        auto pane = LGridLayer::initWithFreezeWithGrid(c.type, grid);
        EXPECT_EQ(pane->freezeTypeDescription(), c.description);
        pane->setContentOffset(CGPointMake(-5, -7));
        EXPECT_EQ(pane->contentOffset(), c.expected);
    }
    auto indicator = LGridScrollIndicatorLayer::initAsVerticalIndicatorWithGrid(true, grid);
    indicator->setContentOffset(CGPointMake(-5, -7));
    EXPECT_EQ(indicator->contentOffset(), CGPointMake(0, -7)) << "indicator panes follow negative offsets";
    EXPECT_FALSE(indicator->shouldHaveBorder());

    LogCapture log;
    EXPECT_THROW(LGridLayer::init(), NSException);
}

TEST_F(LGridLayerTest, ContentViewsAddOnlyFramedCellsAndParkTheOnesThatLeave)
{
    auto grid = LatticeGrid::initWithFrame(CGRectMake(0, 0, 200, 100));
    auto content = grid->liquidLayer()->content();
    auto unframed = LGridCell::initWithReuseIdentifier("Cell");
    content->addCell(unframed);
    EXPECT_FALSE(unframed->superview());

    auto cell = LGridCell::initWithReuseIdentifier("Cell");
    cell->setFrame(CGRectMake(10, 10, 50, 20));
    content->addCell(cell);
    EXPECT_EQ(cell->superview(), content);
    EXPECT_EQ(content->selectableGridElements().size(), 1u);
    content->removeCell(cell);
    EXPECT_EQ(cell->superview(), content) << "a parked cell stays a subview";
    EXPECT_EQ(cell->center(), CGPointMake(-FLT_MAX, -FLT_MAX));
    EXPECT_TRUE(content->selectableGridElements().empty());
    EXPECT_NE(grid->liquidLayer()->description().find("No Freeze"), std::string::npos);
}
