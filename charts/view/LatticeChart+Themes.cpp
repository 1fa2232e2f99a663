// Colours, borders, the background gradient and themes.

#include "charts/view/LatticeChart.h"

#include "charts/LChartAxisStyle.h"
#include "charts/LChartCartesianSeries.h"
#include "charts/LChartCategoryAxis.h"
#include "charts/LChartDataLoader.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartDateTimeAxis.h"
#include "charts/LChartDiscontinuousDateTimeAxis.h"
#include "charts/LChartDiscontinuousNumberAxis.h"
#include "charts/LChartDonutSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartLegendStyle.h"
#include "charts/LChartMultiYDataPoint.h"
#include "charts/LChartNumberAxis.h"
#include "charts/LChartRange.h"
#include "charts/LChartSeries.h"
#include "charts/LChartSeriesGroup.h"
#include "charts/LChartStyle.h"
#include "charts/LChartTheme.h"
#include "charts/LChartTitle.h"
#include "charts/LatticeChartLog.h"
#include "charts/LatticeCharts.h"
#include "charts/gl/LChartGLView.h"
#include "charts/view/LChartAnnotation.h"
#include "charts/view/LChartCanvas.h"
#include "charts/view/LChartCanvasOverlay.h"
#include "charts/view/LChartCrosshair.h"
#include "charts/view/LChartDelegate.h"
#include "charts/view/LChartGradientView.h"
#include "charts/view/LChartLegend.h"
#include "charts/view/LChartThreadWarnings.h"
#include "foundation/Dispatch.h"
#include "foundation/NSString.h"
#include "foundation/NSThread.h"
#include "graphics/UIColor.h"
#include "uikit/UIActivityIndicatorView.h"
#include "uikit/UILabel.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <set>

namespace {

// The gradient view under everything, from `top` down to `bottom`, following the chart's size.
Ref<UIView> newBackgroundGradientView(CGRect bounds, const Ref<UIColor>& top, const Ref<UIColor>& bottom)
{
    auto view = LChartGradientView::initWithFrame(bounds);
    view->setAutoresizingMask(kLChartAllAutoresizing);
    view->setTopColor(top);
    view->setBottomColor(bottom);
    view->setUserInteractionEnabled(false);
    return view;
}

} // namespace

void LatticeChart::setBackgroundColor(const Ref<UIColor>& color)
{
    if (m_theme && m_theme->chartStyle())
        m_theme->chartStyle()->setBackgroundColorGradient(nullptr);
    removeGradientView();
    UIView::setBackgroundColor(color);
}

void LatticeChart::removeGradientView()
{
    if (!m_gradientView)
        return;
    m_gradientView->removeFromSuperview();
    m_gradientView = nullptr;
}

void LatticeChart::rebuildGradientView()
{
    removeGradientView();
    const auto& style = m_theme ? m_theme->chartStyle() : nullptr;
    if (!style || !backgroundColor() || !style->backgroundColorGradient())
        return;
    m_gradientView = newBackgroundGradientView(bounds(), backgroundColor(), style->backgroundColorGradient());
    insertSubviewAtIndex(m_gradientView, 0);
}

Ref<UIColor> LatticeChart::canvasAreaBackgroundColor() const
{
    return m_canvas ? m_canvas->backgroundColor() : nullptr;
}

void LatticeChart::setCanvasAreaBackgroundColor(const Ref<UIColor>& color)
{
    if (m_canvas)
        m_canvas->setBackgroundColor(color ? color : UIColor::clearColor());
}

void LatticeChart::setPlotAreaBackgroundColor(const Ref<UIColor>& color)
{
    // The canvas paints it under the series, in the annotation underlay.
    m_plotAreaBackgroundColor = color;
}

Ref<UIColor> LatticeChart::plotAreaBorderColor() const
{
    if (!m_canvas || !m_canvas->glView()->layer()->borderColor())
        return nullptr;
    return UIColor::colorWithCGColor(m_canvas->glView()->layer()->borderColor());
}

void LatticeChart::setPlotAreaBorderColor(const Ref<UIColor>& color)
{
    if (m_canvas)
        m_canvas->glView()->layer()->setBorderColor(color ? color->CGColor() : nullptr);
}

float LatticeChart::plotAreaBorderThickness() const
{
    return m_canvas ? static_cast<float>(m_canvas->glView()->layer()->borderWidth()) : 0;
}

void LatticeChart::setPlotAreaBorderThickness(float thickness)
{
    if (m_canvas)
        m_canvas->glView()->layer()->setBorderWidth(thickness);
}

void LatticeChart::setBorderColor(const Ref<UIColor>& color)
{
    if (color == m_borderColor)
        return;
    m_borderColor = color;
    layer()->setBorderColor(color ? color->CGColor() : nullptr);
}

void LatticeChart::setBorderThickness(float thickness)
{
    m_borderThickness = thickness;
    layer()->setBorderWidth(thickness);
}

