#include "charts/LChartGridStripeStyle.h"

Ref<LChartGridStripeStyle> LChartGridStripeStyle::copy() const
{
    auto other = init();
    other->setStripeColor(m_stripeColor);
    other->setAlternateStripeColor(m_alternateStripeColor);
    other->m_showGridStripes = m_showGridStripes;
    return other;
}

void LChartGridStripeStyle::supplementStyleFromStyle(const LChartGridStripeStyle& other)
{
    VX_SUPPLEMENT_FLAGGED(other, showGridStripes, ShowGridStripes, Set)
    VX_SUPPLEMENT_OBJECT(other, stripeColor, StripeColor)
    VX_SUPPLEMENT_OBJECT(other, alternateStripeColor, AlternateStripeColor)
}
