#include "grid/LGridBorderStyle.h"

#include "graphics/UIColor.h"

Ref<LGridBorderStyle> LGridBorderStyle::init()
{
    auto style = make<LGridBorderStyle>();
    style->initialise(1.0f, UIColor::darkGrayColor());
    style->setWidth(1.5f);
    style->setColor(UIColor::blackColor());
    return style;
}

Ref<LGridBorderStyle> LGridBorderStyle::styleWithWidthWithColor(float width, const Ref<UIColor>& color)
{
    auto style = make<LGridBorderStyle>();
    style->initialise(width, color);
    return style;
}
