#include "graphics/CGContext.h"
#include "graphics/CGImage.h"
#include "testing/LogCapture.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct FormatCase {
    const char* name;
    CGColorSpaceRef space;
    CGBitmapInfo info;
    size_t bytesPerPixel;
    // Bytes of one pixel after filling with half-transparent red (1, 0, 0, 0.5).
    std::vector<uint8_t> expected;
};

} // namespace

TEST(CGContext, BitmapFormatsReadBackByteByByte)
{
    const FormatCase cases[] = {
        { "RGBA premultiplied last, big-endian", CGColorSpaceCreateDeviceRGB(),
            kCGImageAlphaPremultipliedLast | kCGBitmapByteOrder32Big, 4, { 128, 0, 0, 128 } },
        { "RGBA premultiplied last, default order", CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedLast, 4,
            { 128, 0, 0, 128 } },
        { "BGRA premultiplied first, little-endian", CGColorSpaceCreateDeviceRGB(),
            kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Little, 4, { 0, 0, 128, 128 } },
        { "ARGB premultiplied first, big-endian", CGColorSpaceCreateDeviceRGB(),
            kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Big, 4, { 128, 128, 0, 0 } },
        // Opaque formats show the colour composited over the black they started as.
        { "RGB skip last", CGColorSpaceCreateDeviceRGB(), kCGImageAlphaNoneSkipLast, 4, { 128, 0, 0, 255 } },
        { "alpha only", nullptr, kCGImageAlphaOnly, 1, { 128 } },
        { "grey", CGColorSpaceCreateDeviceGray(), kCGImageAlphaNone, 1, { 38 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t w = 3, h = 2, bpr = w * c.bytesPerPixel + 4; // padded rows stay untouched
        std::vector<uint8_t> memory(bpr * h, 0);
        auto context = CGBitmapContextCreate(memory.data(), w, h, 8, bpr, c.space, c.info);
        ASSERT_TRUE(context);
        CGContextSetRGBFillColor(context, 1, 0, 0, 0.5f);
        // Only the bottom row in user space: that is the last row in memory.
        CGContextFillRect(context, CGRectMake(0, 0, 3, 1));
        const uint8_t* bottom = memory.data() + bpr;
        for (size_t i = 0; i < c.bytesPerPixel; ++i)
            EXPECT_NEAR(bottom[i], c.expected[i], 1) << "byte " << i;
        for (size_t i = 0; i < w * c.bytesPerPixel; ++i)
            EXPECT_EQ(memory[i], c.info == kCGImageAlphaNoneSkipLast && i % 4 == 3 ? 255 : 0) << "top row byte " << i;
        EXPECT_EQ(memory[bpr - 1], 0) << "row padding";
    }
}

TEST(CGContext, RefusesUnsupportedAndAbsurdBitmaps)
{
    LogCapture log;
    EXPECT_FALSE(
        CGBitmapContextCreate(nullptr, 0, 10, 8, 0, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedLast));
    EXPECT_FALSE(CGBitmapContextCreate(
        nullptr, 100000, 100000, 8, 0, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedLast));
    // Straight (non-premultiplied) alpha is not drawable, as on the platform.
    EXPECT_FALSE(CGBitmapContextCreate(nullptr, 4, 4, 8, 0, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaLast));
    EXPECT_FALSE(
        CGBitmapContextCreate(nullptr, 4, 4, 16, 0, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedLast));
    EXPECT_FALSE(
        CGBitmapContextCreate(nullptr, 4, 4, 8, 8, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedLast));
    EXPECT_EQ(log.messages().size(), 5u);
    EXPECT_NE(log.messages()[2].find("unsupported parameter combination"), std::string::npos);
}

namespace {

std::vector<uint8_t> rgbaAt(const CGContextRef& c, size_t x, size_t yFromTop)
{
    const uint8_t* p
        = static_cast<const uint8_t*>(CGBitmapContextGetData(c)) + yFromTop * CGBitmapContextGetBytesPerRow(c) + x * 4;
    return { p[0], p[1], p[2], p[3] };
}

CGContextRef rgbaContext(size_t w, size_t h)
{
    return CGBitmapContextCreate(
        nullptr, w, h, 8, 0, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedLast | kCGBitmapByteOrder32Big);
}

} // namespace

TEST(CGContext, TransformsClipsAndStatesNest)
{
    auto c = rgbaContext(10, 10);
    CGContextSaveGState(c);
    CGContextTranslateCTM(c, 5, 5);
    CGContextClipToRect(c, CGRectMake(0, 0, 5, 5));
    CGContextSetRGBFillColor(c, 0, 1, 0, 1);
    CGContextFillRect(c, CGRectMake(-5, -5, 100, 100));
    CGContextRestoreGState(c);
    EXPECT_TRUE(CGAffineTransformIsIdentity(CGContextGetCTM(c)));
    // The clip was the upper right quarter (y up), i.e. the top right in memory.
    EXPECT_EQ(rgbaAt(c, 7, 2), (std::vector<uint8_t> { 0, 255, 0, 255 }));
    EXPECT_EQ(rgbaAt(c, 2, 7), (std::vector<uint8_t> { 0, 0, 0, 0 }));
    // After restore the clip is gone and the fill colour is black again.
    CGContextFillRect(c, CGRectMake(0, 0, 1, 1));
    EXPECT_EQ(rgbaAt(c, 0, 9), (std::vector<uint8_t> { 0, 0, 0, 255 }));
    CGRect clip = CGContextGetClipBoundingBox(c);
    EXPECT_TRUE(CGRectEqualToRect(clip, CGRectMake(0, 0, 10, 10)));
}

TEST(CGContext, GradientsHonourTheirExtensionOptions)
{
    CGFloat components[] = { 1, 0, 0, 1, 0, 0, 1, 1 };
    auto gradient = CGGradientCreateWithColorComponents(CGColorSpaceCreateDeviceRGB(), components, nullptr, 2);
    struct Case {
        CGGradientDrawingOptions options;
        bool beforeDrawn, afterDrawn;
    } cases[] = { { 0, false, false }, { kCGGradientDrawsBeforeStartLocation, true, false },
        { kCGGradientDrawsAfterEndLocation, false, true },
        { kCGGradientDrawsBeforeStartLocation | kCGGradientDrawsAfterEndLocation, true, true } };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.options);
        auto c = rgbaContext(30, 1);
        CGContextDrawLinearGradient(c, gradient, CGPointMake(10, 0), CGPointMake(20, 0), tc.options);
        EXPECT_EQ(rgbaAt(c, 2, 0)[3], tc.beforeDrawn ? 255 : 0);
        EXPECT_EQ(rgbaAt(c, 27, 0)[3], tc.afterDrawn ? 255 : 0);
        auto middle = rgbaAt(c, 15, 0);
        EXPECT_EQ(middle[3], 255);
        EXPECT_NEAR(middle[0], 115, 20);
        EXPECT_NEAR(middle[2], 140, 20);
        if (tc.beforeDrawn) {
            EXPECT_EQ(rgbaAt(c, 2, 0)[0], 255);
        }
    }

    // Two equal stops make a solid disc; past its end nothing is drawn without the option.
    CGFloat solid[] = { 0, 1, 0, 1, 0, 1, 0, 1 };
    auto disc = CGGradientCreateWithColorComponents(CGColorSpaceCreateDeviceRGB(), solid, nullptr, 2);
    auto c = rgbaContext(20, 20);
    CGContextDrawRadialGradient(c, disc, CGPointMake(10, 10), 0, CGPointMake(10, 10), 5, 0);
    EXPECT_EQ(rgbaAt(c, 10, 10), (std::vector<uint8_t> { 0, 255, 0, 255 }));
    EXPECT_EQ(rgbaAt(c, 1, 1)[3], 0);
    CGContextDrawRadialGradient(
        c, disc, CGPointMake(10, 10), 0, CGPointMake(10, 10), 5, kCGGradientDrawsAfterEndLocation);
    EXPECT_EQ(rgbaAt(c, 1, 1)[3], 255);
}

