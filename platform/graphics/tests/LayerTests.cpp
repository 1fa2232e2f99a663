#include "graphics/CALayer.h"
#include "graphics/CATransform3D.h"
#include "graphics/NSValue.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

std::vector<int> pixel(const Ref<UIImage>& image, size_t x, size_t y)
{
    const auto& cg = image->CGImage();
    const uint8_t* p = cg->bytes() + y * cg->bytesPerRow() + x * 4;
    return { p[2], p[1], p[0], p[3] };
}

Ref<UIImage> render(const Ref<CALayer>& layer, CGSize size)
{
    UIGraphicsBeginImageContextWithOptions(size, false, 1);
    layer->renderInContext(UIGraphicsGetCurrentContext());
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

} // namespace

TEST(CATransform3D, ComposesAndInverts)
{
    CATransform3D t
        = CATransform3DRotate(CATransform3DMakeTranslation(10, 0, 0), static_cast<CGFloat>(M_PI / 2), 0, 0, 1);
    CGAffineTransform a = CATransform3DGetAffineTransform(t);
    CGPoint p = CGPointApplyAffineTransform(CGPointMake(1, 0), a);
    EXPECT_NEAR(p.x, 10, 1e-5);
    EXPECT_NEAR(p.y, 1, 1e-5);
    CATransform3D inverse = CATransform3DInvert(t);
    CATransform3D product = CATransform3DConcat(t, inverse);
    const CGFloat* m = &product.m11;
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(m[i], i % 5 == 0 ? 1 : 0, 1e-5) << i;
    EXPECT_TRUE(CATransform3DIsAffine(t));
    CATransform3D perspective = CATransform3DIdentity;
    perspective.m34 = -1.0f / 500;
    EXPECT_FALSE(CATransform3DIsAffine(perspective));
    CATransform3D zero = CATransform3DMakeScale(0, 1, 1);
    EXPECT_TRUE(CATransform3DEqualToTransform(CATransform3DInvert(zero), zero));
}

TEST(CALayer, GeometryFollowsPositionAnchorAndTransform)
{
    auto layer = CALayer::layer();
    layer->setFrame(CGRectMake(10, 20, 100, 50));
    EXPECT_TRUE(CGPointEqualToPoint(layer->position(), CGPointMake(60, 45)));
    EXPECT_TRUE(CGRectEqualToRect(layer->bounds(), CGRectMake(0, 0, 100, 50)));
    layer->setAnchorPoint(CGPointMake(0, 0));
    EXPECT_TRUE(CGRectEqualToRect(layer->frame(), CGRectMake(60, 45, 100, 50)));
    layer->setAnchorPoint(CGPointMake(0.5f, 0.5f));
    layer->setAffineTransform(CGAffineTransformMakeScale(2, 2));
    CGRect frame = layer->frame();
    EXPECT_TRUE(CGRectEqualToRect(frame, CGRectMake(-40, -5, 200, 100)));

    auto root = CALayer::layer();
    root->setFrame(CGRectMake(0, 0, 300, 300));
    auto child = CALayer::layer();
    child->setFrame(CGRectMake(100, 100, 50, 50));
    root->addSublayer(child);
    CGPoint inRoot = child->convertPointToLayer(CGPointMake(5, 5), root);
    EXPECT_TRUE(CGPointEqualToPoint(inRoot, CGPointMake(105, 105)));
    EXPECT_EQ(root->hitTest(CGPointMake(120, 120)), child);
    EXPECT_EQ(root->hitTest(CGPointMake(20, 20)), root);
    EXPECT_FALSE(root->hitTest(CGPointMake(400, 20)));
    child->setHidden(true);
    EXPECT_EQ(root->hitTest(CGPointMake(120, 120)), root);

    // Re-adding moves a layer; removing from the superlayer does not destroy it.
    auto other = CALayer::layer();
    other->addSublayer(child);
    EXPECT_TRUE(root->sublayers().empty());
    EXPECT_EQ(child->superlayer(), other);
    root->insertSublayerAtIndex(child, 0);
    EXPECT_EQ(other->sublayers().size(), 0u);

    layer->setValueForKey(Value(NSValue::valueWithCGPoint(CGPointMake(1, 2))), "position");
    EXPECT_EQ(layer->valueForKey("position").objectAs<NSValue>()->CGPointValue().y, 2);
    layer->setValueForKey(Value(0.25f), "opacity");
    EXPECT_EQ(layer->opacity(), 0.25f);
}

