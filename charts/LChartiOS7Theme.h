#pragma once

#include "charts/LChartTheme.h"

// Thin lines on a pale background in HelveticaNeue; the default look from system 7.0 on.
class LChartiOS7Theme final : public LChartTheme {
    VX_OBJECT(LChartiOS7Theme, LChartTheme)
public:
    explicit LChartiOS7Theme(Passkey key)
        : LChartTheme(key)
    {
    }
    static Ref<LChartiOS7Theme> init();

    const std::vector<Ref<UIColor>>& colours() const { return m_colours; }
    const std::vector<Ref<UIColor>>& selectedColours() const { return m_selectedColours; }

    void setFonts() override;
    void setColors() override;
    void configureLineSeriesStyle(LChartLineSeriesStyle& style) override;
    void configureBarSeriesStyle(LChartBarSeriesStyle& style) override;
    void configureColumnSeriesStyle(LChartColumnSeriesStyle& style) override;
    void alterForSelectedLineSeriesStyle(LChartLineSeriesStyle& style) override;
    void alterForSelectedColumnSeriesStyle(LChartColumnSeriesStyle& style) override;
    void alterForSelectedBarSeriesStyle(LChartBarSeriesStyle& style) override;
    void alterForSelectedScatterSeriesStyle(LChartScatterSeriesStyle& style) override;
    void alterForSelectedDonutSeriesStyle(LChartDonutSeriesStyle& style) override;

protected:
    Ref<LChartTheme> makeFresh() const override { return init(); }

private:
    const Ref<UIColor>& selectedColourAt(size_t n) const { return m_selectedColours[n % m_selectedColours.size()]; }

    std::vector<Ref<UIColor>> m_colours;
    std::vector<Ref<UIColor>> m_selectedColours;
};
