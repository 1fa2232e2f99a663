#include "graphics/CGImage.h"

#include "foundation/NSLog.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <png.h>

CGDataProviderRef CGDataProviderCreateWithData(const void* bytes, size_t length)
{
    if (!bytes && length)
        return nullptr;
    auto p = static_cast<const uint8_t*>(bytes);
    return std::make_shared<CGDataProvider>(std::vector<uint8_t>(p, p + length));
}

CGDataProviderRef CGDataProviderCreateWithBytes(std::vector<uint8_t> bytes)
{
    return std::make_shared<CGDataProvider>(std::move(bytes));
}

std::vector<uint8_t> CGDataProviderCopyData(const CGDataProviderRef& provider)
{
    return provider ? provider->bytes() : std::vector<uint8_t> {};
}

namespace {

// Where each channel sits within a pixel, or -1 when absent.
struct Layout {
    int r = -1, g = -1, b = -1, a = -1, grey = -1;
    bool premultiplied = true;
};

Layout layoutFor(const CGPixelFormat& f)
{
    Layout l;
    auto alpha = f.alphaInfo();
    l.premultiplied = alpha == kCGImageAlphaPremultipliedFirst || alpha == kCGImageAlphaPremultipliedLast;
    CGBitmapInfo order = f.bitmapInfo & kCGBitmapByteOrderMask;
    if (f.model == kCGColorSpaceModelUnknown) {
        l.a = 0;
        return l;
    }
    if (f.model == kCGColorSpaceModelMonochrome) {
        if (f.bitsPerPixel == 8) {
            l.grey = 0;
        } else {
            bool little = order == kCGBitmapByteOrder16Little;
            bool alphaFirst = alpha == kCGImageAlphaFirst || alpha == kCGImageAlphaPremultipliedFirst
                || alpha == kCGImageAlphaNoneSkipFirst;
            int ai = alphaFirst ? 0 : 1;
            if (little)
                ai = 1 - ai;
            if (alpha != kCGImageAlphaNoneSkipFirst && alpha != kCGImageAlphaNoneSkipLast)
                l.a = ai;
            l.grey = 1 - ai;
        }
        return l;
    }
    if (f.bitsPerPixel == 24) {
        l.r = 0;
        l.g = 1;
        l.b = 2;
        return l;
    }
    // 32 bits: the named order (first/last) in a big-endian word; little-endian reverses it.
    int idx[4]; // positions of A, R, G, B
    bool first = alpha == kCGImageAlphaFirst || alpha == kCGImageAlphaPremultipliedFirst
        || alpha == kCGImageAlphaNoneSkipFirst;
    if (first) {
        idx[0] = 0;
        idx[1] = 1;
        idx[2] = 2;
        idx[3] = 3;
    } else {
        idx[1] = 0;
        idx[2] = 1;
        idx[3] = 2;
        idx[0] = 3;
    }
    if (order == kCGBitmapByteOrder32Little) {
        for (int& i : idx)
            i = 3 - i;
    }
    bool hasAlpha
        = alpha != kCGImageAlphaNoneSkipFirst && alpha != kCGImageAlphaNoneSkipLast && alpha != kCGImageAlphaNone;
    l.a = hasAlpha ? idx[0] : -1;
    l.r = idx[1];
    l.g = idx[2];
    l.b = idx[3];
    return l;
}

} // namespace

bool CGPixelFormat::isSupported() const
{
    if (bitsPerComponent != 8 || (bitmapInfo & kCGBitmapFloatComponents))
        return false;
    auto alpha = alphaInfo();
    CGBitmapInfo order = bitmapInfo & kCGBitmapByteOrderMask;
    switch (model) {
    case kCGColorSpaceModelUnknown:
        return alpha == kCGImageAlphaOnly && bitsPerPixel == 8;
    case kCGColorSpaceModelMonochrome:
        if (bitsPerPixel == 8)
            return alpha == kCGImageAlphaNone;
        return bitsPerPixel == 16 && alpha != kCGImageAlphaNone && alpha != kCGImageAlphaOnly
            && (order == kCGBitmapByteOrderDefault || order == kCGBitmapByteOrder16Little
                || order == kCGBitmapByteOrder16Big);
    case kCGColorSpaceModelRGB:
        if (bitsPerPixel == 24)
            return alpha == kCGImageAlphaNone;
        return bitsPerPixel == 32 && alpha != kCGImageAlphaNone && alpha != kCGImageAlphaOnly
            && (order == kCGBitmapByteOrderDefault || order == kCGBitmapByteOrder32Little
                || order == kCGBitmapByteOrder32Big);
    default:
        return false;
    }
}

