#include "graphics/UIImage.h"

#include "foundation/NSBundle.h"
#include "foundation/NSLog.h"
#include "graphics/UIGraphics.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <sys/stat.h>

UIImage::UIImage(Passkey key)
    : NSObject(key)
{
}

Ref<UIImage> UIImage::imageWithCGImage(const CGImageRef& image, CGFloat scale, UIImageOrientation orientation)
{
    if (!image)
        return nullptr;
    auto result = make<UIImage>();
    result->m_image = image;
    result->m_scale = scale > 0 ? scale : 1;
    result->m_orientation = orientation;
    return result;
}

Ref<UIImage> UIImage::imageWithData(const Value& data, CGFloat scale)
{
    if (!data.isData())
        return nullptr;
    return imageWithCGImage(CGImageCreateWithEncodedData(data.bytes()), scale, UIImageOrientationUp);
}

namespace {

std::optional<std::vector<uint8_t>> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool isFile(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

struct NamedCache {
    std::mutex lock;
    std::string directory;
    std::map<std::string, Ref<UIImage>> images;
};

NamedCache& namedCache()
{
    static NamedCache s_cache;
    return s_cache;
}

std::string defaultDirectory()
{
    return NSBundle::mainBundle()->resourcePath();
}

} // namespace

Ref<UIImage> UIImage::imageWithContentsOfFile(const std::string& path)
{
    auto bytes = readFile(path);
    if (!bytes)
        return nullptr;
    auto slash = path.find_last_of('/');
    std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    auto dot = file.find_last_of('.');
    std::string stem = dot == std::string::npos ? file : file.substr(0, dot);
    CGFloat scale = stem.size() > 3 && stem.compare(stem.size() - 3, 3, "@2x") == 0 ? 2 : 1;
    return imageWithCGImage(CGImageCreateWithEncodedData(*bytes), scale, UIImageOrientationUp);
}

void UIImage::setNamedImageDirectory(std::string directory)
{
    auto& cache = namedCache();
    std::lock_guard lock(cache.lock);
    cache.directory = std::move(directory);
    cache.images.clear();
}

void UIImage::clearNamedImageCache()
{
    auto& cache = namedCache();
    std::lock_guard lock(cache.lock);
    cache.images.clear();
}

Ref<UIImage> UIImage::imageNamed(const std::string& name)
{
    if (name.empty())
        return nullptr;
    auto& cache = namedCache();
    std::string directory;
    {
        std::lock_guard lock(cache.lock);
        auto it = cache.images.find(name);
        if (it != cache.images.end())
            return it->second;
        directory = cache.directory.empty() ? defaultDirectory() : cache.directory;
    }
    auto dot = name.find_last_of('.');
    bool hasExtension = dot != std::string::npos && dot + 1 < name.size() && name.find('/', dot) == std::string::npos;
    std::string stem = hasExtension ? name.substr(0, dot) : name;
    std::vector<std::string> extensions = hasExtension ? std::vector<std::string> { name.substr(dot + 1) }
                                                       : std::vector<std::string> { "png", "jpg", "jpeg", "gif" };
    std::vector<std::string> candidates;
    for (const auto& ext : extensions) {
        if (UIGraphicsScreenScale() >= 2)
            candidates.push_back(stem + "@2x." + ext);
        candidates.push_back(stem + "." + ext);
        if (UIGraphicsScreenScale() < 2)
            candidates.push_back(stem + "@2x." + ext);
    }
    for (const auto& candidate : candidates) {
        for (const std::string& sub : { std::string(), std::string("images/") }) {
            std::string path = directory + "/" + sub + candidate;
            if (!isFile(path))
                continue;
            auto image = imageWithContentsOfFile(path);
            if (!image)
                continue;
            std::lock_guard lock(cache.lock);
            cache.images[name] = image;
            return image;
        }
    }
    return nullptr;
}

Ref<UIImage> UIImage::animatedImageWithImages(const std::vector<Ref<UIImage>>& images, double duration)
{
    if (images.empty() || !images.front())
        return nullptr;
    auto result = images.front()->copyWith();
    result->m_images = images;
    result->m_duration = duration;
    return result;
}

Ref<UIImage> UIImage::copyWith() const
{
    auto result = make<UIImage>();
    result->m_image = m_image;
    result->m_scale = m_scale;
    result->m_orientation = m_orientation;
    result->m_capInsets = m_capInsets;
    result->m_resizable = m_resizable;
    result->m_resizingMode = m_resizingMode;
    result->m_renderingMode = m_renderingMode;
    result->m_images = m_images;
    result->m_duration = m_duration;
    return result;
}

CGSize UIImage::size() const
{
    CGSize s { static_cast<CGFloat>(CGImageGetWidth(m_image)) / m_scale,
        static_cast<CGFloat>(CGImageGetHeight(m_image)) / m_scale };
    switch (m_orientation) {
    case UIImageOrientationLeft:
    case UIImageOrientationRight:
    case UIImageOrientationLeftMirrored:
    case UIImageOrientationRightMirrored:
        return { s.height, s.width };
    default:
        return s;
    }
}

Ref<UIImage> UIImage::resizableImageWithCapInsets(UIEdgeInsets insets) const
{
    return resizableImageWithCapInsetsResizingMode(insets, UIImageResizingModeTile);
}

Ref<UIImage> UIImage::resizableImageWithCapInsetsResizingMode(UIEdgeInsets insets, UIImageResizingMode mode) const
{
    auto result = copyWith();
    result->m_capInsets = insets;
    result->m_resizable = true;
    result->m_resizingMode = mode;
    return result;
}

Ref<UIImage> UIImage::stretchableImageWithLeftCapWidthTopCapHeight(int32_t leftCapWidth, int32_t topCapHeight) const
{
    // The old form: the stretched part is the one point after each cap.
    CGSize s = size();
    CGFloat left = static_cast<CGFloat>(leftCapWidth), top = static_cast<CGFloat>(topCapHeight);
    CGFloat right = left > 0 ? std::max<CGFloat>(0, s.width - left - 1) : 0;
    CGFloat bottom = top > 0 ? std::max<CGFloat>(0, s.height - top - 1) : 0;
    auto result = resizableImageWithCapInsetsResizingMode(
        UIEdgeInsetsMake(top, left, bottom, right), UIImageResizingModeStretch);
    return result;
}

Ref<UIImage> UIImage::imageWithRenderingMode(UIImageRenderingMode mode) const
{
    auto result = copyWith();
    result->m_renderingMode = mode;
    return result;
}

void UIImage::drawPiece(const CGContextRef& c, CGRect source, CGRect destination, bool tile) const
{
    if (source.size.width <= 0 || source.size.height <= 0 || destination.size.width <= 0
        || destination.size.height <= 0)
        return;
    CGRect pixels = CGRectMake(source.origin.x * m_scale, source.origin.y * m_scale, source.size.width * m_scale,
        source.size.height * m_scale);
    auto piece = CGImageCreateWithImageInRect(m_image, pixels);
    if (!piece)
        return;
    CGContextSaveGState(c);
    CGContextClipToRect(c, destination);
    // The context's user space is top-left; images draw upright in bottom-left space, so flip
    // locally around the destination.
    CGContextTranslateCTM(c, destination.origin.x, destination.origin.y + destination.size.height);
    CGContextScaleCTM(c, 1, -1);
    if (tile)
        CGContextDrawTiledImage(c,
            CGRectMake(0, destination.size.height - source.size.height, source.size.width, source.size.height), piece);
    else
        CGContextDrawImage(c, CGRectMake(0, 0, destination.size.width, destination.size.height), piece);
    CGContextRestoreGState(c);
}

void UIImage::drawInContext(const CGContextRef& c, CGRect rect, CGBlendMode mode, CGFloat alpha) const
{
    if (!c || !m_image)
        return;
    CGContextSaveGState(c);
    CGContextSetBlendMode(c, mode);
    CGContextSetAlpha(c, alpha);
    CGSize s = size();
    if (m_resizable && m_orientation == UIImageOrientationUp) {
        UIEdgeInsets k = m_capInsets;
        bool tile = m_resizingMode == UIImageResizingModeTile;
        CGFloat sx[4] = { 0, k.left, s.width - k.right, s.width };
        CGFloat sy[4] = { 0, k.top, s.height - k.bottom, s.height };
        CGFloat dx[4] = { rect.origin.x, rect.origin.x + k.left, rect.origin.x + rect.size.width - k.right,
            rect.origin.x + rect.size.width };
        CGFloat dy[4] = { rect.origin.y, rect.origin.y + k.top, rect.origin.y + rect.size.height - k.bottom,
            rect.origin.y + rect.size.height };
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 3; ++col) {
                CGRect source = CGRectMake(sx[col], sy[row], sx[col + 1] - sx[col], sy[row + 1] - sy[row]);
                CGRect destination = CGRectMake(dx[col], dy[row], dx[col + 1] - dx[col], dy[row + 1] - dy[row]);
                bool stretched = col == 1 || row == 1;
                drawPiece(c, source, destination, tile && stretched);
            }
        }
    } else {
        CGContextClipToRect(c, rect);
        // Map the image's pixel grid to `rect` according to its orientation.
        CGContextTranslateCTM(c, rect.origin.x, rect.origin.y);
        CGContextScaleCTM(c, rect.size.width / s.width, rect.size.height / s.height);
        CGFloat w = s.width, h = s.height;
        switch (m_orientation) {
        case UIImageOrientationDown:
        case UIImageOrientationDownMirrored:
            CGContextTranslateCTM(c, w, h);
            CGContextRotateCTM(c, static_cast<CGFloat>(M_PI));
            break;
        case UIImageOrientationLeft:
        case UIImageOrientationLeftMirrored:
            CGContextTranslateCTM(c, 0, h);
            CGContextRotateCTM(c, static_cast<CGFloat>(-M_PI / 2));
            std::swap(w, h);
            break;
        case UIImageOrientationRight:
        case UIImageOrientationRightMirrored:
            CGContextTranslateCTM(c, w, 0);
            CGContextRotateCTM(c, static_cast<CGFloat>(M_PI / 2));
            std::swap(w, h);
            break;
        default:
            break;
        }
        if (m_orientation >= UIImageOrientationUpMirrored) {
            CGContextTranslateCTM(c, w, 0);
            CGContextScaleCTM(c, -1, 1);
        }
        CGContextTranslateCTM(c, 0, h);
        CGContextScaleCTM(c, 1, -1);
        CGContextDrawImage(c, CGRectMake(0, 0, w, h), m_image);
    }
    CGContextRestoreGState(c);
}

