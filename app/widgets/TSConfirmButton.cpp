#include "app/widgets/TSConfirmButton.h"

#include "graphics/CAAnimation.h"
#include "graphics/CATransaction.h"
#include "graphics/NSParagraphStyle.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UILabel.h"
#include "uikit/UITouch.h"

VX_REGISTER_CLASS(TSConfirmButton);

namespace {

Ref<UIColor> defaultTint()
{
    return UIColor::colorWithRedGreenBlueAlpha(0, 122 / 255.0f, 1, 1);
}

Ref<UIColor> confirmGreen()
{
    return UIColor::colorWithRedGreenBlueAlpha(25 / 255.0f, 171 / 255.0f, 32 / 255.0f, 1);
}

Ref<UIColor> disabledGrey()
{
    return UIColor::colorWithRedGreenBlueAlpha(0.8f, 0.8f, 0.8f, 1);
}

CGFloat textWidth(const std::string& text)
{
    if (text.empty())
        return 0;
    return NSString_Drawing::sizeWithFont(text, UIFont::boldSystemFontOfSize(14)).width;
}

} // namespace

void TSConfirmButton::initialise(const std::string& text, const Ref<UIColor>& colour)
{
    layer()->setNeedsDisplayOnBoundsChange(true);
    CGRect frame = this->frame();
    setFrame(CGRectMake(frame.origin.x, frame.origin.y, textWidth(text) + 20, 26));
    setTitleForState(text, UIControlStateNormal);
    setTitleColorForState(colour, UIControlStateNormal);
    titleLabel()->setTextAlignment(NSTextAlignmentCenter);
    titleLabel()->setBackgroundColor(UIColor::clearColor());
    titleLabel()->setFont(UIFont::boldSystemFontOfSize(14));
    setupLayers();
}

Ref<TSConfirmButton> TSConfirmButton::buttonWithTitleConfirm(const std::string& title, const std::string& confirm)
{
    auto button = makeButton<TSConfirmButton>(UIButtonTypeCustom);
    button->m_title = title;
    button->m_confirm = confirm;
    button->m_tint = defaultTint();
    button->initialise(title, button->m_tint);
    return button;
}

Ref<TSConfirmButton> TSConfirmButton::buttonWithDisabledTitle(const std::string& disabled)
{
    auto button = makeButton<TSConfirmButton>(UIButtonTypeCustom);
    button->m_disabled = disabled;
    button->m_tint = disabledGrey();
    button->initialise(disabled, button->m_tint);
    return button;
}

void TSConfirmButton::setupLayers()
{
    m_colorLayer = CALayer::layer();
    m_colorLayer->setFrame(CGRectMake(0, 0, bounds().size.width, bounds().size.height));
    m_colorLayer->setBorderColor(m_tint->CGColor());
    m_colorLayer->setBackgroundColor(UIColor::clearColor()->CGColor());
    m_colorLayer->setBorderWidth(1);
    m_colorLayer->setCornerRadius(4);
    m_colorLayer->setNeedsDisplayOnBoundsChange(true);
    layer()->addSublayer(m_colorLayer);
    bringSubviewToFront(titleLabel());
}

void TSConfirmButton::setSelected(bool selected)
{
    UIButton::setSelected(selected);
    toggle();
}

void TSConfirmButton::disableWithTitle(const std::string& disabled)
{
    m_disabled = disabled;
    toggle();
}

void TSConfirmButton::setAnchor(CGPoint point)
{
    CGRect frame = this->frame();
    setFrame(CGRectMake(point.x - frame.size.width, point.y, frame.size.width, frame.size.height));
}

void TSConfirmButton::setTintColor(const Ref<UIColor>& color)
{
    m_tint = color;
    setTitleColorForState(color, UIControlStateNormal);
    if (m_colorLayer)
        m_colorLayer->setBorderColor(color->CGColor());
    setNeedsDisplay();
}

void TSConfirmButton::darken()
{
    // The press layer draws nothing of its own (clear, with a border colour but no width).
    m_darkenLayer = CALayer::layer();
    m_darkenLayer->setFrame(CGRectMake(0, 0, bounds().size.width, bounds().size.height));
    m_darkenLayer->setBackgroundColor(UIColor::clearColor()->CGColor());
    m_darkenLayer->setBorderColor(UIColor::colorWithWhiteAlpha(0, 0.2f)->CGColor());
    m_darkenLayer->setCornerRadius(4);
    m_darkenLayer->setNeedsDisplayOnBoundsChange(true);
    layer()->addSublayer(m_darkenLayer);
}

void TSConfirmButton::lighten()
{
    if (m_darkenLayer)
        m_darkenLayer->removeFromSuperlayer();
    m_darkenLayer = nullptr;
}

