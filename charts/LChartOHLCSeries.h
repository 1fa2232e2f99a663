#pragma once

#include "charts/LChartCartesianSeries.h"

class LChartOHLCSeriesStyle;

// A price range per position: a trunk from low to high with an arm to the lower positions at
// the open and one to the higher positions at the close, in the rising colours when the open is
// not above the close and the falling ones otherwise. Points carry "Open", "High", "Low" and
// "Close" as keyed coordinates (x ones for a range lying along x). Main thread only.
class LChartOHLCSeries : public LChartCartesianSeries {
    VX_OBJECT(LChartOHLCSeries, LChartCartesianSeries)
public:
    explicit LChartOHLCSeries(Passkey);
    static Ref<LChartOHLCSeries> init(std::shared_ptr<LChartErrorHandler> errorHandler = nullptr);

    Ref<LChartOHLCSeriesStyle> style() const;
    Ref<LChartOHLCSeriesStyle> selectedStyle() const;
    Ref<LChartSeriesStyle> themeStyle(const LChartTheme& theme, int32_t index, bool selected) const override;
    // Fills what the user did not set on the series' styles from the theme's.
    void supplementStylesFromStyles(
        const Ref<LChartSeriesStyle>& normal, const Ref<LChartSeriesStyle>& selected) override;
    std::vector<std::string> orderedKeysForDataValues() const override { return { "Open", "High", "Low", "Close" }; }

    struct Prices {
        float position, high, open, close, low;
        bool selected;
    };
    // The bin's prices in drawing coordinates, and whether each point is drawn selected.
    std::vector<Prices> pricesOfBin(const LChartSeriesDataBin& bin) const;

protected:
    // A width from the chosen style, else from the fallback (also when 0, if asked).
    static float styleWidth(const Value& chosen, const Value& fallback, bool fallbackWhenZero);
    void initOHLCSeries(std::shared_ptr<LChartErrorHandler> errorHandler);
    RenderIndices emptyRenderIndexDict() const override { return { { "Lines", 0 }, { "OffsetLines", 0 } }; }
    void drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
        const LChartGLTranslation& translation, RenderIndices& slots) override;
};
