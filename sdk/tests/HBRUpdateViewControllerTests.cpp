#include "sdk/HBRAppVersionMetaInfo.h"
#include "sdk/HBRUpdateManager.h"
#include "sdk/HBRUpdateViewController.h"
#include "sdk/tests/HarborTestSupport.h"

#include "foundation/NSBundle.h"
#include "foundation/NSJSONSerialization.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIApplication.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIWindow.h"

#include <cmath>

namespace {

const std::string kVersionsURL = std::string(kTestServerURL) + "api/2/apps/" + kTestBetaIdentifier;

class HBRUpdateViewControllerTest : public HarborTest {
protected:
    void SetUp() override
    {
        HarborTest::SetUp();
        HBRUpdateManager::setExecutableUUIDForTesting("0badc0de0badc0de0badc0de0badc0de0badc0de");
        m_window = UIWindow::init();
        m_root = UIViewController::init();
        m_window->setRootViewController(m_root);
        m_window->makeKeyAndVisible();
        m_manager = configuredManager()->updateManager();
        m_manager->setServerURL(kTestServerURL);
        m_current = m_manager->currentAppVersion();
    }

    void TearDown() override
    {
        m_window = nullptr;
        m_root = nullptr;
        m_manager = nullptr;
        HBRUpdateManager::setExecutableUUIDForTesting("");
        HarborTest::TearDown();
    }

    static Value entry(
        const std::string& build, int64_t id, const std::string& notes = "<p>Notes</p>", bool mandatory = false)
    {
        return Value::dictionary({ { "title", "Volantrix" }, { "version", build }, { "shortversion", "" },
            { "minimum_os_version", Value::null() }, { "notes", notes }, { "timestamp", 1388534400 },
            { "appsize", 1048576 }, { "mandatory", mandatory }, { "id", id }, { "uuids", Value::dictionary() } });
    }

    void setVersions(const std::vector<Value>& entries)
    {
        std::vector<Ref<HBRAppVersionMetaInfo>> records;
        for (const auto& e : entries)
            records.push_back(HBRAppVersionMetaInfo::appVersionMetaInfoFromDict(e));
        m_manager->setAppVersions(records);
    }

    Ref<HBRUpdateViewController> presentedScreen()
    {
        m_manager->showUpdateView();
        advance(1.0);
        auto navigation = std::dynamic_pointer_cast<UINavigationController>(m_root->presentedViewController());
        return navigation ? std::dynamic_pointer_cast<HBRUpdateViewController>(navigation->topViewController())
                          : nullptr;
    }

    static std::vector<std::string> contents(const Ref<HBRUpdateViewController>& screen)
    {
        std::vector<std::string> shown;
        for (const auto& cell : screen->cells())
            shown.push_back(cell->webViewContent());
        return shown;
    }

    Ref<UIWindow> m_window;
    Ref<UIViewController> m_root;
    Ref<HBRUpdateManager> m_manager;
    std::string m_current;
};

TEST_F(HBRUpdateViewControllerTest, ListsNewerVersionsAndRevealsTheOlderOnes)
{
    setVersions({ entry("9999", 3), entry(m_current, 2), entry("1", 1) });
    auto screen = presentedScreen();
    ASSERT_TRUE(screen);
    EXPECT_EQ(m_manager->currentHarborViewController(), screen);
    auto shown = contents(screen);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("<p><b>" + m_manager->appVersions()[0]->versionString() + "</b><br/><small>", 0), 0u);
    EXPECT_NE(shown[0].find("</small></p><p><p>Notes</p></p>"), std::string::npos);
    auto table = screen->tableView();
    EXPECT_EQ(screen->tableViewNumberOfRowsInSection(table, 0), 1);
    ASSERT_TRUE(table->tableFooterView());

    screen->showPreviousVersionAction();
    shown = contents(screen);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_NE(shown[1].find("<span style=\"float:right;\"><b>" + HBRLocalizedString(std::string("UpdateInstalled"))
                  + "</b></span>"),
        std::string::npos);
    EXPECT_EQ(shown[2].find("float:right"), std::string::npos);
    EXPECT_FALSE(table->tableFooterView());
}

