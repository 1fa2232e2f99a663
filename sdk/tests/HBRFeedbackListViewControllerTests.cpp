#include "sdk/HBRFeedbackListViewCell.h"
#include "sdk/HBRFeedbackListViewController.h"
#include "sdk/HBRFeedbackManager.h"
#include "sdk/HBRFeedbackUserDataViewController.h"
#include "sdk/tests/HarborTestSupport.h"

#include "foundation/NSString.h"
#include "graphics/UIFont.h"
#include "net/NSURL.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIApplication.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIPasteboard.h"
#include "uikit/UIRefreshControl.h"
#include "uikit/UIWindow.h"

#include <cmath>

namespace {

const std::string kFeedbackURL = std::string(kTestServerURL) + "api/2/apps/" + kTestBetaIdentifier + "/feedback";

class HBRFeedbackListViewControllerTest : public HarborTest {
protected:
    void SetUp() override
    {
        HarborTest::SetUp();
        m_window = UIWindow::init();
        m_root = UIViewController::init();
        m_window->setRootViewController(m_root);
        m_window->makeKeyAndVisible();
        m_manager = configuredManager()->feedbackManager();
        m_manager->setServerURL(kTestServerURL);
    }

    void TearDown() override
    {
        m_window = nullptr;
        m_root = nullptr;
        m_manager = nullptr;
        HarborTest::TearDown();
    }

    // Sends one message of the user; the service answers with the given messages of the
    // developer.
    void sendAndReceive(URLStubs& stubs, const std::string& developerMessages)
    {
        URLStubSpec spec;
        spec.url = kFeedbackURL;
        spec.matchPrefix = true;
        spec.body = R"({"status":"success","token":"abc","feedback":{"messages":[)" + developerMessages + "]}}";
        stubs.add(spec);
        m_manager->submitMessageWithText("Hello");
        drainAll();
        // The alert announcing the developer's answer is not what these tests look at.
        for (const auto& alert : UIAlertView::visibleAlerts())
            alert->tapButtonAtIndex(alert->cancelButtonIndex());
        advance(1.0);
    }

    Ref<HBRFeedbackListViewController> presentedList()
    {
        m_manager->showFeedbackListView();
        advance(1.0);
        auto navigation = std::dynamic_pointer_cast<UINavigationController>(m_root->presentedViewController());
        return navigation ? std::dynamic_pointer_cast<HBRFeedbackListViewController>(navigation->topViewController())
                          : nullptr;
    }

    std::string buttonText(const Ref<HBRFeedbackListViewController>& list, int32_t section)
    {
        auto cell = list->tableViewCellForRowAtIndexPath(
            list->tableView(), NSIndexPath::indexPathForRowInSection(0, section));
        return cell ? cell->textLabel()->text() : std::string();
    }

