#include "uikit/UIImageView.h"

#include "graphics/CGContext.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"

namespace {

// A resizable image is drawn piece by piece, its caps at their own size; anything else is the
// layer's contents as it is, placed by the content mode.
bool drawnInPieces(const Ref<UIImage>& image)
{
    UIEdgeInsets caps = image ? image->capInsets() : UIEdgeInsets {};
    return image && (caps.left > 0 || caps.right > 0 || caps.top > 0 || caps.bottom > 0);
}

} // namespace

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

Ref<UIImage> UIImageView::shownImage() const
{
    return m_highlighted && m_highlightedImage ? m_highlightedImage : m_image;
}

void UIImageView::updateContents()
{
    auto shown = shownImage();
    if (drawnInPieces(shown)) {
        // Drawn at the view's size, so it is drawn again when that changes.
        m_drawnSize = CGSizeZero;
        setNeedsDisplay();
        return;
    }
    layer()->setContents(shown ? shown->CGImage() : nullptr);
}

void UIImageView::setBounds(CGRect bounds)
{
    UIView::setBounds(bounds);
    if (drawnInPieces(shownImage()) && !CGSizeEqualToSize(bounds.size, m_drawnSize))
        setNeedsDisplay();
}

bool UIImageView::displayLayer(CALayer& layer)
{
    auto shown = shownImage();
    if (!drawnInPieces(shown)) {
        // The contents are the image itself; there is nothing to draw.
        updateContents();
        return true;
    }
    CGSize size = bounds().size;
    m_drawnSize = size;
    auto context = size.width > 0 && size.height > 0 ? UIGraphicsCreateImageContext(size, false, layer.contentsScale())
                                                     : nullptr;
    if (!context) {
        layer.setContents(nullptr);
        return true;
    }
    UIGraphicsPushContext(context);
    shown->drawInRect(CGRectMake(0, 0, size.width, size.height));
    UIGraphicsPopContext();
    layer.setContents(CGBitmapContextCreateImage(context));
    return true;
}

CGSize UIImageView::sizeThatFits(CGSize) const
{
    return m_image ? m_image->size() : CGSizeZero;
}

VX_REGISTER_CLASS(UIImageView);
