#include "graphics/CGContext.h"
#include "graphics/CGImage.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {
Value withFont(const Ref<UIFont>& font)
{
    return Value::dictionary({ { Value(NSFontAttributeName), Value(font) } });
}
} // namespace

TEST(UIFont, ResolvesPlatformNamesThroughTheAliasTable)
{
    struct Case {
        const char* name;
        bool exists;
        const char* family;
        bool bold;
    } cases[] = {
        { "Helvetica", true, "Helvetica", false },
        { "Helvetica-Bold", true, "Helvetica", true },
        { "HelveticaNeue-Light", true, "Helvetica Neue", false },
        { "HelveticaNeue Bold", true, "Helvetica Neue", true },
        { "EuphemiaUCAS", true, "Euphemia UCAS", false },
        { "Thonburi-Bold", true, "Thonburi", true },
        { "Futura", true, "Futura", false },
        { "ComicSansNowhere", false, "", false },
        { "", false, "", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto font = UIFont::fontWithNameSize(c.name, 17);
        ASSERT_EQ(static_cast<bool>(font), c.exists);
        if (!font)
            continue;
        EXPECT_EQ(font->familyName(), c.family);
        EXPECT_EQ(font->isBold(), c.bold);
        EXPECT_EQ(font->pointSize(), 17);
    }
    auto system = UIFont::systemFontOfSize(10);
    EXPECT_GT(system->ascender(), 0);
    EXPECT_LT(system->descender(), 0);
    EXPECT_NEAR(system->lineHeight(), system->ascender() - system->descender(), 1e-4);
    EXPECT_LT(system->underlinePosition(), 0);
    EXPECT_GT(system->underlineThickness(), 0);
}

TEST(UIFont, PreferredFontsFollowTheContentSizeCategory)
{
    EXPECT_EQ(UIFont::preferredFontForTextStyle(UIFontTextStyleBody)->pointSize(), 17);
    EXPECT_TRUE(UIFont::preferredFontForTextStyle(UIFontTextStyleHeadline)->isBold());
    UIFont::setContentSizeCategory("UICTContentSizeCategoryXXXL");
    EXPECT_EQ(UIFont::preferredFontForTextStyle(UIFontTextStyleBody)->pointSize(), 23);
    EXPECT_EQ(UIFont::preferredFontForTextStyle(UIFontTextStyleCaption2)->pointSize(), 17);
    UIFont::setContentSizeCategory("UICTContentSizeCategoryL");
    EXPECT_FALSE(UIFont::preferredFontForTextStyle("NoSuchStyle"));
}

TEST(NSStringDrawing, MeasuresDeterministically)
{
    auto font = UIFont::fontWithNameSize("Helvetica", 20);
    CGSize one = NSString_Drawing::sizeWithAttributes("Hello", withFont(font));
    CGSize two = NSString_Drawing::sizeWithAttributes("HelloHello", withFont(font));
    EXPECT_GT(one.width, 40);
    EXPECT_LT(one.width, 60);
    EXPECT_NEAR(two.width, 2 * one.width, 0.01);
    EXPECT_NEAR(one.height, font->lineHeight(), 0.5);
    // Measurement scales linearly with the point size: no hinting, 72 dpi.
    CGSize big = NSString_Drawing::sizeWithAttributes("Hello", withFont(font->fontWithSize(40)));
    EXPECT_NEAR(big.width, 2 * one.width, 0.05);

    std::string text = "The quick brown fox jumps over the lazy dog again and again";
    CGRect wrapped = NSString_Drawing::boundingRectWithSize(
        text, CGSizeMake(100, 1000), NSStringDrawingUsesLineFragmentOrigin, withFont(font));
    EXPECT_LE(wrapped.size.width, 100);
    EXPECT_GT(wrapped.size.height, 4 * font->lineHeight() - 1);
    CGRect limited = NSString_Drawing::boundingRectWithSize(text, CGSizeMake(100, 2.5f * font->lineHeight()),
        NSStringDrawingUsesLineFragmentOrigin | NSStringDrawingTruncatesLastVisibleLine, withFont(font));
    EXPECT_NEAR(limited.size.height, 2 * font->lineHeight(), 1);
    CGRect single = NSString_Drawing::boundingRectWithSize(text, CGSizeMake(100, 1000), 0, withFont(font));
    EXPECT_GT(single.size.width, 300);
    EXPECT_TRUE(CGSizeEqualToSize(NSString_Drawing::sizeWithAttributes("", withFont(font)), CGSizeMake(0, one.height)));
}

TEST(NSStringDrawing, DrawsInTheCurrentContextWithColour)
{
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(40, 30), false, 1);
    NSString_Drawing::drawInRect("MMM", CGRectMake(0, 0, 40, 30),
        Value::dictionary({ { Value(NSFontAttributeName), Value(UIFont::boldSystemFontOfSize(24)) },
            { Value(NSForegroundColorAttributeName), Value(UIColor::redColor()) } }));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    ASSERT_TRUE(image);
    // Some pixels are red and opaque; none are any other colour.
    const auto& cg = image->CGImage();
    int red = 0, other = 0;
    for (size_t y = 0; y < cg->height(); ++y) {
        for (size_t x = 0; x < cg->width(); ++x) {
            const uint8_t* p = cg->bytes() + y * cg->bytesPerRow() + x * 4;
            if (p[3] == 255 && p[2] == 255 && p[1] == 0 && p[0] == 0)
                ++red;
            else if (p[3] && (p[1] || p[0]))
                ++other;
        }
    }
    EXPECT_GT(red, 20);
    EXPECT_EQ(other, 0);
}

