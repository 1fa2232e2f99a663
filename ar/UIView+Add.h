#pragma once

#include "graphics/CGGeometry.h"
#include "uikit/UIKitForward.h"

#include <cstdint>

class UIView;
class UIViewController;

// Sizes by interface orientation and the controller that shows a view.
namespace UIView_Add {
// The bounds size, width and height swapped for the landscape orientations (3 and 4).
CGSize sizeInOrientation(const Ref<UIView>& view, int32_t orientation);
// sizeInOrientation with the application's status bar orientation.
CGSize currentSize(const Ref<UIView>& view);
// From the view's superview upwards, the first view whose next responder is a view controller
// gives it; nil when the chain ends.
Ref<UIViewController> viewController(const Ref<UIView>& view);
} // namespace UIView_Add
