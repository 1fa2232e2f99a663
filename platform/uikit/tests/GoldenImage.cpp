#include "GoldenImage.h"

#include "CGContext.h"
#include "CGImage.h"
#include "UIGraphics.h"
#include "UIImage.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::string goldenPath(const std::string& name)
{
    return std::string(VX_TEST_DIR) + "/golden/" + name + ".png";
}

// The image's pixels drawn into a fresh premultiplied bitmap of its own pixel size, so that an
// image decoded from a file and one rendered in memory are compared in one format.
std::vector<uint8_t> pixels(const CGImageRef& image, size_t& width, size_t& height)
{
    width = CGImageGetWidth(image);
    height = CGImageGetHeight(image);
    auto context = UIGraphicsCreateImageContext(CGSizeMake(CGFloat(width), CGFloat(height)), false, 1);
    if (!context)
        return {};
    CGContextDrawImage(context, CGRectMake(0, 0, CGFloat(width), CGFloat(height)), image);
    auto* data = static_cast<const uint8_t*>(CGBitmapContextGetData(context));
    size_t rowBytes = CGBitmapContextGetBytesPerRow(context);
    std::vector<uint8_t> result;
    result.reserve(width * height * 4);
    for (size_t y = 0; y < height; ++y)
        result.insert(result.end(), data + y * rowBytes, data + y * rowBytes + width * 4);
    return result;
}

} // namespace

std::string compareWithGolden(
    const Ref<UIImage>& image, const std::string& name, int channelTolerance, double maxDifferentFraction)
{
    if (!image || !image->CGImage())
        return "no image to compare";
    std::string path = goldenPath(name);
    if (std::getenv("VX_UPDATE_GOLDEN")) {
        auto png = CGImageEncodePNG(image->CGImage());
        if (!png)
            return "could not encode the image";
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(png->data()), std::streamsize(png->size()));
        return out ? std::string() : "could not write " + path;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "no golden image at " + path + " (run with VX_UPDATE_GOLDEN=1 to make it)";
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto golden = CGImageCreateWithEncodedData(bytes);
    if (!golden)
        return "unreadable golden image " + path;
    size_t w1 = 0, h1 = 0, w2 = 0, h2 = 0;
    auto actual = pixels(image->CGImage(), w1, h1);
    auto expected = pixels(golden, w2, h2);
    if (w1 != w2 || h1 != h2)
        return "size " + std::to_string(w1) + "x" + std::to_string(h1) + " differs from the golden "
            + std::to_string(w2) + "x" + std::to_string(h2);
    size_t different = 0;
    size_t firstX = 0, firstY = 0;
    for (size_t i = 0; i + 3 < actual.size(); i += 4) {
        bool differs = false;
        for (size_t c = 0; c < 4; ++c)
            differs = differs || std::abs(int(actual[i + c]) - int(expected[i + c])) > channelTolerance;
        if (differs && different++ == 0) {
            firstX = (i / 4) % w1;
            firstY = (i / 4) / w1;
        }
    }
    if (double(different) > maxDifferentFraction * double(w1 * h1))
        return std::to_string(different) + " pixels differ, the first at (" + std::to_string(firstX) + ", "
            + std::to_string(firstY) + ")";
    return {};
}
