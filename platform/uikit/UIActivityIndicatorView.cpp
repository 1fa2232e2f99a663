#include "uikit/UIActivityIndicatorView.h"

#include "graphics/UIColor.h"
#include "uikit/UIKitDrawing.h"

#include <cmath>

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

void UIActivityIndicatorView::drawRect(CGRect)
{
    CGRect b = bounds();
    auto color = m_color                              ? m_color
        : m_style == UIActivityIndicatorViewStyleGray ? UIColor::grayColor()
                                                      : UIColor::whiteColor();
    CGFloat side = std::min(b.size.width, b.size.height);
    CGFloat outer = side / 2 - 1;
    CGFloat inner = outer / 2;
    CGFloat width = std::max<CGFloat>(1.5f, side / 10);
    CGPoint c = CGPointMake(CGRectGetMidX(b), CGRectGetMidY(b));
    for (int i = 0; i < 12; ++i) {
        double angle = i * M_PI / 6;
        auto sin = CGFloat(std::sin(angle)), cos = CGFloat(std::cos(angle));
        UIKitDrawing::strokeLine(CGPointMake(c.x + sin * inner, c.y - cos * inner),
            CGPointMake(c.x + sin * outer, c.y - cos * outer), width,
            color->colorWithAlphaComponent(1 - 0.07f * CGFloat(i)));
    }
}
