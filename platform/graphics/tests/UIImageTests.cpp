#include "foundation/Value.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "testing/LogCapture.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// Premultiplied BGRA pixel of an image made by an image context, as RGBA.
std::vector<int> pixel(const Ref<UIImage>& image, size_t x, size_t y)
{
    const auto& cg = image->CGImage();
    const uint8_t* p = cg->bytes() + y * cg->bytesPerRow() + x * 4;
    return { p[2], p[1], p[0], p[3] };
}

Ref<UIImage> solid(CGSize size, CGFloat scale, const Ref<UIColor>& color)
{
    UIGraphicsBeginImageContextWithOptions(size, false, scale);
    color->setFill();
    UIRectFill(CGRectMake(0, 0, size.width, size.height));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

} // namespace

TEST(UIGraphics, ImageContextsAreTopLeftPointsAtScale)
{
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(4, 3), false, 2);
    ASSERT_TRUE(UIGraphicsGetCurrentContext());
    UIColor::redColor()->setFill();
    UIRectFill(CGRectMake(0, 0, 4, 1)); // the top point row
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    EXPECT_FALSE(UIGraphicsGetCurrentContext());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->scale(), 2);
    EXPECT_TRUE(CGSizeEqualToSize(image->size(), CGSizeMake(4, 3)));
    EXPECT_EQ(CGImageGetWidth(image->CGImage()), 8u);
    EXPECT_EQ(pixel(image, 3, 1), (std::vector<int> { 255, 0, 0, 255 }));
    EXPECT_EQ(pixel(image, 3, 2)[3], 0);

    // Absurd sizes push nothing and say why.
    LogCapture log;
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(0, 10), false, 1);
    EXPECT_FALSE(UIGraphicsGetCurrentContext());
    EXPECT_FALSE(UIGraphicsGetImageFromCurrentImageContext());
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(-5, 10), false, 1);
    EXPECT_FALSE(UIGraphicsGetCurrentContext());
    ASSERT_EQ(log.messages().size(), 2u);
    EXPECT_NE(log.messages()[1].find("size={-5, 10}"), std::string::npos);
}

TEST(UIGraphics, TranslucentDrawingStaysWhereItIsDrawn)
{
    // Alpha, shadows and masks composite through a group; in a flipped (top-left) context the
    // group must land where it was drawn, not mirrored.
    struct Case {
        const char* name;
        CGFloat alpha;
        bool shadow;
        bool layer;
    };
    const Case cases[] { { "opaque", 1, false, false }, { "translucent", 0.5f, false, false },
        { "shadowed", 1, true, false }, { "transparency layer", 0.5f, false, true } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UIGraphicsBeginImageContextWithOptions(CGSizeMake(4, 4), true, 1);
        auto context = UIGraphicsGetCurrentContext();
        UIColor::whiteColor()->setFill();
        UIRectFill(CGRectMake(0, 0, 4, 4));
        // A moved and scaled user space, clipped, as a map tile's drawing has.
        CGContextScaleCTM(context, 0.5f, 0.5f);
        CGContextTranslateCTM(context, 2, 0);
        CGContextClipToRect(context, CGRectMake(-2, 0, 8, 8));
        CGContextSetAlpha(context, c.alpha);
        if (c.shadow)
            CGContextSetShadowWithColor(context, CGSizeMake(0, 0), 0, UIColor::clearColor()->CGColor());
        if (c.layer)
            CGContextBeginTransparencyLayer(context, Value());
        UIColor::redColor()->setFill();
        CGContextFillRect(context, CGRectMake(-2, 0, 8, 2)); // the top row
        if (c.layer)
            CGContextEndTransparencyLayer(context);
        auto image = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        EXPECT_LT(pixel(image, 1, 0)[1], 200) << "the top row is red";
        EXPECT_EQ(pixel(image, 1, 3)[1], 255) << "the bottom row stays white";
    }
}

TEST(UIImage, DrawsUprightAndRoundTripsThroughPNG)
{
    // Top half red, bottom half blue.
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(2, 2), false, 1);
    UIColor::redColor()->setFill();
    UIRectFill(CGRectMake(0, 0, 2, 1));
    UIColor::blueColor()->setFill();
    UIRectFill(CGRectMake(0, 1, 2, 1));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();

    Value png = UIImagePNGRepresentation(image);
    ASSERT_TRUE(png.isData());
    auto decoded = UIImage::imageWithData(png);
    ASSERT_TRUE(decoded);

    UIGraphicsBeginImageContextWithOptions(CGSizeMake(4, 4), false, 1);
    decoded->drawInRect(CGRectMake(0, 0, 4, 4));
    auto drawn = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    EXPECT_EQ(pixel(drawn, 1, 0), (std::vector<int> { 255, 0, 0, 255 }));
    EXPECT_EQ(pixel(drawn, 1, 3), (std::vector<int> { 0, 0, 255, 255 }));

    EXPECT_FALSE(UIImage::imageWithData(Value::data(std::vector<uint8_t> { 1, 2, 3 })));
    EXPECT_FALSE(UIImage::imageWithData(Value("not data")));
    EXPECT_TRUE(UIImageJPEGRepresentation(image, 0.8f).isData());
    EXPECT_TRUE(UIImagePNGRepresentation(nullptr).isNil());
}

TEST(UIImage, OrientationSwapsSize)
{
    auto image = solid(CGSizeMake(4, 2), 1, UIColor::greenColor());
    auto left = UIImage::imageWithCGImage(image->CGImage(), 2, UIImageOrientationLeft);
    EXPECT_TRUE(CGSizeEqualToSize(left->size(), CGSizeMake(1, 2)));
    auto down = UIImage::imageWithCGImage(image->CGImage(), 1, UIImageOrientationDown);
    EXPECT_TRUE(CGSizeEqualToSize(down->size(), CGSizeMake(4, 2)));
}

