#pragma once

#include "foundation/NSObject.h"

#include <string>
#include <vector>

class UIImage;

// The device's saved photos album, kept in the sandbox as numbered PNG files
// ("Media/DCIM/IMG_0001.PNG", ...), so a saved image can be looked at and tests can see what
// was saved. Main thread only.

// Saves the image as the album's next photo; an image without pixels saves nothing.
void UIImageWriteToSavedPhotosAlbum(const Ref<UIImage>& image);

namespace UISavedPhotosAlbum {
// The album's folder in the current sandbox.
std::string directory();
// The full paths of the saved photos, oldest first.
std::vector<std::string> photoPaths();
} // namespace UISavedPhotosAlbum