bool CGPixelFormat::isNativeARGB() const
{
    return model == kCGColorSpaceModelRGB && bitsPerComponent == 8 && bitsPerPixel == 32
        && (bitmapInfo & kCGBitmapByteOrderMask) == kCGBitmapByteOrder32Little
        && (alphaInfo() == kCGImageAlphaPremultipliedFirst || alphaInfo() == kCGImageAlphaNoneSkipFirst);
}

void CGPixelFormat::readPremultiplied(const uint8_t* row, size_t x, uint8_t rgba[4]) const
{
    Layout l = layoutFor(*this);
    const uint8_t* p = row + x * (bitsPerPixel / 8);
    uint8_t a = l.a >= 0 ? p[l.a] : 255;
    if (l.grey >= 0) {
        rgba[0] = rgba[1] = rgba[2] = p[l.grey];
    } else if (l.r >= 0) {
        rgba[0] = p[l.r];
        rgba[1] = p[l.g];
        rgba[2] = p[l.b];
    } else {
        rgba[0] = rgba[1] = rgba[2] = 0;
    }
    if (!l.premultiplied && a != 255) {
        for (int i = 0; i < 3; ++i)
            rgba[i] = static_cast<uint8_t>((rgba[i] * a + 127) / 255);
    }
    rgba[3] = a;
}

void CGPixelFormat::writePremultiplied(uint8_t* row, size_t x, const uint8_t rgba[4]) const
{
    Layout l = layoutFor(*this);
    uint8_t* p = row + x * (bitsPerPixel / 8);
    uint8_t a = rgba[3];
    uint8_t c[3] = { rgba[0], rgba[1], rgba[2] };
    bool hasAlpha = l.a >= 0;
    if (!hasAlpha && a != 255 && a != 0) {
        // Opaque formats keep the colour as composited over black.
    } else if (hasAlpha && !l.premultiplied && a != 0 && a != 255) {
        for (auto& v : c)
            v = static_cast<uint8_t>(std::min(255, (v * 255 + a / 2) / a));
    }
    if (hasAlpha)
        p[l.a] = a;
    if (l.grey >= 0) {
        // Luminance of the colour.
        p[l.grey] = static_cast<uint8_t>(std::lround(0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2]));
    } else if (l.r >= 0) {
        p[l.r] = c[0];
        p[l.g] = c[1];
        p[l.b] = c[2];
    }
    if (!hasAlpha && bitsPerPixel == 32) {
        // The skipped byte of RGBX / XRGB layouts is written as 0xFF so read-backs are
        // deterministic.
        int skip = 0 + 1 + 2 + 3 - l.r - l.g - l.b;
        p[skip] = 0xFF;
    }
}

CGImage::CGImage(size_t width, size_t height, size_t bytesPerRow, CGPixelFormat format, CGColorSpaceRef space,
    CGDataProviderRef provider, bool shouldInterpolate)
    : m_width(width)
    , m_height(height)
    , m_bytesPerRow(bytesPerRow)
    , m_format(format)
    , m_space(std::move(space))
    , m_provider(std::move(provider))
    , m_interpolate(shouldInterpolate)
{
}

std::vector<uint8_t> CGImage::nativeARGB() const
{
    std::vector<uint8_t> out(m_width * m_height * 4);
    const uint8_t* src = bytes();
    for (size_t y = 0; y < m_height; ++y) {
        const uint8_t* row = src + y * m_bytesPerRow;
        uint8_t* dst = out.data() + y * m_width * 4;
        if (m_format.isNativeARGB() && m_format.alphaInfo() == kCGImageAlphaPremultipliedFirst) {
            std::memcpy(dst, row, m_width * 4);
            continue;
        }
        for (size_t x = 0; x < m_width; ++x) {
            uint8_t rgba[4];
            m_format.readPremultiplied(row, x, rgba);
            dst[x * 4 + 0] = rgba[2];
            dst[x * 4 + 1] = rgba[1];
            dst[x * 4 + 2] = rgba[0];
            dst[x * 4 + 3] = rgba[3];
        }
    }
    return out;
}

