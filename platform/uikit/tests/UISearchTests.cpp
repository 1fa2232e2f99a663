#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "graphics/CGImage.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIDevice.h"
#include "uikit/UIKeyboard.h"
#include "uikit/UINavigationController.h"
#include "uikit/UISearchBar.h"
#include "uikit/UISearchDisplayController.h"
#include "uikit/UIViewController.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

// The map-like screen: search bar delegate, display delegate and results source in one.
class Searcher : public NSObject,
                 public UISearchBarDelegate,
                 public UISearchDisplayDelegate,
                 public UITableViewDataSource {
    VX_OBJECT(Searcher, NSObject)
public:
    explicit Searcher(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<Searcher> init() { return make<Searcher>(); }

    void searchBarTextDidChange(const Ref<UISearchBar>&, const std::string& text) override
    {
        log.add("textDidChange " + text);
    }
    void searchBarSearchButtonClicked(const Ref<UISearchBar>&) override { log.add("search"); }
    void searchBarCancelButtonClicked(const Ref<UISearchBar>&) override { log.add("cancel"); }
    void searchDisplayControllerWillBeginSearch(const Ref<UISearchDisplayController>&) override
    {
        log.add("willBegin");
    }
    void searchDisplayControllerDidEndSearch(const Ref<UISearchDisplayController>&) override { log.add("didEnd"); }
    void searchDisplayControllerDidShowSearchResultsTableView(
        const Ref<UISearchDisplayController>& display, const Ref<UITableView>&) override
    {
        // By the time it is told, the table is where the user sees it.
        log.add(display->searchResultsTableView()->window() ? "didShowTable" : "didShowTable offscreen");
    }
    void searchDisplayControllerWillHideSearchResultsTableView(
        const Ref<UISearchDisplayController>&, const Ref<UITableView>&) override
    {
        log.add("willHideTable");
    }
    void searchDisplayControllerWillShowSearchResultsTableView(
        const Ref<UISearchDisplayController>&, const Ref<UITableView>&) override
    {
        log.add("willShowTable");
    }
    void searchDisplayControllerDidHideSearchResultsTableView(
        const Ref<UISearchDisplayController>&, const Ref<UITableView>&) override
    {
        log.add("didHideTable");
    }
    bool searchDisplayControllerShouldReloadTableForSearchString(
        const Ref<UISearchDisplayController>&, const std::string& text) override
    {
        query = text;
        return true;
    }
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t) override { return int32_t(query.size()); }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override
    {
        return UITableViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "Result");
    }

    std::string query;
    EventRecorder log;
};

class UISearchBarTest : public HostedWindowTest {
protected:
    void SetUp() override
    {
        HostedWindowTest::SetUp();
        UIKeyboard::resetForTesting();
    }
    void TearDown() override
    {
        UIKeyboard::resetForTesting();
        HostedWindowTest::TearDown();
    }
};

TEST_F(UISearchBarTest, DisplayControllerShowsResultsWhileTheBarHoldsText)
{
    auto window = makeKeyWindow();
    auto screen = UIViewController::init();
    window->setRootViewController(screen);
    auto bar = UISearchBar::initWithFrame(CGRectMake(0, 0, 300, 44));
    bar->setShowsCancelButton(true);
    screen->view()->addSubview(bar);
    auto searcher = Searcher::init();
    bar->setDelegate(searcher.get(), searcher);
    auto display = UISearchDisplayController::initWithSearchBarContentsController(bar, screen);
    display->setDelegate(searcher.get(), searcher);
    display->setSearchResultsDataSource(searcher.get(), searcher);
    UIApplicationHost::runUntilIdle();

    UIApplicationHost::tap(CGPointMake(50, 22));
    EXPECT_TRUE(display->isActive());
    EXPECT_TRUE(UIKeyboard::isVisible());
    UIKeyboard::typeText("K");
    UIKeyboard::typeText("E");
    EXPECT_TRUE(display->isSearchResultsTableVisible());
    EXPECT_EQ(display->searchResultsTableView()->superview(), screen->view());
    EXPECT_EQ(display->searchResultsTableView()->numberOfRowsInSection(0), 2);
    UIKeyboard::pressReturn();
    UIKeyboard::pressDelete();
    UIKeyboard::pressDelete();
    EXPECT_FALSE(display->isSearchResultsTableVisible());
    UIKeyboard::typeText("A");
    bar->userTapCancelButton();
    m_clock.advance(1);

    EXPECT_THAT(searcher->log.take(),
        ElementsAre("willBegin", "willShowTable", "didShowTable", "textDidChange K", "textDidChange KE", "search",
            "textDidChange K", "willHideTable", "didHideTable", "textDidChange ", "willShowTable", "didShowTable",
            "textDidChange A", "willHideTable", "didHideTable", "didEnd", "cancel"));
    EXPECT_FALSE(display->isActive());
    EXPECT_EQ(bar->text(), "");
    EXPECT_FALSE(UIKeyboard::isVisible());
}

