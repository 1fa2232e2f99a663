#include "charts/view/LChartCanvasUnderlay.h"

#include "graphics/CALayer.h"
#include "graphics/CGImage.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"

#include <gtest/gtest.h>

namespace {

// Draws with `draw` into a 20 x 20 transparent image and answers the alpha of each pixel.
std::vector<uint8_t> alphaAfter(const std::function<void()>& draw)
{
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(20, 20), false, 1);
    draw();
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    const auto& cg = image->CGImage();
    auto bytes = CGDataProviderCopyData(CGImageGetDataProvider(cg));
    bool alphaFirst = CGImageGetAlphaInfo(cg) == kCGImageAlphaPremultipliedFirst;
    bool little = (CGImageGetBitmapInfo(cg) & kCGBitmapByteOrderMask) == kCGBitmapByteOrder32Little;
    size_t offset = alphaFirst == little ? 3 : 0;
    std::vector<uint8_t> alpha;
    for (size_t y = 0; y < 20; ++y)
        for (size_t x = 0; x < 20; ++x)
            alpha.push_back(bytes[y * CGImageGetBytesPerRow(cg) + x * 4 + offset]);
    return alpha;
}

bool painted(const std::vector<uint8_t>& alpha, int x, int y)
{
    return alpha[y * 20 + x] > 127;
}

} // namespace

TEST(LChartCanvasUnderlay, DrawsSeparateSegmentsAndFilledRectangles)
{
    // Two segments from points 0-1 and 2-3; the fifth point has no partner. Nothing joins the
    // end of the first segment to the start of the second.
    auto lines = alphaAfter([] {
        LChartCanvasUnderlay::drawLinesForXCoordsAndYCoordsWithColorAndWidth(
            { 2, 18, 2, 18, 10 }, { 4, 4, 16, 16, 10 }, UIColor::redColor(), 2);
    });
    EXPECT_TRUE(painted(lines, 10, 4));
    EXPECT_TRUE(painted(lines, 10, 16));
    EXPECT_FALSE(painted(lines, 10, 10));
    EXPECT_FALSE(painted(lines, 1, 10));

    auto rects = alphaAfter([] {
        LChartCanvasUnderlay::drawRectsWithColor(
            { CGRectMake(1, 1, 4, 4), CGRectMake(10, 10, 5, 5) }, UIColor::blueColor());
    });
    EXPECT_TRUE(painted(rects, 2, 2));
    EXPECT_TRUE(painted(rects, 12, 12));
    EXPECT_FALSE(painted(rects, 7, 7));

    // The border is the layer's.
    auto underlay = LChartCanvasUnderlay::initWithFrameUsingChart(CGRectMake(0, 0, 50, 50), nullptr);
    EXPECT_TRUE(underlay->clipsToBounds());
    EXPECT_TRUE(CGRectEqualToRect(underlay->drawerArea(), CGRectMake(0, 0, 50, 50)));
    underlay->setBorderThickness(3);
    underlay->setBorderColor(UIColor::redColor());
    EXPECT_EQ(underlay->layer()->borderWidth(), 3);
    EXPECT_TRUE(underlay->layer()->borderColor());
}