TEST(CGContext, ImagesRoundTripThroughPNGAndDrawUpright)
{
    auto c = rgbaContext(4, 4);
    CGContextSetRGBFillColor(c, 1, 0, 0, 1);
    CGContextFillRect(c, CGRectMake(0, 2, 4, 2)); // top half red (y up)
    auto image = CGBitmapContextCreateImage(c);
    ASSERT_TRUE(image);
    auto png = CGImageEncodePNG(image);
    ASSERT_TRUE(png);
    auto decoded = CGImageCreateWithEncodedData(*png);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(CGImageGetWidth(decoded), 4u);

    auto target = rgbaContext(4, 4);
    CGContextSetInterpolationQuality(target, kCGInterpolationNone);
    CGContextDrawImage(target, CGRectMake(0, 0, 4, 4), decoded);
    EXPECT_EQ(rgbaAt(target, 1, 0), (std::vector<uint8_t> { 255, 0, 0, 255 }));
    EXPECT_EQ(rgbaAt(target, 1, 3)[3], 0);

    auto cropped = CGImageCreateWithImageInRect(decoded, CGRectMake(1, 0, 2, 2));
    ASSERT_TRUE(cropped);
    EXPECT_EQ(CGImageGetWidth(cropped), 2u);
    EXPECT_EQ(CGImageGetHeight(cropped), 2u);
    EXPECT_FALSE(CGImageCreateWithImageInRect(decoded, CGRectMake(10, 10, 2, 2)));

    auto jpeg = CGImageEncodeJPEG(image, 0.9f);
    ASSERT_TRUE(jpeg);
    auto fromJPEG = CGImageCreateWithEncodedData(*jpeg);
    ASSERT_TRUE(fromJPEG);
    EXPECT_EQ(CGImageGetAlphaInfo(fromJPEG), kCGImageAlphaNoneSkipLast);
}

