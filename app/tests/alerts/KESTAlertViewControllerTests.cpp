#include "app/view-controllers/alerts/KESTAlertViewController.h"

#include "app/tests/alerts/AlertTestSupport.h"
#include "app/view-controllers/alerts/KESTAlertCreateViewController.h"
#include "uikit/UILabel.h"

#include <gtest/gtest.h>

namespace {

// "section:name" for every listed row.
std::vector<std::string> listed(const Ref<KESTAlertViewController>& screen)
{
    std::vector<std::string> rows;
    auto table = screen->tableView();
    for (int32_t section = 0; section < screen->numberOfSectionsInTableView(table); ++section) {
        for (int32_t row = 0; row < screen->tableViewNumberOfRowsInSection(table, section); ++row) {
            auto cell
                = screen->tableViewCellForRowAtIndexPath(table, NSIndexPath::indexPathForRowInSection(row, section));
            rows.push_back(std::to_string(section) + ":" + cell->textLabel()->text());
        }
    }
    return rows;
}

TEST(KESTAlertViewController, ListsAlertsByTypeAndRefreshesAfterTheSync)
{
    AlertScreenScope scope;
    ScreenHost host;
    auto sync = scope.stub("APNS/sync_user_alerts.php",
        R"({"alerts":[{"alertid":9,"alertUUID":"S","alertvalue":"EZY","alerttype":5,"maxlat":180,"minlat":-180,"maxlon":180,"minlon":-180},
                      {"alertid":10,"alertUUID":"T","alertvalue":"ODD","alerttype":1,"maxlat":180,"minlat":-180,"maxlon":180,"minlon":-180}]})");
    scope.addAlert("7700", 3, 1);
    scope.addAlert("G-ABCD", 0, 2);
    scope.addAlert("7500", 3);

    auto screen = KESTAlertViewController::init();
    screen->setManagedObjectContext(scope.context());
    host.navigation->pushViewControllerAnimated(screen, false);
    EXPECT_EQ(screen->title(), "Alerts");
    EXPECT_EQ(listed(screen), (std::vector<std::string> { "0:7700", "0:7500", "3:G-ABCD" }))
        << "at once, from the store";
    EXPECT_EQ(screen->tableViewTitleForHeaderInSection(screen->tableView(), 4), "Hex Code");
    drainAll();
    EXPECT_EQ(sync->requestCount(), 1u);
    EXPECT_EQ(listed(screen), (std::vector<std::string> { "0:7700", "0:7500", "2:EZY", "3:G-ABCD" }))
        << "after the merge; type 1 is kept but not listed";

    // Deleting asks the service with the alert's id; a never-synchronised one sends 0.
    screen->tableViewCommitEditingStyleForRowAtIndexPath(
        screen->tableView(), UITableViewCellEditingStyleDelete, NSIndexPath::indexPathForRowInSection(1, 0));
    drainAll();
    ASSERT_EQ(sync->requestCount(), 2u);
    auto request = sync->requests()[1];
    std::string body(request.body.begin(), request.body.end());
    EXPECT_NE(body.find("name=\"alertID\"\r\n\r\n0\r\n"), std::string::npos);
    EXPECT_EQ(KESTAlertManager::sharedInstance()->alerts().count(), 4u);

    // Opening a row edits that alert.
    screen->tableViewDidSelectRowAtIndexPath(screen->tableView(), NSIndexPath::indexPathForRowInSection(0, 3));
    drainAll();
    auto editor = std::dynamic_pointer_cast<KESTAlertCreateViewController>(host.navigation->topViewController());
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->existingAlert()->alertName(), Value("G-ABCD"));
}

TEST(KESTAlertViewController, ShowsNoSectionsWithoutAlerts)
{
    AlertScreenScope scope;
    ScreenHost host;
    scope.stub("APNS/sync_user_alerts.php", R"({"alerts":[]})");
    auto screen = KESTAlertViewController::init();
    screen->setManagedObjectContext(scope.context());
    host.push(screen);
    EXPECT_EQ(screen->numberOfSectionsInTableView(screen->tableView()), 0);
    EXPECT_EQ(KESTAlertViewController::sectionToNumberTranslation(7), 0);
}

} // namespace