CGImageRef CGImageCreate(size_t width, size_t height, size_t bitsPerComponent, size_t bitsPerPixel, size_t bytesPerRow,
    const CGColorSpaceRef& space, CGBitmapInfo bitmapInfo, const CGDataProviderRef& provider, const CGFloat*,
    bool shouldInterpolate, CGColorRenderingIntent)
{
    CGPixelFormat format { bitsPerComponent, bitsPerPixel, CGColorSpaceGetModel(space), bitmapInfo };
    if (width == 0 || height == 0 || width > kCGMaximumBitmapDimension || height > kCGMaximumBitmapDimension) {
        NSLog("CGImageCreate: invalid image size: %lu x %lu.", static_cast<unsigned long>(width),
            static_cast<unsigned long>(height));
        return nullptr;
    }
    if (!format.isSupported()) {
        NSLog("CGImageCreate: unsupported parameter combination: %lu bits/component; %lu bits/pixel; bitmap info %u.",
            static_cast<unsigned long>(bitsPerComponent), static_cast<unsigned long>(bitsPerPixel), bitmapInfo);
        return nullptr;
    }
    if (!provider || bytesPerRow < width * bitsPerPixel / 8
        || provider->bytes().size() < bytesPerRow * (height - 1) + width * bitsPerPixel / 8) {
        NSLog("CGImageCreate: invalid image provider or bytes per row.");
        return nullptr;
    }
    return std::make_shared<CGImage>(width, height, bytesPerRow, format, space, provider, shouldInterpolate);
}

CGImageRef CGImageCreateCopy(const CGImageRef& image)
{
    return image ? std::make_shared<CGImage>(*image) : nullptr;
}

CGImageRef CGImageCreateWithImageInRect(const CGImageRef& image, CGRect rect)
{
    if (!image)
        return nullptr;
    CGRect bounds = CGRectMake(0, 0, static_cast<CGFloat>(image->width()), static_cast<CGFloat>(image->height()));
    CGRect r = CGRectIntegral(CGRectIntersection(bounds, CGRectStandardize(rect)));
    if (CGRectIsNull(r) || r.size.width < 1 || r.size.height < 1)
        return nullptr;
    auto x0 = static_cast<size_t>(r.origin.x), y0 = static_cast<size_t>(r.origin.y);
    auto w = static_cast<size_t>(r.size.width), h = static_cast<size_t>(r.size.height);
    size_t bpp = image->format().bitsPerPixel / 8;
    std::vector<uint8_t> bytes(w * bpp * h);
    for (size_t y = 0; y < h; ++y)
        std::memcpy(bytes.data() + y * w * bpp, image->bytes() + (y0 + y) * image->bytesPerRow() + x0 * bpp, w * bpp);
    return std::make_shared<CGImage>(w, h, w * bpp, image->format(), image->colorSpace(),
        CGDataProviderCreateWithBytes(std::move(bytes)), image->shouldInterpolate());
}

namespace {

CGImageRef makeRGBA(size_t w, size_t h, std::vector<uint8_t> rgba, bool hasAlpha)
{
    CGPixelFormat format { 8, 32, kCGColorSpaceModelRGB, hasAlpha ? kCGImageAlphaLast : kCGImageAlphaNoneSkipLast };
    return std::make_shared<CGImage>(
        w, h, w * 4, format, CGColorSpaceCreateDeviceRGB(), CGDataProviderCreateWithBytes(std::move(rgba)), true);
}

struct PNGReadState {
    const std::vector<uint8_t>* data;
    size_t offset;
};

void pngRead(png_structp png, png_bytep out, png_size_t length)
{
    auto* state = static_cast<PNGReadState*>(png_get_io_ptr(png));
    if (state->offset + length > state->data->size())
        png_error(png, "truncated");
    std::memcpy(out, state->data->data() + state->offset, length);
    state->offset += length;
}

void pngWarning(png_structp, png_const_charp) { }
void pngError(png_structp png, png_const_charp)
{
    longjmp(png_jmpbuf(png), 1);
}

CGImageRef decodePNG(const std::vector<uint8_t>& data)
{
    if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0)
        return nullptr;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (!png)
        return nullptr;
    png_infop info = png_create_info_struct(png);
    PNGReadState state { &data, 0 };
    std::vector<uint8_t> pixels;
    std::vector<png_bytep> rows;
    png_uint_32 w = 0, h = 0;
    volatile bool ok = false;
    bool hasAlpha = true;
    if (info && setjmp(png_jmpbuf(png)) == 0) {
        png_set_read_fn(png, &state, pngRead);
        png_read_info(png, info);
        w = png_get_image_width(png, info);
        h = png_get_image_height(png, info);
        if (CGImageDecodableSize(w, h)) {
            int colorType = png_get_color_type(png, info);
            hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
            png_set_expand(png);
            png_set_strip_16(png);
            png_set_gray_to_rgb(png);
            png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
            png_set_interlace_handling(png);
            png_read_update_info(png, info);
            pixels.resize(size_t(w) * h * 4);
            rows.resize(h);
            for (png_uint_32 y = 0; y < h; ++y)
                rows[y] = pixels.data() + size_t(y) * w * 4;
            png_read_image(png, rows.data());
            ok = true;
        }
    }
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (!ok)
        return nullptr;
    return makeRGBA(w, h, std::move(pixels), hasAlpha);
}

