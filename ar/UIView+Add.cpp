#include "ar/UIView+Add.h"

#include "uikit/UIApplication.h"
#include "uikit/UIView.h"
#include "uikit/UIViewController.h"

#include <utility>

namespace UIView_Add {

CGSize sizeInOrientation(const Ref<UIView>& view, int32_t orientation)
{
    if (!view)
        return CGSizeZero;
    CGSize size = view->bounds().size;
    if (orientation == 3 || orientation == 4)
        std::swap(size.width, size.height);
    return size;
}

CGSize currentSize(const Ref<UIView>& view)
{
    return sizeInOrientation(view, UIApplication::sharedApplication()->statusBarOrientation());
}

Ref<UIViewController> viewController(const Ref<UIView>& view)
{
    for (auto current = view ? view->superview() : nullptr; current; current = current->superview()) {
        if (auto controller = std::dynamic_pointer_cast<UIViewController>(current->nextResponder()))
            return controller;
    }
    return nullptr;
}

} // namespace UIView_Add
