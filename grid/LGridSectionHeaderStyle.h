#pragma once

#include "foundation/NSObject.h"
#include "grid/GridForward.h"

class UIColor;
class UIFont;

// The look of a section header: its height, colours, font and whether it is hidden. A new
// style is 30 points high, on (206, 111, 62) with white text. The grid reads it for header
// heights and header views.
class LGridSectionHeaderStyle : public NSObject {
    VX_OBJECT(LGridSectionHeaderStyle, NSObject)
public:
    explicit LGridSectionHeaderStyle(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LGridSectionHeaderStyle> init();
    static Ref<LGridSectionHeaderStyle> initWithHeightWithBackgroundColor(
        float height, const Ref<UIColor>& backgroundColor);
    static Ref<LGridSectionHeaderStyle> initWithHeightWithBackgroundColorWithHidden(
        float height, const Ref<UIColor>& backgroundColor, bool hidden);

    float height() const { return m_height; }
    void setHeight(float height) { m_height = height; }
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden) { m_hidden = hidden; }
    const Ref<UIColor>& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const Ref<UIColor>& color) { m_backgroundColor = color; }
    const Ref<UIColor>& textColor() const { return m_textColor; }
    void setTextColor(const Ref<UIColor>& color) { m_textColor = color; }
    const Ref<UIFont>& font() const { return m_font; }
    void setFont(const Ref<UIFont>& font) { m_font = font; }

private:
    float m_height { 30 };
    bool m_hidden { false };
    Ref<UIColor> m_backgroundColor;
    Ref<UIColor> m_textColor;
    Ref<UIFont> m_font;
};
