#include "uikit/UIApplicationHost.h"

#include "foundation/Clock.h"
#include "foundation/NSDate.h"
#include "foundation/NSDateFormatter.h"
#include "foundation/NSLog.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSPort.h"
#include "foundation/NSRunLoop.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "uikit/UIActionSheet.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIKeyboard.h"
#include "uikit/UILocalNotification.h"
#include "uikit/UIPasteboard.h"
#include "uikit/UIResponder.h"
#include "uikit/UIScreen.h"
#include "uikit/UITouch.h"
#include "uikit/UIView.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

bool s_terminated = false;
constexpr double kRotationDuration = 0.4;

struct TapMemory {
    double time { -1 };
    CGPoint point {};
    uint32_t count { 0 };
};
TapMemory s_lastTap;
constexpr double kMultiTapInterval = 0.35;
constexpr CGFloat kMultiTapDistance = 10;

void post(const char* name)
{
    NSNotificationCenter::defaultCenter()->postNotificationName(name, UIApplication::sharedApplication());
}

UIApplicationDelegate* delegate()
{
    return UIApplication::sharedApplication()->delegate();
}

// Wraps a fetch completion so that it reaches the host once, however often it is called.
UIApplicationDelegate::FetchCompletion once(UIApplicationDelegate::FetchCompletion completion)
{
    auto called = std::make_shared<bool>(false);
    return [called, completion = std::move(completion)](UIBackgroundFetchResult result) {
        if (*called) {
            NSLog("Warning: a fetch completion handler was called more than once.");
            return;
        }
        *called = true;
        if (completion)
            completion(result);
    };
}

// The touches down now, in the order they began.
std::vector<Ref<UITouch>> s_activeTouches;

bool isActive(const Ref<UITouch>& touch)
{
    return touch && touch->phase() != UITouchPhaseEnded && touch->phase() != UITouchPhaseCancelled;
}

// Sends one event per window holding changed touches. The event's touches are all those down in
// that window: the changed ones with their new phase and the others as stationary.
void deliverTouches(const std::vector<Ref<UITouch>>& changed)
{
    double now = Clock::mediaTime();
    std::vector<Ref<UIWindow>> windows;
    for (const auto& touch : changed) {
        touch->setTimestamp(now);
        auto window = touch->window();
        if (window && std::find(windows.begin(), windows.end(), window) == windows.end())
            windows.push_back(window);
    }
    bool ignoring = UIApplication::sharedApplication()->isIgnoringInteractionEvents();
    for (const auto& window : windows) {
        if (ignoring)
            break;
        UITouchSet all;
        for (const auto& touch : s_activeTouches) {
            if (touch->window() != window)
                continue;
            if (std::find(changed.begin(), changed.end(), touch) == changed.end())
                touch->setPhase(UITouchPhaseStationary);
            all.push_back(touch);
        }
        for (const auto& touch : changed) {
            if (touch->window() == window && std::find(all.begin(), all.end(), touch) == all.end())
                all.push_back(touch);
        }
        window->sendEvent(UIEvent::initWithTouches(std::move(all), now));
    }
    std::erase_if(s_activeTouches, [](const Ref<UITouch>& t) { return !isActive(t); });
}

