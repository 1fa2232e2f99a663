#include "grid/LGridCellStyle.h"

#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "grid/LGridColRowStyle.h"
#include "grid/LGridGradient.h"
#include "testing/LogCapture.h"

#include <gtest/gtest.h>

TEST(LGridCellStyle, PublicSettersChooseAndPrivateOnesCarry)
{
    auto style = LGridCellStyle::initWithBackgroundColorWithTextColorWithFont(UIColor::redColor(), nullptr, nullptr);
    EXPECT_FALSE(style->textAlignmentSetByUser());
    style->setTextAlignmentPrivately(2);
    EXPECT_EQ(style->textAlignment(), 2);
    EXPECT_FALSE(style->textAlignmentSetByUser());
    style->setContentInset(UIEdgeInsetsMake(1, 2, 3, 4));
    EXPECT_TRUE(style->contentInsetSetByUser());

    auto both = LGridCellStyle::initWithBackgroundColorWithTextColorWithTextAlignmentWithVerticalTextAlignmentWithFont(
        nullptr, nullptr, 1, 2, nullptr);
    EXPECT_TRUE(both->textAlignmentSetByUser());
    EXPECT_TRUE(both->textVerticalAlignmentSetByUser());

    // Overriding takes only chosen values and clears nothing.
    auto base = LGridCellStyle::initWithBackgroundColorWithTextColorWithTextAlignmentWithVerticalTextAlignmentWithFont(
        UIColor::whiteColor(), UIColor::blackColor(), 1, 1, nullptr);
    auto over = LGridCellStyle::init();
    over->setTextAlignmentPrivately(2);
    over->setTextVerticalAlignment(3);
    over->setBackgroundColor(UIColor::blueColor());
    base->overrideWithStyle(over);
    EXPECT_EQ(base->backgroundColor(), UIColor::blueColor());
    EXPECT_TRUE(base->textColor());
    EXPECT_EQ(base->textAlignment(), 1);
    EXPECT_EQ(base->textVerticalAlignment(), 3);
}

TEST(LGridCellStyle, CopiesKeepTheirClassValuesAndFlags)
{
    auto font = UIFont::systemFontOfSize(12);
    auto gradient = LGridGradient::initWithColorsLocations({ UIColor::redColor() }, std::nullopt);
    auto style = LGridColRowStyle::initWithSizeWithBackgroundColorWithTextColorWithFont(
        40, UIColor::redColor(), nullptr, font);
    style->setGradient(gradient);
    style->setTextVerticalAlignment(2);
    style->setMinimumSize(10);
    auto copy = style->copy();
    ASSERT_TRUE(copy->isMemberOfClass(LGridColRowStyle::classObject()));
    EXPECT_NE(copy, style);
    EXPECT_EQ(copy->backgroundColor(), style->backgroundColor());
    EXPECT_EQ(copy->font(), font);
    EXPECT_EQ(copy->gradient(), gradient);
    EXPECT_TRUE(copy->textVerticalAlignmentSetByUser());
    EXPECT_FALSE(copy->textAlignmentSetByUser());
    auto sized = std::static_pointer_cast<LGridColRowStyle>(copy);
    EXPECT_EQ(sized->size(), 40.0f);
    EXPECT_EQ(sized->minimumSize(), 10.0f);
    EXPECT_EQ(copy->description(), style->description());
}

TEST(LGridCellStyle, DescribesItsFields)
{
    auto style = LGridCellStyle::init();
    style->setTextAlignment(1);
    style->setTextVerticalAlignmentPrivately(7);
    EXPECT_EQ(style->description(),
        "[LGridCellStyle backGroundColor:(null), textColor: (null), textAlignment: NSTextAlignmentCenter, "
        "textVerticalAlignment: (null), font: (null) contentInset: "
            + NSStringFromUIEdgeInsets(UIEdgeInsets {}) + "]");
    auto sized = LGridColRowStyle::init();
    sized->setSize(12.5f);
    EXPECT_EQ(sized->description(),
        "[LGridColRowStyle backGroundColor:(null), textColor: (null), textAlignment: NSTextAlignmentLeft, "
        "textVerticalAlignment: UIControlContentVerticalAlignmentCenter, font: (null) contentInset: "
            + NSStringFromUIEdgeInsets(UIEdgeInsets {}) + ", size:12.5, minimumSize:(null)]");
}

TEST(LGridColRowStyle, RefusesNegativeSizesByClearingThem)
{
    LogCapture log;
    auto style = LGridColRowStyle::init();
    style->setSize(30);
    style->setMinimumSize(20);
    style->setSize(-1);
    style->setMinimumSize(-5);
    EXPECT_FALSE(style->size());
    EXPECT_FALSE(style->minimumSize());
    ASSERT_EQ(log.messages().size(), 2u);
    for (const auto& message : log.messages())
        EXPECT_EQ(message.rfind("LGridColRowStyle: size must not be negative\nFrom: [LGridColRowStyle ", 0), 0u);

    auto only = LGridColRowStyle::styleWithSizeWithCellStyle(25, nullptr);
    EXPECT_EQ(only->size(), 25.0f);
    EXPECT_FALSE(only->backgroundColor());
    auto cell = LGridCellStyle::initWithBackgroundColorWithTextColorWithTextAlignmentWithVerticalTextAlignmentWithFont(
        UIColor::redColor(), UIColor::blueColor(), 2, 1, nullptr);
    auto taken = LGridColRowStyle::styleWithSizeWithCellStyle(std::nullopt, cell);
    EXPECT_EQ(taken->backgroundColor(), cell->backgroundColor());
    EXPECT_EQ(taken->textAlignment(), 2);
    EXPECT_TRUE(taken->textAlignmentSetByUser());
    EXPECT_FALSE(taken->contentInsetSetByUser());
}

namespace {

class SizeObserver : public NSObject {
    VX_OBJECT(SizeObserver, NSObject)
public:
    explicit SizeObserver(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<SizeObserver> init() { return make<SizeObserver>(); }
    void observeValueForKeyPath(const std::string& keyPath, const Ref<NSObject>&, const Value& change, void*) override
    {
        seen.push_back(keyPath + "=" + change.objectForKey(Value(NSKeyValueChangeNewKey)).description());
    }
    std::vector<std::string> seen;
};

} // namespace

TEST(LGridColRowStyle, TellsObserversOfEverySizeChange)
{
    LogCapture log;
    auto style = LGridColRowStyle::init();
    auto observer = SizeObserver::init();
    style->addObserver(observer, "size", NSObject::NSKeyValueObservingOptionNew, nullptr);
    style->setSize(44);
    style->setSize(-3);
    style->setSize(std::nullopt);
    style->removeObserver(observer, "size");
    const std::vector<std::string> expected { "size=44", "size=<null>", "size=<null>" };
    EXPECT_EQ(observer->seen, expected);
}
