#include "charts/LChartDonutSeries.h"

#include "charts/LChartAngler.h"
#include "charts/LChartAnimationCurve.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartTheme.h"
#include "graphics/UIColor.h"

#include <cmath>

VX_REGISTER_CLASS(LChartDonutSeries);

LChartDonutSeries::LChartDonutSeries(Passkey key)
    : LChartSeries(key)
{
}

Ref<LChartDonutSeries> LChartDonutSeries::init(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    auto series = make<LChartDonutSeries>();
    series->initDonutSeries(std::move(errorHandler));
    return series;
}

void LChartDonutSeries::initDonutSeries(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    initSeries(std::move(errorHandler));
    setBaseStyle(LChartDonutSeriesStyle::init());
    setBaseSelectedStyle(LChartDonutSeriesStyle::init());
    m_selectionAnimation = LChartAnimation::radialSelection();
}

Ref<LChartDonutSeriesStyle> LChartDonutSeries::style() const
{
    return std::static_pointer_cast<LChartDonutSeriesStyle>(baseStyle());
}

Ref<LChartDonutSeriesStyle> LChartDonutSeries::selectedStyle() const
{
    return std::static_pointer_cast<LChartDonutSeriesStyle>(baseSelectedStyle());
}

Ref<LChartSeriesStyle> LChartDonutSeries::themeStyle(const LChartTheme& theme, int32_t index, bool selected) const
{
    return theme.donutSeriesStyleForSeriesAtIndex(index, selected);
}

void LChartDonutSeries::setInnerRadius(float radius)
{
    m_innerRadius = radius;
    m_innerRadiusSet = true;
}

void LChartDonutSeries::setOuterRadius(float radius)
{
    m_outerRadius = radius;
    m_outerRadiusSet = true;
}

void LChartDonutSeries::setRotation(float rotation)
{
    m_rotation = LChartAngler::wrap2PI(rotation);
}

void LChartDonutSeries::resetSelectedStatus()
{
    const auto& points = dataSeries()->dataPoints();
    m_selectedStatus.assign(points.size(), 0);
    for (size_t i = 0; i < points.size(); ++i)
        m_selectedStatus[i] = points[i]->selected() ? 1 : 0;
}

void LChartDonutSeries::setSelectedStatusAtIndex(size_t index, float status)
{
    if (index >= m_selectedStatus.size())
        m_selectedStatus.resize(index + 1, 0);
    m_selectedStatus[index] = status;
}

float LChartDonutSeries::sliceEndAngle(size_t index, float start, double total)
{
    auto& point = *dataSeries()->dataPoints()[index];
    double value = std::max(0.0, point.yValue().doubleValue());
    double sweep = value * 6.283185307179586 / total;
    float end;
    if (m_drawDirection == 0) {
        end = static_cast<float>(start + sweep);
        point.setXCoord(start - m_rotation);
        point.setYCoord(end - m_rotation);
    } else {
        end = static_cast<float>(start - sweep);
        point.setYCoord(start - m_rotation);
        point.setXCoord(end - m_rotation);
    }
    return end;
}

float LChartDonutSeries::datapointProtrusion(size_t index) const
{
    float p0 = style() ? style()->protrusion() : 0;
    float p1 = selectedStyle() ? selectedStyle()->protrusion() : 0;
    float status = index < m_selectedStatus.size() ? m_selectedStatus[index] : 0;
    float curve = m_selectionAnimation && m_selectionAnimation->radiusCurve()
        ? m_selectionAnimation->radiusCurve()->valueAtTime(status)
        : status;
    return p0 + curve * (p1 - p0);
}

Ref<LChartDonutSeriesStyle> LChartDonutSeries::styleOfSlice(size_t index) const
{
    const auto& points = dataSeries()->dataPoints();
    bool sliceSelected = index < points.size() && points[index]->selected();
    return sliceSelected && selectedStyle() ? selectedStyle() : style();
}

double LChartDonutSeries::prepareFrame()
{
    if (m_firstRender) {
        m_rotation = style() ? style()->initialRotation().floatValue() : 0;
        m_firstRender = false;
    }
    double total = 0;
    for (const auto& point : dataSeries()->dataPoints())
        total += std::max(0.0, point->yValue().doubleValue());
    return total;
}

void LChartDonutSeries::drawWithDrawer(LChartDrawer& drawer)
{
    if (auto* animation = activeAnimation())
        animation->setSeries(this);
    CGRect frame = drawer.frame();
    m_donutCenter = CGPointMake(std::floor((frame.origin.x + frame.size.width) * 0.5) + 0.5,
        std::floor((frame.origin.y + frame.size.height) * 0.5) + 0.5);
    double total = prepareFrame();
    const auto& points = dataSeries()->dataPoints();
    // Without a total every angle would be NaN: nothing is drawn.
    if (points.empty() || !(total > 0))
        return;
    const auto clear = UIColor::clearColor();
    float start = m_rotation;
    for (size_t i = 0; i < points.size(); ++i) {
        if (points[i]->yValue().doubleValue() < 0)
            errorHandler()->handleErrorWithMessageFromSource("Datapoint.yValue must be positive.", this);
        auto sliceStyle = styleOfSlice(i);
        float end = sliceEndAngle(i, start, total);
        auto index = static_cast<int32_t>(i);
        auto fill = sliceStyle->showFlavour() ? sliceStyle->flavourColorAtIndex(index) : clear;
        auto line = sliceStyle->showCrust() ? sliceStyle->crustColorAtIndex(index) : clear;
        drawer.drawRadialSlice(index, this, start, end, m_donutCenter, m_innerRadius, m_outerRadius,
            datapointProtrusion(i), (fill ? fill : clear).get(), (line ? line : clear).get(),
            sliceStyle->crustThickness().floatValue() * resolutionScale(), sliceStyle->chartEffect());
        start = end;
    }
}

void LChartDonutSeries::updateWithDrawer(LChartDrawer& drawer)
{
    double total = prepareFrame();
    const auto& points = dataSeries()->dataPoints();
    if (points.empty() || !(total > 0))
        return;
    const float scale = resolutionScale();
    const bool pie = m_innerRadius == 0;
    float start = m_rotation;
    for (size_t i = 0; i < points.size(); ++i) {
        float width = styleOfSlice(i)->crustThickness().floatValue() * scale;
        float end = sliceEndAngle(i, start, total);
        float angle = static_cast<float>(start + (end - start) * 0.5f) + static_cast<float>(M_PI / 2);
        float displacement = scale * datapointProtrusion(i);
        auto slice = static_cast<int32_t>(3 * i);
        // Fill and effect, the arcs, the edges: a donut's outer arc (3i + 1) is full width.
        drawer.updateRadialSeries(this, slice, displacement, angle, width);
        drawer.updateRadialSeries(this, slice + 1, displacement, angle, pie ? width / 2 : width);
        drawer.updateRadialSeries(this, slice + 2, displacement, angle, width / 2);
        start = end;
    }
}

void LChartDonutSeries::supplementStylesFromStyles(
    const Ref<LChartSeriesStyle>& normal, const Ref<LChartSeriesStyle>& selected)
{
    supplementStylesOfClass<LChartDonutSeriesStyle>(normal, selected);
}
