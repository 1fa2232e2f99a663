#include "charts/view/LChartPinchPanGestureRecogniser.h"

#include "charts/LatticeChartLog.h"
#include "charts/view/LChartIdentical.h"
#include "foundation/NSDate.h"
#include "uikit/UIScreen.h"
#include "uikit/UITouch.h"
#include "uikit/UIView.h"

#include <algorithm>
#include <cmath>

VX_REGISTER_CLASS(LChartPinchPanGestureRecogniser);

namespace {

// Direction cosines below this do not zoom their direction.
constexpr double kMinimumLineRatio = 0.2;
// A pan that leaves slower than this (points per second) does not coast.
constexpr double kMinimumPanSpeed = 100;
// The last finger of a former pinch must move alone this long for the pan to coast.
constexpr double kPanAfterPinchSeconds = 0.55;

double now()
{
    return NSDate::timeIntervalSinceReferenceDateNow();
}

CGPoint floatPoint(double x, double y)
{
    return CGPointMake(static_cast<float>(x), static_cast<float>(y));
}

} // namespace

LChartPinchPanGestureRecogniser::LChartPinchPanGestureRecogniser(Passkey key)
    : UIPanGestureRecognizer(key)
{
    setLeavesStateToSubclass(true);
}

Ref<LChartPinchPanGestureRecogniser> LChartPinchPanGestureRecogniser::init()
{
    return make<LChartPinchPanGestureRecogniser>();
}

Ref<LChartPinchPanGestureRecogniser> LChartPinchPanGestureRecogniser::initWithTargetAction(
    const Ref<NSObject>& target, const std::string& actionName, UIGestureRecognizerAction action)
{
    auto recogniser = init();
    recogniser->addTargetAction(target, actionName, std::move(action));
    return recogniser;
}

CGPoint LChartPinchPanGestureRecogniser::touchLocation(size_t index) const
{
    return m_lastTouches[index]->locationInView(view());
}

CGPoint LChartPinchPanGestureRecogniser::midpointOfFirstTwo(const Ref<UIView>& view) const
{
    CGPoint p0 = m_lastTouches[0]->locationInView(view);
    CGPoint p1 = m_lastTouches[1]->locationInView(view);
    return CGPointMake((p0.x + p1.x) / 2, (p0.y + p1.y) / 2);
}

CGPoint LChartPinchPanGestureRecogniser::locationInView(const Ref<UIView>& view) const
{
    if (m_lastTouches.empty())
        return UIPanGestureRecognizer::locationInView(view);
    if (m_lastTouches.size() == 1)
        return m_lastTouches[0]->locationInView(view);
    return midpointOfFirstTwo(view);
}

double LChartPinchPanGestureRecogniser::pinchDistance() const
{
    if (m_lastTouches.size() < 2)
        return 0;
    CGPoint p0 = touchLocation(0);
    CGPoint p1 = touchLocation(1);
    return std::hypot(p0.x - p1.x, p0.y - p1.y);
}

CGPoint LChartPinchPanGestureRecogniser::scale()
{
    if (m_touchState >= 2 && m_lastTouches.size() >= 2) {
        if (m_aspectLock) {
            m_lineRatio = CGPointMake(1, 1);
        } else {
            CGPoint p0 = touchLocation(0);
            CGPoint p1 = touchLocation(1);
            double dx = p0.x - p1.x;
            double dy = p0.y - p1.y;
            double length = std::hypot(dx, dy);
            double rx = length > 0 ? std::abs(dx) / length : 0;
            double ry = length > 0 ? std::abs(dy) / length : 0;
            m_lineRatio = floatPoint(rx < kMinimumLineRatio ? 0 : rx, ry < kMinimumLineRatio ? 0 : ry);
        }
        CGRect screen = UIScreen::mainScreen()->bounds();
        double aspect = screen.size.width / screen.size.height;
        double ratio = m_initialPinchDistance > 0 ? pinchDistance() / m_initialPinchDistance : 1;
        m_lineRatio = floatPoint((ratio / aspect) * m_lineRatio.x, (aspect * ratio) * m_lineRatio.y);
    }
    return floatPoint(m_lineRatio.x / m_initialLineRatio.x, m_lineRatio.y / m_initialLineRatio.y);
}

int32_t LChartPinchPanGestureRecogniser::velocityStartIndex() const
{
    int32_t start = -1;
    int32_t filled = 0;
    for (int32_t step = 1; step <= kPinchSamples; ++step) {
        int32_t slot = (m_lastPinchDistanceIndex + step) % kPinchSamples;
        const PinchRecord& record = m_lastPinchDistance[slot];
        if (record.timestamp == 0)
            continue;
        ++filled;
        if (start < 0 || record.timestamp < m_lastPinchDistance[start].timestamp)
            start = slot;
    }
    return filled < 2 ? -1 : start;
}

double LChartPinchPanGestureRecogniser::velocityForOrientation(int32_t orientation) const
{
    int32_t start = velocityStartIndex();
    if (start < 0)
        return 0;
    auto distance
        = [orientation](const PinchRecord& record) { return orientation == 0 ? record.xdistance : record.ydistance; };
    const PinchRecord& first = m_lastPinchDistance[start];
    double startDistance = distance(first);
    const PinchRecord* last = &first;
    bool firstAnswer = false;
    for (int32_t step = 1; step < kPinchSamples; ++step) {
        const PinchRecord& record = m_lastPinchDistance[(start + step) % kPinchSamples];
        if (record.timestamp == 0)
            break;
        bool atMost = distance(record) <= startDistance;
        if (step == 1)
            firstAnswer = atMost;
        else if (atMost != firstAnswer)
            return 0;
        last = &record;
    }
    double elapsed = last->timestamp - first.timestamp;
    if (elapsed == 0)
        return 0;
    return (distance(*last) - startDistance) / elapsed;
}

