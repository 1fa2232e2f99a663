#include "app/view-controllers/map-markers/KESTMapLabelView.h"

#include "graphics/NSParagraphStyle.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIGeometry.h"
#include "graphics/UIImage.h"
#include "uikit/UILabel.h"

#include <cmath>

Ref<KESTMapLabelView> KESTMapLabelView::initWithFrame(CGRect frame)
{
    auto banner = makeView<KESTMapLabelView>(frame);
    banner->setBackgroundColor(UIColor::clearColor());
    auto label = UILabel::initWithFrame(CGRectZero);
    label->setFont(UIFont::systemFontOfSize(10));
    label->setTextColor(UIColor::whiteColor());
    label->setShadowColor(UIColor::colorWithWhiteAlpha(0, 0.5f));
    label->setShadowOffset(CGSizeMake(0, 1));
    label->setNumberOfLines(0);
    label->setTextAlignment(NSTextAlignmentCenter);
    banner->m_messageLabel = label;
    banner->addSubview(label);
    return banner;
}

void KESTMapLabelView::setCount(std::optional<std::string> count)
{
    m_count = std::move(count);
    changed();
}

void KESTMapLabelView::setMessage(std::optional<std::string> message)
{
    m_message = std::move(message);
    changed();
}

void KESTMapLabelView::changed()
{
    updateLayout();
    // The delegate may drop the banner from its view tree; keep it alive for the call.
    auto protectedThis = self<KESTMapLabelView>();
    if (auto delegate = m_delegate.lock())
        delegate->mapLabelViewDidUpdate(protectedThis);
}

void KESTMapLabelView::updateLayout()
{
    std::string text;
    if (m_count) {
        text = *m_count;
        if (m_message)
            text += "\n";
    }
    if (m_message)
        text += *m_message;

    Value attributes = Value::dictionary({ { NSFontAttributeName, Value(m_messageLabel->font()) } });
    CGFloat width = std::ceil(NSString_Drawing::sizeWithAttributes(text, attributes).width + 20);
    CGFloat height = std::ceil((m_count && m_message) ? 32.0f : 16.0f);
    auto parent = superview();
    CGFloat x = parent ? std::ceil(parent->bounds().size.width * 0.5f - width * 0.5f) : 0;
    setFrame(CGRectMake(x, frame().origin.y, width, height));
    m_messageLabel->setText(text);
    CGRect own = bounds();
    m_messageLabel->setFrame(CGRectMake(0, 0, own.size.width, own.size.height - 2));
    setNeedsDisplay();
}

void KESTMapLabelView::drawRect(CGRect)
{
    if (m_messageLabel->text().empty())
        return;
    auto background = UIImage::imageNamed("mapWarningBackground.png");
    if (!background)
        return;
    background->resizableImageWithCapInsets(UIEdgeInsetsMake(8, 8, 8, 8))->drawInRect(bounds());
}
