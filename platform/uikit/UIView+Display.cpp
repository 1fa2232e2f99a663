// UIView: layout and display passes, drawing into the layer, snapshots, and the update cycle.
#include "uikit/UIView.h"

#include "foundation/NSRunLoop.h"
#include "foundation/ThreadChecks.h"
#include "graphics/CGImage.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "uikit/UIViewController.h"
#include "uikit/UIViewInternal.h"
#include "uikit/UIWindow.h"

#include <algorithm>
#include <cmath>

namespace {
// Set by the default drawRect, so a display pass can tell whether a subclass drew.
bool s_defaultDrawRectRan = false;
} // namespace

std::set<Class>& UIViewInternal::nonDrawingClasses()
{
    static std::set<Class> s_classes;
    return s_classes;
}

using UIViewInternal::nonDrawingClasses;

// MARK: Layout and display

void UIView::setNeedsLayout()
{
    assertIsMainThread();
    m_layer->setNeedsLayout();
    UIViewUpdateCycle::schedule();
}

void UIView::layoutIfNeeded()
{
    assertIsMainThread();
    m_layer->layoutIfNeeded();
}

void UIView::layoutSubviews() { }

void UIView::layoutSublayersOfLayer(CALayer&)
{
    Ref<UIView> protectedThis = self<UIView>();
    if (auto controller = viewController())
        controller->viewWillLayoutSubviews();
    layoutSubviews();
    if (auto controller = viewController())
        controller->viewDidLayoutSubviews();
}

CGSize UIView::sizeThatFits(CGSize) const
{
    return bounds().size;
}

void UIView::sizeToFit()
{
    assertIsMainThread();
    CGSize size = sizeThatFits(bounds().size);
    CGRect f = frame();
    f.size = size;
    setFrame(f);
}

void UIView::setNeedsDisplay()
{
    assertIsMainThread();
    m_layer->setNeedsDisplay();
    UIViewUpdateCycle::schedule();
}

void UIView::setNeedsDisplayInRect(CGRect)
{
    setNeedsDisplay();
}

void UIView::drawRect(CGRect)
{
    s_defaultDrawRectRan = true;
}

namespace {
// Runs drawRect into a context and tells whether only the default drawRect ran and left the
// context blank: such a view draws nothing of its own.
bool drawsNothing(UIView& view, const CGContextRef& context, CGRect rect, bool pattern)
{
    bool wasDefault = s_defaultDrawRectRan;
    s_defaultDrawRectRan = false;
    UIGraphicsPushContext(context);
    view.drawRect(rect);
    UIGraphicsPopContext();
    bool defaultRan = s_defaultDrawRectRan;
    s_defaultDrawRectRan = wasDefault;
    if (!defaultRan || pattern)
        return false;
    auto* data = static_cast<const uint8_t*>(CGBitmapContextGetData(context));
    size_t length = CGBitmapContextGetBytesPerRow(context) * CGBitmapContextGetHeight(context);
    return !data || std::all_of(data, data + length, [](uint8_t byte) { return byte == 0; });
}
} // namespace

