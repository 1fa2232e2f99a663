#pragma once

#include "charts/LChartTheme.h"

// Grey on near-white in Nunito; the default look before system 7.0.
class LChartLightTheme final : public LChartTheme {
    VX_OBJECT(LChartLightTheme, LChartTheme)
public:
    explicit LChartLightTheme(Passkey key)
        : LChartTheme(key)
    {
    }
    static Ref<LChartLightTheme> init();

    void setFonts() override;
    void setColors() override;
    void configureLineSeriesStyle(LChartLineSeriesStyle& style) override;
    void configureBarSeriesStyle(LChartBarSeriesStyle& style) override;
    void configureColumnSeriesStyle(LChartColumnSeriesStyle& style) override;
    void configureScatterSeriesStyle(LChartScatterSeriesStyle& style) override;

protected:
    Ref<LChartTheme> makeFresh() const override { return init(); }
};