TEST(UIFont, RegistersFontDataAndRejectsGarbage)
{
    std::string error;
    EXPECT_EQ(UIFont::registerFontData({ 1, 2, 3 }, &error), "");
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_EQ(UIFont::registerFontData(std::vector<uint8_t>(100, 0x42), &error), "");
    EXPECT_FALSE(error.empty());
}

TEST(NSStringDrawing, MeasuresTheBundledFacesExactly)
{
    // Pinned faces at 72 dpi without hinting give the same figures on every machine.
    struct Case {
        const char* font;
        CGFloat width, height, ascender, descender;
    } cases[] = {
        { "Helvetica", 132.321289f, 18.992188f, 15.389648f, -3.602539f },
        { "Helvetica-Bold", 138.596680f, 18.992188f, 15.389648f, -3.602539f },
        { "EuphemiaUCAS", 151.504883f, 19.789062f, 15.780273f, -4.008789f },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.font);
        auto font = UIFont::fontWithNameSize(c.font, 17);
        CGSize size = NSString_Drawing::sizeWithAttributes("Volantrix 747-400", withFont(font));
        EXPECT_NEAR(size.width, c.width, 1e-3);
        EXPECT_NEAR(size.height, c.height, 1e-3);
        EXPECT_NEAR(font->ascender(), c.ascender, 1e-3);
        EXPECT_NEAR(font->descender(), c.descender, 1e-3);
    }
}

