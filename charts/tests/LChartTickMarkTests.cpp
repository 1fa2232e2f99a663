#include "charts/LChartTickMark.h"

#include "charts/LChartDashedLineView.h"
#include "charts/LChartTickStyle.h"
#include "charts/LChartTitle.h"
#include "graphics/CGContext.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"
#include "uikit/UILabel.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <functional>

TEST(LChartTickMark, KindsSortingAndViews)
{
    auto minor = LChartTickMark::init();
    EXPECT_EQ(minor->tickLengthModifier(), 0.5f);
    minor->setIsMajor(true);
    EXPECT_EQ(minor->tickLengthModifier(), 1.0f);

    std::vector<Ref<LChartTickMark>> ticks;
    for (float y : { 10.0f, 30.0f, 20.0f }) {
        auto t = LChartTickMark::init();
        t->setTickMarkY(y);
        t->setTickMarkX(y);
        ticks.push_back(t);
    }
    std::sort(ticks.begin(), ticks.end(), [](const auto& a, const auto& b) { return a->compareForYAxis(*b) < 0; });
    EXPECT_EQ(ticks.front()->tickMarkY(), 30);
    std::sort(ticks.begin(), ticks.end(), [](const auto& a, const auto& b) { return a->compareForXAxis(*b) < 0; });
    EXPECT_EQ(ticks.front()->tickMarkX(), 10);

    auto parent = UIView::initWithFrame({ { 0, 0 }, { 100, 100 } });
    auto labelled = LChartTickMark::initWithLabelAndText({ { 0, 0 }, { 20, 10 } }, "5");
    parent->addSubview(labelled->tickLabel());
    labelled->disableTick(nullptr);
    labelled->disableTick(nullptr);
    EXPECT_FALSE(labelled->tickEnabled());
    ASSERT_TRUE(labelled->tickLabel());
    EXPECT_EQ(labelled->tickLabel()->superview(), nullptr);
    labelled->removeGridLineView();
    auto grid = UIView::initWithFrame({ { 0, 0 }, { 1, 100 } });
    parent->addSubview(grid);
    labelled->setGridLineView(grid);
    labelled->removeGridLineView();
    EXPECT_EQ(grid->superview(), nullptr);
    EXPECT_EQ(labelled->gridLineView(), nullptr);

    auto style = LChartTickStyle::init();
    labelled->styleTickLabel(*style);
    EXPECT_EQ(labelled->tickLabel()->textColor(), UIColor::whiteColor());
    EXPECT_NE(labelled->description().find("; isMajor: NO; tick pos: { 0.00, 0.00 }"), std::string::npos);

    auto stripe = UIView::initWithFrame({ { 0, 0 }, { 10, 10 } });
    parent->addSubview(stripe);
    {
        auto gone = LChartTickMark::init();
        gone->setGridStripeView(stripe);
    }
    EXPECT_EQ(stripe->superview(), nullptr);
}

TEST(LChartTitle, ResizingKeepsThePlacementRule)
{
    auto placed = LChartTitle::init();
    EXPECT_FALSE(placed->userSetFrame());
    placed->setFrame({ { 100, 50 }, { 40, 20 } });
    EXPECT_TRUE(placed->userSetFrame());
    placed->setTitleText("A much longer title");
    EXPECT_EQ(placed->center().x, 120);
    EXPECT_EQ(placed->center().y, 60);
    EXPECT_TRUE(placed->userSetFrame());

    auto automatic = LChartTitle::init();
    automatic->setCenter({ 200, 300 });
    automatic->setTitleText("Altitude");
    EXPECT_FALSE(automatic->userSetFrame());
    EXPECT_EQ(automatic->center().x, 200);
    EXPECT_EQ(automatic->frame().origin.y, 0);
}

TEST(LChartTitle, SetTextAndSizeToFitFollowThePlacementRuleToo)
{
    struct Case {
        const char* name;
        std::function<void(LChartTitle&)> resize;
    };
    const Case cases[] = {
        { "setText", [](LChartTitle& title) { title.setText("A much longer title"); } },
        { "sizeToFit",
            [](LChartTitle& title) {
                title.setFont(UIFont::systemFontOfSize(30));
                title.sizeToFit();
            } },
        // Code that knows the title only as a label or a view reaches the same rule.
        { "setText through a UILabel&",
            [](LChartTitle& title) {
                UILabel& label = title;
                label.setText("A much longer title");
            } },
        { "sizeToFit through a UIView&",
            [](LChartTitle& title) {
                title.setFont(UIFont::systemFontOfSize(30));
                UIView& view = title;
                view.sizeToFit();
            } },
        { "setText through a UILabel&, then sizeToFit through a UIView&",
            [](LChartTitle& title) {
                UILabel& label = title;
                label.setText("A much longer title");
                label.setFont(UIFont::systemFontOfSize(30));
                UIView& view = label;
                view.sizeToFit();
            } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto placed = LChartTitle::init();
        placed->setText("Title");
        placed->setFrame({ { 100, 50 }, { 40, 20 } });
        c.resize(*placed);
        EXPECT_EQ(placed->center().x, 120);
        EXPECT_EQ(placed->center().y, 60);
        EXPECT_GT(placed->frame().size.width, 40);
        EXPECT_TRUE(placed->userSetFrame());

        auto automatic = LChartTitle::init();
        automatic->setText("Title");
        automatic->setCenter({ 200, 300 });
        c.resize(*automatic);
        EXPECT_FALSE(automatic->userSetFrame());
        EXPECT_GT(automatic->frame().size.height, 0);
        EXPECT_FLOAT_EQ(automatic->center().x, 200);
        EXPECT_EQ(automatic->frame().origin.y, 0);
    }
}

namespace {

// Draws the view into a bitmap and answers whether the pixel at (x, y) was painted.
std::vector<bool> paintedPixels(LChartDashedLineView& view, int w, int h)
{
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(w, h), false, 1);
    view.drawRect(view.bounds());
    auto* bytes = static_cast<const uint8_t*>(CGBitmapContextGetData(UIGraphicsGetCurrentContext()));
    size_t stride = CGBitmapContextGetBytesPerRow(UIGraphicsGetCurrentContext());
    std::vector<bool> painted;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = bytes + y * stride + x * 4;
            painted.push_back(p[0] || p[1] || p[2] || p[3]);
        }
    }
    UIGraphicsEndImageContext();
    return painted;
}

} // namespace

TEST(LChartDashedLineView, StrokesAlongTheLongerSide)
{
    auto vertical = LChartDashedLineView::initWithFrame({ { 0, 0 }, { 2, 100 } });
    vertical->setColor(UIColor::redColor());
    auto solid = paintedPixels(*vertical, 2, 100);
    EXPECT_TRUE(std::all_of(solid.begin(), solid.end(), [](bool b) { return b; }));

    vertical->setDashes(Value::array({ Value(10), Value(10) }));
    auto dashed = paintedPixels(*vertical, 2, 100);
    EXPECT_TRUE(dashed[5 * 2]);
    EXPECT_FALSE(dashed[15 * 2]);

    auto square = LChartDashedLineView::initWithFrame({ { 0, 0 }, { 10, 10 } });
    square->setColor(UIColor::redColor());
    square->setDashes(Value::array());
    auto full = paintedPixels(*square, 10, 10);
    EXPECT_TRUE(std::all_of(full.begin(), full.end(), [](bool b) { return b; }));
}
