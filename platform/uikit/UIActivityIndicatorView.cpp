#include "UIActivityIndicatorView.h"

VX_REGISTER_CLASS(UIActivityIndicatorView);

Ref<UIActivityIndicatorView> UIActivityIndicatorView::initWithActivityIndicatorStyle(UIActivityIndicatorViewStyle style)
{
    CGFloat side = style == UIActivityIndicatorViewStyleWhiteLarge ? 37 : 20;
    auto view = makeView<UIActivityIndicatorView>(CGRectMake(0, 0, side, side));
    view->m_style = style;
    view->setHidden(true);
    return view;
}

Ref<UIActivityIndicatorView> UIActivityIndicatorView::initWithFrame(CGRect frame)
{
    auto view = makeView<UIActivityIndicatorView>(frame);
    view->setHidden(true);
    return view;
}

void UIActivityIndicatorView::setActivityIndicatorViewStyle(UIActivityIndicatorViewStyle style)
{
    m_style = style;
    setNeedsDisplay();
}

void UIActivityIndicatorView::setHidesWhenStopped(bool v)
{
    m_hidesWhenStopped = v;
    if (!m_animating)
        setHidden(v);
}

void UIActivityIndicatorView::startAnimating()
{
    m_animating = true;
    setHidden(false);
}

void UIActivityIndicatorView::stopAnimating()
{
    m_animating = false;
    if (m_hidesWhenStopped)
        setHidden(true);
}

CGSize UIActivityIndicatorView::sizeThatFits(CGSize) const
{
    CGFloat side = m_style == UIActivityIndicatorViewStyleWhiteLarge ? 37 : 20;
    return CGSizeMake(side, side);
}
