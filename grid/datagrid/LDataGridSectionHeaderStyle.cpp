#include "grid/datagrid/LDataGridSectionHeaderStyle.h"

#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "grid/LGridGradient.h"
#include "grid/LGridSectionHeaderStyle.h"

Ref<LDataGridSectionHeaderStyle> LDataGridSectionHeaderStyle::init()
{
    auto style = initWithObjectToWrap(LGridSectionHeaderStyle::init());
    style->setHeight(36);
    style->setFont(UIFont::fontWithNameSize("Helvetica-Bold", 20));
    return style;
}

Ref<LDataGridSectionHeaderStyle> LDataGridSectionHeaderStyle::initWithHeightWithBackgroundColor(
    float height, const Ref<UIColor>& backgroundColor)
{
    return initWithObjectToWrap(LGridSectionHeaderStyle::initWithHeightWithBackgroundColor(height, backgroundColor));
}

Ref<LDataGridSectionHeaderStyle> LDataGridSectionHeaderStyle::initWithHeightWithBackgroundColorWithHidden(
    float height, const Ref<UIColor>& backgroundColor, bool hidden)
{
    auto engineStyle = LGridSectionHeaderStyle::initWithHeightWithBackgroundColor(height, backgroundColor);
    engineStyle->setHidden(hidden);
    return initWithObjectToWrap(engineStyle);
}

Ref<LDataGridSectionHeaderStyle> LDataGridSectionHeaderStyle::initWithObjectToWrap(const Ref<NSObject>& object)
{
    auto style = make<LDataGridSectionHeaderStyle>();
    style->commonInitWithObjectToWrap(object);
    return style;
}

Class LDataGridSectionHeaderStyle::wrappedObjectType() const
{
    return LGridSectionHeaderStyle::classObject();
}

Ref<LGridSectionHeaderStyle> LDataGridSectionHeaderStyle::sectionHeaderStyle() const
{
    return std::static_pointer_cast<LGridSectionHeaderStyle>(wrappedObject());
}

bool LDataGridSectionHeaderStyle::hidden() const
{
    return sectionHeaderStyle()->isHidden();
}

void LDataGridSectionHeaderStyle::setHidden(bool hidden)
{
    sectionHeaderStyle()->setHidden(hidden);
}

float LDataGridSectionHeaderStyle::height() const
{
    return sectionHeaderStyle()->height();
}

void LDataGridSectionHeaderStyle::setHeight(float height)
{
    sectionHeaderStyle()->setHeight(height);
}

Ref<UIColor> LDataGridSectionHeaderStyle::backgroundColor() const
{
    return sectionHeaderStyle()->backgroundColor();
}

void LDataGridSectionHeaderStyle::setBackgroundColor(const Ref<UIColor>& color)
{
    sectionHeaderStyle()->setBackgroundColor(color);
}

Ref<UIColor> LDataGridSectionHeaderStyle::textColor() const
{
    return sectionHeaderStyle()->textColor();
}

void LDataGridSectionHeaderStyle::setTextColor(const Ref<UIColor>& color)
{
    sectionHeaderStyle()->setTextColor(color);
}

Ref<UIFont> LDataGridSectionHeaderStyle::font() const
{
    return sectionHeaderStyle()->font();
}

void LDataGridSectionHeaderStyle::setFont(const Ref<UIFont>& font)
{
    sectionHeaderStyle()->setFont(font);
}

bool LDataGridSectionHeaderStyle::wrappedTypeRespondsToSelector(std::string_view selector) const
{
    for (std::string_view known : { "hidden", "setHidden:", "height", "setHeight:", "backgroundColor",
             "setBackgroundColor:", "textColor", "setTextColor:", "font", "setFont:" }) {
        if (known == selector)
            return true;
    }
    return false;
}
