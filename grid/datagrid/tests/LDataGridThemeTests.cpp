#include "grid/datagrid/LDataGridTheme.h"

#include "foundation/NSException.h"
#include "graphics/CAGradientLayer.h"
#include "graphics/CGColor.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "grid/LGridCellStyle.h"
#include "grid/LGridColRowStyle.h"
#include "grid/LGridGradient.h"
#include "grid/LGridLineStyle.h"
#include "grid/LGridSectionHeaderStyle.h"
#include "grid/datagrid/LDataGridCellStyle.h"
#include "grid/datagrid/LDataGridGradient.h"
#include "grid/datagrid/LDataGridLineStyle.h"
#include "grid/datagrid/LDataGridSectionHeaderStyle.h"
#include "grid/datagrid/UIColor+hex.h"
#include "grid/datagrid/tests/DataGridTestSupport.h"
#include "testing/LogCapture.h"

#include <array>

namespace {

std::array<CGFloat, 4> components(const Ref<UIColor>& colour)
{
    CGFloat r = 0, g = 0, b = 0, a = 0;
    colour->getRedGreenBlueAlpha(&r, &g, &b, &a);
    return { r, g, b, a };
}

} // namespace

TEST(UIColor_hex, ColourFromRecordAndNoColour)
{
    auto colour = UIColor_hex::colorWithHexAlpha(0x0274ee, 1);
    ASSERT_TRUE(colour);
    auto c = components(colour);
    EXPECT_FLOAT_EQ(c[0], 2 / 255.0f);
    EXPECT_FLOAT_EQ(c[1], 116 / 255.0f);
    EXPECT_FLOAT_EQ(c[2], 238 / 255.0f);
    EXPECT_FLOAT_EQ(c[3], 1);
    EXPECT_FALSE(UIColor_hex::colorWithHexAlpha(0x0274ee, -1));
    EXPECT_TRUE(UIColor_hex::colorFromStruct({ 0x0274ee, -0.5f }));
}

// The nine colours of each theme, to the unit of 255; theme 0 has no alternate background.
TEST_F(LDataGridThemeTest, EachThemeHasItsNineColours)
{
    using Accessor = Ref<UIColor> (*)();
    struct Entry {
        const char* name;
        Accessor colour;
        std::array<int, 3> rgb[3];
    };
    const Entry entries[] = {
        { "cell background", LDataGridTheme::initialThemeCellBackgroundColor,
            { { 255, 255, 255 }, { 248, 251, 255 }, { 77, 84, 103 } } },
        { "cell selection", LDataGridTheme::initialThemeCellSelectionColor,
            { { 2, 116, 238 }, { 59, 161, 173 }, { 148, 93, 183 } } },
        { "alternate cell background", LDataGridTheme::initialThemeCellBackgroundColorAlternate,
            { { -1, -1, -1 }, { 222, 228, 235 }, { 50, 57, 74 } } },
        { "header cell", LDataGridTheme::initialThemeHeaderCellColor,
            { { 255, 255, 255 }, { 154, 177, 204 }, { 227, 209, 88 } } },
        { "section header background", LDataGridTheme::initialThemeSectionHeaderBackgroundColor,
            { { 85, 85, 85 }, { 143, 156, 171 }, { 36, 42, 57 } } },
        { "header cell text", LDataGridTheme::initialThemeHeaderCellFontColor,
            { { 113, 120, 128 }, { 248, 251, 255 }, { 248, 251, 255 } } },
        { "section header text", LDataGridTheme::initialThemeSectionHeaderFontColor,
            { { 255, 255, 255 }, { 248, 251, 255 }, { 248, 251, 255 } } },
        { "cell text", LDataGridTheme::initialThemeCellFontColor, { { 0, 0, 0 }, { 76, 84, 95 }, { 196, 204, 218 } } },
        { "selected cell text", LDataGridTheme::initialThemeSelectedCellFontColor,
            { { 255, 255, 255 }, { 248, 251, 255 }, { 196, 204, 218 } } },
    };
    for (int32_t theme : { 0, 1, 2 }) {
        LDataGridTheme::setInitialTheme(theme);
        for (const auto& entry : entries) {
            SCOPED_TRACE(testing::Message() << "theme " << theme << ", " << entry.name);
            const auto& rgb = entry.rgb[theme];
            auto colour = entry.colour();
            if (rgb[0] < 0) {
                EXPECT_FALSE(colour);
                continue;
            }
            ASSERT_TRUE(colour);
            auto c = components(colour);
            EXPECT_NEAR(c[0] * 255, rgb[0], 1e-3);
            EXPECT_NEAR(c[1] * 255, rgb[1], 1e-3);
            EXPECT_NEAR(c[2] * 255, rgb[2], 1e-3);
            EXPECT_FLOAT_EQ(c[3], 1);
        }
    }
}

