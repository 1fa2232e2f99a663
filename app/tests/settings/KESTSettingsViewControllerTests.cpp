#include "app/view-controllers/settings/KESTSettingsViewController.h"

#include "app/core/KESTSettingsManager.h"
#include "app/tests/settings/SettingsTestSupport.h"
#include "app/view-controllers/account/KESTAuthMenuView.h"
#include "app/view-controllers/common/KESTWebViewController.h"
#include "app/view-controllers/settings/KESTLegalViewController.h"
#include "app/view-controllers/settings/KESTSettingsCells.h"
#include "foundation/NSLocale.h"
#include "net/NSURL.h"
#include "testing/LogCapture.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UILabel.h"

#include <gtest/gtest.h>

namespace {

class SettingsTest : public SettingsScreenTest {
protected:
    void SetUp() override
    {
        SettingsScreenTest::SetUp();
        MFMailComposeViewController::resetForTesting();
        m_screen = KESTSettingsViewController::initWithStyle(UITableViewStyleGrouped);
        m_navigation = show(m_screen);
    }
    void TearDown() override
    {
        MFMailComposeViewController::resetForTesting();
        NSLocale::setPreferredLanguagesForTesting({ "en" });
        SettingsScreenTest::TearDown();
    }
    Ref<UITableViewCell> cell(int32_t row, int32_t section)
    {
        auto path = NSIndexPath::indexPathForRowInSection(row, section);
        auto table = m_screen->tableView();
        table->scrollToRowAtIndexPathAtScrollPositionAnimated(path, UITableViewScrollPositionMiddle, false);
        table->layoutIfNeeded();
        return table->cellForRowAtIndexPath(path);
    }
    void select(int32_t row, int32_t section)
    {
        m_screen->tableViewDidSelectRowAtIndexPath(
            m_screen->tableView(), NSIndexPath::indexPathForRowInSection(row, section));
        settle();
    }
    Ref<KESTSettingsViewController> m_screen;
    Ref<UINavigationController> m_navigation;
};

TEST_F(SettingsTest, EveryControlWritesItsOwnSetting)
{
    auto settings = KESTSettingsManager::sharedInstance();
    int notes = 0;
    auto token = NSNotificationCenter::defaultCenter()->addObserverForName(
        "com.kestravon.volantrix.setting.updated", nullptr, nullptr, [&](const Ref<NSNotification>&) { ++notes; });
    struct Case {
        int32_t section, row;
        int32_t value; // segment index or switch state
        std::function<int32_t()> read;
    } cases[] = {
        { 0, 1, 2, [&] { return settings->mapType(); } },
        { 0, 2, 0, [&] { return int32_t(settings->screenSleep()); } },
        { 1, 0, 0, [&] { return int32_t(settings->showPlaneLabels()); } },
        { 1, 1, 1, [&] { return settings->planeLabelContent(); } },
        { 2, 0, 0, [&] { return int32_t(settings->movePlanes()); } },
        { 2, 1, 0, [&] { return settings->faaData(); } },
        { 2, 2, 0, [&] { return int32_t(settings->showFlightPaths()); } },
        { 2, 3, 1, [&] { return int32_t(settings->followPlane()); } },
        { 2, 4, 0, [&] { return int32_t(settings->showAirports()); } },
        { 2, 5, 3, [&] { return settings->planeColor(); } },
        { 3, 0, 2, [&] { return settings->speedUnit(); } },
        { 3, 1, 1, [&] { return settings->altitudeUnit(); } },
        { 3, 2, 1, [&] { return settings->distanceUnit(); } },
        { 3, 3, 0, [&] { return settings->icaoType(); } },
    };
    int expectedNotes = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.section) + "," + std::to_string(c.row));
        auto row = cell(c.row, c.section);
        ASSERT_TRUE(row);
        Ref<UIControl> control;
        if (auto segmented = std::dynamic_pointer_cast<KESTSettingsSegmentedCell>(row)) {
            segmented->cellSegmentedControl->setSelectedSegmentIndex(c.value);
            control = segmented->cellSegmentedControl;
        } else if (auto switchCell = std::dynamic_pointer_cast<KESTSettingsSwitchCell>(row)) {
            switchCell->cellSwitch->setOn(c.value != 0);
            control = switchCell->cellSwitch;
        } else {
            auto segmented = std::dynamic_pointer_cast<UISegmentedControl>(row->accessoryView());
            ASSERT_TRUE(segmented);
            segmented->setSelectedSegmentIndex(c.value);
            control = segmented;
        }
        control->sendActionsForControlEvents(UIControlEventValueChanged);
        EXPECT_EQ(c.read(), c.value);
        EXPECT_EQ(notes, ++expectedNotes) << "one write per change";
        // Shown again (after scrolling away and back) the control reads the stored value.
        cell(0, 5);
        auto again = cell(c.row, c.section);
        if (auto switchCell = std::dynamic_pointer_cast<KESTSettingsSwitchCell>(again)) {
            EXPECT_EQ(switchCell->cellSwitch->isOn(), c.value != 0);
        }
    }
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}

