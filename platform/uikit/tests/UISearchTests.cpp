#include "UIKitTestFixture.h"

#include "UIApplicationHost.h"
#include "CGImage.h"
#include "UIDevice.h"
#include "UIGraphics.h"
#include "UIImage.h"
#include "UINavigationController.h"
#include "UIKeyboard.h"
#include "UISearchBar.h"
#include "UISearchDisplayController.h"
#include "UIViewController.h"

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
    EventLog log;
};

class SearchTest : public UIKitTest {
protected:
    void SetUp() override
    {
        UIKitTest::SetUp();
        UIKeyboard::resetForTesting();
    }
    void TearDown() override
    {
        UIKeyboard::resetForTesting();
        UIKitTest::TearDown();
    }
};

TEST_F(SearchTest, DisplayControllerShowsResultsWhileTheBarHoldsText)
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

TEST_F(SearchTest, MinimalStyleDrawsNoBackground)
{
    struct Case {
        const char* name;
        UISearchBarStyle style;
        bool paints;
    };
    const Case cases[] = {
        { "default", UISearchBarStyleDefault, true },
        { "prominent", UISearchBarStyleProminent, true },
        { "minimal", UISearchBarStyleMinimal, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto bar = UISearchBar::initWithFrame(CGRectMake(0, 0, 40, 20));
        bar->setSearchBarStyle(c.style);
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

} // namespace
