#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Encoders for the pictures the simulated services hand out (logos, photos, chart tiles).
// Any thread.
namespace SimImages {

// RGBA pixel as 0xRRGGBBAA.
using Painter = std::function<uint32_t(int x, int y)>;

std::string png(int width, int height, const Painter& paint);
std::string jpeg(int width, int height, const Painter& paint, int quality = 80);

// A drawn picture: rows of 0xRRGGBBAA pixels, not premultiplied.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

std::string png(const Bitmap&);
// The alpha channel is dropped.
std::string jpeg(const Bitmap&, int quality = 80);

// A deterministic colour for a text, so the same code always gets the same picture.
uint32_t colourFor(const std::string& text, uint32_t salt = 0);

} // namespace SimImages
