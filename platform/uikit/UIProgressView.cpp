#include "uikit/UIProgressView.h"

#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

#include <algorithm>
#include <cmath>

VX_REGISTER_CLASS(UIProgressView);

Ref<UIProgressView> UIProgressView::initWithProgressViewStyle(UIProgressViewStyle style)
{
    auto view = makeView<UIProgressView>(CGRectMake(0, 0, 150, 2));
    view->m_style = style;
    return view;
}

void UIProgressView::setProgressAnimated(float progress, bool)
{
    // Not-a-number reads as no progress.
    m_progress = std::isnan(progress) ? 0 : std::clamp(progress, 0.0f, 1.0f);
    setNeedsDisplay();
}

void UIProgressView::drawRect(CGRect)
{
    CGRect b = bounds();
    (m_trackTint ? m_trackTint : UIColor::colorWithWhiteAlpha(0.85f, 1))->setFill();
    UIRectFill(b);
    (m_progressTint ? m_progressTint : tintColor())->setFill();
    UIRectFill(CGRectMake(0, 0, b.size.width * m_progress, b.size.height));
}
