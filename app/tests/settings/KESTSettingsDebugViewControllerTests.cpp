#include "app/view-controllers/settings/KESTSettingsDebugViewController.h"

#include "app/tests/settings/SettingsTestSupport.h"
#include "app/view-controllers/map/KESTAppleMapViewController.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "foundation/NSNotificationCenter.h"
#include "uikit/UILabel.h"
#include "uikit/UIStepper.h"

#include <gtest/gtest.h>

namespace {

using SettingsDebugTest = SettingsScreenTest;

TEST_F(SettingsDebugTest, SteppingChangesOnlyTheLabelsUntilSave)
{
    KESTMapController::resetSharedInstanceForTesting();
    auto map = KESTAppleMapViewController::initWithNibNameBundle({}, nullptr);
    KESTMapController::sharedInstance()->setMapViewController(map);
    map->setGridColumnCount(4);
    map->setMaximumAnnotationThreshold(300);
    auto debug = KESTSettingsDebugViewController::init();
    show(debug);
    EXPECT_EQ(debug->title(), "Debug Options");
    EXPECT_EQ(debug->gridColumnValue->text(), "4");
    EXPECT_EQ(debug->maxPlanesValue->text(), "300");

    debug->gridColumnStepper->setValue(6);
    debug->gridColumnStepper->sendActionsForControlEvents(UIControlEventValueChanged);
    EXPECT_EQ(debug->gridColumnValue->text(), "6");
    EXPECT_EQ(map->gridColumnCount(), 4u);

    int updates = 0;
    auto token = NSNotificationCenter::defaultCenter()->addObserverForName(
        "com.kestravon.volantrix.livedata.updated", nullptr, nullptr, [&](const Ref<NSNotification>&) { ++updates; });
    debug->updateSettings();
    settle();
    EXPECT_EQ(map->gridColumnCount(), 6u);
    EXPECT_EQ(map->maximumAnnotationThreshold(), 300u);
    EXPECT_EQ(updates, 1);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
    KESTMapController::resetSharedInstanceForTesting();
}

} // namespace
