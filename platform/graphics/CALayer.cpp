#include "graphics/CALayer.h"

#include "foundation/NSRunLoop.h"
#include "graphics/CAAnimation.h"
#include "graphics/CATransaction.h"
#include "graphics/NSValue.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

#include <algorithm>
#include <cmath>

CALayer::CALayer(Passkey key)
    : NSObject(key)
{
}

Ref<CALayer> CALayer::layer()
{
    return make<CALayer>();
}

void CALayer::setBounds(CGRect bounds)
{
    bool sizeChanged = !CGSizeEqualToSize(bounds.size, m_bounds.size);
    m_bounds = bounds;
    if (sizeChanged) {
        if (m_needsDisplayOnBoundsChange)
            m_needsDisplay = true;
        m_needsLayout = true;
        if (auto super = superlayer())
            super->m_needsLayout = true;
    }
}

void CALayer::setPosition(CGPoint position)
{
    m_position = position;
}
void CALayer::setAnchorPoint(CGPoint anchorPoint)
{
    m_anchorPoint = anchorPoint;
}
void CALayer::setTransform(const CATransform3D& transform)
{
    m_transform = transform;
}
void CALayer::setOpacity(float opacity)
{
    m_opacity = std::clamp(opacity, 0.0f, 1.0f);
}

CGAffineTransform CALayer::transformToSuperlayer() const
{
    // Layer point p maps to: position + T(p - bounds.origin - anchor * size).
    CGAffineTransform t = CGAffineTransformMakeTranslation(-m_bounds.origin.x - m_anchorPoint.x * m_bounds.size.width,
        -m_bounds.origin.y - m_anchorPoint.y * m_bounds.size.height);
    t = CGAffineTransformConcat(t, CATransform3DGetAffineTransform(m_transform));
    t = CGAffineTransformConcat(t, CGAffineTransformMakeTranslation(m_position.x, m_position.y));
    if (auto super = superlayer()) {
        if (!CATransform3DIsIdentity(super->m_sublayerTransform)) {
            // The superlayer's sublayer transform applies around its own anchor point.
            CGSize s = super->m_bounds.size;
            CGPoint a { super->m_bounds.origin.x + super->m_anchorPoint.x * s.width,
                super->m_bounds.origin.y + super->m_anchorPoint.y * s.height };
            CGAffineTransform around = CGAffineTransformConcat(CGAffineTransformMakeTranslation(-a.x, -a.y),
                CGAffineTransformConcat(CATransform3DGetAffineTransform(super->m_sublayerTransform),
                    CGAffineTransformMakeTranslation(a.x, a.y)));
            t = CGAffineTransformConcat(t, around);
        }
    }
    return t;
}

CGRect CALayer::frame() const
{
    CGAffineTransform t = CGAffineTransformMakeTranslation(-m_bounds.origin.x - m_anchorPoint.x * m_bounds.size.width,
        -m_bounds.origin.y - m_anchorPoint.y * m_bounds.size.height);
    t = CGAffineTransformConcat(t, CATransform3DGetAffineTransform(m_transform));
    t = CGAffineTransformConcat(t, CGAffineTransformMakeTranslation(m_position.x, m_position.y));
    return CGRectApplyAffineTransform(m_bounds, t);
}

void CALayer::setFrame(CGRect frame)
{
    frame = CGRectStandardize(frame);
    if (CATransform3DIsIdentity(m_transform)) {
        setBounds(CGRectMake(m_bounds.origin.x, m_bounds.origin.y, frame.size.width, frame.size.height));
        m_position = { frame.origin.x + m_anchorPoint.x * frame.size.width,
            frame.origin.y + m_anchorPoint.y * frame.size.height };
        return;
    }
    // With a transform only the position follows the frame's centre, as on the platform.
    CGRect current = this->frame();
    m_position.x += CGRectGetMidX(frame) - CGRectGetMidX(current);
    m_position.y += CGRectGetMidY(frame) - CGRectGetMidY(current);
}

void CALayer::setSublayers(std::vector<Ref<CALayer>> layers)
{
    for (auto& layer : std::vector<Ref<CALayer>>(m_sublayers))
        layer->removeFromSuperlayer();
    for (auto& layer : layers)
        addSublayer(layer);
}

void CALayer::addSublayer(const Ref<CALayer>& layer)
{
    insertSublayerAtIndex(layer, m_sublayers.size());
}

