#pragma once

#include "foundation/Ref.h"

class UIScrollView;
class UIViewController;

// The navigation controller lays its screens under its bar; these keep a screen's content clear
// of it. Main thread only.
namespace UIViewController_BarInsets {

// The height the visible navigation bar (and the status bar above it) covers at the top of the
// screen's view; 0 outside a navigation controller or with the bar hidden.
float coveredTop(const Ref<UIViewController>& screen);
// Insets the scroll view's content by that height, and scrolls it to the top the first time.
void insetBelowNavigationBar(const Ref<UIViewController>& screen, const Ref<UIScrollView>& scrollView);

} // namespace UIViewController_BarInsets
