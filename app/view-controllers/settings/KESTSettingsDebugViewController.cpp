#include "app/view-controllers/settings/KESTSettingsDebugViewController.h"

#include "app/view-controllers/map/KESTMapController.h"
#include "app/view-controllers/map/KESTMapViewController.h"
#include "foundation/Dispatch.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSString.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIStepper.h"

VX_REGISTER_CLASS(KESTSettingsDebugViewController);

namespace {
std::string text(uint32_t value)
{
    return NSString::stringWithFormat("%lu", static_cast<unsigned long>(value));
}
} // namespace

Ref<KESTSettingsDebugViewController> KESTSettingsDebugViewController::init()
{
    auto controller = makeController<KESTSettingsDebugViewController>("KESTSettingsDebugView", nullptr);
    controller->setTitle("Debug Options");
    Weak<KESTSettingsDebugViewController> weak = controller;
    controller->navigationItem()->setRightBarButtonItem(UIBarButtonItem::initWithTitleStyleTargetAction(
        "Save", UIBarButtonItemStyleDone, controller, [weak](const Ref<UIBarButtonItem>&) {
            if (auto screen = weak.lock())
                screen->updateSettings();
        }));
    return controller;
}

void KESTSettingsDebugViewController::viewDidLoad()
{
    UIViewController::viewDidLoad();
    setupValues();
}

void KESTSettingsDebugViewController::setupValues()
{
    auto map = KESTMapController::sharedInstance()->mapViewController();
    if (!map)
        return;
    std::pair<Ref<UILabel>, Ref<UIStepper>> pairs[]
        = { { gridColumnValue, gridColumnStepper }, { gridRowValue, gridRowStepper },
              { maxPlanesValue, maxPlanesStepper }, { gridOverflowValue, gridOverflowStepper } };
    uint32_t values[] = { map->gridColumnCount(), map->gridRowCount(), map->maximumAnnotationThreshold(),
        map->gridOverflowThreshold() };
    for (size_t i = 0; i < 4; ++i) {
        if (pairs[i].first)
            pairs[i].first->setText(text(values[i]));
        if (pairs[i].second)
            pairs[i].second->setValue(values[i]);
    }
}

void KESTSettingsDebugViewController::stepperValueChanged(const Ref<NSObject>& sender)
{
    std::pair<Ref<UIStepper>, Ref<UILabel>> pairs[]
        = { { gridColumnStepper, gridColumnValue }, { gridRowStepper, gridRowValue },
              { maxPlanesStepper, maxPlanesValue }, { gridOverflowStepper, gridOverflowValue } };
    for (const auto& [stepper, label] : pairs) {
        if (stepper && sender == std::static_pointer_cast<NSObject>(stepper) && label)
            label->setText(text(uint32_t(stepper->value())));
    }
}

void KESTSettingsDebugViewController::updateSettings()
{
    if (auto map = KESTMapController::sharedInstance()->mapViewController()) {
        if (gridColumnStepper)
            map->setGridColumnCount(uint32_t(gridColumnStepper->value()));
        if (gridRowStepper)
            map->setGridRowCount(uint32_t(gridRowStepper->value()));
        if (maxPlanesStepper)
            map->setMaximumAnnotationThreshold(uint32_t(maxPlanesStepper->value()));
        if (gridOverflowStepper)
            map->setGridOverflowThreshold(uint32_t(gridOverflowStepper->value()));
    }
    auto self = this->self<KESTSettingsDebugViewController>();
    dispatch_async(dispatch_get_main_queue(), [self] {
        self->dismissViewControllerAnimatedCompletion(true, [] {
            NSNotificationCenter::defaultCenter()->postNotificationName(
                "com.kestravon.volantrix.livedata.updated", nullptr);
        });
    });
}
