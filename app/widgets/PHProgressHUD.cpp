#include "app/widgets/PHProgressHUD.h"

#include "app/widgets/PHBarProgressView.h"
#include "app/widgets/PHRoundProgressView.h"
#include "foundation/NSDate.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSThread.h"
#include "foundation/NSTimer.h"
#include "graphics/CGContext.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"
#include "uikit/UIActivityIndicatorView.h"
#include "uikit/UIApplication.h"
#include "uikit/UIDevice.h"
#include "uikit/UILabel.h"
#include "uikit/UIWindow.h"

#include <cmath>

VX_REGISTER_CLASS(PHProgressHUD);

namespace {

constexpr CGFloat kPadding = 4;
constexpr double kAnimationDuration = 0.30;

// Rounded to the nearest integer, halves away from zero.
CGFloat rnd(CGFloat value)
{
    return std::round(value);
}

Value fontAttributes(const Ref<UIFont>& font)
{
    return Value::dictionary({ { Value("NSFont"), Value(font) } });
}

} // namespace

Ref<PHProgressHUD> PHProgressHUD::initWithWindow(const Ref<UIWindow>& window)
{
    return initWithView(window);
}

void PHProgressHUD::initHUD()
{
    m_labelFont.set(UIFont::boldSystemFontOfSize(16));
    m_detailsLabelFont.set(UIFont::boldSystemFontOfSize(12));
    setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleRightMargin
        | UIViewAutoresizingFlexibleTopMargin | UIViewAutoresizingFlexibleBottomMargin);
    setOpaque(false);
    setBackgroundColor(UIColor::clearColor());
    setAlpha(0);
    setupLabels();
    updateIndicators();
    registerForKVO();
    registerForNotifications();
}

// MARK: Properties

void PHProgressHUD::setMode(int32_t mode)
{
    willChangeValueForKey("mode");
    m_mode = mode;
    didChangeValueForKey("mode");
}

void PHProgressHUD::setProgress(float progress)
{
    willChangeValueForKey("progress");
    m_progress = progress;
    didChangeValueForKey("progress");
}

Ref<UIView> PHProgressHUD::customView() const
{
    return m_customView.get();
}

void PHProgressHUD::setCustomView(Ref<UIView> view)
{
    willChangeValueForKey("customView");
    m_customView.set(std::move(view));
    didChangeValueForKey("customView");
}

std::string PHProgressHUD::labelText() const
{
    return m_labelText.get();
}

void PHProgressHUD::setLabelText(std::string text)
{
    willChangeValueForKey("labelText");
    m_labelText.set(std::move(text));
    didChangeValueForKey("labelText");
}

std::string PHProgressHUD::detailsLabelText() const
{
    return m_detailsLabelText.get();
}

void PHProgressHUD::setDetailsLabelText(std::string text)
{
    willChangeValueForKey("detailsLabelText");
    m_detailsLabelText.set(std::move(text));
    didChangeValueForKey("detailsLabelText");
}

Ref<UIFont> PHProgressHUD::labelFont() const
{
    return m_labelFont.get();
}

void PHProgressHUD::setLabelFont(Ref<UIFont> font)
{
    willChangeValueForKey("labelFont");
    m_labelFont.set(std::move(font));
    didChangeValueForKey("labelFont");
}

Ref<UIFont> PHProgressHUD::detailsLabelFont() const
{
    return m_detailsLabelFont.get();
}

void PHProgressHUD::setDetailsLabelFont(Ref<UIFont> font)
{
    willChangeValueForKey("detailsLabelFont");
    m_detailsLabelFont.set(std::move(font));
    didChangeValueForKey("detailsLabelFont");
}

Ref<UIColor> PHProgressHUD::color() const
{
    return m_color.get();
}

void PHProgressHUD::setColor(Ref<UIColor> color)
{
    m_color.set(std::move(color));
}

CGSize PHProgressHUD::minSize() const
{
    return m_minSize.get();
}

void PHProgressHUD::setMinSize(CGSize size)
{
    m_minSize.set(size);
}

CGSize PHProgressHUD::size() const
{
    return m_size.get();
}

PHProgressHUD::CompletionBlock PHProgressHUD::completionBlock() const
{
    return m_completionBlock.get();
}

