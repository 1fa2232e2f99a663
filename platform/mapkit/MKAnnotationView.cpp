#include "mapkit/MKAnnotationView.h"

#include "graphics/UIImage.h"
#include "mapkit/MKMapView.h"
#include "uikit/UITouch.h"

#include <cmath>

Ref<MKAnnotationView> MKAnnotationView::initWithAnnotation(
    const Ref<MKAnnotation>& annotation, std::optional<std::string> reuseIdentifier)
{
    return makeAnnotationView<MKAnnotationView>(annotation, std::move(reuseIdentifier));
}

namespace {

// How far a finger moves before a drag starts, in points.
const double kDragThreshold = 4;

} // namespace

void MKAnnotationView::prepareForReuse()
{
    m_selected = false;
    m_highlighted = false;
    m_dragState = MKAnnotationViewDragStateNone;
    m_tracking = false;
}

bool MKAnnotationView::canBeDragged() const
{
    return m_draggable && m_enabled && m_selected && m_annotation && !m_map.expired();
}

void MKAnnotationView::setDragStateAnimated(MKAnnotationViewDragState state, bool animated)
{
    if (state > MKAnnotationViewDragStateEnding || state == m_dragState)
        return;
    auto old = m_dragState;
    m_dragState = state;
    auto self = std::static_pointer_cast<MKAnnotationView>(shared_from_this());
    if (auto map = m_map.lock())
        map->annotationViewDragStateChanged(self, state, old);
    // The delegate may have moved the state on already.
    if (m_dragState != state)
        return;
    if (state == MKAnnotationViewDragStateStarting)
        setDragStateAnimated(MKAnnotationViewDragStateDragging, animated);
    else if (state == MKAnnotationViewDragStateEnding || state == MKAnnotationViewDragStateCanceling)
        setDragStateAnimated(MKAnnotationViewDragStateNone, animated);
}

void MKAnnotationView::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>&)
{
    m_tracking = false;
    if (touches.empty() || !canBeDragged() || m_dragState != MKAnnotationViewDragStateNone)
        return;
    m_tracking = true;
    m_touchStart = touches.front()->locationInView(superview());
    m_centerAtTouchStart = center();
}

void MKAnnotationView::touchesMoved(const UITouchSet& touches, const Ref<UIEvent>&)
{
    if (!m_tracking || touches.empty())
        return;
    auto at = touches.front()->locationInView(superview());
    double dx = at.x - m_touchStart.x, dy = at.y - m_touchStart.y;
    if (m_dragState == MKAnnotationViewDragStateNone) {
        if (std::hypot(dx, dy) < kDragThreshold)
            return;
        setDragStateAnimated(MKAnnotationViewDragStateStarting, true);
    }
    if (m_dragState == MKAnnotationViewDragStateStarting || m_dragState == MKAnnotationViewDragStateDragging)
        setCenter(CGPointMake(m_centerAtTouchStart.x + dx, m_centerAtTouchStart.y + dy));
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
    m_tracking = false;
    auto map = m_map.lock();
    auto self = std::static_pointer_cast<MKAnnotationView>(shared_from_this());
    if (m_dragState == MKAnnotationViewDragStateStarting || m_dragState == MKAnnotationViewDragStateDragging) {
        if (map)
            map->annotationViewDropped(self);
        setDragStateAnimated(MKAnnotationViewDragStateEnding, true);
        return;
    }
    if (map && m_enabled)
        map->annotationViewTapped(self);
}

void MKAnnotationView::touchesCancelled(const UITouchSet&, const Ref<UIEvent>&)
{
    m_tracking = false;
    if (m_dragState == MKAnnotationViewDragStateStarting || m_dragState == MKAnnotationViewDragStateDragging)
        setDragStateAnimated(MKAnnotationViewDragStateCanceling, true);
}

VX_REGISTER_CLASS(MKAnnotationView);
