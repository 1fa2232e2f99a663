#include "grid/LGridCompositeSectionHeader.h"

#include "graphics/CAAnimation.h"
#include "graphics/UIColor.h"
#include "grid/LGridLayer.h"
#include "grid/LGridSection.h"
#include "grid/LGridSectionHeader.h"
#include "grid/LGridSectionHeaderStyle.h"
#include "grid/LGridShadow.h"
#include "grid/tests/GridTestSupport.h"

class LGridCompositeSectionHeaderTest : public GridTest { };

TEST_F(LGridCompositeSectionHeaderTest, ACustomViewWinsOverTheTitleOfItsPart)
{
    auto section = LGridSection::initWithGridWithIndex(nullptr, 0);
    auto composite = section->header();
    auto frozen = LGridSectionHeader::initWithLayerWithSection(nullptr, section);
    auto liquid = LGridSectionHeader::initWithLayerWithSection(nullptr, section);
    composite->setFrozenTitle("Frozen");
    composite->addHeaderAsFrozen(frozen, true);
    composite->addHeaderAsFrozen(liquid, false);
    EXPECT_EQ(frozen->text(), "Frozen");
    EXPECT_EQ(frozen->textAlignment(), NSTextAlignmentCenter);
    EXPECT_TRUE(composite->hasAllSubheaders());
    EXPECT_FALSE(composite->headerAtIndex(2));

    auto custom = UIView::initWithFrame(CGRectMake(0, 0, 10, 10));
    composite->setLiquidTitle("Liquid");
    composite->setLiquidView(custom);
    composite->setLiquidTitle("Later");
    EXPECT_EQ(liquid->text(), "");
    ASSERT_EQ(liquid->subviews().size(), 1u);
    EXPECT_EQ(liquid->subviews()[0], custom);

    // Pinned moves change only the centre's y; the composite frame spans both parts.
    composite->setFrame(CGRectMake(1, 10, 50, 30));
    liquid->setFrame(CGRectMake(51, 10, 200, 30));
    composite->setCenterPinMovement(CGPointMake(500, 100), true);
    EXPECT_EQ(frozen->center(), CGPointMake(26, 100));
    EXPECT_EQ(liquid->center(), CGPointMake(151, 100));
    composite->adjustYPositionOfCentreBy(-20);
    CGRect frame = composite->compositeFrame();
    EXPECT_FLOAT_EQ(frame.origin.x, 1);
    EXPECT_FLOAT_EQ(frame.origin.y, 65);
    EXPECT_FLOAT_EQ(frame.size.width, 250);
    EXPECT_FLOAT_EQ(frame.size.height, 30);

    composite->removeSubHeaders();
    EXPECT_FALSE(composite->headerAtIndex(0));
    composite->setFrame(CGRectZero); // nothing to send to
    EXPECT_EQ(composite->center(), CGPointZero);
}

TEST_F(LGridCompositeSectionHeaderTest, TheFrozenPartsShadowFadesInOnceAndHidesAtOnce)
{
    auto section = LGridSection::initWithGridWithIndex(nullptr, 0);
    auto composite = section->header();
    composite->setShowShadow(true);
    EXPECT_FALSE(composite->shadow()) << "no frozen part, no shadow";

    auto frozen = LGridSectionHeader::initWithLayerWithSection(nullptr, section);
    frozen->setFrame(CGRectMake(0, 0, 100, 30));
    composite->addHeaderAsFrozen(frozen, true);
    composite->setShowShadow(true);
    auto shadow = composite->shadow();
    ASSERT_TRUE(shadow);
    EXPECT_FALSE(shadow->isHidden());
    EXPECT_EQ(shadow->superview(), frozen);
    EXPECT_FLOAT_EQ(shadow->frame().origin.x, 100) << "on the right edge";
    ASSERT_TRUE(shadow->layer()->animationForKey("opacity"));
    EXPECT_DOUBLE_EQ(shadow->layer()->animationForKey("opacity")->duration(), 0.3);
    m_clock.advance(0.3);
    EXPECT_FALSE(shadow->layer()->animationForKey("opacity"));

    composite->setShowShadow(true);
    EXPECT_FALSE(shadow->layer()->animationForKey("opacity")) << "already shown: no second fade";
    composite->setShowShadow(false);
    EXPECT_TRUE(shadow->isHidden());
}