TEST(NSStringDrawing, LaysOutOnlyWhatCanBeSeen)
{
    auto font = UIFont::fontWithNameSize("Helvetica", 12);
    const std::string huge(200000, 'W');

    // Measuring stops where no bitmap could show more: a longer string measures the same.
    CGSize measured = NSString_Drawing::sizeWithFont(huge, font);
    EXPECT_GE(measured.width, CGFloat(kCGMaximumBitmapDimension));
    EXPECT_EQ(measured.width, NSString_Drawing::sizeWithFont(huge + huge, font).width);
    EXPECT_EQ(NSString_Drawing::sizeWithFont("WWW", font).width, 3 * NSString_Drawing::sizeWithFont("W", font).width);

    // Drawing lays out no more than the rect can show: the recorded text is cut.
    auto recording = CGContextCreateRecording(CGSizeMake(100, 20));
    UIGraphicsPushContext(recording);
    NSString_Drawing::drawInRectWithFont(
        huge, CGRectMake(0, 0, 100, 20), font, NSLineBreakByTruncatingTail, NSTextAlignmentLeft);
    NSString_Drawing::drawAtPointWithFont(huge, CGPointMake(0, 0), font);
    UIGraphicsPopContext();
    int texts = 0;
    for (const auto& operation : CGContextGetRecordedOperations(recording)) {
        if (operation.rfind("text ", 0) != 0)
            continue;
        ++texts;
        EXPECT_LT(operation.size(), 5000u);
    }
    EXPECT_EQ(texts, 2);

    // What shows is what the whole string shows, whichever end the line break mode keeps.
    auto render = [&](const std::string& text, NSLineBreakMode mode) {
        UIGraphicsBeginImageContextWithOptions(CGSizeMake(100, 20), false, 1);
        NSString_Drawing::drawInRectWithFont(text, CGRectMake(0, 0, 100, 20), font, mode, NSTextAlignmentLeft);
        auto image = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        const auto& cg = image->CGImage();
        return std::vector<uint8_t>(cg->bytes(), cg->bytes() + cg->height() * cg->bytesPerRow());
    };
    const std::string filler(200000, 'x'), shortFiller(1000, 'x');
    struct Case {
        NSLineBreakMode mode;
        std::string shortText;
    } cases[] = {
        { NSLineBreakByTruncatingTail, "START" + shortFiller },
        { NSLineBreakByTruncatingHead, shortFiller + "END" },
        { NSLineBreakByTruncatingMiddle, "START" + shortFiller + "END" },
        { NSLineBreakByWordWrapping, "START" + shortFiller },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.mode));
        EXPECT_EQ(render("START" + filler + "END", c.mode), render(c.shortText, c.mode));
    }
}

// The font-based forms paint in the colour the caller set on the context ([UIColor set]), the
// attribute forms in their foreground colour (black by default).
TEST(NSStringDrawing, FontFormsPaintInTheContextsFillColour)
{
    auto font = UIFont::fontWithNameSize("Helvetica", 20);
    struct Case {
        const char* name;
        std::function<void()> draw;
        uint8_t red, green, blue;
    } cases[] = {
        { "drawInRectWithFont in red",
            [&] {
                UIColor::redColor()->set();
                NSString_Drawing::drawInRectWithFont(
                    "WWW", CGRectMake(0, 0, 60, 30), font, NSLineBreakByClipping, NSTextAlignmentLeft);
            },
            255, 0, 0 },
        { "drawAtPointWithFont in white",
            [&] {
                UIColor::whiteColor()->set();
                NSString_Drawing::drawAtPointWithFont("WWW", CGPointMake(0, 0), font);
            },
            255, 255, 255 },
        { "drawInRect without a colour",
            [&] {
                UIColor::redColor()->set();
                NSString_Drawing::drawInRect("WWW", CGRectMake(0, 0, 60, 30),
                    Value::dictionary({ { Value(NSFontAttributeName), Value(font) } }));
            },
            0, 0, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UIGraphicsBeginImageContextWithOptions(CGSizeMake(60, 30), false, 1);
        c.draw();
        auto context = UIGraphicsGetCurrentContext();
        auto* bytes = static_cast<const uint8_t*>(CGBitmapContextGetData(context));
        size_t row = CGBitmapContextGetBytesPerRow(context);
        // The most opaque pixel of the text, premultiplied bytes in the context's order.
        const uint8_t* best = nullptr;
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 60; ++x) {
                const uint8_t* pixel = bytes + y * row + x * 4;
                if (!best || pixel[3] > best[3])
                    best = pixel;
            }
        }
        ASSERT_TRUE(best);
        ASSERT_EQ(best[3], 255);
        // RGBA or BGRA: red and blue may swap, green sits in the middle either way.
        EXPECT_EQ(best[1], c.green);
        EXPECT_EQ(std::max(best[0], best[2]), std::max(c.red, c.blue));
        EXPECT_EQ(std::min(best[0], best[2]), std::min(c.red, c.blue));
        UIGraphicsEndImageContext();
    }
}