    Ref<UIWindow> m_window;
    Ref<UIViewController> m_root;
    Ref<HBRFeedbackManager> m_manager;
};

TEST_F(HBRFeedbackListViewControllerTest, SectionsFollowTheMessagesAndTheUserData)
{
    auto list = HBRFeedbackListViewController::initWithStyleModal(UITableViewStyleGrouped, true);
    list->view();
    auto table = list->tableView();
    EXPECT_EQ(list->numberOfSectionsInTableView(table), 2);
    EXPECT_EQ(list->deleteButtonSection(), -1);
    EXPECT_EQ(list->tableViewNumberOfRowsInSection(table, 1), 0);
    EXPECT_EQ(buttonText(list, 0), HBRLocalizedString(std::string("HarborFeedbackListButonWriteFeedback")));
    // The table asks the screen for its header, whose text tells of the last check.
    table->reloadData();
    EXPECT_EQ(table->rectForHeaderInSection(0).size.height, 30);
    auto header = list->tableViewViewForHeaderInSection(table, 0);
    ASSERT_EQ(header->subviews().size(), 1u);
    auto headerLabel = std::dynamic_pointer_cast<UILabel>(header->subviews()[0]);
    ASSERT_TRUE(headerLabel);
    EXPECT_EQ(headerLabel->text(),
        NSString::stringWithFormat(HBRLocalizedString(std::string("HarborFeedbackListLastUpdated")),
            HBRLocalizedString(std::string("HarborFeedbackListNeverUpdated"))));

    URLStubs stubs;
    sendAndReceive(stubs, R"({"id":7,"text":"Thanks!","created_at":"2014-01-01T10:00:00Z","name":"Dev"})");
    ASSERT_EQ(m_manager->numberOfMessages(), 2u);
    EXPECT_EQ(list->numberOfSectionsInTableView(table), 3);
    EXPECT_EQ(list->userButtonSection(), -1);
    EXPECT_EQ(list->deleteButtonSection(), 2);
    EXPECT_EQ(buttonText(list, 0), HBRLocalizedString(std::string("HarborFeedbackListButonWriteResponse")));

    m_manager->updateDidAskUserData();
    EXPECT_EQ(list->numberOfSectionsInTableView(table), 4);
    EXPECT_EQ(list->userButtonSection(), 2);
    EXPECT_EQ(list->deleteButtonSection(), 3);
    EXPECT_EQ(buttonText(list, 3), HBRLocalizedString(std::string("HarborFeedbackListButonDeleteAllMessages")));

    const struct {
        int32_t name, email;
        std::optional<std::string> userName, userEmail;
        std::string expected;
    } cases[] = {
        { 2, 1, std::nullopt, std::nullopt, "Name: -" },
        { 1, 1, std::string("Pat"), std::nullopt, "Name: Pat" },
        { 0, 2, std::nullopt, std::string("pat@example.com"), "E-Mail: pat@example.com" },
        { 1, 1, std::nullopt, std::nullopt, "Set User Name" },
        { 0, 1, std::nullopt, std::nullopt, "Set User E-Mail" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        m_manager->setRequireUserName(c.name);
        m_manager->setRequireUserEmail(c.email);
        m_manager->setUserName(c.userName);
        m_manager->setUserEmail(c.userEmail);
        EXPECT_EQ(list->userDataButtonTitle(), c.expected);
    }
}

TEST_F(HBRFeedbackListViewControllerTest, MessageRowsAreOneLineOfTextPlusTheirMargins)
{
    auto message = HBRFeedbackMessage::init();
    message->text = std::string("Short message");
    CGFloat line = std::ceil(UIFont::systemFontOfSize(15)->lineHeight());
    float height = HBRFeedbackListViewCell::heightForRowWithMessageTableViewWidth(message, 320);
    EXPECT_GE(height, line + 38);
    EXPECT_LE(height, line + 39);
    message->text = std::string(200, 'w');
    EXPECT_GT(HBRFeedbackListViewCell::heightForRowWithMessageTableViewWidth(message, 320), 2 * line + 38);

    // The cell shows its message with the status line and colours of its kind.
    auto cell = HBRFeedbackListViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "MessageCell");
    cell->setFrame(CGRectMake(0, 0, 320, 80));
    message->text = std::string("Mine");
    message->userMessage = true;
    message->status = HBRFeedbackMessageStatusPending;
    cell->setMessage(message);
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->labelTitle()->text(), HBRLocalizedString(std::string("Pending")));
    EXPECT_EQ(cell->labelText()->textAlignment(), NSTextAlignmentRight);
    EXPECT_EQ(cell->labelText()->text(), "Mine");
    EXPECT_EQ(cell->labelText()->frame().origin.y, 25);
}

TEST_F(HBRFeedbackListViewControllerTest, LinkInAMessageCanBeOpenedOrCopied)
{
    URLStubs stubs;
    sendAndReceive(stubs, R"({"id":7,"text":"See https://air.example/help","created_at":"2014-01-01T10:00:00Z"})");
    auto list = presentedList();
    ASSERT_TRUE(list);
    EXPECT_EQ(m_manager->currentFeedbackListViewController(), list);
    // The developer's message is a row whose label found the link.
    Ref<HBRFeedbackListViewCell> linked;
    for (int32_t row = 0; row < list->tableViewNumberOfRowsInSection(list->tableView(), 1); ++row) {
        auto cell = std::dynamic_pointer_cast<HBRFeedbackListViewCell>(
            list->tableViewCellForRowAtIndexPath(list->tableView(), NSIndexPath::indexPathForRowInSection(row, 1)));
        ASSERT_TRUE(cell);
        cell->layoutIfNeeded();
        if (!cell->labelText()->links().empty())
            linked = cell;
    }
    ASSERT_TRUE(linked);
    EXPECT_EQ(linked->labelText()->links()[0].URL, "https://air.example/help");
    EXPECT_EQ(linked->labelText()->delegate(), static_cast<HBRAttributedLabelDelegate*>(list.get()));

    const struct {
        int32_t button;
        bool opens;
    } cases[] = { { 1, true }, { 2, false } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        list->attributedLabelDidSelectLinkWithURL(
            *linked->labelText(), NSURL::URLWithString("https://air.example/help"));
        auto alerts = UIAlertView::visibleAlerts();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0]->title(), "https://air.example/help");
        EXPECT_EQ(alerts[0]->tag(), 1);
        alerts[0]->tapButtonAtIndex(c.button);
        advance(1.0);
        auto opened = UIApplication::sharedApplication()->openedURLs();
        if (c.opens) {
            ASSERT_FALSE(opened.empty());
            EXPECT_EQ(opened.back(), "https://air.example/help");
        } else {
            EXPECT_EQ(UIPasteboard::generalPasteboard()->URL(), "https://air.example/help");
        }
    }
}

