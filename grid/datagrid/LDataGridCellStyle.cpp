#include "grid/datagrid/LDataGridCellStyle.h"

#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "grid/LGridCellStyle.h"
#include "grid/LGridGradient.h"

#include <array>

Ref<LDataGridCellStyle> LDataGridCellStyle::init()
{
    return initWithObjectToWrap(LGridCellStyle::init());
}

Ref<LDataGridCellStyle> LDataGridCellStyle::initWithObjectToWrap(const Ref<NSObject>& object)
{
    auto style = make<LDataGridCellStyle>();
    style->commonInitWithObjectToWrap(object);
    return style;
}

Ref<LDataGridCellStyle> LDataGridCellStyle::wrapperOfEngineStyle(const Ref<LGridCellStyle>& style)
{
    if (!style)
        return nullptr;
    auto wrapper = make<LDataGridCellStyle>();
    wrapper->commonInitWithEngineObject(style);
    return wrapper;
}

Ref<LDataGridCellStyle>
LDataGridCellStyle::initWithBackgroundColorWithTextColorWithTextAlignmentWithVerticalTextAlignmentWithFont(
    const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor, int32_t textAlignment,
    int32_t verticalTextAlignment, const Ref<UIFont>& font)
{
    return initWithObjectToWrap(
        LGridCellStyle::styleWithBackgroundColorWithTextColorWithTextAlignmentWithVerticalTextAlignmentWithFont(
            backgroundColor, textColor, textAlignment, verticalTextAlignment, font));
}

Ref<LDataGridCellStyle> LDataGridCellStyle::initWithBackgroundColorWithTextColorWithFont(
    const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor, const Ref<UIFont>& font)
{
    return initWithObjectToWrap(
        LGridCellStyle::styleWithBackgroundColorWithTextColorWithFont(backgroundColor, textColor, font));
}

Class LDataGridCellStyle::wrappedObjectType() const
{
    return LGridCellStyle::classObject();
}

Ref<LGridCellStyle> LDataGridCellStyle::cellStyle() const
{
    return std::static_pointer_cast<LGridCellStyle>(wrappedObject());
}

Ref<UIColor> LDataGridCellStyle::backgroundColor() const
{
    return cellStyle()->backgroundColor();
}

void LDataGridCellStyle::setBackgroundColor(const Ref<UIColor>& color)
{
    cellStyle()->setBackgroundColor(color);
}

Ref<UIColor> LDataGridCellStyle::textColor() const
{
    return cellStyle()->textColor();
}

void LDataGridCellStyle::setTextColor(const Ref<UIColor>& color)
{
    cellStyle()->setTextColor(color);
}

int32_t LDataGridCellStyle::textAlignment() const
{
    return cellStyle()->textAlignment();
}

void LDataGridCellStyle::setTextAlignment(int32_t alignment)
{
    cellStyle()->setTextAlignment(alignment);
}

Ref<UIFont> LDataGridCellStyle::font() const
{
    return cellStyle()->font();
}

void LDataGridCellStyle::setFont(const Ref<UIFont>& font)
{
    cellStyle()->setFont(font);
}

int32_t LDataGridCellStyle::textVerticalAlignment() const
{
    return cellStyle()->textVerticalAlignment();
}

void LDataGridCellStyle::setTextVerticalAlignment(int32_t alignment)
{
    cellStyle()->setTextVerticalAlignment(alignment);
}

Ref<LGridGradient> LDataGridCellStyle::gradient() const
{
    return cellStyle()->gradient();
}

void LDataGridCellStyle::setGradient(const Ref<LGridGradient>& gradient)
{
    cellStyle()->setGradient(gradient);
}

UIEdgeInsets LDataGridCellStyle::contentInset() const
{
    return cellStyle()->contentInset();
}

void LDataGridCellStyle::setContentInset(UIEdgeInsets inset)
{
    cellStyle()->setContentInset(inset);
}

std::string LDataGridCellStyle::description() const
{
    return wrappedObject() ? cellStyle()->description() : LDataGridWrapper::description();
}

bool LDataGridCellStyle::wrappedTypeRespondsToSelector(std::string_view selector) const
{
    static const std::array<std::string_view, 16> s_selectors { "backgroundColor", "setBackgroundColor:", "textColor",
        "setTextColor:", "textAlignment", "setTextAlignment:", "font", "setFont:", "textVerticalAlignment",
        "setTextVerticalAlignment:", "gradient", "setGradient:", "contentInset",
        "setContentInset:", "overrideWithStyle:", "copy" };
    for (auto known : s_selectors) {
        if (known == selector)
            return true;
    }
    return false;
}
