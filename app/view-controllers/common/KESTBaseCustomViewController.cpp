#include "app/view-controllers/common/KESTBaseCustomViewController.h"

#include "graphics/UIColor.h"
#include "uikit/UIView.h"

VX_REGISTER_CLASS(KESTBaseCustomViewController);

void KESTBaseCustomViewController::loadView()
{
    auto view = UIView::initWithFrame(CGRectZero);
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view->setBackgroundColor(UIColor::whiteColor());
    setView(view);
}
