#include "app/view-controllers/cockpit/KESTCockpitViewController.h"
#include "mapkit/MKMapView.h"
#include "uikit/UINib.h"
#include "uikit/UIScreen.h"

namespace {

// The screen's view with a map view filling it.
std::vector<Value> buildCockpitViewController(const Ref<NSObject>& owner, const Value&)
{
    CGRect frame = UIScreen::mainScreen()->bounds();
    auto view = UIView::initWithFrame(frame);
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    auto mapView = MKMapView::initWithFrame(CGRectMake(0, 0, frame.size.width, frame.size.height));
    mapView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view->addSubview(mapView);
    if (auto controller = std::dynamic_pointer_cast<KESTCockpitViewController>(owner)) {
        controller->setView(view);
        controller->setMapView(mapView);
    }
    return { Value(view) };
}

} // namespace

VX_REGISTER_LAYOUT("KESTCockpitViewController", buildCockpitViewController);
