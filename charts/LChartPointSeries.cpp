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
    const bool shown
        = (selectedStyle && selectedStyle->showPoints()) || (unselectedStyle && unselectedStyle->showPoints());
    const auto withRadii = shown ? MarkerRadii::PerPoint : MarkerRadii::StyleOnly;
    drawPointsForSelected(
        false, drawer, unselectedStyle, bin.dataPoints(), slot, translation, fillDirection, glBaseline, withRadii);
    drawPointsForSelected(
        true, drawer, selectedStyle, bin.dataPoints(), slot, translation, fillDirection, glBaseline, withRadii);
}

void LChartPointSeries::drawPointsForSelected(bool selectedGroup, LChartDrawer& drawer,
    const Ref<LChartBasePointStyle>& style, const std::vector<Ref<LChartInternalDataPoint>>& points, int32_t* slot,
    const LChartGLTranslation& translation, int32_t fillDirection, float glBaseline, MarkerRadii withRadii)
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
        colourBelow.get(), styleRadius * scale, withRadii == MarkerRadii::PerPoint ? radii.data() : nullptr, glBaseline,
        fillDirection, translation);
}

void LChartPointSeries::supplementStylesFromStyles(
    const Ref<LChartSeriesStyle>& normal, const Ref<LChartSeriesStyle>& selected)
{
    supplementStylesOfClass<LChartPointSeriesStyle>(normal, selected);
}