void CALayer::insertSublayerAtIndex(const Ref<CALayer>& layer, size_t index)
{
    if (!layer || layer.get() == this)
        return;
    Ref<CALayer> keep = layer;
    if (auto old = layer->superlayer()) {
        if (old.get() == this) {
            auto it = std::find(m_sublayers.begin(), m_sublayers.end(), layer);
            size_t oldIndex = static_cast<size_t>(it - m_sublayers.begin());
            m_sublayers.erase(it);
            if (oldIndex < index)
                --index;
        } else {
            layer->removeFromSuperlayer();
        }
    }
    index = std::min(index, m_sublayers.size());
    m_sublayers.insert(m_sublayers.begin() + static_cast<ptrdiff_t>(index), keep);
    keep->m_superlayer = self<CALayer>();
    m_needsLayout = true;
}

void CALayer::insertSublayerBelow(const Ref<CALayer>& layer, const Ref<CALayer>& sibling)
{
    auto it = std::find(m_sublayers.begin(), m_sublayers.end(), sibling);
    insertSublayerAtIndex(layer, it == m_sublayers.end() ? 0 : static_cast<size_t>(it - m_sublayers.begin()));
}

void CALayer::insertSublayerAbove(const Ref<CALayer>& layer, const Ref<CALayer>& sibling)
{
    auto it = std::find(m_sublayers.begin(), m_sublayers.end(), sibling);
    insertSublayerAtIndex(
        layer, it == m_sublayers.end() ? m_sublayers.size() : static_cast<size_t>(it - m_sublayers.begin()) + 1);
}

void CALayer::replaceSublayerWith(const Ref<CALayer>& old, const Ref<CALayer>& replacement)
{
    auto it = std::find(m_sublayers.begin(), m_sublayers.end(), old);
    if (it == m_sublayers.end())
        return;
    size_t index = static_cast<size_t>(it - m_sublayers.begin());
    old->removeFromSuperlayer();
    insertSublayerAtIndex(replacement, index);
}

void CALayer::removeFromSuperlayer()
{
    auto super = superlayer();
    if (!super)
        return;
    Ref<CALayer> keep = self<CALayer>();
    auto& list = super->m_sublayers;
    list.erase(std::remove(list.begin(), list.end(), keep), list.end());
    m_superlayer.reset();
    super->m_needsLayout = true;
}

void CALayer::setDelegate(CALayerDelegate* delegate, Weak<NSObject> owner)
{
    m_delegate = delegate;
    m_delegateOwner = std::move(owner);
    m_hasDelegate = delegate != nullptr;
}

CALayerDelegate* CALayer::delegate() const
{
    // The delegate is valid only while its owning object lives.
    if (!m_hasDelegate || m_delegateOwner.expired())
        return nullptr;
    return m_delegate;
}

void CALayer::displayIfNeeded()
{
    if (m_needsDisplay)
        display();
}

void CALayer::display()
{
    m_needsDisplay = false;
    auto owner = m_delegateOwner.lock();
    if (auto* d = delegate()) {
        if (d->displayLayer(*this))
            return;
    }
    if (m_bounds.size.width <= 0 || m_bounds.size.height <= 0) {
        m_contents = nullptr;
        return;
    }
    auto context = UIGraphicsCreateImageContext(m_bounds.size, m_opaque, m_contentsScale);
    if (!context)
        return;
    CGContextTranslateCTM(context, -m_bounds.origin.x, -m_bounds.origin.y);
    drawInContext(context);
    m_contents = CGBitmapContextCreateImage(context);
}

void CALayer::drawInContext(const CGContextRef& context)
{
    auto owner = m_delegateOwner.lock();
    if (auto* d = delegate())
        d->drawLayerInContext(*this, context);
}

void CALayer::layoutIfNeeded()
{
    if (m_needsLayout) {
        m_needsLayout = false;
        layoutSublayers();
    }
    for (auto& layer : std::vector<Ref<CALayer>>(m_sublayers))
        layer->layoutIfNeeded();
}

void CALayer::layoutSublayers()
{
    auto owner = m_delegateOwner.lock();
    if (auto* d = delegate())
        d->layoutSublayersOfLayer(*this);
}

namespace {

// Transform from `layer`'s space to the root of its tree.
CGAffineTransform toRoot(const CALayer* layer)
{
    CGAffineTransform t = CGAffineTransformIdentity;
    for (const CALayer* l = layer; l; l = l->superlayer().get()) {
        if (!l->superlayer())
            break;
        t = CGAffineTransformConcat(t, l->transformToSuperlayer());
    }
    return t;
}

} // namespace

