#pragma once

#include "foundation/NSObject.h"
#include "grid/GridForward.h"

class UIColor;

// The look of a grid line: a width in points and a colour. Main thread only.
class LGridLineStyle : public NSObject {
    VX_OBJECT(LGridLineStyle, NSObject)
public:
    explicit LGridLineStyle(Passkey key)
        : NSObject(key)
    {
    }
    // Width 1.0, dark grey.
    static Ref<LGridLineStyle> init();
    static Ref<LGridLineStyle> style() { return init(); }
    // A negative width is refused (logged) and leaves width 0.
    static Ref<LGridLineStyle> initWithWidthWithColor(float width, const Ref<UIColor>& color);
    static Ref<LGridLineStyle> styleWithWidthWithColor(float width, const Ref<UIColor>& color)
    {
        return initWithWidthWithColor(width, color);
    }

    float width() const { return m_width; }
    // A negative width is logged and the current width kept.
    void setWidth(float width);
    const Ref<UIColor>& color() const { return m_color; }
    void setColor(const Ref<UIColor>& color) { m_color = color; }

    // "[LGridLineStyle width:<width>, color:<colour>]", for border styles too.
    std::string description() const override;

protected:
    void initialise(float width, const Ref<UIColor>& color);

private:
    float m_width { 0 };
    Ref<UIColor> m_color;
};
