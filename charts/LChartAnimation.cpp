#include "charts/LChartAnimation.h"

#include "charts/LChartRange.h"

Ref<LChartAnimation> LChartAnimation::init()
{
    auto animation = make<LChartAnimation>();
    animation->setNormalisedOriginX(0.5f);
    animation->setNormalisedOriginY(0.5f);
    animation->setCurve(LChartFlatAnimationCurve::init());
    return animation;
}

Ref<LChartAnimation> LChartAnimation::preset()
{
    auto animation = init();
    animation->setDuration(Value(2.4f));
    return animation;
}

Ref<LChartAnimation> LChartAnimation::growAnimation()
{
    auto a = preset();
    a->setXScaleCurve(LChartBounceAnimationCurve::init());
    a->setYScaleCurve(LChartBounceAnimationCurve::init());
    a->clearSetFlags();
    return a;
}

Ref<LChartAnimation> LChartAnimation::growHorizontalAnimation()
{
    auto a = preset();
    a->setXScaleCurve(LChartBounceAnimationCurve::init());
    a->setNormalisedOriginX(0.0f);
    a->clearSetFlags();
    return a;
}

Ref<LChartAnimation> LChartAnimation::growVerticalAnimation()
{
    auto a = preset();
    a->setYScaleCurve(LChartBounceAnimationCurve::init());
    a->setNormalisedOriginY(0.0f);
    a->clearSetFlags();
    return a;
}

Ref<LChartAnimation> LChartAnimation::fadeAnimation()
{
    auto a = preset();
    a->setAlphaCurve(LChartLinearAnimationCurve::init());
    a->clearSetFlags();
    return a;
}

Ref<LChartAnimation> LChartAnimation::televisionAnimation()
{
    auto a = preset();
    a->setXScaleCurve(LChartBounceDelayAnimationCurve::init());
    a->setYScaleCurve(LChartDelayBounceAnimationCurve::init());
    a->clearSetFlags();
    return a;
}

Ref<LChartAnimation> LChartAnimation::televisionAnimationInverted()
{
    auto a = preset();
    a->setYScaleCurve(LChartBounceDelayAnimationCurve::init());
    a->setXScaleCurve(LChartDelayBounceAnimationCurve::init());
    a->clearSetFlags();
    return a;
}

Ref<LChartAnimation> LChartAnimation::linearTransition()
{
    auto a = preset();
    a->setXScaleCurve(LChartLinearAnimationCurve::init());
    a->setYScaleCurve(LChartLinearAnimationCurve::init());
    a->clearSetFlags();
    return a;
}

Ref<LChartAnimation> LChartAnimation::radialSelection()
{
    auto a = preset();
    a->setRadiusCurve(LChartBounceAnimationCurve::init());
    a->setXScaleCurve(LChartFlatAnimationCurve::init());
    a->setYScaleCurve(LChartFlatAnimationCurve::init());
    a->setAngleCurve(LChartBounceAnimationCurve::init());
    a->clearSetFlags();
    return a;
}

Ref<LChartAnimation> LChartAnimation::copy() const
{
    auto other = make<LChartAnimation>();
    other->m_duration = m_duration;
    other->setCurve(m_curve->copy());
    other->setXScaleCurve(m_xScaleCurve->copy());
    other->setYScaleCurve(m_yScaleCurve->copy());
    other->setRadiusCurve(m_radiusCurve->copy());
    other->setAngleCurve(m_angleCurve->copy());
    other->setAlphaCurve(m_alphaCurve->copy());
    other->m_absoluteOriginX = m_absoluteOriginX;
    other->m_absoluteOriginY = m_absoluteOriginY;
    other->m_normalisedOriginX = m_normalisedOriginX;
    other->m_normalisedOriginY = m_normalisedOriginY;
    other->clearSetFlags();
    return other;
}

void LChartAnimation::setCurve(const Ref<LChartAnimationCurve>& curve)
{
    m_curve = curve;
    setXScaleCurve(curve->copy());
    setYScaleCurve(curve->copy());
    setAngleCurve(curve->copy());
    setRadiusCurve(curve->copy());
    setAlphaCurve(curve->copy());
}

LChartAnimation& LChartAnimation::animationWithCurve(int32_t code)
{
    switch (code) {
    case 0:
        setCurve(LChartLinearAnimationCurve::init());
        break;
    case 1:
        setCurve(LChartEaseInAnimationCurve::init());
        break;
    case 2:
        setCurve(LChartEaseOutAnimationCurve::init());
        break;
    case 3:
        setCurve(LChartEaseInOutAnimationCurve::init());
        break;
    case 4:
        setCurve(LChartBounceAnimationCurve::init());
        break;
    default:
        break;
    }
    return *this;
}

