#include "sdk/HBRAttributedLabel.h"

#include "foundation/NSString.h"
#include "graphics/CGContext.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"
#include "net/NSURL.h"
#include "testing/HostedWindow.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Ref<HBRAttributedLabel> labelWithText(const std::string& text, CGRect frame = CGRectMake(0, 0, 300, 100))
{
    auto label = HBRAttributedLabel::initWithFrame(frame);
    label->setFont(UIFont::systemFontOfSize(15));
    label->setNumberOfLines(0);
    label->setVerticalAlignment(HBRAttributedLabel::Top);
    label->setDataDetectorTypes(UIDataDetectorTypeAll);
    label->setText(text);
    return label;
}

// A point inside a character's glyph on the first line, nearer its leading edge.
CGPoint pointOfCharacter(HBRAttributedLabel& label, NSInteger index)
{
    auto line = CTLineCreateWithAttributedString(label.attributedText());
    CGFloat x = CTLineGetOffsetForStringIndex(line, index, nullptr);
    CGFloat next = CTLineGetOffsetForStringIndex(line, index + 1, nullptr);
    return CGPointMake((3 * x + next) / 4, 8);
}

std::vector<std::string> drawnOperations(HBRAttributedLabel& label)
{
    auto context = CGContextCreateRecording(label.bounds().size);
    UIGraphicsPushContext(context);
    label.drawTextInRect(label.bounds());
    UIGraphicsPopContext();
    return CGContextGetRecordedOperations(context);
}

TEST(HBRAttributedLabel, DetectsLinksAndHitsTheirCharactersOnly)
{
    const std::string text = "See https://air.example/x now";
    auto label = labelWithText(text);
    ASSERT_EQ(label->links().size(), 1u);
    const auto& link = label->links()[0];
    EXPECT_EQ(link.resultType, NSTextCheckingTypeLink);
    EXPECT_EQ(link.URL, "https://air.example/x");
    EXPECT_EQ(link.range().location, 4u);
    EXPECT_EQ(link.range().length, 21u);
    // The link carries the link attributes; the text around it does not.
    auto color = label->attributedText()->attributeAtIndexEffectiveRange(kCTForegroundColorAttributeName, 5, nullptr);
    EXPECT_TRUE(color.objectAs<UIColor>()->isEqual(UIColor::blueColor().get()));
    EXPECT_EQ(
        label->attributedText()->attributeAtIndexEffectiveRange(kCTUnderlineStyleAttributeName, 5, nullptr).intValue(),
        1);
    EXPECT_EQ(
        label->attributedText()->attributeAtIndexEffectiveRange(kCTUnderlineStyleAttributeName, 2, nullptr).intValue(),
        0);
    EXPECT_EQ(label->text(), text);

    // The link's last character belongs to it, the one after does not.
    EXPECT_TRUE(label->linkAtCharacterIndex(24));
    EXPECT_FALSE(label->linkAtCharacterIndex(25));
    EXPECT_FALSE(label->linkAtCharacterIndex(3));

    const NSInteger notFound = NSInteger(NSNotFound);
    EXPECT_EQ(label->characterIndexAtPoint(pointOfCharacter(*label, 0)), 0);
    EXPECT_EQ(label->characterIndexAtPoint(pointOfCharacter(*label, 10)), 10);
    EXPECT_TRUE(label->linkAtPoint(pointOfCharacter(*label, 10)));
    EXPECT_FALSE(label->linkAtPoint(pointOfCharacter(*label, 27)));
    // Blank space right of the short line, below the text and outside the label hit nothing.
    EXPECT_EQ(label->characterIndexAtPoint(CGPointMake(295, 8)), notFound);
    EXPECT_EQ(label->characterIndexAtPoint(CGPointMake(5, 90)), notFound);
    EXPECT_EQ(label->characterIndexAtPoint(CGPointMake(-1, 8)), notFound);
}

TEST(HBRAttributedLabel, DetectorTypesDecideWhatBecomesALink)
{
    const std::string text = "Call +44 20 7946 0958 or see www.air.example on 2014-05-06";
    const struct {
        uint32_t types;
        std::vector<uint64_t> kinds;
    } cases[] = {
        { UIDataDetectorTypeAll, { NSTextCheckingTypePhoneNumber, NSTextCheckingTypeLink, NSTextCheckingTypeDate } },
        { UIDataDetectorTypeLink, { NSTextCheckingTypeLink } },
        { UIDataDetectorTypePhoneNumber | UIDataDetectorTypeCalendarEvent,
            { NSTextCheckingTypePhoneNumber, NSTextCheckingTypeDate } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.types);
        auto label = labelWithText("");
        label->setDataDetectorTypes(c.types);
        label->setText(text);
        std::vector<uint64_t> kinds;
        for (const auto& link : label->links())
            kinds.push_back(link.resultType);
        EXPECT_EQ(kinds, c.kinds);
    }
    auto label = labelWithText("");
    label->setText(text);
    EXPECT_EQ(label->links()[1].URL, "http://www.air.example");
    // Types 0 keep the detector made earlier, but setting text finds nothing.
    label->setDataDetectorTypes(0);
    EXPECT_TRUE(label->dataDetector());
    label->setText(text);
    EXPECT_TRUE(label->links().empty());
}

