#pragma once

#include "charts/LChartPointSeries.h"

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
