#include "app/core/DiskDataCache.h"
#include "app/core/KESTChartManager.h"
#include "app/core/KESTChartObject.h"
#include "app/tests/map/MapTestSupport.h"
#include "app/view-controllers/account/KESTAuthMenuView.h"
#include "app/view-controllers/charts/KESTChartView.h"
#include "app/view-controllers/charts/KESTCheckCell.h"
#include "app/widgets/KESTToggleButton.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSUserDefaults.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIActionSheet.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

namespace {

Value product(const std::string& name)
{
    return Value::dictionary({ { Value("product_url"), Value("http://charts.test/" + name + "/") },
        { Value("product_description"), Value(name) },
        { Value("product_metadata"),
            Value::dictionary({ { Value("minzoom"), Value(1) }, { Value("maxzoom"), Value(9) },
                { Value("bounds"), Value("-10,50,2,60") } }) } });
}

class KESTChartViewTest : public ::testing::Test, public ChartModalViewControllerDelegate {
protected:
    void SetUp() override
    {
        UIApplicationHost::resetForTesting();
        KESTChartManager::resetSharedInstanceForTesting();
        DiskDataCache::resetSharedCacheForTesting();
        m_window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
        m_root = UIViewController::init();
        m_window->setRootViewController(m_root);
        m_window->makeKeyAndVisible();
        KESTChartManager::sharedInstance()->rebuildChartsWithProducts(
            Value::array({ product("A"), product("B"), product("C") }));
        m_screen = KESTChartView::init();
        m_navigation = UINavigationController::initWithRootViewController(m_screen);
        m_root->presentViewControllerAnimatedCompletion(m_navigation, false, nullptr);
        drainAll();
        m_screen->chartTable()->layoutIfNeeded();
    }
    void TearDown() override
    {
        drainAll();
        m_screen = nullptr;
        m_navigation = nullptr;
        m_window = nullptr;
        m_root = nullptr;
        KESTChartManager::resetSharedInstanceForTesting();
        DiskDataCache::resetSharedCacheForTesting();
        UIApplicationHost::resetForTesting();
    }
    void didDismissModalView() override { ++m_dismissals; }

    std::vector<std::string> stored() const
    {
        std::vector<std::string> out;
        // The stored value is kept for the loop: elements() refers into it.
        const Value charts = NSUserDefaults::standardUserDefaults()->objectForKey("vxActiveCharts");
        for (const auto& entry : charts.elements())
            out.push_back(entry["name"].stringValue() + ":" + entry["order"].stringValue());
        return out;
    }
    std::vector<std::string> list() const
    {
        std::vector<std::string> out;
        for (const auto& chart : KESTChartManager::sharedInstance()->charts())
            out.push_back(*chart->name() + (chart->active() ? "+" : "-") + std::to_string(chart->order()));
        return out;
    }
    Ref<KESTCheckCell> cell(int32_t row)
    {
        m_screen->chartTable()->layoutIfNeeded();
        return std::dynamic_pointer_cast<KESTCheckCell>(
            m_screen->chartTable()->cellForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(row, 0)));
    }
    static Ref<NSIndexPath> row(int32_t r) { return NSIndexPath::indexPathForRowInSection(r, 0); }
    // A synthetic touch on the item's button in the navigation bar.
    void tapBarItem(const Ref<UIBarButtonItem>& item)
    {
        auto bar = m_navigation->navigationBar();
        bar->layoutIfNeeded();
        CGRect frame = bar->frameForItem(item);
        ASSERT_FALSE(CGRectIsEmpty(frame));
        UIApplicationHost::tap(
            bar->convertPointToView(CGPointMake(CGRectGetMidX(frame), CGRectGetMidY(frame)), nullptr));
    }

    AppTestScope m_app;
    Ref<UIWindow> m_window;
    Ref<UIViewController> m_root;
    Ref<KESTChartView> m_screen;
    Ref<UINavigationController> m_navigation;
    int m_dismissals { 0 };
};

