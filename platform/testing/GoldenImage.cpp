#include "testing/GoldenImage.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace GoldenImage {

namespace {

// Straight RGBA bytes of an image, row after row.
std::vector<uint8_t> rgba(const CGImage& image)
{
    std::vector<uint8_t> out(image.width() * image.height() * 4);
    for (size_t y = 0; y < image.height(); ++y) {
        const uint8_t* row = image.bytes() + y * image.bytesPerRow();
        for (size_t x = 0; x < image.width(); ++x)
            image.format().readPremultiplied(row, x, out.data() + (y * image.width() + x) * 4);
    }
    return out;
}

} // namespace

::testing::AssertionResult matches(
    const CGImageRef& image, const std::string& goldenPath, int tolerance, double maxDifferingFraction)
{
    if (!image)
        return ::testing::AssertionFailure() << "no image to compare with " << goldenPath;
    const char* update = std::getenv("VX_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        auto png = CGImageEncodePNG(image);
        std::ofstream out(goldenPath, std::ios::binary);
        if (!png || !out)
            return ::testing::AssertionFailure() << "could not write " << goldenPath;
        out.write(reinterpret_cast<const char*>(png->data()), static_cast<std::streamsize>(png->size()));
        return ::testing::AssertionSuccess() << "wrote " << goldenPath;
    }
    std::ifstream in(goldenPath, std::ios::binary);
    if (!in)
        return ::testing::AssertionFailure()
            << "missing golden image " << goldenPath << " (run with VX_UPDATE_GOLDEN=1 to make it)";
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    auto golden = CGImageCreateWithEncodedData(bytes);
    if (!golden)
        return ::testing::AssertionFailure() << "unreadable golden image " << goldenPath;
    if (golden->width() != image->width() || golden->height() != image->height()) {
        return ::testing::AssertionFailure()
            << "size " << image->width() << "x" << image->height() << " differs from the golden " << golden->width()
            << "x" << golden->height() << " of " << goldenPath;
    }
    auto a = rgba(*image), b = rgba(*golden);
    size_t differing = 0, first = a.size();
    for (size_t i = 0; i < a.size(); i += 4) {
        for (size_t c = 0; c < 4; ++c) {
            if (std::abs(int(a[i + c]) - int(b[i + c])) > tolerance) {
                ++differing;
                if (first == a.size())
                    first = i / 4;
                break;
            }
        }
    }
    size_t pixels = a.size() / 4;
    if (static_cast<double>(differing) > maxDifferingFraction * static_cast<double>(pixels)) {
        return ::testing::AssertionFailure()
            << differing << " of " << pixels << " pixels differ from " << goldenPath
            << "; first at x=" << first % image->width() << " y=" << first / image->width();
    }
    return ::testing::AssertionSuccess();
}

} // namespace GoldenImage
