#include "charts/LChartPointSeries.h"

#include "charts/LChartAnimationCurve.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartPointSeriesStyle.h"
#include "charts/LChartSeriesDataBin.h"
#include "charts/LChartTheme.h"
#include "charts/LatticeChartLog.h"
#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"

#include <cmath>

VX_REGISTER_CLASS(LChartPointSeries);
VX_REGISTER_CLASS(LChartScatterSeries);
VX_REGISTER_CLASS(LChartBubbleSeries);

LChartPointSeries::LChartPointSeries(Passkey key)
    : LChartCartesianSeries(key)
{
}

Ref<LChartPointSeries> LChartPointSeries::init(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    auto series = make<LChartPointSeries>();
    series->initPointSeries(std::move(errorHandler));
    return series;
}

void LChartPointSeries::initPointSeries(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    initCartesianSeries(std::move(errorHandler));
    setBaseStyle(LChartPointSeriesStyle::init());
    setBaseSelectedStyle(LChartPointSeriesStyle::init());
    setBaseline({});
    setEntryAnimation(LChartAnimation::growAnimation());
    auto exit = LChartAnimation::growAnimation();
    exit->setXScaleCurve(LChartLinearAnimationCurve::init());
    exit->setYScaleCurve(LChartLinearAnimationCurve::init());
    exit->setDuration(Value(0.5));
    setExitAnimation(exit);
}

Ref<LChartPointSeriesStyle> LChartPointSeries::style() const
{
    return std::static_pointer_cast<LChartPointSeriesStyle>(baseStyle());
}

void LChartPointSeries::setStyle(const Ref<LChartPointSeriesStyle>& style)
{
    setBaseStyle(style);
}

void LChartPointSeries::setSelectedStyle(const Ref<LChartPointSeriesStyle>& style)
{
    setBaseSelectedStyle(style);
}

Ref<LChartPointSeriesStyle> LChartPointSeries::selectedStyle() const
{
    return std::static_pointer_cast<LChartPointSeriesStyle>(baseSelectedStyle());
}

Ref<LChartSeriesStyle> LChartPointSeries::themeStyle(const LChartTheme& theme, int32_t index, bool selected) const
{
    return theme.scatterSeriesStyleForSeriesAtIndex(index, selected);
}

double LChartPointSeries::radiusForDataPoint(const LChartInternalDataPoint& point) const
{
    return point.radius();
}

void LChartPointSeries::drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
    const LChartGLTranslation& translation, RenderIndices& slots)
{
    auto chosen = selected() && selectedStyle() ? selectedStyle() : style();
    if (!chosen)
        return;
    auto unselected = chosen->pointStyle();
    auto selectedPoints = chosen->selectedPointStyle();
    // Selected markers take the unselected colours they lack.
    if (selectedPoints && unselected) {
        if (!selectedPoints->color())
            selectedPoints->setColor(unselected->color());
        if (!selectedPoints->colorBelowBaseline())
            selectedPoints->setColorBelowBaseline(unselected->colorBelowBaseline());
    }
    drawBinWithPointStyles(bin, drawer, glBaseline, translation, slots, selectedPoints, unselected);
}

void LChartPointSeries::drawBinWithPointStyles(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
    const LChartGLTranslation& translation, RenderIndices& slots, const Ref<LChartBasePointStyle>& selectedStyle,
    const Ref<LChartBasePointStyle>& unselectedStyle)
{
    const int32_t fillDirection = 1 - (orientation() == 0 ? 0 : 1);
    int32_t* slot = &slots["Points"];
    drawPointsForSelected(
        false, drawer, unselectedStyle, bin.dataPoints(), slot, translation, fillDirection, glBaseline);
    drawPointsForSelected(true, drawer, selectedStyle, bin.dataPoints(), slot, translation, fillDirection, glBaseline);
}

void LChartPointSeries::drawPointsForSelected(bool selectedGroup, LChartDrawer& drawer,
    const Ref<LChartBasePointStyle>& style, const std::vector<Ref<LChartInternalDataPoint>>& points, int32_t* slot,
    const LChartGLTranslation& translation, int32_t fillDirection, float glBaseline)
{
    const float scale = resolutionScale();
    const float styleRadius = style ? style->radius().floatValue() : 0;
    std::vector<float> buffer;
    std::vector<Ref<UIImage>> textures;
    std::vector<float> radii;
    for (const auto& point : points) {
        if (point->selected() != selectedGroup)
            continue;
        buffer.insert(buffer.end(), { static_cast<float>(point->xCoord()), static_cast<float>(point->yCoord()) });
        double r = radiusForDataPoint(*point);
        radii.push_back(r > 0 ? scale * static_cast<float>(r) : scale * styleRadius);
        textures.push_back(point->texture() ? point->texture() : (style ? style->texture() : nullptr));
    }
    const bool show = style && style->showPoints();
    auto clear = UIColor::clearColor();
    Ref<UIColor> colour = show && style->color() ? style->color() : clear;
    Ref<UIColor> colourBelow = show && style->colorBelowBaseline() ? style->colorBelowBaseline() : clear;
    if (show && !style->colorBelowBaseline())
        colourBelow = colour;
    drawer.drawDataPoints(buffer.data(), this, slot, textures, static_cast<int32_t>(buffer.size()), colour.get(),
        colourBelow.get(), styleRadius * scale, radii.data(), glBaseline, fillDirection, translation);
}

// Scatter series.

Ref<LChartScatterSeries> LChartScatterSeries::init(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    auto series = make<LChartScatterSeries>();
    series->initPointSeries(std::move(errorHandler));
    series->setBaseStyle(LChartScatterSeriesStyle::init());
    series->setBaseSelectedStyle(LChartScatterSeriesStyle::init());
    return series;
}