void LChartAnimation::setXScaleCurve(const Ref<LChartAnimationCurve>& curve)
{
    if (curve == m_xScaleCurve)
        return;
    m_xScaleCurve = curve;
    m_xCurveSet = true;
}

void LChartAnimation::setYScaleCurve(const Ref<LChartAnimationCurve>& curve)
{
    if (curve == m_yScaleCurve)
        return;
    m_yScaleCurve = curve;
    m_yCurveSet = true;
}

void LChartAnimation::setRadiusCurve(const Ref<LChartAnimationCurve>& curve)
{
    m_radiusCurve = curve;
    if (!curve)
        return;
    if (!m_yCurveSet)
        m_yScaleCurve = curve->copy();
    if (!m_xCurveSet)
        m_xScaleCurve = curve->copy();
}

void LChartAnimation::setTimeElapsed(const Value& elapsed)
{
    bool wasActive = m_active;
    if (elapsed.floatValue() > m_duration.floatValue()) {
        m_timeElapsed = m_duration;
        m_active = false;
    } else {
        m_timeElapsed = elapsed;
        m_active = true;
    }
    if (wasActive && !m_active && m_series)
        m_series->sendAnimationDidFinishCallback(*this);
}

void LChartAnimation::setAbsoluteOriginX(const Value& origin)
{
    if (origin.isIdenticalTo(m_absoluteOriginX))
        return;
    m_absoluteOriginX = origin;
    m_absoluteOriginXSet = true;
}

void LChartAnimation::setAbsoluteOriginY(const Value& origin)
{
    if (origin.isIdenticalTo(m_absoluteOriginY))
        return;
    m_absoluteOriginY = origin;
    m_absoluteOriginYSet = true;
}

void LChartAnimation::setNormalisedOriginX(float origin)
{
    m_normalisedOriginX = origin;
    m_normalisedOriginXSet = true;
}

void LChartAnimation::setNormalisedOriginY(float origin)
{
    m_normalisedOriginY = origin;
    m_normalisedOriginYSet = true;
}

void LChartAnimation::setSeries(LChartAnimatedSeries* series)
{
    if (series && series->isBarColumnSeries()) {
        if (!m_xCurveSet && m_xScaleCurve
            && m_xScaleCurve->isMemberOfClass(LChartDelayBounceAnimationCurve::classObject()))
            m_xScaleCurve = LChartDelayBounceWithMinimumAnimationCurve::init();
        if (!m_yCurveSet && m_yScaleCurve
            && m_yScaleCurve->isMemberOfClass(LChartDelayBounceAnimationCurve::classObject()))
            m_yScaleCurve = LChartDelayBounceWithMinimumAnimationCurve::init();
        if (series->orientation() == 1) {
            if (!m_absoluteOriginXSet && !m_normalisedOriginXSet)
                m_absoluteOriginX = series->baseline();
        } else if (!m_absoluteOriginYSet && !m_normalisedOriginYSet) {
            m_absoluteOriginY = series->baseline();
        }
    }
    m_series = series;
}

void LChartAnimation::clearSetFlags()
{
    m_absoluteOriginXSet = m_absoluteOriginYSet = false;
    m_normalisedOriginXSet = m_normalisedOriginYSet = false;
    m_xCurveSet = m_yCurveSet = false;
}

float LChartAnimation::progress() const
{
    float duration = m_duration.floatValue();
    float elapsed = m_timeElapsed.floatValue();
    return m_reverse ? (duration - elapsed) / duration : elapsed / duration;
}

double LChartAnimation::normalisedValueForRange(double fraction, const LChartRange& range)
{
    double lo = range.minimum().isDate() ? range.minimum().dateValue() : range.min();
    double hi = range.maximum().isDate() ? range.maximum().dateValue() : range.max();
    return lo + (hi - lo) * fraction;
}

double LChartAnimation::animationOriginX() const
{
    if (!m_absoluteOriginX.isNil())
        return m_absoluteOriginX.doubleValue();
    if (m_series) {
        if (auto range = m_series->visibleRangeOnXAxis())
            return normalisedValueForRange(m_normalisedOriginX, *range);
    }
    return 0;
}

double LChartAnimation::animationOriginY() const
{
    if (!m_absoluteOriginY.isNil())
        return m_absoluteOriginY.doubleValue();
    if (m_series) {
        if (auto range = m_series->visibleRangeOnYAxis())
            return normalisedValueForRange(m_normalisedOriginY, *range);
    }
    return 0;
}
