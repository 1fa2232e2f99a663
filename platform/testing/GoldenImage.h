#pragma once

#include "graphics/CGImage.h"

#include <gtest/gtest.h>
#include <string>

// Compares rendered images with committed golden PNGs. A pixel differs when any channel is off by
// more than `tolerance`; the comparison passes while at most `maxDifferingFraction` of the pixels
// differ. With VX_UPDATE_GOLDEN=1 in the environment the golden file is (re)written instead.
namespace GoldenImage {
::testing::AssertionResult matches(
    const CGImageRef& image, const std::string& goldenPath, int tolerance = 2, double maxDifferingFraction = 0.002);
} // namespace GoldenImage
