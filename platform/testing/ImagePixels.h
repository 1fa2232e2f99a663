#pragma once

#include "graphics/CGImage.h"
#include "graphics/UIImage.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// An image's pixels, read out once, looked up by point: a point in the image's own points, at
// its scale, names the pixel it falls in.
class ImagePixels {
public:
    struct Colour {
        int red, green, blue;
        // The smallest of the three: high only for white and light greys.
        int brightness() const { return std::min({ red, green, blue }); }
    };

    explicit ImagePixels(const Ref<UIImage>& image)
        : m_bytes(image->CGImage()->nativeARGB())
        , m_width(image->CGImage()->width())
        , m_scale(image->scale())
    {
    }

    Colour at(CGPoint point) const
    {
        size_t x = size_t(point.x * m_scale), y = size_t(point.y * m_scale);
        size_t offset = (y * m_width + x) * 4;
        return { m_bytes[offset + 2], m_bytes[offset + 1], m_bytes[offset] };
    }

private:
    std::vector<uint8_t> m_bytes;
    size_t m_width;
    CGFloat m_scale;
};