TEST_F(HBRUpdateViewControllerTest, MandatoryUpdateCannotBeClosed)
{
    setVersions({ entry("9999", 2, "<p>Must</p>", true), entry(m_current, 1) });
    ASSERT_TRUE(m_manager->hasNewerMandatoryVersion());
    auto screen = presentedScreen();
    ASSERT_TRUE(screen);
    EXPECT_TRUE(screen->isMandatoryUpdate());
    EXPECT_FALSE(screen->navigationItem()->leftBarButtonItem());

    setVersions({ entry("9999", 2), entry(m_current, 1) });
    auto optional = HBRUpdateViewController::initWithModalStyle(true);
    optional->viewWillAppear(false);
    EXPECT_TRUE(optional->navigationItem()->leftBarButtonItem());
}

TEST_F(HBRUpdateViewControllerTest, WhichVersionsGetARow)
{
    const struct {
        const char* name;
        std::vector<std::string> builds; // "current" stands for the running build
        size_t rows;
        bool footer;
    } cases[] = {
        { "only the running build", { "current" }, 1, false },
        { "running build not listed", { "9999", "9998", "9997" }, 3, true },
        { "running build is the newest", { "current", "1" }, 1, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Value> entries;
        int64_t id = 10;
        for (const auto& build : c.builds)
            entries.push_back(entry(build == "current" ? m_current : build, id--));
        setVersions(entries);
        auto screen = HBRUpdateViewController::initWithModalStyle(true);
        screen->view();
        screen->redrawTableView();
        EXPECT_EQ(screen->cells().size(), c.rows);
        EXPECT_EQ(bool(screen->tableView()->tableFooterView()), c.footer);
    }
}

TEST_F(HBRUpdateViewControllerTest, NewestWithoutNotesShowsOnlyTheCentredNote)
{
    setVersions({ entry("9999", 2, ""), entry("9998", 1, "") });
    auto screen = HBRUpdateViewController::initWithModalStyle(true);
    screen->view();
    screen->redrawTableView();
    auto shown = contents(screen);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0],
        "<div style=\"min-height:130px;vertical-align:middle;text-align:center;\">"
            + HBRLocalizedString(std::string("UpdateNoReleaseNotesAvailable")) + "</div>");
    // An older version without notes keeps its heading.
    EXPECT_EQ(shown[1].rfind("<p><b>" + m_manager->appVersions()[1]->versionString() + "</b>", 0), 0u);
}

// The version text comes from the service and is shown as text; release notes are HTML by
// design, but a style value in them cannot make a row endless or empty.
TEST_F(HBRUpdateViewControllerTest, VersionTextIsEscapedAndStyleValuesAreBounded)
{
    Value hostile = entry("9999<script>", 3).mutableCopy();
    hostile.setObjectForKey(Value("1.0 <b>&amp;</b> \"x\""), Value("shortversion"));
    setVersions({ hostile, entry("9998", 2, "<div style=\"min-height:1e9px\">Tall</div>"),
        entry("9997", 1, "<div style=\"min-height:inf\">Endless</div>") });
    auto screen = HBRUpdateViewController::initWithModalStyle(true);
    screen->view();
    screen->redrawTableView();
    auto shown = contents(screen);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].rfind("<p><b>" + HBRLocalizedString(std::string("UpdateVersion"))
                      + " 1.0 &lt;b&gt;&amp;amp;&lt;/b&gt; &quot;x&quot; (9999&lt;script&gt;)</b>",
                  0),
        0u)
        << shown[0];
    advance(1.0);
    auto table = screen->tableView();
    for (int32_t row = 1; row < 3; ++row) {
        SCOPED_TRACE(row);
        auto answer = screen->tableViewHeightForRowAtIndexPath(table, NSIndexPath::indexPathForRowInSection(row, 0));
        ASSERT_TRUE(answer);
        CGFloat height = *answer;
        EXPECT_TRUE(std::isfinite(height));
        EXPECT_GT(height, 44);
        EXPECT_LE(height, 10000 + 16);
    }
}

