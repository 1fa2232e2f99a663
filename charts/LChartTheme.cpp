#include "charts/LChartTheme.h"

#include "foundation/NSString.h"
#include "uikit/UIDevice.h"

#include <functional>
#include <type_traits>

namespace {

Ref<UIColor> rgba(CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
    return UIColor::colorWithRedGreenBlueAlpha(r, g, b, a);
}

// The value's float scaled in single precision (nil counts as 0).
Value scaled(const Value& value, float factor)
{
    return Value(value.floatValue() * factor);
}

} // namespace

Ref<LChartTheme> LChartTheme::init()
{
    auto theme = make<LChartTheme>();
    theme->initialiseTheme();
    return theme;
}

void LChartTheme::initialiseTheme()
{
    setFonts();
    m_chartStyle = LChartStyle::init();
    m_chartTitleStyle = LChartMainTitleStyle::init();
    m_legendStyle = LChartLegendStyle::init();
    m_xAxisStyle = LChartAxisStyle::init();
    m_yAxisStyle = LChartAxisStyle::init();
    m_crosshairStyle = LChartCrosshairStyle::init();
    m_boxGestureStyle = LChartBoxGestureStyle::init();
    setStyles();
}

Ref<LChartTheme> LChartTheme::copy() const
{
    auto other = makeFresh();
    other->m_chartStyle = m_chartStyle ? m_chartStyle->copy() : nullptr;
    other->m_chartTitleStyle = m_chartTitleStyle ? m_chartTitleStyle->copy() : nullptr;
    other->m_legendStyle = m_legendStyle ? m_legendStyle->copy() : nullptr;
    other->m_xAxisStyle = m_xAxisStyle ? m_xAxisStyle->copy() : nullptr;
    other->m_yAxisStyle = m_yAxisStyle ? m_yAxisStyle->copy() : nullptr;
    other->m_crosshairStyle = m_crosshairStyle ? m_crosshairStyle->copy() : nullptr;
    other->m_boxGestureStyle = m_boxGestureStyle ? m_boxGestureStyle->copy() : nullptr;
    for (int i = 0; i < PaletteCount; ++i)
        other->m_palette[i] = m_palette[i];
    other->boldFontName = boldFontName;
    other->regularFontName = regularFontName;
    other->lightFontName = lightFontName;
    other->lineWidth = lineWidth;
    other->columnLineWidth = columnLineWidth;
    other->barLineWidth = barLineWidth;
    other->donutCrustThickness = donutCrustThickness;
    other->pieCrustThickness = pieCrustThickness;
    return other;
}

void LChartTheme::configureMarkers(LChartPointSeriesStyle& style, float radius, CGFloat innerWhite)
{
    for (const auto& points : { style.pointStyle(), style.selectedPointStyle() }) {
        auto inner = std::static_pointer_cast<LChartPointStyle>(points);
        inner->setRadius(Value(radius));
        inner->setInnerRadius(Value(3.0f));
        inner->setInnerColor(UIColor::colorWithWhiteAlpha(innerWhite, 1));
        inner->setInnerColorBelowBaseline(inner->innerColor());
    }
}

bool LChartTheme::systemVersionIsAtLeast7()
{
    return NSString::compare(UIDevice::currentDevice()->systemVersion(), "7.0", NSNumericSearch) != NSOrderedAscending;
}

float LChartTheme::sizeForIdiom(float phone, float tablet)
{
    return UIDevice::currentDevice()->userInterfaceIdiom() == UIUserInterfaceIdiomPad ? tablet : phone;
}

Ref<UIFont> LChartTheme::regularFont(float size) const
{
    return UIFont::fontWithNameSize(regularFontName, size);
}

Ref<UIFont> LChartTheme::boldFont(float size) const
{
    return UIFont::fontWithNameSize(boldFontName, size);
}

Ref<UIFont> LChartTheme::lightFont(float size) const
{
    return UIFont::fontWithNameSize(lightFontName, size);
}

