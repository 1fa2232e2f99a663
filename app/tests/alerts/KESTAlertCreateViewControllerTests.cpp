#include "app/view-controllers/alerts/KESTAlertCreateViewController.h"

#include "app/tests/alerts/AlertTestSupport.h"
#include "app/view-controllers/alerts/KESTAlertActivity.h"
#include "app/widgets/KESTTokenButton.h"
#include "mapkit/MKMapView.h"
#include "testing/LogCapture.h"
#include "uikit/UIActivityViewController.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UISegmentedControl.h"

#include <gtest/gtest.h>

namespace {

void saveAs(const std::string& name)
{
    auto alerts = UIAlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0]->message(), "Please set a name for this alert");
    alerts[0]->textFieldAtIndex(0)->setText(name);
    alerts[0]->tapButtonAtIndex(1);
    drainAll();
}

TEST(KESTAlertCreateViewController, SavesANewAlertAnywhereWithSuggestions)
{
    AlertScreenScope scope;
    ScreenHost host;
    auto search = scope.stub("APPAPIv2/alertSearch.php?searchText=BA&searchType=5",
        R"([{"title":"British Airways","data":"BAW"},{"title":7},"x",{"title":"BA Cityflyer","data":"CFE"}])");
    auto editor = KESTAlertCreateViewController::init();
    editor->setManagedObjectContext(scope.context());
    host.push(editor);
    host.push(UIViewController::init());
    host.back(); // the editor is not the root: no Close button
    EXPECT_EQ(editor->title(), "Add Alert");
    EXPECT_FALSE(editor->navigationItem()->leftBarButtonItem());
    EXPECT_FALSE(editor->dismissAfterSave());

    editor->alertTypeSegmentedControl()->setSelectedSegmentIndex(2);
    editor->alertTypeSegmentChange(nullptr);
    auto field = editor->alertTextField();
    EXPECT_EQ(field->placeholder(), "Enter part or full airline code");
    EXPECT_FALSE(editor->textFieldShouldChangeCharactersInRangeReplacementString(field, NSMakeRange(0, 0), ""));
    EXPECT_EQ(search->requestCount(), 0u) << "a backspace in an empty field asks nothing";
    EXPECT_TRUE(editor->textFieldShouldChangeCharactersInRangeReplacementString(field, NSMakeRange(0, 0), "BA"));
    EXPECT_EQ(editor->autocompleteBar()->suggestions().size(), 1u) << "the typed text at once";
    drainAll();
    auto suggestions = editor->autocompleteBar()->suggestions();
    ASSERT_EQ(suggestions.size(), 3u) << "malformed elements skipped";
    EXPECT_EQ(suggestions[1]->titleForState(UIControlStateNormal), "British Airways");
    editor->autocompleteBarDidSelectSuggestion(editor->autocompleteBar(), suggestions[1]);
    EXPECT_EQ(field->text(), "BAW");

    editor->donePress(nullptr);
    EXPECT_EQ(UIAlertView::visibleAlerts()[0]->textFieldAtIndex(0)->text(), "BAW");
    saveAs("Speedbird");
    EXPECT_EQ(host.navigation->topViewController(), host.home);
    Value alerts = KESTAlertManager::sharedInstance()->alerts();
    ASSERT_EQ(alerts.count(), 1u);
    auto alert = alerts[0].objectAs<KESTAlert>();
    EXPECT_EQ(alert->alertName(), Value("Speedbird"));
    EXPECT_EQ(alert->alertValue(), Value("BAW"));
    EXPECT_EQ(alert->alertType(), Value(5));
    EXPECT_EQ(alert->alertMaxLat().doubleValue(), 180);
    EXPECT_EQ(alert->alertMinLon().doubleValue(), -180);
    EXPECT_EQ(alert->alertuuid().stringValue().size(), 36u);
}

