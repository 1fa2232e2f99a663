#pragma once

#include "charts/LChartOHLCSeries.h"

// A price range drawn as a stick from low to high behind a body between open and close.
class LChartCandlestickSeries final : public LChartOHLCSeries {
    VX_OBJECT(LChartCandlestickSeries, LChartOHLCSeries)
public:
    explicit LChartCandlestickSeries(Passkey key)
        : LChartOHLCSeries(key)
    {
    }
    static Ref<LChartCandlestickSeries> init(std::shared_ptr<LChartErrorHandler> errorHandler = nullptr);
    Ref<LChartSeriesStyle> themeStyle(const LChartTheme& theme, int32_t index, bool selected) const override;
    // Fills what the user did not set on the series' styles from the theme's.
    void supplementStylesFromStyles(
        const Ref<LChartSeriesStyle>& normal, const Ref<LChartSeriesStyle>& selected) override;

protected:
    RenderIndices emptyRenderIndexDict() const override
    {
        return { { "Lines", 0 }, { "Triangles", 0 }, { "OffsetLines", 0 } };
    }
    void drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
        const LChartGLTranslation& translation, RenderIndices& slots) override;
};
