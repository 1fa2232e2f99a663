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
    // Fills what the user did not set on the series' styles from the theme's.
    void supplementStylesFromStyles(
        const Ref<LChartSeriesStyle>& normal, const Ref<LChartSeriesStyle>& selected) override;

    // The marker radius of a point, in points, before the resolution scale.
    virtual double radiusForDataPoint(const LChartInternalDataPoint& point) const;

protected:
    void initPointSeries(std::shared_ptr<LChartErrorHandler> errorHandler);
    RenderIndices emptyRenderIndexDict() const override { return { { "Points", 0 } }; }
    void drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
        const LChartGLTranslation& translation, RenderIndices& slots) override;
    // Draws the bin's unselected markers with `unselectedStyle`, then its selected ones. Radii
    // per point go with them only when one of the two styles shows its markers.
    void drawBinWithPointStyles(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
        const LChartGLTranslation& translation, RenderIndices& slots, const Ref<LChartBasePointStyle>& selectedStyle,
        const Ref<LChartBasePointStyle>& unselectedStyle);

private:
    // Whether a marker group hands the view a radius per point or only its style's radius.
    enum class MarkerRadii { PerPoint, StyleOnly };
    void drawPointsForSelected(bool selected, LChartDrawer& drawer, const Ref<LChartBasePointStyle>& style,
        const std::vector<Ref<LChartInternalDataPoint>>& points, int32_t* slot, const LChartGLTranslation& translation,
        int32_t fillDirection, float glBaseline, MarkerRadii withRadii);
};
