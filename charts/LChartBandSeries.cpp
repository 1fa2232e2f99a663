#include "charts/LChartBandSeries.h"

#include "charts/LChartBandSeriesStyle.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartOrderedDictionary.h"
#include "charts/LChartSeriesDataBin.h"
#include "charts/LChartSeriesStyle.h"
#include "charts/LChartTheme.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"

VX_REGISTER_CLASS(LChartBandSeries);

LChartBandSeries::LChartBandSeries(Passkey key)
    : LChartCartesianSeries(key)
{
}

Ref<LChartBandSeries> LChartBandSeries::init(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    auto series = make<LChartBandSeries>();
    series->initCartesianSeries(std::move(errorHandler));
    series->setBaseStyle(LChartBandSeriesStyle::init());
    series->setBaseSelectedStyle(LChartBandSeriesStyle::init());
    series->setEntryAnimation(LChartAnimation::televisionAnimation());
    series->setExitAnimation(LChartAnimation::televisionAnimation());
    return series;
}

Ref<LChartBandSeriesStyle> LChartBandSeries::style() const
{
    return std::static_pointer_cast<LChartBandSeriesStyle>(baseStyle());
}

void LChartBandSeries::setStyle(const Ref<LChartBandSeriesStyle>& style)
{
    setBaseStyle(style);
}

Ref<LChartBandSeriesStyle> LChartBandSeries::selectedStyle() const
{
    return std::static_pointer_cast<LChartBandSeriesStyle>(baseSelectedStyle());
}

void LChartBandSeries::setSelectedStyle(const Ref<LChartBandSeriesStyle>& style)
{
    setBaseSelectedStyle(style);
}

Ref<LChartSeriesStyle> LChartBandSeries::themeStyle(const LChartTheme& theme, int32_t index, bool selected) const
{
    return theme.bandSeriesStyleForSeriesAtIndex(index, selected);
}

int32_t LChartBandSeries::orientation() const
{
    const auto* series = dataSeries();
    if (!series || series->dataPoints().empty())
        return 0;
    return series->dataPoints().front()->xCoords().count() > 0 ? 1 : 0;
}

