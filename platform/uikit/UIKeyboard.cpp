#include "uikit/UIKeyboard.h"

#include "foundation/NSNotificationCenter.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSTimer.h"
#include "foundation/Value.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/NSValue.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UIApplication.h"
#include "uikit/UIKeyInput.h"
#include "uikit/UIKitDrawing.h"
#include "uikit/UIResponder.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"

#include <cmath>

namespace {
constexpr double kAnimationDuration = 0.25;
// The keyboard's own animation curve, which has no named constant.
constexpr int32_t kAnimationCurve = 7;
constexpr CGFloat kPortraitHeight = 264;
constexpr CGFloat kLandscapeHeight = 352;
// Above the application's windows, below the status bar and alerts.
constexpr UIWindowLevel kKeyboardWindowLevel = UIWindowLevelNormal + 1;

// The keys: a plain iPad letter layout, drawn without any behaviour of its own (typing goes
// through UIKeyboard's functions).
class KeyboardKeysView final : public UIView {
    VX_OBJECT(KeyboardKeysView, UIView)
public:
    explicit KeyboardKeysView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<KeyboardKeysView> initWithFrame(CGRect frame)
    {
        auto view = makeView<KeyboardKeysView>(frame);
        view->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(209 / 255.0f, 213 / 255.0f, 219 / 255.0f, 1));
        view->setContentMode(UIViewContentModeRedraw);
        return view;
    }

    void drawRect(CGRect) override
    {
        struct Key {
            const char* label;
            float weight;
            bool function; // drawn darker, with a smaller label
        };
        // A zero-width label is a gap.
        static const std::vector<std::vector<Key>> kRows = {
            { { "Q", 1, false }, { "W", 1, false }, { "E", 1, false }, { "R", 1, false }, { "T", 1, false },
                { "Y", 1, false }, { "U", 1, false }, { "I", 1, false }, { "O", 1, false }, { "P", 1, false },
                { "delete", 1.2f, true } },
            { { "", 0.4f, false }, { "A", 1, false }, { "S", 1, false }, { "D", 1, false }, { "F", 1, false },
                { "G", 1, false }, { "H", 1, false }, { "J", 1, false }, { "K", 1, false }, { "L", 1, false },
                { "return", 1.8f, true } },
            { { "shift", 1.2f, true }, { "Z", 1, false }, { "X", 1, false }, { "C", 1, false }, { "V", 1, false },
                { "B", 1, false }, { "N", 1, false }, { "M", 1, false }, { ",", 1, false }, { ".", 1, false },
                { "shift", 1.2f, true } },
            { { ".?123", 1.6f, true }, { "", 6.9f, false }, { ".?123", 1.6f, true }, { "hide", 1.2f, true } },
        };
        CGRect b = bounds();
        const CGFloat margin = 6;
        const CGFloat gap = std::round(b.size.width / 64);
        const CGFloat rowGap = 8;
        const size_t rowCount = kRows.size();
        CGFloat rowHeight
            = std::floor((b.size.height - 2 * margin - rowGap * CGFloat(rowCount - 1)) / CGFloat(rowCount));
        auto letterFont = UIFont::systemFontOfSize(std::round(rowHeight * 0.4f));
        auto wordFont = UIFont::systemFontOfSize(std::round(rowHeight * 0.28f));
        auto keyColour = UIColor::whiteColor();
        auto functionColour = UIColor::colorWithRedGreenBlueAlpha(172 / 255.0f, 179 / 255.0f, 188 / 255.0f, 1);
        auto shadowColour = UIColor::colorWithRedGreenBlueAlpha(136 / 255.0f, 138 / 255.0f, 142 / 255.0f, 1);
        auto inkColour = UIColor::blackColor();
        for (size_t row = 0; row < rowCount; ++row) {
            const auto& keys = kRows[row];
            float weights = 0;
            for (const auto& key : keys)
                weights += key.weight;
            CGFloat top = margin + CGFloat(row) * (rowHeight + rowGap);
            CGFloat available = b.size.width - 2 * margin - gap * CGFloat(keys.size() - 1);
            // Edges on whole points, so every key's outline is crisp.
            float before = 0;
            for (size_t i = 0; i < keys.size(); ++i) {
                const Key& key = keys[i];
                CGFloat left = std::round(margin + gap * CGFloat(i) + available * before / weights);
                before += key.weight;
                CGFloat right = std::round(margin + gap * CGFloat(i) + available * before / weights);
                if (key.label[0] == '\0' && key.weight < 1)
                    continue;
                CGRect rect = CGRectMake(left, top, right - left, rowHeight);
                UIKitDrawing::fillRoundedRect(CGRectOffset(rect, 0, 1), 5, shadowColour);
                UIKitDrawing::fillRoundedRect(rect, 5, key.function ? functionColour : keyColour);
                if (key.label[0] == '\0')
                    continue;
                auto font = key.function ? wordFont : letterFont;
                CGFloat textHeight = NSString_Drawing::sizeWithFont(key.label, font).height;
                inkColour->set();
                NSString_Drawing::drawInRectWithFont(key.label,
                    CGRectMake(
                        rect.origin.x, std::round(CGRectGetMidY(rect) - textHeight / 2), rect.size.width, textHeight),
                    font, NSLineBreakByClipping, NSTextAlignmentCenter);
            }
        }
    }
};