// The status bar over a launched application's window (a bare window shown without an
// application delegate has none): 20 points along the interface's top edge, turned with the
// interface, transparent, with the device name at the left, the time in the middle and a full
// battery at the right, in black, or white for the light-content style.
void drawStatusBar(CGRect screen)
{
    auto app = UIApplication::sharedApplication();
    auto context = UIGraphicsGetCurrentContext();
    if (!context || !app->delegate() || app->isStatusBarHidden())
        return;
    auto orientation = app->statusBarOrientation();
    bool landscape
        = orientation == UIInterfaceOrientationLandscapeLeft || orientation == UIInterfaceOrientationLandscapeRight;
    CGFloat angle = orientation == UIInterfaceOrientationLandscapeLeft ? -CGFloat(M_PI_2)
        : orientation == UIInterfaceOrientationLandscapeRight          ? CGFloat(M_PI_2)
        : orientation == UIInterfaceOrientationPortraitUpsideDown      ? CGFloat(M_PI)
                                                                       : 0;
    CGSize size = landscape ? CGSizeMake(screen.size.height, screen.size.width) : screen.size;
    CGContextSaveGState(context);
    CGContextTranslateCTM(context, CGRectGetMidX(screen), CGRectGetMidY(screen));
    CGContextRotateCTM(context, angle);
    CGContextTranslateCTM(context, -size.width / 2, -size.height / 2);
    auto color = app->statusBarStyle() == UIStatusBarStyleLightContent ? UIColor::whiteColor() : UIColor::blackColor();
    color->set();
    auto font = UIFont::boldSystemFontOfSize(12);
    auto formatter = NSDateFormatter::init();
    formatter->setDateStyle(NSDateFormatterNoStyle);
    formatter->setTimeStyle(NSDateFormatterShortStyle);
    CGFloat textTop = (20 - NSString_Drawing::sizeWithFont("0", font).height) / 2;
    NSString_Drawing::drawInRectWithFont(
        "iPad", CGRectMake(6, textTop, 100, 16), font, NSLineBreakByClipping, NSTextAlignmentLeft);
    NSString_Drawing::drawInRectWithFont(formatter->stringFromDate(NSDate::date()),
        CGRectMake(size.width / 2 - 60, textTop, 120, 16), font, NSLineBreakByClipping, NSTextAlignmentCenter);
    NSString_Drawing::drawInRectWithFont(
        "100%", CGRectMake(size.width - 100 - 36, textTop, 100, 16), font, NSLineBreakByClipping, NSTextAlignmentRight);
    // The battery: an outline with its tip, full.
    CGRect battery = CGRectMake(size.width - 31, 6, 24, 10);
    color->setStroke();
    CGContextStrokeRectWithWidth(context, CGRectInset(battery, 0.5f, 0.5f), 1);
    color->setFill();
    CGContextFillRect(context, CGRectInset(battery, 2, 2));
    CGContextFillRect(context, CGRectMake(CGRectGetMaxX(battery), 9, 2, 4));
    CGContextRestoreGState(context);
}

void deliverTouch(const Ref<UITouch>& touch)
{
    deliverTouches({ touch });
}

Ref<UITouch> makeTouch(const Ref<UIWindow>& window, CGPoint point, double now)
{
    auto touch = UITouch::init();
    if (!window)
        return touch;
    bool repeat = s_lastTap.time >= 0 && now - s_lastTap.time <= kMultiTapInterval
        && std::hypot(point.x - s_lastTap.point.x, point.y - s_lastTap.point.y) <= kMultiTapDistance;
    touch->setTapCount(repeat ? s_lastTap.count + 1 : 1);
    touch->setWindow(window);
    touch->setWindowLocation(point);
    touch->setPhase(UITouchPhaseBegan);
    auto event = UIEvent::initWithTouches({ touch }, now);
    touch->setView(window->hitTest(point, event));
    s_activeTouches.push_back(touch);
    return touch;
}

// Touch points are given in the key window's coordinates; this is the same point in `window`.
CGPoint pointInWindow(const Ref<UIWindow>& window, CGPoint point)
{
    auto key = UIApplication::sharedApplication()->keyWindow();
    if (!window || !key || window == key)
        return point;
    return window->convertPointFromWindow(point, key);
}

// The window a touch beginning at `point` goes to: the keyboard's where it has keys or an
// accessory view there, else the key window.
Ref<UIWindow> windowForTouchAt(CGPoint point)
{
    auto key = UIApplication::sharedApplication()->keyWindow();
    if (auto keyboard = UIKeyboard::window(); keyboard && !keyboard->isHidden()) {
        if (keyboard->hitTest(pointInWindow(keyboard, point), nullptr))
            return keyboard;
    }
    return key;
}

} // namespace

Ref<UIApplication> UIApplicationHost::launch(
    const std::string& delegateClassName, const Value& options, LaunchState state)
{
    Class cls = NSClassFromString(delegateClassName);
    auto delegateObject = cls ? createObjectOfClass(cls) : nullptr;
    if (!delegateObject)
        return nullptr;
    return launchWithDelegate(delegateObject, options, state);
}

