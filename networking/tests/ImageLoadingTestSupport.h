#pragma once

#include "graphics/CGColor.h"
#include "graphics/CGContext.h"
#include "graphics/CGImage.h"
#include "graphics/UIImage.h"
#include "net/NSURL.h"
#include "testing/URLStubs.h"

#include <string>

// Images for the tests of the views that load them from URLs.

// A PNG of the given size, so each URL's image can be told apart by its width.
inline std::string pngBody(size_t width)
{
    auto context
        = CGBitmapContextCreate(nullptr, width, 2, 8, 0, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedLast);
    auto png = CGImageEncodePNG(CGBitmapContextCreateImage(context));
    return png ? std::string(png->begin(), png->end()) : std::string();
}

inline Ref<UIImage> imageOfWidth(size_t width)
{
    auto body = pngBody(width);
    return UIImage::imageWithData(Value::data(body.data(), body.size()));
}

// The pixel width of an image; 0 for none.
inline size_t widthOf(const Ref<UIImage>& image)
{
    return image && image->CGImage() ? CGImageGetWidth(image->CGImage()) : 0;
}

// Serves a PNG of the given width at `url`, after `delay` seconds of the virtual clock.
inline Ref<URLStub> servePNG(URLStubs& stubs, const Ref<NSURL>& url, size_t width, double delay = 0)
{
    URLStubSpec spec;
    spec.url = url->absoluteString();
    spec.headers = { { "Content-Type", "image/png" } };
    spec.body = pngBody(width);
    spec.delay = delay;
    return stubs.add(spec);
}
