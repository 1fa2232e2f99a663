#pragma once

#include "foundation/NSObject.h"

#include <string>

class UIImage;

// The grid's images: the built-in reorder arrow (a grey right-pointing triangle in the right
// half of 32 x 32 pixels) and the names of the sort-order arrows of column headers. Main thread
// only.
class LGridGraphics : public NSObject {
    VX_OBJECT(LGridGraphics, NSObject)
public:
    explicit LGridGraphics(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<UIImage> reorderArrowImage();
    // 0 "no_sort", 1 "sort_up", 2 "sort_down" between "44_" and ".png"; any other order is a
    // fatal error.
    static std::string imageNameForSortOrder(int32_t order);
    // A missing image is a fatal error.
    static Ref<UIImage> sortOrderArrowImageForSortOrder(int32_t order);
};
