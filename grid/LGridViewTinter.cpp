#include "grid/LGridViewTinter.h"

#include "graphics/UIColor.h"
#include "uikit/UIView.h"

Ref<LGridViewTinter> LGridViewTinter::init()
{
    auto tinter = make<LGridViewTinter>();
    for (auto& band : tinter->m_tints) {
        band = UIView::initWithFrame(CGRectMake(0, 0, 200, 200));
        band->setUserInteractionEnabled(false);
        band->setBackgroundColor(UIColor::blackColor());
        band->setAlpha(0);
    }
    return tinter;
}

void LGridViewTinter::setTintColor(const Ref<UIColor>& color)
{
    for (auto& band : m_tints)
        band->setBackgroundColor(color);
}

Ref<UIColor> LGridViewTinter::tintColor() const
{
    return m_tints[0]->backgroundColor();
}

void LGridViewTinter::moveToView(const Ref<UIView>& view)
{
    if (!view)
        return;
    for (auto& band : m_tints)
        view->addSubview(band);
}

void LGridViewTinter::showAndPosition(const std::array<CGRect, 2>& rects)
{
    for (size_t i = 0; i < 2; ++i) {
        m_tints[i]->setFrame(rects[i]);
        if (auto superview = m_tints[i]->superview())
            superview->bringSubviewToFront(m_tints[i]);
    }
    setHidden(false);
}

void LGridViewTinter::setHidden(bool hidden)
{
    UIView::beginAnimations("", nullptr);
    UIView::setAnimationDuration(0.3);
    for (auto& band : m_tints)
        band->setAlpha(hidden ? 0.0f : 0.3f);
    UIView::commitAnimations();
}

void LGridViewTinter::highlightYFromToInBounds(float from, float to, CGRect b)
{
    showAndPosition({ CGRectMake(b.origin.x, b.origin.y, b.size.width, from - b.origin.y),
        CGRectMake(b.origin.x, to, b.size.width, b.size.height - to) });
}

void LGridViewTinter::highlightXFromToInBounds(float from, float to, CGRect b)
{
    showAndPosition({ CGRectMake(b.origin.x, b.origin.y, from - b.origin.x, b.size.height),
        CGRectMake(to, b.origin.y, b.size.width - to, b.size.height) });
}