CGPoint CALayer::convertPointToLayer(CGPoint point, const Ref<CALayer>& layer) const
{
    CGPoint root = CGPointApplyAffineTransform(point, toRoot(this));
    if (!layer)
        return root;
    return CGPointApplyAffineTransform(root, CGAffineTransformInvert(toRoot(layer.get())));
}

CGPoint CALayer::convertPointFromLayer(CGPoint point, const Ref<CALayer>& layer) const
{
    CGPoint root = layer ? CGPointApplyAffineTransform(point, toRoot(layer.get())) : point;
    return CGPointApplyAffineTransform(root, CGAffineTransformInvert(toRoot(this)));
}

CGRect CALayer::convertRectToLayer(CGRect rect, const Ref<CALayer>& layer) const
{
    CGAffineTransform t = toRoot(this);
    if (layer)
        t = CGAffineTransformConcat(t, CGAffineTransformInvert(toRoot(layer.get())));
    return CGRectApplyAffineTransform(rect, t);
}

bool CALayer::containsPoint(CGPoint point) const
{
    CGRect b = m_bounds;
    return point.x >= b.origin.x && point.x <= b.origin.x + b.size.width && point.y >= b.origin.y
        && point.y <= b.origin.y + b.size.height;
}

Ref<CALayer> CALayer::hitTest(CGPoint point)
{
    if (m_hidden || m_opacity <= 0)
        return nullptr;
    CGPoint local = CGPointApplyAffineTransform(point, CGAffineTransformInvert(transformToSuperlayer()));
    if (m_masksToBounds && !containsPoint(local))
        return nullptr;
    for (auto it = m_sublayers.rbegin(); it != m_sublayers.rend(); ++it) {
        if (auto hit = (*it)->hitTest(local))
            return hit;
    }
    return containsPoint(local) ? self<CALayer>() : nullptr;
}

CGPathRef CALayer::boundsPath() const
{
    if (m_cornerRadius > 0)
        return CGPathCreateWithRoundedRect(m_bounds, m_cornerRadius, m_cornerRadius, nullptr);
    return CGPathCreateWithRect(m_bounds, nullptr);
}

void CALayer::drawBackgroundAndContents(const CGContextRef& c)
{
    if (m_backgroundColor && CGColorGetAlpha(m_backgroundColor) > 0) {
        CGContextSetFillColorWithColor(c, m_backgroundColor);
        CGContextAddPath(c, boundsPath());
        CGContextFillPath(c);
    }
    if (m_contents) {
        CGFloat w = static_cast<CGFloat>(m_contents->width()) / m_contentsScale,
                h = static_cast<CGFloat>(m_contents->height()) / m_contentsScale;
        CGRect b = m_bounds, r = b;
        const std::string& g = m_contentsGravity;
        if (g == "resizeAspect" || g == "resizeAspectFill") {
            CGFloat sx = b.size.width / w, sy = b.size.height / h;
            CGFloat s = g == "resizeAspect" ? std::min(sx, sy) : std::max(sx, sy);
            r = CGRectMake(CGRectGetMidX(b) - w * s / 2, CGRectGetMidY(b) - h * s / 2, w * s, h * s);
        } else if (g != "resize") {
            CGFloat x = CGRectGetMidX(b) - w / 2, y = CGRectGetMidY(b) - h / 2;
            if (g.find("left") != std::string::npos || g.find("Left") != std::string::npos)
                x = b.origin.x;
            if (g.find("right") != std::string::npos || g.find("Right") != std::string::npos)
                x = CGRectGetMaxX(b) - w;
            if (g.find("top") != std::string::npos || g.find("Top") != std::string::npos)
                y = b.origin.y;
            if (g.find("bottom") != std::string::npos || g.find("Bottom") != std::string::npos)
                y = CGRectGetMaxY(b) - h;
            r = CGRectMake(x, y, w, h);
        }
        CGContextSaveGState(c);
        if (m_masksToBounds || g != "resize")
            CGContextClipToRect(c, b);
        // Contents are upright in the y-down layer space.
        CGContextTranslateCTM(c, r.origin.x, r.origin.y + r.size.height);
        CGContextScaleCTM(c, 1, -1);
        CGContextDrawImage(c, CGRectMake(0, 0, r.size.width, r.size.height), m_contents);
        CGContextRestoreGState(c);
    }
}

