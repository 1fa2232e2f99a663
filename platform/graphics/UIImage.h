#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "graphics/CGContext.h"
#include "graphics/CGImage.h"
#include "graphics/UIGeometry.h"

#include <string>
#include <vector>

enum UIImageOrientation : int32_t {
    UIImageOrientationUp,
    UIImageOrientationDown,
    UIImageOrientationLeft,
    UIImageOrientationRight,
    UIImageOrientationUpMirrored,
    UIImageOrientationDownMirrored,
    UIImageOrientationLeftMirrored,
    UIImageOrientationRightMirrored,
};

enum UIImageResizingMode : int32_t { UIImageResizingModeTile, UIImageResizingModeStretch };

enum UIImageRenderingMode : int32_t {
    UIImageRenderingModeAutomatic,
    UIImageRenderingModeAlwaysOriginal,
    UIImageRenderingModeAlwaysTemplate,
};

// A bitmap image with a scale and an orientation; resizable images carry cap insets, animated
// images a list of frames. Immutable; any thread.
class UIImage : public NSObject {
    VX_OBJECT(UIImage, NSObject)
public:
    explicit UIImage(Passkey);

    static Ref<UIImage> imageWithCGImage(
        const CGImageRef& image, CGFloat scale = 1, UIImageOrientation orientation = UIImageOrientationUp);
    // PNG, JPEG or a GIF's first frame; null for anything else.
    static Ref<UIImage> imageWithData(const Value& data, CGFloat scale = 1);
    // A file path; "@2x" before the extension gives scale 2.
    static Ref<UIImage> imageWithContentsOfFile(const std::string& path);
    // Looks the name up among the bundle's resources, with or without extension, preferring the
    // "@2x" file at screen scale 2; cached by name.
    static Ref<UIImage> imageNamed(const std::string& name);
    static Ref<UIImage> animatedImageWithImages(const std::vector<Ref<UIImage>>& images, double duration);
    // Where imageNamed looks instead of the main bundle's resource directory (tests); an empty
    // directory returns to the main bundle. Also a reset of the name cache.
    static void setNamedImageDirectory(std::string directory);
    static void clearNamedImageCache();

    const CGImageRef& CGImage() const { return m_image; }
    CGFloat scale() const { return m_scale; }
    UIImageOrientation imageOrientation() const { return m_orientation; }
    // Size in points, with width and height swapped for the left and right orientations.
    CGSize size() const;
    UIEdgeInsets capInsets() const { return m_capInsets; }
    UIImageResizingMode resizingMode() const { return m_resizingMode; }
    UIImageRenderingMode renderingMode() const { return m_renderingMode; }
    const std::vector<Ref<UIImage>>& images() const { return m_images; }
    double duration() const { return m_duration; }
    CGFloat leftCapWidth() const { return m_capInsets.left; }
    CGFloat topCapHeight() const { return m_capInsets.top; }

    Ref<UIImage> resizableImageWithCapInsets(UIEdgeInsets insets) const;
    Ref<UIImage> resizableImageWithCapInsetsResizingMode(UIEdgeInsets insets, UIImageResizingMode mode) const;
    Ref<UIImage> stretchableImageWithLeftCapWidthTopCapHeight(int32_t leftCapWidth, int32_t topCapHeight) const;
    Ref<UIImage> imageWithRenderingMode(UIImageRenderingMode mode) const;

    // Drawing into the current context (whose user space is top-left points).
    void drawAtPoint(CGPoint point) const;
    void drawAtPointBlendModeAlpha(CGPoint point, CGBlendMode mode, CGFloat alpha) const;
    void drawInRect(CGRect rect) const;
    void drawInRectBlendModeAlpha(CGRect rect, CGBlendMode mode, CGFloat alpha) const;
    void drawAsPatternInRect(CGRect rect) const;
    // Draws into a given context, which callers outside drawing code use.
    void drawInContext(const CGContextRef& context, CGRect rect, CGBlendMode mode, CGFloat alpha) const;

    std::string description() const override;

private:
    Ref<UIImage> copyWith() const;
    void drawPiece(const CGContextRef& c, CGRect source, CGRect destination, bool tile) const;

    CGImageRef m_image;
    CGFloat m_scale { 1 };
    UIImageOrientation m_orientation { UIImageOrientationUp };
    UIEdgeInsets m_capInsets {};
    bool m_resizable { false };
    UIImageResizingMode m_resizingMode { UIImageResizingModeTile };
    UIImageRenderingMode m_renderingMode { UIImageRenderingModeAutomatic };
    std::vector<Ref<UIImage>> m_images;
    double m_duration { 0 };
};

// Encodings as data (NSData), or nil when the image has no bitmap.
Value UIImagePNGRepresentation(const Ref<UIImage>& image);
Value UIImageJPEGRepresentation(const Ref<UIImage>& image, CGFloat quality);
