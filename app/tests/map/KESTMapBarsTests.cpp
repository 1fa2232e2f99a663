#include "app/view-controllers/map/KESTAppleMapViewController.h"

#include "app/application/KESTAppDelegate.h"
#include "app/categories/MKMapView+ZoomLevel.h"
#include "app/core/KESTFilterDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/core/KESTSettingsManager.h"
#include "app/tests/map/MapTestSupport.h"
#include "app/view-controllers/apps/KESTAppsViewController.h"
#include "app/view-controllers/bookmarks/KESTBookmarksViewController.h"
#include "app/view-controllers/charts/KESTChartView.h"
#include "app/view-controllers/filters/KESTFilterCreateViewController.h"
#include "app/view-controllers/filters/KESTFilterViewController.h"
#include "app/view-controllers/intro/KESTIntroViewController.h"
#include "app/view-controllers/map/KESTMapContainerViewController.h"
#include "app/view-controllers/menu/KESTMenuViewController.h"
#include "app/view-controllers/search/KESTSearchViewController.h"
#include "app/view-controllers/settings/KESTSettingsViewController.h"
#include "coredata/NSEntityDescription.h"
#include "coredata/NSManagedObject.h"
#include "coredata/NSManagedObjectContext.h"
#include "foundation/NSBundle.h"
#include "mapkit/MKMapView.h"
#include "testing/URLStubs.h"
#include "uikit/UIActivityViewController.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIKeyboard.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIToolbar.h"
#include "uikit/UIWindow.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

// The map screen inside the root container in a key window, as the application runs it.
class KESTMapViewControllerBarsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UIApplicationHost::resetForTesting();
        URLStubSpec quiet = quietFeedStub();
        quiet.headers = { { "Content-Type", "application/json" } };
        stubs.add(quiet);
        KESTSettingsManager::sharedInstance()->setHasShownIntroView(!showsIntro());
        window = UIWindow::initWithFrame(CGRectMake(0, 0, 1024, 768));
        container = KESTMapContainerViewController::initWithNibNameBundle({}, nullptr);
        window->setRootViewController(container);
        screen = KESTAppleMapViewController::initWithNibNameBundle({}, nullptr);
        container->setVisibleMapController(screen);
        window->makeKeyAndVisible();
        settle();
    }
    void TearDown() override
    {
        if (screen->poc())
            screen->poc()->dismissPopoverAnimated(false);
        if (container->presentedViewController())
            container->dismissViewControllerAnimatedCompletion(false, nullptr);
        settle();
        container->teardownVisibleMapController();
        window->setRootViewController(nullptr);
        screen = nullptr;
        container = nullptr;
        window = nullptr;
        drainAll();
        KESTFilterDataManager::sharedInstance()->setManagedObjectContext(nullptr);
        UIApplicationHost::resetForTesting();
    }
    virtual bool showsIntro() const { return false; }

    void settle(double seconds = 1)
    {
        drainAll();
        scope.clock().advance(seconds);
        drainAll();
    }
    void type(const std::string& text)
    {
        screen->searchBar()->searchField()->insertText(text);
        drainAll();
    }
    // Every schedule search finds nothing.
    void stubEmptySchedules()
    {
        URLStubSpec schedule;
        schedule.url = "http://feed.invalid/APPAPI/flightSchedule.php";
        schedule.matchPrefix = true;
        schedule.headers = { { "Content-Type", "application/json" } };
        schedule.body = "[]";
        stubs.add(schedule);
    }
    std::vector<std::string> schedulePhrases() const
    {
        std::vector<std::string> phrases;
        const std::string marker = "flightSchedule.php?icao=";
        for (const auto& record : stubs.allRequests()) {
            auto at = record.url.find(marker);
            if (at != std::string::npos)
                phrases.push_back(record.url.substr(at + marker.size()));
        }
        return phrases;
    }

    MapTestScope scope;
    URLStubs stubs;
    Ref<UIWindow> window;
    Ref<KESTMapContainerViewController> container;
    Ref<KESTAppleMapViewController> screen;
};

} // namespace