const Ref<UIColor>& LChartTheme::familyColor(size_t i, bool dark) const
{
    static constexpr PaletteColor light[] = { RedLight, GreenLight, BlueLight, OrangeLight, PurpleLight, YellowLight };
    static constexpr PaletteColor darks[] = { RedDark, GreenDark, BlueDark, OrangeDark, PurpleDark, YellowDark };
    return m_palette[(dark ? darks : light)[i % 6]];
}

// MARK: Building steps

void LChartTheme::setFonts()
{
    boldFontName = regularFontName = lightFontName = "Futura";
}

void LChartTheme::setColors()
{
    m_palette[Black] = rgba(0.047, 0.059, 0.059, 1);
    m_palette[BlackLowAlpha] = rgba(0.047, 0.059, 0.059, 0.6);
    m_palette[BlueDark] = rgba(0.217, 0.344, 0.506, 1);
    m_palette[BlueLight] = rgba(0.283, 0.447, 0.673, 1);
    m_palette[GreenDark] = rgba(0.311, 0.53, 0.334, 1);
    m_palette[GreenLight] = rgba(0.404, 0.705, 0.434, 1);
    m_palette[GreenBrightLight] = rgba(0.404, 0.955, 0.434, 1);
    m_palette[OrangeDark] = rgba(0.653, 0.395, 0.204, 1);
    m_palette[OrangeLight] = rgba(0.868, 0.526, 0.265, 1);
    m_palette[PurpleDark] = rgba(0.356, 0.24, 0.5, 1);
    m_palette[PurpleLight] = rgba(0.473, 0.312, 0.665, 1);
    m_palette[RedDark] = rgba(0.62, 0.191, 0.179, 1);
    m_palette[RedLight] = rgba(0.824, 0.248, 0.232, 1);
    m_palette[RedBrightLight] = rgba(0.95, 0.248, 0.232, 1);
    m_palette[YellowDark] = rgba(0.721, 0.67, 0.227, 1);
    m_palette[YellowLight] = rgba(0.959, 0.891, 0.295, 1);

    lineWidth = Value(1.0f);
    columnLineWidth = Value(1.0f);
    barLineWidth = Value(1.0f);
    donutCrustThickness = Value(5.0f);
    pieCrustThickness = Value(1.0f);

    const auto& black = blackColor();
    const auto& blackLow = blackColorLowAlpha();
    auto clear = UIColor::clearColor();

    m_boxGestureStyle->setBoxLineColor(black);
    m_boxGestureStyle->setTrackingLineColor(blackLow);
    m_boxGestureStyle->setBoxLineWidth(2);
    m_boxGestureStyle->setTrackingLineWidth(1);

    m_chartStyle->setBackgroundColor(rgba(0.97, 0.97, 0.97, 1));
    m_chartStyle->setBackgroundColorGradient(rgba(0.93, 0.93, 0.93, 1));
    m_chartStyle->setBorderColor(nullptr);
    m_chartStyle->setBorderWidth(Value(0.0f));
    m_chartStyle->setCanvasBackgroundColor(clear);
    m_chartStyle->setPlotAreaBackgroundColor(nullptr);
    m_chartStyle->setPlotAreaBorderColor(nullptr);
    m_chartStyle->setPlotAreaBorderWidth(Value(0.0f));
    m_chartStyle->setLoadingDataIndicatorColor(nullptr);

    m_chartTitleStyle->setPosition(0);
    m_chartTitleStyle->setOverlapChartTitle(true);
    m_chartTitleStyle->setFont(regularFont(17));
    m_chartTitleStyle->setMinimumFontSize(10);
    m_chartTitleStyle->setTextAlign(1);
    m_chartTitleStyle->setTextColor(black);
    m_chartTitleStyle->setBackgroundColor(clear);

    for (const auto& axis : { m_xAxisStyle, m_yAxisStyle }) {
        bool x = axis == m_xAxisStyle;
        const auto& title = axis->titleStyle();
        title->setFont(regularFont(17));
        title->setMinimumFontSize(10);
        title->setTextAlign(1);
        title->setTextColor(black);
        title->setBackgroundColor(clear);
        title->setTitleOrientation(x ? 0 : 1);
    }

    m_legendStyle->setFont(regularFont(10));
    m_legendStyle->setFontColor(black);
    m_legendStyle->setTitleFont(regularFont(16));
    m_legendStyle->setTitleFontColor(black);
    m_legendStyle->setMarginWidth(Value(5.0f));
    m_legendStyle->setBorderColor(black);
    m_legendStyle->setBorderWidth(Value(1.5f));
    m_legendStyle->setCornerRadius(Value(10.0f));
    m_legendStyle->setSymbolCornerRadius(Value(0.0f));
    m_legendStyle->setShowSymbols(true);
    m_legendStyle->setSymbolAlignment(1);
    m_legendStyle->setOrientation(0);
    m_legendStyle->setAreaColor(clear);
    m_legendStyle->setHorizontalPadding(Value(5.0f));
    m_legendStyle->setVerticalPadding(Value(5.0f));

    for (const auto& axis : { m_xAxisStyle, m_yAxisStyle }) {
        bool x = axis == m_xAxisStyle;
        axis->setLineColor(black);
        axis->setLineWidth(Value(2.0f));
        axis->setInterSeriesPadding(Value(x ? 0.2f : 0.0f));
        axis->setInterSeriesSetPadding(Value(0.2f));
        const auto& major = axis->majorTickStyle();
        major->setLabelColor(black);
        major->setLabelFont(regularFont(13));
        major->setLineColor(black);
        major->setLineLength(Value(5.0f));
        major->setLineWidth(Value(2.0f));
        major->setShowTicks(true);
        major->setShowLabels(true);
        const auto& minor = axis->minorTickStyle();
        minor->setLabelColor(black);
        minor->setLabelFont(regularFont(8));
        minor->setLineColor(black);
        minor->setLineLength(Value(5.0f));
        minor->setLineWidth(Value(1.0f));
        minor->setShowTicks(true);
        minor->setShowLabels(false);
        const auto& grid = axis->majorGridLineStyle();
        grid->setShowMajorGridLines(false);
        grid->setLineColor(blackLow);
        grid->setLineWidth(Value(1.0f));
        grid->setDashStyle(Value::array({ Value(10.0f), Value(10.0f) }));
        const auto& stripes = axis->gridStripeStyle();
        stripes->setShowGridStripes(false);
        stripes->setStripeColor(rgba(0.5, 0.5, 0.5, 0.1));
        stripes->setAlternateStripeColor(nullptr);
    }

    m_crosshairStyle->setLineColor(UIColor::blackColor());
    m_crosshairStyle->setLineWidth(Value(1.0f));
    m_crosshairStyle->setDefaultFont(regularFont(12));
    m_crosshairStyle->setDefaultTextColor(UIColor::blackColor());
    m_crosshairStyle->setDefaultLabelBackgroundColor(clear);
    m_crosshairStyle->setDefaultBackgroundColor(UIColor::lightTextColor());
    m_crosshairStyle->setDefaultCornerRadius(Value(8.0f));
    m_crosshairStyle->setDefaultBorderWidth(Value(1.0f));
    m_crosshairStyle->setDefaultBorderColor(UIColor::lightGrayColor());
    m_crosshairStyle->setDefaultKeyValuesPerRow(Value(2));

    for (size_t i = 0; i < 6; ++i) {
        auto style = LChartLineSeriesStyle::init();
        style->setLineColor(familyColor(i, false));
        style->setLineColorBelowBaseline(familyColor(i, false));
        style->setAreaColor(familyColor(i, true));
        style->setAreaColorBelowBaseline(familyColor(i, true));
        for (const auto& points : { style->pointStyle(), style->selectedPointStyle() }) {
            points->setColor(familyColor(i, false));
            points->setColorBelowBaseline(familyColor(i, false));
        }
        addLineSeriesStyleAsSelected(style, false);
    }

    struct Band {
        PaletteColor highLight, highDark, lowLight, lowDark;
        float alpha;
    } bands[] = {
        { GreenLight, GreenDark, RedLight, RedDark, 0.6f },
        { OrangeLight, OrangeDark, BlueLight, BlueDark, 0.5f },
        { YellowLight, YellowDark, PurpleLight, PurpleDark, 0.5f },
    };
    for (const auto& b : bands) {
        auto style = LChartBandSeriesStyle::init();
        style->setShowFill(true);
        style->pointStyle()->setShowPoints(false);
        style->setLineColorHigh(m_palette[b.highLight]);
        style->setLineColorLow(m_palette[b.lowLight]);
        style->setAreaColorNormal(m_palette[b.highDark]->colorWithAlphaComponent(b.alpha));
        style->setAreaColorInverted(m_palette[b.lowDark]->colorWithAlphaComponent(b.alpha));
        style->setLineWidth(lineWidth);
        style->pointStyle()->setColor(m_palette[b.highLight]);
        style->pointStyle()->setColorBelowBaseline(m_palette[b.lowLight]);
        style->pointStyle()->setRadius(Value(6.0f));
        addBandSeriesStyleAsSelected(style, false);
    }

    auto fillBarColumn = [this](LChartBarColumnSeriesStyle& style, size_t i) {
        style.setAreaColor(familyColor(i, false));
        style.setAreaColorBelowBaseline(familyColor(i, false));
        style.setAreaColorGradient(familyColor(i, true));
        style.setAreaColorGradientBelowBaseline(familyColor(i, true));
    };
    for (size_t i = 0; i < 6; ++i) {
        auto style = LChartColumnSeriesStyle::init();
        fillBarColumn(*style, i);
        addColumnSeriesStyleAsSelected(style, false);
    }
    for (size_t i = 0; i < 6; ++i) {
        auto style = LChartBarSeriesStyle::init();
        fillBarColumn(*style, i);
        addBarSeriesStyleAsSelected(style, false);
    }
    for (size_t i = 0; i < 6; ++i) {
        auto style = LChartScatterSeriesStyle::init();
        for (const auto& points : { style->pointStyle(), style->selectedPointStyle() }) {
            points->setColor(familyColor(i, false));
            points->setColorBelowBaseline(familyColor(i, false));
        }
        addScatterSeriesStyleAsSelected(style, false);
    }
    for (const auto& scatter : m_scatterSeriesStyles) {
        auto style = LChartBubbleSeriesStyle::init();
        for (const auto& points : { style->pointStyle(), style->selectedPointStyle() }) {
            points->setColor(scatter->pointStyle()->color());
            points->setColorBelowBaseline(scatter->pointStyle()->colorBelowBaseline());
        }
        addBubbleSeriesStyleAsSelected(style, false);
    }

    auto donut = LChartDonutSeriesStyle::init();
    donut->setCrustThickness(donutCrustThickness);
    donut->setInitialRotation(Value(0.0f));
    donut->setShowCrust(true);
    donut->setShowFlavour(true);
    donut->setShowLabels(false);
    donut->setChartEffect(5);
    donut->setLabelFont(regularFont(14));
    donut->setLabelFontColor(UIColor::blackColor());
    donut->setLabelBackgroundColor(clear);
    for (auto c : { rgba(0.1647, 0.5412, 0.702, 1), rgba(0.5294, 0.7216, 0.7529, 1), rgba(0.9137, 0.2902, 0.4471, 1),
             rgba(0.6078, 0.298, 0.5922, 1), rgba(0.4039, 0.6627, 0.2588, 1), rgba(0.9725, 0.7216, 0.2353, 1),
             rgba(0.9608, 0.3961, 0.1843, 1), rgba(0.098, 0.3647, 0.4157, 1) })
        donut->mutableFlavourColors().push_back(c);
    for (int i = 0; i < 6; ++i)
        donut->mutableCrustColors().push_back(UIColor::blackColor());
    addDonutSeriesStyleAsSelected(donut, false);

    auto ohlc = LChartOHLCSeriesStyle::init();
    ohlc->setRisingColor(m_palette[GreenLight]);
    ohlc->setRisingColorGradient(m_palette[GreenDark]);
    ohlc->setFallingColor(m_palette[RedBrightLight]);
    ohlc->setFallingColorGradient(m_palette[RedLight]);
    ohlc->setTrunkWidth(Value(3.0f));
    ohlc->setArmWidth(Value(3.0f));
    addOHLCSeriesStyleAsSelected(ohlc, false);

    auto candles = LChartCandlestickSeriesStyle::init();
    candles->setRisingColor(m_palette[GreenBrightLight]);
    candles->setRisingColorGradient(m_palette[GreenLight]);
    candles->setFallingColor(m_palette[RedBrightLight]);
    candles->setFallingColorGradient(m_palette[RedDark]);
    candles->setOutlineColor(black);
    candles->setStickColor(black);
    candles->setOutlineWidth(Value(1.0f));
    candles->setStickWidth(Value(2.0f));
    addCandlestickSeriesStyleAsSelected(candles, false);
}