struct JPEGError {
    jpeg_error_mgr base;
    jmp_buf jump;
};

void jpegErrorExit(j_common_ptr info)
{
    longjmp(reinterpret_cast<JPEGError*>(info->err)->jump, 1);
}
void jpegSilence(j_common_ptr) { }

// libjpeg reports errors by longjmp out of jpegErrorExit, so the two steps below hold no C++
// object with a destructor between their setjmp and the libjpeg calls: the pixel buffers belong
// to the caller, which makes them outside either step.
struct JPEGDecode {
    jpeg_decompress_struct cinfo;
    JPEGError err;
};

// Reads the header; true when the declared size may be decoded, with decompression started.
// On false the decompressor is already destroyed.
bool jpegBegin(JPEGDecode& decode, const uint8_t* data, size_t size)
{
    decode.cinfo.err = jpeg_std_error(&decode.err.base);
    decode.err.base.error_exit = jpegErrorExit;
    decode.err.base.output_message = jpegSilence;
    if (setjmp(decode.err.jump)) {
        jpeg_destroy_decompress(&decode.cinfo);
        return false;
    }
    jpeg_create_decompress(&decode.cinfo);
    jpeg_mem_src(&decode.cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&decode.cinfo, TRUE);
    if (!CGImageDecodableSize(decode.cinfo.image_width, decode.cinfo.image_height)) {
        jpeg_destroy_decompress(&decode.cinfo);
        return false;
    }
    decode.cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&decode.cinfo);
    if (!CGImageDecodableSize(decode.cinfo.output_width, decode.cinfo.output_height)
        || decode.cinfo.output_components != 3) {
        jpeg_destroy_decompress(&decode.cinfo);
        return false;
    }
    return true;
}

// Reads every scan line into `pixels` (RGBA, the output size) through `line` (RGB, one row),
// then finishes and destroys the decompressor whatever happens.
bool jpegReadRows(JPEGDecode& decode, uint8_t* pixels, uint8_t* line)
{
    if (setjmp(decode.err.jump)) {
        jpeg_destroy_decompress(&decode.cinfo);
        return false;
    }
    const size_t w = decode.cinfo.output_width;
    while (decode.cinfo.output_scanline < decode.cinfo.output_height) {
        size_t y = decode.cinfo.output_scanline;
        JSAMPROW row = line;
        if (jpeg_read_scanlines(&decode.cinfo, &row, 1) != 1)
            break;
        for (size_t x = 0; x < w; ++x) {
            uint8_t* p = pixels + (y * w + x) * 4;
            p[0] = line[x * 3];
            p[1] = line[x * 3 + 1];
            p[2] = line[x * 3 + 2];
            p[3] = 255;
        }
    }
    jpeg_finish_decompress(&decode.cinfo);
    jpeg_destroy_decompress(&decode.cinfo);
    return true;
}

CGImageRef decodeJPEG(const std::vector<uint8_t>& data)
{
    if (data.size() < 3 || data[0] != 0xFF || data[1] != 0xD8)
        return nullptr;
    JPEGDecode decode;
    if (!jpegBegin(decode, data.data(), data.size()))
        return nullptr;
    size_t w = decode.cinfo.output_width, h = decode.cinfo.output_height;
    std::vector<uint8_t> pixels(w * h * 4);
    std::vector<uint8_t> line(w * 3);
    if (!jpegReadRows(decode, pixels.data(), line.data()))
        return nullptr;
    return makeRGBA(w, h, std::move(pixels), false);
}

