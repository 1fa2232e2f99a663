#pragma once

#include "graphics/CGColor.h"
#include "graphics/CGGeometry.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

using CGBitmapInfo = uint32_t;

enum CGImageAlphaInfo : uint32_t {
    kCGImageAlphaNone = 0,
    kCGImageAlphaPremultipliedLast = 1,
    kCGImageAlphaPremultipliedFirst = 2,
    kCGImageAlphaLast = 3,
    kCGImageAlphaFirst = 4,
    kCGImageAlphaNoneSkipLast = 5,
    kCGImageAlphaNoneSkipFirst = 6,
    kCGImageAlphaOnly = 7,
};

inline constexpr CGBitmapInfo kCGBitmapAlphaInfoMask = 0x1F;
inline constexpr CGBitmapInfo kCGBitmapFloatComponents = 1u << 8;
inline constexpr CGBitmapInfo kCGBitmapByteOrderMask = 0x7000;
inline constexpr CGBitmapInfo kCGBitmapByteOrderDefault = 0u << 12;
inline constexpr CGBitmapInfo kCGBitmapByteOrder16Little = 1u << 12;
inline constexpr CGBitmapInfo kCGBitmapByteOrder32Little = 2u << 12;
inline constexpr CGBitmapInfo kCGBitmapByteOrder16Big = 3u << 12;
inline constexpr CGBitmapInfo kCGBitmapByteOrder32Big = 4u << 12;

enum CGColorRenderingIntent { kCGRenderingIntentDefault = 0 };

// Bytes behind an image. Immutable once made; any thread.
class CGDataProvider {
public:
    explicit CGDataProvider(std::vector<uint8_t> bytes)
        : m_bytes(std::move(bytes))
    {
    }
    const std::vector<uint8_t>& bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

using CGDataProviderRef = std::shared_ptr<const CGDataProvider>;

CGDataProviderRef CGDataProviderCreateWithData(const void* bytes, size_t length);
CGDataProviderRef CGDataProviderCreateWithBytes(std::vector<uint8_t> bytes);
std::vector<uint8_t> CGDataProviderCopyData(const CGDataProviderRef& provider);

// The layout of a pixel buffer: 8 bits per component, grey or RGB or alpha-only, with the
// alpha placement and byte order of its bitmap info.
struct CGPixelFormat {
    size_t bitsPerComponent { 8 };
    size_t bitsPerPixel { 32 };
    CGColorSpaceModel model { kCGColorSpaceModelRGB }; // unknown means alpha-only
    CGBitmapInfo bitmapInfo { kCGImageAlphaPremultipliedLast };

    CGImageAlphaInfo alphaInfo() const { return static_cast<CGImageAlphaInfo>(bitmapInfo & kCGBitmapAlphaInfoMask); }
    // Whether the formats this stand-in reads and writes include this one.
    bool isSupported() const;
    // Premultiplied BGRA in memory (the drawing engine's own layout).
    bool isNativeARGB() const;
    // Reads pixel `x` of a row into premultiplied RGBA bytes, and writes it back.
    void readPremultiplied(const uint8_t* row, size_t x, uint8_t rgba[4]) const;
    void writePremultiplied(uint8_t* row, size_t x, const uint8_t rgba[4]) const;
};

// A bitmap image. Immutable; any thread.
class CGImage {
public:
    CGImage(size_t width, size_t height, size_t bytesPerRow, CGPixelFormat format, CGColorSpaceRef space,
        CGDataProviderRef provider, bool shouldInterpolate);

    size_t width() const { return m_width; }
    size_t height() const { return m_height; }
    size_t bytesPerRow() const { return m_bytesPerRow; }
    const CGPixelFormat& format() const { return m_format; }
    const CGColorSpaceRef& colorSpace() const { return m_space; }
    const CGDataProviderRef& dataProvider() const { return m_provider; }
    bool shouldInterpolate() const { return m_interpolate; }
    const uint8_t* bytes() const { return m_provider->bytes().data(); }
    // The pixels as premultiplied BGRA rows of width*4 bytes (the drawing engine's layout).
    std::vector<uint8_t> nativeARGB() const;

private:
    size_t m_width, m_height, m_bytesPerRow;
    CGPixelFormat m_format;
    CGColorSpaceRef m_space;
    CGDataProviderRef m_provider;
    bool m_interpolate;
};

using CGImageRef = std::shared_ptr<const CGImage>;

// Null (with a logged error) for unsupported layouts, absurd sizes or too little data.
CGImageRef CGImageCreate(size_t width, size_t height, size_t bitsPerComponent, size_t bitsPerPixel, size_t bytesPerRow,
    const CGColorSpaceRef& space, CGBitmapInfo bitmapInfo, const CGDataProviderRef& provider, const CGFloat* decode,
    bool shouldInterpolate, CGColorRenderingIntent intent);
CGImageRef CGImageCreateCopy(const CGImageRef& image);
// The part of the image inside `rect` (pixels, origin top-left), or null when they miss.
CGImageRef CGImageCreateWithImageInRect(const CGImageRef& image, CGRect rect);
CGImageRef CGImageCreateWithPNGDataProvider(
    const CGDataProviderRef& provider, const CGFloat* decode, bool shouldInterpolate, CGColorRenderingIntent intent);
CGImageRef CGImageCreateWithJPEGDataProvider(
    const CGDataProviderRef& provider, const CGFloat* decode, bool shouldInterpolate, CGColorRenderingIntent intent);
// Decodes PNG, JPEG or the first frame of a GIF; null for anything else or corrupt data.
CGImageRef CGImageCreateWithEncodedData(const std::vector<uint8_t>& data);

size_t CGImageGetWidth(const CGImageRef& image);
size_t CGImageGetHeight(const CGImageRef& image);
size_t CGImageGetBitsPerComponent(const CGImageRef& image);
size_t CGImageGetBitsPerPixel(const CGImageRef& image);
size_t CGImageGetBytesPerRow(const CGImageRef& image);
CGImageAlphaInfo CGImageGetAlphaInfo(const CGImageRef& image);
CGBitmapInfo CGImageGetBitmapInfo(const CGImageRef& image);
CGColorSpaceRef CGImageGetColorSpace(const CGImageRef& image);
CGDataProviderRef CGImageGetDataProvider(const CGImageRef& image);
bool CGImageGetShouldInterpolate(const CGImageRef& image);

// Encoders: PNG keeps alpha; JPEG with quality 0..1 drops it (over black, as premultiplied).
std::optional<std::vector<uint8_t>> CGImageEncodePNG(const CGImageRef& image);
std::optional<std::vector<uint8_t>> CGImageEncodeJPEG(const CGImageRef& image, CGFloat quality);

// Largest width or height accepted for a bitmap, and largest byte count.
inline constexpr size_t kCGMaximumBitmapDimension = 32768;
inline constexpr size_t kCGMaximumBitmapBytes = size_t(1) << 30;

// True when a decoder may allocate a width x height RGBA image: both sides non-zero, neither
// above the maximum dimension, and four bytes a pixel within the maximum byte count. Decoders
// check this against what a header declares before they allocate anything for it.
inline constexpr bool CGImageDecodableSize(size_t width, size_t height)
{
    return width && height && width <= kCGMaximumBitmapDimension && height <= kCGMaximumBitmapDimension
        && width * height * 4 <= kCGMaximumBitmapBytes;
}
