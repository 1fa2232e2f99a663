#include "app/widgets/UIViewController+BarInsets.h"

#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIScrollView.h"

namespace UIViewController_BarInsets {

float coveredTop(const Ref<UIViewController>& screen)
{
    auto navigation = screen ? screen->navigationController() : nullptr;
    if (!navigation || navigation->isNavigationBarHidden() || !navigation->navigationBar())
        return 0;
    return CGRectGetMaxY(navigation->navigationBar()->frame());
}

void insetBelowNavigationBar(const Ref<UIViewController>& screen, const Ref<UIScrollView>& scrollView)
{
    if (!scrollView)
        return;
    float top = coveredTop(screen);
    UIEdgeInsets insets = scrollView->contentInset();
    if (insets.top == top)
        return;
    float shift = top - insets.top;
    insets.top = top;
    scrollView->setContentInset(insets);
    CGPoint offset = scrollView->contentOffset();
    scrollView->setContentOffset(CGPointMake(offset.x, offset.y - shift));
}

} // namespace UIViewController_BarInsets