void PHProgressHUD::setCompletionBlock(CompletionBlock block)
{
    m_completionBlock.set(std::move(block));
}

void PHProgressHUD::setDelegate(PHProgressHUDDelegate* delegate, Weak<NSObject> owner)
{
    m_delegateLink.set({ delegate, std::move(owner) });
}

PHProgressHUDDelegate* PHProgressHUD::delegate() const
{
    return m_delegateLink.with([](const DelegateLink& link) { return link.owner.expired() ? nullptr : link.delegate; });
}

Ref<NSDate> PHProgressHUD::showStarted() const
{
    return m_showStarted.get();
}

Ref<NSTimer> PHProgressHUD::graceTimer() const
{
    return m_graceTimer.get();
}

Ref<NSTimer> PHProgressHUD::minShowTimer() const
{
    return m_minShowTimer.get();
}

CGAffineTransform PHProgressHUD::rotationTransform() const
{
    return m_rotationTransform.get();
}

Ref<UIView> PHProgressHUD::indicator() const
{
    return m_indicator.get();
}

Value PHProgressHUD::valueForKey(const std::string& key)
{
    if (key == "mode")
        return Value(m_mode.load());
    if (key == "customView")
        return Value(customView());
    if (key == "labelText")
        return Value(labelText());
    if (key == "detailsLabelText")
        return Value(detailsLabelText());
    if (key == "labelFont")
        return Value(labelFont());
    if (key == "detailsLabelFont")
        return Value(detailsLabelFont());
    if (key == "progress")
        return Value(double(m_progress.load()));
    return UIView::valueForKey(key);
}

// MARK: Showing and hiding

void PHProgressHUD::show(bool animated)
{
    m_useAnimation = animated;
    if (m_graceTime > 0.0f) {
        auto timer = NSTimer::scheduledTimerWithTimeIntervalTargetSelectorUserInfoRepeats(
            m_graceTime, protectedHUD(), &PHProgressHUD::handleGraceTimer, Value(), false);
        m_graceTimer.set(timer);
        return;
    }
    setNeedsDisplay();
    showUsingAnimation(m_useAnimation);
}

void PHProgressHUD::hide(bool animated)
{
    m_useAnimation = animated;
    float minShowTime = m_minShowTime;
    auto started = showStarted();
    if (minShowTime > 0.0f && started) {
        double interval = NSDate::date()->timeIntervalSinceDate(started);
        if (interval < minShowTime) {
            auto timer = NSTimer::scheduledTimerWithTimeIntervalTargetSelectorUserInfoRepeats(
                minShowTime - interval, protectedHUD(), &PHProgressHUD::handleMinShowTimer, Value(), false);
            m_minShowTimer.set(timer);
            return;
        }
    }
    hideUsingAnimation(m_useAnimation);
}

void PHProgressHUD::hideAfterDelay(bool animated, double delay)
{
    Weak<PHProgressHUD> weak = protectedHUD();
    performSelectorAfterDelay(
        protectedHUD(), "hideDelayed:",
        [weak, animated] {
            if (auto hud = weak.lock())
                hud->hideDelayed(Value(animated));
        },
        delay);
}

void PHProgressHUD::hideDelayed(const Value& animated)
{
    hide(animated.boolValue());
}

void PHProgressHUD::handleGraceTimer(const Ref<NSTimer>&)
{
    // Shown only when a task is still running.
    if (m_taskInProgress) {
        setNeedsDisplay();
        showUsingAnimation(m_useAnimation);
    }
}

void PHProgressHUD::handleMinShowTimer(const Ref<NSTimer>&)
{
    hideUsingAnimation(m_useAnimation);
}

void PHProgressHUD::showUsingAnimation(bool animated)
{
    CGAffineTransform rotation = rotationTransform();
    int32_t type = m_animationType;
    if (animated && type == PHProgressHUDAnimationZoomIn)
        setTransform(CGAffineTransformScale(rotation, 0.5f, 0.5f));
    else if (animated && type == PHProgressHUDAnimationZoomOut)
        setTransform(CGAffineTransformScale(rotation, 1.5f, 1.5f));
    m_showStarted.set(NSDate::date());
    if (animated) {
        UIView::beginAnimations({}, nullptr);
        UIView::setAnimationDuration(kAnimationDuration);
        setAlpha(1.0f);
        if (type == PHProgressHUDAnimationZoomIn || type == PHProgressHUDAnimationZoomOut)
            setTransform(rotation);
        UIView::commitAnimations();
    } else {
        setAlpha(1.0f);
    }
}