void LChartBandSeries::drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
    const LChartGLTranslation& translation, RenderIndices& slots)
{
    auto normal = style();
    auto chosenStyle = selected() && selectedStyle() ? selectedStyle() : normal;
    if (!normal)
        return;
    auto pick = [&](auto getter) {
        auto value = ((*chosenStyle).*getter)();
        if (!value)
            value = ((*normal).*getter)();
        return value;
    };
    const auto clear = UIColor::clearColor();
    auto orClear = [&](Ref<UIColor> colour) { return colour ? colour : clear; };
    const float scale = resolutionScale();
    const int32_t o = orientation();
    const float lineBaseline = LChartCartesianSeries::baseline().isNilOrNull() ? 0 : glBaseline;

    // The points, starting at the previous bin's last one.
    std::vector<Ref<LChartInternalDataPoint>> points = bin.dataPoints();
    int32_t index = indexOfDataBin(bin);
    if (index > 0) {
        auto before = dataBins().objectAtIndexAs<LChartSeriesDataBin>(static_cast<uint32_t>(index - 1));
        if (!before->dataPoints().empty())
            points.insert(points.begin(), before->dataPoints().back());
    }
    auto edges = [&](const LChartInternalDataPoint& point, std::vector<float>& high, std::vector<float>& low) {
        const Value& keyed = o == 0 ? point.yCoords() : point.xCoords();
        float h = keyed.objectForKey(Value("High")).floatValue();
        float l = keyed.objectForKey(Value("Low")).floatValue();
        float position = static_cast<float>(o == 0 ? point.xCoord() : point.yCoord());
        if (o == 0) {
            high.insert(high.end(), { position, h });
            low.insert(low.end(), { position, l });
        } else {
            high.insert(high.end(), { h, position });
            low.insert(low.end(), { l, position });
        }
        return h >= l;
    };
    std::vector<float> high, low;
    int32_t crossings = 0;
    bool upper = false;
    for (size_t i = 0; i < points.size(); ++i) {
        bool isUpper = edges(*points[i], high, low);
        if (i > 0 && isUpper != upper)
            ++crossings;
        upper = isUpper;
    }
    const auto size = static_cast<int32_t>(high.size());

    // The fill, always handed over (clear without a fill) so it keeps its slot.
    bool fill = normal->showFill();
    drawer.drawBandSeriesFill(high.data(), this, low.data(), &slots["Triangles"], size,
        fill ? orClear(pick(&LChartBandSeriesStyle::areaColorNormal)).get() : clear.get(),
        fill ? orClear(pick(&LChartBandSeriesStyle::areaColorInverted)).get() : clear.get(), o, crossings, translation);

    // The low line, then the high line.
    Value widthValue = chosenStyle->lineWidth().isNilOrNull() ? normal->lineWidth() : chosenStyle->lineWidth();
    float width = widthValue.floatValue() * scale;
    auto lowColour = orClear(pick(&LChartBandSeriesStyle::lineColorLow));
    auto highColour = orClear(pick(&LChartBandSeriesStyle::lineColorHigh));
    drawer.drawLineStrip(low.data(), this, &slots["Lines"], &slots["Indexed Offset Triangles"], &slots["Points"], size,
        lowColour.get(), lowColour.get(), width, lineBaseline, o, translation);
    drawer.drawLineStrip(high.data(), this, &slots["Lines"], &slots["Indexed Offset Triangles"], &slots["Points"], size,
        highColour.get(), highColour.get(), width, lineBaseline, o, translation);

    // Markers: unselected points, then selected ones, each low end then high end.
    // Each marker value comes from the chosen style's point style, else from the normal one's.
    const auto& chosenMarkers = chosenStyle->pointStyle();
    const auto& normalMarkers = normal->pointStyle();
    auto markerColour = [&](auto getter) -> Ref<UIColor> {
        Ref<UIColor> value = chosenMarkers ? ((*chosenMarkers).*getter)() : nullptr;
        if (!value && normalMarkers)
            value = ((*normalMarkers).*getter)();
        return value;
    };
    Value radiusValue = chosenMarkers ? chosenMarkers->radius() : Value();
    if (radiusValue.isNilOrNull() && normalMarkers)
        radiusValue = normalMarkers->radius();
    bool showMarkers = normalMarkers && normalMarkers->showPoints();
    bool showSelected = normal->selectedPointStyle() && normal->selectedPointStyle()->showPoints();
    bool wantRadii = showMarkers || showSelected;
    Ref<UIColor> colour = showMarkers ? orClear(markerColour(&LChartBasePointStyle::color)) : clear;
    Ref<UIColor> below = showMarkers ? orClear(markerColour(&LChartBasePointStyle::colorBelowBaseline)) : clear;
    float r = (radiusValue.isNilOrNull() ? 0 : radiusValue.floatValue()) * scale;

    auto drawMarkers = [&](bool selectedPass, const Ref<LChartPointStyle>& textureStyle, float radius,
                           const Ref<UIColor>& lowColourMarker, const Ref<UIColor>& lowBelow,
                           const Ref<UIColor>& highColourMarker, const Ref<UIColor>& highBelow) {
        std::vector<float> markerHigh, markerLow, radii;
        std::vector<Ref<UIImage>> textures;
        for (const auto& point : points) {
            if (point->selected() != selectedPass)
                continue;
            edges(*point, markerHigh, markerLow);
            textures.push_back(
                point->texture() ? point->texture() : (textureStyle ? textureStyle->texture() : nullptr));
            radii.push_back(point->radius() > 0 ? point->radius() : radius);
        }
        auto count = static_cast<int32_t>(markerHigh.size());
        const float* radiusArray = wantRadii ? radii.data() : nullptr;
        drawer.drawDataPoints(markerLow.data(), this, &slots["Points"], textures, count, lowColourMarker.get(),
            lowBelow.get(), radius, radiusArray, lineBaseline, o, translation);
        drawer.drawDataPoints(markerHigh.data(), this, &slots["Points"], textures, count, highColourMarker.get(),
            highBelow.get(), radius, radiusArray, lineBaseline, o, translation);
    };
    drawMarkers(false, normal->pointStyle(), r, below, below, colour, colour);

    auto selectedMarkers = (selected() && selectedStyle() ? selectedStyle() : normal)->selectedPointStyle();
    float selectedRadius
        = selectedMarkers && !selectedMarkers->radius().isNilOrNull() ? selectedMarkers->radius().floatValue() : r;
    Ref<UIColor> g = selectedMarkers && selectedMarkers->color() ? selectedMarkers->color() : below;
    Ref<UIColor> selectedBelow = selectedMarkers ? selectedMarkers->colorBelowBaseline() : nullptr;
    Ref<UIColor> lowG = showSelected ? g : clear;
    Ref<UIColor> lowBelow = showSelected ? (selectedBelow ? selectedBelow : below) : clear;
    Ref<UIColor> highBelow = showSelected ? (selectedBelow ? selectedBelow : g) : clear;
    drawMarkers(true, normal->selectedPointStyle(), selectedRadius, lowG, lowBelow, lowG, highBelow);
}

void LChartBandSeries::supplementStylesFromStyles(
    const Ref<LChartSeriesStyle>& normal, const Ref<LChartSeriesStyle>& selected)
{
    supplementStylesOfClass<LChartBandSeriesStyle>(normal, selected);
}
