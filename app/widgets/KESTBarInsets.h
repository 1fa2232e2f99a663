#pragma once

#include "foundation/NSObject.h"

class UIScrollView;
class UIViewController;

// Bars drawn over a screen's content (the navigation bar of its navigation controller, which
// lies over the top of the content view) would hide the first rows of a list; this gives the
// list a top inset of the part of its frame that the bar covers, as the platform does for
// screens that let their content run under the bars. Main thread only.
namespace KESTBarInsets {

void adjustTopInset(const Ref<UIScrollView>& scrollView, const Ref<UIViewController>& controller);

} // namespace KESTBarInsets