void LChartTheme::configureStyles()
{
    for (const auto& s : m_lineSeriesStyles)
        configureLineSeriesStyle(*s);
    for (const auto& s : m_barSeriesStyles)
        configureBarSeriesStyle(*s);
    for (const auto& s : m_columnSeriesStyles)
        configureColumnSeriesStyle(*s);
    for (const auto& s : m_scatterSeriesStyles)
        configureScatterSeriesStyle(*s);
    for (const auto& s : m_bubbleSeriesStyles)
        configureBubbleSeriesStyle(*s);
}

namespace {

// Derives each selected style from its normal style: a fresh style of the same class filled
// from the normal one, then altered; bars and columns keep their fill.
template <typename T>
void deriveSelected(const std::vector<Ref<T>>& normal, const std::function<void(const Ref<T>&)>& add,
    const std::function<void(T&)>& alter, bool keepFill)
{
    for (const auto& s : normal) {
        auto t = T::init();
        t->supplementStyleFromStyle(*s);
        alter(*t);
        add(t);
        if constexpr (std::is_base_of_v<LChartBarColumnSeriesStyle, T>) {
            if (keepFill)
                t->setAreaColor(s->areaColor());
        }
    }
}

} // namespace

void LChartTheme::setStyles()
{
    setColors();
    configureStyles();
#define VX_DERIVE(Type, list, Family, keepFill)                                                                        \
    deriveSelected<Type>(                                                                                              \
        list, [this](const Ref<Type>& s) { add##Family##SeriesStyleAsSelected(s, true); },                             \
        [this](Type& s) { alterForSelected##Family##SeriesStyle(s); }, keepFill)
    VX_DERIVE(LChartLineSeriesStyle, m_lineSeriesStyles, Line, false);
    VX_DERIVE(LChartBandSeriesStyle, m_bandSeriesStyles, Band, false);
    VX_DERIVE(LChartColumnSeriesStyle, m_columnSeriesStyles, Column, true);
    VX_DERIVE(LChartBarSeriesStyle, m_barSeriesStyles, Bar, true);
    VX_DERIVE(LChartScatterSeriesStyle, m_scatterSeriesStyles, Scatter, false);
    VX_DERIVE(LChartBubbleSeriesStyle, m_bubbleSeriesStyles, Bubble, false);
    VX_DERIVE(LChartDonutSeriesStyle, m_donutSeriesStyles, Donut, false);
    VX_DERIVE(LChartCandlestickSeriesStyle, m_candlestickSeriesStyles, Candlestick, false);
    VX_DERIVE(LChartOHLCSeriesStyle, m_ohlcSeriesStyles, OHLC, false);
#undef VX_DERIVE
}

void LChartTheme::configureLineSeriesStyle(LChartLineSeriesStyle& style)
{
    style.setLineWidth(lineWidth);
    style.setAreaLineWidth(lineWidth);
    style.setShowFill(false);
    style.setFillWithGradient(true);
    style.pointStyle()->setShowPoints(false);
    configureMarkers(style, 6, 55.0 / 255);
}

void LChartTheme::configureBarSeriesStyle(LChartBarSeriesStyle& style)
{
    style.setLineWidth(barLineWidth);
}

void LChartTheme::configureColumnSeriesStyle(LChartColumnSeriesStyle& style)
{
    style.setLineWidth(columnLineWidth);
}

void LChartTheme::configureScatterSeriesStyle(LChartScatterSeriesStyle& style)
{
    style.pointStyle()->setShowPoints(true);
    configureMarkers(style, 6, 55.0 / 255);
}

void LChartTheme::configureBubbleSeriesStyle(LChartBubbleSeriesStyle& style)
{
    style.pointStyle()->setShowPoints(true);
}

void LChartTheme::alterForSelectedLineSeriesStyle(LChartLineSeriesStyle& style)
{
    style.setLineColor(UIColor::grayColor());
    style.setLineWidth(scaled(style.lineWidth(), 4));
    style.setLineColorBelowBaseline(style.lineColor());
}

void LChartTheme::alterForSelectedBandSeriesStyle(LChartBandSeriesStyle& style)
{
    style.setLineWidth(scaled(style.lineWidth(), 4));
}

namespace {

// Selected bars and columns: a grey outline four times as wide.
void alterSelectedBarColumn(LChartBarColumnSeriesStyle& style)
{
    style.setLineColor(UIColor::grayColor());
    style.setLineWidth(scaled(style.lineWidth(), 4));
    style.setLineColorBelowBaseline(style.lineColor());
}

} // namespace

void LChartTheme::alterForSelectedColumnSeriesStyle(LChartColumnSeriesStyle& style)
{
    alterSelectedBarColumn(style);
}

void LChartTheme::alterForSelectedBarSeriesStyle(LChartBarSeriesStyle& style)
{
    alterSelectedBarColumn(style);
}

void LChartTheme::alterForSelectedScatterSeriesStyle(LChartScatterSeriesStyle& style)
{
    style.pointStyle()->setRadius(scaled(style.pointStyle()->radius(), 1.5f));
}

void LChartTheme::alterForSelectedCandlestickSeriesStyle(LChartCandlestickSeriesStyle& style)
{
    style.setOutlineWidth(scaled(style.outlineWidth(), 2));
    style.setStickWidth(scaled(style.stickWidth(), 2));
}

void LChartTheme::alterForSelectedOHLCSeriesStyle(LChartOHLCSeriesStyle& style)
{
    style.setTrunkWidth(scaled(style.trunkWidth(), 1.5f));
    style.setArmWidth(scaled(style.armWidth(), 1.5f));
}

// MARK: Lists

#define VX_FAMILY(Type, Family, family)                                                                                \
    void LChartTheme::add##Family##SeriesStyleAsSelected(const Ref<Type>& s, bool selected)                            \
    {                                                                                                                  \
        (selected ? m_##family##SeriesSelectedStyles : m_##family##SeriesStyles).push_back(s);                         \
    }                                                                                                                  \
    Ref<Type> LChartTheme::family##SeriesStyleForSeriesAtIndex(int32_t index, bool selected) const                     \
    {                                                                                                                  \
        return seriesStyleForSeriesAtIndex<Type>(                                                                      \
            index, selected, m_##family##SeriesSelectedStyles, m_##family##SeriesStyles);                              \
    }

VX_FAMILY(LChartLineSeriesStyle, Line, line)
VX_FAMILY(LChartBandSeriesStyle, Band, band)
VX_FAMILY(LChartColumnSeriesStyle, Column, column)
VX_FAMILY(LChartBarSeriesStyle, Bar, bar)
VX_FAMILY(LChartScatterSeriesStyle, Scatter, scatter)
VX_FAMILY(LChartBubbleSeriesStyle, Bubble, bubble)
VX_FAMILY(LChartDonutSeriesStyle, Donut, donut)
VX_FAMILY(LChartCandlestickSeriesStyle, Candlestick, candlestick)
VX_FAMILY(LChartOHLCSeriesStyle, OHLC, ohlc)

#undef VX_FAMILY
