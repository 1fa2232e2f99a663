#include "grid/datagrid/LDataGridLineStyle.h"

#include "graphics/UIColor.h"
#include "grid/LGridLineStyle.h"

Ref<LDataGridLineStyle> LDataGridLineStyle::init()
{
    return initWithObjectToWrap(LGridLineStyle::init());
}

Ref<LDataGridLineStyle> LDataGridLineStyle::initWithWidthWithColor(float width, const Ref<UIColor>& color)
{
    return initWithObjectToWrap(LGridLineStyle::initWithWidthWithColor(width, color));
}

Ref<LDataGridLineStyle> LDataGridLineStyle::initWithObjectToWrap(const Ref<NSObject>& object)
{
    auto style = make<LDataGridLineStyle>();
    style->commonInitWithObjectToWrap(object);
    return style;
}

Class LDataGridLineStyle::wrappedObjectType() const
{
    return LGridLineStyle::classObject();
}

Ref<LGridLineStyle> LDataGridLineStyle::lineStyle() const
{
    return std::static_pointer_cast<LGridLineStyle>(wrappedObject());
}

float LDataGridLineStyle::width() const
{
    return lineStyle()->width();
}

void LDataGridLineStyle::setWidth(float width)
{
    lineStyle()->setWidth(width);
}

Ref<UIColor> LDataGridLineStyle::color() const
{
    return lineStyle()->color();
}

void LDataGridLineStyle::setColor(const Ref<UIColor>& color)
{
    lineStyle()->setColor(color);
}

std::string LDataGridLineStyle::description() const
{
    return wrappedObject() ? lineStyle()->description() : LDataGridWrapper::description();
}

bool LDataGridLineStyle::wrappedTypeRespondsToSelector(std::string_view selector) const
{
    return selector == "width" || selector == "setWidth:" || selector == "color" || selector == "setColor:";
}
