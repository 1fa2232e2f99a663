#include "foundation/NSError.h"
#include "foundation/NSException.h"
#include "foundation/NSRange.h"
#include "graphics/CoreText.h"
#include "graphics/NSAttributedString.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"

#include <gtest/gtest.h>

namespace {
Value fontAttributes(CGFloat size)
{
    return Value::dictionary({ { Value(kCTFontAttributeName), Value(UIFont::fontWithNameSize("Helvetica", size)) } });
}
} // namespace

TEST(NSAttributedString, RunsSplitMergeAndFollowEdits)
{
    auto text = NSAttributedString::initWithString("Hello world", fontAttributes(12));
    text->addAttributeValueRange("NSColor", Value(UIColor::redColor()), { 6, 5 });
    ASSERT_EQ(text->runs().size(), 2u);
    NSRange range;
    text->attributesAtIndexEffectiveRange(7, &range);
    EXPECT_EQ(range, NSMakeRange(6, 5));
    // Same attributes again merge back into one run.
    text->removeAttributeRange("NSColor", { 6, 5 });
    EXPECT_EQ(text->runs().size(), 1u);

    text->addAttributeValueRange(kCTUnderlineStyleAttributeName, Value(1), { 0, 5 });
    text->replaceCharactersInRangeWithString({ 0, 5 }, "Hi");
    EXPECT_EQ(text->string(), "Hi world");
    EXPECT_EQ(text->attributeAtIndexEffectiveRange(kCTUnderlineStyleAttributeName, 1, &range).intValue(), 1);
    EXPECT_EQ(range, NSMakeRange(0, 2));
    text->appendAttributedString(NSAttributedString::initWithString("!"));
    EXPECT_EQ(text->length(), 9u);
    EXPECT_TRUE(text->attributesAtIndexEffectiveRange(8, nullptr).entries().empty());
    auto sub = text->attributedSubstringFromRange({ 1, 3 });
    EXPECT_EQ(sub->string(), "i w");
    EXPECT_THROW(text->attributesAtIndexEffectiveRange(9, nullptr), NSException);
    EXPECT_THROW(text->addAttributeValueRange("x", Value(1), { 8, 5 }), NSException);

    // UTF-16 ranges: an emoji counts two units.
    auto emoji = NSAttributedString::initWithString("a\U0001F600b");
    EXPECT_EQ(emoji->length(), 4u);
    EXPECT_EQ(emoji->attributedSubstringFromRange({ 1, 2 })->string(), "\U0001F600");
}

TEST(CoreText, FramesWrapIntoLinesWithOrigins)
{
    auto text = NSAttributedString::initWithString("one two three four five six seven", fontAttributes(20));
    auto fs = CTFramesetterCreateWithAttributedString(text);
    NSRange fit;
    CGSize suggested = CTFramesetterSuggestFrameSizeWithConstraints(fs, { 0, 0 }, {}, CGSizeMake(120, 1e9f), &fit);
    EXPECT_LE(suggested.width, 120);
    EXPECT_EQ(fit, NSMakeRange(0, text->length()));

    auto frame = CTFramesetterCreateFrame(
        fs, { 0, 0 }, CGPathCreateWithRect(CGRectMake(0, 0, 120, suggested.height), nullptr), {});
    auto lines = CTFrameGetLines(frame);
    ASSERT_GE(lines.size(), 3u);
    auto origins = CTFrameGetLineOrigins(frame, { 0, 0 });
    ASSERT_EQ(origins.size(), lines.size());
    // Baselines go down the frame (y up): each origin is below the one before.
    for (size_t i = 1; i < origins.size(); ++i)
        EXPECT_LT(origins[i].y, origins[i - 1].y);
    // The lines cover the text in order.
    NSUInteger next = 0;
    for (const auto& line : lines) {
        EXPECT_EQ(CTLineGetStringRange(line).location, next);
        next += CTLineGetStringRange(line).length;
        CGFloat ascent, descent;
        double width = CTLineGetTypographicBounds(line, &ascent, &descent, nullptr);
        EXPECT_LE(width, 120.5);
        EXPECT_GT(ascent, 10);
        EXPECT_GT(descent, 2);
    }
    EXPECT_EQ(next, text->length());
    EXPECT_EQ(CTFrameGetVisibleStringRange(frame).length, text->length());

    // A frame one line high shows only the first line.
    CGFloat ascent, descent;
    CTLineGetTypographicBounds(lines[0], &ascent, &descent, nullptr);
    auto short_ = CTFramesetterCreateFrame(
        fs, { 0, 0 }, CGPathCreateWithRect(CGRectMake(0, 0, 120, ascent + descent + 1), nullptr), {});
    EXPECT_EQ(CTFrameGetLines(short_).size(), 1u);
    EXPECT_LT(CTFrameGetVisibleStringRange(short_).length, text->length());
}

