#include "app/core/DeviceUUIDHandler.h"
#include "app/core/KESTAuthManager.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/tests/AppTestSupport.h"
#include "app/view-controllers/account/KESTAuthCreateAccountView.h"
#include "app/view-controllers/account/KESTAuthForgottenPasswordView.h"
#include "app/view-controllers/account/KESTAuthLoginView.h"
#include "app/view-controllers/account/KESTAuthMenuView.h"
#include "foundation/NSString.h"
#include "testing/Drain.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kService = "http://accounts.test/";

class AuthScreensTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UIApplicationHost::resetForTesting();
        m_previousBase = KESTLiveDataManager::serviceBaseURL();
        KESTLiveDataManager::setServiceBaseURL(kService);
        KESTAuthManager::resetSharedInstanceForTesting();
        DeviceUUIDHandler::resetCacheForTesting();
        m_window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
        m_root = UIViewController::init();
        m_window->setRootViewController(m_root);
        m_window->makeKeyAndVisible();
    }
    void TearDown() override
    {
        settle();
        UIAlertView::resetForTesting();
        UIApplicationHost::resetForTesting();
        KESTAuthManager::resetSharedInstanceForTesting();
        DeviceUUIDHandler::resetCacheForTesting();
        KESTLiveDataManager::setServiceBaseURL(m_previousBase);
    }
    void settle()
    {
        drainAll();
        m_clock.advance(1);
        drainAll();
    }
    Ref<URLStub> stub(int32_t status, std::string body = {})
    {
        URLStubSpec spec;
        spec.url = std::string(kService).append("auth/api/v1.php");
        spec.statusCode = status;
        spec.body = std::move(body);
        return m_stubs.add(spec);
    }
    Ref<UINavigationController> presented()
    {
        return std::dynamic_pointer_cast<UINavigationController>(m_root->presentedViewController());
    }
    std::string alertMessage()
    {
        auto alerts = UIAlertView::visibleAlerts();
        return alerts.empty() ? std::string() : alerts.back()->title() + ": " + alerts.back()->message();
    }

    AppTestScope m_scope;
    ScopedVirtualClock m_clock;
    URLStubs m_stubs;
    Ref<UIWindow> m_window;
    Ref<UIViewController> m_root;
    std::string m_previousBase;
};

TEST_F(AuthScreensTest, MenuShowsSignedOutForTemporaryAccountsAndClosingCallsFailureOnce)
{
    auto auth = KESTAuthManager::sharedInstance();
    auth->storeUserCredentials(
        Value::dictionary({ { "email", "temp_" + *DeviceUUIDHandler::UUID() + "_1" }, { "password", "x" } }));
    int failures = 0;
    auth->presentManagerInControllerCompletionFailure(m_root, nullptr, [&] { ++failures; });
    settle();
    auto navigation = presented();
    ASSERT_TRUE(navigation);
    EXPECT_EQ(navigation->modalPresentationStyle(), UIModalPresentationCurrentContext);
    auto menu = std::dynamic_pointer_cast<KESTAuthMenuView>(navigation->topViewController());
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->view(), menu->loggedOutView);
    EXPECT_EQ(menu->title(), "Kestravon ID");
    EXPECT_EQ(menu->loginButton->titleForState(UIControlStateNormal), "Login to an existing account");

    // Pushing a screen calls nothing; closing calls the failure callback after the menu has gone.
    menu->pressedLogin(nullptr);
    settle();
    EXPECT_EQ(failures, 0);
    auto login = std::dynamic_pointer_cast<KESTAuthLoginView>(navigation->topViewController());
    ASSERT_TRUE(login);
    EXPECT_EQ(login->navigationItem()->leftBarButtonItem(), nullptr) << "a pushed login screen has a back button";
    navigation->popViewControllerAnimated(false);
    settle();
    menu->closePress(nullptr);
    EXPECT_EQ(failures, 0);
    settle();
    EXPECT_EQ(failures, 1);
    EXPECT_FALSE(m_root->presentedViewController());
}

TEST_F(AuthScreensTest, LoginSendsTheStoredAccountAndStoresTheNewOne)
{
    auto auth = KESTAuthManager::sharedInstance();
    std::string temporary = "temp_" + *DeviceUUIDHandler::UUID() + "_7";
    auth->storeUserCredentials(Value::dictionary({ { "email", temporary }, { "password", "tmppw" } }));
    auto service = stub(200);
    int completions = 0;
    auth->presentLoginInControllerCompletionFailure(
        m_root, [&] { ++completions; }, nullptr);
    settle();
    auto login = std::dynamic_pointer_cast<KESTAuthLoginView>(presented()->topViewController());
    ASSERT_TRUE(login);
    ASSERT_TRUE(login->navigationItem()->leftBarButtonItem()) << "the root login screen can be closed";
    login->emailTextField->setText("pilot@example.com");
    login->passwordTextField->setText("secret1");
    // Return in the e-mail field moves on; in the password field it submits.
    login->textFieldShouldReturn(login->emailTextField);
    EXPECT_EQ(service->requestCount(), 0u);
    login->textFieldShouldReturn(login->passwordTextField);
    settle();
    ASSERT_EQ(service->requestCount(), 1u);
    auto record = service->requests()[0];
    std::string body(record.body.begin(), record.body.end());
    EXPECT_NE(body.find("tmp_password=tmppw"), std::string::npos) << body;
    EXPECT_NE(body.find("tmp_email=temp_"), std::string::npos) << body;
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(auth->storedEmail(), "pilot@example.com");
    EXPECT_TRUE(auth->hasValidStoredCredentials());
    EXPECT_FALSE(m_root->presentedViewController());

    // The menu now shows the account.
    auth->presentManagerInControllerCompletionFailure(m_root, nullptr, nullptr);
    settle();
    auto menu = std::dynamic_pointer_cast<KESTAuthMenuView>(presented()->topViewController());
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->view(), menu->loggedInView);
    EXPECT_EQ(menu->loggedInAsLabel->text(), "Logged in as pilot@example.com");
    menu->pressedLogout(nullptr);
    EXPECT_EQ(menu->view(), menu->loggedOutView);
    EXPECT_EQ(auth->storedEmail(), std::nullopt);
}