Ref<UIApplication> UIApplicationHost::launchWithDelegate(
    const Ref<NSObject>& delegateObject, const Value& options, LaunchState state)
{
    s_terminated = false;
    auto app = UIApplication::makeSharedApplicationInternal();
    app->setDelegate(delegateObject);
    app->setApplicationStateInternal(
        state == LaunchState::Foreground ? UIApplicationStateInactive : UIApplicationStateBackground);
    if (auto* d = app->delegate()) {
        d->applicationWillFinishLaunchingWithOptions(app, options);
        d->applicationDidFinishLaunchingWithOptions(app, options);
    }
    post(UIApplicationDidFinishLaunchingNotification);
    if (state == LaunchState::Foreground)
        becomeActive();
    return app;
}

void UIApplicationHost::becomeActive()
{
    auto app = UIApplication::sharedApplication();
    if (s_terminated || app->applicationState() != UIApplicationStateInactive)
        return;
    app->setApplicationStateInternal(UIApplicationStateActive);
    if (auto* d = delegate())
        d->applicationDidBecomeActive(app);
    post(UIApplicationDidBecomeActiveNotification);
}

void UIApplicationHost::resignActive()
{
    auto app = UIApplication::sharedApplication();
    if (s_terminated || app->applicationState() != UIApplicationStateActive)
        return;
    app->setApplicationStateInternal(UIApplicationStateInactive);
    if (auto* d = delegate())
        d->applicationWillResignActive(app);
    post(UIApplicationWillResignActiveNotification);
}

void UIApplicationHost::enterBackground()
{
    auto app = UIApplication::sharedApplication();
    if (s_terminated || app->applicationState() != UIApplicationStateInactive)
        return;
    app->setApplicationStateInternal(UIApplicationStateBackground);
    if (auto* d = delegate())
        d->applicationDidEnterBackground(app);
    post(UIApplicationDidEnterBackgroundNotification);
}

void UIApplicationHost::enterForeground()
{
    auto app = UIApplication::sharedApplication();
    if (s_terminated || app->applicationState() != UIApplicationStateBackground)
        return;
    app->setApplicationStateInternal(UIApplicationStateInactive);
    if (auto* d = delegate())
        d->applicationWillEnterForeground(app);
    post(UIApplicationWillEnterForegroundNotification);
}

void UIApplicationHost::terminate()
{
    if (s_terminated)
        return;
    s_terminated = true;
    auto app = UIApplication::sharedApplication();
    if (auto* d = delegate())
        d->applicationWillTerminate(app);
    post(UIApplicationWillTerminateNotification);
}

void UIApplicationHost::sendToBackground()
{
    resignActive();
    enterBackground();
}

void UIApplicationHost::bringToForeground()
{
    enterForeground();
    becomeActive();
}

bool UIApplicationHost::hasTerminated()
{
    return s_terminated;
}

bool UIApplicationHost::openURL(const std::string& url, const std::string& sourceApplication, const Value& annotation)
{
    auto app = UIApplication::sharedApplication();
    auto* d = delegate();
    return d && d->applicationOpenURLSourceApplicationAnnotation(app, url, sourceApplication, annotation);
}

void UIApplicationHost::deliverDeviceToken(const Value& token)
{
    if (auto* d = delegate())
        d->applicationDidRegisterForRemoteNotificationsWithDeviceToken(UIApplication::sharedApplication(), token);
}

void UIApplicationHost::failRemoteNotificationRegistration(const Ref<NSError>& error)
{
    if (auto* d = delegate())
        d->applicationDidFailToRegisterForRemoteNotificationsWithError(UIApplication::sharedApplication(), error);
}

void UIApplicationHost::deliverRemoteNotification(
    const Value& userInfo, UIApplicationDelegate::FetchCompletion completion)
{
    auto app = UIApplication::sharedApplication();
    auto handler = once(std::move(completion));
    auto* d = delegate();
    if (d && d->applicationDidReceiveRemoteNotificationFetchCompletionHandler(app, userInfo, handler))
        return;
    if (d)
        d->applicationDidReceiveRemoteNotification(app, userInfo);
    handler(UIBackgroundFetchResultNoData);
}

void UIApplicationHost::performBackgroundFetch(UIApplicationDelegate::FetchCompletion completion)
{
    auto app = UIApplication::sharedApplication();
    auto handler = once(std::move(completion));
    auto* d = delegate();
    if (d && d->applicationPerformFetchWithCompletionHandler(app, handler))
        return;
    handler(UIBackgroundFetchResultNoData);
}

void UIApplicationHost::deliverLocalNotification(const Ref<UILocalNotification>& notification)
{
    if (auto* d = delegate())
        d->applicationDidReceiveLocalNotification(UIApplication::sharedApplication(), notification);
}

