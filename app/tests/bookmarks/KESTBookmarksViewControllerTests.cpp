#include "app/application/KESTAppDelegate.h"
#include "app/core/KESTBookmark.h"
#include "app/tests/map/MapTestSupport.h"
#include "app/view-controllers/bookmarks/KESTBookmarksCheckCell.h"
#include "app/view-controllers/bookmarks/KESTBookmarksCreateViewController.h"
#include "app/view-controllers/bookmarks/KESTBookmarksViewController.h"
#include "app/widgets/KESTToggleButton.h"
#include "coredata/NSFetchRequest.h"
#include "coredata/NSManagedObjectContext.h"
#include "coredata/NSPersistentStoreCoordinator.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "mapkit/MKMapView.h"
#include "testing/LogCapture.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UITableView.h"
#include "uikit/UITextField.h"
#include "uikit/UIWindow.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class KESTBookmarksViewControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NSBundle::setMainBundlePath(VX_SOURCE_DIR "/resources");
        UIApplicationHost::resetForTesting();
        m_scope = std::make_unique<MapTestScope>();
        m_app = KESTAppDelegate::init();
        m_context = m_app->managedObjectContext();
        m_window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
        m_home = UIViewController::init();
        m_navigation = UINavigationController::initWithRootViewController(m_home);
        m_window->setRootViewController(m_navigation);
        m_window->makeKeyAndVisible();
        // The main map, to see where the list sends it.
        m_map = MKMapView::initWithFrame(CGRectMake(0, 0, 1024, 768));
        KESTMapController::sharedInstance()->setMapView(m_map);
        drainAll();
    }
    void TearDown() override
    {
        drainAll();
        KESTBookmarksViewController::setCurrentLocationProviderForTesting(nullptr);
        m_screen = nullptr;
        m_navigation = nullptr;
        m_window = nullptr;
        m_home = nullptr;
        m_map = nullptr;
        m_context = nullptr;
        m_app = nullptr;
        m_scope = nullptr;
        UIApplicationHost::resetForTesting();
        NSBundle::setMainBundlePath({});
    }

    Ref<KESTBookmark> add(const std::string& name, double lat, double lon, double latSpan = 1.0, double lonSpan = 2.0)
    {
        auto bookmark = KESTBookmark::insertInManagedObjectContext(m_context);
        bookmark->setValueForKey(Value(name), "bookmarkName");
        bookmark->setValueForKey(Value(lat), "bookmarkLat");
        bookmark->setValueForKey(Value(lon), "bookmarkLon");
        bookmark->setValueForKey(Value(latSpan), "bookmarkLatSpan");
        bookmark->setValueForKey(Value(lonSpan), "bookmarkLonSpan");
        EXPECT_TRUE(m_context->save(nullptr));
        return bookmark;
    }
    void open()
    {
        m_screen = KESTBookmarksViewController::init();
        m_screen->setManagedObjectContext(m_context);
        m_navigation->pushViewControllerAnimated(m_screen, false);
        drainAll();
        m_screen->tableView()->layoutIfNeeded();
    }
    Ref<KESTBookmarksCheckCell> cell(int32_t row)
    {
        m_screen->tableView()->layoutIfNeeded();
        return std::dynamic_pointer_cast<KESTBookmarksCheckCell>(
            m_screen->tableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(row, 0)));
    }
    // "name|location|chosen" for every row.
    std::vector<std::string> shown()
    {
        std::vector<std::string> out;
        int32_t rows = m_screen->tableViewNumberOfRowsInSection(m_screen->tableView(), 0);
        for (int32_t row = 0; row < rows; ++row) {
            auto c = cell(row);
            if (!c) {
                out.push_back("<no cell>");
                continue;
            }
            out.push_back(c->bookmarkNameLabel()->text() + "|" + c->bookmarkLocationLabel()->text()
                + (c->toggleButton()->isSelected() ? "|home" : ""));
        }
        return out;
    }
    void tapToggle(int32_t row) { cell(row)->toggleButton()->sendActionsForControlEvents(UIControlEventTouchUpInside); }
    static Ref<NSIndexPath> row(int32_t r) { return NSIndexPath::indexPathForRowInSection(r, 0); }
    // A synthetic touch on the item's button in the navigation bar.
    void tapBarItem(const Ref<UIBarButtonItem>& item)
    {
        ASSERT_TRUE(item);
        auto bar = m_navigation->navigationBar();
        bar->layoutIfNeeded();
        CGRect frame = bar->frameForItem(item);
        ASSERT_FALSE(CGRectIsEmpty(frame));
        UIApplicationHost::tap(
            bar->convertPointToView(CGPointMake(CGRectGetMidX(frame), CGRectGetMidY(frame)), nullptr));
    }

    std::unique_ptr<MapTestScope> m_scope;
    Ref<KESTAppDelegate> m_app;
    Ref<NSManagedObjectContext> m_context;
    Ref<UIWindow> m_window;
    Ref<UIViewController> m_home;
    Ref<UINavigationController> m_navigation;
    Ref<MKMapView> m_map;
    Ref<KESTBookmarksViewController> m_screen;
};

