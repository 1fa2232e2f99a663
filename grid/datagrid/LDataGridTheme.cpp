#include "grid/datagrid/LDataGridTheme.h"

#include "foundation/NSString.h"
#include "graphics/CAGradientLayer.h"
#include "graphics/CGPath.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "grid/LGridCellStyle.h"
#include "grid/LGridGradient.h"
#include "grid/LGridLineStyle.h"
#include "grid/LatticeGridLog.h"
#include "grid/datagrid/LDataGridCellStyle.h"
#include "grid/datagrid/LDataGridLineStyle.h"
#include "grid/datagrid/LDataGridSectionHeaderStyle.h"

#include <array>
#include <atomic>

namespace {

constexpr LDataGridColorRecord kNone { 0, -1 };
constexpr LDataGridGradientStop kEnd { 0, kNone };

struct ThemeRecord {
    LDataGridColorRecord cellBackground;
    LDataGridColorRecord cellSelection;
    LDataGridColorRecord cellBackgroundAlternate;
    LDataGridColorRecord headerCell;
    LDataGridColorRecord sectionHeaderBackground;
    LDataGridColorRecord headerCellText;
    LDataGridColorRecord sectionHeaderText;
    LDataGridColorRecord cellText;
    LDataGridColorRecord selectedCellText;
    std::array<LDataGridGradientStop, 6> rowGradient;
    std::array<LDataGridGradientStop, 6> selectedGradient;
    std::array<LDataGridGradientStop, 6> headerRowGradient;
    std::array<LDataGridGradientStop, 6> sectionHeaderGradient;
    float gridLineWidth;
    LDataGridColorRecord gridLineColor;
};

// The gradients that themes 1 and 2 share.
constexpr std::array<LDataGridGradientStop, 6> kSoftRow { { { 0, { 0xffffff, 0 } }, { 0.9f, { 0x000000, 0.04f } },
    { 1, { 0x000000, 0.08f } }, kEnd, kEnd, kEnd } };
constexpr std::array<LDataGridGradientStop, 6> kBlueSelection { { { 0, { 0x058cf5, 0 } }, { 1, { 0x015de6, 0 } }, kEnd,
    kEnd, kEnd, kEnd } };
constexpr std::array<LDataGridGradientStop, 6> kGlossHeader { { { 0, { 0xffffff, 0 } }, { 0.02f, { 0xffffff, 0.18f } },
    { 0.49f, { 0x000000, 0.12f } }, { 0.52f, { 0x000000, 0.18f } }, { 1, { 0x000000, 0.4f } }, kEnd } };
constexpr std::array<LDataGridGradientStop, 6> kSoftSectionHeader { { { 0, { 0xffffff, 0.2f } },
    { 0.1f, { 0xffffff, 0.16f } }, { 1, { 0x000000, 0.2f } }, kEnd, kEnd, kEnd } };

constexpr std::array<ThemeRecord, 3> kThemes { {
    {
        { 0xffffff, 1 },
        { 0x0274ee, 1 },
        kNone,
        { 0xffffff, 1 },
        { 0x555555, 1 },
        { 0x717880, 1 },
        { 0xffffff, 1 },
        { 0x000000, 1 },
        { 0xffffff, 1 },
        { { kEnd, kEnd, kEnd, kEnd, kEnd, kEnd } },
        kSoftRow,
        { { { 0, { 0x001030, 0.04f } }, { 0.32f, { 0x001030, 0.08f } }, { 0.72f, { 0x001030, 0.23f } },
            { 1, { 0x001030, 0.38f } }, kEnd, kEnd } },
        { { { 0, { 0xa3afb8, 0.8f } }, { 0.34f, { 0xa3b0b8, 0.8f } }, { 0.67f, { 0x93a1ad, 0.8f } },
            { 1, { 0x8294a1, 0.8f } }, kEnd, kEnd } },
        1,
        { 0x000000, 0.22f },
    },
    {
        { 0xf8fbff, 1 },
        { 0x3ba1ad, 1 },
        { 0xdee4eb, 1 },
        { 0x9ab1cc, 1 },
        { 0x8f9cab, 1 },
        { 0xf8fbff, 1 },
        { 0xf8fbff, 1 },
        { 0x4c545f, 1 },
        { 0xf8fbff, 1 },
        kSoftRow,
        kBlueSelection,
        kGlossHeader,
        kSoftSectionHeader,
        1,
        { 0x000000, 0.22f },
    },
    {
        { 0x4d5467, 1 },
        { 0x945db7, 1 },
        { 0x32394a, 1 },
        { 0xe3d158, 1 },
        { 0x242a39, 1 },
        { 0xf8fbff, 1 },
        { 0xf8fbff, 1 },
        { 0xc4ccda, 1 },
        { 0xc4ccda, 1 },
        kSoftRow,
        kBlueSelection,
        kGlossHeader,
        kSoftSectionHeader,
        1,
        { 0x000000, 0.22f },
    },
} };

enum GradientKind { RowGradient = 0, SelectedGradient, HeaderRowGradient, SectionHeaderGradient };

std::atomic<int32_t> s_currentTheme { 0 };

const ThemeRecord& current()
{
    return kThemes[static_cast<size_t>(s_currentTheme.load())];
}

// The built colour and location arrays of every theme's four gradients, made once.
const std::array<std::array<LDataGridTheme::GradientArrays, 4>, 3>& builtGradients()
{
    static const auto s_built = [] {
        std::array<std::array<LDataGridTheme::GradientArrays, 4>, 3> built;
        for (size_t theme = 0; theme < kThemes.size(); ++theme) {
            const ThemeRecord& record = kThemes[theme];
            built[theme][RowGradient] = LDataGridTheme::setupGradientFromTheme(record.rowGradient.data());
            built[theme][SelectedGradient] = LDataGridTheme::setupGradientFromTheme(record.selectedGradient.data());
            built[theme][HeaderRowGradient] = LDataGridTheme::setupGradientFromTheme(record.headerRowGradient.data());
            built[theme][SectionHeaderGradient]
                = LDataGridTheme::setupGradientFromTheme(record.sectionHeaderGradient.data());
        }
        return built;
    }();
    return s_built;
}

// An engine gradient of the current theme; one made from no colours for a gradient that is none.
Ref<LGridGradient> gradientOfKind(GradientKind kind)
{
    const auto& arrays = builtGradients()[static_cast<size_t>(s_currentTheme.load())][kind];
    std::vector<Ref<UIColor>> colours;
    if (arrays.first) {
        for (const auto& colour : *arrays.first)
            colours.push_back(UIColor::colorWithCGColor(colour));
    }
    return LGridGradient::gradientWithColorsLocations(colours, arrays.second);
}

Ref<UIColor> colour(LDataGridColorRecord record)
{
    return UIColor_hex::colorFromStruct(record);
}

constexpr UIEdgeInsets kCellInset { 0, 22, 0, 22 };

} // namespace