void UIImage::drawInRectBlendModeAlpha(CGRect rect, CGBlendMode mode, CGFloat alpha) const
{
    drawInContext(UIGraphicsGetCurrentContext(), rect, mode, alpha);
}

void UIImage::drawInRect(CGRect rect) const
{
    drawInRectBlendModeAlpha(rect, kCGBlendModeNormal, 1);
}

void UIImage::drawAtPointBlendModeAlpha(CGPoint point, CGBlendMode mode, CGFloat alpha) const
{
    CGSize s = size();
    drawInRectBlendModeAlpha(CGRectMake(point.x, point.y, s.width, s.height), mode, alpha);
}

void UIImage::drawAtPoint(CGPoint point) const
{
    drawAtPointBlendModeAlpha(point, kCGBlendModeNormal, 1);
}

void UIImage::drawAsPatternInRect(CGRect rect) const
{
    auto c = UIGraphicsGetCurrentContext();
    if (!c || !m_image)
        return;
    CGSize s = size();
    drawPiece(c, CGRectMake(0, 0, s.width, s.height), rect, true);
}

std::string UIImage::description() const
{
    CGSize s = size();
    return "<UIImage: " + NSString::stringWithFormat("%p", static_cast<const void*>(this)) + ">, {"
        + CGFloatDescription(s.width) + ", " + CGFloatDescription(s.height) + "}";
}

Value UIImagePNGRepresentation(const Ref<UIImage>& image)
{
    if (!image || !image->CGImage())
        return {};
    auto bytes = CGImageEncodePNG(image->CGImage());
    return bytes ? Value::data(std::move(*bytes)) : Value();
}

Value UIImageJPEGRepresentation(const Ref<UIImage>& image, CGFloat quality)
{
    if (!image || !image->CGImage())
        return {};
    auto bytes = CGImageEncodeJPEG(image->CGImage(), quality);
    return bytes ? Value::data(std::move(*bytes)) : Value();
}

VX_REGISTER_CLASS(UIImage);
