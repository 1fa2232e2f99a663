#pragma once

#include "foundation/Ref.h"
#include "graphics/CGGeometry.h"

class UIImage;

// Proportional image scaling. Any thread.
namespace UIImage_ProportionResize {

// A new image of exactly `targetSize` (scale 1) with the receiver drawn into it scaled by one
// factor, the smaller of the two axis ratios: an image limited by its width is centred
// vertically, one limited by its height is drawn at the left edge. nullptr, with the log line
// "could not scale image", when no image could be made.
Ref<UIImage> imageByScalingProportionallyToSize(const Ref<UIImage>& image, CGSize targetSize);

} // namespace UIImage_ProportionResize
