#pragma once

#include "charts/LChartPointSeries.h"

#include <string>
#include <vector>

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
