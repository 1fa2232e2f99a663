#include "app/view-controllers/alerts/KESTAlertCreateViewController.h"
#include "app/view-controllers/alerts/KESTAlertViewController.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "mapkit/MKMapView.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UINib.h"
#include "uikit/UISegmentedControl.h"
#include "uikit/UITextField.h"

namespace {

constexpr UIViewAutoresizing kFill = UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight;

// The list: a grouped table filling the view, the add button on the left of its navigation item.
std::vector<Value> buildAlertViewController(const Ref<NSObject>& owner, const Value&)
{
    CGRect frame = CGRectMake(0, 0, 320, 500);
    auto view = UIView::initWithFrame(frame);
    view->setAutoresizingMask(kFill);
    auto table = UITableView::initWithFrameStyle(frame, UITableViewStyleGrouped);
    table->setAutoresizingMask(kFill);
    view->addSubview(table);
    if (auto controller = std::dynamic_pointer_cast<KESTAlertViewController>(owner)) {
        controller->setView(view);
        controller->setTableView(table);
        Weak<KESTAlertViewController> weak = controller;
        controller->navigationItem()->setLeftBarButtonItem(UIBarButtonItem::initWithBarButtonSystemItemTargetAction(
            UIBarButtonSystemItemAdd, controller, [weak](const Ref<UIBarButtonItem>& sender) {
                if (auto self = weak.lock())
                    self->addPress(sender);
            }));
    }
    return { Value(view) };
}

// The editor: the type segments, the value field, the anywhere/location segments and, below
// them, the area map (hidden until "Location" is chosen).
std::vector<Value> buildAlertCreateViewController(const Ref<NSObject>& owner, const Value&)
{
    CGRect frame = CGRectMake(0, 0, 320, 500);
    auto view = UIView::initWithFrame(frame);
    view->setAutoresizingMask(kFill);
    view->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(246 / 255.0f, 245 / 255.0f, 241 / 255.0f, 1));
    auto types = UISegmentedControl::initWithItems({ "Squawk", "Type", "Airline", "Reg", "Hex" });
    types->setFrame(CGRectMake(10, 10, 300, 30));
    types->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    types->setSelectedSegmentIndex(0);
    view->addSubview(types);
    auto field = UITextField::initWithFrame(CGRectMake(10, 50, 300, 31));
    field->setBorderStyle(UITextBorderStyleRoundedRect);
    field->setFont(UIFont::systemFontOfSize(16));
    field->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    view->addSubview(field);
    auto area = UISegmentedControl::initWithItems({ "Anywhere", "Location" });
    area->setFrame(CGRectMake(10, 91, 300, 30));
    area->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    area->setSelectedSegmentIndex(0);
    view->addSubview(area);
    auto map = MKMapView::initWithFrame(CGRectMake(0, 131, 320, 369));
    map->setAutoresizingMask(kFill);
    map->setHidden(true);
    view->addSubview(map);
    if (auto controller = std::dynamic_pointer_cast<KESTAlertCreateViewController>(owner)) {
        controller->setView(view);
        controller->setAlertTypeSegmentedControl(types);
        controller->setAlertTextField(field);
        controller->setMapSegmentedControl(area);
        controller->setMapView(map);
    }
    return { Value(view) };
}

} // namespace

VX_REGISTER_LAYOUT("KESTAlertViewController", buildAlertViewController);
VX_REGISTER_LAYOUT("KESTAlertCreateViewController", buildAlertCreateViewController);
