#include "grid/LatticeGrid.h"

#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "grid/LGridLineStyle.h"
#include "grid/LGridSectionHeaderStyle.h"
#include "grid/tests/GridTestSupport.h"
#include "testing/GoldenImage.h"
#include "vxbuild/TestPaths.h"

namespace {

Ref<UIImage> renderGrid(const Ref<LatticeGrid>& grid)
{
    CGSize size = grid->bounds().size;
    UIGraphicsBeginImageContextWithOptions(size, true, 1);
    grid->drawViewHierarchyInRectAfterScreenUpdates(CGRectMake(0, 0, size.width, size.height), true);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

} // namespace

// Two sections with headers, one frozen row and one frozen column, scrolled so that the frozen
// shadows show: the static corner, the frozen row and column, the liquid cells, grid lines,
// the border segments and the headers each in their pane.
TEST_F(LatticeGridTest, FrozenPanesBordersHeadersAndShadowsRender)
{
    auto client = FakeGridClient::make(8, { 6, 6 });
    client->implemented.insert("latticeGrid:styleForColAtIndex:");
    client->colStyle = [](int32_t c) {
        auto style = LGridColRowStyle::init();
        if (c == 0)
            style->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(0.2f, 0.3f, 0.5f, 1));
        return style;
    };
    client->implemented.insert("latticeGrid:styleForRowAtIndex:inSection:");
    client->rowStyle = [](int32_t i, int32_t s) {
        auto style = LGridColRowStyle::init();
        if (i == 0 && s == 0)
            style->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(0.3f, 0.5f, 0.3f, 1));
        return style;
    };
    auto grid = makeGrid(client, CGRectMake(0, 0, 320, 240), 70, 30);
    grid->defaultGridLineStyle()->setColor(UIColor::lightGrayColor());
    grid->defaultSectionHeaderStyle()->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(0.8f, 0.45f, 0.25f, 1));
    grid->setNumberOfFrozenRows(1);
    grid->setNumberOfFrozenColumns(1);
    grid->layoutIfNeeded();
    grid->setContentOffset(CGPointMake(40, 60));
    m_clock.advance(0.5);
    drainAll();
    runOnePass();

    auto image = renderGrid(grid);
    ASSERT_TRUE(image);
    EXPECT_TRUE(GoldenImage::matches(image->CGImage(), std::string(VX_TEST_DIR "/golden/frozen-panes.png"), 8));
}
