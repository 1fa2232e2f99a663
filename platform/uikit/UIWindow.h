#pragma once

#include "uikit/UIView.h"

using UIWindowLevel = CGFloat;
inline constexpr UIWindowLevel UIWindowLevelNormal = 0;
inline constexpr UIWindowLevel UIWindowLevelStatusBar = 1000;
inline constexpr UIWindowLevel UIWindowLevelAlert = 2000;

inline constexpr const char* UIWindowDidBecomeVisibleNotification = "UIWindowDidBecomeVisibleNotification";
inline constexpr const char* UIWindowDidBecomeHiddenNotification = "UIWindowDidBecomeHiddenNotification";
inline constexpr const char* UIWindowDidBecomeKeyNotification = "UIWindowDidBecomeKeyNotification";
inline constexpr const char* UIWindowDidResignKeyNotification = "UIWindowDidResignKeyNotification";

// The root of a view tree on the screen. Windows start hidden; makeKeyAndVisible shows one and
// makes it the application's key window, which receives the host's touches. The root view
// controller's view fills the window. Main thread only.
class UIWindow : public UIView {
    VX_OBJECT(UIWindow, UIView)
public:
    explicit UIWindow(Passkey key)
        : UIView(key)
    {
    }
    ~UIWindow() override;
    static Ref<UIWindow> init();
    static Ref<UIWindow> initWithFrame(CGRect frame);

    const Ref<UIViewController>& rootViewController() const { return m_rootViewController; }
    void setRootViewController(const Ref<UIViewController>& controller);

    void makeKeyAndVisible();
    void makeKeyWindow();
    bool isKeyWindow() const;
    virtual void becomeKeyWindow();
    virtual void resignKeyWindow();
    UIWindowLevel windowLevel() const { return m_windowLevel; }
    void setWindowLevel(UIWindowLevel level) { m_windowLevel = level; }
    void setHidden(bool hidden) override;

    // Delivers the touches of an event that changed (stationary ones are left out): first to
    // the recognizers of each touch, each recognizer getting its own touches of one phase
    // together, then to the views the touches began in (their hit-test views), unless a
    // recognizer took them. A touch that begins while another view holds a touch is dropped
    // when either view is exclusive-touch: it reaches no recognizer and no view.
    virtual void sendEvent(const Ref<UIEvent>& event);

    CGPoint convertPointToWindow(CGPoint point, const Ref<UIWindow>& window) const;
    CGPoint convertPointFromWindow(CGPoint point, const Ref<UIWindow>& window) const;

    Ref<UIResponder> nextResponder() const override;

    // Every window alive, in the order made (the update cycle lays them out in this order).
    static std::vector<Ref<UIWindow>> allWindows();

protected:
    template <typename T> static Ref<T> makeWindow(CGRect frame)
    {
        auto window = makeView<T>(frame);
        window->registerWindow();
        return window;
    }

private:
    void registerWindow();
    void installRootView();
    // Whether a new touch may be delivered, given the touches this window already holds.
    bool admitsTouch(const Ref<UITouch>& touch);
    void attachRecognizers(const Ref<UITouch>& touch);

    Ref<UIViewController> m_rootViewController;
    UIWindowLevel m_windowLevel { UIWindowLevelNormal };
    // The touches down in this window, in the order they began.
    std::vector<Weak<UITouch>> m_activeTouches;
};
