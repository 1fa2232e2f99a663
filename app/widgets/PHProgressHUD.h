#pragma once

#include "foundation/Dispatch.h"
#include "foundation/Locked.h"
#include "foundation/Value.h"
#include "graphics/CGAffineTransform.h"
#include "uikit/UIView.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

class NSDate;
class NSNotification;
class NSTimer;
class PHProgressHUD;
class UIColor;
class UIFont;
class UILabel;
class UIWindow;

// Told when an overlay has completely hidden.
class PHProgressHUDDelegate {
public:
    virtual ~PHProgressHUDDelegate() = default;
    virtual void hudWasHidden(const Ref<PHProgressHUD>&) { }
};

enum PHProgressHUDMode : int32_t {
    PHProgressHUDModeIndeterminate = 0, // a large white spinner
    PHProgressHUDModeDeterminate = 1, // a pie
    PHProgressHUDModeDeterminateHorizontalBar = 2, // a bar
    PHProgressHUDModeAnnularDeterminate = 3, // a ring
    PHProgressHUDModeCustomView = 4, // customView
    PHProgressHUDModeText = 5, // no indicator
};

enum PHProgressHUDAnimation : int32_t {
    PHProgressHUDAnimationFade = 0,
    PHProgressHUDAnimationZoomOut = 1,
    PHProgressHUDAnimationZoomIn = 2,
};

// The modal activity and progress overlay. It covers its parent view (so nothing beneath it
// gets touches while it is up) and draws, centred, a dark rounded panel with an indicator above
// a one-line label and a multi-line details label. It can fade or zoom, wait a grace time before
// appearing (shown then only while a task runs), stay up for a minimum time once shown, run a
// task on another thread or queue and hide when it ends, and follow the interface orientation
// when it sits directly on a window.
//
// Properties may be set from any thread (each is read and written whole under a lock); every
// visible change they cause is made on the main thread. Showing, hiding and the class
// operations are main thread only; timers run on the run loop of the thread that showed or hid.
class PHProgressHUD : public UIView {
    VX_OBJECT(PHProgressHUD, UIView)
public:
    using CompletionBlock = std::function<void()>;
    // The task of the selector form: called with the target and the argument.
    using Method = std::function<void(const Ref<NSObject>& target, const Value& object)>;

    explicit PHProgressHUD(Passkey key)
        : UIView(key)
    {
    }
    static Ref<PHProgressHUD> initWithFrame(CGRect frame) { return makeHUD<PHProgressHUD>(frame); }
    // An overlay the size of the view's bounds (a zero rectangle for nullptr).
    static Ref<PHProgressHUD> initWithView(const Ref<UIView>& view) { return makeHUDForView<PHProgressHUD>(view); }
    static Ref<PHProgressHUD> initWithWindow(const Ref<UIWindow>& window);

    // Class operations; each works on the class named, so a subclass finds and makes its own kind.
    template <typename T = PHProgressHUD> static Ref<T> showHUDAddedToAnimated(const Ref<UIView>& view, bool animated)
    {
        auto hud = makeHUDForView<T>(view);
        if (view)
            view->addSubview(hud);
        hud->show(animated);
        return hud;
    }
    template <typename T = PHProgressHUD> static bool hideHUDForViewAnimated(const Ref<UIView>& view, bool animated)
    {
        auto hud = HUDForView<T>(view);
        if (!hud)
            return false;
        hud->setRemoveFromSuperViewOnHide(true);
        hud->hide(animated);
        return true;
    }
    template <typename T = PHProgressHUD>
    static int32_t hideAllHUDsForViewAnimated(const Ref<UIView>& view, bool animated)
    {
        auto huds = allHUDsForView<T>(view);
        for (const auto& hud : huds) {
            hud->setRemoveFromSuperViewOnHide(true);
            hud->hide(animated);
        }
        return int32_t(huds.size());
    }
    // The topmost overlay of the kind among the view's subviews; nullptr when there is none.
    template <typename T = PHProgressHUD> static Ref<T> HUDForView(const Ref<UIView>& view)
    {
        if (!view)
            return nullptr;
        const auto& subviews = view->subviews();
        for (auto it = subviews.rbegin(); it != subviews.rend(); ++it)
            if ((*it)->isKindOfClass(T::classObject()))
                return std::static_pointer_cast<T>(*it);
        return nullptr;
    }
    // Every overlay of the kind among the view's subviews, in subview order.
    template <typename T = PHProgressHUD> static std::vector<Ref<T>> allHUDsForView(const Ref<UIView>& view)
    {
        std::vector<Ref<T>> huds;
        if (!view)
            return huds;
        for (const auto& subview : view->subviews())
            if (subview->isKindOfClass(T::classObject()))
                huds.push_back(std::static_pointer_cast<T>(subview));
        return huds;
    }

