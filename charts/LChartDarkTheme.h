#pragma once

#include "charts/LChartTheme.h"

// The light look's layout on dark grey.
class LChartDarkTheme final : public LChartTheme {
    VX_OBJECT(LChartDarkTheme, LChartTheme)
public:
    explicit LChartDarkTheme(Passkey key)
        : LChartTheme(key)
    {
    }
    static Ref<LChartDarkTheme> init();

    void setFonts() override;
    void setColors() override;
    void configureLineSeriesStyle(LChartLineSeriesStyle& style) override;
    void configureBarSeriesStyle(LChartBarSeriesStyle& style) override;
    void configureColumnSeriesStyle(LChartColumnSeriesStyle& style) override;
    void configureScatterSeriesStyle(LChartScatterSeriesStyle& style) override;

protected:
    Ref<LChartTheme> makeFresh() const override { return init(); }
};
