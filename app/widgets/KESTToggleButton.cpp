#include "KESTToggleButton.h"

#include "UIImage.h"
#include "UIImageView.h"

VX_REGISTER_CLASS(KESTToggleButton);

Ref<KESTToggleButton> KESTToggleButton::initWithFrame(CGRect frame)
{
    auto button = makeView<KESTToggleButton>(frame);
    button->m_imageView = UIImageView::initWithFrame(button->bounds());
    button->m_imageView->setContentMode(UIViewContentModeCenter);
    button->m_imageView->setUserInteractionEnabled(false);
    button->addSubview(button->m_imageView);
    button->setExclusiveTouch(true);
    button->setContentMode(UIViewContentModeCenter);
    button->setImageForState(UIImage::imageNamed("toggleSelected"), UIControlStateSelected);
    button->setImageForState(UIImage::imageNamed("toggleDeselected"), UIControlStateNormal);
    button->addTarget(button, &KESTToggleButton::checkboxBtnChecked, "checkboxBtnChecked", UIControlEventTouchUpInside);
    return button;
}

void KESTToggleButton::checkboxBtnChecked(const Ref<NSObject>&)
{
    setSelected(!isSelected());
}

void KESTToggleButton::setImageForState(const Ref<UIImage>& image, UIControlState state)
{
    if (image)
        m_images[state] = image;
    else
        m_images.erase(state);
    updateImage();
}

Ref<UIImage> KESTToggleButton::imageForState(UIControlState state) const
{
    if (auto it = m_images.find(state); it != m_images.end())
        return it->second;
    if (auto it = m_images.find(UIControlStateNormal); it != m_images.end())
        return it->second;
    return nullptr;
}

void KESTToggleButton::setSelected(bool selected)
{
    UIControl::setSelected(selected);
    updateImage();
}

void KESTToggleButton::setEnabled(bool enabled)
{
    UIControl::setEnabled(enabled);
    updateImage();
}

void KESTToggleButton::setHighlighted(bool highlighted)
{
    UIControl::setHighlighted(highlighted);
    updateImage();
}

void KESTToggleButton::layoutSubviews()
{
    UIControl::layoutSubviews();
    m_imageView->setFrame(bounds());
}

void KESTToggleButton::updateImage()
{
    if (m_imageView)
        m_imageView->setImage(currentImage());
}