TEST(UIImage, ResizableImagesKeepTheirCaps)
{
    // A 3x3 image: red frame, green centre; caps of one point on each side.
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(3, 3), false, 1);
    UIColor::redColor()->setFill();
    UIRectFill(CGRectMake(0, 0, 3, 3));
    UIColor::greenColor()->setFill();
    UIRectFill(CGRectMake(1, 1, 1, 1));
    auto framed
        = UIGraphicsGetImageFromCurrentImageContext()->resizableImageWithCapInsets(UIEdgeInsetsMake(1, 1, 1, 1));
    UIGraphicsEndImageContext();
    EXPECT_EQ(framed->capInsets().left, 1);
    EXPECT_EQ(framed->resizingMode(), UIImageResizingModeTile);

    UIGraphicsBeginImageContextWithOptions(CGSizeMake(10, 6), false, 1);
    framed->drawInRect(CGRectMake(0, 0, 10, 6));
    auto drawn = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    EXPECT_EQ(pixel(drawn, 0, 0), (std::vector<int> { 255, 0, 0, 255 }));
    EXPECT_EQ(pixel(drawn, 9, 5), (std::vector<int> { 255, 0, 0, 255 }));
    EXPECT_EQ(pixel(drawn, 5, 3), (std::vector<int> { 0, 255, 0, 255 }));
    EXPECT_EQ(pixel(drawn, 5, 0), (std::vector<int> { 255, 0, 0, 255 }));
    EXPECT_EQ(pixel(drawn, 0, 3), (std::vector<int> { 255, 0, 0, 255 }));
}

TEST(UIColor, ComponentsAndPatterns)
{
    CGFloat r, g, b, a;
    ASSERT_TRUE(UIColor::orangeColor()->getRedGreenBlueAlpha(&r, &g, &b, &a));
    EXPECT_EQ(g, 0.5f);
    EXPECT_EQ(UIColor::grayColor()->description(), "UIDeviceWhiteColorSpace 0.5 1");
    EXPECT_EQ(UIColor::lightTextColor()->description(), "UIDeviceWhiteColorSpace 1 0.6");
    EXPECT_EQ(UIColor::colorWithRedGreenBlueAlpha(1, 0, 0, 1)->description(), "UIDeviceRGBColorSpace 1 0 0 1");
    EXPECT_TRUE(UIColor::redColor()->isEqual(UIColor::colorWithRedGreenBlueAlpha(1, 0, 0, 1).get()));
    CGFloat h, s, v;
    ASSERT_TRUE(UIColor::colorWithHueSaturationBrightnessAlpha(2.0f / 3, 1, 1, 1)
                    ->getHueSaturationBrightnessAlpha(&h, &s, &v, &a));
    EXPECT_NEAR(h, 2.0 / 3, 1e-5);
    EXPECT_EQ(CGColorGetNumberOfComponents(UIColor::whiteColor()->CGColor()), 2u);

    // A pattern colour tiles its image.
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(2, 1), false, 1);
    UIColor::redColor()->setFill();
    UIRectFill(CGRectMake(0, 0, 1, 1));
    UIColor::blueColor()->setFill();
    UIRectFill(CGRectMake(1, 0, 1, 1));
    auto tile = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    auto pattern = UIColor::colorWithPatternImage(tile);
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(6, 2), false, 1);
    pattern->setFill();
    CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(0, 0, 6, 2));
    auto filled = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    EXPECT_EQ(pixel(filled, 4, 1), (std::vector<int> { 255, 0, 0, 255 }));
    EXPECT_EQ(pixel(filled, 5, 0), (std::vector<int> { 0, 0, 255, 255 }));
}

#include "foundation/NSFileManager.h"

#include <fstream>

TEST(UIImage, NamedImagesPreferTheScreensScale)
{
    char dir[] = "/tmp/vx-images-XXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    auto write = [&](const std::string& name, CGSize size) {
        auto png = UIImagePNGRepresentation(solid(size, 1, UIColor::redColor()));
        std::ofstream(std::string(dir) + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(png.bytes().data()), static_cast<std::streamsize>(png.bytes().size()));
    };
    write("marker.png", CGSizeMake(10, 10));
    write("marker@2x.png", CGSizeMake(20, 20));
    write("only.png", CGSizeMake(3, 3));
    UIImage::setNamedImageDirectory(dir);
    struct Case {
        CGFloat screenScale;
        const char* name;
        CGFloat scale;
        CGSize size;
    } cases[] = {
        { 1, "marker", 1, { 10, 10 } },
        { 2, "marker", 2, { 10, 10 } },
        { 2, "marker.png", 2, { 10, 10 } },
        { 2, "only", 1, { 3, 3 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(c.screenScale));
        UIGraphicsSetScreenScale(c.screenScale);
        UIImage::clearNamedImageCache();
        auto image = UIImage::imageNamed(c.name);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->scale(), c.scale);
        EXPECT_TRUE(CGSizeEqualToSize(image->size(), c.size));
    }
    EXPECT_FALSE(UIImage::imageNamed("missing"));
    EXPECT_EQ(UIImage::imageNamed("only"), UIImage::imageNamed("only")); // cached
    UIGraphicsSetScreenScale(1);
    UIImage::setNamedImageDirectory({});
    NSFileManager::defaultManager()->removeItemAtPath(dir, nullptr);
}
