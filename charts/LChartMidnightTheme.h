#pragma once

#include "charts/LChartTheme.h"

// A dark background with a palette of its own, in the base theme's fonts.
class LChartMidnightTheme final : public LChartTheme {
    VX_OBJECT(LChartMidnightTheme, LChartTheme)
public:
    explicit LChartMidnightTheme(Passkey key)
        : LChartTheme(key)
    {
    }
    static Ref<LChartMidnightTheme> init();

    void setColors() override;
    void configureLineSeriesStyle(LChartLineSeriesStyle& style) override;
    void configureScatterSeriesStyle(LChartScatterSeriesStyle& style) override;

    const Ref<UIColor>& midnight_greyColor() const { return m_grey; }
    const Ref<UIColor>& midnight_greyColorLowAlpha() const { return m_greyLowAlpha; }
    const Ref<UIColor>& midnight_greyColorLabel() const { return m_greyLabel; }
    const Ref<UIColor>& midnight_brownColorDark() const { return m_brownDark; }
    const Ref<UIColor>& midnight_brownColorLight() const { return m_brownLight; }
    const Ref<UIColor>& midnight_textShadowColor() const { return m_textShadow; }
    const Ref<UIColor>& midnight_blueColorDark() const { return paletteColor(BlueDark); }
    const Ref<UIColor>& midnight_blueColorLight() const { return paletteColor(BlueLight); }
    const Ref<UIColor>& midnight_greenColorDark() const { return paletteColor(GreenDark); }
    const Ref<UIColor>& midnight_greenColorLight() const { return paletteColor(GreenLight); }
    const Ref<UIColor>& midnight_orangeColorDark() const { return paletteColor(OrangeDark); }
    const Ref<UIColor>& midnight_orangeColorLight() const { return paletteColor(OrangeLight); }
    const Ref<UIColor>& midnight_purpleColorDark() const { return paletteColor(PurpleDark); }
    const Ref<UIColor>& midnight_purpleColorLight() const { return paletteColor(PurpleLight); }
    const Ref<UIColor>& midnight_yellowColorDark() const { return paletteColor(YellowDark); }
    const Ref<UIColor>& midnight_yellowColorLight() const { return paletteColor(YellowLight); }

protected:
    Ref<LChartTheme> makeFresh() const override { return init(); }

private:
    Ref<UIColor> m_grey;
    Ref<UIColor> m_greyLowAlpha;
    Ref<UIColor> m_greyLabel;
    Ref<UIColor> m_brownDark;
    Ref<UIColor> m_brownLight;
    Ref<UIColor> m_textShadow;
};
