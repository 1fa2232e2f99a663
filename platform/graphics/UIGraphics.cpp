#include "graphics/UIGraphics.h"

#include "foundation/NSLog.h"
#include "graphics/CGContextPrivate.h"
#include "graphics/UIImage.h"

#include <atomic>
#include <cmath>
#include <vector>

namespace {

struct StackEntry {
    CGContextRef context;
    bool isImageContext;
    CGFloat scale;
};

std::vector<StackEntry>& stack()
{
    thread_local std::vector<StackEntry> s_stack;
    return s_stack;
}

std::atomic<float> s_screenScale { 1.0f };

} // namespace

CGFloat UIGraphicsScreenScale()
{
    return s_screenScale.load();
}
void UIGraphicsSetScreenScale(CGFloat scale)
{
    s_screenScale.store(scale > 0 ? scale : 1.0f);
}

CGContextRef UIGraphicsGetCurrentContext()
{
    return stack().empty() ? nullptr : stack().back().context;
}

void UIGraphicsPushContext(const CGContextRef& context)
{
    if (context)
        stack().push_back({ context, false, 1 });
}

void UIGraphicsPopContext()
{
    if (!stack().empty())
        stack().pop_back();
}

CGContextRef UIGraphicsCreateImageContext(CGSize size, bool opaque, CGFloat scale)
{
    if (scale <= 0)
        scale = UIGraphicsScreenScale();
    double w = std::ceil(static_cast<double>(size.width) * scale),
           h = std::ceil(static_cast<double>(size.height) * scale);
    if (!(w >= 1 && h >= 1) || w > kCGMaximumBitmapDimension || h > kCGMaximumBitmapDimension) {
        NSLog("UIGraphicsBeginImageContext() failed to allocate a bitmap context: size={%@, %@}, scale=%@",
            CGFloatDescription(size.width), CGFloatDescription(size.height), CGFloatDescription(scale));
        return nullptr;
    }
    CGBitmapInfo info
        = (opaque ? kCGImageAlphaNoneSkipFirst : kCGImageAlphaPremultipliedFirst) | kCGBitmapByteOrder32Little;
    auto context = CGBitmapContextCreate(
        nullptr, static_cast<size_t>(w), static_cast<size_t>(h), 8, 0, CGColorSpaceCreateDeviceRGB(), info);
    if (!context)
        return nullptr;
    // Opaque contexts start black (zeroed memory with the skipped alpha); transparent ones clear.
    CGContextTranslateCTM(context, 0, static_cast<CGFloat>(h));
    CGContextScaleCTM(context, scale, -scale);
    return context;
}

void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, CGFloat scale)
{
    if (scale <= 0)
        scale = UIGraphicsScreenScale();
    auto context = UIGraphicsCreateImageContext(size, opaque, scale);
    if (context)
        stack().push_back({ context, true, scale });
}

void UIGraphicsBeginImageContext(CGSize size)
{
    UIGraphicsBeginImageContextWithOptions(size, false, 1);
}

Ref<UIImage> UIGraphicsGetImageFromCurrentImageContext()
{
    if (stack().empty() || !stack().back().isImageContext)
        return nullptr;
    const auto& entry = stack().back();
    auto image = CGBitmapContextCreateImage(entry.context);
    return UIImage::imageWithCGImage(image, entry.scale, UIImageOrientationUp);
}

void UIGraphicsEndImageContext()
{
    if (!stack().empty() && stack().back().isImageContext)
        stack().pop_back();
}

void UIRectFillUsingBlendMode(CGRect rect, CGBlendMode mode)
{
    auto c = UIGraphicsGetCurrentContext();
    if (!c)
        return;
    CGContextSaveGState(c);
    CGContextSetBlendMode(c, mode);
    CGContextFillRect(c, rect);
    CGContextRestoreGState(c);
}

void UIRectFill(CGRect rect)
{
    UIRectFillUsingBlendMode(rect, kCGBlendModeCopy);
}

void UIRectFrame(CGRect rect)
{
    auto c = UIGraphicsGetCurrentContext();
    if (!c)
        return;
    // A one-point frame inside the rectangle.
    CGContextSaveGState(c);
    CGContextSetLineWidth(c, 1);
    CGContextStrokeRect(c, CGRectInset(rect, 0.5f, 0.5f));
    CGContextRestoreGState(c);
}

void UIRectClip(CGRect rect)
{
    CGContextClipToRect(UIGraphicsGetCurrentContext(), rect);
}
