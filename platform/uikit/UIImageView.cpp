#include "uikit/UIImageView.h"

#include "graphics/UIImage.h"

Ref<UIImageView> UIImageView::initWithFrame(CGRect frame)
{
    auto view = makeView<UIImageView>(frame);
    view->setUserInteractionEnabled(false);
    return view;
}

Ref<UIImageView> UIImageView::initWithImage(const Ref<UIImage>& image)
{
    CGSize size = image ? image->size() : CGSizeZero;
    auto view = initWithFrame(CGRectMake(0, 0, size.width, size.height));
    view->setImage(image);
    return view;
}

void UIImageView::setImage(const Ref<UIImage>& image)
{
    m_image = image;
    updateContents();
}

void UIImageView::setHighlightedImage(const Ref<UIImage>& image)
{
    m_highlightedImage = image;
    updateContents();
}

void UIImageView::setHighlighted(bool highlighted)
{
    m_highlighted = highlighted;
    updateContents();
}

void UIImageView::updateContents()
{
    auto shown = m_highlighted && m_highlightedImage ? m_highlightedImage : m_image;
    layer()->setContents(shown ? shown->CGImage() : nullptr);
}

bool UIImageView::displayLayer(CALayer&)
{
    // The contents are the image itself; there is nothing to draw.
    updateContents();
    return true;
}

CGSize UIImageView::sizeThatFits(CGSize) const
{
    return m_image ? m_image->size() : CGSizeZero;
}

VX_REGISTER_CLASS(UIImageView);
