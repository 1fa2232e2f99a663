#pragma once

#include "charts/LChartStyleFields.h"
#include "foundation/NSObject.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIImage.h"

// The base of every series style: whether the legend shows the series' own symbol. Series
// styles follow the supplement rule of the chart-level styles (see LChartAxisStyle.h) but are
// not copied; each class says whether its supplement runs its base class's first. Main
// thread only.
class LChartSeriesStyle : public NSObject {
    VX_OBJECT(LChartSeriesStyle, NSObject)
public:
    explicit LChartSeriesStyle(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LChartSeriesStyle> init() { return make<LChartSeriesStyle>(); }
    void supplementStyleFromStyle(const LChartSeriesStyle& other);

    bool useSeriesSymbols() const { return m_useSeriesSymbols; }
    void setUseSeriesSymbols(bool value)
    {
        m_useSeriesSymbols = value;
        m_useSeriesSymbolsSet = true;
    }

private:
    bool m_useSeriesSymbols { false };
    bool m_useSeriesSymbolsSet { false };
};

// Markers drawn at data points.
class LChartBasePointStyle : public NSObject {
    VX_OBJECT(LChartBasePointStyle, NSObject)
public:
    explicit LChartBasePointStyle(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LChartBasePointStyle> init() { return make<LChartBasePointStyle>(); }
    // Fills from a point style of the same class (inner fields too for LChartPointStyle).
    virtual void supplementStyleFromStyle(const LChartBasePointStyle& other);

    VX_STYLE_FLAGGED(bool, showPoints, ShowPoints, Set)
    VX_STYLE_OBJECT(Ref<UIColor>, color, Color)
    VX_STYLE_OBJECT(Ref<UIColor>, colorBelowBaseline, ColorBelowBaseline)
    VX_STYLE_OBJECT(Ref<UIImage>, texture, Texture)

public:
    const Value& radius() const { return m_radius; }
    // 0 or less is logged and refused.
    void setRadius(const Value& radius);

private:
    Value m_radius;
};

// Markers with an inner disc.
class LChartPointStyle final : public LChartBasePointStyle {
    VX_OBJECT(LChartPointStyle, LChartBasePointStyle)
public:
    explicit LChartPointStyle(Passkey key)
        : LChartBasePointStyle(key)
    {
    }
    static Ref<LChartPointStyle> init() { return make<LChartPointStyle>(); }
    void supplementStyleFromStyle(const LChartBasePointStyle& other) override;

    VX_STYLE_OBJECT(Ref<UIColor>, innerColor, InnerColor)
    VX_STYLE_OBJECT(Ref<UIColor>, innerColorBelowBaseline, InnerColorBelowBaseline)

public:
    const Value& innerRadius() const { return m_innerRadius; }
    // Accepted from 0 up to (not including) the radius; nil clears it.
    void setInnerRadius(const Value& radius);

private:
    Value m_innerRadius;
};

// The markers of bubble series.
class LChartBubblePointStyle final : public LChartBasePointStyle {
    VX_OBJECT(LChartBubblePointStyle, LChartBasePointStyle)
public:
    explicit LChartBubblePointStyle(Passkey key)
        : LChartBasePointStyle(key)
    {
    }
    static Ref<LChartBubblePointStyle> init() { return make<LChartBubblePointStyle>(); }
};