TEST_F(KESTChartViewTest, SwitchingChartsStoresThemInListOrder)
{
    EXPECT_EQ(m_screen->title(), "Charts");
    EXPECT_TRUE(m_screen->chartTable()->isEditing());
    // As the navigation controller's root: "Settings" on the right, "Close" on the left.
    auto item = m_screen->navigationItem();
    ASSERT_TRUE(item->rightBarButtonItem());
    ASSERT_TRUE(item->leftBarButtonItem());
    EXPECT_EQ(item->rightBarButtonItem()->title(), "Settings");
    EXPECT_EQ(item->rightBarButtonItem()->style(), UIBarButtonItemStyleBordered);
    EXPECT_EQ(item->leftBarButtonItem()->title(), "Close");
    EXPECT_EQ(item->leftBarButtonItem()->style(), UIBarButtonItemStylePlain);
    EXPECT_EQ(m_navigation->navigationBar()->titleLabel()->text(), "Charts");
    auto first = cell(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->titleLabel()->text(), "A");
    EXPECT_TRUE(CGRectEqualToRect(first->toggleButton()->frame(), CGRectMake(6, 0, 44, 44)));
    EXPECT_FALSE(first->toggleButton()->isSelected());

    // C by its check box, then A by selecting the row.
    cell(2)->toggleButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    m_screen->tableViewDidSelectRowAtIndexPath(m_screen->chartTable(), row(0));
    EXPECT_EQ(stored(), (std::vector<std::string> { "A:0", "C:1" }));
    EXPECT_EQ(list(), (std::vector<std::string> { "A+99999", "B-99999", "C+99999" }));
    EXPECT_TRUE(cell(0)->toggleButton()->isSelected());
    EXPECT_TRUE(cell(2)->toggleButton()->isSelected());

    // Switching off again stores the rest without gaps.
    m_screen->tableViewAccessoryButtonTappedForRowWithIndexPath(m_screen->chartTable(), row(0));
    EXPECT_EQ(stored(), (std::vector<std::string> { "C:0" }));
}

TEST_F(KESTChartViewTest, OnlyActiveChartsMove)
{
    m_screen->tableViewDidSelectRowAtIndexPath(m_screen->chartTable(), row(0));
    auto table = m_screen->chartTable();
    // An inactive chart stays where it is.
    EXPECT_EQ(
        m_screen->tableViewTargetIndexPathForMoveFromRowAtIndexPathToProposedIndexPath(table, row(1), row(0))->row(),
        1);
    // An active one may go below an inactive one.
    EXPECT_EQ(
        m_screen->tableViewTargetIndexPathForMoveFromRowAtIndexPathToProposedIndexPath(table, row(0), row(2))->row(),
        2);
    m_screen->tableViewDidSelectRowAtIndexPath(table, row(2));
    m_screen->tableViewMoveRowAtIndexPathToIndexPath(table, row(0), row(2));
    EXPECT_EQ(list(), (std::vector<std::string> { "B-99999", "C+99999", "A+99999" }));
    EXPECT_EQ(stored(), (std::vector<std::string> { "C:0", "A:1" }));
    // A destination past the end appends.
    m_screen->tableViewMoveRowAtIndexPathToIndexPath(table, row(1), row(7));
    EXPECT_EQ(list(), (std::vector<std::string> { "B-99999", "A+99999", "C+99999" }));
    EXPECT_EQ(stored(), (std::vector<std::string> { "A:0", "C:1" }));
}

