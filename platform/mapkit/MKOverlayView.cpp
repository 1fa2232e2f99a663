#include "mapkit/MKOverlayView.h"

Ref<MKOverlayView> MKOverlayView::initWithOverlay(const Ref<MKOverlay>& overlay)
{
    return makeOverlayView<MKOverlayView>(overlay);
}

VX_REGISTER_CLASS(MKOverlayView);
