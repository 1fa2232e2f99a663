#pragma once

#include "foundation/NSError.h"
#include "foundation/Value.h"
#include "graphics/CGGeometry.h"
#include "uikit/UIKitForward.h"
#include "uikit/UIResponder.h"

#include <functional>
#include <limits>
#include <map>
#include <string>
#include <vector>

enum UIApplicationState : int32_t {
    UIApplicationStateActive = 0,
    UIApplicationStateInactive = 1,
    UIApplicationStateBackground = 2,
};

enum UIBackgroundFetchResult : uint32_t {
    UIBackgroundFetchResultNewData = 0,
    UIBackgroundFetchResultNoData = 1,
    UIBackgroundFetchResultFailed = 2,
};

enum UIStatusBarStyle : int32_t {
    UIStatusBarStyleDefault = 0,
    UIStatusBarStyleLightContent = 1,
};

enum UIInterfaceOrientation : int32_t {
    UIInterfaceOrientationUnknown = 0,
    UIInterfaceOrientationPortrait = 1,
    UIInterfaceOrientationPortraitUpsideDown = 2,
    UIInterfaceOrientationLandscapeLeft = 4,
    UIInterfaceOrientationLandscapeRight = 3,
};

using UIRemoteNotificationType = uint32_t;
inline constexpr UIRemoteNotificationType UIRemoteNotificationTypeNone = 0;
inline constexpr UIRemoteNotificationType UIRemoteNotificationTypeBadge = 1 << 0;
inline constexpr UIRemoteNotificationType UIRemoteNotificationTypeSound = 1 << 1;
inline constexpr UIRemoteNotificationType UIRemoteNotificationTypeAlert = 1 << 2;

using UIBackgroundTaskIdentifier = uint32_t;
inline constexpr UIBackgroundTaskIdentifier UIBackgroundTaskInvalid = 0;
inline constexpr double UIApplicationBackgroundFetchIntervalMinimum = 0;
inline constexpr double UIApplicationBackgroundFetchIntervalNever = std::numeric_limits<double>::max();

inline constexpr const char* UIApplicationDidFinishLaunchingNotification
    = "UIApplicationDidFinishLaunchingNotification";
inline constexpr const char* UIApplicationDidBecomeActiveNotification = "UIApplicationDidBecomeActiveNotification";
inline constexpr const char* UIApplicationWillResignActiveNotification = "UIApplicationWillResignActiveNotification";
inline constexpr const char* UIApplicationDidEnterBackgroundNotification
    = "UIApplicationDidEnterBackgroundNotification";
inline constexpr const char* UIApplicationWillEnterForegroundNotification
    = "UIApplicationWillEnterForegroundNotification";
inline constexpr const char* UIApplicationWillTerminateNotification = "UIApplicationWillTerminateNotification";
inline constexpr const char* UIApplicationDidReceiveMemoryWarningNotification
    = "UIApplicationDidReceiveMemoryWarningNotification";
inline constexpr const char* UIApplicationDidChangeStatusBarOrientationNotification
    = "UIApplicationDidChangeStatusBarOrientationNotification";
inline constexpr const char* UIContentSizeCategoryDidChangeNotification = "UIContentSizeCategoryDidChangeNotification";
inline constexpr const char* UIContentSizeCategoryNewValueKey = "UIContentSizeCategoryNewValueKey";
inline constexpr const char* UIApplicationLaunchOptionsURLKey = "UIApplicationLaunchOptionsURLKey";
inline constexpr const char* UIApplicationLaunchOptionsSourceApplicationKey
    = "UIApplicationLaunchOptionsSourceApplicationKey";
inline constexpr const char* UIApplicationLaunchOptionsRemoteNotificationKey
    = "UIApplicationLaunchOptionsRemoteNotificationKey";
inline constexpr const char* UIApplicationLaunchOptionsLocalNotificationKey
    = "UIApplicationLaunchOptionsLocalNotificationKey";