TEST(HBRAttributedLabel, SameTextKeepsTheLayoutAndAColourChangeRebuildsIt)
{
    auto label = labelWithText("Nothing to see at https://air.example");
    label->textRectForBoundsLimitedToNumberOfLines(label->bounds(), 0);
    uint32_t builds = label->framesetterBuildCount();
    label->setText(label->attributedText());
    label->textRectForBoundsLimitedToNumberOfLines(label->bounds(), 0);
    EXPECT_EQ(label->framesetterBuildCount(), builds);
    label->setTextColor(UIColor::redColor());
    label->textRectForBoundsLimitedToNumberOfLines(label->bounds(), 0);
    EXPECT_EQ(label->framesetterBuildCount(), builds + 1);
}

TEST(HBRAttributedLabel, VerticalAlignmentPlacesTheTextRectangle)
{
    auto label = labelWithText("One line");
    CGRect bounds = label->bounds();
    CGRect top = label->textRectForBoundsLimitedToNumberOfLines(bounds, 0);
    EXPECT_EQ(top.origin.y, 0);
    EXPECT_EQ(top.size.height, bounds.size.height);
    label->setVerticalAlignment(HBRAttributedLabel::Bottom);
    CGRect bottom = label->textRectForBoundsLimitedToNumberOfLines(bounds, 0);
    CGFloat textHeight = std::ceil(label->sizeThatFits(CGSizeMake(300, 0)).height);
    EXPECT_EQ(bottom.origin.y, bounds.size.height - textHeight);
    label->setVerticalAlignment(HBRAttributedLabel::Center);
    CGRect centre = label->textRectForBoundsLimitedToNumberOfLines(bounds, 0);
    CGFloat offset = std::floor((bounds.size.height - textHeight) / 2);
    EXPECT_EQ(centre.origin.y, offset);
    EXPECT_EQ(centre.size.height, textHeight + offset);
}

TEST(HBRAttributedLabel, LastShownLineEndsWithATokenOnlyWhenTextIsLeftOver)
{
    auto lineTexts = [](const std::vector<std::string>& operations) {
        std::vector<std::string> texts;
        for (const auto& op : operations)
            if (op.rfind("textLine \"", 0) == 0)
                texts.push_back(op.substr(10, op.find("\" at ") - 10));
        return texts;
    };
    auto oneLine = HBRAttributedLabel::initWithFrame(CGRectMake(0, 0, 80, 20));
    oneLine->setLineBreakMode(NSLineBreakByTruncatingTail);
    oneLine->setText("A sentence far too long for eighty points");
    auto drawn = lineTexts(drawnOperations(*oneLine));
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_NE(drawn[0].find("\u2026"), std::string::npos);
    EXPECT_EQ(drawn[0].rfind("A ", 0), 0u);

    auto fits = HBRAttributedLabel::initWithFrame(CGRectMake(0, 0, 300, 20));
    fits->setLineBreakMode(NSLineBreakByTruncatingTail);
    fits->setText("Short");
    drawn = lineTexts(drawnOperations(*fits));
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0], "Short");

    // Three lines with middle truncation: the third line is cut at its end.
    auto three = HBRAttributedLabel::initWithFrame(CGRectMake(0, 0, 120, 200));
    three->setNumberOfLines(3);
    three->setLineBreakMode(NSLineBreakByTruncatingMiddle);
    three->setText("one two three four five six seven eight nine ten eleven twelve thirteen fourteen fifteen");
    drawn = lineTexts(drawnOperations(*three));
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[2].find("\u2026"), drawn[2].size() - std::string("\u2026").size());
}

