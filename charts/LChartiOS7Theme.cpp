#include "charts/LChartiOS7Theme.h"

#include "charts/LChartFonts.h"

namespace {

Ref<UIColor> rgba(CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
    return UIColor::colorWithRedGreenBlueAlpha(r, g, b, a);
}

void setHelveticaNeue(LChartTheme& theme)
{
    theme.regularFontName = "HelveticaNeue";
    theme.boldFontName = "HelveticaNeue Bold";
    theme.lightFontName = "HelveticaNeue-Light";
}

} // namespace

Ref<LChartiOS7Theme> LChartiOS7Theme::init()
{
    auto theme = make<LChartiOS7Theme>();
    theme->initialiseTheme();
    return theme;
}

void LChartiOS7Theme::setFonts()
{
    if (systemVersionIsAtLeast7()) {
        setHelveticaNeue(*this);
    } else if (LChartFonts::installNunitoFonts()) {
        boldFontName = "Nunito-Bold";
        regularFontName = "Nunito-Regular";
        lightFontName = "Nunito-Light";
    } else {
        boldFontName = "Thonburi-Bold";
        regularFontName = lightFontName = "Thonburi";
    }
}

void LChartiOS7Theme::setColors()
{
    LChartTheme::setColors();
    m_colours = { rgba(0.0031, 0.3827, 0.8, 1), rgba(0.2384, 0.6808, 0.3137, 1), rgba(0.9, 0.5259, 0.0035, 1),
        rgba(0.9, 0.1588, 0.3, 1), rgba(0.2761, 0.2698, 0.6714, 1), rgba(0.5569, 0.5569, 0.5765, 1) };
    m_selectedColours = { rgba(0.1569, 0.3765, 1, 1), rgba(0.3255, 0.8235, 0.349, 1), rgba(0.9804, 0.5373, 0.1765, 1),
        rgba(0.9608, 0.1255, 0.3373, 1), rgba(0.298, 0.2431, 0.7529, 1), rgba(0.5176, 0.5176, 0.5373, 1) };
    setHelveticaNeue(*this);

    auto clear = UIColor::clearColor();
    auto black = UIColor::blackColor();
    chartStyle()->setPlotAreaBorderColor(clear);
    chartStyle()->setPlotAreaBackgroundColor(UIColor::whiteColor());
    chartStyle()->setBackgroundColor(rgba(0.9373, 0.9373, 0.9569, 1));
    chartTitleStyle()->setFont(lightFont(24));
    chartTitleStyle()->setTextColor(black);
    chartTitleStyle()->setTextAlign(1);
    chartTitleStyle()->setPosition(0);
    chartTitleStyle()->setTitleCentresOn(1);
    chartTitleStyle()->setOverlapChartTitle(false);
    for (const auto& axis : { xAxisStyle(), yAxisStyle() }) {
        axis->titleStyle()->setFont(lightFont(16));
        axis->titleStyle()->setTextColor(black);
        axis->majorTickStyle()->setLabelFont(lightFont(13));
        axis->majorTickStyle()->setLineColor(clear);
        axis->majorTickStyle()->setLabelColor(m_colours[5]);
    }
    xAxisStyle()->majorGridLineStyle()->setShowMajorGridLines(false);
    yAxisStyle()->majorGridLineStyle()->setLineColor(rgba(0.7843, 0.7804, 0.8, 1));
    yAxisStyle()->majorGridLineStyle()->setLineWidth(Value(0.5f));
    legendStyle()->setFont(lightFont(16));
    legendStyle()->setSymbolCornerRadius(Value(4.0f));

    auto k = [this](size_t i) { return m_colours[i % m_colours.size()]; };
    auto s = [this](size_t i) { return m_selectedColours[i % m_selectedColours.size()]; };
    for (size_t i = 0; i < lineSeriesStyles().size(); ++i) {
        const auto& line = lineSeriesStyles()[i];
        line->setLineColor(k(i));
        line->setLineColorBelowBaseline(k(i));
        line->setAreaLineColor(k(i));
        line->setAreaLineColorBelowBaseline(k(i));
        line->setAreaColor(k(i));
        line->setAreaColorLowGradient(k(i));
        for (const auto& points : { line->pointStyle(), line->selectedPointStyle() }) {
            points->setColor(k(i));
            points->setColorBelowBaseline(k(i));
        }
    }
    for (size_t i = 0; i < scatterSeriesStyles().size(); ++i) {
        const auto& scatter = scatterSeriesStyles()[i];
        scatter->pointStyle()->setColor(k(i));
        scatter->pointStyle()->setColorBelowBaseline(k(i));
        scatter->selectedPointStyle()->setColor(s(i));
        scatter->selectedPointStyle()->setColorBelowBaseline(s(i));
    }
    for (size_t i = 0; i < bubbleSeriesStyles().size(); ++i) {
        const auto& bubble = bubbleSeriesStyles()[i];
        bubble->pointStyle()->setShowPoints(true);
        bubble->selectedPointStyle()->setShowPoints(true);
        bubble->pointStyle()->setColor(k(i));
        bubble->pointStyle()->setColorBelowBaseline(k(i));
        bubble->selectedPointStyle()->setColor(s(i));
        bubble->selectedPointStyle()->setColorBelowBaseline(s(i));
    }
    auto barColumn = [&](LChartBarColumnSeriesStyle& style, size_t i) {
        style.setLineColor(clear);
        style.setAreaColorGradient(k(i));
        style.setAreaColor(k(i));
    };
    for (size_t i = 0; i < barSeriesStyles().size(); ++i)
        barColumn(*barSeriesStyles()[i], i);
    for (size_t i = 0; i < columnSeriesStyles().size(); ++i)
        barColumn(*columnSeriesStyles()[i], i);

    const auto& donut = donutSeriesStyles()[0];
    donut->setCrustThickness(donutCrustThickness);
    donut->setInitialRotation(Value(0.0f));
    donut->setShowLabels(true);
    donut->setChartEffect(0);
    donut->setLabelFont(lightFont(sizeForIdiom(12, 16)));
    donut->setLabelFontColor(chartStyle()->backgroundColor());
    donut->setLabelBackgroundColor(clear);
    donut->setFlavourColors(m_colours);
    donut->setShowFlavour(true);
    donut->setCrustColors({ clear, clear, clear, clear, clear });
    donut->setShowCrust(false);

    const auto& ohlc = ohlcSeriesStyles()[0];
    const auto& candles = candlestickSeriesStyles()[0];
    for (LChartOHLCSeriesStyle* style : { ohlc.get(), static_cast<LChartOHLCSeriesStyle*>(candles.get()) }) {
        style->setRisingColor(k(1));
        style->setRisingColorGradient(k(1));
        style->setFallingColor(k(3));
        style->setFallingColorGradient(k(3));
    }
    ohlc->setTrunkWidth(Value(2.0f));
    ohlc->setArmWidth(Value(3.0f));
    candles->setOutlineColor(black);
    candles->setOutlineWidth(Value(0.5f));
    candles->setStickColor(black);
    candles->setStickWidth(Value(0.5f));

    const auto& band = bandSeriesStyles()[0];
    band->setLineWidth(Value(1.0f));
    band->setLineColorHigh(k(0));
    band->setLineColorLow(k(0));
    band->setAreaColorNormal(k(0)->colorWithAlphaComponent(0.7));
    band->setAreaColorInverted(k(0)->colorWithAlphaComponent(0.7));
}

