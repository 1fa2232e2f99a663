#include "servicesim/SimImages.h"

#include <cstdio>
#include <jpeglib.h>
#include <vector>
#include <zlib.h>

namespace {

void put32(std::string& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void chunk(std::string& out, const char* type, const std::string& data)
{
    put32(out, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    put32(out,
        static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

} // namespace

namespace SimImages {

std::string png(int width, int height, const Painter& paint)
{
    std::string raw;
    raw.reserve(static_cast<size_t>(height) * (width * 4 + 1));
    for (int y = 0; y < height; ++y) {
        raw += '\0'; // no filter
        for (int x = 0; x < width; ++x)
            put32(raw, paint(x, y));
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(size, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
        static_cast<uLong>(raw.size()), 6);
    packed.resize(size);

    std::string out("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    put32(header, static_cast<uint32_t>(width));
    put32(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x06\x00\x00\x00", 5); // 8 bits, RGBA, deflate, no filter, no interlace
    chunk(out, "IHDR", header);
    chunk(out, "IDAT", packed);
    chunk(out, "IEND", "");
    return out;
}

std::string jpeg(int width, int height, const Painter& paint, int quality)
{
    jpeg_compress_struct info {};
    jpeg_error_mgr errors {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = paint(x, y);
            row[x * 3] = static_cast<unsigned char>(pixel >> 24);
            row[x * 3 + 1] = static_cast<unsigned char>(pixel >> 16);
            row[x * 3 + 2] = static_cast<unsigned char>(pixel >> 8);
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    std::string out(reinterpret_cast<char*>(buffer), size);
    jpeg_destroy_compress(&info);
    free(buffer);
    return out;
}

std::string png(const Bitmap& bitmap)
{
    return png(bitmap.width, bitmap.height, [&](int x, int y) { return bitmap.at(x, y); });
}

std::string jpeg(const Bitmap& bitmap, int quality)
{
    return jpeg(
        bitmap.width, bitmap.height, [&](int x, int y) { return bitmap.at(x, y); }, quality);
}

uint32_t colourFor(const std::string& text, uint32_t salt)
{
    uint32_t hash = 2166136261u ^ salt;
    for (unsigned char c : text)
        hash = (hash ^ c) * 16777619u;
    // Keep the colour mid-bright so shapes on it stay visible.
    uint32_t r = 40 + (hash & 0xFF) % 176, g = 40 + ((hash >> 8) & 0xFF) % 176, b = 40 + ((hash >> 16) & 0xFF) % 176;
    return (r << 24) | (g << 16) | (b << 8) | 0xFF;
}

} // namespace SimImages
