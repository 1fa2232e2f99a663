#include "app/view-controllers/apps/KESTAppsViewController.h"

#include "app/core/KESTLiveDataManager.h"
#include "app/tests/settings/SettingsTestSupport.h"
#include "foundation/NSJSONSerialization.h"
#include "testing/URLStubs.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIDevice.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationItem.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kReply = R"([
  {"name": "Flight", "apps": [
     {"appName": "Pad App", "description": "For tablets", "appIcon": "http://icons.test/a.png", "appStoreID": 11,
      "bundleID": "com.example.pad", "devices": ["ipad", "iphone"]},
     {"appName": "Self", "description": "This one", "appIcon": "http://icons.test/s.png", "appStoreID": "12",
      "bundleID": "SELF", "devices": ["ipad"]}]},
  {"name": "Phones only", "apps": [
     {"appName": "Phone App", "description": "x", "appIcon": "", "appStoreID": "13", "bundleID": "p",
      "devices": ["iphone"]}]},
  "not a group"
])";

TEST(KESTAppsViewController, KeepsAppsForThisDeviceExceptItself)
{
    Ref<NSError> error;
    Value reply = NSJSONSerialization::JSONObjectWithData(std::string_view(kReply), 0, &error);
    Value pad = KESTAppsViewController::filteredGroups(reply, "ipad", "SELF");
    ASSERT_EQ(pad.count(), 1u);
    EXPECT_EQ(pad[0]["name"].stringValue(), "Flight");
    ASSERT_EQ(pad[0]["apps"].count(), 1u);
    EXPECT_EQ(pad[0]["apps"][0]["appName"].stringValue(), "Pad App");
    EXPECT_EQ(KESTAppsViewController::filteredGroups(reply, "iphone", "SELF").count(), 2u);
    EXPECT_EQ(KESTAppsViewController::filteredGroups(Value("nonsense"), "ipad", "SELF").count(), 0u);
}

class AppsTest : public SettingsScreenTest {
protected:
    void SetUp() override
    {
        SettingsScreenTest::SetUp();
        m_base = KESTLiveDataManager::serviceBaseURL();
        KESTLiveDataManager::setServiceBaseURL("http://apps.test/");
        SKStoreProductViewController::resetForTesting();
    }
    void TearDown() override
    {
        KESTLiveDataManager::setServiceBaseURL(m_base);
        SettingsScreenTest::TearDown();
    }
    std::string m_base;
    URLStubs m_stubs;
};

TEST_F(AppsTest, FetchesOnAppearanceAndOpensTheProductSheet)
{
    URLStubSpec list;
    list.url = "http://apps.test/APPAPIv2/kestAppsInfo.php?l=en&d=0";
    list.headers = { { "Content-Type", "application/json" } };
    list.body = kReply;
    auto stub = m_stubs.add(list);
    auto apps = KESTAppsViewController::init();
    auto navigation = show(apps);
    settle();
    EXPECT_EQ(stub->requestCount(), 1u);
    EXPECT_EQ(KESTAnalyticsManager::sharedInstance()->eventCount("KESTAppsViewController"), 1u);
    EXPECT_TRUE(apps->navigationItem()->leftBarButtonItem()) << "the root list can be closed";
    auto table = apps->tableView();
    // On a tablet the phone-only group is gone.
    ASSERT_EQ(apps->numberOfSectionsInTableView(table), 1);
    auto path = NSIndexPath::indexPathForRowInSection(0, 0);
    auto cell = apps->tableViewCellForRowAtIndexPath(table, path);
    EXPECT_EQ(cell->textLabel()->text(), "Pad App");
    EXPECT_EQ(cell->detailTextLabel()->text(), "For tablets");
    EXPECT_GE(*apps->tableViewHeightForRowAtIndexPath(table, path), 45);

    apps->tableViewDidSelectRowAtIndexPath(table, path);
    settle();
    EXPECT_EQ(KESTAnalyticsManager::sharedInstance()->eventCount("Pad App"), 1u);
    auto sheet = std::dynamic_pointer_cast<SKStoreProductViewController>(navigation->presentedViewController());
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->loadedParameters().at(0)[SKStoreProductParameterITunesItemIdentifier], Value(11));
    sheet->finish();
    settle();
    EXPECT_FALSE(navigation->presentedViewController());
}

} // namespace