TEST_F(KESTMapViewControllerBarsTest, NavigationBarCarriesMenuSearchFieldAndBookmarks)
{
    auto item = screen->navigationItem();
    ASSERT_EQ(item->leftBarButtonItems().size(), 1u);
    ASSERT_EQ(item->rightBarButtonItems().size(), 1u);
    EXPECT_EQ(item->leftBarButtonItems()[0], screen->menuBarButtonItem());
    EXPECT_EQ(item->rightBarButtonItems()[0], screen->bookmarksBarButtonItem());
    ASSERT_TRUE(screen->searchBar());
    EXPECT_EQ(item->titleView(), screen->searchBar());
    // 200 points wide at least: the bar may widen it into the room between its buttons.
    EXPECT_GE(screen->searchBar()->frame().size.width, 200) << screen->searchBar()->frame().size.width;
    EXPECT_EQ(screen->searchBar()->frame().size.height, 44);
    EXPECT_EQ(screen->searchBar()->placeholder(), "Search");
    EXPECT_EQ(screen->searchBar()->searchBarStyle(), UISearchBarStyleMinimal);
    // The search results screen runs the display controller and answers to the map screen.
    ASSERT_TRUE(screen->searchVC());
    EXPECT_EQ(screen->searchVC()->searchController(), screen->searchController());
    EXPECT_EQ(screen->searchController()->searchBar(), screen->searchBar());
    EXPECT_EQ(screen->searchVC()->delegate().get(), static_cast<KESTSearchDelegate*>(screen.get()));
    // The bars are built once.
    auto bar = screen->searchBar();
    screen->updateUI();
    EXPECT_EQ(screen->searchBar(), bar);
    EXPECT_FALSE(screen->navigationController()->isNavigationBarHidden());

    auto table = screen->searchController()->searchResultsTableView();
    table->setContentInset(UIEdgeInsetsMake(64, 0, 0, 0));
    screen->searchDisplayControllerWillShowSearchResultsTableView(screen->searchController(), table);
    EXPECT_EQ(table->contentInset().top, 0);
}

TEST_F(KESTMapViewControllerBarsTest, BarButtonsOpenTheirPopoversAnchoredToThemselves)
{
    struct Case {
        const char* name;
        std::function<CGRect()> sender; // in window coordinates
        std::function<bool(const Ref<UINavigationController>&)> content;
        CGSize size;
        bool fromNavigationBar;
        bool hasDelegate;
    };
    auto custom = [this](const Ref<UIBarButtonItem>& (KESTMapViewController::*item)() const) {
        return [this, item] {
            auto view = ((*screen).*item)()->customView();
            return view->convertRectToView(view->bounds(), nullptr);
        };
    };
    auto settingsItem = [this] {
        auto toolbar = screen->bottomToolbar();
        return toolbar->convertRectToView(toolbar->frameForItem(toolbar->items()[6]), nullptr);
    };
    auto root = [](auto type) {
        return [](const Ref<UINavigationController>& navigation) {
            return navigation->viewControllers().size() == 1
                && std::dynamic_pointer_cast<typename decltype(type)::element_type>(navigation->viewControllers()[0]);
        };
    };
    const Case cases[] = {
        { "menu", custom(&KESTMapViewController::menuBarButtonItem), root(Ref<KESTMenuViewController>()), { 320, 500 },
            true, true },
        { "bookmarks", custom(&KESTMapViewController::bookmarksBarButtonItem), root(Ref<KESTBookmarksViewController>()),
            { 320, 500 }, true, false },
        // No filter is stored: the editor opens on top of the list.
        { "filters", custom(&KESTMapViewController::filterBarButtonItem),
            [](const Ref<UINavigationController>& navigation) {
                const auto& stack = navigation->viewControllers();
                return stack.size() == 2 && std::dynamic_pointer_cast<KESTFilterViewController>(stack[0])
                    && std::dynamic_pointer_cast<KESTFilterCreateViewController>(stack[1]);
            },
            { 320, 568 }, false, false },
        { "settings", settingsItem, root(Ref<KESTSettingsViewController>()), { 320, 568 }, false, false },
    };
    Ref<UIPopoverController> previous;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CGRect sender = c.sender();
        ASSERT_FALSE(CGRectIsEmpty(sender));
        CGPoint centre = CGPointMake(CGRectGetMidX(sender), CGRectGetMidY(sender));
        // A touch outside an open popover only closes it, so the earlier one goes first.
        if (previous) {
            previous->dismissPopoverAnimated(false);
            settle();
        }
        UIApplicationHost::tap(centre);
        settle();
        auto popover = screen->poc();
        ASSERT_TRUE(popover);
        EXPECT_NE(popover, previous);
        EXPECT_TRUE(popover->isPopoverVisible());
        auto navigation = std::dynamic_pointer_cast<UINavigationController>(popover->contentViewController());
        ASSERT_TRUE(navigation);
        EXPECT_TRUE(c.content(navigation));
        EXPECT_TRUE(CGSizeEqualToSize(popover->popoverContentSize(), c.size));
        EXPECT_EQ(popover->delegate() != nullptr, c.hasDelegate);
        // Anchored to the button: the panel opens below the navigation bar's buttons and above
        // the toolbar's, across the button's centre.
        CGRect panel = popover->popoverFrame();
        if (c.fromNavigationBar)
            EXPECT_GE(panel.origin.y, sender.origin.y + sender.size.height - 1);
        else
            EXPECT_LE(panel.origin.y + panel.size.height, sender.origin.y + 1);
        EXPECT_LE(panel.origin.x, centre.x);
        EXPECT_GE(panel.origin.x + panel.size.width, centre.x);
        previous = popover;
    }
}