TEST(CGImage, CorruptDataGivesNull)
{
    auto c = rgbaContext(8, 8);
    auto png = *CGImageEncodePNG(CGBitmapContextCreateImage(c));
    auto jpeg = *CGImageEncodeJPEG(CGBitmapContextCreateImage(c), 0.5f);
    std::vector<std::vector<uint8_t>> inputs = {
        {},
        { 0x89, 'P', 'N', 'G' },
        std::vector<uint8_t>(png.begin(), png.begin() + static_cast<long>(png.size() / 2)),
        std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + 20),
        { 'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0 },
        std::vector<uint8_t>(1000, 0xAB),
    };
    for (size_t i = 0; i < inputs.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(CGImageCreateWithEncodedData(inputs[i]));
    }
}

TEST(CGImage, DecodesTheFirstFrameOfAGIF)
{
    // A 2x1 GIF: palette red and blue, pixels [red, blue], minimum code size 2.
    const uint8_t gif[] = { 'G', 'I', 'F', '8', '9', 'a', 2, 0, 1, 0, 0x80, 0, 0, 255, 0, 0, 0, 0, 255, 0x2C, 0, 0, 0,
        0, 2, 0, 1, 0, 0, 2, 2, 0x44, 0x0A, 0, 0x3B };
    auto image = CGImageCreateWithEncodedData(std::vector<uint8_t>(std::begin(gif), std::end(gif)));
    ASSERT_TRUE(image);
    ASSERT_EQ(CGImageGetWidth(image), 2u);
    const uint8_t* p = image->bytes();
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[2], 0);
    EXPECT_EQ(p[4], 0);
    EXPECT_EQ(p[6], 255);
}