// Unpremultiplied RGBA rows of an image, for the encoders.
std::vector<uint8_t> straightRGBA(const CGImage& image)
{
    std::vector<uint8_t> out(image.width() * image.height() * 4);
    for (size_t y = 0; y < image.height(); ++y) {
        const uint8_t* row = image.bytes() + y * image.bytesPerRow();
        for (size_t x = 0; x < image.width(); ++x) {
            uint8_t c[4];
            image.format().readPremultiplied(row, x, c);
            uint8_t* p = out.data() + (y * image.width() + x) * 4;
            uint8_t a = c[3];
            for (int i = 0; i < 3; ++i)
                p[i] = a == 0 ? 0 : a == 255 ? c[i] : static_cast<uint8_t>(std::min(255, (c[i] * 255 + a / 2) / a));
            p[3] = a;
        }
    }
    return out;
}

void pngWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void pngFlush(png_structp) { }

} // namespace

CGImageRef CGImageCreateWithPNGDataProvider(
    const CGDataProviderRef& provider, const CGFloat*, bool, CGColorRenderingIntent)
{
    return provider ? decodePNG(provider->bytes()) : nullptr;
}

CGImageRef CGImageCreateWithJPEGDataProvider(
    const CGDataProviderRef& provider, const CGFloat*, bool, CGColorRenderingIntent)
{
    return provider ? decodeJPEG(provider->bytes()) : nullptr;
}

CGImageRef decodeGIFFirstFrame(const std::vector<uint8_t>& data);

CGImageRef CGImageCreateWithEncodedData(const std::vector<uint8_t>& data)
{
    if (auto png = decodePNG(data))
        return png;
    if (auto jpeg = decodeJPEG(data))
        return jpeg;
    return decodeGIFFirstFrame(data);
}

std::optional<std::vector<uint8_t>> CGImageEncodePNG(const CGImageRef& image)
{
    if (!image)
        return std::nullopt;
    std::vector<uint8_t> rgba = straightRGBA(*image);
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (!png)
        return std::nullopt;
    png_infop info = png_create_info_struct(png);
    volatile bool ok = false;
    if (info && setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, &out, pngWrite, pngFlush);
        png_set_IHDR(png, info, static_cast<png_uint_32>(image->width()), static_cast<png_uint_32>(image->height()), 8,
            PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (size_t y = 0; y < image->height(); ++y)
            png_write_row(png, rgba.data() + y * image->width() * 4);
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, info ? &info : nullptr);
    if (!ok)
        return std::nullopt;
    return out;
}

std::optional<std::vector<uint8_t>> CGImageEncodeJPEG(const CGImageRef& image, CGFloat quality)
{
    if (!image)
        return std::nullopt;
    jpeg_compress_struct cinfo;
    JPEGError err;
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = jpegErrorExit;
    err.base.output_message = jpegSilence;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        free(buffer);
        return std::nullopt;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(image->width());
    cinfo.image_height = static_cast<JDIMENSION>(image->height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, std::clamp(static_cast<int>(std::lround(quality * 100)), 1, 100), TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> line(image->width() * 3);
    for (size_t y = 0; y < image->height(); ++y) {
        const uint8_t* row = image->bytes() + y * image->bytesPerRow();
        for (size_t x = 0; x < image->width(); ++x) {
            uint8_t c[4];
            image->format().readPremultiplied(row, x, c);
            std::memcpy(line.data() + x * 3, c, 3);
        }
        JSAMPROW r = line.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> out(buffer, buffer + size);
    free(buffer);
    return out;
}

size_t CGImageGetWidth(const CGImageRef& image)
{
    return image ? image->width() : 0;
}
size_t CGImageGetHeight(const CGImageRef& image)
{
    return image ? image->height() : 0;
}
size_t CGImageGetBitsPerComponent(const CGImageRef& image)
{
    return image ? image->format().bitsPerComponent : 0;
}
size_t CGImageGetBitsPerPixel(const CGImageRef& image)
{
    return image ? image->format().bitsPerPixel : 0;
}
size_t CGImageGetBytesPerRow(const CGImageRef& image)
{
    return image ? image->bytesPerRow() : 0;
}
CGImageAlphaInfo CGImageGetAlphaInfo(const CGImageRef& image)
{
    return image ? image->format().alphaInfo() : kCGImageAlphaNone;
}
CGBitmapInfo CGImageGetBitmapInfo(const CGImageRef& image)
{
    return image ? image->format().bitmapInfo : 0;
}
CGColorSpaceRef CGImageGetColorSpace(const CGImageRef& image)
{
    return image ? image->colorSpace() : nullptr;
}
CGDataProviderRef CGImageGetDataProvider(const CGImageRef& image)
{
    return image ? image->dataProvider() : nullptr;
}
bool CGImageGetShouldInterpolate(const CGImageRef& image)
{
    return image && image->shouldInterpolate();
}
