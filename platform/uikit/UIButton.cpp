#include "uikit/UIButton.h"

#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIImage.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

#include <algorithm>
#include <cmath>

Ref<UIButton> UIButton::initWithFrame(CGRect frame)
{
    return makeButton<UIButton>(UIButtonTypeCustom, frame);
}

Ref<UIButton> UIButton::buttonWithType(UIButtonType type)
{
    return makeButton<UIButton>(type);
}

void UIButton::initButton(UIButtonType type)
{
    m_type = type;
    m_backgroundView = UIImageView::initWithFrame(CGRectZero);
    m_imageView = UIImageView::initWithFrame(CGRectZero);
    m_titleLabel = UILabel::initWithFrame(CGRectZero);
    m_titleLabel->setFont(UIFont::systemFontOfSize(15));
    m_titleLabel->setTextAlignment(NSTextAlignmentCenter);
    addSubview(m_backgroundView);
    addSubview(m_imageView);
    addSubview(m_titleLabel);
    m_titleColors[UIControlStateNormal] = UIColor::whiteColor();
    if (type != UIButtonTypeCustom) {
        // System buttons draw their titles in the tint colour, dimmed while pressed.
        auto tint = tintColor();
        m_titleColors[UIControlStateNormal] = tint;
        m_titleColors[UIControlStateHighlighted] = tint->colorWithAlphaComponent(0.2f);
        m_titleColors[UIControlStateDisabled] = UIColor::colorWithWhiteAlpha(0.5f, 0.5f);
        if (type != UIButtonTypeSystem)
            setFrame(CGRectMake(0, 0, 22, 22));
    }
    updateContent();
}

void UIButton::setTitleForState(const std::string& title, UIControlState state)
{
    m_titles[state] = title;
    updateContent();
}

std::string UIButton::titleForState(UIControlState state) const
{
    return lookup(m_titles, state);
}

void UIButton::setTitleColorForState(const Ref<UIColor>& color, UIControlState state)
{
    m_titleColors[state] = color;
    updateContent();
}

Ref<UIColor> UIButton::titleColorForState(UIControlState state) const
{
    return lookup(m_titleColors, state);
}

void UIButton::setImageForState(const Ref<UIImage>& image, UIControlState state)
{
    if (image)
        m_images[state] = image;
    else
        m_images.erase(state);
    updateContent();
}

Ref<UIImage> UIButton::imageForState(UIControlState state) const
{
    return lookup(m_images, state);
}

void UIButton::setBackgroundImageForState(const Ref<UIImage>& image, UIControlState state)
{
    if (image)
        m_backgroundImages[state] = image;
    else
        m_backgroundImages.erase(state);
    updateContent();
}

Ref<UIImage> UIButton::backgroundImageForState(UIControlState state) const
{
    return lookup(m_backgroundImages, state);
}

void UIButton::setEnabled(bool enabled)
{
    UIControl::setEnabled(enabled);
    updateContent();
}

void UIButton::setSelected(bool selected)
{
    UIControl::setSelected(selected);
    updateContent();
}

void UIButton::setHighlighted(bool highlighted)
{
    UIControl::setHighlighted(highlighted);
    updateContent();
}

void UIButton::updateContent()
{
    if (!m_titleLabel)
        return;
    m_titleLabel->setText(currentTitle());
    if (auto color = currentTitleColor())
        m_titleLabel->setTextColor(color);
    m_imageView->setImage(currentImage());
    m_backgroundView->setImage(currentBackgroundImage());
    setNeedsLayout();
}

void UIButton::layoutSubviews()
{
    UIControl::layoutSubviews();
    CGRect content = UIEdgeInsetsInsetRect(bounds(), m_contentEdgeInsets);
    m_backgroundView->setFrame(bounds());
    CGSize imageSize = m_imageView->image() ? m_imageView->image()->size() : CGSizeZero;
    CGSize titleSize = m_titleLabel->text().empty() ? CGSizeZero : m_titleLabel->sizeThatFits(content.size);
    titleSize.width = std::min(titleSize.width, std::max<CGFloat>(0, content.size.width - imageSize.width));
    CGFloat total = imageSize.width + titleSize.width;
    CGFloat x = content.origin.x;
    switch (contentHorizontalAlignment()) {
    case UIControlContentHorizontalAlignmentLeft:
        break;
    case UIControlContentHorizontalAlignmentRight:
        x += content.size.width - total;
        break;
    default:
        x += std::round((content.size.width - total) / 2);
        break;
    }
    auto centreY = [&](CGFloat h) { return content.origin.y + std::round((content.size.height - h) / 2); };
    m_imageView->setFrame(UIEdgeInsetsInsetRect(
        CGRectMake(x, centreY(imageSize.height), imageSize.width, imageSize.height), m_imageEdgeInsets));
    m_titleLabel->setFrame(UIEdgeInsetsInsetRect(
        CGRectMake(x + imageSize.width, centreY(titleSize.height), titleSize.width, titleSize.height),
        m_titleEdgeInsets));
}

CGSize UIButton::sizeThatFits(CGSize) const
{
    CGSize imageSize = m_imageView->image() ? m_imageView->image()->size() : CGSizeZero;
    CGSize titleSize = m_titleLabel->text().empty() ? CGSizeZero : m_titleLabel->sizeThatFits(CGSizeZero);
    CGSize size = { imageSize.width + titleSize.width, std::max(imageSize.height, titleSize.height) };
    if (auto background = currentBackgroundImage()) {
        size.width = std::max(size.width, background->size().width);
        size.height = std::max(size.height, background->size().height);
    }
    size.width += m_contentEdgeInsets.left + m_contentEdgeInsets.right;
    size.height += m_contentEdgeInsets.top + m_contentEdgeInsets.bottom;
    if (m_type == UIButtonTypeSystem)
        size.height = std::max<CGFloat>(size.height, 30);
    return size;
}

VX_REGISTER_CLASS(UIButton);
