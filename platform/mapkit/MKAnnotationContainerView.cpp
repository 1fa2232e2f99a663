#include "mapkit/MKAnnotationContainerView.h"

#include "mapkit/MKMapView.h"

void MKAnnotationContainerView::touchesEnded(const UITouchSet&, const Ref<UIEvent>&)
{
    if (auto map = m_map.lock())
        map->emptySpotTapped();
}

VX_REGISTER_CLASS(MKAnnotationContainerView);
