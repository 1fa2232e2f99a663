#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "graphics/UIFont.h"
#include "graphics/UIImage.h"
#include "testing/TestEnvironment.h"
#include "uikit/UIApplication.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIDevice.h"
#include "uikit/UIScreen.h"
#include "uikit/UIViewController.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

EventRecorder s_log;

class RecordingAppDelegate : public NSObject, public UIApplicationDelegate {
    VX_OBJECT(RecordingAppDelegate, NSObject)
public:
    explicit RecordingAppDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<RecordingAppDelegate> init() { return make<RecordingAppDelegate>(); }

    bool applicationWillFinishLaunchingWithOptions(const Ref<UIApplication>& app, const Value&) override
    {
        s_log.add("willFinishLaunching state=" + std::to_string(app->applicationState()));
        return true;
    }
    bool applicationDidFinishLaunchingWithOptions(const Ref<UIApplication>& app, const Value& options) override
    {
        s_log.add("didFinishLaunching " + options["k"].description());
        return true;
    }
    void applicationDidBecomeActive(const Ref<UIApplication>& app) override
    {
        s_log.add("didBecomeActive state=" + std::to_string(app->applicationState()));
    }
    void applicationWillResignActive(const Ref<UIApplication>& app) override
    {
        s_log.add("willResignActive state=" + std::to_string(app->applicationState()));
    }
    void applicationDidEnterBackground(const Ref<UIApplication>& app) override
    {
        s_log.add("didEnterBackground state=" + std::to_string(app->applicationState()));
    }
    void applicationWillEnterForeground(const Ref<UIApplication>& app) override
    {
        s_log.add("willEnterForeground state=" + std::to_string(app->applicationState()));
    }
    void applicationWillTerminate(const Ref<UIApplication>&) override { s_log.add("willTerminate"); }
    void applicationDidReceiveMemoryWarning(const Ref<UIApplication>&) override { s_log.add("memoryWarning"); }
    bool applicationOpenURLSourceApplicationAnnotation(
        const Ref<UIApplication>&, const std::string& url, const std::string& source, const Value&) override
    {
        s_log.add("openURL " + url + " from " + source);
        return url.rfind("vxvolantrix:", 0) == 0;
    }
    bool applicationPerformFetchWithCompletionHandler(
        const Ref<UIApplication>&, const FetchCompletion& completion) override
    {
        s_log.add("performFetch");
        m_pendingFetch = completion;
        return true;
    }
    void applicationDidReceiveRemoteNotification(const Ref<UIApplication>&, const Value& info) override
    {
        s_log.add("remote " + info["aps"]["alert"].description());
    }
    void applicationDidRegisterForRemoteNotificationsWithDeviceToken(
        const Ref<UIApplication>&, const Value& token) override
    {
        s_log.add("token " + std::to_string(token.bytes().size()));
    }

    FetchCompletion m_pendingFetch;
};
VX_REGISTER_CREATABLE_CLASS(RecordingAppDelegate);

class UIApplicationTest : public HostedWindowTest {
protected:
    void SetUp() override
    {
        HostedWindowTest::SetUp();
        s_log.take();
        m_observer = NSObject::init();
        for (const char* name : { UIApplicationDidFinishLaunchingNotification, UIApplicationDidBecomeActiveNotification,
                 UIApplicationWillResignActiveNotification, UIApplicationDidEnterBackgroundNotification,
                 UIApplicationWillEnterForegroundNotification, UIApplicationWillTerminateNotification,
                 UIApplicationDidReceiveMemoryWarningNotification }) {
            std::string shortName = std::string(name).substr(13);
            NSNotificationCenter::defaultCenter()->addObserver(
                m_observer, [shortName](const Ref<NSNotification>&) { s_log.add("note " + shortName); },
                std::string(name), nullptr);
        }
    }
    void TearDown() override
    {
        NSNotificationCenter::defaultCenter()->removeObserver(m_observer);
        HostedWindowTest::TearDown();
    }
    Ref<NSObject> m_observer;
};

} // namespace