TEST(CGImage, DecodersRefuseDeclaredSizesBeyondTheBitmapLimits)
{
    // A 1x1 frame on a screen of the given size, then a frame of the given size on a 1x1 screen.
    auto gif = [](uint16_t screenW, uint16_t screenH, uint16_t frameW, uint16_t frameH) {
        auto lo = [](uint16_t v) { return uint8_t(v & 0xFF); };
        auto hi = [](uint16_t v) { return uint8_t(v >> 8); };
        return std::vector<uint8_t> { 'G', 'I', 'F', '8', '9', 'a', lo(screenW), hi(screenW), lo(screenH), hi(screenH),
            0x80, 0, 0, 255, 0, 0, 0, 0, 255, 0x2C, 0, 0, 0, 0, lo(frameW), hi(frameW), lo(frameH), hi(frameH), 0, 2, 2,
            0x44, 0x01, 0, 0x3B };
    };
    // A 1x1 JPEG whose frame header then declares another size.
    auto jpeg = [](uint16_t w, uint16_t h) {
        auto pixel = CGBitmapContextCreate(nullptr, 1, 1, 8, 4, CGColorSpaceCreateDeviceRGB(),
            kCGImageAlphaPremultipliedLast | kCGBitmapByteOrder32Big);
        auto encoded = CGImageEncodeJPEG(CGBitmapContextCreateImage(pixel), 0.9f);
        std::vector<uint8_t> bytes = encoded.value_or(std::vector<uint8_t> {});
        for (size_t i = 2; i + 9 < bytes.size(); ++i) {
            if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2)) {
                bytes[i + 5] = uint8_t(h >> 8);
                bytes[i + 6] = uint8_t(h);
                bytes[i + 7] = uint8_t(w >> 8);
                bytes[i + 8] = uint8_t(w);
                break;
            }
        }
        return bytes;
    };
    struct Case {
        const char* name;
        std::vector<uint8_t> data;
        bool decodes;
    } cases[] = {
        { "small GIF", gif(1, 1, 1, 1), true },
        { "GIF screen 65535 x 65535", gif(0xFFFF, 0xFFFF, 1, 1), false },
        { "GIF screen 20000 x 20000 (over the byte limit)", gif(20000, 20000, 1, 1), false },
        { "GIF frame 65535 x 65535", gif(1, 1, 0xFFFF, 0xFFFF), false },
        { "small JPEG", jpeg(1, 1), true },
        { "JPEG 32768 x 32768", jpeg(32768, 32768), false },
        { "JPEG 40000 x 1", jpeg(40000, 1), false },
        { "JPEG cut inside its header",
            [&] {
                auto b = jpeg(1, 1);
                b.resize(30);
                return b;
            }(),
            false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(bool(CGImageCreateWithEncodedData(c.data)), c.decodes);
    }
}

TEST(CGContext, RecordingLogsOperationsInDeviceSpace)
{
    auto c = CGContextCreateRecording(CGSizeMake(100, 100));
    CGContextTranslateCTM(c, 10, 0);
    CGContextSetRGBFillColor(c, 1, 0, 0, 1);
    CGContextFillRect(c, CGRectMake(0, 0, 5, 5));
    CGContextMoveToPoint(c, 0, 0);
    CGContextAddLineToPoint(c, 5, 5);
    CGContextSetLineWidth(c, 2);
    CGContextStrokePath(c);
    auto ops = CGContextGetRecordedOperations(c);
    ASSERT_EQ(ops.size(), 3u);
    EXPECT_EQ(ops[1], "fill M 10 0 L 15 0 L 15 5 L 10 5 Z rgba(1, 0, 0, 1)");
    EXPECT_EQ(ops[2], "stroke M 10 0 L 15 5 width 2 rgba(0, 0, 0, 1)");
    EXPECT_TRUE(CGContextIsPathEmpty(c));
}

TEST(CGContext, ShadowFallsOffsetInBaseSpace)
{
    auto c = rgbaContext(20, 20);
    CGContextSetShadowWithColor(c, CGSizeMake(5, -5), 0, CGColorCreateGenericRGB(0, 0, 1, 1));
    CGContextSetRGBFillColor(c, 1, 0, 0, 1);
    CGContextFillRect(c, CGRectMake(5, 10, 5, 5));
    // Shape at x 5..10, y 10..15 (y up) = rows 5..10 from the top; shadow moved right 5, down 5.
    EXPECT_EQ(rgbaAt(c, 7, 7), (std::vector<uint8_t> { 255, 0, 0, 255 }));
    EXPECT_EQ(rgbaAt(c, 12, 12), (std::vector<uint8_t> { 0, 0, 255, 255 }));
}
