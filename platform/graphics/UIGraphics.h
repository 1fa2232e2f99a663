#pragma once

#include "graphics/CGContext.h"
#include "graphics/CGGeometry.h"

#include "foundation/FoundationForward.h"

class UIImage;

// The current-context stack used by drawing code (drawRect, image contexts). Per thread, as on
// the platform: each thread has its own stack.
CGContextRef UIGraphicsGetCurrentContext();
void UIGraphicsPushContext(const CGContextRef& context);
void UIGraphicsPopContext();

// Image contexts: premultiplied BGRA bitmaps of size * scale pixels whose user space is in
// points with the origin at the top left. A scale of 0 means the screen's scale. Absurd sizes
// push no context and log an error.
void UIGraphicsBeginImageContext(CGSize size);
void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, CGFloat scale);
// The current image context's pixels as an image with its scale, or null outside one.
Ref<UIImage> UIGraphicsGetImageFromCurrentImageContext();
void UIGraphicsEndImageContext();

// A context for drawing into a `size`-point area at `scale`, flipped to top-left points, without
// pushing it. Used by views and layers that render into their own bitmaps.
CGContextRef UIGraphicsCreateImageContext(CGSize size, bool opaque, CGFloat scale);

// The scale of the device's screen (1 or 2), a host setting that the UIKit layer's screen reads.
CGFloat UIGraphicsScreenScale();
void UIGraphicsSetScreenScale(CGFloat scale);

// Fills and frames in the current context with its fill colour.
void UIRectFill(CGRect rect);
void UIRectFillUsingBlendMode(CGRect rect, CGBlendMode mode);
void UIRectFrame(CGRect rect);
void UIRectClip(CGRect rect);
