#include "charts/view/LChartBoxGestureRecogniser.h"

#include "uikit/UITouch.h"
#include "uikit/UIView.h"

#include <algorithm>
#include <cmath>

VX_REGISTER_CLASS(LChartBoxGestureRecogniser);

namespace {

constexpr CGFloat kMinimumBoxSide = 10;

} // namespace

LChartBoxGestureRecogniser::~LChartBoxGestureRecogniser()
{
    reset();
}

Ref<LChartBoxGestureRecogniser> LChartBoxGestureRecogniser::init()
{
    return make<LChartBoxGestureRecogniser>();
}

Ref<LChartBoxGestureRecogniser> LChartBoxGestureRecogniser::initWithTargetAction(
    const Ref<NSObject>& target, const std::string& actionName, UIGestureRecognizerAction action)
{
    auto recogniser = init();
    recogniser->addTargetAction(target, actionName, std::move(action));
    return recogniser;
}

void LChartBoxGestureRecogniser::newTouch(const Ref<UITouch>& touch)
{
    if (!m_touches[0])
        m_touches[0] = touch;
    else if (!m_touches[1])
        m_touches[1] = touch;
    else
        m_touches[m_lastReleasedTouch] = touch;
}

CGRect LChartBoxGestureRecogniser::boxInView(const Ref<UIView>& view) const
{
    CGPoint a;
    CGPoint b;
    if (m_hadTwoFingers && m_touches[0] && m_touches[1]) {
        a = m_touches[0]->locationInView(view);
        b = m_touches[1]->locationInView(view);
    } else {
        a = m_initialTouch;
        const Ref<UITouch>& slotted = m_touches[0] ? m_touches[0] : m_touches[1];
        b = slotted ? slotted->locationInView(view) : a;
    }
    return CGRectMake(std::min(a.x, b.x), std::min(a.y, b.y), std::max(std::abs(a.x - b.x), kMinimumBoxSide),
        std::max(std::abs(a.y - b.y), kMinimumBoxSide));
}

void LChartBoxGestureRecogniser::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesBegan(touches, event);
    int32_t n = m_nFingersDown + static_cast<int32_t>(touches.size());
    if (n > 2) {
        setState(UIGestureRecognizerStateFailed);
        return;
    }
    if (n == 1) {
        newTouch(touches.front());
        m_initialTouch = touches.front()->locationInView(view());
        m_nFingersDown = 1;
    } else if (n == 2) {
        if (touches.size() == 2) {
            m_touches = { touches[0], touches[1] };
        } else {
            newTouch(touches.front());
        }
        m_nFingersDown = 2;
        m_hadTwoFingers = true;
        m_validGesture = true;
    }
    if (state() != UIGestureRecognizerStatePossible)
        setState(UIGestureRecognizerStateChanged);
}

void LChartBoxGestureRecogniser::touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesMoved(touches, event);
    setState(
        state() == UIGestureRecognizerStatePossible ? UIGestureRecognizerStateBegan : UIGestureRecognizerStateChanged);
    m_validGesture = true;
}

void LChartBoxGestureRecogniser::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesEnded(touches, event);
    auto lifted = static_cast<int32_t>(touches.size());
    bool slotZero = lifted == 1 && m_touches[0] && m_touches[0].get() == touches.front().get();
    m_lastReleasedTouch = lifted >= 2 || slotZero ? 0 : 1;
    bool all = lifted >= m_nFingersDown;
    m_nFingersDown = std::max(0, m_nFingersDown - lifted);
    if (!all)
        return;
    m_lastReleasedTouch = 0;
    setState(m_validGesture ? UIGestureRecognizerStateEnded : UIGestureRecognizerStateFailed);
}

void LChartBoxGestureRecogniser::reset()
{
    m_touches = {};
    m_nFingersDown = 0;
    m_hadTwoFingers = false;
    m_validGesture = false;
}
