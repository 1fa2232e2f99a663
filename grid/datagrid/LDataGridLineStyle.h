#pragma once

#include "grid/datagrid/LDataGridWrapper.h"

class LGridLineStyle;
class UIColor;

// The data grid's grid-line style: a wrapper of the engine's LGridLineStyle (width in points
// and colour, read and written on the engine object). Main thread only.
class LDataGridLineStyle : public LDataGridWrapper {
    VX_OBJECT(LDataGridLineStyle, LDataGridWrapper)
public:
    explicit LDataGridLineStyle(Passkey key)
        : LDataGridWrapper(key)
    {
    }
    // The engine's default line.
    static Ref<LDataGridLineStyle> init();
    static Ref<LDataGridLineStyle> style() { return init(); }
    static Ref<LDataGridLineStyle> initWithWidthWithColor(float width, const Ref<UIColor>& color);
    static Ref<LDataGridLineStyle> styleWithWidthWithColor(float width, const Ref<UIColor>& color)
    {
        return initWithWidthWithColor(width, color);
    }
    static Ref<LDataGridLineStyle> initWithObjectToWrap(const Ref<NSObject>& object);

    Class wrappedObjectType() const override;
    Ref<LGridLineStyle> lineStyle() const;

    float width() const;
    void setWidth(float width);
    Ref<UIColor> color() const;
    void setColor(const Ref<UIColor>& color);

    std::string description() const override;

protected:
    bool wrappedTypeRespondsToSelector(std::string_view selector) const override;
};