void TSConfirmButton::cancel()
{
    // While the width still changes the button shows one state and would store another: a tap
    // then leaves it alone, as a tap on the button itself would be.
    if (!isUserInteractionEnabled())
        return;
    if (m_cancelOverlay) {
        m_cancelOverlay->removeFromSuperview();
        m_cancelOverlay = nullptr;
    }
    setSelected(false);
}

void TSConfirmButton::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    if (m_disabled.empty() && !m_confirmed && isUserInteractionEnabled())
        darken();
    UIButton::touchesBegan(touches, event);
}

void TSConfirmButton::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    if (!m_disabled.empty() || m_confirmed || !isUserInteractionEnabled())
        return;
    auto touch = touches.empty() ? nullptr : touches.front();
    auto parent = superview();
    CGPoint at = touch && parent ? touch->locationInView(parent) : CGPointMake(-1, -1);
    if (!CGRectContainsPoint(frame(), at)) {
        lighten();
        UIButton::touchesCancelled(touches, event);
        return;
    }
    lighten();
    if (isSelected()) {
        m_confirmed = true;
        if (m_cancelOverlay) {
            m_cancelOverlay->removeFromSuperview();
            m_cancelOverlay = nullptr;
        }
        UIButton::touchesEnded(touches, event);
        return;
    }
    setSelected(true);
    if (!m_cancelOverlay && parent) {
        m_cancelOverlay = UIButton::buttonWithType(UIButtonTypeCustom);
        m_cancelOverlay->setFrame(CGRectMake(0, 0, 1024, 1024));
        Weak<TSConfirmButton> weak = self<TSConfirmButton>();
        m_cancelOverlay->addTargetActionForControlEvents(
            self<NSObject>(), "cancel",
            [weak](const Ref<UIControl>&, const Ref<UIEvent>&) {
                if (auto button = weak.lock())
                    button->cancel();
            },
            UIControlEventTouchDown);
        parent->addSubview(m_cancelOverlay);
    }
    if (parent)
        parent->bringSubviewToFront(self<UIView>());
    // The first tap fires nothing: the control's own tracking ends as a cancellation.
    UIButton::touchesCancelled(touches, event);
}

void TSConfirmButton::toggle()
{
    if (!isUserInteractionEnabled())
        return;
    setUserInteractionEnabled(false);
    titleLabel()->setAlpha(0);
    std::string text;
    Ref<UIColor> colour;
    if (!m_disabled.empty()) {
        text = m_disabled;
        colour = disabledGrey();
    } else if (isSelected()) {
        text = m_confirm;
        colour = confirmGreen();
    } else {
        text = m_title;
        colour = m_tint;
    }
    CGFloat delta = textWidth(text) + 20 - frame().size.width;
    CGFloat shift = m_toggleAnimation == 0 ? -delta : m_toggleAnimation == 2 ? -delta / 2 : 0;
    setTitleForState(text, UIControlStateNormal);
    setTitleColorForState(colour, UIControlStateNormal);

    CATransaction::begin();
    CATransaction::setAnimationDuration(0.25);
    auto animation = CABasicAnimation::animationWithKeyPath("borderColor");
    Ref<UIColor> from, to;
    if (!m_disabled.empty()) {
        from = confirmGreen();
        to = disabledGrey();
    } else if (isSelected()) {
        from = m_tint;
        to = confirmGreen();
    } else {
        from = confirmGreen();
        to = m_tint;
    }
    animation->setFromValue(Value(from));
    animation->setToValue(Value(to));
    animation->setRemovedOnCompletion(false);
    animation->setFillMode("forwards");
    if (m_colorLayer) {
        m_colorLayer->addAnimation(animation, "colorAnimation");
        m_colorLayer->setBorderColor(to->CGColor());
    }
    for (const auto& sublayer : layer()->sublayers()) {
        CGRect f = sublayer->frame();
        sublayer->setFrame(CGRectMake(f.origin.x + shift, f.origin.y, f.size.width + delta, f.size.height));
    }
    Weak<TSConfirmButton> weak = self<TSConfirmButton>();
    CATransaction::setCompletionBlock([weak, shift, delta] {
        auto button = weak.lock();
        if (!button)
            return;
        CGRect frame = button->frame();
        button->setFrame(
            CGRectMake(frame.origin.x + shift, frame.origin.y, frame.size.width + delta, frame.size.height));
        CATransaction::begin();
        CATransaction::setDisableActions(true);
        for (const auto& sublayer : button->layer()->sublayers()) {
            CGRect f = sublayer->frame();
            sublayer->setFrame(CGRectMake(f.origin.x - shift, f.origin.y, f.size.width, f.size.height));
        }
        CATransaction::setCompletionBlock([weak] {
            if (auto button = weak.lock())
                button->setUserInteractionEnabled(true);
        });
        CATransaction::commit();
        button->titleLabel()->setAlpha(1);
        button->setNeedsLayout();
    });
    CATransaction::commit();
    setNeedsDisplay();
}