void UIApplicationHost::expireBackgroundTasks()
{
    UIApplication::sharedApplication()->expireBackgroundTasksInternal();
}

void UIApplicationHost::simulateMemoryWarning()
{
    if (auto* d = delegate())
        d->applicationDidReceiveMemoryWarning(UIApplication::sharedApplication());
    post(UIApplicationDidReceiveMemoryWarningNotification);
}

void UIApplicationHost::setDeviceOrientation(UIDeviceOrientation orientation)
{
    UIDevice::currentDevice()->setOrientation(orientation);
    // Face up, face down and unknown leave the interface as it is.
    if (orientation < UIDeviceOrientationPortrait || orientation > UIDeviceOrientationLandscapeRight)
        return;
    // The interface orientations share the device's numbers (landscape left of the device is
    // landscape right of the interface, and both are 3).
    auto interfaceOrientation = static_cast<UIInterfaceOrientation>(orientation);
    auto app = UIApplication::sharedApplication();
    auto window = app->keyWindow();
    auto root = window ? window->rootViewController() : nullptr;
    if (!root || interfaceOrientation == app->statusBarOrientation() || !root->shouldAutorotate()
        || !(root->supportedInterfaceOrientations() & (1u << interfaceOrientation)))
        return;
    rotateInterface(interfaceOrientation);
}

void UIApplicationHost::rotateInterface(UIInterfaceOrientation orientation)
{
    auto app = UIApplication::sharedApplication();
    auto window = app->keyWindow();
    auto root = window ? window->rootViewController() : nullptr;
    if (!root)
        return;
    auto from = app->statusBarOrientation();
    root->willRotateToInterfaceOrientationDuration(orientation, kRotationDuration);
    app->setStatusBarOrientation(orientation);
    // The window stays portrait; the root view turns and takes the rotated size.
    CGFloat angle = 0;
    switch (orientation) {
    case UIInterfaceOrientationLandscapeLeft:
        angle = -static_cast<CGFloat>(M_PI_2);
        break;
    case UIInterfaceOrientationLandscapeRight:
        angle = static_cast<CGFloat>(M_PI_2);
        break;
    case UIInterfaceOrientationPortraitUpsideDown:
        angle = static_cast<CGFloat>(M_PI);
        break;
    default:
        break;
    }
    bool landscape
        = orientation == UIInterfaceOrientationLandscapeLeft || orientation == UIInterfaceOrientationLandscapeRight;
    CGRect windowBounds = window->bounds();
    CGSize size = landscape ? CGSizeMake(windowBounds.size.height, windowBounds.size.width) : windowBounds.size;
    auto view = root->view();
    UIView::animateWithDuration(
        kRotationDuration,
        [&] {
            view->setTransform(CGAffineTransformMakeRotation(angle));
            view->setBounds(CGRectMake(0, 0, size.width, size.height));
            view->setCenter(CGPointMake(CGRectGetMidX(windowBounds), CGRectGetMidY(windowBounds)));
            root->willAnimateRotationToInterfaceOrientationDuration(orientation, kRotationDuration);
        },
        [root, from](bool) { root->didRotateFromInterfaceOrientation(from); });
}

void UIApplicationHost::runUntilTerminated()
{
    // A port keeps the loop waiting for work instead of returning when it has none.
    auto keepAlive = NSPort::port();
    auto loop = NSRunLoop::mainRunLoop();
    loop->addPortForMode(keepAlive, NSDefaultRunLoopMode);
    while (!hasTerminated())
        loop->runModeBeforeDate(NSDefaultRunLoopMode, Clock::wallTime() + 1.0);
    loop->removePortForMode(keepAlive, NSDefaultRunLoopMode);
}

void UIApplicationHost::runUntilIdle()
{
    auto loop = NSRunLoop::mainRunLoop();
    for (int pass = 0; pass < 1000 && loop->hasPendingWorkInMode(NSDefaultRunLoopMode); ++pass)
        loop->runPass(NSDefaultRunLoopMode);
    UIViewUpdateCycle::run();
}

