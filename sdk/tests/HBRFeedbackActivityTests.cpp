#include "sdk/HBRFeedbackActivity.h"
#include "sdk/HBRFeedbackComposeViewController.h"
#include "sdk/HBRFeedbackManager.h"
#include "sdk/tests/HarborTestSupport.h"

#include "graphics/UIImage.h"
#include "net/NSURL.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationController.h"

namespace {

class HBRFeedbackActivityTest : public HarborTest { };

TEST_F(HBRFeedbackActivityTest, OffersItselfForTextsAndLinksAndStartsTheMessageWithThem)
{
    auto harbor = configuredManager();
    harbor->feedbackManager()->setServerURL(kTestServerURL);
    auto activity = HBRFeedbackActivity::init();
    EXPECT_EQ(activity->activityType(), "UIActivityTypePostToHarborSDKFeedback");
    EXPECT_EQ(activity->activityTitle().rfind("Feedback to ", 0), 0u);
    EXPECT_TRUE(activity->activityImage());
    Value image = Value::object(UIImage::init());
    Value link = Value::object(NSURL::URLWithString("https://volantrix.test/flight/BA117"));
    EXPECT_FALSE(activity->canPerformWithActivityItems({ image }));
    EXPECT_TRUE(activity->canPerformWithActivityItems({ image, link }));
    harbor->setDisableFeedbackManager(true);
    EXPECT_FALSE(activity->canPerformWithActivityItems({ Value("text") }));
    harbor->setDisableFeedbackManager(false);

    activity->prepareWithActivityItems({ Value("Look at this"), image, link });
    auto navigation = std::dynamic_pointer_cast<UINavigationController>(activity->activityViewController());
    ASSERT_TRUE(navigation);
    EXPECT_EQ(activity->activityViewController(), navigation); // made once
    EXPECT_EQ(navigation->modalTransitionStyle(), UIModalTransitionStyleCrossDissolve);
    auto compose = std::dynamic_pointer_cast<HBRFeedbackComposeViewController>(navigation->topViewController());
    ASSERT_TRUE(compose);
    EXPECT_EQ(compose->text(), "Look at this https://volantrix.test/flight/BA117");

    std::optional<bool> completed;
    activity->setFinishHandlerInternal([&](bool done) { completed = done; });
    compose->view();
    compose->viewWillAppear(false);
    EXPECT_TRUE(compose->sendButton()->isEnabled());
    EXPECT_EQ(harbor->feedbackManager()->currentFeedbackComposeViewController(), compose);
    URLStubs stubs;
    URLStubSpec spec;
    spec.url = kTestServerURL;
    spec.matchPrefix = true;
    spec.body = "{}";
    auto stub = stubs.add(spec);
    compose->sendAction();
    drainAll();
    EXPECT_EQ(completed, true);
    EXPECT_EQ(stub->requestCount(), 1u);
    ASSERT_EQ(harbor->feedbackManager()->numberOfMessages(), 1u);
    EXPECT_EQ(harbor->feedbackManager()->messageAtIndex(0)->text, "Look at this https://volantrix.test/flight/BA117");
}

TEST_F(HBRFeedbackActivityTest, SendButtonFollowsTheText)
{
    configuredManager();
    auto compose = HBRFeedbackComposeViewController::init();
    compose->view();
    compose->viewWillAppear(false);
    EXPECT_FALSE(compose->sendButton()->isEnabled());
    compose->textView()->setText("H");
    compose->textViewDidChange(compose->textView());
    EXPECT_TRUE(compose->sendButton()->isEnabled());
    compose->textView()->setText("");
    compose->textViewDidChange(compose->textView());
    EXPECT_FALSE(compose->sendButton()->isEnabled());
    compose->viewWillDisappear(false);
    EXPECT_FALSE(HBRHarborManager::sharedHarborManager()->feedbackManager()->currentFeedbackComposeViewController());
}

} // namespace

namespace {

TEST_F(HBRFeedbackActivityTest, EditorLeavesRoomForTheKeyboardOnAPadInPortrait)
{
    auto manager = configuredManager()->feedbackManager();
    auto compose = HBRFeedbackComposeViewController::init();
    auto navigation = manager->customNavigationControllerWithRootViewControllerPresentationStyle(
        compose, UIModalPresentationFormSheet);
    compose->view()->setFrame(CGRectMake(0, 0, 540, 620));
    ASSERT_EQ(navigation->navigationBar()->frame().size.height, 44);
    // (1024 - 20 - 44) - (1004 - 620) * 0.5 - 264
    EXPECT_FLOAT_EQ(compose->editorHeightForKeyboardFrame(CGRectMake(0, 0, 768, 264)), 504);
}

} // namespace
