#include "MKAnnotationView.h"

#include "MKMapView.h"
#include "UIImage.h"

Ref<MKAnnotationView> MKAnnotationView::initWithAnnotation(
    const Ref<MKAnnotation>& annotation, std::optional<std::string> reuseIdentifier)
{
    return makeAnnotationView<MKAnnotationView>(annotation, std::move(reuseIdentifier));
}

void MKAnnotationView::prepareForReuse()
{
    m_selected = false;
    m_highlighted = false;
}

void MKAnnotationView::setCenterOffset(CGPoint offset)
{
    m_centerOffset = offset;
    // Re-place the view on its annotation's point.
    if (auto map = m_map.lock())
        map->setNeedsLayout();
}

void MKAnnotationView::setImage(const Ref<UIImage>& image)
{
    m_image = image;
    if (image) {
        auto c = center();
        auto b = bounds();
        b.size = image->size();
        setBounds(b);
        setCenter(c);
    }
    layer()->setContents(image ? image->CGImage() : nullptr);
    setNeedsDisplay();
}

bool MKAnnotationView::displayLayer(CALayer& layer)
{
    if (m_image) {
        layer.setContents(m_image->CGImage());
        return true;
    }
    return UIView::displayLayer(layer);
}

void MKAnnotationView::touchesEnded(const UITouchSet&, const Ref<UIEvent>&)
{
    auto map = m_map.lock();
    if (map && m_enabled)
        map->annotationViewTapped(std::static_pointer_cast<MKAnnotationView>(shared_from_this()));
}

VX_REGISTER_CLASS(MKAnnotationView);
