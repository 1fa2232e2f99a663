#pragma once

#include "grid/datagrid/LDataGridWrapper.h"

class LGridGradient;
class LGridSectionHeaderStyle;
class UIColor;
class UIFont;

// The data grid's section header style: a wrapper of the engine's LGridSectionHeaderStyle
// (hidden flag, height, colours and font live on the engine object) with a gradient of its own,
// which the data grid's default section header view paints. Main thread only.
class LDataGridSectionHeaderStyle : public LDataGridWrapper {
    VX_OBJECT(LDataGridSectionHeaderStyle, LDataGridWrapper)
public:
    explicit LDataGridSectionHeaderStyle(Passkey key)
        : LDataGridWrapper(key)
    {
    }
    // A default engine style, then height 36 and "Helvetica-Bold" 20.
    static Ref<LDataGridSectionHeaderStyle> init();
    static Ref<LDataGridSectionHeaderStyle> initWithHeightWithBackgroundColor(
        float height, const Ref<UIColor>& backgroundColor);
    static Ref<LDataGridSectionHeaderStyle> initWithHeightWithBackgroundColorWithHidden(
        float height, const Ref<UIColor>& backgroundColor, bool hidden);
    static Ref<LDataGridSectionHeaderStyle> initWithObjectToWrap(const Ref<NSObject>& object);

    Class wrappedObjectType() const override;
    Ref<LGridSectionHeaderStyle> sectionHeaderStyle() const;

    bool hidden() const;
    void setHidden(bool hidden);
    float height() const;
    void setHeight(float height);
    Ref<UIColor> backgroundColor() const;
    void setBackgroundColor(const Ref<UIColor>& color);
    Ref<UIColor> textColor() const;
    void setTextColor(const Ref<UIColor>& color);
    Ref<UIFont> font() const;
    void setFont(const Ref<UIFont>& font);
    // Kept by the wrapper itself.
    const Ref<LGridGradient>& gradient() const { return m_gradient; }
    void setGradient(const Ref<LGridGradient>& gradient) { m_gradient = gradient; }

protected:
    bool wrappedTypeRespondsToSelector(std::string_view selector) const override;

private:
    Ref<LGridGradient> m_gradient;
};
