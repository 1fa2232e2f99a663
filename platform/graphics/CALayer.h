#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "graphics/CATransform3D.h"
#include "graphics/CGColor.h"
#include "graphics/CGContext.h"
#include "graphics/CGImage.h"
#include "graphics/CGPath.h"

#include <map>
#include <string>
#include <vector>

class CALayer;
class CAAnimation;

// What a layer asks of its delegate (a view, usually). All optional.
class CALayerDelegate {
public:
    virtual ~CALayerDelegate() = default;
    // Returns true when the delegate set the layer's contents itself.
    virtual bool displayLayer(CALayer&) { return false; }
    // Returns true when the delegate drew; false lets the layer draw itself.
    virtual bool drawLayerInContext(CALayer&, const CGContextRef&) { return false; }
    virtual void layoutSublayersOfLayer(CALayer&) { }
};

// A node of the layer tree: geometry (bounds, position, anchor point, transforms), appearance
// (background, border, corner radius, shadow, opacity, contents) and sublayers. Layer space is
// y-down, as the UIKit layer uses it. Main thread only.
class CALayer : public NSObject {
    VX_OBJECT(CALayer, NSObject)
public:
    explicit CALayer(Passkey);
    static Ref<CALayer> layer();

    // Geometry.
    CGRect bounds() const { return m_bounds; }
    void setBounds(CGRect bounds);
    CGPoint position() const { return m_position; }
    void setPosition(CGPoint position);
    CGPoint anchorPoint() const { return m_anchorPoint; }
    void setAnchorPoint(CGPoint anchorPoint);
    CGFloat zPosition() const { return m_zPosition; }
    void setZPosition(CGFloat z) { m_zPosition = z; }
    // The bounds in the superlayer's space (the bounding box when transformed).
    CGRect frame() const;
    void setFrame(CGRect frame);
    const CATransform3D& transform() const { return m_transform; }
    void setTransform(const CATransform3D& transform);
    CGAffineTransform affineTransform() const { return CATransform3DGetAffineTransform(m_transform); }
    void setAffineTransform(CGAffineTransform transform) { setTransform(CATransform3DMakeAffineTransform(transform)); }
    const CATransform3D& sublayerTransform() const { return m_sublayerTransform; }
    void setSublayerTransform(const CATransform3D& t) { m_sublayerTransform = t; }