TEST_F(HBRFeedbackListViewControllerTest, DeletingTheLastMessageDropsTheDeleteSection)
{
    URLStubs stubs;
    sendAndReceive(stubs, "");
    ASSERT_EQ(m_manager->numberOfMessages(), 1u);
    auto list = presentedList();
    ASSERT_TRUE(list);
    auto table = list->tableView();
    EXPECT_EQ(list->numberOfSectionsInTableView(table), 3);
    EXPECT_FALSE(list->tableViewCanEditRowAtIndexPath(table, NSIndexPath::indexPathForRowInSection(0, 0)));
    // A row past the end is refused and changes nothing.
    list->tableViewCommitEditingStyleForRowAtIndexPath(
        table, UITableViewCellEditingStyleDelete, NSIndexPath::indexPathForRowInSection(5, 1));
    EXPECT_EQ(m_manager->numberOfMessages(), 1u);
    list->tableViewCommitEditingStyleForRowAtIndexPath(
        table, UITableViewCellEditingStyleDelete, NSIndexPath::indexPathForRowInSection(0, 1));
    EXPECT_EQ(m_manager->numberOfMessages(), 0u);
    EXPECT_EQ(table->numberOfSections(), 2);
    EXPECT_EQ(list->deleteButtonSection(), -1);
}

TEST_F(HBRFeedbackListViewControllerTest, DeleteAllAsksFirstOnAPad)
{
    URLStubs stubs;
    sendAndReceive(stubs, R"({"id":7,"text":"Answer"})");
    auto list = presentedList();
    ASSERT_TRUE(list);
    list->deleteAllMessagesAction();
    auto alerts = UIAlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0]->tag(), 0);
    alerts[0]->tapButtonAtIndex(alerts[0]->cancelButtonIndex());
    advance(1.0);
    EXPECT_EQ(m_manager->numberOfMessages(), 2u);
    list->deleteAllMessagesAction();
    alerts = UIAlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    alerts[0]->tapButtonAtIndex(alerts[0]->firstOtherButtonIndex());
    advance(1.0);
    EXPECT_EQ(m_manager->numberOfMessages(), 0u);
}

TEST_F(HBRFeedbackListViewControllerTest, RequiredAddressOpensTheFormBeforeTheFirstMessage)
{
    m_manager->setRequireUserEmail(HBRFeedbackUserDataElementRequired);
    auto list = presentedList();
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->userDataComposeFlow());
    auto presenter = list->navigationController();
    ASSERT_TRUE(presenter);
    auto formNavigation = std::dynamic_pointer_cast<UINavigationController>(presenter->presentedViewController());
    ASSERT_TRUE(formNavigation);
    auto form = std::dynamic_pointer_cast<HBRFeedbackUserDataViewController>(formNavigation->topViewController());
    ASSERT_TRUE(form);
    form->userEmailEntered("pat@example.com");
    form->saveAction();
    advance(1.0);
    // Saving leads on to the compose screen.
    auto composeNavigation = std::dynamic_pointer_cast<UINavigationController>(presenter->presentedViewController());
    ASSERT_TRUE(composeNavigation);
    EXPECT_TRUE(std::dynamic_pointer_cast<HBRFeedbackComposeViewController>(composeNavigation->topViewController()));
}

TEST_F(HBRFeedbackListViewControllerTest, RefreshKeepsTheReadersPlaceUnlessThePullIsRunning)
{
    URLStubs stubs;
    sendAndReceive(stubs, R"({"id":1,"text":"One"})");
    auto list = presentedList();
    ASSERT_TRUE(list);
    auto table = list->tableView();
    // The loading notification begins refreshing; a pull still running keeps the offset, while
    // an ended one lets the offset follow the rows added above.
    const struct {
        bool pullEnded;
    } cases[] = { { true }, { false } };
    int64_t id = 100;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pullEnded);
        std::string more;
        for (int i = 0; i < 30; ++i) {
            ++id;
            more += std::string(more.empty() ? "" : ",") + R"({"id":)" + std::to_string(id)
                + R"(,"text":"Answer number )" + std::to_string(id) + R"("})";
        }
        URLStubs answers;
        URLStubSpec spec;
        spec.url = kFeedbackURL;
        spec.matchPrefix = true;
        spec.delay = 1;
        spec.body = R"({"status":"success","token":"abc","feedback":{"messages":[)" + more + "]}}";
        answers.add(spec);
        m_manager->fetchMessageUpdates();
        drainAll();
        EXPECT_TRUE(list->isRefreshingWithNewControl());
        if (c.pullEnded)
            list->stopLoadingIndicator();
        table->reloadData();
        table->layoutIfNeeded();
        table->setContentOffset(CGPointMake(0, 40));
        CGFloat before = table->contentSize().height;
        advance(1.0);
        CGFloat after = table->contentSize().height;
        ASSERT_GT(after, before);
        EXPECT_FALSE(list->isRefreshingWithNewControl());
        EXPECT_FLOAT_EQ(table->contentOffset().y, c.pullEnded ? 40 + after - before : 40);
    }
}

} // namespace