LDataGridTheme::GradientArrays LDataGridTheme::setupGradientFromTheme(const LDataGridGradientStop* stops)
{
    if (!stops || stops[0].color.alpha == -1.0f)
        return { std::nullopt, std::nullopt };
    std::vector<CGColorRef> colours;
    std::vector<CGFloat> locations;
    float previous = 0;
    for (const LDataGridGradientStop* stop = stops; stop->color.alpha != -1.0f; ++stop) {
        if (stop->location < previous)
            LatticeGridLog::fatalLogMessageFromSource(
                "Incorrect ordering for gradient locations", static_cast<const NSObject*>(nullptr));
        colours.push_back(colour(stop->color)->CGColor());
        locations.push_back(stop->location);
        previous = stop->location;
    }
    return { std::move(colours), std::move(locations) };
}

void LDataGridTheme::setInitialTheme(int32_t theme)
{
    if (theme < 0 || theme >= static_cast<int32_t>(kThemes.size())) {
        LatticeGridLog::logMessage(NSString::stringWithFormat(
            "LDataGridTheme: there is no theme %d. Theme %d will be used.", theme, s_currentTheme.load()));
        return;
    }
    s_currentTheme = theme;
}

int32_t LDataGridTheme::currentTheme()
{
    return s_currentTheme;
}

void LDataGridTheme::resetForTesting()
{
    s_currentTheme = 0;
}

Ref<UIColor> LDataGridTheme::initialThemeCellBackgroundColor()
{
    return colour(current().cellBackground);
}

Ref<UIColor> LDataGridTheme::initialThemeCellSelectionColor()
{
    return colour(current().cellSelection);
}

Ref<UIColor> LDataGridTheme::initialThemeCellBackgroundColorAlternate()
{
    return colour(current().cellBackgroundAlternate);
}

Ref<UIColor> LDataGridTheme::initialThemeHeaderCellColor()
{
    return colour(current().headerCell);
}

