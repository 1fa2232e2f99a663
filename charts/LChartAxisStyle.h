#pragma once

#include "charts/LChartGridStripeStyle.h"
#include "charts/LChartMajorGridlineStyle.h"
#include "charts/LChartStyleFields.h"
#include "charts/LChartTickStyle.h"
#include "charts/LChartTitleStyle.h"

// An axis's look: its line, bar and column paddings, and five sub-styles (major and minor
// ticks, gridlines, stripes, title), all made by init.
//
// Supplementing fills a style from a theme's without losing what the user chose: an unset
// object field takes the theme's value through its setter (so validation applies); a flagged
// scalar whose flag is down takes the theme's value and keeps the flag down (so the next theme
// replaces it again); each sub-style is supplemented from the theme's sub-style. Main thread only.
class LChartAxisStyle final : public NSObject {
    VX_OBJECT(LChartAxisStyle, NSObject)
public:
    explicit LChartAxisStyle(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LChartAxisStyle> init();
    // Holds copies of the sub-styles; the deprecated paddings are not copied.
    Ref<LChartAxisStyle> copy() const;
    void supplementStyleFromStyle(const LChartAxisStyle& other);

    VX_STYLE_OBJECT(Ref<UIColor>, lineColor, LineColor)
    VX_STYLE_OBJECT(Value, lineWidth, LineWidth)
    VX_STYLE_OBJECT(Ref<LChartTickStyle>, majorTickStyle, MajorTickStyle)
    VX_STYLE_OBJECT(Ref<LChartTickStyle>, minorTickStyle, MinorTickStyle)
    VX_STYLE_OBJECT(Ref<LChartMajorGridlineStyle>, majorGridLineStyle, MajorGridLineStyle)
    VX_STYLE_OBJECT(Ref<LChartGridStripeStyle>, gridStripeStyle, GridStripeStyle)
    VX_STYLE_OBJECT(Ref<LChartAxisTitleStyle>, titleStyle, TitleStyle)

public:
    // Fractions of a slot left free: accepted from 0 up to (not including) 1; anything else is
    // logged and stored as 0. Nil is stored as nil (it reads as 0).
    const Value& interSeriesPadding() const { return m_interSeriesPadding; }
    void setInterSeriesPadding(const Value& padding);
    const Value& interSeriesSetPadding() const { return m_interSeriesSetPadding; }
    void setInterSeriesSetPadding(const Value& padding);

    // Deprecated names: each logs, keeps its own value and forwards a non-nil one.
    const Value& interColumnPadding() const { return m_interColumnPadding; }
    void setInterColumnPadding(const Value& padding);
    const Value& interColumnSetPadding() const { return m_interColumnSetPadding; }
    void setInterColumnSetPadding(const Value& padding);
    const Value& interBarPadding() const { return m_interBarPadding; }
    void setInterBarPadding(const Value& padding);
    const Value& interBarSetPadding() const { return m_interBarSetPadding; }
    void setInterBarSetPadding(const Value& padding);

private:
    Value validatedPadding(const Value& padding, const char* message) const;

    Value m_interSeriesPadding;
    Value m_interSeriesSetPadding;
    Value m_interColumnPadding;
    Value m_interColumnSetPadding;
    Value m_interBarPadding;
    Value m_interBarSetPadding;
};