TEST_F(KESTChartViewTest, OptionsClearTheCacheFilesOrDeselectEverything)
{
    m_screen->tableViewDidSelectRowAtIndexPath(m_screen->chartTable(), row(1));
    auto cache = DiskDataCache::sharedCache();
    cache->setDataForKey(Value::data("tile", 4), "http://charts.test/B/1/0/0.png");
    drainAll();
    std::string file = DiskDataCache::pathForKey("http://charts.test/B/1/0/0.png");
    ASSERT_TRUE(NSFileManager::defaultManager()->fileExistsAtPath(file));

    auto options = [&] {
        tapBarItem(m_screen->navigationItem()->rightBarButtonItem());
        auto sheets = UIActionSheet::visibleActionSheets();
        EXPECT_EQ(sheets.size(), 1u);
        return sheets.empty() ? nullptr : sheets.back();
    };
    auto sheet = options();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->buttonTitleAtIndex(0), "Clear cache");
    EXPECT_EQ(sheet->buttonTitleAtIndex(1), "Deselect all charts");
    EXPECT_EQ(sheet->buttonTitleAtIndex(2), "Manage kestravon ID");
    EXPECT_EQ(sheet->buttonTitleAtIndex(sheet->cancelButtonIndex()), "Cancel");
    sheet->tapButtonAtIndex(0);
    drainAll();
    EXPECT_FALSE(NSFileManager::defaultManager()->fileExistsAtPath(file));
    EXPECT_EQ(cache->dataForKey("http://charts.test/B/1/0/0.png"), Value::data("tile", 4));
    EXPECT_EQ(stored(), (std::vector<std::string> { "B:0" }));

    sheet = options();
    ASSERT_TRUE(sheet);
    sheet->tapButtonAtIndex(sheet->cancelButtonIndex());
    drainAll();
    EXPECT_EQ(stored(), (std::vector<std::string> { "B:0" }));

    sheet = options();
    ASSERT_TRUE(sheet);
    sheet->tapButtonAtIndex(1);
    drainAll();
    EXPECT_TRUE(NSUserDefaults::standardUserDefaults()->objectForKey("vxActiveCharts").isArray());
    EXPECT_EQ(stored(), (std::vector<std::string> {}));
    EXPECT_EQ(list(), (std::vector<std::string> { "A-99999", "B-99999", "C-99999" }));
}

TEST_F(KESTChartViewTest, ClosingTellsTheDelegate)
{
    auto keep = std::shared_ptr<ChartModalViewControllerDelegate>(this, [](ChartModalViewControllerDelegate*) {});
    m_screen->setDelegate(keep);
    // The user taps "Close" in the navigation bar.
    tapBarItem(m_screen->navigationItem()->leftBarButtonItem());
    drainAll();
    EXPECT_EQ(m_dismissals, 1);
    EXPECT_TRUE(m_screen->shouldAutorotateToInterfaceOrientation(UIInterfaceOrientationPortrait));
    EXPECT_FALSE(m_screen->shouldAutorotateToInterfaceOrientation(UIInterfaceOrientationLandscapeLeft));
}

} // namespace

namespace {

TEST_F(KESTChartViewTest, OnlyTheRootOffersClose)
{
    auto second = KESTChartView::init();
    m_navigation->pushViewControllerAnimated(second, false);
    drainAll();
    EXPECT_FALSE(second->navigationItem()->leftBarButtonItem());
    EXPECT_TRUE(second->navigationItem()->rightBarButtonItem());
    auto back = m_navigation->navigationBar()->backButton();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->currentTitle(), "Charts");
}

TEST_F(KESTChartViewTest, ManagingTheAccountOpensTheAccountScreenOverTheList)
{
    tapBarItem(m_screen->navigationItem()->rightBarButtonItem());
    auto sheets = UIActionSheet::visibleActionSheets();
    ASSERT_EQ(sheets.size(), 1u);
    sheets.back()->tapButtonAtIndex(2);
    drainAll();
    // Presented over the list: from the screen, or from the navigation controller holding it.
    auto shown = m_screen->presentedViewController() ? m_screen->presentedViewController()
                                                     : m_navigation->presentedViewController();
    auto account = std::dynamic_pointer_cast<UINavigationController>(shown);
    ASSERT_TRUE(account);
    EXPECT_TRUE(std::dynamic_pointer_cast<KESTAuthMenuView>(account->topViewController()));
    EXPECT_EQ(stored(), (std::vector<std::string> {}));
}

} // namespace
