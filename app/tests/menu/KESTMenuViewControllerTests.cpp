#include "app/view-controllers/menu/KESTMenuViewController.h"

#include "app/tests/settings/SettingsTestSupport.h"
#include "app/view-controllers/alerts/KESTAlertCreateViewController.h"
#include "app/view-controllers/alerts/KESTAlertViewController.h"
#include "app/view-controllers/apps/KESTAppsViewController.h"
#include "app/view-controllers/ar/KESTARViewController.h"
#include "app/view-controllers/bookmarks/KESTBookmarksViewController.h"
#include "app/view-controllers/charts/KESTChartView.h"
#include "app/view-controllers/common/KESTWebViewController.h"
#include "app/view-controllers/filters/KESTFilterCreateViewController.h"
#include "app/view-controllers/filters/KESTFilterViewController.h"
#include "app/view-controllers/list/KESTListViewController.h"
#include "app/view-controllers/settings/KESTSettingsViewController.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

#include <gtest/gtest.h>

namespace {

class MenuTest : public SettingsScreenTest {
protected:
    void SetUp() override
    {
        SettingsScreenTest::SetUp();
        m_menu = KESTMenuViewController::initWithNibNameBundle({}, nullptr);
        m_navigation = show(m_menu);
    }
    void select(int32_t row)
    {
        m_menu->tableViewDidSelectRowAtIndexPath(m_menu->tableView(), NSIndexPath::indexPathForRowInSection(row, 0));
        settle();
    }
    Ref<UIViewController> modalRoot()
    {
        auto presented = m_menu->presentedViewController();
        if (!presented)
            presented = m_navigation->presentedViewController();
        auto wrapper = std::dynamic_pointer_cast<UINavigationController>(presented);
        return wrapper ? wrapper->viewControllers().front() : nullptr;
    }
    Ref<KESTMenuViewController> m_menu;
    Ref<UINavigationController> m_navigation;
};

TEST_F(MenuTest, NineRowsWithTheirTitlesAndImages)
{
    EXPECT_EQ(m_menu->title(), "Menu");
    const char* titles[] = { "Filters", "Alerts", "List View", "Aviation Charts", "Bookmarks", "Augmented Reality",
        "Settings", "Forums", "More Kestravon Apps" };
    auto table = m_menu->tableView();
    EXPECT_EQ(m_menu->tableViewNumberOfRowsInSection(table, 0), 9);
    for (int32_t row = 0; row < 9; ++row) {
        SCOPED_TRACE(titles[row]);
        auto cell = m_menu->tableViewCellForRowAtIndexPath(table, NSIndexPath::indexPathForRowInSection(row, 0));
        EXPECT_EQ(cell->textLabel()->text(), titles[row]);
        EXPECT_TRUE(cell->imageView()->image());
    }
}

TEST_F(MenuTest, RowsOpenTheirScreens)
{
    // No filters at all: the editor opens above the list.
    select(0);
    ASSERT_EQ(m_navigation->viewControllers().size(), 3u);
    EXPECT_TRUE(std::dynamic_pointer_cast<KESTFilterViewController>(m_navigation->viewControllers()[1]));
    EXPECT_TRUE(std::dynamic_pointer_cast<KESTFilterCreateViewController>(m_navigation->viewControllers()[2]));
    m_navigation->popToRootViewControllerAnimated(false);
    settle();
    // No alerts either: the alert editor opens above the alert list.
    select(1);
    ASSERT_EQ(m_navigation->viewControllers().size(), 3u);
    EXPECT_TRUE(std::dynamic_pointer_cast<KESTAlertViewController>(m_navigation->viewControllers()[1]));
    EXPECT_TRUE(std::dynamic_pointer_cast<KESTAlertCreateViewController>(m_navigation->viewControllers()[2]));
    m_navigation->popToRootViewControllerAnimated(false);
    settle();

    struct Case {
        int32_t row;
        std::function<bool(const Ref<UIViewController>&)> pushed;
    } pushes[] = {
        { 3, [](auto& c) { return bool(std::dynamic_pointer_cast<KESTChartView>(c)); } },
        { 4, [](auto& c) { return bool(std::dynamic_pointer_cast<KESTBookmarksViewController>(c)); } },
        { 6, [](auto& c) { return bool(std::dynamic_pointer_cast<KESTSettingsViewController>(c)); } },
        { 8, [](auto& c) { return bool(std::dynamic_pointer_cast<KESTAppsViewController>(c)); } },
    };
    for (const auto& c : pushes) {
        SCOPED_TRACE(c.row);
        select(c.row);
        EXPECT_TRUE(c.pushed(m_navigation->topViewController()));
        m_navigation->popToRootViewControllerAnimated(false);
        settle();
    }

    select(7);
    auto forum = std::dynamic_pointer_cast<KESTWebViewController>(modalRoot());
    ASSERT_TRUE(forum);
    EXPECT_EQ(forum->navigationController()->modalPresentationStyle(), UIModalPresentationFormSheet);
    forum->navigationController()->dismissViewControllerAnimatedCompletion(false, nullptr);
    settle();
    select(2);
    auto list = std::dynamic_pointer_cast<KESTListViewController>(modalRoot());
    ASSERT_TRUE(list);
    EXPECT_EQ(list->navigationController()->modalPresentationStyle(), UIModalPresentationFormSheet);
    list->navigationController()->dismissViewControllerAnimatedCompletion(false, nullptr);
    settle();
    select(5);
    EXPECT_TRUE(std::dynamic_pointer_cast<KESTARViewController>(modalRoot()));
    auto ar = modalRoot();
    ASSERT_TRUE(ar);
    EXPECT_TRUE(ar->navigationController()->isNavigationBarHidden());
}

} // namespace