// What the application tells its delegate. Every operation is optional; those whose absence
// changes what the application does say so.
class UIApplicationDelegate {
public:
    virtual ~UIApplicationDelegate() = default;
    virtual bool applicationWillFinishLaunchingWithOptions(const Ref<UIApplication>&, const Value&) { return true; }
    virtual bool applicationDidFinishLaunchingWithOptions(const Ref<UIApplication>&, const Value&) { return true; }
    virtual void applicationDidBecomeActive(const Ref<UIApplication>&) { }
    virtual void applicationWillResignActive(const Ref<UIApplication>&) { }
    virtual void applicationDidEnterBackground(const Ref<UIApplication>&) { }
    virtual void applicationWillEnterForeground(const Ref<UIApplication>&) { }
    virtual void applicationWillTerminate(const Ref<UIApplication>&) { }
    virtual void applicationDidReceiveMemoryWarning(const Ref<UIApplication>&) { }
    virtual bool applicationOpenURLSourceApplicationAnnotation(const Ref<UIApplication>&, const std::string& /*url*/,
        const std::string& /*sourceApplication*/, const Value& /*annotation*/)
    {
        return false;
    }
    virtual void applicationDidRegisterForRemoteNotificationsWithDeviceToken(
        const Ref<UIApplication>&, const Value& /*token*/)
    {
    }
    virtual void applicationDidFailToRegisterForRemoteNotificationsWithError(
        const Ref<UIApplication>&, const Ref<NSError>&)
    {
    }
    virtual void applicationDidReceiveRemoteNotification(const Ref<UIApplication>&, const Value& /*userInfo*/) { }
    // The fetch-completion form. Return false (the default) when not implemented: the
    // application then calls the plain form above and completes the fetch with "no data".
    using FetchCompletion = std::function<void(UIBackgroundFetchResult)>;
    virtual bool applicationDidReceiveRemoteNotificationFetchCompletionHandler(
        const Ref<UIApplication>&, const Value& /*userInfo*/, const FetchCompletion& /*completion*/)
    {
        return false;
    }
    // Return false (the default) when not implemented; the fetch then completes with "no data".
    virtual bool applicationPerformFetchWithCompletionHandler(const Ref<UIApplication>&, const FetchCompletion&)
    {
        return false;
    }
    virtual void applicationDidReceiveLocalNotification(const Ref<UIApplication>&, const Ref<UILocalNotification>&) { }
    // The delegate's window, if it has one.
    virtual Ref<UIWindow> window() const { return nullptr; }
};

// The running application: its delegate, state, windows and the system services the host
// simulates (URLs opened, pushes, fetches, background tasks, local notifications, status bar,
// idle timer). The life-cycle events come from the host (UIApplicationHost). Main thread only.
class UIApplication : public UIResponder {
    VX_OBJECT(UIApplication, UIResponder)
public:
    explicit UIApplication(Passkey key)
        : UIResponder(key)
    {
    }
    // The application; made on first use when the host has not made it.
    static Ref<UIApplication> sharedApplication();

    UIApplicationDelegate* delegate() const { return m_delegate; }
    const Ref<NSObject>& delegateObject() const { return m_delegateObject; }
    // Keeps the delegate object alive for the application's lifetime.
    void setDelegate(const Ref<NSObject>& delegate);

    UIApplicationState applicationState() const { return m_state; }
    Ref<UIWindow> keyWindow() const { return m_keyWindow.lock(); }
    std::vector<Ref<UIWindow>> windows() const;

    // Opening URLs: recorded; answers the host's setting (true by default).
    bool openURL(const std::string& url);
    bool canOpenURL(const std::string& url) const;
    const std::vector<std::string>& openedURLs() const { return m_openedURLs; }

    // Status bar.
    // The user's preferred text size ("UICTContentSizeCategoryL" unless changed). The host (or a
    // test) sets it; a change posts UIContentSizeCategoryDidChangeNotification from the
    // application with the new value under UIContentSizeCategoryNewValueKey.
    std::string preferredContentSizeCategory() const;
    void setPreferredContentSizeCategory(const std::string& category);

    UIStatusBarStyle statusBarStyle() const { return m_statusBarStyle; }
    void setStatusBarStyle(UIStatusBarStyle style) { m_statusBarStyle = style; }
    void setStatusBarStyleAnimated(UIStatusBarStyle style, bool) { m_statusBarStyle = style; }
    bool isStatusBarHidden() const { return m_statusBarHidden; }
    void setStatusBarHidden(bool hidden) { m_statusBarHidden = hidden; }
    void setStatusBarHiddenWithAnimation(bool hidden, int32_t) { m_statusBarHidden = hidden; }
    UIInterfaceOrientation statusBarOrientation() const { return m_statusBarOrientation; }
    // Where the status bar lies, in screen coordinates: 20 points along the interface's top edge,
    // which is a side of the screen in landscape. Empty while it is hidden, and for a bare window
    // without an application delegate, which the host draws no status bar over.
    CGRect statusBarFrame() const;
    void setStatusBarOrientation(UIInterfaceOrientation orientation);

