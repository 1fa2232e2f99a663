#include "sdk/HBRFeedbackManager.h"
#include "sdk/HBRHarborBaseViewController.h"
#include "sdk/tests/HarborTestSupport.h"

#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIWindow.h"

namespace {

class HBRHarborBaseViewControllerTest : public HarborTest {
protected:
    void SetUp() override
    {
        HarborTest::SetUp();
        m_root = UIViewController::init();
        m_window = UIWindow::init();
        m_window->setRootViewController(m_root);
        m_window->makeKeyAndVisible();
    }
    Ref<UIViewController> m_root;
    Ref<UIWindow> m_window;
};

TEST_F(HBRHarborBaseViewControllerTest, ShowViewPresentsOverTheTopmostScreenAndDoneDismisses)
{
    auto component = configuredManager()->feedbackManager();
    auto screen = HBRHarborBaseViewController::initWithModalStyle(true);
    auto done = screen->navigationItem()->leftBarButtonItem();
    ASSERT_TRUE(done);
    EXPECT_EQ(done->systemItem(), UIBarButtonSystemItemDone);

    // A screen still being presented makes the kit wait and try again every 0.5 s.
    auto blocking = UIViewController::init();
    m_root->presentViewControllerAnimatedCompletion(blocking, true, nullptr);
    ASSERT_TRUE(blocking->isBeingPresented());
    component->showView(screen);
    EXPECT_FALSE(blocking->presentedViewController());
    advance(1.0);
    ASSERT_TRUE(blocking->presentedViewController());
    auto navigation = std::dynamic_pointer_cast<UINavigationController>(blocking->presentedViewController());
    ASSERT_TRUE(navigation);
    EXPECT_EQ(navigation, component->navController());
    EXPECT_EQ(navigation->modalPresentationStyle(), UIModalPresentationFormSheet);
    EXPECT_TRUE(screen->modalAnimated());

    UIApplication::sharedApplication()->setStatusBarStyle(UIStatusBarStyleDefault);
    done->userTap();
    advance(1.0);
    EXPECT_FALSE(blocking->presentedViewController());
}

TEST(HBRHarborBaseViewController, RotatesEverywhereOnAPad)
{
    for (int32_t orientation : { 1, 2, 3, 4 })
        EXPECT_TRUE(HBRHarborBaseViewController::shouldAutorotateToInterfaceOrientation(orientation));
}

} // namespace
