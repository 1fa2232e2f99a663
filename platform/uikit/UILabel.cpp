#include "uikit/UILabel.h"

#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"

#include <algorithm>
#include <cmath>

Ref<UILabel> UILabel::initWithFrame(CGRect frame)
{
    auto label = makeView<UILabel>(frame);
    label->m_font = UIFont::systemFontOfSize(17);
    label->m_textColor = UIColor::blackColor();
    label->setUserInteractionEnabled(false);
    label->setContentMode(UIViewContentModeRedraw);
    return label;
}

void UILabel::setText(const std::string& text)
{
    if (text == m_text)
        return;
    m_text = text;
    setNeedsDisplay();
}

void UILabel::setFont(const Ref<UIFont>& font)
{
    m_font = font ? font : UIFont::systemFontOfSize(17);
    setNeedsDisplay();
}

void UILabel::setTextColor(const Ref<UIColor>& color)
{
    m_textColor = color ? color : UIColor::blackColor();
    setNeedsDisplay();
}

Value UILabel::attributes(const Ref<UIFont>& font, bool withShadow) const
{
    auto style = NSParagraphStyle::mutableParagraphStyle();
    style->setAlignment(m_alignment);
    // Several lines wrap at words; a truncating mode then applies to the last line only.
    NSLineBreakMode mode = m_lineBreakMode;
    if (m_numberOfLines != 1 && mode >= NSLineBreakByTruncatingHead)
        mode = NSLineBreakByWordWrapping;
    style->setLineBreakMode(mode);
    Ref<UIColor> color = m_textColor;
    if (m_highlighted && m_highlightedTextColor)
        color = m_highlightedTextColor;
    if (!m_enabled)
        color = color->colorWithAlphaComponent(0.5f);
    auto attrs = Value::mutableDictionary(
        { { "NSFont", Value(font) }, { "NSColor", Value(color) }, { "NSParagraphStyle", Value(style) } });
    if (withShadow && m_shadowColor) {
        auto shadow = NSShadow::init();
        shadow->setShadowOffset(m_shadowOffset);
        shadow->setShadowBlurRadius(0);
        shadow->setShadowColor(m_shadowColor);
        attrs.setObjectForKey(Value(shadow), "NSShadow");
    }
    return attrs;
}

CGRect UILabel::measuredRect(const Ref<UIFont>& font, CGSize limit, int32_t lines) const
{
    if (m_text.empty())
        return CGRectZero;
    if (lines == 1) {
        CGSize size = NSString_Drawing::sizeWithAttributes(m_text, attributes(font, false));
        return CGRectMake(0, 0, std::min(size.width, limit.width), size.height);
    }
    CGFloat maxHeight = limit.height;
    if (lines > 0)
        maxHeight = std::min(maxHeight, font->lineHeight() * CGFloat(lines) + 0.5f);
    CGRect r = NSString_Drawing::boundingRectWithSize(
        m_text, CGSizeMake(limit.width, maxHeight), NSStringDrawingUsesLineFragmentOrigin, attributes(font, false));
    r.size.width = std::min(std::ceil(r.size.width), limit.width);
    r.size.height = std::ceil(r.size.height);
    return r;
}

Ref<UIFont> UILabel::fittedFont() const
{
    if (!m_adjustsFontSizeToFitWidth || m_numberOfLines != 1 || m_text.empty())
        return m_font;
    CGFloat width = bounds().size.width;
    CGFloat size = m_font->pointSize();
    CGFloat minimum = m_minimumScaleFactor > 0 ? size * m_minimumScaleFactor : m_minimumFontSize;
    minimum = std::max<CGFloat>(minimum, 1);
    auto font = m_font;
    // Shrink in half-point steps until the line fits or the minimum is reached.
    while (size > minimum && NSString_Drawing::sizeWithAttributes(m_text, attributes(font, false)).width > width) {
        size = std::max(minimum, size - 0.5f);
        font = m_font->fontWithSize(size);
    }
    return font;
}

CGRect UILabel::textRectForBoundsLimitedToNumberOfLines(CGRect bounds, int32_t numberOfLines) const
{
    CGRect r = measuredRect(fittedFont(), bounds.size, numberOfLines);
    r.origin = bounds.origin;
    return r;
}

void UILabel::drawTextInRect(CGRect rect)
{
    if (m_text.empty())
        return;
    auto font = fittedFont();
    CGRect textRect = measuredRect(font, rect.size, m_numberOfLines);
    // Centred vertically; the paragraph style aligns horizontally within the full width.
    CGRect drawRect
        = CGRectMake(rect.origin.x, rect.origin.y + std::floor((rect.size.height - textRect.size.height) / 2),
            rect.size.width, textRect.size.height);
    // Laid out in the full width so that the alignment applies; the height admits only the
    // lines measured, and the last one is truncated by the line break mode.
    NSString_Drawing::drawWithRect(m_text, drawRect,
        NSStringDrawingUsesLineFragmentOrigin | NSStringDrawingTruncatesLastVisibleLine, attributes(font, true));
}

void UILabel::drawRect(CGRect)
{
    drawTextInRect(bounds());
}

CGSize UILabel::sizeThatFits(CGSize size) const
{
    CGSize limit = { size.width > 0 ? size.width : 1e6f, size.height > 0 ? size.height : 1e6f };
    if (m_numberOfLines == 1)
        limit = { 1e6f, 1e6f };
    CGRect r = measuredRect(m_font, limit, m_numberOfLines);
    return CGSizeMake(std::ceil(r.size.width), std::ceil(r.size.height));
}

Value UILabel::valueForKey(const std::string& key)
{
    if (key == "text")
        return m_text;
    return UIView::valueForKey(key);
}

VX_REGISTER_CLASS(UILabel);