    void show(bool animated);
    void hide(bool animated);
    void hideAfterDelay(bool animated, double delay);
    void showWhileExecutingOnTargetWithObjectAnimated(
        Method method, const Ref<NSObject>& target, const Value& object, bool animated);
    void showAnimatedWhileExecutingBlock(bool animated, dispatch_block_t block);
    void showAnimatedWhileExecutingBlockCompletionBlock(
        bool animated, dispatch_block_t block, CompletionBlock completion);
    void showAnimatedWhileExecutingBlockOnQueue(bool animated, dispatch_block_t block, const dispatch_queue_t& queue);
    void showAnimatedWhileExecutingBlockOnQueueCompletionBlock(
        bool animated, dispatch_block_t block, const dispatch_queue_t& queue, CompletionBlock completion);

    // Properties.
    int32_t mode() const { return m_mode; }
    void setMode(int32_t mode);
    int32_t animationType() const { return m_animationType; }
    void setAnimationType(int32_t type) { m_animationType = type; }
    Ref<UIView> customView() const;
    void setCustomView(Ref<UIView> view);
    std::string labelText() const;
    void setLabelText(std::string text);
    std::string detailsLabelText() const;
    void setDetailsLabelText(std::string text);
    Ref<UIFont> labelFont() const;
    void setLabelFont(Ref<UIFont> font);
    Ref<UIFont> detailsLabelFont() const;
    void setDetailsLabelFont(Ref<UIFont> font);
    float progress() const { return m_progress; }
    void setProgress(float progress);
    float opacity() const { return m_opacity; }
    void setOpacity(float opacity) { m_opacity = opacity; }
    Ref<UIColor> color() const;
    void setColor(Ref<UIColor> color);
    float xOffset() const { return m_xOffset; }
    void setXOffset(float offset) { m_xOffset = offset; }
    float yOffset() const { return m_yOffset; }
    void setYOffset(float offset) { m_yOffset = offset; }
    float margin() const { return m_margin; }
    void setMargin(float margin) { m_margin = margin; }
    float graceTime() const { return m_graceTime; }
    void setGraceTime(float seconds) { m_graceTime = seconds; }
    float minShowTime() const { return m_minShowTime; }
    void setMinShowTime(float seconds) { m_minShowTime = seconds; }
    bool taskInProgress() const { return m_taskInProgress; }
    void setTaskInProgress(bool inProgress) { m_taskInProgress = inProgress; }
    bool dimBackground() const { return m_dimBackground; }
    void setDimBackground(bool dim) { m_dimBackground = dim; }
    bool removeFromSuperViewOnHide() const { return m_removeFromSuperViewOnHide; }
    void setRemoveFromSuperViewOnHide(bool remove) { m_removeFromSuperViewOnHide = remove; }
    bool isSquare() const { return m_square; }
    void setSquare(bool square) { m_square = square; }
    bool isFinished() const { return m_isFinished; }
    bool useAnimation() const { return m_useAnimation; }
    CGSize minSize() const;
    void setMinSize(CGSize size);
    // The panel size worked out by the last layout.
    CGSize size() const;
    CompletionBlock completionBlock() const;
    void setCompletionBlock(CompletionBlock block);
    void setDelegate(PHProgressHUDDelegate* delegate, Weak<NSObject> owner);
    PHProgressHUDDelegate* delegate() const;
    Ref<NSDate> showStarted() const;
    Ref<NSTimer> graceTimer() const;
    Ref<NSTimer> minShowTimer() const;
    CGAffineTransform rotationTransform() const;
    Ref<UIView> indicator() const;
    const Ref<UILabel>& label() const { return m_label; }
    const Ref<UILabel>& detailsLabel() const { return m_detailsLabel; }