void CALayer::renderTree(const CGContextRef& c)
{
    layoutIfNeeded();
    displayIfNeeded();
    CGContextSaveGState(c);
    CGContextConcatCTM(c, transformToSuperlayer());
    bool group = m_opacity < 1;
    if (m_shadowOpacity > 0 && m_shadowColor) {
        // The shadow is cast by the shadow path, or by the layer's outline when it has a
        // background; layers without either get theirs from the whole group below.
        CGAffineTransform ctm = CGContextGetCTM(c);
        CGFloat scale = std::hypot(ctm.a, ctm.b);
        CGContextSetShadowWithColor(c, CGSizeMake(m_shadowOffset.width * scale, -m_shadowOffset.height * scale),
            m_shadowRadius * scale,
            CGColorCreateCopyWithAlpha(m_shadowColor, CGColorGetAlpha(m_shadowColor) * m_shadowOpacity));
        if (m_shadowPath) {
            CGContextSaveGState(c);
            CGContextSetFillColorWithColor(c, m_shadowColor);
            CGContextAddPath(c, m_shadowPath);
            CGContextFillPath(c);
            CGContextRestoreGState(c);
            CGContextSetShadowWithColor(c, CGSizeZero, 0, nullptr);
        } else {
            group = true;
        }
    }
    if (!group)
        CGContextSetAlpha(c, 1);
    CGContextSetAlpha(c, m_opacity);
    if (group)
        CGContextBeginTransparencyLayer(c, {});
    CGContextSetShadowWithColor(c, CGSizeZero, 0, nullptr);
    CGContextSetAlpha(c, 1);

    drawBackgroundAndContents(c);
    if (!m_contents || m_needsDisplay) {
        // A layer without cached contents draws its own content directly.
        CGContextSaveGState(c);
        drawInContext(c);
        CGContextRestoreGState(c);
    }
    CGContextSaveGState(c);
    if (m_masksToBounds) {
        CGContextAddPath(c, boundsPath());
        CGContextClip(c);
    }
    std::vector<Ref<CALayer>> ordered(m_sublayers);
    std::stable_sort(
        ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a->m_zPosition < b->m_zPosition; });
    for (auto& layer : ordered) {
        if (!layer->m_hidden)
            layer->renderTree(c);
    }
    CGContextRestoreGState(c);
    if (m_borderWidth > 0 && m_borderColor) {
        CGContextSetStrokeColorWithColor(c, m_borderColor);
        CGContextSetLineWidth(c, m_borderWidth);
        // The border lies inside the bounds.
        CGRect inner = CGRectInset(m_bounds, m_borderWidth / 2, m_borderWidth / 2);
        CGFloat radius = std::max<CGFloat>(0, m_cornerRadius - m_borderWidth / 2);
        if (!CGRectIsNull(inner)) {
            CGContextAddPath(c,
                radius > 0 ? CGPathCreateWithRoundedRect(inner, radius, radius, nullptr)
                           : CGPathCreateWithRect(inner, nullptr));
            CGContextStrokePath(c);
        }
    }
    if (group)
        CGContextEndTransparencyLayer(c);
    CGContextRestoreGState(c);
}

void CALayer::renderInContext(const CGContextRef& context)
{
    if (!context || m_hidden)
        return;
    renderTree(context);
}

void CALayer::addAnimation(const Ref<CAAnimation>& animation, const std::string& key)
{
    if (!animation)
        return;
    removeAnimationForKey(key);
    m_animations.emplace_back(key, animation);
    // The animation shows for its duration on the process clock; then it finishes: it leaves
    // the layer unless told to stay, and its completion runs with true.
    double start = animation->beginTime() > 0 ? animation->beginTime() : CACurrentMediaTime();
    double end = start + std::max(0.0, animation->duration());
    CATransaction::animationAdded(end);
    Weak<CAAnimation> weakAnimation = animation;
    Weak<CALayer> weakLayer = self<CALayer>();
    NSRunLoop::mainRunLoop()->addDelayedPerform(nullptr, "CAAnimationFinish",
        [weakLayer, weakAnimation, key]() {
            auto layer = weakLayer.lock();
            auto finished = weakAnimation.lock();
            if (!layer || !finished)
                return;
            auto it = std::find_if(layer->m_animations.begin(), layer->m_animations.end(),
                [&](const auto& entry) { return entry.first == key && entry.second == finished; });
            if (it == layer->m_animations.end())
                return;
            if (finished->isRemovedOnCompletion())
                layer->m_animations.erase(it);
            if (finished->completion())
                finished->completion()(true);
        },
        std::max(0.0, end - CACurrentMediaTime()), { NSRunLoopCommonModes });
}

