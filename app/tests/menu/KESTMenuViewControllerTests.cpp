#include "app/view-controllers/menu/KESTMenuViewController.h"

#include "app/tests/alerts/AlertTestSupport.h"
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
#include "uikit/UIAlertView.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UIPopoverController.h"
#include "uikit/UITextField.h"

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

// The map opens the menu in a 320 by 500 popover: the table starts below the navigation bar,
// not below a status bar the popover does not have, and its nine rows all fit.
class MenuPopoverTest : public SettingsScreenTest { };

TEST_F(MenuPopoverTest, AllRowsFitInTheMapsPopover)
{
    auto menu = KESTMenuViewController::initWithNibNameBundle({}, nullptr);
    auto popover
        = UIPopoverController::initWithContentViewController(UINavigationController::initWithRootViewController(menu));
    popover->setPopoverContentSize(CGSizeMake(320, 500));
    popover->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(
        CGRectMake(0, 20, 44, 44), m_root->view(), UIPopoverArrowDirectionAny, true);
    settle();
    auto table = menu->tableView();
    EXPECT_EQ(table->contentInset().top, 44);
    CGFloat top = table->contentOffset().y;
    CGRect first = table->rectForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(0, 0));
    CGRect last = table->rectForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(8, 0));
    EXPECT_EQ(CGRectGetMinY(first) - top, 44) << "the first row starts below the navigation bar";
    EXPECT_LE(CGRectGetMaxY(last) - top, table->bounds().size.height) << "the last row is cut off";
    popover->dismissPopoverAnimated(false);
}

} // namespace

namespace {

// Names of the stored alerts, in store order.
std::vector<std::string> storedAlertNames()
{
    std::vector<std::string> names;
    Value alerts = KESTAlertManager::sharedInstance()->alerts();
    for (const auto& element : alerts.elements()) {
        if (auto alert = element.objectAs<KESTAlert>())
            names.push_back(alert->alertName().stringValue());
    }
    return names;
}

// The Alerts row opened from a menu that was handed the main context: with no alert the editor
// opens above the list and what it saves is stored; with stored alerts the list opens and a row
// deleted there leaves the store for good.
TEST(KESTMenuViewController, AlertsRowSavesAndDeletesThroughTheStore)
{
    struct Case {
        const char* name;
        std::vector<std::string> stored;
    } cases[] = {
        { "no stored alert", {} },
        { "one stored alert", { "Squawk 7700" } },
        { "two stored alerts", { "Squawk 7700", "Speedbird" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AlertScreenScope scope;
        ScreenHost host;
        // The service knows no alert: a merge neither adds nor brings one back.
        scope.stub("APNS/sync_user_alerts.php", R"({"alerts":[]})");
        for (const auto& name : c.stored)
            scope.addAlert(name, 3);
        auto menu = KESTMenuViewController::initWithNibNameBundle({}, nullptr);
        menu->setManagedObjectContext(scope.context());
        host.push(menu);

        menu->tableViewDidSelectRowAtIndexPath(menu->tableView(), NSIndexPath::indexPathForRowInSection(1, 0));
        scope.filters.map().clock().advance(1);
        drainAll();
        auto stack = host.navigation->viewControllers();
        ASSERT_GE(stack.size(), 3u);
        auto list = std::dynamic_pointer_cast<KESTAlertViewController>(stack[2]);
        ASSERT_TRUE(list);
        EXPECT_EQ(list->managedObjectContext(), scope.context());

        if (c.stored.empty()) {
            ASSERT_EQ(stack.size(), 4u) << "the editor opens above the list";
            auto editor = std::dynamic_pointer_cast<KESTAlertCreateViewController>(stack[3]);
            ASSERT_TRUE(editor);
            editor->alertTextField()->setText("7500");
            editor->donePress(nullptr);
            auto prompts = UIAlertView::visibleAlerts();
            ASSERT_EQ(prompts.size(), 1u);
            prompts[0]->textFieldAtIndex(0)->setText("Hijack");
            prompts[0]->tapButtonAtIndex(1);
            scope.filters.map().clock().advance(1);
            drainAll();
            EXPECT_EQ(storedAlertNames(), (std::vector<std::string> { "Hijack" }));
            EXPECT_EQ(host.navigation->topViewController(), list) << "the saved editor closes onto the list";
            continue;
        }

        ASSERT_EQ(stack.size(), 3u) << "stored alerts open the list alone";
        list->tableViewCommitEditingStyleForRowAtIndexPath(
            list->tableView(), UITableViewCellEditingStyleDelete, NSIndexPath::indexPathForRowInSection(0, 0));
        drainAll();
        std::vector<std::string> left(c.stored.begin() + 1, c.stored.end());
        EXPECT_EQ(storedAlertNames(), left);
        // The next appearance synchronises again; the deleted alert stays gone.
        list->refreshTableData();
        KESTAlertManager::sharedInstance()->syncAlerts();
        drainAll();
        EXPECT_EQ(storedAlertNames(), left);
    }
}

} // namespace