Ref<UIColor> LDataGridTheme::initialThemeSectionHeaderBackgroundColor()
{
    return colour(current().sectionHeaderBackground);
}

Ref<UIColor> LDataGridTheme::initialThemeHeaderCellFontColor()
{
    return colour(current().headerCellText);
}

Ref<UIColor> LDataGridTheme::initialThemeSectionHeaderFontColor()
{
    return colour(current().sectionHeaderText);
}

Ref<UIColor> LDataGridTheme::initialThemeCellFontColor()
{
    return colour(current().cellText);
}

Ref<UIColor> LDataGridTheme::initialThemeSelectedCellFontColor()
{
    return colour(current().selectedCellText);
}

Ref<LDataGridCellStyle> LDataGridTheme::defaultRowStyle()
{
    auto style = LDataGridCellStyle::init();
    style->setBackgroundColor(initialThemeCellBackgroundColor());
    style->setTextColor(initialThemeCellFontColor());
    style->setFont(UIFont::fontWithNameSize("Helvetica", 18));
    style->setTextVerticalAlignment(0);
    style->setGradient(gradientOfKind(RowGradient));
    style->setContentInset(kCellInset);
    return style;
}

Ref<LDataGridCellStyle> LDataGridTheme::defaultAlternatingRowStyle()
{
    auto background = initialThemeCellBackgroundColorAlternate();
    if (!background)
        return nullptr;
    auto style = LDataGridCellStyle::init();
    style->setBackgroundColor(background);
    style->setTextColor(initialThemeCellFontColor());
    style->setFont(UIFont::fontWithNameSize("Helvetica", 18));
    style->setGradient(gradientOfKind(RowGradient));
    style->setContentInset(kCellInset);
    return style;
}

Ref<LDataGridCellStyle> LDataGridTheme::defaultSelectedCellStyle()
{
    auto style = LDataGridCellStyle::init();
    style->setBackgroundColor(initialThemeCellSelectionColor());
    style->setTextColor(initialThemeSelectedCellFontColor());
    style->setFont(UIFont::fontWithNameSize("Helvetica", 18));
    style->setTextVerticalAlignment(0);
    style->setGradient(gradientOfKind(SelectedGradient));
    style->setContentInset(kCellInset);
    return style;
}

Ref<LDataGridCellStyle> LDataGridTheme::defaultHeaderRowStyle()
{
    auto style = LDataGridCellStyle::init();
    style->setBackgroundColor(initialThemeHeaderCellColor());
    style->setTextColor(initialThemeHeaderCellFontColor());
    style->setFont(UIFont::fontWithNameSize("HelveticaNeue-Bold", 20));
    style->setTextAlignment(0);
    style->setTextVerticalAlignment(0);
    style->setGradient(gradientOfKind(HeaderRowGradient));
    style->setContentInset(kCellInset);
    return style;
}

Ref<LDataGridSectionHeaderStyle> LDataGridTheme::defaultSectionHeaderStyle()
{
    auto style = LDataGridSectionHeaderStyle::init();
    style->setBackgroundColor(initialThemeSectionHeaderBackgroundColor());
    style->setHeight(36);
    style->setFont(UIFont::fontWithNameSize("Helvetica-Bold", 20));
    style->setTextColor(initialThemeSectionHeaderFontColor());
    style->setGradient(gradientOfKind(SectionHeaderGradient));
    return style;
}

Ref<LDataGridLineStyle> LDataGridTheme::defaultGridLineStyle()
{
    const ThemeRecord& record = current();
    if (record.gridLineWidth < 0)
        return LDataGridLineStyle::init();
    return LDataGridLineStyle::initWithWidthWithColor(record.gridLineWidth, colour(record.gridLineColor));
}

Ref<LGridGradient> LDataGridTheme::sectionHeaderGradient()
{
    return gradientOfKind(SectionHeaderGradient);
}

void LDataGridTheme::applyGradientToGradientLayer(const Ref<LGridGradient>& gradient, const Ref<CAGradientLayer>& layer)
{
    if (!layer)
        return;
    layer->setColors(gradient ? gradient->colors() : std::vector<CGColorRef> {});
    layer->setLocations(gradient ? gradient->locations().value_or(std::vector<CGFloat> {}) : std::vector<CGFloat> {});
    if (CGRectEqualToRect(layer->frame(), CGRectZero))
        layer->setFrame(CGRectMake(0, 0, 1, 1));
    layer->setShadowPath(CGPathCreateWithRect(layer->bounds(), nullptr));
}