    // The operations the timers, the task thread, the animation and the observers call.
    void hideDelayed(const Value& animated);
    void handleGraceTimer(const Ref<NSTimer>& timer);
    void handleMinShowTimer(const Ref<NSTimer>& timer);
    void showUsingAnimation(bool animated);
    void hideUsingAnimation(bool animated);
    void animationFinishedFinishedContext(const std::string& animationID, bool finished, void* context);
    void done();
    void launchExecution();
    void cleanUp();
    void setupLabels();
    void updateIndicators();
    void registerForKVO();
    void unregisterFromKVO();
    static const std::vector<std::string>& observableKeypaths();
    void updateUIForKeypath(const std::string& keyPath);
    void registerForNotifications();
    void unregisterFromNotifications();
    void deviceOrientationDidChange(const Ref<NSNotification>& notification);
    void setTransformForCurrentOrientation(bool animated);

    void layoutSubviews() override;
    void drawRect(CGRect rect) override;
    void didMoveToSuperview() override;
    void observeValueForKeyPath(
        const std::string& keyPath, const Ref<NSObject>& object, const Value& change, void* context) override;
    Value valueForKey(const std::string& key) override;

protected:
    // For subclasses' factories.
    template <typename T> static Ref<T> makeHUD(CGRect frame)
    {
        auto hud = makeView<T>(frame);
        hud->initHUD();
        return hud;
    }
    template <typename T> static Ref<T> makeHUDForView(const Ref<UIView>& view)
    {
        return makeHUD<T>(view ? view->bounds() : CGRectZero);
    }
    void initHUD();

private:
    Ref<PHProgressHUD> protectedHUD() { return self<PHProgressHUD>(); }

    // The delegate and the object whose life it shares, read and written together.
    struct DelegateLink {
        PHProgressHUDDelegate* delegate { nullptr };
        Weak<NSObject> owner;
    };
    // The task of the selector form, handed to the thread that runs it.
    struct Execution {
        Method method;
        Ref<NSObject> target;
        Value object;
    };

    std::atomic<bool> m_useAnimation { false };
    Locked<Execution> m_execution;
    Ref<UILabel> m_label;
    Ref<UILabel> m_detailsLabel;
    std::atomic<bool> m_isFinished { false };
    Locked<CGAffineTransform> m_rotationTransform { CGAffineTransformIdentity };
    std::atomic<bool> m_square { false };
    std::atomic<bool> m_dimBackground { false };
    std::atomic<bool> m_taskInProgress { false };
    std::atomic<bool> m_removeFromSuperViewOnHide { false };
    std::atomic<int32_t> m_animationType { PHProgressHUDAnimationFade };
    Locked<DelegateLink> m_delegateLink;
    std::atomic<float> m_opacity { 0.8f };
    Locked<Ref<UIColor>> m_color;
    Locked<Ref<UIFont>> m_labelFont;
    Locked<Ref<UIFont>> m_detailsLabelFont;
    Locked<Ref<UIView>> m_indicator;
    std::atomic<float> m_xOffset { 0 };
    std::atomic<float> m_yOffset { 0 };
    std::atomic<float> m_margin { 20 };
    std::atomic<float> m_graceTime { 0 };
    std::atomic<float> m_minShowTime { 0 };
    Locked<Ref<NSTimer>> m_graceTimer;
    Locked<Ref<NSTimer>> m_minShowTimer;
    Locked<Ref<UIView>> m_customView;
    Locked<Ref<NSDate>> m_showStarted;
    std::atomic<int32_t> m_mode { PHProgressHUDModeIndeterminate };
    Locked<std::string> m_labelText;
    Locked<std::string> m_detailsLabelText;
    std::atomic<float> m_progress { 0 };
    Locked<CompletionBlock> m_completionBlock;
    Locked<CGSize> m_minSize { CGSize { 0, 0 } };
    Locked<CGSize> m_size { CGSize { 0, 0 } };
};