TEST_F(KESTBookmarksViewControllerTest, ListsTheCurrentLocationThenBookmarksByName)
{
    open();
    EXPECT_EQ(m_screen->title(), "Bookmarks");
    EXPECT_EQ(shown(), (std::vector<std::string> { "Current Location|N/A|home" }));
    EXPECT_FALSE(m_screen->tableViewCanEditRowAtIndexPath(m_screen->tableView(), row(0)));

    add("zurich", 47.3769, 8.5417);
    add("London", 51.4775, -0.4614);
    add("Amsterdam", 52.25, 4.75);
    KESTBookmarksViewController::setCurrentLocationProviderForTesting([] {
        return std::optional<CLLocationCoordinate2D>({ 48.8566, 2.3522 });
    });
    m_screen->viewWillAppear(false);
    EXPECT_EQ(shown(),
        (std::vector<std::string> { "Current Location|48.86, 2.35|home", "Amsterdam|52.25, 4.75", "London|51.48, -0.46",
            "zurich|47.38, 8.54" }));
    EXPECT_TRUE(m_screen->tableViewCanEditRowAtIndexPath(m_screen->tableView(), row(1)));
    EXPECT_EQ(cell(0)->accessoryType(), UITableViewCellAccessoryNone);
    EXPECT_EQ(cell(1)->accessoryType(), UITableViewCellAccessoryDisclosureIndicator);
    EXPECT_EQ(cell(1)->editingAccessoryType(), UITableViewCellAccessoryDetailDisclosureButton);
}

TEST_F(KESTBookmarksViewControllerTest, TheEditButtonSwitchesTheTableIntoEditing)
{
    add("Paris", 48.85, 2.35);
    open();
    auto edit = m_screen->navigationItem()->rightBarButtonItem();
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit, m_screen->editButtonItem());
    const struct {
        bool editing;
        const char* title;
    } steps[] = { { true, "Done" }, { false, "Edit" } };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.title);
        tapBarItem(edit);
        m_scope->clock().advance(1);
        drainAll();
        EXPECT_EQ(m_screen->isEditing(), step.editing);
        EXPECT_EQ(m_screen->tableView()->isEditing(), step.editing);
        EXPECT_EQ(edit->title(), step.title);
    }
}