    // Appearance.
    float opacity() const { return m_opacity; }
    void setOpacity(float opacity);
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden) { m_hidden = hidden; }
    const CGColorRef& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(CGColorRef color) { m_backgroundColor = std::move(color); }
    CGFloat borderWidth() const { return m_borderWidth; }
    void setBorderWidth(CGFloat width) { m_borderWidth = width; }
    const CGColorRef& borderColor() const { return m_borderColor; }
    void setBorderColor(CGColorRef color) { m_borderColor = std::move(color); }
    CGFloat cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(CGFloat radius) { m_cornerRadius = radius; }
    bool masksToBounds() const { return m_masksToBounds; }
    void setMasksToBounds(bool masks) { m_masksToBounds = masks; }
    const CGColorRef& shadowColor() const { return m_shadowColor; }
    void setShadowColor(CGColorRef color) { m_shadowColor = std::move(color); }
    float shadowOpacity() const { return m_shadowOpacity; }
    void setShadowOpacity(float opacity) { m_shadowOpacity = opacity; }
    CGSize shadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(CGSize offset) { m_shadowOffset = offset; }
    CGFloat shadowRadius() const { return m_shadowRadius; }
    void setShadowRadius(CGFloat radius) { m_shadowRadius = radius; }
    const CGPathRef& shadowPath() const { return m_shadowPath; }
    void setShadowPath(CGPathRef path) { m_shadowPath = std::move(path); }
    const CGImageRef& contents() const { return m_contents; }
    void setContents(CGImageRef contents) { m_contents = std::move(contents); }
    CGFloat contentsScale() const { return m_contentsScale; }
    void setContentsScale(CGFloat scale) { m_contentsScale = scale > 0 ? scale : 1; }
    // "resize" (default), "resizeAspect", "resizeAspectFill", "center", "top", "bottom", "left",
    // "right", "topLeft", "topRight", "bottomLeft", "bottomRight".
    const std::string& contentsGravity() const { return m_contentsGravity; }
    void setContentsGravity(std::string gravity) { m_contentsGravity = std::move(gravity); }
    bool needsDisplayOnBoundsChange() const { return m_needsDisplayOnBoundsChange; }
    void setNeedsDisplayOnBoundsChange(bool v) { m_needsDisplayOnBoundsChange = v; }
    bool shouldRasterize() const { return m_shouldRasterize; }
    void setShouldRasterize(bool v) { m_shouldRasterize = v; }
    CGFloat rasterizationScale() const { return m_rasterizationScale; }
    void setRasterizationScale(CGFloat v) { m_rasterizationScale = v; }
    bool isOpaque() const { return m_opaque; }
    void setOpaque(bool v) { m_opaque = v; }
    const std::string& name() const { return m_name; }
    void setName(std::string name) { m_name = std::move(name); }
    const Ref<CALayer>& mask() const { return m_mask; }
    void setMask(Ref<CALayer> mask) { m_mask = std::move(mask); }

    // Tree.
    Ref<CALayer> superlayer() const { return m_superlayer.lock(); }
    const std::vector<Ref<CALayer>>& sublayers() const { return m_sublayers; }
    void setSublayers(std::vector<Ref<CALayer>> layers);
    void addSublayer(const Ref<CALayer>& layer);
    void insertSublayerAtIndex(const Ref<CALayer>& layer, size_t index);
    void insertSublayerBelow(const Ref<CALayer>& layer, const Ref<CALayer>& sibling);
    void insertSublayerAbove(const Ref<CALayer>& layer, const Ref<CALayer>& sibling);
    void replaceSublayerWith(const Ref<CALayer>& old, const Ref<CALayer>& replacement);
    void removeFromSuperlayer();

    // Delegate (held weakly through the owner's object) and drawing.
    void setDelegate(CALayerDelegate* delegate, Weak<NSObject> owner);
    CALayerDelegate* delegate() const;
    void setNeedsDisplay() { m_needsDisplay = true; }
    void setNeedsDisplayInRect(CGRect) { m_needsDisplay = true; }
    bool needsDisplay() const { return m_needsDisplay; }
    void displayIfNeeded();
    // Redraws the contents: the delegate's displayLayer, else an image of drawInContext.
    virtual void display();
    // Draws the layer's own content (not background, border or sublayers); default: delegate.
    virtual void drawInContext(const CGContextRef& context);
    void setNeedsLayout() { m_needsLayout = true; }
    bool needsLayout() const { return m_needsLayout; }
    void layoutIfNeeded();
    virtual void layoutSublayers();

    // Coordinates.
    CGPoint convertPointToLayer(CGPoint point, const Ref<CALayer>& layer) const;
    CGPoint convertPointFromLayer(CGPoint point, const Ref<CALayer>& layer) const;
    CGRect convertRectToLayer(CGRect rect, const Ref<CALayer>& layer) const;
    bool containsPoint(CGPoint point) const;
    // The deepest visible layer containing a point given in the superlayer's space.
    Ref<CALayer> hitTest(CGPoint point);
    // Transform from this layer's space to its superlayer's space.
    CGAffineTransform transformToSuperlayer() const;

    // Renders the layer and its sublayers into a context whose user space is this layer's
    // superlayer space (y-down).
    void renderInContext(const CGContextRef& context);

    // Animations, keyed; model values are set directly by whoever adds them.
    void addAnimation(const Ref<CAAnimation>& animation, const std::string& key);
    Ref<CAAnimation> animationForKey(const std::string& key) const;
    void removeAnimationForKey(const std::string& key);
    void removeAllAnimations();
    std::vector<std::string> animationKeys() const;

    Value valueForKey(const std::string& key) override;
    void setValueForKey(const Value& value, const std::string& key) override;

protected:
    // Draws background, contents and own drawing (subclasses such as gradient layers extend).
    virtual void drawBackgroundAndContents(const CGContextRef& context);

private:
    void renderTree(const CGContextRef& context);
    CGPathRef boundsPath() const;

    CGRect m_bounds {};
    CGPoint m_position {};
    CGPoint m_anchorPoint { 0.5f, 0.5f };
    CGFloat m_zPosition { 0 };
    CATransform3D m_transform {};
    CATransform3D m_sublayerTransform {};
    float m_opacity { 1 };
    bool m_hidden { false };
    CGColorRef m_backgroundColor;
    CGFloat m_borderWidth { 0 };
    CGColorRef m_borderColor;
    CGFloat m_cornerRadius { 0 };
    bool m_masksToBounds { false };
    CGColorRef m_shadowColor;
    float m_shadowOpacity { 0 };
    CGSize m_shadowOffset { 0, -3 };
    CGFloat m_shadowRadius { 3 };
    CGPathRef m_shadowPath;
    CGImageRef m_contents;
    CGFloat m_contentsScale { 1 };
    std::string m_contentsGravity { "resize" };
    bool m_needsDisplayOnBoundsChange { false };
    bool m_shouldRasterize { false };
    CGFloat m_rasterizationScale { 1 };
    bool m_opaque { false };
    std::string m_name;
    Ref<CALayer> m_mask;
    Weak<CALayer> m_superlayer;
    std::vector<Ref<CALayer>> m_sublayers;
    CALayerDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
    bool m_hasDelegate { false };
    bool m_needsDisplay { false };
    bool m_needsLayout { false };
    std::vector<std::pair<std::string, Ref<CAAnimation>>> m_animations;
};