TEST(CALayer, RendersBackgroundBorderCornersAndSublayers)
{
    auto root = CALayer::layer();
    root->setFrame(CGRectMake(0, 0, 20, 20));
    root->setBackgroundColor(UIColor::whiteColor()->CGColor());
    root->setBorderColor(UIColor::blackColor()->CGColor());
    root->setBorderWidth(2);
    auto child = CALayer::layer();
    child->setFrame(CGRectMake(5, 5, 10, 10));
    child->setBackgroundColor(UIColor::redColor()->CGColor());
    child->setCornerRadius(5);
    root->addSublayer(child);
    auto image = render(root, CGSizeMake(20, 20));
    EXPECT_EQ(pixel(image, 0, 0), (std::vector<int> { 0, 0, 0, 255 })); // border
    EXPECT_EQ(pixel(image, 3, 10), (std::vector<int> { 255, 255, 255, 255 })); // background
    EXPECT_EQ(pixel(image, 10, 10), (std::vector<int> { 255, 0, 0, 255 })); // child
    EXPECT_EQ(pixel(image, 5, 5), (std::vector<int> { 255, 255, 255, 255 })); // rounded corner

    // Opacity applies to the layer and its sublayers as one group.
    child->setOpacity(0.5f);
    image = render(root, CGSizeMake(20, 20));
    auto faded = pixel(image, 10, 10);
    EXPECT_NEAR(faded[0], 255, 1);
    EXPECT_NEAR(faded[1], 128, 2);
    // A transform rotates the child about its centre.
    child->setOpacity(1);
    child->setCornerRadius(0);
    child->setFrame(CGRectMake(5, 8, 10, 4));
    child->setAffineTransform(CGAffineTransformMakeRotation(static_cast<CGFloat>(M_PI / 2)));
    image = render(root, CGSizeMake(20, 20));
    EXPECT_EQ(pixel(image, 10, 6), (std::vector<int> { 255, 0, 0, 255 }));
    EXPECT_EQ(pixel(image, 6, 10), (std::vector<int> { 255, 255, 255, 255 }));
}

namespace {

class Painter final : public CALayerDelegate {
public:
    int draws = 0;
    bool drawLayerInContext(CALayer& layer, const CGContextRef& c) override
    {
        ++draws;
        CGContextSetRGBFillColor(c, 0, 0, 1, 1);
        CGContextFillRect(c, layer.bounds());
        return true;
    }
};

} // namespace

TEST(CALayer, DisplayCachesTheDelegatesDrawing)
{
    auto owner = NSObject::init();
    Painter painter;
    auto layer = CALayer::layer();
    layer->setFrame(CGRectMake(0, 0, 4, 4));
    layer->setDelegate(&painter, owner);
    layer->setNeedsDisplay();
    auto image = render(layer, CGSizeMake(4, 4));
    EXPECT_EQ(painter.draws, 1);
    ASSERT_TRUE(layer->contents());
    EXPECT_EQ(pixel(image, 2, 2), (std::vector<int> { 0, 0, 255, 255 }));
    render(layer, CGSizeMake(4, 4));
    EXPECT_EQ(painter.draws, 1);
    // A bounds change redraws only when the layer asks for it.
    layer->setNeedsDisplayOnBoundsChange(true);
    layer->setBounds(CGRectMake(0, 0, 6, 6));
    EXPECT_TRUE(layer->needsDisplay());
    // A delegate whose owner is gone is not called.
    owner.reset();
    layer->display();
    EXPECT_EQ(painter.draws, 1);
}

#include "graphics/CAGradientLayer.h"

TEST(CAGradientLayer, FillsFromTopToBottomByDefault)
{
    auto layer = CAGradientLayer::layer();
    layer->setFrame(CGRectMake(0, 0, 4, 100));
    layer->setColors({ UIColor::colorWithRedGreenBlueAlpha(0, 75.0f / 255, 125.0f / 255, 1)->CGColor(),
        UIColor::colorWithRedGreenBlueAlpha(0, 134.0f / 255, 182.0f / 255, 1)->CGColor() });
    auto image = render(layer, CGSizeMake(4, 100));
    auto top = pixel(image, 2, 0), bottom = pixel(image, 2, 99);
    EXPECT_NEAR(top[1], 75, 2);
    EXPECT_NEAR(bottom[1], 134, 2);
    EXPECT_NEAR(pixel(image, 2, 50)[2], (125 + 182) / 2, 3);
}

#include "testing/GoldenImage.h"
#include "vxbuild/TestPaths.h"

TEST(CALayer, RendersATreeLikeItsGoldenImage)
{
    // A card: rounded white panel with a border and a shadow, a gradient strip and a label-like
    // red block rotated a little, at screen scale 2.
    auto root = CALayer::layer();
    root->setFrame(CGRectMake(0, 0, 64, 48));
    root->setBackgroundColor(UIColor::colorWithWhiteAlpha(0.9f, 1)->CGColor());
    auto card = CALayer::layer();
    card->setFrame(CGRectMake(8, 8, 48, 32));
    card->setBackgroundColor(UIColor::whiteColor()->CGColor());
    card->setCornerRadius(6);
    card->setBorderWidth(1);
    card->setBorderColor(UIColor::darkGrayColor()->CGColor());
    card->setShadowColor(UIColor::blackColor()->CGColor());
    card->setShadowOpacity(0.5f);
    card->setShadowOffset(CGSizeMake(0, 2));
    card->setShadowRadius(2);
    root->addSublayer(card);
    auto strip = CAGradientLayer::layer();
    strip->setFrame(CGRectMake(4, 4, 40, 8));
    strip->setColors({ UIColor::blueColor()->CGColor(), UIColor::cyanColor()->CGColor() });
    strip->setStartPoint(CGPointMake(0, 0.5f));
    strip->setEndPoint(CGPointMake(1, 0.5f));
    card->addSublayer(strip);
    auto block = CALayer::layer();
    block->setFrame(CGRectMake(14, 16, 20, 8));
    block->setBackgroundColor(UIColor::redColor()->CGColor());
    block->setAffineTransform(CGAffineTransformMakeRotation(0.2f));
    card->addSublayer(block);

    UIGraphicsBeginImageContextWithOptions(CGSizeMake(64, 48), true, 2);
    root->renderInContext(UIGraphicsGetCurrentContext());
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    EXPECT_TRUE(GoldenImage::matches(image->CGImage(), std::string(VX_TEST_DIR "/golden/card.png")));
}
