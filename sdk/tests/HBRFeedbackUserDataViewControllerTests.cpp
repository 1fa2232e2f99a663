#include "sdk/HBRFeedbackComposeViewController.h"
#include "sdk/HBRFeedbackManager.h"
#include "sdk/HBRFeedbackUserDataViewController.h"
#include "sdk/tests/HarborTestSupport.h"

#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIWindow.h"

namespace {

class HBRFeedbackUserDataViewControllerTest : public HarborTest { };

TEST_F(HBRFeedbackUserDataViewControllerTest, SavesOnlyCompleteDataAndKeepsAnEmptyOptionalAddress)
{
    auto manager = configuredManager()->feedbackManager();
    manager->setRequireUserName(HBRFeedbackUserDataElementRequired);
    manager->setRequireUserEmail(HBRFeedbackUserDataElementOptional);
    auto form = HBRFeedbackUserDataViewController::initWithStyle(UITableViewStyleGrouped);
    form->view();
    form->viewWillAppear(false);
    EXPECT_EQ(form->tableViewNumberOfRowsInSection(form->tableView(), 0), 2);
    EXPECT_TRUE(manager->didAskUserData());
    const struct {
        const char *name, *email;
        bool complete;
    } cases[] = {
        { "", "", false },
        { "Pat", "", true },
        { "Pat", "pat@", false },
        { "Pat", "pat@example.com", true },
        { "", "pat@example.com", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "/" + c.email);
        form->userNameEntered(c.name);
        form->userEmailEntered(c.email);
        EXPECT_EQ(form->allRequiredFieldsEntered(), c.complete);
        EXPECT_EQ(form->saveButton()->isEnabled(), c.complete);
    }
    form->userNameEntered("Pat");
    form->userEmailEntered("");
    form->saveAction();
    EXPECT_EQ(manager->userName(), "Pat");
    EXPECT_EQ(manager->userEmail(), ""); // present, though empty

    manager->setRequireUserName(HBRFeedbackUserDataElementDontShow);
    EXPECT_EQ(form->tableViewNumberOfRowsInSection(form->tableView(), 0), 1);
}

TEST_F(HBRFeedbackUserDataViewControllerTest, ComposeAsksForMissingRequiredDataAndCancellingClosesBoth)
{
    auto manager = configuredManager()->feedbackManager();
    manager->setRequireUserName(HBRFeedbackUserDataElementRequired);
    auto root = UIViewController::init();
    auto window = UIWindow::init();
    window->setRootViewController(root);
    window->makeKeyAndVisible();
    auto compose = HBRFeedbackComposeViewController::init();
    auto navigation = manager->customNavigationControllerWithRootViewControllerPresentationStyle(
        compose, UIModalPresentationFormSheet);
    root->presentViewControllerAnimatedCompletion(navigation, false, nullptr);
    advance(1.0);
    // The form is presented by the compose screen's container.
    auto formNavigation = std::dynamic_pointer_cast<UINavigationController>(navigation->presentedViewController());
    ASSERT_TRUE(formNavigation);
    auto form = std::dynamic_pointer_cast<HBRFeedbackUserDataViewController>(formNavigation->topViewController());
    ASSERT_TRUE(form);
    form->dismissAction();
    advance(2.0);
    EXPECT_FALSE(navigation->presentedViewController());
    EXPECT_FALSE(root->presentedViewController());
}

} // namespace
