#include "grid/LGridSectionHeaderStyle.h"

#include "graphics/UIColor.h"

Ref<LGridSectionHeaderStyle> LGridSectionHeaderStyle::init()
{
    auto style = make<LGridSectionHeaderStyle>();
    style->m_textColor = UIColor::whiteColor();
    return style;
}

Ref<LGridSectionHeaderStyle> LGridSectionHeaderStyle::initWithHeightWithBackgroundColor(
    float height, const Ref<UIColor>& backgroundColor)
{
    auto style = init();
    style->m_height = height;
    style->m_backgroundColor = backgroundColor;
    return style;
}
