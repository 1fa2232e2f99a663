#pragma once

#include "charts/LChartAxisStyle.h"
#include "charts/LChartBandSeriesStyle.h"
#include "charts/LChartBoxGestureStyle.h"
#include "charts/LChartCrosshairStyle.h"
#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartLegendStyle.h"
#include "charts/LChartPointSeriesStyle.h"
#include "charts/LChartStyle.h"
#include "foundation/NSObject.h"

#include <vector>

// The complete default look of a chart: the chart-level styles and, per series family, a list
// of normal styles with a parallel list of selected styles derived from them. A theme builds
// everything in init from its palette, fonts and widths through overridable steps (setFonts,
// setColors, the configure steps, the alteration steps); the built-in variants override single
// steps. Main thread only.
class LChartTheme : public NSObject {
    VX_OBJECT(LChartTheme, NSObject)
public:
    explicit LChartTheme(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LChartTheme> init();
    // A new theme of this object's class, built by its own steps, holding copies of this
    // theme's chart-level styles, its palette colours, font names and widths.
    Ref<LChartTheme> copy() const;

    template <typename T> using Styles = std::vector<Ref<T>>;

    // Style lookup: the element at index mod count (both unsigned 32-bit); null for an empty list.
    template <typename T>
    static Ref<T> seriesStyleForSeriesAtIndex(
        int32_t index, bool selected, const Styles<T>& selectedStyles, const Styles<T>& normalStyles)
    {
        const auto& list = selected ? selectedStyles : normalStyles;
        if (list.empty())
            return nullptr;
        return list[static_cast<uint32_t>(index) % static_cast<uint32_t>(list.size())];
    }
    Ref<LChartLineSeriesStyle> lineSeriesStyleForSeriesAtIndex(int32_t index, bool selected) const;
    Ref<LChartBandSeriesStyle> bandSeriesStyleForSeriesAtIndex(int32_t index, bool selected) const;
    Ref<LChartColumnSeriesStyle> columnSeriesStyleForSeriesAtIndex(int32_t index, bool selected) const;
    Ref<LChartBarSeriesStyle> barSeriesStyleForSeriesAtIndex(int32_t index, bool selected) const;
    Ref<LChartScatterSeriesStyle> scatterSeriesStyleForSeriesAtIndex(int32_t index, bool selected) const;
    Ref<LChartBubbleSeriesStyle> bubbleSeriesStyleForSeriesAtIndex(int32_t index, bool selected) const;
    Ref<LChartDonutSeriesStyle> donutSeriesStyleForSeriesAtIndex(int32_t index, bool selected) const;
    Ref<LChartCandlestickSeriesStyle> candlestickSeriesStyleForSeriesAtIndex(int32_t index, bool selected) const;
    Ref<LChartOHLCSeriesStyle> ohlcSeriesStyleForSeriesAtIndex(int32_t index, bool selected) const;

    void addLineSeriesStyleAsSelected(const Ref<LChartLineSeriesStyle>& s, bool selected);
    void addBandSeriesStyleAsSelected(const Ref<LChartBandSeriesStyle>& s, bool selected);
    void addColumnSeriesStyleAsSelected(const Ref<LChartColumnSeriesStyle>& s, bool selected);
    void addBarSeriesStyleAsSelected(const Ref<LChartBarSeriesStyle>& s, bool selected);
    void addScatterSeriesStyleAsSelected(const Ref<LChartScatterSeriesStyle>& s, bool selected);
    void addBubbleSeriesStyleAsSelected(const Ref<LChartBubbleSeriesStyle>& s, bool selected);
    void addDonutSeriesStyleAsSelected(const Ref<LChartDonutSeriesStyle>& s, bool selected);
    void addCandlestickSeriesStyleAsSelected(const Ref<LChartCandlestickSeriesStyle>& s, bool selected);
    void addOHLCSeriesStyleAsSelected(const Ref<LChartOHLCSeriesStyle>& s, bool selected);

    // The lists themselves, for the variants and tests.
    const Styles<LChartLineSeriesStyle>& lineSeriesStyles() const { return m_lineSeriesStyles; }
    const Styles<LChartLineSeriesStyle>& lineSeriesSelectedStyles() const { return m_lineSeriesSelectedStyles; }
    const Styles<LChartBandSeriesStyle>& bandSeriesStyles() const { return m_bandSeriesStyles; }
    const Styles<LChartColumnSeriesStyle>& columnSeriesStyles() const { return m_columnSeriesStyles; }
    const Styles<LChartBarSeriesStyle>& barSeriesStyles() const { return m_barSeriesStyles; }
    const Styles<LChartScatterSeriesStyle>& scatterSeriesStyles() const { return m_scatterSeriesStyles; }
    const Styles<LChartScatterSeriesStyle>& scatterSeriesSelectedStyles() const
    {
        return m_scatterSeriesSelectedStyles;
    }
    const Styles<LChartBubbleSeriesStyle>& bubbleSeriesStyles() const { return m_bubbleSeriesStyles; }
    const Styles<LChartDonutSeriesStyle>& donutSeriesStyles() const { return m_donutSeriesStyles; }
    const Styles<LChartDonutSeriesStyle>& donutSeriesSelectedStyles() const { return m_donutSeriesSelectedStyles; }
    const Styles<LChartColumnSeriesStyle>& columnSeriesSelectedStyles() const { return m_columnSeriesSelectedStyles; }
    const Styles<LChartOHLCSeriesStyle>& ohlcSeriesStyles() const { return m_ohlcSeriesStyles; }
    const Styles<LChartCandlestickSeriesStyle>& candlestickSeriesStyles() const { return m_candlestickSeriesStyles; }

    // Chart-level styles.
    const Ref<LChartStyle>& chartStyle() const { return m_chartStyle; }
    void setChartStyle(const Ref<LChartStyle>& s) { m_chartStyle = s; }
    const Ref<LChartMainTitleStyle>& chartTitleStyle() const { return m_chartTitleStyle; }
    void setChartTitleStyle(const Ref<LChartMainTitleStyle>& s) { m_chartTitleStyle = s; }
    const Ref<LChartLegendStyle>& legendStyle() const { return m_legendStyle; }
    void setLegendStyle(const Ref<LChartLegendStyle>& s) { m_legendStyle = s; }
    const Ref<LChartAxisStyle>& xAxisStyle() const { return m_xAxisStyle; }
    void setXAxisStyle(const Ref<LChartAxisStyle>& s) { m_xAxisStyle = s; }
    const Ref<LChartAxisStyle>& yAxisStyle() const { return m_yAxisStyle; }
    void setYAxisStyle(const Ref<LChartAxisStyle>& s) { m_yAxisStyle = s; }
    const Ref<LChartCrosshairStyle>& crosshairStyle() const { return m_crosshairStyle; }
    void setCrosshairStyle(const Ref<LChartCrosshairStyle>& s) { m_crosshairStyle = s; }
    const Ref<LChartBoxGestureStyle>& boxGestureStyle() const { return m_boxGestureStyle; }
    void setBoxGestureStyle(const Ref<LChartBoxGestureStyle>& s) { m_boxGestureStyle = s; }

    // Palette.
    enum PaletteColor {
        Black,
        BlackLowAlpha,
        RedDark,
        RedLight,
        RedBrightLight,
        GreenDark,
        GreenLight,
        GreenBrightLight,
        BlueDark,
        BlueLight,
        OrangeDark,
        OrangeLight,
        PurpleDark,
        PurpleLight,
        YellowDark,
        YellowLight,
        PaletteCount
    };
    const Ref<UIColor>& paletteColor(PaletteColor which) const { return m_palette[which]; }
    void setPaletteColor(PaletteColor which, const Ref<UIColor>& color) { m_palette[which] = color; }
    const Ref<UIColor>& blackColor() const { return m_palette[Black]; }
    const Ref<UIColor>& blackColorLowAlpha() const { return m_palette[BlackLowAlpha]; }

    // Widths and fonts.
    Value lineWidth, columnLineWidth, barLineWidth, donutCrustThickness, pieCrustThickness;
    std::string boldFontName, regularFontName, lightFontName;

    // Building steps.
    virtual void setFonts();
    virtual void setColors();
    void configureStyles();
    void setStyles();
    virtual void configureLineSeriesStyle(LChartLineSeriesStyle& style);
    virtual void configureBarSeriesStyle(LChartBarSeriesStyle& style);
    virtual void configureColumnSeriesStyle(LChartColumnSeriesStyle& style);
    virtual void configureScatterSeriesStyle(LChartScatterSeriesStyle& style);
    virtual void configureBubbleSeriesStyle(LChartBubbleSeriesStyle& style);
    virtual void alterForSelectedLineSeriesStyle(LChartLineSeriesStyle& style);
    virtual void alterForSelectedBandSeriesStyle(LChartBandSeriesStyle& style);
    virtual void alterForSelectedColumnSeriesStyle(LChartColumnSeriesStyle& style);
    virtual void alterForSelectedBarSeriesStyle(LChartBarSeriesStyle& style);
    virtual void alterForSelectedScatterSeriesStyle(LChartScatterSeriesStyle& style);
    virtual void alterForSelectedBubbleSeriesStyle(LChartBubbleSeriesStyle&) { }
    virtual void alterForSelectedDonutSeriesStyle(LChartDonutSeriesStyle&) { }
    virtual void alterForSelectedCandlestickSeriesStyle(LChartCandlestickSeriesStyle& style);
    virtual void alterForSelectedOHLCSeriesStyle(LChartOHLCSeriesStyle& style);

    // Fonts by the theme's names (null when the platform has no such font).
    Ref<UIFont> regularFont(float size) const;
    Ref<UIFont> boldFont(float size) const;
    Ref<UIFont> lightFont(float size) const;

    // How many selected styles of the family exist while a selected style is being derived
    // (its own index).
    size_t selectedLineStyleCount() const { return m_lineSeriesSelectedStyles.size(); }
    size_t selectedColumnStyleCount() const { return m_columnSeriesSelectedStyles.size(); }
    size_t selectedBarStyleCount() const { return m_barSeriesSelectedStyles.size(); }

    // Both marker styles of a line or scatter style: radius, inner radius 3 and an inner colour
    // of grey `innerWhite` (the same below the baseline).
    static void configureMarkers(LChartPointSeriesStyle& style, float radius, CGFloat innerWhite);

    // Numeric comparison of the device's system version with "7.0".
    static bool systemVersionIsAtLeast7();
    // t on a tablet, p otherwise.
    static float sizeForIdiom(float phone, float tablet);

protected:
    void initialiseTheme();
    virtual Ref<LChartTheme> makeFresh() const { return init(); }
    // The light colour (or dark when `dark`) of colour family i: red, green, blue, orange,
    // purple, yellow.
    const Ref<UIColor>& familyColor(size_t i, bool dark) const;

private:
    Ref<LChartStyle> m_chartStyle;
    Ref<LChartMainTitleStyle> m_chartTitleStyle;
    Ref<LChartLegendStyle> m_legendStyle;
    Ref<LChartAxisStyle> m_xAxisStyle;
    Ref<LChartAxisStyle> m_yAxisStyle;
    Ref<LChartCrosshairStyle> m_crosshairStyle;
    Ref<LChartBoxGestureStyle> m_boxGestureStyle;
    Ref<UIColor> m_palette[PaletteCount];

    Styles<LChartLineSeriesStyle> m_lineSeriesStyles, m_lineSeriesSelectedStyles;
    Styles<LChartBandSeriesStyle> m_bandSeriesStyles, m_bandSeriesSelectedStyles;
    Styles<LChartColumnSeriesStyle> m_columnSeriesStyles, m_columnSeriesSelectedStyles;
    Styles<LChartBarSeriesStyle> m_barSeriesStyles, m_barSeriesSelectedStyles;
    Styles<LChartScatterSeriesStyle> m_scatterSeriesStyles, m_scatterSeriesSelectedStyles;
    Styles<LChartBubbleSeriesStyle> m_bubbleSeriesStyles, m_bubbleSeriesSelectedStyles;
    Styles<LChartDonutSeriesStyle> m_donutSeriesStyles, m_donutSeriesSelectedStyles;
    Styles<LChartOHLCSeriesStyle> m_ohlcSeriesStyles, m_ohlcSeriesSelectedStyles;
    Styles<LChartCandlestickSeriesStyle> m_candlestickSeriesStyles, m_candlestickSeriesSelectedStyles;
};