TEST(HBRAttributedLabel, StruckOutRunsGetALineThroughTheirMiddle)
{
    auto label = HBRAttributedLabel::initWithFrame(CGRectMake(0, 0, 300, 40));
    label->setTextAfterInheritingLabelAttributesAndConfiguringWithBlock(
        Value("old new"), [](const Ref<NSAttributedString>& text) {
            text->addAttributeValueRange(kHBRStrikeOutAttributeName, Value(true), { 0, 3 });
            text->addAttributeValueRange(kHBRBackgroundFillColorAttributeName, Value(UIColor::greenColor()), { 4, 3 });
            return text;
        });
    auto operations = drawnOperations(*label);
    int strokes = 0, fills = 0;
    for (const auto& op : operations) {
        strokes += op.rfind("stroke", 0) == 0;
        fills += op.rfind("fill", 0) == 0;
    }
    EXPECT_EQ(strokes, 1);
    EXPECT_EQ(fills, 1);
}

// Delegates that implement some of the date operations.
class DateDelegate : public NSObject, public HBRAttributedLabelDelegate {
    VX_OBJECT(DateDelegate, NSObject)
public:
    explicit DateDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<DateDelegate> init() { return make<DateDelegate>(); }
    bool takesTimeZone = false, takesDate = false;
    std::vector<std::string> calls;
    bool attributedLabelDidSelectLinkWithDate(HBRAttributedLabel&, double) override
    {
        if (takesDate)
            calls.push_back("date");
        return takesDate;
    }
    bool attributedLabelDidSelectLinkWithDateTimeZoneDuration(
        HBRAttributedLabel&, double, const std::string& zone, double) override
    {
        if (takesTimeZone)
            calls.push_back("timeZone " + zone);
        return takesTimeZone;
    }
    bool attributedLabelDidSelectLinkWithTextCheckingResult(HBRAttributedLabel&, const NSTextCheckingResult&) override
    {
        calls.push_back("result");
        return true;
    }
};

TEST(HBRAttributedLabel, TappedDateGoesToTheMostSpecificOperationImplemented)
{
    HostedWindow host;
    const struct {
        bool timeZone, date;
        const char* expected;
    } cases[] = {
        { true, true, "timeZone GMT" },
        { false, true, "date" },
        { false, false, "result" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        auto label = labelWithText("2014-05-06T10:00Z", CGRectMake(0, 0, 300, 40));
        host.window()->addSubview(label);
        auto delegate = DateDelegate::init();
        delegate->takesTimeZone = c.timeZone;
        delegate->takesDate = c.date;
        label->setDelegate(delegate.get(), delegate);
        CGPoint point = pointOfCharacter(*label, 3);
        auto touch = UIApplicationHost::touchDown(point);
        // While pressed the link shows its active colour.
        auto pressed
            = label->attributedText()->attributeAtIndexEffectiveRange(kCTForegroundColorAttributeName, 3, nullptr);
        EXPECT_TRUE(pressed.objectAs<UIColor>()->isEqual(UIColor::redColor().get()));
        UIApplicationHost::touchUp(touch);
        ASSERT_EQ(delegate->calls.size(), 1u);
        EXPECT_EQ(delegate->calls[0], c.expected);
        EXPECT_FALSE(label->inactiveAttributedText());
        label->removeFromSuperview();
    }
}

TEST(HBRAttributedLabel, TouchEndingOffTheLinkSelectsNothing)
{
    HostedWindow host;
    auto label = labelWithText("Go to https://air.example today", CGRectMake(0, 0, 300, 40));
    host.window()->addSubview(label);
    auto delegate = DateDelegate::init();
    label->setDelegate(delegate.get(), delegate);
    auto touch = UIApplicationHost::touchDown(pointOfCharacter(*label, 8));
    UIApplicationHost::touchMove(touch, pointOfCharacter(*label, 1));
    UIApplicationHost::touchUp(touch);
    EXPECT_TRUE(delegate->calls.empty());
    // The link shows inactive again.
    auto color = label->attributedText()->attributeAtIndexEffectiveRange(kCTForegroundColorAttributeName, 8, nullptr);
    EXPECT_TRUE(color.objectAs<UIColor>()->isEqual(UIColor::blueColor().get()));
}

// A message from the service is shown with every detector on: dates in other digits must not
// end the application.
TEST(HBRAttributedLabel, TextWithDatesInOtherDigitsIsShown)
{
    for (const char* text : { "Fixed on \u0661\u0661\u0661\u0661-11-11, thanks",
             "\uFF12\uFF10\uFF11\uFF14-\uFF10\uFF15-\uFF10\uFF16T\uFF11\uFF10:\uFF10\uFF10+\uFF10\uFF12:"
             "\uFF10\uFF10" }) {
        SCOPED_TRACE(text);
        Ref<HBRAttributedLabel> label;
        ASSERT_NO_THROW(label = labelWithText(text));
        ASSERT_EQ(label->links().size(), 1u);
        EXPECT_EQ(label->links()[0].resultType, NSTextCheckingTypeDate);
    }
}

} // namespace