TEST_F(UIApplicationTest, LifeCycleRunsInThePlatformOrder)
{
    auto app = UIApplicationHost::launch("RecordingAppDelegate", Value::dictionary({ { "k", "v" } }));
    ASSERT_TRUE(app);
    EXPECT_EQ(app, UIApplication::sharedApplication());
    EXPECT_THAT(s_log.take(),
        ElementsAre("willFinishLaunching state=1", "didFinishLaunching v", "note DidFinishLaunchingNotification",
            "didBecomeActive state=0", "note DidBecomeActiveNotification"));

    struct Step {
        const char* name;
        void (*action)();
        std::vector<std::string> expected;
        UIApplicationState state;
    };
    const Step steps[] = {
        { "home button", UIApplicationHost::sendToBackground,
            { "willResignActive state=1", "note WillResignActiveNotification", "didEnterBackground state=2",
                "note DidEnterBackgroundNotification" },
            UIApplicationStateBackground },
        { "home again does nothing", UIApplicationHost::sendToBackground, {}, UIApplicationStateBackground },
        { "return", UIApplicationHost::bringToForeground,
            { "willEnterForeground state=1", "note WillEnterForegroundNotification", "didBecomeActive state=0",
                "note DidBecomeActiveNotification" },
            UIApplicationStateActive },
        { "become active twice does nothing", UIApplicationHost::becomeActive, {}, UIApplicationStateActive },
        { "memory warning", UIApplicationHost::simulateMemoryWarning,
            { "memoryWarning", "note DidReceiveMemoryWarningNotification" }, UIApplicationStateActive },
        { "terminate", UIApplicationHost::terminate, { "willTerminate", "note WillTerminateNotification" },
            UIApplicationStateActive },
        { "terminate once", UIApplicationHost::terminate, {}, UIApplicationStateActive },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.action();
        EXPECT_THAT(s_log.take(), ElementsAreArray(step.expected));
        EXPECT_EQ(step.state, app->applicationState());
    }
    EXPECT_TRUE(UIApplicationHost::hasTerminated());
}

TEST_F(UIApplicationTest, UnknownDelegateClassLaunchesNothing)
{
    EXPECT_FALSE(UIApplicationHost::launch("NoSuchDelegate"));
    EXPECT_TRUE(s_log.take().empty());
}

TEST_F(UIApplicationTest, HostDeliversSystemEvents)
{
    auto app = UIApplicationHost::launch("RecordingAppDelegate");
    auto delegate = std::dynamic_pointer_cast<RecordingAppDelegate>(app->delegateObject());
    ASSERT_TRUE(delegate);
    s_log.take();

    EXPECT_TRUE(UIApplicationHost::openURL("vxvolantrix://flight?id=1", "com.example.mail"));
    EXPECT_FALSE(UIApplicationHost::openURL("other://x"));

    // The application opening URLs is recorded.
    EXPECT_TRUE(app->openURL("itms-services://?action=download"));
    app->setCanOpenURLAnswer(false);
    EXPECT_FALSE(app->openURL("http://example.invalid/"));
    EXPECT_THAT(app->openedURLs(), ElementsAre("itms-services://?action=download", "http://example.invalid/"));

    // A fetch completes once, however often the application calls back.
    std::vector<UIBackgroundFetchResult> results;
    UIApplicationHost::performBackgroundFetch([&](UIBackgroundFetchResult r) { results.push_back(r); });
    ASSERT_TRUE(delegate->m_pendingFetch);
    delegate->m_pendingFetch(UIBackgroundFetchResultNewData);
    delegate->m_pendingFetch(UIBackgroundFetchResultFailed);
    EXPECT_THAT(results, ElementsAre(UIBackgroundFetchResultNewData));

    // A delegate without the fetch form of remote delivery gets the plain one; the host hears
    // "no data".
    results.clear();
    app->registerForRemoteNotificationTypes(6);
    EXPECT_EQ(6u, app->enabledRemoteNotificationTypes());
    UIApplicationHost::deliverDeviceToken(Value::data(std::vector<uint8_t>(32, 0xab)));
    UIApplicationHost::deliverRemoteNotification(
        Value::dictionary({ { "aps", Value::dictionary({ { "alert", "hello" } }) } }),
        [&](UIBackgroundFetchResult r) { results.push_back(r); });
    EXPECT_THAT(results, ElementsAre(UIBackgroundFetchResultNoData));

    EXPECT_THAT(s_log.take(),
        ElementsAre("openURL vxvolantrix://flight?id=1 from com.example.mail", "openURL other://x from ",
            "performFetch", "token 32", "remote hello"));
}

TEST_F(UIApplicationTest, BackgroundTasksExpireInOrderAndEndOnce)
{
    auto app = UIApplicationHost::launch("RecordingAppDelegate");
    std::vector<std::string> expired;
    UIBackgroundTaskIdentifier first = 0, second = 0, third = 0;
    first = app->beginBackgroundTaskWithExpirationHandler([&] {
        expired.push_back("first");
        app->endBackgroundTask(first);
        // Ending another task from a handler keeps that one from expiring.
        app->endBackgroundTask(third);
    });
    second = app->beginBackgroundTaskWithExpirationHandler([&] {
        expired.push_back("second");
        app->endBackgroundTask(second);
    });
    third = app->beginBackgroundTaskWithExpirationHandler([&] { expired.push_back("third"); });
    EXPECT_NE(UIBackgroundTaskInvalid, first);
    EXPECT_NE(first, second);
    EXPECT_EQ(3u, app->activeBackgroundTaskCount());

    UIApplicationHost::expireBackgroundTasks();
    EXPECT_THAT(expired, ElementsAre("first", "second"));
    EXPECT_EQ(0u, app->activeBackgroundTaskCount());
    app->endBackgroundTask(first); // already ended: logged, harmless
}

