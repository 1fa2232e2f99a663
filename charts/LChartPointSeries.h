#pragma once

#include "charts/LChartCartesianSeries.h"

#include <vector>

class LChartBasePointStyle;
class LChartPointSeriesStyle;
class UIImage;

// A marker at every data point. Per bin the points are split into unselected and selected ones,
// each group handed to the drawing view as point sprites with a colour, a colour below the
// baseline, a radius and a texture per point. Main thread only.
class LChartPointSeries : public LChartCartesianSeries {
    VX_OBJECT(LChartPointSeries, LChartCartesianSeries)
public:
    explicit LChartPointSeries(Passkey);
    static Ref<LChartPointSeries> init(std::shared_ptr<LChartErrorHandler> errorHandler = nullptr);

    Ref<LChartPointSeriesStyle> style() const;
    void setStyle(const Ref<LChartPointSeriesStyle>& style);
    Ref<LChartPointSeriesStyle> selectedStyle() const;
    void setSelectedStyle(const Ref<LChartPointSeriesStyle>& style);
    Ref<LChartSeriesStyle> themeStyle(const LChartTheme& theme, int32_t index, bool selected) const override;

    // The marker radius of a point, in points, before the resolution scale.
    virtual double radiusForDataPoint(const LChartInternalDataPoint& point) const;

protected:
    void initPointSeries(std::shared_ptr<LChartErrorHandler> errorHandler);
    RenderIndices emptyRenderIndexDict() const override { return { { "Points", 0 } }; }
    void drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
        const LChartGLTranslation& translation, RenderIndices& slots) override;
    // Draws the bin's unselected markers with `unselectedStyle`, then its selected ones.
    void drawBinWithPointStyles(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
        const LChartGLTranslation& translation, RenderIndices& slots, const Ref<LChartBasePointStyle>& selectedStyle,
        const Ref<LChartBasePointStyle>& unselectedStyle);

private:
    void drawPointsForSelected(bool selected, LChartDrawer& drawer, const Ref<LChartBasePointStyle>& style,
        const std::vector<Ref<LChartInternalDataPoint>>& points, int32_t* slot, const LChartGLTranslation& translation,
        int32_t fillDirection, float glBaseline);
};

// Markers drawn twice: an outer marker sized by each point's radius and an inner disc on top,
// sized by its inner radius.
class LChartScatterSeries : public LChartPointSeries {
    VX_OBJECT(LChartScatterSeries, LChartPointSeries)
public:
    explicit LChartScatterSeries(Passkey key)
        : LChartPointSeries(key)
    {
    }
    static Ref<LChartScatterSeries> init(std::shared_ptr<LChartErrorHandler> errorHandler = nullptr);
    bool isDrawingOuterPoints() const { return m_isDrawingOuterPoints; }
    double radiusForDataPoint(const LChartInternalDataPoint& point) const override;

protected:
    void drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
        const LChartGLTranslation& translation, RenderIndices& slots) override;

private:
    bool m_isDrawingOuterPoints { false };
};

// Markers sized by each point's "Area" value, scaled so that the largest bubble fits a diameter
// (automatic scaling) unless the user set a scale.
class LChartBubbleSeries final : public LChartPointSeries {
    VX_OBJECT(LChartBubbleSeries, LChartPointSeries)
public:
    explicit LChartBubbleSeries(Passkey key)
        : LChartPointSeries(key)
    {
    }
    static Ref<LChartBubbleSeries> init(std::shared_ptr<LChartErrorHandler> errorHandler = nullptr);
    Ref<LChartSeriesStyle> themeStyle(const LChartTheme& theme, int32_t index, bool selected) const override;

    const Value& scale() const { return m_scale; }
    // A negative scale is logged and refused.
    void setScale(const Value& scale);
    const Value& autoScale() const { return m_autoScale; }
    void setAutoScale(const Value& scale) { m_autoScale = scale; }
    const Value& biggestBubbleDiameterForAutoScaling() const { return m_biggestDiameter; }
    // A negative or non-numeric diameter is logged and refused.
    void setBiggestBubbleDiameterForAutoScaling(const Value& diameter);
    Value currentScale() const { return m_scale.isNilOrNull() ? m_autoScale : m_scale; }
    double largestBubbleDiameterWithScaling(bool scaling) const;
    // Nil when a scale is set, or when no bubble has an area to scale.
    Value autoScaleForBubblesConstrainedByDiameter(double diameter) const;
    double radiusForDataPoint(const LChartInternalDataPoint& point) const override;
    std::vector<std::string> orderedKeysForDataValues() const override { return { "Area" }; }
    std::string stringForKeyWithDataPoint(const std::string&, const LChartDataPoint*) const override
    {
        return "Bubble Value: ";
    }

protected:
    void drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
        const LChartGLTranslation& translation, RenderIndices& slots) override;

private:
    Value m_autoScale;
    Value m_scale;
    Value m_biggestDiameter;
};