TEST_F(KESTMapViewControllerBarsTest, FiltersOpenTheListWhenAnyFilterExistsActiveOrNot)
{
    Ref<NSManagedObjectContext> context;
    {
        NSBundle::setMainBundlePath(VX_SOURCE_DIR "/resources");
        context = KESTAppDelegate::init()->managedObjectContext();
        NSBundle::setMainBundlePath({});
    }
    ASSERT_TRUE(context);
    auto filter = NSEntityDescription::insertNewObjectForEntityForNameInManagedObjectContext("KESTFilter", context);
    filter->setValueForKey(Value(false), "filterActive");
    KESTFilterDataManager::sharedInstance()->setManagedObjectContext(context);
    screen->setManagedObjectContext(context);

    screen->showFilters(screen->filterBarButtonItem()->customView());
    settle();
    auto navigation = std::dynamic_pointer_cast<UINavigationController>(screen->poc()->contentViewController());
    ASSERT_TRUE(navigation);
    ASSERT_EQ(navigation->viewControllers().size(), 1u);
    auto list = std::dynamic_pointer_cast<KESTFilterViewController>(navigation->viewControllers()[0]);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->managedObjectContext(), context);
    EXPECT_EQ(list->title(), "Filters");
}

TEST_F(KESTMapViewControllerBarsTest, OnlyTheUsersDismissalOfTheMenuClearsTheBarPopover)
{
    screen->showMenu(screen->menuBarButtonItem()->customView());
    settle();
    auto menu = screen->poc();
    ASSERT_TRUE(menu);
    menu->userTouchedOutside();
    settle();
    EXPECT_FALSE(screen->poc());

    // Opening another bar popover while the menu shows dismisses the menu first.
    screen->showMenu(screen->menuBarButtonItem()->customView());
    settle();
    menu = screen->poc();
    screen->showBookmarks(screen->bookmarksBarButtonItem()->customView());
    settle();
    auto bookmarks = screen->poc();
    EXPECT_NE(bookmarks, menu);
    EXPECT_FALSE(menu->isPopoverVisible());
    EXPECT_TRUE(bookmarks->isPopoverVisible());
    bookmarks->userTouchedOutside();
    settle();
    EXPECT_FALSE(bookmarks->isPopoverVisible());
    EXPECT_EQ(screen->poc(), bookmarks) << "kept until the next button replaces it";
}