CGPoint LChartPinchPanGestureRecogniser::velocity() const
{
    if (m_doPanMomentum)
        return CGPointZero;
    return CGPointMake(velocityForOrientation(0), velocityForOrientation(1));
}

CGPoint LChartPinchPanGestureRecogniser::velocityInView(const Ref<UIView>& view) const
{
    CGPoint v = UIPanGestureRecognizer::velocityInView(view);
    if (m_doPanMomentum)
        return v;
    if (std::hypot(v.x, v.y) <= kMinimumPanSpeed || velocityStartIndex() >= 0)
        return CGPointZero;
    return v;
}

CGPoint LChartPinchPanGestureRecogniser::zoomCentreInView(const Ref<UIView>&) const
{
    if (!m_lastPinchCentreValid)
        LatticeChartLog::fatalLogMessageFromSource("Zoom Centre only valid with 2+ touches", this);
    return m_lastPinchCentre;
}

bool LChartPinchPanGestureRecogniser::touchStateChanged()
{
    return std::exchange(m_touchChanged, false);
}

void LChartPinchPanGestureRecogniser::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIPanGestureRecognizer::touchesBegan(touches, event);
    if (state() == UIGestureRecognizerStateFailed)
        return;
    int32_t before = m_touchState;
    int32_t added = 0;
    for (const auto& touch : touches) {
        if (containsObjectIdenticalTo(m_lastTouches, touch.get()))
            continue;
        m_lastTouches.push_back(touch);
        ++added;
    }
    m_touchChanged = true;
    m_touchState = before + added;
    m_maxTouchState = m_touchState;
    if (m_touchState >= 2 && before < 2) {
        m_initialLineRatio = CGPointMake(1, 1);
        m_initialPinchDistance = pinchDistance();
    } else if (m_touchState == 1) {
        m_panStart = now();
        m_initialTouchPoint = touchLocation(0);
    }
    if (state() != UIGestureRecognizerStatePossible)
        setState(UIGestureRecognizerStateChanged);
}

void LChartPinchPanGestureRecogniser::touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIPanGestureRecognizer::touchesMoved(touches, event);
    if (state() == UIGestureRecognizerStateFailed || m_lastTouches.empty())
        return;
    CGPoint p0 = touchLocation(0);
    if (m_touchState >= 2 && m_lastTouches.size() >= 2) {
        CGPoint p1 = touchLocation(1);
        m_lastPinchCentre = CGPointMake((p0.x + p1.x) / 2, (p0.y + p1.y) / 2);
        m_lastPinchDistance[m_lastPinchDistanceIndex] = { std::abs(p0.x - p1.x), std::abs(p0.y - p1.y), now() };
        m_lastPinchDistanceIndex = (m_lastPinchDistanceIndex + 1) % kPinchSamples;
        m_lastPinchCentreValid = true;
    }
    if (state() == UIGestureRecognizerStatePossible) {
        double moved = std::hypot(p0.x - m_initialTouchPoint.x, p0.y - m_initialTouchPoint.y);
        if (moved > m_movementThreshold)
            setState(UIGestureRecognizerStateBegan);
    } else {
        setState(UIGestureRecognizerStateChanged);
    }
}

void LChartPinchPanGestureRecogniser::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIPanGestureRecognizer::touchesEnded(touches, event);
    if (state() == UIGestureRecognizerStateFailed || m_touchState == 0)
        return;
    int32_t before = m_touchState;
    auto lifted = static_cast<int32_t>(touches.size());
    int32_t left = before - lifted;
    if (left < 1) {
        m_lastTouches.clear();
        m_touchState = 0;
    } else {
        if (left == 1) {
            if (before >= 2 && m_lastTouches.size() >= 2) {
                m_lastPinchCentre = midpointOfFirstTwo(view());
                m_lastPinchCentreValid = true;
            }
            m_panStart = now();
        }
        for (const auto& touch : touches)
            std::erase_if(m_lastTouches, [&](const Ref<UITouch>& t) { return t.get() == touch.get(); });
        m_touchChanged = true;
        m_touchState -= lifted;
    }
    if (m_touchState > 0)
        return;
    if (before < 2)
        m_doPanMomentum = m_maxTouchState == 1 || now() - m_panStart > kPanAfterPinchSeconds;
    else
        m_doPanMomentum = false;
    // A finger that lifts before the gesture began was a tap, not a pan: failing leaves the
    // touches to the tap recognisers instead of ending a pan that never started.
    if (state() == UIGestureRecognizerStatePossible)
        setState(UIGestureRecognizerStateFailed);
    else
        setState(UIGestureRecognizerStateEnded);
}

void LChartPinchPanGestureRecogniser::reset()
{
    UIPanGestureRecognizer::reset();
    m_lineRatio = CGPointMake(1, 1);
    m_initialLineRatio = CGPointMake(1, 1);
    m_initialTouchPoint = CGPointZero;
    m_lastPinchCentre = CGPointZero;
    m_lastPinchCentreValid = false;
    m_initialPinchDistance = 0;
    m_lastPinchDistance = {};
    m_lastPinchDistanceIndex = 0;
    m_lastTouches.clear();
    m_touchChanged = false;
    m_touchState = 0;
    m_maxTouchState = 0;
    m_panStart = 0;
    m_doPanMomentum = false;
}
