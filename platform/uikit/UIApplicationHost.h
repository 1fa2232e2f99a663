#pragma once

#include "graphics/CGGeometry.h"
#include "uikit/UIApplication.h"
#include "uikit/UIDevice.h"

#include <string>
#include <vector>

class UIImage;

// The headless host: what the system does to a running application. UIApplicationMain uses it
// and tests drive it in-process. It launches the application, moves it through its life cycle
// in the platform's order (delegate call first, then the notification), delivers the simulated
// system events (URLs, push tokens and payloads, background fetches, local notifications,
// background-task expiry, memory warnings, device rotation), synthesises touches on the key
// window and renders the key window. Main thread only.
class UIApplicationHost {
public:
    enum class LaunchState { Foreground, Background };

    // Makes a fresh application and a delegate of the named class, then runs will/did finish
    // launching (with `options`), posts the did-finish notification and, for a foreground
    // launch, becomes active. nullptr when the class is not registered as creatable.
    static Ref<UIApplication> launch(
        const std::string& delegateClassName, const Value& options = {}, LaunchState state = LaunchState::Foreground);
    // The same with a delegate object made by the caller.
    static Ref<UIApplication> launchWithDelegate(
        const Ref<NSObject>& delegate, const Value& options = {}, LaunchState state = LaunchState::Foreground);

    // Single steps of the life cycle; each does nothing when the application is not in the
    // state the step leaves from.
    static void becomeActive(); // inactive -> active
    static void resignActive(); // active -> inactive
    static void enterBackground(); // inactive -> background
    static void enterForeground(); // background -> inactive
    static void terminate(); // any -> terminated (will-terminate once)
    // The usual pairs: home button (resign, background) and return (foreground, active).
    static void sendToBackground();
    static void bringToForeground();
    static bool hasTerminated();

    // The system opening a URL in the application; answers the delegate's reply.
    static bool openURL(
        const std::string& url, const std::string& sourceApplication = {}, const Value& annotation = {});
    // Remote notifications.
    static void deliverDeviceToken(const Value& token);
    static void failRemoteNotificationRegistration(const Ref<NSError>& error);
    // Delivers a payload. `completion` gets the fetch result the application reports (once; "no
    // data" at once when the delegate only has the plain form).
    static void deliverRemoteNotification(
        const Value& userInfo, UIApplicationDelegate::FetchCompletion completion = nullptr);
    static void performBackgroundFetch(UIApplicationDelegate::FetchCompletion completion = nullptr);
    static void deliverLocalNotification(const Ref<UILocalNotification>& notification);
    static void expireBackgroundTasks();
    static void simulateMemoryWarning();
    // Turns the device. When the key window's root controller agrees to the new interface
    // orientation, the interface rotates (see rotateInterface).
    static void setDeviceOrientation(UIDeviceOrientation orientation);
    // Rotates the key window's root view to `orientation` over 0.4 s: will rotate, the status
    // bar orientation changes, the view turns and takes the rotated size inside an animation in
    // which will-animate-rotation runs, and did rotate follows when the animation ends.
    static void rotateInterface(UIInterfaceOrientation orientation);

    // Runs main run-loop passes until nothing is pending (layout, display, queued blocks).
    static void runUntilIdle();
    // Runs the main run loop, waiting for work when there is none, until the application
    // terminates: how a launched application lives.
    static void runUntilTerminated();
    // The key window as it looks now (after pending layout and display), at the screen's scale,
    // with the keyboard over it while the keyboard is up.
    static Ref<UIImage> renderKeyWindow();
    static bool writeKeyWindowPNG(const std::string& path);

    // Touches, in window coordinates of the key window. A touch goes to the view hit when it
    // began (on the keyboard's keys or accessory view while the keyboard is up, else in the key
    // window); tapCount counts quick taps at the same spot.
    static Ref<UITouch> touchDown(CGPoint point);
    static void touchMove(const Ref<UITouch>& touch, CGPoint point);
    static void touchUp(const Ref<UITouch>& touch);
    static void touchCancel(const Ref<UITouch>& touch);
    // Down and up at one point.
    static void tap(CGPoint point);
    // Several fingers at once, each list in the same order: the touches go down, move or lift
    // in one event (the window's other touches ride along as stationary). A touch that has
    // already lifted is skipped.
    static std::vector<Ref<UITouch>> touchesDown(const std::vector<CGPoint>& points);
    static void touchesMove(const std::vector<Ref<UITouch>>& touches, const std::vector<CGPoint>& points);
    static void touchesUp(const std::vector<Ref<UITouch>>& touches);

    // Alerts, action sheets and share sheets are answered through their own host-side calls:
    // UIAlertView::visibleAlerts / tapButtonAtIndex, UIActionSheet::visibleActionSheets /
    // tapButtonAtIndex / tapOutside, UIActivityViewController::chooseActivity / cancel.

    // Test-only: forgets the application, its windows' key status, the screen, the device,
    // animation state and the visible alerts and sheets.
    static void resetForTesting();
};