TEST_F(KESTBookmarksViewControllerTest, TheHomeToggleCopiesTheRegionAndSurvivesDeletion)
{
    auto london = add("London", 51.4775, -0.4614, 0.71, 0.88);
    add("Paris", 48.85, 2.35);
    open();
    auto settings = KESTSettingsManager::sharedInstance();

    tapToggle(1);
    EXPECT_TRUE(settings->isHomeSet());
    EXPECT_EQ(settings->bookmarkuuid(), london->bookmarkuuid().stringValue());
    KESTCoordinateRegion home = settings->getRegionForHomeBookmarkLocation();
    EXPECT_DOUBLE_EQ(home.centerLatitude, 51.4775);
    EXPECT_DOUBLE_EQ(home.longitudeSpan, 0.88);
    EXPECT_TRUE(london->bookmarkHomeSet().boolValue());
    EXPECT_FALSE(m_context->hasChanges());
    EXPECT_EQ(shown(),
        (std::vector<std::string> { "Current Location|N/A", "London|51.48, -0.46|home", "Paris|48.85, 2.35" }));
    EXPECT_EQ(m_screen->currentlySelectedHome()->row(), 1);

    // Tapping the chosen home again keeps it chosen.
    tapToggle(1);
    EXPECT_EQ(shown(),
        (std::vector<std::string> { "Current Location|N/A", "London|51.48, -0.46|home", "Paris|48.85, 2.35" }));

    // Deleting the home bookmark keeps the home settings; no row shows as chosen.
    m_screen->tableViewCommitEditingStyleForRowAtIndexPath(
        m_screen->tableView(), UITableViewCellEditingStyleDelete, row(1));
    EXPECT_EQ(m_screen->KESTBookmarks().size(), 1u);
    EXPECT_FALSE(m_context->hasChanges());
    EXPECT_TRUE(settings->isHomeSet());
    EXPECT_DOUBLE_EQ(settings->getRegionForHomeBookmarkLocation().centerLatitude, 51.4775);
    EXPECT_EQ(shown(), (std::vector<std::string> { "Current Location|N/A", "Paris|48.85, 2.35" }));

    // The current location row means no home.
    tapToggle(0);
    EXPECT_FALSE(settings->isHomeSet());
    EXPECT_FALSE(settings->bookmarkuuid());
    EXPECT_EQ(shown(), (std::vector<std::string> { "Current Location|N/A|home", "Paris|48.85, 2.35" }));
}

TEST_F(KESTBookmarksViewControllerTest, SelectingARowMovesTheMap)
{
    add("Paris", 48.85, 2.35, 1.0, 1.0);
    open();
    m_screen->tableViewDidSelectRowAtIndexPath(m_screen->tableView(), row(1));
    drainAll();
    EXPECT_NEAR(m_map->centerCoordinate().latitude, 48.85, 0.01);
    EXPECT_NEAR(m_map->centerCoordinate().longitude, 2.35, 0.01);
    EXPECT_EQ(m_navigation->topViewController(), m_home);

    // Without a known location the first row only closes the list.
    open();
    m_screen->tableViewDidSelectRowAtIndexPath(m_screen->tableView(), row(0));
    drainAll();
    EXPECT_EQ(m_navigation->topViewController(), m_home);
    EXPECT_NEAR(m_map->centerCoordinate().latitude, 48.85, 0.01);

    KESTBookmarksViewController::setCurrentLocationProviderForTesting([] {
        return std::optional<CLLocationCoordinate2D>({ -33.86, 151.21 });
    });
    open();
    m_screen->tableViewDidSelectRowAtIndexPath(m_screen->tableView(), row(0));
    drainAll();
    EXPECT_NEAR(m_map->centerCoordinate().latitude, -33.86, 0.01);
    EXPECT_NEAR(m_map->region().span.latitudeDelta, 1.0, 0.05);
}

