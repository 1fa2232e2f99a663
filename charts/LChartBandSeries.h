#pragma once

#include "charts/LChartCartesianSeries.h"

class LChartBandSeriesStyle;

// A band between a high and a low value per position: a line along each, the area between them
// filled in one colour where high is above low and another where the lines have crossed, and
// markers at both ends of each point. It runs along x unless its points were mapped with keyed
// x values. Bands do not stack. Main thread only.
class LChartBandSeries final : public LChartCartesianSeries {
    VX_OBJECT(LChartBandSeries, LChartCartesianSeries)
public:
    explicit LChartBandSeries(Passkey);
    static Ref<LChartBandSeries> init(std::shared_ptr<LChartErrorHandler> errorHandler = nullptr);

    Ref<LChartBandSeriesStyle> style() const;
    void setStyle(const Ref<LChartBandSeriesStyle>& style);
    Ref<LChartBandSeriesStyle> selectedStyle() const;
    void setSelectedStyle(const Ref<LChartBandSeriesStyle>& style);
    Ref<LChartSeriesStyle> themeStyle(const LChartTheme& theme, int32_t index, bool selected) const override;
    // Fills what the user did not set on the series' styles from the theme's.
    void supplementStylesFromStyles(
        const Ref<LChartSeriesStyle>& normal, const Ref<LChartSeriesStyle>& selected) override;
    std::vector<std::string> orderedKeysForDataValues() const override { return { "High", "Low" }; }
    // 0 without points; 1 when the first point holds keyed x coordinates (a band along y).
    int32_t orientation() const override;

protected:
    RenderIndices emptyRenderIndexDict() const override
    {
        return { { "Points", 0 }, { "Lines", 0 }, { "Triangles", 0 }, { "Indexed Offset Triangles", 0 } };
    }
    void drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
        const LChartGLTranslation& translation, RenderIndices& slots) override;
};
