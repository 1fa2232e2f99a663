#include "sdk/HBRStoreButton.h"

#include "graphics/CAGradientLayer.h"
#include "graphics/CALayer.h"
#include "graphics/CATransaction.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UILabel.h"

#include <algorithm>
#include <cmath>

VX_REGISTER_CLASS(HBRStoreButton);

namespace {

CGColorRef rgb(int r, int g, int b)
{
    return CGColorCreateGenericRGB(r / 255.0f, g / 255.0f, b / 255.0f, 1);
}

Ref<UIColor> rgbColor(int r, int g, int b)
{
    return UIColor::colorWithRedGreenBlueAlpha(r / 255.0f, g / 255.0f, b / 255.0f, 1);
}

} // namespace

Ref<HBRStoreButton> HBRStoreButton::initWithFrame(CGRect frame)
{
    auto button = makeButton<HBRStoreButton>(UIButtonTypeCustom, frame);
    button->setUpButton();
    return button;
}

void HBRStoreButton::setUpButton()
{
    layer()->setNeedsDisplayOnBoundsChange(true);
    titleLabel()->setFont(UIFont::boldSystemFontOfSize(13));
    Weak<HBRStoreButton> weak = self<HBRStoreButton>();
    addTargetActionForControlEvents(
        self<NSObject>(), "touchedUpInside",
        [weak](const Ref<UIControl>&, const Ref<UIEvent>&) {
            auto button = weak.lock();
            if (!button)
                return;
            if (auto delegate = button->buttonDelegate())
                delegate->storeButtonFired(*button);
        },
        UIControlEventTouchUpInside);
}

Ref<HBRStoreButton> HBRStoreButton::initWithPaddingStyle(CGPoint padding, uint32_t style)
{
    auto button = initWithFrame(CGRectMake(0, 0, 40, 25));
    button->m_customPadding = padding;
    button->m_style = style;
    CGRect whole = button->bounds();
    if (style == 0) {
        auto gradient = CAGradientLayer::layer();
        gradient->setColors({ rgb(243, 243, 243), rgb(222, 222, 222) });
        gradient->setLocations({ 0, 1 });
        gradient->setFrame(whole);
        gradient->setCornerRadius(2.5f);
        button->layer()->insertSublayerAtIndex(gradient, 0);
        button->m_ownLayers.push_back(gradient);
    }
    button->m_defaultBorderLayer = CALayer::layer();
    button->m_defaultBorderLayer->setBorderWidth(1);
    button->m_defaultBorderLayer->setCornerRadius(2.5f);
    button->m_defaultBorderLayer->setFrame(whole);
    button->m_defaultBorderLayer->setBorderColor(style == 1 ? rgb(35, 111, 251) : rgb(191, 191, 191));
    button->layer()->addSublayer(button->m_defaultBorderLayer);
    button->m_ownLayers.push_back(button->m_defaultBorderLayer);
    if (style == 1) {
        button->m_inActiveBorderLayer = CALayer::layer();
        button->m_inActiveBorderLayer->setBorderWidth(1);
        button->m_inActiveBorderLayer->setCornerRadius(2.5f);
        button->m_inActiveBorderLayer->setFrame(whole);
        button->m_inActiveBorderLayer->setBorderColor(rgb(148, 150, 151));
        button->m_inActiveBorderLayer->setHidden(true);
        button->layer()->addSublayer(button->m_inActiveBorderLayer);
        button->m_ownLayers.push_back(button->m_inActiveBorderLayer);
    }
    // The title stays in front of the border layers.
    button->bringSubviewToFront(button->titleLabel());
    return button;
}

void HBRStoreButton::setButtonDataAnimated(const Ref<HBRStoreButtonData>& data, bool animated)
{
    m_buttonData = data;
    updateButtonAnimated(animated);
}

void HBRStoreButton::updateButtonAnimated(bool animated)
{
    std::string label = m_buttonData ? m_buttonData->label() : std::string();
    if (animated) {
        setTitleForState("", UIControlStateNormal);
        UIView::beginAnimations("storeButtonUpdate", nullptr);
        UIView::setAnimationBeginsFromCurrentState(true);
        UIView::setAnimationDuration(0.25);
        Weak<HBRStoreButton> weak = self<HBRStoreButton>();
        UIView::setAnimationDidStop([weak, label](const std::string&, bool finished, void*) {
            if (auto button = weak.lock(); button && finished)
                button->setTitleForState(label, UIControlStateNormal);
        });
    } else {
        setTitleForState(label, UIControlStateNormal);
    }
    bool enabled = m_buttonData && m_buttonData->isEnabled();
    setEnabled(enabled);
    if (enabled) {
        setTitleColorForState(m_style == 1 ? rgbColor(35, 111, 251) : rgbColor(106, 106, 106), UIControlStateNormal);
        if (m_style == 1) {
            m_defaultBorderLayer->setHidden(false);
            m_inActiveBorderLayer->setHidden(true);
        }
    } else {
        setTitleColorForState(rgbColor(148, 150, 151), UIControlStateNormal);
        if (m_style == 1) {
            m_defaultBorderLayer->setHidden(true);
            m_inActiveBorderLayer->setHidden(false);
        }
    }
    CGSize size = sizeThatFits(CGSizeZero);
    resizeLayersToWidth(size.width, animated);
    UIEdgeInsets insets = titleEdgeInsets();
    setTitleEdgeInsets(UIEdgeInsetsMake(2, insets.left, 0, 0));
    alignToSuperview();
    if (animated)
        UIView::commitAnimations();
}

void HBRStoreButton::resizeLayersToWidth(CGFloat width, bool animated)
{
    CATransaction::begin();
    if (animated)
        CATransaction::setAnimationDuration(0.25);
    else
        CATransaction::setDisableActions(true);
    for (const auto& sublayer : m_ownLayers) {
        CGRect frame = sublayer->frame();
        frame.size.width = width;
        sublayer->setFrame(frame);
    }
    CATransaction::commit();
}

CGSize HBRStoreButton::sizeThatFits(CGSize) const
{
    std::string label = m_buttonData ? m_buttonData->label() : std::string();
    CGRect measured = NSString_Drawing::boundingRectWithSize(label, CGSizeMake(120, frame().size.height),
        NSStringDrawingUsesLineFragmentOrigin,
        Value::dictionary({ { Value("NSFont"), Value(UIFont::boldSystemFontOfSize(13)) } }));
    return CGSizeMake(std::ceil(measured.size.width) + 24, std::max<CGFloat>(std::ceil(measured.size.height), 25));
}

void HBRStoreButton::alignToSuperview()
{
    sizeToFit();
    auto parent = superview();
    if (!parent)
        return;
    CGRect r = frame();
    r.origin.x = parent->frame().size.width - r.size.width - 2 * m_customPadding.x;
    r.origin.y = m_customPadding.y;
    setFrame(r);
}

void HBRStoreButton::setFrame(CGRect frame)
{
    UIButton::setFrame(frame);
    for (const auto& sublayer : m_ownLayers) {
        CGRect r = sublayer->frame();
        r.size = frame.size;
        sublayer->setFrame(r);
    }
}