void PHProgressHUD::hideUsingAnimation(bool animated)
{
    if (animated && showStarted()) {
        Weak<PHProgressHUD> weak = protectedHUD();
        UIView::beginAnimations({}, nullptr);
        UIView::setAnimationDuration(kAnimationDuration);
        UIView::setAnimationDidStop([weak](const std::string& animationID, bool finished, void* context) {
            if (auto hud = weak.lock())
                hud->animationFinishedFinishedContext(animationID, finished, context);
        });
        // 0.02 rather than 0 keeps the overlay taking touches until the animation ends.
        CGAffineTransform rotation = rotationTransform();
        if (m_animationType == PHProgressHUDAnimationZoomIn)
            setTransform(CGAffineTransformScale(rotation, 1.5f, 1.5f));
        else if (m_animationType == PHProgressHUDAnimationZoomOut)
            setTransform(CGAffineTransformScale(rotation, 0.5f, 0.5f));
        setAlpha(0.02f);
        UIView::commitAnimations();
    } else {
        setAlpha(0.0f);
        done();
    }
    m_showStarted.set(nullptr);
}

void PHProgressHUD::animationFinishedFinishedContext(const std::string&, bool, void*)
{
    done();
}

void PHProgressHUD::done()
{
    Ref<PHProgressHUD> protectedThis = protectedHUD();
    m_isFinished = true;
    setAlpha(0.0f);
    DelegateLink link = m_delegateLink.get();
    Ref<NSObject> owner = link.owner.lock();
    PHProgressHUDDelegate* target = link.delegate;
    // The owner is held across the call so the delegate cannot go away inside it.
    if (owner && target)
        target->hudWasHidden(protectedThis);
    if (auto completion = completionBlock()) {
        completion();
        setCompletionBlock(nullptr);
    }
    if (m_removeFromSuperViewOnHide)
        removeFromSuperview();
}

// MARK: Tasks

void PHProgressHUD::showWhileExecutingOnTargetWithObjectAnimated(
    Method method, const Ref<NSObject>& target, const Value& object, bool animated)
{
    m_execution.set({ std::move(method), target, object });
    m_taskInProgress = true;
    Weak<PHProgressHUD> weak = protectedHUD();
    NSThread::detachNewThreadWithBlock([weak] {
        if (auto hud = weak.lock())
            hud->launchExecution();
    });
    show(animated);
}

void PHProgressHUD::launchExecution()
{
    Execution execution = m_execution.get();
    if (execution.method)
        execution.method(execution.target, execution.object);
    Weak<PHProgressHUD> weak = protectedHUD();
    performSelectorOnMainThread(
        [weak] {
            if (auto hud = weak.lock())
                hud->cleanUp();
        },
        false);
}

void PHProgressHUD::showAnimatedWhileExecutingBlock(bool animated, dispatch_block_t block)
{
    showAnimatedWhileExecutingBlockOnQueueCompletionBlock(
        animated, std::move(block), dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), nullptr);
}

void PHProgressHUD::showAnimatedWhileExecutingBlockCompletionBlock(
    bool animated, dispatch_block_t block, CompletionBlock completion)
{
    showAnimatedWhileExecutingBlockOnQueueCompletionBlock(animated, std::move(block),
        dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), std::move(completion));
}

void PHProgressHUD::showAnimatedWhileExecutingBlockOnQueue(
    bool animated, dispatch_block_t block, const dispatch_queue_t& queue)
{
    showAnimatedWhileExecutingBlockOnQueueCompletionBlock(animated, std::move(block), queue, nullptr);
}

