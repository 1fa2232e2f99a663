#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGColor.h"

class UIImage;

// A colour: device RGB or white, or a pattern of an image. Immutable; any thread.
class UIColor : public NSObject {
    VX_OBJECT(UIColor, NSObject)
public:
    UIColor(Passkey, CGColorRef color, Ref<UIImage> pattern);

    static Ref<UIColor> colorWithRedGreenBlueAlpha(CGFloat r, CGFloat g, CGFloat b, CGFloat a);
    static Ref<UIColor> colorWithWhiteAlpha(CGFloat white, CGFloat a);
    static Ref<UIColor> colorWithHueSaturationBrightnessAlpha(CGFloat h, CGFloat s, CGFloat b, CGFloat a);
    static Ref<UIColor> colorWithCGColor(const CGColorRef& color);
    static Ref<UIColor> colorWithPatternImage(const Ref<UIImage>& image);

    static Ref<UIColor> blackColor();
    static Ref<UIColor> darkGrayColor();
    static Ref<UIColor> lightGrayColor();
    static Ref<UIColor> whiteColor();
    static Ref<UIColor> grayColor();
    static Ref<UIColor> redColor();
    static Ref<UIColor> greenColor();
    static Ref<UIColor> blueColor();
    static Ref<UIColor> cyanColor();
    static Ref<UIColor> yellowColor();
    static Ref<UIColor> magentaColor();
    static Ref<UIColor> orangeColor();
    static Ref<UIColor> purpleColor();
    static Ref<UIColor> brownColor();
    static Ref<UIColor> clearColor();
    static Ref<UIColor> groupTableViewBackgroundColor();
    static Ref<UIColor> lightTextColor();

    const CGColorRef& CGColor() const { return m_color; }
    const Ref<UIImage>& patternImage() const { return m_pattern; }
    Ref<UIColor> colorWithAlphaComponent(CGFloat alpha) const;
    // False for colours that are not in a compatible space (patterns; white for RGB and back
    // converts, as on the platform).
    bool getRedGreenBlueAlpha(CGFloat* r, CGFloat* g, CGFloat* b, CGFloat* a) const;
    bool getWhiteAlpha(CGFloat* white, CGFloat* a) const;
    bool getHueSaturationBrightnessAlpha(CGFloat* h, CGFloat* s, CGFloat* b, CGFloat* a) const;

    // Set as the current context's fill and stroke colour.
    void set() const;
    void setFill() const;
    void setStroke() const;

    std::string description() const override;
    bool isEqual(const NSObject* other) const override;
    size_t hash() const override;

private:
    CGColorRef m_color;
    Ref<UIImage> m_pattern;
};
