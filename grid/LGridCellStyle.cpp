#include "grid/LGridCellStyle.h"

#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "grid/LGridGradient.h"

namespace {

std::string describe(const NSObject* object)
{
    return object ? object->description() : std::string("(null)");
}

std::string horizontalAlignmentName(int32_t alignment)
{
    switch (alignment) {
    case 0:
        return "NSTextAlignmentLeft";
    case 1:
        return "NSTextAlignmentCenter";
    case 2:
        return "NSTextAlignmentRight";
    default:
        return "(null)";
    }
}

std::string verticalAlignmentName(int32_t alignment)
{
    switch (alignment) {
    case 0:
        return "UIControlContentVerticalAlignmentCenter";
    case 1:
        return "UIControlContentVerticalAlignmentTop";
    case 2:
        return "UIControlContentVerticalAlignmentBottom";
    case 3:
        return "UIControlContentVerticalAlignmentFill";
    default:
        return "(null)";
    }
}

} // namespace

Ref<LGridCellStyle> LGridCellStyle::init()
{
    return make<LGridCellStyle>();
}

void LGridCellStyle::initialiseWith(
    const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor, const Ref<UIFont>& font)
{
    m_backgroundColor = backgroundColor;
    m_textColor = textColor;
    m_font = font;
}

Ref<LGridCellStyle> LGridCellStyle::initWithBackgroundColorWithTextColorWithFont(
    const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor, const Ref<UIFont>& font)
{
    auto style = make<LGridCellStyle>();
    style->initialiseWith(backgroundColor, textColor, font);
    return style;
}

Ref<LGridCellStyle>
LGridCellStyle::initWithBackgroundColorWithTextColorWithTextAlignmentWithVerticalTextAlignmentWithFont(
    const Ref<UIColor>& backgroundColor, const Ref<UIColor>& textColor, int32_t textAlignment,
    int32_t verticalTextAlignment, const Ref<UIFont>& font)
{
    auto style = initWithBackgroundColorWithTextColorWithFont(backgroundColor, textColor, font);
    style->setTextAlignment(textAlignment);
    style->setTextVerticalAlignment(verticalTextAlignment);
    return style;
}

void LGridCellStyle::setTextAlignment(int32_t alignment)
{
    m_textAlignment = alignment;
    m_textAlignmentSetByUser = true;
}

void LGridCellStyle::setTextVerticalAlignment(int32_t alignment)
{
    m_textVerticalAlignment = alignment;
    m_textVerticalAlignmentSetByUser = true;
}

void LGridCellStyle::setContentInset(UIEdgeInsets inset)
{
    m_contentInset = inset;
    m_contentInsetSetByUser = true;
}

void LGridCellStyle::copyCellStyleInto(LGridCellStyle& copy) const
{
    copy.setBackgroundColor(m_backgroundColor);
    copy.setTextColor(m_textColor);
    copy.setTextAlignmentPrivately(m_textAlignment);
    copy.setTextAlignmentSetByUser(m_textAlignmentSetByUser);
    copy.setTextVerticalAlignmentPrivately(m_textVerticalAlignment);
    copy.setTextVerticalAlignmentSetByUser(m_textVerticalAlignmentSetByUser);
    copy.setFont(m_font);
    copy.setGradient(m_gradient);
    copy.m_contentInset = m_contentInset;
    copy.setContentInsetSetByUser(m_contentInsetSetByUser);
}

Ref<LGridCellStyle> LGridCellStyle::copy() const
{
    auto style = init();
    copyCellStyleInto(*style);
    return style;
}

void LGridCellStyle::overrideWithStyle(const Ref<LGridCellStyle>& other)
{
    if (!other)
        return;
    if (other->backgroundColor())
        setBackgroundColor(other->backgroundColor());
    if (other->textColor())
        setTextColor(other->textColor());
    if (other->font())
        setFont(other->font());
    if (other->textAlignmentSetByUser())
        setTextAlignment(other->textAlignment());
    if (other->textVerticalAlignmentSetByUser())
        setTextVerticalAlignment(other->textVerticalAlignment());
    if (other->gradient())
        setGradient(other->gradient());
    if (other->contentInsetSetByUser())
        setContentInset(other->contentInset());
}

std::string LGridCellStyle::description() const
{
    return NSString::stringWithFormat("[%@ backGroundColor:%@, textColor: %@, textAlignment: %@, "
                                      "textVerticalAlignment: %@, font: %@ contentInset: %@]",
        className(), describe(m_backgroundColor.get()), describe(m_textColor.get()),
        horizontalAlignmentName(m_textAlignment), verticalAlignmentName(m_textVerticalAlignment),
        describe(m_font.get()), NSStringFromUIEdgeInsets(m_contentInset));
}