void PHProgressHUD::showAnimatedWhileExecutingBlockOnQueueCompletionBlock(
    bool animated, dispatch_block_t block, const dispatch_queue_t& queue, CompletionBlock completion)
{
    m_taskInProgress = true;
    setCompletionBlock(std::move(completion));
    Weak<PHProgressHUD> weak = protectedHUD();
    dispatch_async(queue, [block = std::move(block), weak] {
        if (block)
            block();
        dispatch_async(dispatch_get_main_queue(), [weak] {
            if (auto hud = weak.lock())
                hud->cleanUp();
        });
    });
    show(animated);
}

void PHProgressHUD::cleanUp()
{
    m_taskInProgress = false;
    m_indicator.set(nullptr);
    m_execution.with([](Execution& execution) {
        execution.target = nullptr;
        execution.object = Value();
    });
    hide(m_useAnimation);
}

// MARK: Labels and indicators

void PHProgressHUD::setupLabels()
{
    auto makeLabel = [&](const Ref<UIFont>& font, const std::string& text) {
        auto label = UILabel::initWithFrame(bounds());
        label->setAdjustsFontSizeToFitWidth(false);
        label->setTextAlignment(NSTextAlignmentCenter);
        label->setOpaque(false);
        label->setBackgroundColor(UIColor::clearColor());
        label->setTextColor(UIColor::whiteColor());
        label->setFont(font);
        label->setText(text);
        return label;
    };
    m_label = makeLabel(labelFont(), labelText());
    m_detailsLabel = makeLabel(detailsLabelFont(), detailsLabelText());
    m_detailsLabel->setNumberOfLines(0);
    addSubview(m_label);
    addSubview(m_detailsLabel);
}

void PHProgressHUD::updateIndicators()
{
    auto current = indicator();
    auto replace = [&](const Ref<UIView>& next) {
        if (current)
            current->removeFromSuperview();
        m_indicator.set(next);
        if (next)
            addSubview(next);
    };
    switch (int32_t(m_mode)) {
    case PHProgressHUDModeIndeterminate:
        if (!current || !current->isKindOfClass(UIActivityIndicatorView::classObject())) {
            auto spinner
                = UIActivityIndicatorView::initWithActivityIndicatorStyle(UIActivityIndicatorViewStyleWhiteLarge);
            spinner->startAnimating();
            replace(spinner);
        }
        break;
    case PHProgressHUDModeDeterminate:
    case PHProgressHUDModeAnnularDeterminate:
        // A round view already there stays as it is (a ring stays a ring).
        if (!current || !current->isKindOfClass(PHRoundProgressView::classObject()))
            replace(PHRoundProgressView::init());
        if (m_mode == PHProgressHUDModeAnnularDeterminate)
            std::static_pointer_cast<PHRoundProgressView>(indicator())->setAnnular(true);
        break;
    case PHProgressHUDModeDeterminateHorizontalBar:
        replace(PHBarProgressView::init());
        break;
    case PHProgressHUDModeCustomView: {
        auto custom = customView();
        if (current != custom || !custom)
            replace(custom);
        break;
    }
    case PHProgressHUDModeText:
        replace(nullptr);
        break;
    default:
        break;
    }
}

// MARK: Observing itself

const std::vector<std::string>& PHProgressHUD::observableKeypaths()
{
    static const std::vector<std::string> s_keyPaths
        = { "mode", "customView", "labelText", "labelFont", "detailsLabelText", "detailsLabelFont", "progress" };
    return s_keyPaths;
}

void PHProgressHUD::registerForKVO()
{
    auto self = protectedHUD();
    for (const auto& keyPath : observableKeypaths())
        addObserver(self, keyPath, NSKeyValueObservingOptionNew, nullptr);
}

void PHProgressHUD::unregisterFromKVO()
{
    auto self = protectedHUD();
    for (const auto& keyPath : observableKeypaths())
        removeObserver(self, keyPath);
}

void PHProgressHUD::observeValueForKeyPath(const std::string& keyPath, const Ref<NSObject>&, const Value&, void*)
{
    if (NSThread::isMainThread()) {
        updateUIForKeypath(keyPath);
        return;
    }
    Weak<PHProgressHUD> weak = protectedHUD();
    performSelectorOnMainThread(
        [weak, keyPath] {
            if (auto hud = weak.lock())
                hud->updateUIForKeypath(keyPath);
        },
        false);
}

