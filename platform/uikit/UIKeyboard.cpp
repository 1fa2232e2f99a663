#include "uikit/UIKeyboard.h"

#include "foundation/NSNotificationCenter.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSTimer.h"
#include "foundation/Value.h"
#include "graphics/NSValue.h"
#include "uikit/UIApplication.h"
#include "uikit/UIKeyInput.h"
#include "uikit/UIResponder.h"
#include "uikit/UIScreen.h"

namespace {
constexpr double kAnimationDuration = 0.25;
// The keyboard's own animation curve, which has no named constant.
constexpr int32_t kAnimationCurve = 7;
constexpr CGFloat kPortraitHeight = 264;
constexpr CGFloat kLandscapeHeight = 352;

bool s_visible = false;
bool s_switching = false;
Ref<NSTimer> s_pendingTimer;
std::string s_pendingName;
Value s_pendingInfo;

UIInterfaceOrientation orientation()
{
    auto app = UIApplication::sharedApplication();
    return app ? app->statusBarOrientation() : UIInterfaceOrientationPortrait;
}

// The band the keyboard covers when shown, and where it starts from (just off screen).
CGRect shownFrame(bool offScreen)
{
    CGRect screen = UIScreen::mainScreen()->bounds();
    CGFloat w = screen.size.width;
    CGFloat h = screen.size.height;
    switch (orientation()) {
    case UIInterfaceOrientationPortraitUpsideDown:
        return CGRectMake(0, offScreen ? -kPortraitHeight : 0, w, kPortraitHeight);
    case UIInterfaceOrientationLandscapeLeft:
        // The interface's bottom is the screen's left edge.
        return CGRectMake(offScreen ? -kLandscapeHeight : 0, 0, kLandscapeHeight, h);
    case UIInterfaceOrientationLandscapeRight:
        return CGRectMake(offScreen ? w : w - kLandscapeHeight, 0, kLandscapeHeight, h);
    default:
        return CGRectMake(0, offScreen ? h : h - kPortraitHeight, w, kPortraitHeight);
    }
}

Value userInfo(CGRect begin, CGRect end)
{
    return Value::dictionary({
        { Value(UIKeyboardFrameBeginUserInfoKey), Value(NSValue::valueWithCGRect(begin)) },
        { Value(UIKeyboardFrameEndUserInfoKey), Value(NSValue::valueWithCGRect(end)) },
        { Value(UIKeyboardAnimationDurationUserInfoKey), Value(kAnimationDuration) },
        { Value(UIKeyboardAnimationCurveUserInfoKey), Value(kAnimationCurve) },
    });
}

void post(const std::string& name, const Value& info)
{
    NSNotificationCenter::defaultCenter()->postNotificationName(name, nullptr, info);
}

// Posts the did-notification still waiting for its animation, so the order always stays
// will-show, did-show, will-hide, did-hide.
void flushPending()
{
    if (!s_pendingTimer)
        return;
    s_pendingTimer->invalidate();
    s_pendingTimer = nullptr;
    auto name = std::move(s_pendingName);
    auto info = std::move(s_pendingInfo);
    post(name, info);
}

void move(bool show)
{
    flushPending();
    s_visible = show;
    CGRect on = shownFrame(false);
    CGRect off = shownFrame(true);
    Value info = show ? userInfo(off, on) : userInfo(on, off);
    s_pendingName = show ? UIKeyboardDidShowNotification : UIKeyboardDidHideNotification;
    s_pendingInfo = info;
    s_pendingTimer = NSTimer::timerWithTimeIntervalRepeatsBlock(kAnimationDuration, false, [](const Ref<NSTimer>&) {
        s_pendingTimer = nullptr;
        auto name = std::move(s_pendingName);
        auto pending = std::move(s_pendingInfo);
        post(name, pending);
    });
    NSRunLoop::mainRunLoop()->addTimerForMode(s_pendingTimer, NSRunLoopCommonModes);
    post(show ? UIKeyboardWillShowNotification : UIKeyboardWillHideNotification, info);
}

UIKeyInput* keyInput()
{
    return dynamic_cast<UIKeyInput*>(UIResponder::currentFirstResponder().get());
}
} // namespace

namespace UIKeyboard {

bool isVisible()
{
    return s_visible;
}

CGRect frame()
{
    return shownFrame(false);
}

void inputDidBecomeFirstResponder(UIResponder*)
{
    if (!s_visible)
        move(true);
}

void inputDidResignFirstResponder(UIResponder*)
{
    if (s_visible && !s_switching)
        move(false);
}

void setSwitchingInputs(bool switching)
{
    s_switching = switching;
}

bool typeText(const std::string& text)
{
    auto responder = UIResponder::currentFirstResponder();
    auto* input = keyInput();
    if (!input)
        return false;
    input->insertText(text);
    return true;
}

bool pressReturn()
{
    return typeText("\n");
}

bool pressDelete()
{
    auto responder = UIResponder::currentFirstResponder();
    auto* input = keyInput();
    if (!input)
        return false;
    input->deleteBackward();
    return true;
}

void resetForTesting()
{
    if (s_pendingTimer)
        s_pendingTimer->invalidate();
    s_pendingTimer = nullptr;
    s_pendingName.clear();
    s_pendingInfo = {};
    s_visible = false;
    s_switching = false;
}

} // namespace UIKeyboard