Ref<CAAnimation> CALayer::animationForKey(const std::string& key) const
{
    for (const auto& [k, a] : m_animations) {
        if (k == key)
            return a;
    }
    return nullptr;
}

void CALayer::removeAnimationForKey(const std::string& key)
{
    for (auto it = m_animations.begin(); it != m_animations.end(); ++it) {
        if (it->first == key) {
            auto animation = it->second;
            m_animations.erase(it);
            if (animation->completion())
                animation->completion()(false);
            return;
        }
    }
}

void CALayer::removeAllAnimations()
{
    auto animations = std::move(m_animations);
    m_animations.clear();
    for (auto& [key, animation] : animations) {
        if (animation->completion())
            animation->completion()(false);
    }
}

std::vector<std::string> CALayer::animationKeys() const
{
    std::vector<std::string> keys;
    for (const auto& [k, a] : m_animations)
        keys.push_back(k);
    return keys;
}

namespace {
Value colorValue(const CGColorRef& color)
{
    return color ? Value(UIColor::colorWithCGColor(color)) : Value();
}
CGColorRef colorFrom(const Value& v)
{
    auto color = v.objectAs<UIColor>();
    return color ? color->CGColor() : nullptr;
}
} // namespace

Value CALayer::valueForKey(const std::string& key)
{
    if (key == "opacity")
        return Value(m_opacity);
    if (key == "hidden")
        return Value(m_hidden);
    if (key == "cornerRadius")
        return Value(m_cornerRadius);
    if (key == "borderWidth")
        return Value(m_borderWidth);
    if (key == "shadowOpacity")
        return Value(m_shadowOpacity);
    if (key == "shadowRadius")
        return Value(m_shadowRadius);
    if (key == "zPosition")
        return Value(m_zPosition);
    if (key == "name")
        return m_name.empty() ? Value() : Value(m_name);
    if (key == "position")
        return Value(NSValue::valueWithCGPoint(m_position));
    if (key == "anchorPoint")
        return Value(NSValue::valueWithCGPoint(m_anchorPoint));
    if (key == "bounds")
        return Value(NSValue::valueWithCGRect(m_bounds));
    if (key == "frame")
        return Value(NSValue::valueWithCGRect(frame()));
    if (key == "shadowOffset")
        return Value(NSValue::valueWithCGSize(m_shadowOffset));
    if (key == "transform")
        return Value(NSValue::valueWithCATransform3D(m_transform));
    if (key == "backgroundColor")
        return colorValue(m_backgroundColor);
    if (key == "borderColor")
        return colorValue(m_borderColor);
    if (key == "shadowColor")
        return colorValue(m_shadowColor);
    return NSObject::valueForKey(key);
}

void CALayer::setValueForKey(const Value& value, const std::string& key)
{
    auto box = value.objectAs<NSValue>();
    if (key == "opacity")
        setOpacity(value.floatValue());
    else if (key == "hidden")
        setHidden(value.boolValue());
    else if (key == "cornerRadius")
        setCornerRadius(value.floatValue());
    else if (key == "borderWidth")
        setBorderWidth(value.floatValue());
    else if (key == "shadowOpacity")
        setShadowOpacity(value.floatValue());
    else if (key == "shadowRadius")
        setShadowRadius(value.floatValue());
    else if (key == "zPosition")
        setZPosition(value.floatValue());
    else if (key == "name")
        setName(value.stringValue());
    else if (key == "position" && box)
        setPosition(box->CGPointValue());
    else if (key == "anchorPoint" && box)
        setAnchorPoint(box->CGPointValue());
    else if (key == "bounds" && box)
        setBounds(box->CGRectValue());
    else if (key == "frame" && box)
        setFrame(box->CGRectValue());
    else if (key == "shadowOffset" && box)
        setShadowOffset(box->CGSizeValue());
    else if (key == "transform" && box)
        setTransform(box->CATransform3DValue());
    else if (key == "backgroundColor")
        setBackgroundColor(colorFrom(value));
    else if (key == "borderColor")
        setBorderColor(colorFrom(value));
    else if (key == "shadowColor")
        setShadowColor(colorFrom(value));
    else
        NSObject::setValueForKey(value, key);
}

VX_REGISTER_CLASS(CALayer);
VX_REGISTER_CLASS(CAAnimation);
VX_REGISTER_CLASS(CABasicAnimation);
