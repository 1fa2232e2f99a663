#include "charts/LChartMidnightTheme.h"

namespace {

Ref<UIColor> rgba(CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
    return UIColor::colorWithRedGreenBlueAlpha(r, g, b, a);
}

} // namespace

Ref<LChartMidnightTheme> LChartMidnightTheme::init()
{
    auto theme = make<LChartMidnightTheme>();
    theme->initialiseTheme();
    return theme;
}

void LChartMidnightTheme::setColors()
{
    LChartTheme::setColors();
    setPaletteColor(BlueDark, rgba(0, 0.408, 0.549, 1));
    setPaletteColor(BlueLight, rgba(0.027, 0.529, 0.729, 1));
    m_brownDark = rgba(0.546, 0.306, 0.141, 1);
    m_brownLight = rgba(0.727, 0.397, 0.186, 1);
    setPaletteColor(GreenDark, rgba(0, 0.524, 0.231, 1));
    setPaletteColor(GreenLight, rgba(0.03, 0.697, 0.3, 1));
    m_grey = rgba(0.65, 0.65, 0.65, 1);
    m_greyLabel = rgba(0.8, 0.8, 0.8, 1);
    m_greyLowAlpha = rgba(0.65, 0.65, 0.65, 0.6);
    setPaletteColor(OrangeDark, rgba(0.723, 0.392, 0, 1));
    setPaletteColor(OrangeLight, rgba(0.952, 0.51, 0.03, 1));
    setPaletteColor(PurpleDark, rgba(0.5, 0.278, 0.537, 1));
    setPaletteColor(PurpleLight, rgba(0.665, 0.362, 0.714, 1));
    m_textShadow = rgba(0.037, 0.037, 0.037, 1);
    setPaletteColor(YellowDark, rgba(0.641, 0.641, 0.139, 1));
    setPaletteColor(YellowLight, rgba(0.841, 0.841, 0.18, 1));

    chartStyle()->setBackgroundColor(rgba(0.188, 0.188, 0.188, 1));
    chartStyle()->setBackgroundColorGradient(rgba(0.118, 0.118, 0.118, 1));
    chartTitleStyle()->setTextColor(m_greyLabel);
    xAxisStyle()->titleStyle()->setTextColor(m_greyLabel);
    yAxisStyle()->titleStyle()->setTextColor(m_greyLabel);
    legendStyle()->setFontColor(m_greyLabel);
    legendStyle()->setTitleFont(regularFont(16));
    legendStyle()->setTitleFontColor(m_greyLabel);
    legendStyle()->setBorderColor(m_grey);
    legendStyle()->setCornerRadius(Value(0.0f));
    boxGestureStyle()->setBoxLineColor(UIColor::whiteColor());
    boxGestureStyle()->setTrackingLineColor(m_grey);
    for (const auto& axis : { xAxisStyle(), yAxisStyle() }) {
        axis->setLineColor(m_grey);
        axis->majorTickStyle()->setLabelColor(m_greyLabel);
        axis->majorTickStyle()->setLabelTextShadowColor(m_textShadow);
        axis->majorTickStyle()->setLineColor(m_grey);
        axis->minorTickStyle()->setLabelColor(m_grey);
        axis->minorTickStyle()->setLabelTextShadowColor(m_textShadow);
        axis->minorTickStyle()->setLineColor(m_grey);
        axis->majorGridLineStyle()->setLineColor(m_greyLowAlpha);
    }
    const auto& crosshair = crosshairStyle();
    crosshair->setLineColor(m_grey);
    crosshair->setDefaultFont(regularFont(12));
    crosshair->setDefaultTextColor(UIColor::whiteColor());
    crosshair->setDefaultLabelBackgroundColor(UIColor::clearColor());
    crosshair->setDefaultBackgroundColor(rgba(0, 0, 0, 0.5));
    crosshair->setDefaultCornerRadius(Value(8.0f));
    crosshair->setDefaultBorderWidth(Value(1.0f));
    crosshair->setDefaultBorderColor(m_grey);

    const Ref<UIColor> light[] = { paletteColor(BlueLight), paletteColor(GreenLight), paletteColor(PurpleLight),
        paletteColor(OrangeLight), paletteColor(YellowLight), m_brownLight };
    const Ref<UIColor> dark[] = { paletteColor(BlueDark), paletteColor(GreenDark), paletteColor(PurpleDark),
        paletteColor(OrangeDark), paletteColor(YellowDark), m_brownDark };
    for (size_t i = 0; i < lineSeriesStyles().size(); ++i) {
        const auto& line = lineSeriesStyles()[i];
        line->setLineColor(light[i % 6]);
        line->setLineColorBelowBaseline(light[i % 6]);
        for (const auto& points : { line->pointStyle(), line->selectedPointStyle() }) {
            points->setColor(light[i % 6]);
            points->setColorBelowBaseline(light[i % 6]);
        }
        line->setAreaColor(dark[i % 6]);
        line->setAreaColorBelowBaseline(dark[i % 6]);
    }

    const auto& band0 = bandSeriesStyles()[0];
    band0->setLineColorHigh(paletteColor(GreenLight));
    band0->setAreaColorNormal(paletteColor(GreenLight)->colorWithAlphaComponent(0.6));
    band0->pointStyle()->setColor(paletteColor(GreenLight));
    struct Band {
        PaletteColor highLight, highDark, lowLight, lowDark;
    } bands[]
        = { { OrangeLight, OrangeDark, BlueLight, BlueDark }, { YellowLight, YellowDark, PurpleLight, PurpleDark } };
    for (size_t i = 0; i < 2 && i + 1 < bandSeriesStyles().size(); ++i) {
        const auto& band = bandSeriesStyles()[i + 1];
        band->setLineColorHigh(paletteColor(bands[i].highLight));
        band->setLineColorLow(paletteColor(bands[i].lowLight));
        band->setAreaColorNormal(paletteColor(bands[i].highDark)->colorWithAlphaComponent(0.6));
        band->setAreaColorInverted(paletteColor(bands[i].lowDark)->colorWithAlphaComponent(0.6));
        band->pointStyle()->setColor(paletteColor(bands[i].highLight));
        band->pointStyle()->setColorBelowBaseline(paletteColor(bands[i].lowLight));
    }

    auto barColumn = [&](LChartBarColumnSeriesStyle& style, size_t i) {
        style.setAreaColor(light[i % 6]);
        style.setAreaColorBelowBaseline(light[i % 6]);
        style.setAreaColorGradient(dark[i % 6]);
        style.setAreaColorGradientBelowBaseline(dark[i % 6]);
    };
    for (size_t i = 0; i < columnSeriesStyles().size(); ++i)
        barColumn(*columnSeriesStyles()[i], i);
    for (size_t i = 0; i < barSeriesStyles().size(); ++i)
        barColumn(*barSeriesStyles()[i], i);
    for (size_t i = 0; i < scatterSeriesStyles().size(); ++i) {
        const auto& scatter = scatterSeriesStyles()[i];
        for (const auto& points : { scatter->pointStyle(), scatter->selectedPointStyle() }) {
            points->setColor(dark[i % 6]);
            points->setColorBelowBaseline(dark[i % 6]);
        }
    }

    const auto& donut = donutSeriesStyles()[0];
    donut->setChartEffect(3);
    donut->setLabelFontColor(UIColor::whiteColor());
    donut->setFlavourColors({ std::begin(light), std::end(light) });
    donut->setCrustColors({ std::begin(dark), std::end(dark) });

    const auto& candles = candlestickSeriesStyles()[0];
    candles->setStickColor(nullptr);
    candles->setOutlineColor(nullptr);
    candles->setRisingColorGradient(paletteColor(GreenDark));
}

void LChartMidnightTheme::configureScatterSeriesStyle(LChartScatterSeriesStyle& style)
{
    LChartTheme::configureScatterSeriesStyle(style);
    configureMarkers(style, 5, 55.0 / 255);
}

void LChartMidnightTheme::configureLineSeriesStyle(LChartLineSeriesStyle& style)
{
    LChartTheme::configureLineSeriesStyle(style);
    style.setAreaLineWidth(Value(1.0f));
    configureMarkers(style, 5, 55.0 / 255);
}