TEST_F(KESTBookmarksViewControllerTest, TheEditorAddsAndReframesBookmarks)
{
    open();
    // The add button sits on the left of the list's navigation bar.
    auto add = m_screen->navigationItem()->leftBarButtonItem();
    ASSERT_TRUE(add);
    EXPECT_EQ(add->systemItem(), UIBarButtonSystemItemAdd);
    tapBarItem(add);
    m_scope->clock().advance(1);
    drainAll();
    auto create = std::dynamic_pointer_cast<KESTBookmarksCreateViewController>(m_navigation->topViewController());
    ASSERT_TRUE(create);
    EXPECT_EQ(create->bookmarkNameField()->placeholder(), "Name your bookmark");
    auto save = create->navigationItem()->rightBarButtonItem();
    ASSERT_TRUE(save);
    EXPECT_EQ(save->title(), "Save");
    EXPECT_EQ(save->style(), UIBarButtonItemStyleDone);
    create->mapView()->setRegion({ { 40.64, -73.78 }, { 2.0, 2.0 } });
    create->bookmarkNameField()->setText("New York");
    tapBarItem(save);
    m_scope->clock().advance(1);
    drainAll();
    EXPECT_EQ(m_navigation->topViewController(), m_screen);
    ASSERT_EQ(m_screen->KESTBookmarks().size(), 1u);
    auto saved = m_screen->KESTBookmarks()[0];
    EXPECT_EQ(saved->bookmarkName().stringValue(), "New York");
    EXPECT_NEAR(saved->bookmarkLat().doubleValue(), 40.64, 0.01);
    EXPECT_EQ(saved->bookmarkuuid().stringValue().size(), 36u);
    EXPECT_FALSE(m_context->hasChanges());

    // Selecting in editing mode opens the editor on that bookmark and leaves editing mode.
    m_screen->setEditingAnimated(true, false);
    m_screen->tableViewDidSelectRowAtIndexPath(m_screen->tableView(), row(1));
    drainAll();
    EXPECT_FALSE(m_screen->isEditing());
    auto edit = std::dynamic_pointer_cast<KESTBookmarksCreateViewController>(m_navigation->topViewController());
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit->existingBookmark(), saved);
    EXPECT_EQ(edit->bookmarkNameField()->text(), "New York");
    EXPECT_NEAR(edit->mapView()->centerCoordinate().latitude, 40.64, 0.01);
    edit->bookmarkNameField()->setText("JFK");
    edit->donePress(nullptr);
    drainAll();
    EXPECT_EQ(m_screen->KESTBookmarks().size(), 1u);
    EXPECT_EQ(saved->bookmarkName().stringValue(), "JFK");

    // A failed save is logged and the screen still closes.
    LogCapture logs;
    auto storeless
        = NSManagedObjectContext::initWithConcurrencyType(NSManagedObjectContext::NSMainQueueConcurrencyType);
    storeless->setPersistentStoreCoordinator(
        NSPersistentStoreCoordinator::initWithManagedObjectModel(m_app->managedObjectModel()));
    auto failing = KESTBookmarksCreateViewController::init();
    failing->setManagedObjectContext(storeless);
    m_navigation->pushViewControllerAnimated(failing, false);
    drainAll();
    failing->donePress(nullptr);
    drainAll();
    EXPECT_EQ(m_navigation->topViewController(), m_screen);
    auto messages = logs.messages();
    EXPECT_TRUE(std::any_of(messages.begin(), messages.end(),
        [](const std::string& m) { return m.rfind("Whoops, couldn't save: ", 0) == 0; }));
}

} // namespace

namespace {

TEST_F(KESTBookmarksViewControllerTest, AModalListClosesBeforeTheMapMoves)
{
    add("Paris", 48.85, 2.35, 1.0, 1.0);
    m_screen = KESTBookmarksViewController::init();
    m_screen->setManagedObjectContext(m_context);
    auto modal = UINavigationController::initWithRootViewController(m_screen);
    m_home->presentViewControllerAnimatedCompletion(modal, false, nullptr);
    drainAll();
    m_screen->tableView()->layoutIfNeeded();
    ASSERT_TRUE(m_screen->presentingViewController());
    m_screen->tableViewDidSelectRowAtIndexPath(m_screen->tableView(), row(1));
    drainAll();
    EXPECT_FALSE(m_home->presentedViewController());
    EXPECT_NEAR(m_map->centerCoordinate().latitude, 48.85, 0.01);
}

} // namespace