bool UIView::displayLayer(CALayer& layer)
{
    CGRect b = bounds();
    if (b.size.width <= 0 || b.size.height <= 0) {
        layer.setContents(nullptr);
        return true;
    }
    bool pattern = m_backgroundColor && m_backgroundColor->patternImage();
    CGFloat scale = m_layer->contentsScale() > 0 ? m_layer->contentsScale() : UIGraphicsScreenScale();
    if (std::ceil(static_cast<double>(b.size.width) * scale) > kCGMaximumBitmapDimension
        || std::ceil(static_cast<double>(b.size.height) * scale) > kCGMaximumBitmapDimension) {
        // Too large for a bitmap (a scroll view's content, say). Most such views only hold
        // others: find out with a one-pixel probe, so that a view which draws nothing is not
        // tried (and the failure logged) again on every pass.
        if (auto probe = UIGraphicsCreateImageContext(CGSizeMake(1, 1), false, 1);
            probe && drawsNothing(*this, probe, b, pattern)) {
            nonDrawingClasses().insert(objectClass());
            layer.setContents(nullptr);
            return true;
        }
    }
    auto context = UIGraphicsCreateImageContext(b.size, isOpaque(), m_layer->contentsScale());
    if (!context)
        return true;
    CGContextTranslateCTM(context, -b.origin.x, -b.origin.y);
    if (pattern) {
        UIGraphicsPushContext(context);
        m_backgroundColor->setFill();
        UIRectFill(b);
        UIGraphicsPopContext();
    }
    // The default drawRect draws nothing; keep an image only when a subclass drew after it.
    if (drawsNothing(*this, context, b, pattern)) {
        nonDrawingClasses().insert(objectClass());
        layer.setContents(nullptr);
        return true;
    }
    layer.setContents(CGBitmapContextCreateImage(context));
    return true;
}

bool UIView::drawLayerInContext(CALayer&, const CGContextRef& context)
{
    UIGraphicsPushContext(context);
    drawRect(bounds());
    UIGraphicsPopContext();
    return true;
}

bool UIView::drawViewHierarchyInRectAfterScreenUpdates(CGRect rect, bool afterUpdates)
{
    auto context = UIGraphicsGetCurrentContext();
    if (!context)
        return false;
    if (afterUpdates)
        UIViewUpdateCycle::run();
    CGRect b = bounds();
    if (b.size.width <= 0 || b.size.height <= 0)
        return false;
    CGContextSaveGState(context);
    CGContextTranslateCTM(context, rect.origin.x, rect.origin.y);
    CGContextScaleCTM(context, rect.size.width / b.size.width, rect.size.height / b.size.height);
    CGContextTranslateCTM(context, -b.origin.x, -b.origin.y);
    // renderInContext draws in the superlayer's space: undo this layer's own placement.
    CGContextConcatCTM(context, CGAffineTransformInvert(m_layer->transformToSuperlayer()));
    bool hidden = m_layer->isHidden();
    m_layer->setHidden(false);
    m_layer->renderInContext(context);
    m_layer->setHidden(hidden);
    CGContextRestoreGState(context);
    return true;
}

Ref<UIView> UIView::snapshotViewAfterScreenUpdates(bool afterUpdates)
{
    CGRect b = bounds();
    auto snapshot = UIView::initWithFrame(CGRectMake(0, 0, b.size.width, b.size.height));
    UIGraphicsBeginImageContextWithOptions(b.size, false, m_layer->contentsScale());
    drawViewHierarchyInRectAfterScreenUpdates(CGRectMake(0, 0, b.size.width, b.size.height), afterUpdates);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    if (image)
        snapshot->layer()->setContents(image->CGImage());
    return snapshot;
}

// MARK: Update cycle

namespace UIViewUpdateCycle {

namespace {
// Alive while a pass is queued on the main run loop. Held by the queued block, so a run loop
// reset that drops the block also ends the wait, and the next request queues a new pass.
Weak<NSObject> s_pendingToken;

void displayTree(const Ref<CALayer>& layer)
{
    if (layer->isHidden())
        return;
    layer->displayIfNeeded();
    for (auto& sublayer : std::vector<Ref<CALayer>>(layer->sublayers()))
        displayTree(sublayer);
}
} // namespace

void schedule()
{
    if (!s_pendingToken.expired())
        return;
    auto token = NSObject::init();
    s_pendingToken = token;
    NSRunLoop::mainRunLoop()->performInModesBlock({ NSRunLoopCommonModes }, [token] {
        s_pendingToken.reset();
        run();
    });
}

void run()
{
    auto windows = UIWindow::allWindows();
    for (auto& window : windows)
        window->layer()->layoutIfNeeded();
    for (auto& window : windows)
        displayTree(window->layer());
}

} // namespace UIViewUpdateCycle