TEST(CoreText, IndexesPositionsRunsAndTruncation)
{
    auto text = NSAttributedString::initWithString("abcdef", fontAttributes(20));
    text->addAttributeValueRange(kCTForegroundColorAttributeName, Value(UIColor::blueColor()), { 2, 2 });
    auto line = CTLineCreateWithAttributedString(text);
    ASSERT_TRUE(line);
    double width = CTLineGetTypographicBounds(line, nullptr, nullptr, nullptr);
    EXPECT_EQ(CTLineGetStringIndexForPosition(line, CGPointMake(-5, 0)), 0);
    EXPECT_EQ(CTLineGetStringIndexForPosition(line, CGPointMake(static_cast<CGFloat>(width) + 5, 0)), 6);
    CGFloat third = CTLineGetOffsetForStringIndex(line, 3, nullptr);
    EXPECT_GT(third, 0);
    EXPECT_EQ(CTLineGetStringIndexForPosition(line, CGPointMake(third + 0.5f, 0)), 3);

    auto runs = CTLineGetGlyphRuns(line);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(CTRunGetStringRange(runs[1]), NSMakeRange(2, 2));
    EXPECT_TRUE(CTRunGetAttributes(runs[1])[kCTForegroundColorAttributeName].isObject());
    auto positions = CTRunGetPositions(runs[1], { 0, 0 });
    ASSERT_EQ(positions.size(), 2u);
    EXPECT_NEAR(positions[0].x, CTLineGetOffsetForStringIndex(line, 2, nullptr), 1e-3);

    auto token = CTLineCreateWithAttributedString(NSAttributedString::initWithString("\u2026", fontAttributes(20)));
    auto cut = CTLineCreateTruncatedLine(line, width / 2, kCTLineTruncationEnd, token);
    ASSERT_TRUE(cut);
    EXPECT_LE(CTLineGetTypographicBounds(cut, nullptr, nullptr, nullptr), width / 2);
    EXPECT_EQ(CTLineCreateTruncatedLine(line, width + 1, kCTLineTruncationEnd, token), line);
    EXPECT_FALSE(CTLineCreateTruncatedLine(line, 1, kCTLineTruncationEnd, token));
}

TEST(CoreText, FontsFromDataAndUnknownNames)
{
    EXPECT_EQ(CTFontCreateWithName("NoSuchFace", 14, nullptr)->fontName(), "Helvetica");
    EXPECT_FALSE(CGFontCreateWithDataProvider(CGDataProviderCreateWithData("not a font at all", 17)));
    Ref<NSError> error;
    auto font = std::make_shared<CGFont>(std::vector<uint8_t> { 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 });
    EXPECT_FALSE(CTFontManagerRegisterGraphicsFont(font, &error));
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->localizedDescription().empty());
}

TEST(CoreText, DrawsRunsInTheirColoursOrTheContexts)
{
    auto text = NSAttributedString::initWithString("MMMM", fontAttributes(24));
    text->addAttributeValueRange(kCTForegroundColorAttributeName, Value(UIColor::blueColor()), { 0, 2 });
    text->addAttributeValueRange(kCTForegroundColorFromContextAttributeName, Value(true), { 2, 2 });
    auto context = CGBitmapContextCreate(nullptr, 100, 40, 8, 0, CGColorSpaceCreateDeviceRGB(),
        kCGImageAlphaPremultipliedLast | kCGBitmapByteOrder32Big);
    CGContextSetRGBFillColor(context, 1, 0, 0, 1);
    auto frame = CTFramesetterCreateFrame(CTFramesetterCreateWithAttributedString(text), { 0, 0 },
        CGPathCreateWithRect(CGRectMake(0, 0, 100, 40), nullptr), {});
    CTFrameDraw(frame, context);
    int blue = 0, red = 0;
    auto* p = static_cast<const uint8_t*>(CGBitmapContextGetData(context));
    size_t bpr = CGBitmapContextGetBytesPerRow(context);
    int topRow = 40, bottomRow = -1;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 100; ++x) {
            const uint8_t* px = p + static_cast<size_t>(y) * bpr + static_cast<size_t>(x) * 4;
            if (px[3] == 255 && px[2] == 255 && px[0] == 0)
                ++blue;
            if (px[3] == 255 && px[0] == 255 && px[2] == 0)
                ++red;
            if (px[3]) {
                topRow = std::min(topRow, y);
                bottomRow = std::max(bottomRow, y);
            }
        }
    }
    EXPECT_GT(blue, 20);
    EXPECT_GT(red, 20);
    // Upright text near the top of the frame: the first line's glyphs sit in the upper rows.
    EXPECT_LT(topRow, 10);
    EXPECT_LT(bottomRow, 30);
}