// The screen puts its search bar either in its own view or as its navigation bar's title view.
struct SearchScreen {
    Ref<UIViewController> screen;
    Ref<UISearchBar> bar;
    Ref<UISearchDisplayController> display;
    Ref<Searcher> searcher;
};

SearchScreen makeSearchScreen(const Ref<UIWindow>& window, bool barInNavigationBar)
{
    SearchScreen s;
    s.screen = UIViewController::init();
    s.bar = UISearchBar::initWithFrame(CGRectMake(0, 0, 300, 44));
    s.bar->setShowsCancelButton(true);
    if (barInNavigationBar) {
        s.screen->navigationItem()->setTitleView(s.bar);
        window->setRootViewController(UINavigationController::initWithRootViewController(s.screen));
    } else {
        window->setRootViewController(s.screen);
        s.screen->view()->addSubview(s.bar);
    }
    s.searcher = Searcher::init();
    s.bar->setDelegate(s.searcher.get(), s.searcher);
    s.display = UISearchDisplayController::initWithSearchBarContentsController(s.bar, s.screen);
    s.display->setDelegate(s.searcher.get(), s.searcher);
    s.display->setSearchResultsDataSource(s.searcher.get(), s.searcher);
    UIApplicationHost::runUntilIdle();
    return s;
}

CGPoint centreOnScreen(const Ref<UIView>& view)
{
    CGRect r = view->convertRectToView(view->bounds(), nullptr);
    return CGPointMake(CGRectGetMidX(r), CGRectGetMidY(r));
}

