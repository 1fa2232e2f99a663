#include "ar/SLKPoiAdvancedLabel.h"

#include "ar/SLKPoiLabelTemplate.h"
#include "ar/SLKView.h"

namespace {

CGPoint s_stackingOrigin { 0.5f, 1.0f };

} // namespace

CGPoint SLKPoiAdvancedLabel::stackingOrigin()
{
    return s_stackingOrigin;
}

void SLKPoiAdvancedLabel::setStackingOriginAndY(float x, float y)
{
    s_stackingOrigin = CGPointMake(x, y);
}

void SLKPoiAdvancedLabel::resetForTesting()
{
    s_stackingOrigin = CGPointMake(0.5f, 1.0f);
}

void SLKPoiAdvancedLabel::updateAppearance()
{
    if (!labelTemplate())
        return;
    labelTemplate()->updateAppearance();
    if (labelView())
        setStackingSize(labelView()->frame().size);
}

void SLKPoiAdvancedLabel::renderInView(const Ref<SLKView>& view)
{
    auto labelView = this->labelView();
    float previousY = labelView ? labelView->center().y : 0;
    if (hidden() && !m_inOrigin && labelView) {
        CGRect frame = view->frame();
        labelView->setCenter(
            CGPointMake(frame.size.width * s_stackingOrigin.x, frame.size.height * s_stackingOrigin.y));
        m_inOrigin = true;
    }
    SLKPoi::renderInView(view);
    if (!stacked() || !labelView)
        return;
    m_inOrigin = false;
    CGPoint center = labelView->center();
    CGSize size = stackingSize();
    float y = center.y - view->addHeightInStackingSectorTheWidthTheHeight(center.x, size.width, size.height);
    float speed = SLKPoi::stackingAnimationSpeed();
    if (speed < 1)
        y = SNRLerp(previousY, y, speed);
    labelView->setCenter(CGPointMake(center.x, y));
}