double LChartScatterSeries::radiusForDataPoint(const LChartInternalDataPoint& point) const
{
    return m_isDrawingOuterPoints ? point.radius() : point.innerRadius();
}

void LChartScatterSeries::drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
    const LChartGLTranslation& translation, RenderIndices& slots)
{
    auto normal = style();
    auto chosen = selected() && selectedStyle() ? selectedStyle() : normal;
    if (!chosen)
        return;
    // The inner discs: a plain point style from each marker style's inner values.
    auto innerOf = [&](const Ref<LChartBasePointStyle>& own, const Ref<LChartBasePointStyle>& fallback) {
        auto inner = LChartBasePointStyle::init();
        auto ownPoint = std::dynamic_pointer_cast<LChartPointStyle>(own);
        auto fallbackPoint = std::dynamic_pointer_cast<LChartPointStyle>(fallback);
        auto pick = [&](auto getter) {
            auto value = ownPoint ? ((*ownPoint).*getter)() : decltype(((*ownPoint).*getter)()) {};
            if (!value && fallbackPoint)
                value = ((*fallbackPoint).*getter)();
            return value;
        };
        Value radius = ownPoint ? ownPoint->innerRadius() : Value();
        if (radius.isNilOrNull() && fallbackPoint)
            radius = fallbackPoint->innerRadius();
        if (radius.floatValue() > 0)
            inner->setRadius(radius);
        inner->setColor(pick(&LChartPointStyle::innerColor));
        inner->setColorBelowBaseline(pick(&LChartPointStyle::innerColorBelowBaseline));
        inner->setShowPoints((own && own->showPoints()) || (fallback && fallback->showPoints()));
        return inner;
    };
    auto innerUnselected = innerOf(chosen->pointStyle(), normal ? normal->pointStyle() : nullptr);
    auto innerSelected = innerOf(chosen->selectedPointStyle(), normal ? normal->selectedPointStyle() : nullptr);
    m_isDrawingOuterPoints = true;
    drawBinWithPointStyles(
        bin, drawer, glBaseline, translation, slots, chosen->selectedPointStyle(), chosen->pointStyle());
    m_isDrawingOuterPoints = false;
    drawBinWithPointStyles(bin, drawer, glBaseline, translation, slots, innerSelected, innerUnselected);
}

// Bubble series.

Ref<LChartBubbleSeries> LChartBubbleSeries::init(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    auto series = make<LChartBubbleSeries>();
    series->initPointSeries(std::move(errorHandler));
    series->setBaseStyle(LChartBubbleSeriesStyle::init());
    series->setBaseSelectedStyle(LChartBubbleSeriesStyle::init());
    auto keys = series->orderedKeysForDataValues();
    series->dataSeries()->setValueKeys(keys);
    series->dataSeries()->setXValueKeys(keys);
    series->dataSeries()->setYValueKeys(keys);
    return series;
}

Ref<LChartSeriesStyle> LChartBubbleSeries::themeStyle(const LChartTheme& theme, int32_t index, bool selected) const
{
    return theme.bubbleSeriesStyleForSeriesAtIndex(index, selected);
}

void LChartBubbleSeries::setScale(const Value& scale)
{
    if (scale.doubleValue() < 0) {
        LatticeChartLog::logMessageFromSource(
            NSString::stringWithFormat("Cannot set a negative scale of %@. Maintaining a scale of %@", scale, m_scale),
            this);
        return;
    }
    m_scale = scale;
}

void LChartBubbleSeries::setBiggestBubbleDiameterForAutoScaling(const Value& diameter)
{
    double value = diameter.doubleValue();
    if (!(value >= 0) || !diameter.isNumber()) {
        LatticeChartLog::logMessageFromSource(
            NSString::stringWithFormat("An attempt to set biggestBubbleDiameterForAutoScaling to %@ has been made. "
                                       "Maintaining current value of %@.",
                diameter, m_biggestDiameter),
            this);
        return;
    }
    m_biggestDiameter = diameter;
}

double LChartBubbleSeries::largestBubbleDiameterWithScaling(bool scaling) const
{
    double largest = 0;
    for (const auto& point : dataSeries()->dataPoints())
        largest = std::max(largest, point->values().objectForKey(Value("Area")).doubleValue());
    double diameter = 2 * std::sqrt(largest / M_PI);
    return scaling ? diameter * currentScale().doubleValue() : diameter;
}

Value LChartBubbleSeries::autoScaleForBubblesConstrainedByDiameter(double diameter) const
{
    if (!m_scale.isNilOrNull())
        return {};
    double largest = largestBubbleDiameterWithScaling(false);
    // No bubble with an area: nothing to scale (radii stay 0) rather than a division by zero.
    if (!(largest > 0))
        return {};
    return Value(diameter / largest);
}

double LChartBubbleSeries::radiusForDataPoint(const LChartInternalDataPoint& point) const
{
    double area = point.values().objectForKey(Value("Area")).doubleValue();
    return std::sqrt(area / M_PI) * currentScale().doubleValue();
}

void LChartBubbleSeries::drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
    const LChartGLTranslation& translation, RenderIndices& slots)
{
    CGSize size = drawer.frame().size;
    double diameter
        = m_biggestDiameter.isNilOrNull() ? std::min(size.width, size.height) / 2 : m_biggestDiameter.doubleValue();
    m_autoScale = autoScaleForBubblesConstrainedByDiameter(diameter);
    LChartPointSeries::drawBin(bin, drawer, glBaseline, translation, slots);
}