TEST_F(UISearchBarTest, ResultsGoInAPopoverOnlyOnTheTabletWithTheBarOutsideTheContents)
{
    struct Case {
        const char* name;
        UIUserInterfaceIdiom idiom;
        bool barInNavigationBar;
        bool inPopover;
    };
    const Case cases[] = {
        { "tablet, bar in navigation bar", UIUserInterfaceIdiomPad, true, true },
        { "tablet, bar in the contents view", UIUserInterfaceIdiomPad, false, false },
        { "phone, bar in navigation bar", UIUserInterfaceIdiomPhone, true, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UIKeyboard::resetForTesting();
        UIDevice::currentDevice()->setUserInterfaceIdiom(c.idiom);
        auto window = makeKeyWindow();
        auto s = makeSearchScreen(window, c.barInNavigationBar);

        UIApplicationHost::tap(centreOnScreen(s.bar));
        UIKeyboard::typeText("AB");
        UIApplicationHost::runUntilIdle();
        auto table = s.display->searchResultsTableView();
        ASSERT_TRUE(s.display->isSearchResultsTableVisible());
        ASSERT_TRUE(table->window());
        EXPECT_EQ(table->numberOfRowsInSection(0), 2);
        EXPECT_EQ(bool(s.display->searchResultsPopover()), c.inPopover);
        if (c.inPopover) {
            auto popover = s.display->searchResultsPopover();
            EXPECT_TRUE(popover->isPopoverVisible());
            EXPECT_EQ(popover->popoverArrowDirection(), UIPopoverArrowDirectionUp);
            CGRect barOnScreen = s.bar->convertRectToView(s.bar->bounds(), nullptr);
            EXPECT_GE(popover->popoverFrame().origin.y, CGRectGetMaxY(barOnScreen));
            EXPECT_TRUE(
                CGRectContainsRect(popover->popoverFrame(), table->convertRectToView(table->bounds(), nullptr)));
        } else {
            EXPECT_EQ(table->superview(), s.screen->view());
        }

        s.display->setActive(false);
        UIApplicationHost::runUntilIdle();
        EXPECT_FALSE(table->window());
        EXPECT_FALSE(s.display->searchResultsPopover());
        window->setHidden(true);
    }
}

TEST_F(UISearchBarTest, ResultsPopoverFollowsTheTextAndATouchElsewhereEndsTheSearch)
{
    auto window = makeKeyWindow();
    auto s = makeSearchScreen(window, true);

    UIApplicationHost::tap(centreOnScreen(s.bar));
    UIKeyboard::typeText("K");
    auto first = s.display->searchResultsPopover();
    ASSERT_TRUE(first);
    // Emptying the text and typing again before the run loop turns: the first popover's
    // belated clean-up must leave the new one's table alone.
    UIKeyboard::pressDelete();
    EXPECT_FALSE(s.display->searchResultsPopover());
    UIKeyboard::typeText("L");
    auto second = s.display->searchResultsPopover();
    ASSERT_TRUE(second);
    EXPECT_NE(first, second);
    UIApplicationHost::runUntilIdle();
    auto table = s.display->searchResultsTableView();
    EXPECT_FALSE(first->isPopoverVisible());
    EXPECT_TRUE(second->isPopoverVisible());
    EXPECT_TRUE(table->window());
    EXPECT_EQ(table->numberOfRowsInSection(0), 1);

    // The bar itself stays usable under the popover.
    UIApplicationHost::tap(centreOnScreen(s.bar));
    EXPECT_TRUE(second->isPopoverVisible());
    UIKeyboard::typeText("M");
    EXPECT_EQ(table->numberOfRowsInSection(0), 2);
    s.searcher->log.take();

    // A touch well away from the popover and the bar, above the keyboard (whose keys take the
    // touches that land on them).
    UIApplicationHost::tap(CGPointMake(700, 700));
    m_clock.advance(1);
    UIApplicationHost::runUntilIdle();
    EXPECT_FALSE(s.display->isActive());
    EXPECT_FALSE(s.display->isSearchResultsTableVisible());
    EXPECT_FALSE(s.display->searchResultsPopover());
    EXPECT_FALSE(table->window());
    EXPECT_EQ(s.bar->text(), "");
    EXPECT_FALSE(UIKeyboard::isVisible());
    EXPECT_THAT(s.searcher->log.take(), ElementsAre("willHideTable", "didHideTable", "didEnd"));
}

TEST_F(UISearchBarTest, MinimalStyleOrAClearBackgroundImageDrawsNoBackground)
{
    // A fully transparent image: the bar draws it instead of its grey.
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(1, 1), false, 1);
    auto clear = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    ASSERT_TRUE(clear);
    struct Case {
        const char* name;
        UISearchBarStyle style;
        Ref<UIImage> background;
        bool paints;
    };
    const Case cases[] = {
        { "default", UISearchBarStyleDefault, nullptr, true },
        { "prominent", UISearchBarStyleProminent, nullptr, true },
        { "minimal", UISearchBarStyleMinimal, nullptr, false },
        { "prominent with a clear background image", UISearchBarStyleProminent, clear, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto bar = UISearchBar::initWithFrame(CGRectMake(0, 0, 40, 20));
        bar->setSearchBarStyle(c.style);
        bar->setBackgroundImage(c.background);
        UIGraphicsBeginImageContextWithOptions(CGSizeMake(40, 20), false, 1);
        bar->drawRect(bar->bounds());
        auto image = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        ASSERT_TRUE(image);
        const auto& cg = image->CGImage();
        auto bytes = CGDataProviderCopyData(CGImageGetDataProvider(cg));
        size_t stride = CGImageGetBytesPerRow(cg);
        // A corner pixel, clear of the text field.
        EXPECT_EQ(bytes[1 * stride + 1 * 4 + 3] > 0, c.paints);
    }
}

TEST_F(UISearchBarTest, ADroppedDisplayControllerTakesItsResultsPopoverDown)
{
    auto window = makeKeyWindow();
    auto s = makeSearchScreen(window, true);
    UIApplicationHost::tap(centreOnScreen(s.bar));
    UIKeyboard::typeText("K");
    Weak<UIPopoverController> popover = s.display->searchResultsPopover();
    Weak<UITableView> table = s.display->searchResultsTableView();
    ASSERT_FALSE(popover.expired());

    // The screen goes away while its search still shows results.
    window->setRootViewController(nullptr);
    s = {};
    UIApplicationHost::runUntilIdle();
    EXPECT_TRUE(popover.expired());
    EXPECT_TRUE(table.expired());
    EXPECT_EQ(window->subviews().size(), 0u);
}

} // namespace