TEST_F(UIApplicationTest, DeviceAndScreenAreHostSettings)
{
    auto device = UIDevice::currentDevice();
    EXPECT_EQ("7.1", device->systemVersion());
    EXPECT_EQ(UIUserInterfaceIdiomPad, device->userInterfaceIdiom());
    EXPECT_EQ("iPad", device->model());
    EXPECT_TRUE(CGRectEqualToRect(CGRectMake(0, 0, 768, 1024), UIScreen::mainScreen()->bounds()));
    EXPECT_TRUE(CGRectEqualToRect(CGRectMake(0, 20, 768, 1004), UIScreen::mainScreen()->applicationFrame()));

    int notes = 0;
    auto token = NSNotificationCenter::defaultCenter()->addObserverForName(
        std::string(UIDeviceOrientationDidChangeNotification), nullptr, nullptr,
        [&](const Ref<NSNotification>&) { ++notes; });
    UIApplicationHost::setDeviceOrientation(UIDeviceOrientationLandscapeLeft);
    EXPECT_EQ(0, notes) << "nobody asked for orientation notifications";
    device->beginGeneratingDeviceOrientationNotifications();
    UIApplicationHost::setDeviceOrientation(UIDeviceOrientationLandscapeRight);
    UIApplicationHost::setDeviceOrientation(UIDeviceOrientationLandscapeRight);
    EXPECT_EQ(1, notes) << "one change, one notification";
    EXPECT_EQ(UIDeviceOrientationLandscapeRight, device->orientation());
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}

namespace {

// Makes a small coloured window at launch.
class WindowAppDelegate : public NSObject, public UIApplicationDelegate {
    VX_OBJECT(WindowAppDelegate, NSObject)
public:
    explicit WindowAppDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<WindowAppDelegate> init() { return make<WindowAppDelegate>(); }
    bool applicationDidFinishLaunchingWithOptions(const Ref<UIApplication>&, const Value&) override
    {
        m_window = UIWindow::initWithFrame(UIScreen::mainScreen()->bounds());
        m_window->setRootViewController(UIViewController::init());
        m_window->makeKeyAndVisible();
        return true;
    }
    Ref<UIWindow> window() const override { return m_window; }
    Ref<UIWindow> m_window;
};
VX_REGISTER_CREATABLE_CLASS(WindowAppDelegate);

} // namespace

TEST_F(UIApplicationTest, ApplicationMainRendersTheKeyWindowOnRequest)
{
    std::string path = TestEnvironment::sandboxRoot() + "/launch.png";
    std::string renderFlag = "--render";
    std::vector<char*> argv { const_cast<char*>("app"), renderFlag.data(), path.data() };
    EXPECT_EQ(0, UIApplicationMain(3, argv.data(), nullptr, "WindowAppDelegate"));
    auto image = UIImage::imageWithContentsOfFile(path);
    ASSERT_TRUE(image);
    EXPECT_EQ(768, image->size().width);
    EXPECT_TRUE(UIApplicationHost::hasTerminated());

    EXPECT_EQ(1, UIApplicationMain(3, argv.data(), nullptr, "NoSuchDelegate"));
}

TEST_F(UIApplicationTest, ChangingThePreferredTextSizePostsOnceWithTheNewValue)
{
    auto app = UIApplication::sharedApplication();
    EXPECT_EQ(app->preferredContentSizeCategory(), "UICTContentSizeCategoryL");
    std::vector<std::string> seen;
    auto token = NSNotificationCenter::defaultCenter()->addObserverForName(
        std::string(UIContentSizeCategoryDidChangeNotification), nullptr, nullptr,
        [&](const Ref<NSNotification>& note) {
            EXPECT_EQ(note->object(), app);
            // Observers already read the new size.
            EXPECT_EQ(UIFont::contentSizeCategory(), note->userInfo()[UIContentSizeCategoryNewValueKey].stringValue());
            seen.push_back(note->userInfo()[UIContentSizeCategoryNewValueKey].stringValue());
        });
    struct Step {
        const char* category;
        bool posts;
    };
    const Step steps[] = {
        { "UICTContentSizeCategoryXXL", true },
        { "UICTContentSizeCategoryXXL", false }, // no change, no notification
        { "", false }, // no category at all is ignored
        { "UICTContentSizeCategoryS", true },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.category);
        size_t before = seen.size();
        app->setPreferredContentSizeCategory(step.category);
        EXPECT_EQ(seen.size(), before + (step.posts ? 1 : 0));
    }
    EXPECT_THAT(seen, ElementsAre("UICTContentSizeCategoryXXL", "UICTContentSizeCategoryS"));
    EXPECT_EQ(app->preferredContentSizeCategory(), "UICTContentSizeCategoryS");
    EXPECT_EQ(UIFont::preferredFontForTextStyle("UICTFontTextStyleBody")->pointSize(), 15);
    NSNotificationCenter::defaultCenter()->removeObserver(token);

    // A fresh application starts from the default size again.
    UIApplicationHost::resetForTesting();
    EXPECT_EQ(UIApplication::sharedApplication()->preferredContentSizeCategory(), "UICTContentSizeCategoryL");
}
