#pragma once

#include "charts/LChartStyleFields.h"
#include "foundation/NSObject.h"
#include "graphics/UIColor.h"

// Gridlines at the major ticks. Main thread only.
class LChartMajorGridlineStyle final : public NSObject {
    VX_OBJECT(LChartMajorGridlineStyle, NSObject)
public:
    explicit LChartMajorGridlineStyle(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LChartMajorGridlineStyle> init() { return make<LChartMajorGridlineStyle>(); }
    // Both flags of a copy are up; a missing dash pattern becomes 10, 10.
    Ref<LChartMajorGridlineStyle> copy() const;
    void supplementStyleFromStyle(const LChartMajorGridlineStyle& other);

    VX_STYLE_FLAGGED(bool, showMajorGridLines, ShowMajorGridLines, Set)
    VX_STYLE_FLAGGED(bool, dashedMajorGridLines, DashedMajorGridLines, Set)
    VX_STYLE_OBJECT(Ref<UIColor>, lineColor, LineColor)
    VX_STYLE_OBJECT(Value, lineWidth, LineWidth)

public:
    // Lengths of dash and gap; nil until first set.
    const Value& dashStyle() const { return m_dashStyle; }
    // Nil stores the pattern 10, 10.
    void setDashStyle(const Value& pattern);

private:
    Value m_dashStyle;
};