void LatticeChart::applyTheme(const Ref<LChartTheme>& theme)
{
    if (theme != m_theme)
        m_theme = theme;
    applyThemeToChart();
}

void LatticeChart::applyStyleToAxisPreservingSetValues(
    const Ref<LChartAxisStyle>& style, LChartAxis& axis, bool preservingSetValues)
{
    if (!style)
        return;
    if (preservingSetValues && axis.style())
        axis.style()->supplementStyleFromStyle(*style);
    else
        axis.setStyle(style->copy());
}

void LatticeChart::applyThemeToSeriesAtIndexPreservingSetValues(
    LChartSeries& series, int32_t index, bool preservingSetValues)
{
    if (m_theme)
        series.applyStylesFromThemeAtStyleIndexPreservingSetValues(*m_theme, index, preservingSetValues);
}

void LatticeChart::applyThemeToChart()
{
    if (!m_theme)
        return;
    const LChartTheme& theme = *m_theme;
    for (const auto& axis : m_xAxes)
        applyStyleToAxisPreservingSetValues(theme.xAxisStyle(), *axis, false);
    for (const auto& axis : m_yAxes)
        applyStyleToAxisPreservingSetValues(theme.yAxisStyle(), *axis, false);
    for (size_t i = 0; i < m_series.size(); ++i)
        applyThemeToSeriesAtIndexPreservingSetValues(*m_series[i], static_cast<int32_t>(i), false);

    if (const auto& style = theme.chartStyle()) {
        // Setting the background colour drops the style's gradient: it is put back after.
        Ref<UIColor> gradient = style->backgroundColorGradient();
        setBackgroundColor(style->backgroundColor());
        style->setBackgroundColorGradient(gradient);
        rebuildGradientView();
        setCanvasAreaBackgroundColor(style->canvasBackgroundColor());
        setPlotAreaBackgroundColor(style->plotAreaBackgroundColor());
        setPlotAreaBorderColor(style->plotAreaBorderColor());
        setPlotAreaBorderThickness(style->plotAreaBorderWidth().floatValue());
        setBorderColor(style->borderColor());
        setBorderThickness(style->borderWidth().floatValue());
        if (auto* spinner = dynamic_cast<UIActivityIndicatorView*>(m_loadingIndicator.get()))
            spinner->setColor(style->loadingDataIndicatorColor());
    }

    if (const auto& title = theme.chartTitleStyle()) {
        m_titleLabel->setTextColor(title->textColor());
        m_titleLabel->setBackgroundColor(title->backgroundColor());
        m_titleLabel->setTextAlignment(static_cast<NSTextAlignment>(title->textAlign()));
        m_titleLabel->setMinimumFontSize(title->minimumFontSize());
        m_titleLabel->setFont(title->font());
        m_overlapChartTitle = title->overlapChartTitle();
        m_titleCentresOn = title->titleCentresOn();
        m_titlePosition = title->position();
    }

    auto dressAxisTitles = [](const std::vector<Ref<LChartAxis>>& axes, const Ref<LChartAxisStyle>& style) {
        const auto& titleStyle = style ? style->titleStyle() : nullptr;
        if (!titleStyle)
            return;
        for (const auto& axis : axes) {
            const auto& label = axis->titleLabel();
            label->setTextColor(titleStyle->textColor());
            label->setBackgroundColor(titleStyle->backgroundColor());
            label->setTextAlignment(static_cast<NSTextAlignment>(titleStyle->textAlign()));
            if (axis->style() && axis->style()->titleStyle())
                axis->style()->titleStyle()->setTitleOrientation(titleStyle->titleOrientation());
        }
    };
    dressAxisTitles(m_xAxes, theme.xAxisStyle());
    dressAxisTitles(m_yAxes, theme.yAxisStyle());
    applyThemeToLegend(theme);
    redrawChartIncludePlotArea(true);
}

void LatticeChart::applyThemeToLegend(const LChartTheme& theme)
{
    const auto& from = theme.legendStyle();
    if (!m_legend || !from)
        return;
    m_legend->setPosition(0);
    auto style = m_legend->style();
    if (!style) {
        style = LChartLegendStyle::init();
        m_legend->setStyle(style);
    }
    style->setFont(from->font());
    style->setFontColor(from->fontColor());
    style->setTitleFont(from->titleFont());
    style->setTitleFontColor(from->titleFontColor());
    style->setMarginWidth(from->marginWidth());
    style->setBorderColor(from->borderColor());
    m_legend->setCornerRadius(from->cornerRadius());
    style->setSymbolCornerRadius(from->symbolCornerRadius());
    style->setShowSymbols(from->showSymbols());
    style->setAreaColor(from->areaColor());
    style->setSymbolAlignment(from->symbolAlignment());
    style->setOrientation(from->orientation());
    style->setHorizontalPadding(from->horizontalPadding());
    style->setVerticalPadding(from->verticalPadding());
}
