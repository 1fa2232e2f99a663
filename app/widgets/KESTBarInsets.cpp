#include "app/widgets/KESTBarInsets.h"

#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIScrollView.h"

#include <algorithm>

namespace KESTBarInsets {

void adjustTopInset(const Ref<UIScrollView>& scrollView, const Ref<UIViewController>& controller)
{
    auto navigation = controller ? controller->navigationController() : nullptr;
    if (!scrollView || !navigation || navigation->isNavigationBarHidden() || !scrollView->window())
        return;
    auto bar = navigation->navigationBar();
    if (!bar || !bar->window())
        return;
    CGRect barFrame = bar->convertRectToView(bar->bounds(), scrollView->superview());
    CGFloat covered = std::max<CGFloat>(0, CGRectGetMaxY(barFrame) - scrollView->frame().origin.y);
    UIEdgeInsets insets = scrollView->contentInset();
    if (insets.top == covered)
        return;
    CGFloat shift = covered - insets.top;
    insets.top = covered;
    scrollView->setContentInset(insets);
    CGPoint offset = scrollView->contentOffset();
    scrollView->setContentOffset(CGPointMake(offset.x, offset.y - shift));
}

} // namespace KESTBarInsets