    // Flags the system shows.
    bool isIdleTimerDisabled() const { return m_idleTimerDisabled; }
    void setIdleTimerDisabled(bool v) { m_idleTimerDisabled = v; }
    bool isNetworkActivityIndicatorVisible() const { return m_networkActivityIndicatorVisible; }
    void setNetworkActivityIndicatorVisible(bool v) { m_networkActivityIndicatorVisible = v; }
    int32_t applicationIconBadgeNumber() const { return m_badgeNumber; }
    void setApplicationIconBadgeNumber(int32_t n) { m_badgeNumber = n; }

    // Background fetch.
    double minimumBackgroundFetchInterval() const { return m_fetchInterval; }
    void setMinimumBackgroundFetchInterval(double interval) { m_fetchInterval = interval; }

    // Remote notifications: registration is recorded; the host delivers the token or an error.
    void registerForRemoteNotificationTypes(UIRemoteNotificationType types);
    void unregisterForRemoteNotifications() { m_remoteTypes = UIRemoteNotificationTypeNone; }
    UIRemoteNotificationType enabledRemoteNotificationTypes() const { return m_remoteTypes; }
    int32_t remoteNotificationRegistrationCount() const { return m_remoteRegistrations; }

    // Local notifications: recorded.
    void scheduleLocalNotification(const Ref<UILocalNotification>& notification);
    void presentLocalNotificationNow(const Ref<UILocalNotification>& notification);
    void cancelLocalNotification(const Ref<UILocalNotification>& notification);
    void cancelAllLocalNotifications() { m_scheduledNotifications.clear(); }
    const std::vector<Ref<UILocalNotification>>& scheduledLocalNotifications() const
    {
        return m_scheduledNotifications;
    }
    const std::vector<Ref<UILocalNotification>>& presentedLocalNotifications() const
    {
        return m_presentedNotifications;
    }

    // Background tasks. Identifiers are never UIBackgroundTaskInvalid. The host expires them.
    UIBackgroundTaskIdentifier beginBackgroundTaskWithExpirationHandler(std::function<void()> handler);
    void endBackgroundTask(UIBackgroundTaskIdentifier identifier);
    double backgroundTimeRemaining() const;
    size_t activeBackgroundTaskCount() const { return m_backgroundTasks.size(); }

    // Interaction.
    void beginIgnoringInteractionEvents() { ++m_ignoringInteraction; }
    void endIgnoringInteractionEvents();
    bool isIgnoringInteractionEvents() const { return m_ignoringInteraction > 0; }

    // For the host and the windows.
    void setKeyWindowInternal(const Ref<UIWindow>& window) { m_keyWindow = window; }
    void setApplicationStateInternal(UIApplicationState state) { m_state = state; }
    void setCanOpenURLAnswer(bool answer) { m_canOpenURLAnswer = answer; }
    // Runs every outstanding background task's expiration handler, in the order begun.
    void expireBackgroundTasksInternal();
    // Test-only: forgets the shared application.
    static void resetForTesting();
    // Makes a fresh shared application (the host's launch).
    static Ref<UIApplication> makeSharedApplicationInternal();

    Ref<UIResponder> nextResponder() const override;

private:
    Ref<NSObject> m_delegateObject;
    UIApplicationDelegate* m_delegate { nullptr };
    UIApplicationState m_state { UIApplicationStateInactive };
    Weak<UIWindow> m_keyWindow;
    std::vector<std::string> m_openedURLs;
    bool m_canOpenURLAnswer { true };
    UIStatusBarStyle m_statusBarStyle { UIStatusBarStyleDefault };
    bool m_statusBarHidden { false };
    UIInterfaceOrientation m_statusBarOrientation { UIInterfaceOrientationPortrait };
    bool m_idleTimerDisabled { false };
    bool m_networkActivityIndicatorVisible { false };
    int32_t m_badgeNumber { 0 };
    double m_fetchInterval { UIApplicationBackgroundFetchIntervalNever };
    UIRemoteNotificationType m_remoteTypes { UIRemoteNotificationTypeNone };
    int32_t m_remoteRegistrations { 0 };
    std::vector<Ref<UILocalNotification>> m_scheduledNotifications;
    std::vector<Ref<UILocalNotification>> m_presentedNotifications;
    std::vector<std::pair<UIBackgroundTaskIdentifier, std::function<void()>>> m_backgroundTasks;
    UIBackgroundTaskIdentifier m_nextTask { 1 };
    int m_ignoringInteraction { 0 };
};

// Runs the application headless: makes the application and the delegate of the class named
// `delegateClassName` (registered with VX_REGISTER_CREATABLE_CLASS), launches it and runs the
// main run loop until it terminates. Options: "--render PATH" writes the key window as a PNG
// after launch and then terminates. Returns the process exit status.
int UIApplicationMain(int argc, char** argv, const char* principalClassName, const char* delegateClassName);