// The window the keyboard shows in, above the application's windows. It takes only the touches
// that land on the keys or on the accessory view; the rest go to the application's window.
class KeyboardWindow final : public UIWindow {
    VX_OBJECT(KeyboardWindow, UIWindow)
public:
    explicit KeyboardWindow(Passkey key)
        : UIWindow(key)
    {
    }
    static Ref<KeyboardWindow> initWithFrame(CGRect frame)
    {
        auto window = makeWindow<KeyboardWindow>(frame);
        window->setWindowLevel(kKeyboardWindowLevel);
        window->m_host = UIView::initWithFrame(CGRectZero);
        window->addSubview(window->m_host);
        window->m_keys = KeyboardKeysView::initWithFrame(CGRectZero);
        window->m_host->addSubview(window->m_keys);
        return window;
    }
    Ref<UIView> hitTest(CGPoint point, const Ref<UIEvent>& event) override
    {
        auto hit = UIWindow::hitTest(point, event);
        return hit.get() == this || hit == m_host ? nullptr : hit;
    }

    // Lays the keys and the accessory view out in the band `frame` (in this window's
    // coordinates), facing the interface edge the band lies along.
    void showInFrame(CGRect frame, CGFloat keysHeight, const Ref<UIView>& accessory, UIInterfaceOrientation orientation)
    {
        if (m_accessory && m_accessory != accessory && m_accessory->superview() == m_host)
            m_accessory->removeFromSuperview();
        m_accessory = accessory;
        bool sideways
            = orientation == UIInterfaceOrientationLandscapeLeft || orientation == UIInterfaceOrientationLandscapeRight;
        CGSize size = sideways ? CGSizeMake(frame.size.height, frame.size.width) : frame.size;
        // The band's outer edge is the interface's bottom.
        CGFloat angle = orientation == UIInterfaceOrientationPortraitUpsideDown ? CGFloat(M_PI)
            : orientation == UIInterfaceOrientationLandscapeLeft                ? CGFloat(M_PI_2)
            : orientation == UIInterfaceOrientationLandscapeRight               ? -CGFloat(M_PI_2)
                                                                                : 0;
        m_host->setTransform(CGAffineTransformMakeRotation(angle));
        m_host->setBounds(CGRectMake(0, 0, size.width, size.height));
        m_host->setCenter(CGPointMake(CGRectGetMidX(frame), CGRectGetMidY(frame)));
        m_keys->setFrame(CGRectMake(0, size.height - keysHeight, size.width, keysHeight));
        if (accessory) {
            CGFloat height = accessory->frame().size.height;
            accessory->setFrame(CGRectMake(0, size.height - keysHeight - height, size.width, height));
            if (accessory->superview() != m_host)
                m_host->addSubview(accessory);
        }
        setHidden(false);
    }
    void hide()
    {
        if (m_accessory && m_accessory->superview() == m_host)
            m_accessory->removeFromSuperview();
        m_accessory = nullptr;
        setHidden(true);
    }
    const Ref<UIView>& accessory() const { return m_accessory; }

private:
    Ref<UIView> m_host;
    Ref<KeyboardKeysView> m_keys;
    Ref<UIView> m_accessory;
};