TEST_F(KESTMapViewControllerBarsTest, TypingSearchesOnceAfterAPauseForTheTextThen)
{
    stubEmptySchedules();
    ASSERT_TRUE(screen->searchBar()->searchField()->becomeFirstResponder());

    struct Step {
        std::string typed;
        double pauseAfter;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::vector<std::string> searched;
    };
    const Case cases[] = {
        { "three quick letters", { { "a", 0.1 }, { "b", 0.29 }, { "c", 0.31 } }, { "abc" } },
        { "a pause between", { { "x", 0.3 }, { "y", 0.31 } }, { "x", "xy" } },
        { "still typing at the end", { { "q", 0.2 }, { "r", 0.2 } }, {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        screen->searchBar()->setText("");
        size_t before = schedulePhrases().size();
        for (const auto& step : c.steps) {
            type(step.typed);
            settle(step.pauseAfter);
        }
        auto phrases = schedulePhrases();
        EXPECT_EQ(std::vector<std::string>(phrases.begin() + before, phrases.end()), c.searched);
        settle(1);
    }
}

TEST_F(KESTMapViewControllerBarsTest, AnswersOfAnEarlierTypedPhraseStayOutOfTheResults)
{
    auto scheduleStub = [](const std::string& phrase, const std::string& body, double delay) {
        URLStubSpec spec;
        spec.url = "http://feed.invalid/APPAPI/flightSchedule.php?icao=" + phrase;
        spec.headers = { { "Content-Type", "application/json" } };
        spec.body = body;
        spec.delay = delay;
        return spec;
    };
    stubs.add(scheduleStub("QF", R"([["QF1","x","SYD","LHR",null]])", 5.0));
    stubs.add(scheduleStub("QFX", R"([["QFX2","x","SYD","MEL",null]])", 0));
    ASSERT_TRUE(screen->searchBar()->searchField()->becomeFirstResponder());
    type("QF");
    settle(0.35);
    type("X");
    settle(0.35);
    settle(6);
    std::vector<std::string> titles;
    for (const auto& section : screen->searchVC()->results().elements()) {
        for (const auto& record : section[1].elements())
            titles.push_back(KESTSearchViewController::titleForRecord(record));
    }
    EXPECT_EQ(titles, std::vector<std::string> { "QFX2" });
}

TEST_F(KESTMapViewControllerBarsTest, TypedResultsShowUnderTheSearchFieldAndATappedPlaneIsSelected)
{
    stubEmptySchedules();
    KESTLiveDataManager::sharedInstance()->parsePlaneDataResponse(
        feedAnswer({ { "A1", 51.5, -0.5 }, { "B2", 51.6, -0.4 } }), true, nullptr, nullptr);
    settle(2);
    ASSERT_EQ(KESTLiveDataManager::sharedInstance()->planeArray().size(), 2u);

    auto onScreen = [](const Ref<UIView>& view) {
        CGRect r = view->convertRectToView(view->bounds(), nullptr);
        return CGPointMake(CGRectGetMidX(r), CGRectGetMidY(r));
    };
    UIApplicationHost::tap(onScreen(screen->searchBar()));
    ASSERT_TRUE(UIKeyboard::typeText("CA1"));
    auto display = screen->searchController();
    auto table = display->searchResultsTableView();
    settle(0.29);
    // Still typing, as far as the screen knows: nothing searched yet.
    EXPECT_EQ(table->numberOfSections() ? table->numberOfRowsInSection(0) : 0, 0);

    settle(0.02);
    // The results hang from the search field, over the map, where the user sees them.
    ASSERT_TRUE(display->isSearchResultsTableVisible());
    ASSERT_TRUE(display->searchResultsPopover());
    EXPECT_TRUE(display->searchResultsPopover()->isPopoverVisible());
    EXPECT_EQ(table->window(), window);
    ASSERT_EQ(table->numberOfSections(), 1);
    ASSERT_EQ(table->numberOfRowsInSection(0), 1);
    auto cell = table->cellForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(0, 0));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->textLabel()->text(), "CA1");

    UIApplicationHost::tap(onScreen(cell));
    settle(1);
    auto selected = std::dynamic_pointer_cast<KESTPlane>(screen->selectedMarker());
    ASSERT_TRUE(selected);
    EXPECT_EQ(selected->adshex(), "A1");
    EXPECT_FALSE(display->isActive());
    EXPECT_FALSE(display->searchResultsPopover());
    EXPECT_FALSE(table->window());
    EXPECT_EQ(screen->searchBar()->text(), "");
    EXPECT_FALSE(UIKeyboard::isVisible());
}

TEST_F(KESTMapViewControllerBarsTest, HidingTheBarsClosesTheKeyboardAndAMapTapTogglesThem)
{
    ASSERT_TRUE(screen->searchBar()->searchField()->becomeFirstResponder());
    screen->setToolbarsVisibleAnimated(false, true);
    settle();
    EXPECT_FALSE(screen->searchBar()->isFirstResponder());
    EXPECT_TRUE(screen->navigationController()->isNavigationBarHidden());
    EXPECT_TRUE(screen->prefersStatusBarHidden());
    EXPECT_EQ(screen->bottomToolbar()->frame().origin.y, 768);
    screen->setToolbarsVisibleAnimated(true, true);
    settle();
    EXPECT_FALSE(screen->searchBar()->isFirstResponder()) << "showing the bars does not reopen the keyboard";
    EXPECT_FALSE(screen->navigationController()->isNavigationBarHidden());
    EXPECT_EQ(screen->bottomToolbar()->frame().origin.y, 768 - 44);
}

