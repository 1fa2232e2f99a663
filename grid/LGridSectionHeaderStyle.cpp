#include "grid/LGridSectionHeaderStyle.h"

#include "graphics/UIColor.h"

Ref<LGridSectionHeaderStyle> LGridSectionHeaderStyle::init()
{
    auto style = make<LGridSectionHeaderStyle>();
    style->m_backgroundColor = UIColor::colorWithRedGreenBlueAlpha(206 / 255.0f, 111 / 255.0f, 62 / 255.0f, 1);
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

Ref<LGridSectionHeaderStyle> LGridSectionHeaderStyle::initWithHeightWithBackgroundColorWithHidden(
    float height, const Ref<UIColor>& backgroundColor, bool hidden)
{
    auto style = initWithHeightWithBackgroundColor(height, backgroundColor);
    style->m_hidden = hidden;
    return style;
}
