#include "grid/LGridTextLabel.h"

Ref<LGridTextLabel> LGridTextLabel::initWithFrame(CGRect frame)
{
    auto label = makeView<LGridTextLabel>(frame);
    label->setNumberOfLines(0);
    return label;
}

CGRect LGridTextLabel::constrainedHeightOfFrame(CGRect rect) const
{
    if (text().empty()) {
        rect.size.height = 0;
        return rect;
    }
    CGRect needed = textRectForBoundsLimitedToNumberOfLines(CGRectMake(0, 0, rect.size.width, rect.size.height), 0);
    rect.size.height = needed.size.height;
    return rect;
}

void LGridTextLabel::setFrame(CGRect frame)
{
    setCenter(CGPointMake(frame.origin.x + frame.size.width / 2, frame.origin.y + frame.size.height / 2));
    CGRect constrained = constrainedHeightOfFrame(frame);
    CGRect b = bounds();
    if (b.size.width != constrained.size.width || b.size.height != constrained.size.height)
        setBounds(CGRectMake(0, 0, constrained.size.width, constrained.size.height));
}

void LGridTextLabel::setText(const std::string& text)
{
    UILabel::setText(text);
    setFrame(constrainedHeightOfFrame(frame()));
}

void LGridTextLabel::setTextColor(const Ref<UIColor>& color)
{
    willChangeValueForKey("textColor");
    UILabel::setTextColor(color);
    didChangeValueForKey("textColor");
}

void LGridTextLabel::setFont(const Ref<UIFont>& font)
{
    willChangeValueForKey("font");
    UILabel::setFont(font);
    didChangeValueForKey("font");
}

void LGridTextLabel::setTextAlignment(NSTextAlignment alignment)
{
    willChangeValueForKey("textAlignment");
    UILabel::setTextAlignment(alignment);
    didChangeValueForKey("textAlignment");
}

void LGridTextLabel::drawTextInRect(CGRect rect)
{
    UILabel::drawTextInRect(CGRectMake(rect.origin.x + 8, rect.origin.y, rect.size.width - 16, rect.size.height));
}