TEST_F(LGridCompositeSectionHeaderTest, AHeaderOfASectionWithFrozenRowsIgnoresTaps)
{
    auto client = FakeGridClient::make(2, { 3, 3 });
    implementSectionCallbacks(client);
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 600));
    grid->setNumberOfFrozenRows(1);
    grid->layoutIfNeeded();
    auto& manager = grid->dataSourceDelegateManager();
    client->calls.clear();
    manager->sectionAtIndex(0)->header()->headerAtIndex(1)->actUponEditEvent();
    EXPECT_TRUE(client->calls.empty());
    EXPECT_FALSE(manager->sectionAtIndex(0)->isCollapsed());

    manager->sectionAtIndex(1)->header()->headerAtIndex(1)->actUponSelectionEvent();
    EXPECT_TRUE(manager->sectionAtIndex(1)->isCollapsed());
}

TEST_F(LGridCompositeSectionHeaderTest, ScrollingSidewaysWithFrozenColumnsShowsTheHeaderShadows)
{
    auto client = FakeGridClient::make(8, { 3, 3 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 300, 400));
    grid->setNumberOfFrozenColumns(1);
    grid->layoutIfNeeded();
    auto composite = grid->dataSourceDelegateManager()->sectionAtIndex(1)->header();
    grid->setContentOffset(CGPointMake(30, 0));
    ASSERT_TRUE(composite->shadow());
    EXPECT_FALSE(composite->shadow()->isHidden());
    grid->setContentOffset(CGPointMake(0, 0));
    EXPECT_TRUE(composite->shadow()->isHidden());
}

// The header style's initialisers: a plain one is 30 high on (206, 111, 62) with white text, no
// font and not hidden; the others set what they name and keep the rest.
TEST_F(LGridCompositeSectionHeaderTest, HeaderStylesStartWithTheirSpecifiedLook)
{
    struct Case {
        const char* name;
        Ref<LGridSectionHeaderStyle> style;
        float height;
        CGFloat red, green, blue;
        bool hidden;
    };
    auto blue = UIColor::colorWithRedGreenBlueAlpha(0, 0, 1, 1);
    const Case cases[] = {
        { "init", LGridSectionHeaderStyle::init(), 30, 206, 111, 62, false },
        { "height and colour", LGridSectionHeaderStyle::initWithHeightWithBackgroundColor(20, blue), 20, 0, 0, 255,
            false },
        { "hidden", LGridSectionHeaderStyle::initWithHeightWithBackgroundColorWithHidden(24, blue, true), 24, 0, 0, 255,
            true },
        { "not hidden", LGridSectionHeaderStyle::initWithHeightWithBackgroundColorWithHidden(24, blue, false), 24, 0, 0,
            255, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.style);
        EXPECT_FLOAT_EQ(c.style->height(), c.height);
        EXPECT_EQ(c.style->isHidden(), c.hidden);
        EXPECT_FALSE(c.style->font());
        ASSERT_TRUE(c.style->backgroundColor());
        CGFloat r = -1, g = -1, b = -1, a = -1;
        ASSERT_TRUE(c.style->backgroundColor()->getRedGreenBlueAlpha(&r, &g, &b, &a));
        EXPECT_NEAR(r * 255, c.red, 1e-3);
        EXPECT_NEAR(g * 255, c.green, 1e-3);
        EXPECT_NEAR(b * 255, c.blue, 1e-3);
        EXPECT_NEAR(a, 1, 1e-6);
        ASSERT_TRUE(c.style->textColor());
        ASSERT_TRUE(c.style->textColor()->getRedGreenBlueAlpha(&r, &g, &b, &a));
        EXPECT_NEAR(r + g + b + a, 4, 1e-6) << "white text";
    }
}
