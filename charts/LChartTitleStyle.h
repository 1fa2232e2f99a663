#pragma once

#include "charts/LChartStyleFields.h"
#include "foundation/NSObject.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"

// The look of a title. No set flags. A copy is of the receiver's own class. Main thread only.
class LChartTitleStyle : public NSObject {
    VX_OBJECT(LChartTitleStyle, NSObject)
public:
    explicit LChartTitleStyle(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LChartTitleStyle> init() { return make<LChartTitleStyle>(); }
    Ref<LChartTitleStyle> copy() const;

    VX_STYLE_OBJECT(Ref<UIColor>, textColor, TextColor)
    VX_STYLE_OBJECT(Ref<UIFont>, font, Font)
    VX_STYLE_PLAIN(float, minimumFontSize, MinimumFontSize)
    VX_STYLE_PLAIN(int32_t, textAlign, TextAlign)
    VX_STYLE_OBJECT(Ref<UIColor>, backgroundColor, BackgroundColor)
    VX_STYLE_PLAIN(int32_t, position, Position)

protected:
    // A new, empty style of this object's class; subclasses' copies then add their fields.
    virtual Ref<LChartTitleStyle> makeEmpty() const { return init(); }
    virtual void copyInto(LChartTitleStyle& other) const;
};

// An axis title: one more field, the title's orientation. Zero counts as unset when supplementing.
class LChartAxisTitleStyle final : public LChartTitleStyle {
    VX_OBJECT(LChartAxisTitleStyle, LChartTitleStyle)
public:
    explicit LChartAxisTitleStyle(Passkey key)
        : LChartTitleStyle(key)
    {
    }
    static Ref<LChartAxisTitleStyle> init() { return make<LChartAxisTitleStyle>(); }
    Ref<LChartAxisTitleStyle> copy() const
    {
        return std::static_pointer_cast<LChartAxisTitleStyle>(LChartTitleStyle::copy());
    }
    void supplementStyleFromStyle(const LChartAxisTitleStyle& other);

    VX_STYLE_PLAIN(int32_t, titleOrientation, TitleOrientation)

protected:
    Ref<LChartTitleStyle> makeEmpty() const override { return init(); }
    void copyInto(LChartTitleStyle& other) const override;
};

// The chart's main title: whether it overlaps the chart and what it centres on.
class LChartMainTitleStyle final : public LChartTitleStyle {
    VX_OBJECT(LChartMainTitleStyle, LChartTitleStyle)
public:
    explicit LChartMainTitleStyle(Passkey key)
        : LChartTitleStyle(key)
    {
    }
    static Ref<LChartMainTitleStyle> init() { return make<LChartMainTitleStyle>(); }
    Ref<LChartMainTitleStyle> copy() const
    {
        return std::static_pointer_cast<LChartMainTitleStyle>(LChartTitleStyle::copy());
    }

    VX_STYLE_PLAIN(bool, overlapChartTitle, OverlapChartTitle)
    VX_STYLE_PLAIN(int32_t, titleCentresOn, TitleCentresOn)

protected:
    Ref<LChartTitleStyle> makeEmpty() const override { return init(); }
    void copyInto(LChartTitleStyle& other) const override;
};