TEST(KESTAlertCreateViewController, EditsAnAreaAlertAndLeavingKeepsOtherUnsavedWork)
{
    AlertScreenScope scope;
    ScreenHost host;
    auto stored = scope.addAlert("G-ABCD", 0, 4, 52, 50, 2, -2);
    EXPECT_TRUE(KESTAlertCreateViewController::isLocationSpecific(stored));
    auto anywhere = scope.addAlert("7700", 3);
    EXPECT_FALSE(KESTAlertCreateViewController::isLocationSpecific(anywhere));
    auto unrelated = scope.addAlert("B744", 4);
    unrelated->setValueForKey(Value("changed elsewhere"), "alertName");

    auto editor = KESTAlertCreateViewController::init();
    editor->setManagedObjectContext(scope.context());
    editor->setExistingAlert(stored);
    host.push(editor);
    EXPECT_EQ(editor->alertTypeSegmentedControl()->selectedSegmentIndex(), 3);
    EXPECT_EQ(editor->mapSegmentedControl()->selectedSegmentIndex(), 1);
    EXPECT_FALSE(editor->mapView()->isHidden());
    MKCoordinateRegion region = editor->mapView()->region();
    EXPECT_NEAR(region.center.latitude, 51, 1e-6);
    EXPECT_NEAR(region.center.longitude, 0, 1e-6);
    KESTMapBounds bounds = editor->currentMapBounds();
    EXPECT_GT(bounds.north, 51.9);
    EXPECT_LT(bounds.south, 50.1);

    editor->alertTextField()->setText("G-WXYZ");
    host.back();
    EXPECT_EQ(stored->alertValue(), Value("G-ABCD")) << "nothing saved";
    EXPECT_EQ(unrelated->alertName(), Value("changed elsewhere")) << "another screen's unsaved change survives";
    EXPECT_TRUE(scope.context()->hasChanges());

    // Saving with "Anywhere" stores the anywhere bounds whatever the map shows.
    editor = KESTAlertCreateViewController::init();
    editor->setManagedObjectContext(scope.context());
    editor->setExistingAlert(stored);
    host.push(editor);
    editor->mapSegmentedControl()->setSelectedSegmentIndex(0);
    editor->mapSegmentChange(nullptr);
    EXPECT_TRUE(editor->mapView()->isHidden());
    editor->donePress(nullptr);
    EXPECT_EQ(UIAlertView::visibleAlerts()[0]->textFieldAtIndex(0)->text(), "G-ABCD");
    saveAs("Mine");
    EXPECT_EQ(stored->alertName(), Value("Mine"));
    EXPECT_EQ(stored->alertMaxLat().doubleValue(), 180);
    EXPECT_FALSE(KESTAlertCreateViewController::isLocationSpecific(stored));
}

TEST(KESTAlertCreateViewController, AddAlertOpensTheEditorForThePlaneAndFinishesWhenItCloses)
{
    AlertScreenScope scope;
    ScreenHost host;
    auto activity = KESTAlertActivity::init();
    activity->setManagedObjectContext(scope.context());
    activity->setHexCode("400A0B");
    EXPECT_EQ(activity->activityType(), "com.kestravon.addalert.activity");
    EXPECT_EQ(activity->activityTitle(), "Add Alert");
    EXPECT_TRUE(activity->activityImage());
    EXPECT_TRUE(activity->canPerformWithActivityItems({}));

    auto sheet = UIActivityViewController::initWithActivityItemsApplicationActivities({ Value("x") }, { activity });
    std::vector<bool> finished;
    sheet->setCompletionHandler([&](const std::string&, bool completed) { finished.push_back(completed); });
    host.home->presentViewControllerAnimatedCompletion(sheet, false, nullptr);
    drainAll();
    sheet->chooseActivity(activity->activityType());
    scope.filters.map().clock().advance(1);
    drainAll();
    auto navigation = std::dynamic_pointer_cast<UINavigationController>(sheet->presentedViewController());
    ASSERT_TRUE(navigation);
    auto editor = std::dynamic_pointer_cast<KESTAlertCreateViewController>(navigation->topViewController());
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->alertTextField()->text(), "400A0B");
    EXPECT_EQ(editor->alertTypeSegmentedControl()->selectedSegmentIndex(), 4);
    ASSERT_TRUE(editor->navigationItem()->leftBarButtonItem());
    EXPECT_EQ(editor->navigationItem()->leftBarButtonItem()->title(), "Close");
    EXPECT_TRUE(editor->dismissAfterSave());

    editor->close();
    scope.filters.map().clock().advance(1);
    drainAll();
    EXPECT_EQ(finished, (std::vector<bool> { true })) << "closing without saving still succeeds";
    EXPECT_FALSE(host.home->presentedViewController());
}

} // namespace