void PHProgressHUD::updateUIForKeypath(const std::string& keyPath)
{
    if (keyPath == "mode" || keyPath == "customView") {
        updateIndicators();
    } else if (keyPath == "labelText") {
        m_label->setText(labelText());
    } else if (keyPath == "labelFont") {
        m_label->setFont(labelFont());
    } else if (keyPath == "detailsLabelText") {
        m_detailsLabel->setText(detailsLabelText());
    } else if (keyPath == "detailsLabelFont") {
        m_detailsLabel->setFont(detailsLabelFont());
    } else if (keyPath == "progress") {
        auto current = indicator();
        if (auto round = std::dynamic_pointer_cast<PHRoundProgressView>(current))
            round->setProgress(m_progress);
        else if (auto bar = std::dynamic_pointer_cast<PHBarProgressView>(current))
            bar->setProgress(m_progress);
        return;
    }
    setNeedsLayout();
    setNeedsDisplay();
}

// MARK: Orientation

void PHProgressHUD::registerForNotifications()
{
    NSNotificationCenter::defaultCenter()->addObserver(protectedHUD(), &PHProgressHUD::deviceOrientationDidChange,
        std::string(UIDeviceOrientationDidChangeNotification), nullptr);
}

void PHProgressHUD::unregisterFromNotifications()
{
    NSNotificationCenter::defaultCenter()->removeObserver(
        protectedHUD(), std::string(UIDeviceOrientationDidChangeNotification), nullptr);
}

void PHProgressHUD::deviceOrientationDidChange(const Ref<NSNotification>&)
{
    auto parent = superview();
    if (!parent)
        return;
    if (parent->isKindOfClass(UIWindow::classObject())) {
        setTransformForCurrentOrientation(true);
    } else {
        setBounds(parent->bounds());
        setNeedsDisplay();
    }
}

void PHProgressHUD::didMoveToSuperview()
{
    UIView::didMoveToSuperview();
    auto parent = superview();
    if (parent && parent->isKindOfClass(UIWindow::classObject()))
        setTransformForCurrentOrientation(false);
}

void PHProgressHUD::setTransformForCurrentOrientation(bool animated)
{
    if (auto parent = superview()) {
        setBounds(parent->bounds());
        setNeedsDisplay();
    }
    auto application = UIApplication::sharedApplication();
    int32_t orientation = application ? application->statusBarOrientation() : UIInterfaceOrientationPortrait;
    CGFloat angle = 0;
    if (orientation == UIInterfaceOrientationLandscapeRight || orientation == UIInterfaceOrientationLandscapeLeft) {
        angle = orientation == UIInterfaceOrientationLandscapeRight ? float(M_PI_2) : float(-M_PI_2);
        CGRect current = bounds();
        setBounds(CGRectMake(0, 0, current.size.height, current.size.width));
    } else if (orientation == UIInterfaceOrientationPortraitUpsideDown) {
        angle = float(M_PI);
    }
    CGAffineTransform rotation = CGAffineTransformMakeRotation(angle);
    m_rotationTransform.set(rotation);
    if (animated)
        UIView::beginAnimations({}, nullptr);
    setTransform(rotation);
    if (animated)
        UIView::commitAnimations();
}

// MARK: Layout and drawing