TEST_F(AuthScreensTest, FailedRequestsShowTheServiceTextOrTheScreensOwn)
{
    auto auth = KESTAuthManager::sharedInstance();
    auth->storeUserCredentials(Value::dictionary({ { "email", "old@b.c" }, { "password", "pw" } }));
    auth->presentLoginInControllerCompletionFailure(m_root, nullptr, nullptr);
    settle();
    auto login = std::dynamic_pointer_cast<KESTAuthLoginView>(presented()->topViewController());
    {
        URLStubs stubs;
        URLStubSpec spec;
        spec.url = std::string(kService).append("auth/api/v1.php");
        spec.statusCode = 400;
        spec.body = "{\"response\":\"Incorrect email address or password\"}";
        stubs.add(spec);
        login->pressedLoginButton(nullptr);
        settle();
    }
    EXPECT_EQ(alertMessage(), "Error: Incorrect email address or password");
    EXPECT_EQ(auth->storedEmail(), std::nullopt) << "a failed login forgets the stored account";
    EXPECT_TRUE(presented()) << "the screen stays";
    UIAlertView::resetForTesting();

    struct Case {
        const char* name;
        std::function<void()> submit;
        std::string expected;
    } cases[] = {
        { "create",
            [&] {
                auto create = KESTAuthCreateAccountView::initWithCompletionBlockFailureBlock(nullptr, nullptr);
                presented()->pushViewControllerAnimated(create, false);
                settle();
                create->pressedCreateAccount(nullptr);
            },
            "Error: We were unable to create your Kestravon account. Please try again. If this problem persists, "
            "contact support@kestravon.com" },
        { "reset",
            [&] {
                auto reset = KESTAuthForgottenPasswordView::initWithCompletionBlockFailureBlock(nullptr, nullptr);
                presented()->pushViewControllerAnimated(reset, false);
                settle();
                reset->pressedForgottenPassword(nullptr);
            },
            "Error: We were unable to request a password reset for your Kestravon account. Please try again. If this "
            "problem persists, contact support@kestravon.com" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        URLStubs stubs;
        URLStubSpec spec;
        spec.url = std::string(kService).append("auth/api/v1.php");
        spec.statusCode = 500;
        spec.body = "[\"not an object\"]";
        stubs.add(spec);
        c.submit();
        settle();
        EXPECT_EQ(alertMessage(), c.expected);
        UIAlertView::resetForTesting();
    }
}

TEST_F(AuthScreensTest, PasswordResetGoesBackOneScreen)
{
    auto service = stub(200);
    KESTAuthManager::sharedInstance()->presentManagerInControllerCompletionFailure(m_root, nullptr, nullptr);
    settle();
    auto menu = std::dynamic_pointer_cast<KESTAuthMenuView>(presented()->topViewController());
    menu->pressedForgottenPassword(nullptr);
    settle();
    auto reset = std::dynamic_pointer_cast<KESTAuthForgottenPasswordView>(presented()->topViewController());
    ASSERT_TRUE(reset);
    reset->emailTextField->setText("pilot@example.com");
    reset->textFieldShouldReturn(reset->emailTextField);
    settle();
    auto record = service->requests()[0];
    std::string body(record.body.begin(), record.body.end());
    EXPECT_NE(body.find("action=request_reset"), std::string::npos);
    EXPECT_EQ(body.find("password"), std::string::npos);
    EXPECT_EQ(
        alertMessage(), "Password reset requested: We've sent instructions to the email associated with your account");
    EXPECT_EQ(presented()->topViewController(), menu);
}

// The four account screens answer the autorotation question for upright portrait only.
TEST_F(AuthScreensTest, AccountScreensTurnOnlyToPortrait)
{
    struct Screen {
        const char* name;
        std::function<bool(UIInterfaceOrientation)> rotates;
    };
    auto menu = KESTAuthMenuView::initWithCompletionBlockFailureBlock(nullptr, nullptr);
    auto login = KESTAuthLoginView::initWithCompletionBlockFailureBlock(nullptr, nullptr);
    auto create = KESTAuthCreateAccountView::initWithCompletionBlockFailureBlock(nullptr, nullptr);
    auto forgotten = KESTAuthForgottenPasswordView::initWithCompletionBlockFailureBlock(nullptr, nullptr);
    const Screen screens[] = {
        { "menu", [&](UIInterfaceOrientation o) { return menu->shouldAutorotateToInterfaceOrientation(o); } },
        { "login", [&](UIInterfaceOrientation o) { return login->shouldAutorotateToInterfaceOrientation(o); } },
        { "create account",
            [&](UIInterfaceOrientation o) { return create->shouldAutorotateToInterfaceOrientation(o); } },
        { "forgotten password",
            [&](UIInterfaceOrientation o) { return forgotten->shouldAutorotateToInterfaceOrientation(o); } },
    };
    for (const auto& screen : screens) {
        SCOPED_TRACE(screen.name);
        EXPECT_TRUE(screen.rotates(UIInterfaceOrientationPortrait));
        for (auto other : { UIInterfaceOrientationPortraitUpsideDown, UIInterfaceOrientationLandscapeLeft,
                 UIInterfaceOrientationLandscapeRight })
            EXPECT_FALSE(screen.rotates(other)) << other;
    }
}

} // namespace
