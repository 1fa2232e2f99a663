#include "charts/LChartGreyLook.h"

#include "charts/LChartFonts.h"

namespace {

Ref<UIColor> rgba(CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
    return UIColor::colorWithRedGreenBlueAlpha(r, g, b, a);
}

Ref<UIColor> grey(CGFloat w, CGFloat a)
{
    return UIColor::colorWithWhiteAlpha(w, a);
}

} // namespace

namespace LChartGreyLook {

void setFonts(LChartTheme& theme)
{
    if (LChartFonts::installNunitoFonts()) {
        theme.boldFontName = "Nunito-Bold";
        theme.regularFontName = "Nunito-Regular";
        theme.lightFontName = "Nunito-Light";
    } else {
        theme.boldFontName = "Thonburi-Bold";
        theme.regularFontName = theme.lightFontName = "Thonburi";
    }
}

void setColors(LChartTheme& theme, const Greys& g)
{
    theme.lineWidth = Value(2.0f);
    theme.columnLineWidth = Value(1.0f);
    theme.barLineWidth = Value(1.0f);
    theme.donutCrustThickness = Value(4.0f);
    theme.pieCrustThickness = Value(4.0f);
    auto clear = UIColor::clearColor();

    const auto& title = theme.chartTitleStyle();
    title->setOverlapChartTitle(false);
    title->setTitleCentresOn(1);
    title->setPosition(1);
    title->setTextColor(grey(g.titleText, g.titleTextAlpha));
    title->setFont(theme.boldFont(LChartTheme::sizeForIdiom(16, 24)));
    for (const auto& axis : { theme.xAxisStyle(), theme.yAxisStyle() }) {
        bool x = axis == theme.xAxisStyle();
        axis->titleStyle()->setTextColor(grey(g.axisTitleText, 1));
        axis->titleStyle()->setFont(theme.regularFont(LChartTheme::sizeForIdiom(12, 18)));
        axis->titleStyle()->setPosition(x ? 1 : 0);
        axis->setLineWidth(Value(1.5f));
        axis->setLineColor(clear);
        axis->majorTickStyle()->setLineWidth(Value(1.0f));
        axis->majorTickStyle()->setLineColor(grey(g.tickLine, 0.4));
        axis->minorTickStyle()->setLineColor(grey(g.tickLine, 0.4));
        axis->majorTickStyle()->setLabelColor(grey(g.tickLabel, 1));
        axis->majorTickStyle()->setLabelFont(theme.lightFont(LChartTheme::sizeForIdiom(10, 16)));
        axis->minorTickStyle()->setShowTicks(false);
        axis->majorGridLineStyle()->setShowMajorGridLines(true);
        axis->majorGridLineStyle()->setLineColor(grey(g.gridLine, 0.4));
    }
    const auto& legend = theme.legendStyle();
    legend->setFont(theme.regularFont(16));
    legend->setFontColor(grey(g.legendText, g.legendTextAlpha));
    legend->setBorderColor(grey(g.legendBorder, 0.7));
    legend->setMarginWidth(Value(20.0f));
    legend->setSymbolAlignment(0);
    legend->setHorizontalPadding(Value(15.0f));
    legend->setVerticalPadding(Value(15.0f));
    legend->setCornerRadius(Value(0.0f));
    legend->setShowSymbols(true);
    legend->setAreaColor(grey(g.background, 1));
    const auto& chart = theme.chartStyle();
    chart->setBackgroundColor(grey(g.background, 1));
    chart->setBackgroundColorGradient(grey(g.background, 1));
    chart->setPlotAreaBackgroundColor(grey(g.plotArea, 1));
    chart->setLoadingDataIndicatorColor(grey(g.loadingIndicator, 0.9));
    chart->setPlotAreaBorderWidth(Value(1.5f));
    chart->setBorderColor(clear);
    chart->setPlotAreaBorderColor(grey(g.plotBorder, 0.7));

    const Ref<UIColor> c[]
        = { rgba(0.6784, 0.3882, 0.6902, 1), rgba(0.2314, 0.6745, 0.7843, 1), rgba(0.9843, 0.4824, 0.2275, 1),
              rgba(0.0078, 0.698, 0.3647, 1), rgba(0.9412, 0.7412, 0.1176, 1), rgba(0.9608, 0.3647, 0.5922, 1) };
    const Ref<UIColor> d[]
        = { rgba(0.5059, 0.3137, 0.4902, 1), rgba(0.0784, 0.3961, 0.4157, 1), rgba(0.6745, 0.2784, 0.1294, 1),
              rgba(0.0902, 0.3294, 0.3412, 1), rgba(0.6824, 0.549, 0.1333, 1), rgba(0.6392, 0.2039, 0.3176, 1) };
    const Ref<UIColor> e[]
        = { rgba(0.3686, 0.2, 0.3725, 1), rgba(0.102, 0.3765, 0.6431, 1), rgba(0.6902, 0.1569, 0.098, 1),
              rgba(0.0784, 0.3451, 0.1686, 1), rgba(0.7608, 0.4157, 0.0627, 1), rgba(0.7373, 0.1804, 0.251, 1) };
    for (size_t i = 0; i < theme.lineSeriesStyles().size(); ++i) {
        const auto& line = theme.lineSeriesStyles()[i];
        size_t k = i % 6;
        line->setLineColor(c[k]);
        line->setLineColorBelowBaseline(c[k]);
        line->setAreaColor(c[k]);
        line->setAreaColorBelowBaseline(c[k]);
        for (const auto& points : { line->pointStyle(), line->selectedPointStyle() }) {
            points->setColor(c[k]);
            points->setColorBelowBaseline(c[k]);
        }
        line->setAreaLineColor(d[k]);
        line->setAreaLineColorBelowBaseline(d[k]);
        line->setAreaColorLowGradient(e[k]->colorWithAlphaComponent(g.lineGradientAlpha));
        line->setAreaColorGradientBelowBaseline(e[k]->colorWithAlphaComponent(g.lineGradientAlpha));
    }
    for (size_t i = 0; i < theme.scatterSeriesStyles().size(); ++i) {
        const auto& scatter = theme.scatterSeriesStyles()[i];
        for (const auto& points : { scatter->pointStyle(), scatter->selectedPointStyle() }) {
            points->setColor(c[i % 6]);
            points->setColorBelowBaseline(c[i % 6]);
        }
    }
    auto barColumn = [&](LChartBarColumnSeriesStyle& style, size_t i) {
        style.setLineColor(d[i % 6]);
        style.setLineColorBelowBaseline(d[i % 6]);
        style.setAreaColor(c[i % 6]);
        style.setAreaColorBelowBaseline(c[i % 6]);
        style.setAreaColorGradient(e[i % 6]);
        style.setAreaColorGradientBelowBaseline(e[i % 6]);
    };
    for (size_t i = 0; i < theme.barSeriesStyles().size(); ++i)
        barColumn(*theme.barSeriesStyles()[i], i);
    for (size_t i = 0; i < theme.columnSeriesStyles().size(); ++i)
        barColumn(*theme.columnSeriesStyles()[i], i);

    const auto& donut = theme.donutSeriesStyles()[0];
    donut->setCrustThickness(theme.donutCrustThickness);
    donut->setInitialRotation(Value(0.0f));
    donut->setShowCrust(true);
    donut->setShowFlavour(true);
    donut->setShowLabels(true);
    donut->setChartEffect(5);
    donut->setLabelFont(theme.regularFont(LChartTheme::sizeForIdiom(14, 22)));
    donut->setLabelFontColor(chart->backgroundColor());
    donut->setLabelBackgroundColor(clear);
    const Ref<UIColor> flavours[]
        = { rgba(0.6078, 0.298, 0.5922, 1), rgba(0.1647, 0.5412, 0.702, 1), rgba(0.9608, 0.3961, 0.1843, 1),
              rgba(0.4039, 0.6627, 0.2588, 1), rgba(0.9725, 0.7216, 0.2353, 1), rgba(0.9137, 0.2902, 0.4471, 1) };
    auto& flavourList = donut->mutableFlavourColors();
    auto& crustList = donut->mutableCrustColors();
    for (size_t i = 0; i < 6; ++i) {
        if (i < flavourList.size())
            flavourList[i] = flavours[i];
        if (i < crustList.size())
            crustList[i] = UIColor::blackColor();
    }

    for (LChartOHLCSeriesStyle* style : { theme.ohlcSeriesStyles()[0].get(),
             static_cast<LChartOHLCSeriesStyle*>(theme.candlestickSeriesStyles()[0].get()) }) {
        style->setRisingColor(rgba(0.1882, 0.4078, 0.0667, 1));
        style->setFallingColor(rgba(0.4706, 0.1059, 0.0863, 1));
        style->setArmWidth(Value(2.0f));
        style->setTrunkWidth(Value(2.0f));
    }

    const auto& band = theme.bandSeriesStyles()[0];
    auto b = rgba(0.4784, 0.6196, 0.6667, 1);
    band->setLineColorHigh(b);
    band->setLineColorLow(b);
    band->setLineWidth(Value(2.0f));
    band->setAreaColorNormal(b->colorWithAlphaComponent(0.5));
    band->setAreaColorInverted(b->colorWithAlphaComponent(0.5));
}

void configureLineSeriesStyle(LChartLineSeriesStyle& style, const Greys& greys)
{
    style.setAreaLineWidth(Value(1.0f));
    LChartTheme::configureMarkers(style, 5, greys.markerInner);
    style.setUseSeriesSymbols(false);
}

void configureScatterSeriesStyle(LChartScatterSeriesStyle& style, const Greys& greys)
{
    LChartTheme::configureMarkers(style, 5, greys.markerInner);
    style.setUseSeriesSymbols(false);
}

} // namespace LChartGreyLook