void PHProgressHUD::layoutSubviews()
{
    UIView::layoutSubviews();
    if (auto parent = superview())
        setFrame(parent->bounds());
    CGRect all = bounds();
    const CGFloat W = all.size.width, H = all.size.height;
    const CGFloat margin = m_margin;
    const CGFloat maxWidth = W - 4 * margin;

    auto current = indicator();
    CGSize indicatorSize = current ? current->bounds().size : CGSizeZero;
    indicatorSize.width = std::min(indicatorSize.width, maxWidth);

    std::string text = labelText();
    CGSize labelSize
        = text.empty() ? CGSizeZero : NSString_Drawing::sizeWithAttributes(text, fontAttributes(m_label->font()));
    labelSize.width = std::min(labelSize.width, maxWidth);

    CGFloat totalWidth = std::max(indicatorSize.width, labelSize.width);
    CGFloat totalHeight = indicatorSize.height + labelSize.height;
    if (labelSize.height > 0 && indicatorSize.height > 0)
        totalHeight += kPadding;

    std::string details = detailsLabelText();
    CGFloat remainingHeight = H - totalHeight - kPadding - 4 * margin;
    CGSize detailsSize = details.empty()
        ? CGSizeZero
        : NSString_Drawing::boundingRectWithSize(details, CGSizeMake(maxWidth, remainingHeight),
            NSStringDrawingUsesLineFragmentOrigin, fontAttributes(m_detailsLabel->font()))
              .size;
    totalWidth = std::max(totalWidth, detailsSize.width);
    totalHeight += detailsSize.height;
    if (detailsSize.height > 0 && (indicatorSize.height > 0 || labelSize.height > 0))
        totalHeight += kPadding;

    totalWidth += 2 * margin;
    totalHeight += 2 * margin;

    CGFloat y = rnd((H - totalHeight) / 2) + margin + m_yOffset;
    const CGFloat xOffset = m_xOffset;
    if (current) {
        current->setFrame(
            CGRectMake(rnd((W - indicatorSize.width) / 2) + xOffset, y, indicatorSize.width, indicatorSize.height));
        y += indicatorSize.height;
    }
    if (labelSize.height > 0 && indicatorSize.height > 0)
        y += kPadding;
    m_label->setFrame(CGRectMake(rnd((W - labelSize.width) / 2) + xOffset, y, labelSize.width, labelSize.height));
    y += labelSize.height;
    if (detailsSize.height > 0 && (indicatorSize.height > 0 || labelSize.height > 0))
        y += kPadding;
    m_detailsLabel->setFrame(
        CGRectMake(rnd((W - detailsSize.width) / 2) + xOffset, y, detailsSize.width, detailsSize.height));

    if (m_square) {
        CGFloat side = std::max(totalWidth, totalHeight);
        if (side <= W - 2 * margin)
            totalWidth = side;
        if (side <= H - 2 * margin)
            totalHeight = side;
    }
    CGSize smallest = minSize();
    totalWidth = std::max(totalWidth, smallest.width);
    totalHeight = std::max(totalHeight, smallest.height);
    m_size.set(CGSizeMake(totalWidth, totalHeight));
}

void PHProgressHUD::drawRect(CGRect)
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context)
        return;
    CGContextSaveGState(context);
    CGRect all = bounds();
    if (m_dimBackground) {
        const CGFloat locations[2] = { 0.0f, 1.0f };
        const CGFloat colors[8] = { 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.75f };
        auto gradient = CGGradientCreateWithColorComponents(CGColorSpaceCreateDeviceRGB(), colors, locations, 2);
        CGPoint center = CGPointMake(all.size.width / 2, all.size.height / 2);
        float radius = std::min(all.size.width, all.size.height);
        CGContextDrawRadialGradient(context, gradient, center, 0, center, radius, kCGGradientDrawsAfterEndLocation);
    }
    if (auto fill = color())
        CGContextSetFillColorWithColor(context, fill->CGColor());
    else
        CGContextSetGrayFillColor(context, 0.0f, m_opacity);

    CGSize panel = size();
    CGRect box = CGRectMake(rnd((all.size.width - panel.width) / 2) + m_xOffset,
        rnd((all.size.height - panel.height) / 2) + m_yOffset, panel.width, panel.height);
    const float radius = 10.0f;
    const CGFloat pi = float(M_PI);
    CGContextBeginPath(context);
    CGContextMoveToPoint(context, CGRectGetMinX(box) + radius, CGRectGetMinY(box));
    CGContextAddArc(context, CGRectGetMaxX(box) - radius, CGRectGetMinY(box) + radius, radius, 3 * pi / 2, 0, 0);
    CGContextAddArc(context, CGRectGetMaxX(box) - radius, CGRectGetMaxY(box) - radius, radius, 0, pi / 2, 0);
    CGContextAddArc(context, CGRectGetMinX(box) + radius, CGRectGetMaxY(box) - radius, radius, pi / 2, pi, 0);
    CGContextAddArc(context, CGRectGetMinX(box) + radius, CGRectGetMinY(box) + radius, radius, pi, 3 * pi / 2, 0);
    CGContextClosePath(context);
    CGContextFillPath(context);
    CGContextRestoreGState(context);
}