void LChartiOS7Theme::configureLineSeriesStyle(LChartLineSeriesStyle& style)
{
    LChartTheme::configureLineSeriesStyle(style);
    style.setAreaLineWidth(Value(0.5f));
    style.setLineWidth(Value(0.5f));
    configureMarkers(style, 5, 240.0 / 255);
    style.setUseSeriesSymbols(false);
}

void LChartiOS7Theme::configureBarSeriesStyle(LChartBarSeriesStyle& style)
{
    LChartTheme::configureBarSeriesStyle(style);
    style.setUseSeriesSymbols(false);
}

void LChartiOS7Theme::configureColumnSeriesStyle(LChartColumnSeriesStyle& style)
{
    LChartTheme::configureColumnSeriesStyle(style);
    style.setUseSeriesSymbols(false);
}

void LChartiOS7Theme::alterForSelectedLineSeriesStyle(LChartLineSeriesStyle& style)
{
    const auto& c = selectedColourAt(selectedLineStyleCount());
    style.setAreaColorLowGradient(c);
    style.setAreaColor(c);
    style.setLineColorBelowBaseline(c);
    style.setLineColor(c);
    style.setAreaLineColorBelowBaseline(c);
    style.setAreaLineColor(c);
    for (const auto& points : { style.pointStyle(), style.selectedPointStyle() }) {
        points->setColor(c);
        points->setColorBelowBaseline(c);
    }
}

namespace {

// A clear outline and the selected colour as fill and gradient.
void alterSelectedBarColumn(LChartBarColumnSeriesStyle& style, const Ref<UIColor>& colour)
{
    style.setLineColor(UIColor::clearColor());
    style.setAreaColorGradient(colour);
    style.setAreaColor(colour);
}

} // namespace

void LChartiOS7Theme::alterForSelectedColumnSeriesStyle(LChartColumnSeriesStyle& style)
{
    alterSelectedBarColumn(style, selectedColourAt(selectedColumnStyleCount()));
}

void LChartiOS7Theme::alterForSelectedBarSeriesStyle(LChartBarSeriesStyle& style)
{
    alterSelectedBarColumn(style, selectedColourAt(selectedBarStyleCount()));
}

void LChartiOS7Theme::alterForSelectedScatterSeriesStyle(LChartScatterSeriesStyle& style)
{
    const auto& c = selectedColourAt(scatterSeriesSelectedStyles().size());
    for (const auto& points : { style.pointStyle(), style.selectedPointStyle() }) {
        points->setColor(c);
        points->setColorBelowBaseline(c);
    }
}

void LChartiOS7Theme::alterForSelectedDonutSeriesStyle(LChartDonutSeriesStyle& style)
{
    style.setFlavourColors(m_selectedColours);
}