Ref<UIImage> UIApplicationHost::renderKeyWindow()
{
    auto window = UIApplication::sharedApplication()->keyWindow();
    if (!window)
        return nullptr;
    UIViewUpdateCycle::run();
    CGRect screen = UIScreen::mainScreen()->bounds();
    UIGraphicsBeginImageContextWithOptions(screen.size, true, UIScreen::mainScreen()->scale());
    auto context = UIGraphicsGetCurrentContext();
    if (!context)
        return nullptr;
    CGContextSetRGBFillColor(context, 0, 0, 0, 1);
    CGContextFillRect(context, screen);
    window->layer()->renderInContext(context);
    // The keyboard, while up, shows over the application's window.
    if (auto keyboard = UIKeyboard::window(); keyboard && !keyboard->isHidden())
        keyboard->layer()->renderInContext(context);
    drawStatusBar(screen);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

bool UIApplicationHost::writeKeyWindowPNG(const std::string& path)
{
    auto image = renderKeyWindow();
    if (!image)
        return false;
    auto png = CGImageEncodePNG(image->CGImage());
    if (!png)
        return false;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!file)
        return false;
    return std::fwrite(png->data(), 1, png->size(), file.get()) == png->size();
}

Ref<UITouch> UIApplicationHost::touchDown(CGPoint point)
{
    return touchesDown({ point }).front();
}

std::vector<Ref<UITouch>> UIApplicationHost::touchesDown(const std::vector<CGPoint>& points)
{
    double now = Clock::mediaTime();
    std::vector<Ref<UITouch>> touches;
    bool delivered = false;
    for (CGPoint point : points) {
        auto window = windowForTouchAt(point);
        touches.push_back(makeTouch(window, pointInWindow(window, point), now));
        delivered = delivered || window;
    }
    if (delivered)
        deliverTouches(touches);
    return touches;
}

void UIApplicationHost::touchesMove(const std::vector<Ref<UITouch>>& touches, const std::vector<CGPoint>& points)
{
    std::vector<Ref<UITouch>> moved;
    for (size_t i = 0; i < touches.size() && i < points.size(); ++i) {
        if (!isActive(touches[i]))
            continue;
        touches[i]->setWindowLocation(pointInWindow(touches[i]->window(), points[i]));
        touches[i]->setPhase(UITouchPhaseMoved);
        moved.push_back(touches[i]);
    }
    if (!moved.empty())
        deliverTouches(moved);
}

void UIApplicationHost::touchesUp(const std::vector<Ref<UITouch>>& touches)
{
    std::vector<Ref<UITouch>> lifted;
    for (const auto& touch : touches) {
        if (!isActive(touch))
            continue;
        touch->setPhase(UITouchPhaseEnded);
        lifted.push_back(touch);
    }
    if (lifted.empty())
        return;
    deliverTouches(lifted);
    // Only a single finger lifting counts towards a multiple tap.
    if (lifted.size() == 1 && touches.size() == 1)
        s_lastTap = { Clock::mediaTime(), lifted.front()->locationInView(nullptr), lifted.front()->tapCount() };
}

void UIApplicationHost::touchMove(const Ref<UITouch>& touch, CGPoint point)
{
    if (!touch || touch->phase() == UITouchPhaseEnded || touch->phase() == UITouchPhaseCancelled)
        return;
    touch->setWindowLocation(pointInWindow(touch->window(), point));
    touch->setPhase(UITouchPhaseMoved);
    deliverTouch(touch);
}

void UIApplicationHost::touchUp(const Ref<UITouch>& touch)
{
    touchesUp({ touch });
}

void UIApplicationHost::touchCancel(const Ref<UITouch>& touch)
{
    if (!touch || touch->phase() == UITouchPhaseEnded || touch->phase() == UITouchPhaseCancelled)
        return;
    touch->setPhase(UITouchPhaseCancelled);
    deliverTouch(touch);
}

void UIApplicationHost::tap(CGPoint point)
{
    touchUp(touchDown(point));
}

void UIApplicationHost::resetForTesting()
{
    s_terminated = false;
    s_lastTap = {};
    s_activeTouches.clear();
    UIApplication::resetForTesting();
    UIScreen::resetForTesting();
    UIDevice::resetForTesting();
    UIResponder::resetFirstResponderForTesting();
    UIView::resetAnimationsForTesting();
    UIAlertView::resetForTesting();
    UIActionSheet::resetForTesting();
    UIKeyboard::resetForTesting();
    UIPasteboard::resetForTesting();
}