bool s_visible = false;
bool s_switching = false;
Ref<NSTimer> s_pendingTimer;
std::string s_pendingName;
Value s_pendingInfo;
Ref<KeyboardWindow> s_window;
// The accessory view shown above the keys, and the frame the last notification reported.
Ref<UIView> s_accessory;
CGRect s_shownFrame {};

UIInterfaceOrientation orientation()
{
    auto app = UIApplication::sharedApplication();
    return app ? app->statusBarOrientation() : UIInterfaceOrientationPortrait;
}

bool landscape()
{
    auto o = orientation();
    return o == UIInterfaceOrientationLandscapeLeft || o == UIInterfaceOrientationLandscapeRight;
}

CGFloat keysHeight()
{
    return landscape() ? kLandscapeHeight : kPortraitHeight;
}

CGFloat accessoryHeight(const Ref<UIView>& accessory)
{
    return accessory ? std::max<CGFloat>(0, accessory->frame().size.height) : 0;
}

// The band the keyboard (keys and accessory view) covers when shown, and where it starts from
// (just off screen).
CGRect shownFrame(bool offScreen, CGFloat thickness)
{
    CGRect screen = UIScreen::mainScreen()->bounds();
    CGFloat w = screen.size.width;
    CGFloat h = screen.size.height;
    switch (orientation()) {
    case UIInterfaceOrientationPortraitUpsideDown:
        return CGRectMake(0, offScreen ? -thickness : 0, w, thickness);
    case UIInterfaceOrientationLandscapeLeft:
        // The interface's bottom is the screen's left edge.
        return CGRectMake(offScreen ? -thickness : 0, 0, thickness, h);
    case UIInterfaceOrientationLandscapeRight:
        return CGRectMake(offScreen ? w : w - thickness, 0, thickness, h);
    default:
        return CGRectMake(0, offScreen ? h : h - thickness, w, thickness);
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

// Shows the keys and the accessory view in the keyboard's window, or takes them away.
void updateWindow()
{
    if (!s_visible) {
        if (s_window)
            s_window->hide();
        return;
    }
    if (!s_window)
        s_window = KeyboardWindow::initWithFrame(UIScreen::mainScreen()->bounds());
    s_window->setFrame(UIScreen::mainScreen()->bounds());
    s_window->showInFrame(s_shownFrame, keysHeight(), s_accessory, orientation());
}

// Posts the will-notification now and the did-notification once the animation's time has
// passed.
void announce(bool show, CGRect begin, CGRect end)
{
    Value info = userInfo(begin, end);
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

void move(bool show, const Ref<UIView>& accessory)
{
    flushPending();
    // Going down, the band keeps the accessory view it came up with.
    CGFloat thickness = keysHeight() + accessoryHeight(show ? accessory : s_accessory);
    CGRect on = shownFrame(false, thickness);
    CGRect off = shownFrame(true, thickness);
    s_visible = show;
    s_accessory = show ? accessory : nullptr;
    s_shownFrame = on;
    updateWindow();
    if (show)
        announce(true, off, on);
    else
        announce(false, on, off);
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
    return s_visible ? s_shownFrame : shownFrame(false, keysHeight());
}

Ref<UIWindow> window()
{
    return s_visible ? s_window : nullptr;
}

void inputDidBecomeFirstResponder(UIResponder* input)
{
    auto accessory = input ? input->inputAccessoryView() : nullptr;
    if (!s_visible) {
        move(true, accessory);
        return;
    }
    if (accessory == s_accessory)
        return;
    // Another input took over with a different accessory view: the keyboard stays up and, when
    // that changes the space it covers, says so.
    CGRect before = s_shownFrame;
    s_accessory = accessory;
    s_shownFrame = shownFrame(false, keysHeight() + accessoryHeight(accessory));
    updateWindow();
    if (!CGRectEqualToRect(before, s_shownFrame)) {
        flushPending();
        announce(true, before, s_shownFrame);
    }
}

void inputDidResignFirstResponder(UIResponder*)
{
    if (s_visible && !s_switching)
        move(false, nullptr);
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
    if (s_window)
        s_window->hide();
    s_window = nullptr;
    s_accessory = nullptr;
    s_shownFrame = {};
}

} // namespace UIKeyboard