TEST_F(SettingsTest, MapProviderIsFixedAndBadgedOnItsOwnRow)
{
    auto provider = std::dynamic_pointer_cast<KESTSettingsSegmentedCell>(cell(0, 0));
    ASSERT_TRUE(provider);
    EXPECT_FALSE(provider->cellSegmentedControl->isEnabled());
    EXPECT_EQ(provider->cellSegmentedControl->selectedSegmentIndex(), 0);
    EXPECT_TRUE(provider->contentView()->viewWithTag(50));
    auto style = std::dynamic_pointer_cast<KESTSettingsSegmentedCell>(cell(1, 0));
    EXPECT_TRUE(style->cellSegmentedControl->isEnabled());
    EXPECT_FALSE(style->contentView()->viewWithTag(50));
    EXPECT_EQ(m_screen->numberOfSectionsInTableView(m_screen->tableView()), 6);
}

TEST_F(SettingsTest, ARRangeStepperUpdatesItsDescriptionAtOnce)
{
    auto row = std::dynamic_pointer_cast<KESTStepperCell>(cell(0, 4));
    ASSERT_TRUE(row);
    row->cellStepper->setValue(4);
    row->cellStepper->sendActionsForControlEvents(UIControlEventValueChanged);
    settle();
    EXPECT_EQ(KESTSettingsManager::sharedInstance()->arRange(), 4);
    auto reloaded = std::dynamic_pointer_cast<KESTStepperCell>(cell(0, 4));
    EXPECT_EQ(reloaded->descriptionLabel->text(), KESTSettingsManager::sharedInstance()->realARRangeString());
    EXPECT_EQ(reloaded->cellStepper->maximumValue(), 4);
}

TEST_F(SettingsTest, SupportMailNeedsAnAccountAndIsLoggedEitherWay)
{
    MFMailComposeViewController::setCanSendMailForTesting(false);
    select(0, 5);
    EXPECT_EQ(alertText(), "Error: Your device doesn't have a mail account setup");
    UIAlertView::resetForTesting();
    MFMailComposeViewController::setCanSendMailForTesting(true);
    NSLocale::setPreferredLanguagesForTesting({});
    select(0, 5);
    EXPECT_EQ(KESTAnalyticsManager::sharedInstance()->eventCount("Email Support"), 2u);
    auto mail = std::dynamic_pointer_cast<MFMailComposeViewController>(m_navigation->presentedViewController());
    ASSERT_TRUE(mail);
    EXPECT_EQ(mail->subject().rfind("Volantrix HD In App Support (", 0), 0u);
    EXPECT_EQ(mail->toRecipients(), std::vector<std::string> { "support@kestravon.com" });
    EXPECT_FALSE(mail->isBodyHTML());
    EXPECT_NE(
        mail->messageBody().find("question:\n\n\n\n\n\n\n\n\n\n\n\nDevice: iPad\niOS Version:"), std::string::npos)
        << mail->messageBody();
    EXPECT_NE(mail->messageBody().find("\nLocale:(null)/en_US\nToken:(null)"), std::string::npos);
    LogCapture log;
    mail->finishWithResult(MFMailComposeResultSent);
    EXPECT_TRUE(log.contains("Mail send: the email message is queued in the outbox. It is ready to send."));
}

TEST_F(SettingsTest, HelpAccountAndLegalRows)
{
    NSLocale::setPreferredLanguagesForTesting({ "de" });
    select(1, 5);
    auto web = std::dynamic_pointer_cast<KESTWebViewController>(m_navigation->topViewController());
    ASSERT_TRUE(web);
    EXPECT_NE(web->loadURL()->absoluteString().find("apphelp/faqv7.php?lang=de"), std::string::npos);
    EXPECT_EQ(KESTAnalyticsManager::sharedInstance()->eventCount("View Help"), 1u);
    m_navigation->popViewControllerAnimated(false);
    NSLocale::setPreferredLanguagesForTesting({});
    EXPECT_NE(KESTSettingsViewController::helpURL().find("lang=en"), std::string::npos);

    select(3, 5);
    EXPECT_TRUE(std::dynamic_pointer_cast<KESTLegalViewController>(m_navigation->topViewController()));
    m_navigation->popViewControllerAnimated(false);
    settle();
    select(2, 5);
    auto presented = m_screen->presentedViewController() ? m_screen->presentedViewController()
                                                         : m_navigation->presentedViewController();
    auto account = std::dynamic_pointer_cast<UINavigationController>(presented);
    ASSERT_TRUE(account);
    EXPECT_TRUE(std::dynamic_pointer_cast<KESTAuthMenuView>(account->topViewController()));
}

} // namespace