TEST_F(KESTMapViewControllerBarsTest, ShareSheetCarriesTextSnapshotAndAddress)
{
    screen->showShareOptions();
    settle();
    // Presented by the root container, full screen.
    auto sheet = std::dynamic_pointer_cast<UIActivityViewController>(container->presentedViewController());
    ASSERT_TRUE(sheet);
    const auto& items = sheet->activityItems();
    ASSERT_GE(items.size(), 2u);
    EXPECT_TRUE(items.front().objectAs<NSObject>());
    EXPECT_EQ(items.back().stringValue(), KESTMapViewController::kShareURL);
    for (const char* excluded : { UIActivityTypePostToWeibo, UIActivityTypeAssignToContact, UIActivityTypePrint,
             UIActivityTypeCopyToPasteboard }) {
        auto offered = sheet->availableActivityTypes();
        EXPECT_EQ(std::count(offered.begin(), offered.end(), excluded), 0) << excluded;
    }
}

TEST_F(KESTMapViewControllerBarsTest, ChartAlertOpensTheChartListOnlyOnOK)
{
    struct Case {
        const char* button;
        bool opensCharts;
    };
    const Case cases[] = { { "Cancel", false }, { "OK", true } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        screen->chartAlert("New charts are available");
        settle();
        auto alerts = UIAlertView::visibleAlerts();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0]->title(), "Message");
        EXPECT_EQ(alerts[0]->message(), "New charts are available") << "an unknown key shows the text itself";
        int32_t pressed = -1;
        for (int32_t index = 0; index < alerts[0]->numberOfButtons(); ++index) {
            if (alerts[0]->buttonTitleAtIndex(index) == c.button)
                pressed = index;
        }
        ASSERT_GE(pressed, 0);
        alerts[0]->tapButtonAtIndex(pressed);
        settle();
        auto presented = std::dynamic_pointer_cast<UINavigationController>(container->presentedViewController());
        EXPECT_EQ(bool(presented), c.opensCharts);
        if (presented) {
            EXPECT_TRUE(std::dynamic_pointer_cast<KESTChartView>(presented->topViewController()));
            container->dismissViewControllerAnimatedCompletion(false, nullptr);
            settle();
        }
    }
}

TEST_F(KESTMapViewControllerBarsTest, OtherAppsOpenAsAFormSheet)
{
    screen->showKESTApps();
    settle();
    auto presented = std::dynamic_pointer_cast<UINavigationController>(container->presentedViewController());
    ASSERT_TRUE(presented);
    EXPECT_EQ(presented->modalPresentationStyle(), UIModalPresentationFormSheet);
    EXPECT_TRUE(std::dynamic_pointer_cast<KESTAppsViewController>(presented->topViewController()));
}

namespace {

class KESTMapViewControllerFirstRunTest : public KESTMapViewControllerBarsTest {
protected:
    bool showsIntro() const override { return true; }
};

} // namespace

TEST_F(KESTMapViewControllerFirstRunTest, TheTourRunsOverTheRootContainerOnce)
{
    auto intros = [this] {
        std::vector<Ref<KESTIntroViewController>> found;
        for (const auto& child : container->childViewControllers()) {
            if (auto intro = std::dynamic_pointer_cast<KESTIntroViewController>(child))
                found.push_back(intro);
        }
        return found;
    };
    auto running = intros();
    ASSERT_EQ(running.size(), 1u);
    auto intro = running[0];
    EXPECT_EQ(intro->pages().size(), 7u);
    EXPECT_EQ(intro->view()->superview(), container->view());
    EXPECT_FALSE(KESTSettingsManager::sharedInstance()->hasShownIntroView());

    intro->endIntro();
    settle(2);
    EXPECT_TRUE(KESTSettingsManager::sharedInstance()->hasShownIntroView());
    screen->viewWillAppear(false);
    settle();
    size_t open = 0;
    for (const auto& child : intros())
        open += child->view()->superview() ? 1 : 0;
    EXPECT_EQ(open, 0u) << "the tour never runs again";
}