TEST_F(HBRUpdateViewControllerTest, RowsAreProvisionalUntilTheirPagesAreMeasured)
{
    setVersions({ entry("9999", 2), entry("9998", 1) });
    auto screen = HBRUpdateViewController::initWithModalStyle(true);
    screen->view();
    screen->redrawTableView();
    auto table = screen->tableView();
    auto height = [&](int32_t row) {
        return screen->tableViewHeightForRowAtIndexPath(table, NSIndexPath::indexPathForRowInSection(row, 0));
    };
    EXPECT_EQ(height(0), 250);
    EXPECT_EQ(height(1), 44);
    table->reloadData();
    EXPECT_EQ(table->rectForSection(0).size.height, 250 + 44);
    advance(1.0);
    for (int32_t row = 0; row < 2; ++row) {
        SCOPED_TRACE(row);
        CGFloat measured = screen->cells()[size_t(row)]->webViewSize().height;
        EXPECT_GT(measured, 0);
        EXPECT_EQ(height(row), measured);
    }
    // The page is a strict XHTML document with the row's content; a tapped link goes nowhere.
    auto cell = screen->cells()[0];
    auto page = cell->webView()->loads().back().content;
    EXPECT_NE(page.find("<html xmlns=\"http://www.w3.org/1999/xhtml\">"), std::string::npos);
    EXPECT_NE(page.find("<body>" + cell->webViewContent() + "</body>"), std::string::npos);
    EXPECT_FALSE(cell->webViewShouldStartLoadWithRequestNavigationType(
        cell->webView(), nullptr, UIWebViewNavigationTypeLinkClicked));
    EXPECT_TRUE(
        cell->webViewShouldStartLoadWithRequestNavigationType(cell->webView(), nullptr, UIWebViewNavigationTypeOther));
}

TEST_F(HBRUpdateViewControllerTest, UpdateButtonInstallsOnlyWhenThePlatformTakesTheLink)
{
    URLStubs stubs;
    URLStubSpec spec;
    spec.url = kVersionsURL;
    spec.matchPrefix = true;
    Value answer = Value::dictionary(
        { { "versions", Value::array({ entry("9999", 2), entry(m_current, 1) }) }, { "company", "Kestravon" } });
    Value data = NSJSONSerialization::dataWithJSONObject(answer, 0, nullptr);
    spec.body = std::string(data.bytes().begin(), data.bytes().end());
    stubs.add(spec);
    m_manager->checkForUpdateShowFeedback(false);
    drainAll();
    for (const auto& alert : UIAlertView::visibleAlerts())
        alert->tapButtonAtIndex(alert->cancelButtonIndex());
    advance(1.0);
    ASSERT_TRUE(m_manager->isUpdateAvailable());
    auto screen = presentedScreen();
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->appStoreButtonState(), HBRUpdateViewController::Update);
    EXPECT_EQ(screen->appStoreHeader()->headerText(), "Volantrix");
    EXPECT_EQ(screen->appStoreHeader()->subHeaderText(), "Kestravon");

    UIApplication::sharedApplication()->setCanOpenURLAnswer(false);
    screen->storeButtonFired(*screen->appStoreButton());
    EXPECT_EQ(screen->appStoreButtonState(), HBRUpdateViewController::Update);
    UIApplication::sharedApplication()->setCanOpenURLAnswer(true);
    screen->storeButtonFired(*screen->appStoreButton());
    EXPECT_EQ(screen->appStoreButtonState(), HBRUpdateViewController::Installing);
    EXPECT_FALSE(screen->appStoreButton()->isEnabled());
    EXPECT_EQ(
        screen->appStoreButton()->buttonData()->label(), HBRLocalizedString(std::string("UpdateButtonInstalling")));
    // Coming back to the application offers the update again.
    NSNotificationCenter::defaultCenter()->postNotificationName(UIApplicationDidBecomeActiveNotification, nullptr);
    drainAll();
    EXPECT_EQ(screen->appStoreButtonState(), HBRUpdateViewController::Update);
}

} // namespace