// Theme 0 has no alternating style and an empty row gradient; themes 1 and 2 carry both.
TEST_F(LDataGridThemeTest, DefaultStylesFollowTheCurrentTheme)
{
    auto row = LDataGridTheme::defaultRowStyle();
    EXPECT_FALSE(LDataGridTheme::defaultAlternatingRowStyle());
    ASSERT_TRUE(row->gradient());
    EXPECT_TRUE(row->gradient()->colors().empty());
    EXPECT_EQ(row->contentInset().left, 22);
    EXPECT_TRUE(row->cellStyle()->contentInsetSetByUser());
    EXPECT_FALSE(row->cellStyle()->textAlignmentSetByUser());
    EXPECT_TRUE(row->cellStyle()->textVerticalAlignmentSetByUser());
    EXPECT_EQ(components(row->backgroundColor())[0], 1);

    auto header = LDataGridTheme::defaultHeaderRowStyle();
    EXPECT_EQ(header->gradient()->colors().size(), 4u);
    EXPECT_TRUE(header->cellStyle()->textAlignmentSetByUser());
    EXPECT_EQ(LDataGridTheme::defaultSectionHeaderStyle()->height(), 36);
    auto line = LDataGridTheme::defaultGridLineStyle();
    EXPECT_EQ(line->width(), 1);
    EXPECT_FLOAT_EQ(components(line->color())[3], 0.22f);

    for (int32_t theme : { 1, 2 }) {
        SCOPED_TRACE(theme);
        LDataGridTheme::setInitialTheme(theme);
        auto alternate = LDataGridTheme::defaultAlternatingRowStyle();
        ASSERT_TRUE(alternate);
        EXPECT_EQ(alternate->gradient()->colors().size(), 3u);
        EXPECT_EQ(LDataGridTheme::defaultRowStyle()->gradient()->colors().size(), 3u);
        EXPECT_EQ(LDataGridTheme::defaultSelectedCellStyle()->gradient()->colors().size(), 2u);
    }
}

TEST_F(LDataGridThemeTest, UnknownThemeIsRefusedAndTheCurrentOneStays)
{
    LogCapture log;
    LDataGridTheme::setInitialTheme(1);
    LDataGridTheme::setInitialTheme(3);
    LDataGridTheme::setInitialTheme(-1);
    EXPECT_EQ(LDataGridTheme::currentTheme(), 1);
    EXPECT_EQ(log.messages().size(), 2u);
}

TEST_F(LDataGridThemeTest, GradientStopsAreBuiltInOrder)
{
    const LDataGridGradientStop none[] = { { 0, { 0, -1 } } };
    auto empty = LDataGridTheme::setupGradientFromTheme(none);
    EXPECT_FALSE(empty.first);
    EXPECT_FALSE(empty.second);
    const LDataGridGradientStop equal[] = { { 0.5f, { 0xffffff, 1 } }, { 0.5f, { 0, 1 } }, { 0, { 0, -1 } } };
    auto built = LDataGridTheme::setupGradientFromTheme(equal);
    EXPECT_EQ(built.second, (std::vector<CGFloat> { 0.5f, 0.5f }));
    const LDataGridGradientStop falling[] = { { 0.5f, { 0xffffff, 1 } }, { 0.4f, { 0, 1 } }, { 0, { 0, -1 } } };
    EXPECT_THROW(LDataGridTheme::setupGradientFromTheme(falling), NSException);
    const LDataGridGradientStop negative[] = { { -0.1f, { 0xffffff, 1 } }, { 0, { 0, -1 } } };
    EXPECT_THROW(LDataGridTheme::setupGradientFromTheme(negative), NSException);
}

TEST_F(LDataGridThemeTest, ApplyingAGradientSizesAnEmptyLayer)
{
    auto gradient = LDataGridTheme::sectionHeaderGradient();
    auto empty = CAGradientLayer::layer();
    LDataGridTheme::applyGradientToGradientLayer(gradient, empty);
    EXPECT_TRUE(CGRectEqualToRect(empty->frame(), CGRectMake(0, 0, 1, 1)));
    EXPECT_EQ(empty->colors().size(), 4u);
    auto sized = CAGradientLayer::layer();
    sized->setFrame(CGRectMake(5, 5, 40, 20));
    LDataGridTheme::applyGradientToGradientLayer(gradient, sized);
    EXPECT_TRUE(CGRectEqualToRect(sized->frame(), CGRectMake(5, 5, 40, 20)));
}

// Wrappers change the engine object they wrap, and refuse anything but exactly that class.
TEST_F(LDataGridThemeTest, WrappersForwardToTheirEngineObject)
{
    auto engineStyle = LGridCellStyle::init();
    auto wrapper = LDataGridCellStyle::initWithObjectToWrap(engineStyle);
    wrapper->setTextAlignment(2);
    wrapper->setFont(UIFont::systemFontOfSize(12));
    EXPECT_EQ(engineStyle->textAlignment(), 2);
    EXPECT_TRUE(engineStyle->textAlignmentSetByUser());
    EXPECT_EQ(engineStyle->font(), wrapper->font());
    EXPECT_TRUE(wrapper->respondsToSelector("setTextColor:"));
    EXPECT_FALSE(wrapper->respondsToSelector("reload"));

    EXPECT_THROW(LDataGridCellStyle::initWithObjectToWrap(LGridColRowStyle::init()), NSException);
    EXPECT_THROW(LDataGridLineStyle::initWithObjectToWrap(LGridCellStyle::init()), NSException);

    auto line = LDataGridLineStyle::styleWithWidthWithColor(2, UIColor::redColor());
    EXPECT_EQ(line->lineStyle()->width(), 2);
    auto header = LDataGridSectionHeaderStyle::initWithHeightWithBackgroundColorWithHidden(20, nullptr, true);
    EXPECT_TRUE(header->sectionHeaderStyle()->isHidden());
    EXPECT_EQ(LDataGridSectionHeaderStyle::init()->height(), 36);
    // Without a theme colour a header still has the engine's own background, (206, 111, 62).
    auto plain = LDataGridSectionHeaderStyle::init()->backgroundColor();
    ASSERT_TRUE(plain);
    auto c = components(plain);
    EXPECT_NEAR(c[0] * 255, 206, 1e-3);
    EXPECT_NEAR(c[1] * 255, 111, 1e-3);
    EXPECT_NEAR(c[2] * 255, 62, 1e-3);
    EXPECT_THROW(LDataGridGradient::gradientWithColorsLocations(
                     { UIColor::redColor(), UIColor::blueColor() }, std::vector<CGFloat> { 0.6f, 0.3f }),
        NSException);
}
