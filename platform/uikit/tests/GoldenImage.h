#pragma once

#include "Ref.h"

#include <string>

class UIImage;

// Compares an image with tests/golden/<name>.png. Channels may differ by `channelTolerance`
// and at most `maxDifferentFraction` of the pixels may differ beyond it. With VX_UPDATE_GOLDEN
// set in the environment, the golden file is (re)written from the image instead. Returns an
// empty string on a match, else what differs.
std::string compareWithGolden(
    const Ref<UIImage>& image, const std::string& name, int channelTolerance = 8, double maxDifferentFraction = 0.002);
