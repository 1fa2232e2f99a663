#pragma once

#include "uikit/UIPanGestureRecognizer.h"

#include <array>
#include <string>

// One finger pans, two fingers pinch. The pinch's zoom may differ along x and y (each direction
// zooms by its share of the line between the fingers), its velocity is measured over the last
// five samples of the finger distance, and when the last finger lifts the recogniser decides
// whether the pan should coast. It only measures; the canvas overlay moves the axes. The
// platform pan recogniser underneath keeps tracking, so its location and velocity stay
// available. Main thread only.
class LChartPinchPanGestureRecogniser final : public UIPanGestureRecognizer {
    VX_OBJECT(LChartPinchPanGestureRecogniser, UIPanGestureRecognizer)
public:
    explicit LChartPinchPanGestureRecogniser(Passkey key);
    static Ref<LChartPinchPanGestureRecogniser> init();
    static Ref<LChartPinchPanGestureRecogniser> initWithTargetAction(
        const Ref<NSObject>& target, const std::string& actionName, UIGestureRecognizerAction action);

    // One sample of the distance between the first two fingers; a timestamp of 0 marks an
    // empty slot.
    struct PinchRecord {
        double xdistance { 0 };
        double ydistance { 0 };
        double timestamp { 0 };
    };
    static constexpr int32_t kPinchSamples = 5;

    // No touch: the platform pan's location; one: that touch's; more: the midpoint of the first two.
    CGPoint locationInView(const Ref<UIView>& view) const override;
    double pinchDistance() const;
    // The pinch's zoom factors along x and y; with fewer than two touches, the ones computed last.
    CGPoint scale();
    // Pinch velocity of the finger distance (points per second); zero when the pan coasts.
    CGPoint velocity() const;
    double velocityForOrientation(int32_t orientation) const;
    int32_t velocityStartIndex() const;
    // The platform pan velocity, zeroed when the pan should not coast (slow, or pinched).
    CGPoint velocityInView(const Ref<UIView>& view) const;
    bool hasZoomCentre() const { return m_lastPinchCentreValid; }
    // The last pinch centre in the recogniser's own view; fatal without one.
    CGPoint zoomCentreInView(const Ref<UIView>& view) const;
    // Whether touches came down or lifted since it was last asked; clears the flag.
    bool touchStateChanged();
    bool hasPinched() const { return m_maxTouchState >= 2; }
    bool doPanMomentum() const { return m_doPanMomentum; }

    bool aspectLock() const { return m_aspectLock; }
    void setAspectLock(bool lock) { m_aspectLock = lock; }
    float movementThreshold() const { return m_movementThreshold; }
    void setMovementThreshold(float threshold) { m_movementThreshold = threshold; }

    void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    // Cancelled touches cancel a running gesture (the platform's handling).
    void reset() override;

private:
    CGPoint touchLocation(size_t index) const;
    CGPoint midpointOfFirstTwo(const Ref<UIView>& view) const;

    bool m_aspectLock { false };
    CGPoint m_lineRatio { 1, 1 };
    CGPoint m_initialLineRatio { 1, 1 };
    CGPoint m_lastPinchCentre {};
    CGPoint m_initialTouchPoint {};
    bool m_lastPinchCentreValid { false };
    double m_initialPinchDistance { 0 };
    std::array<PinchRecord, kPinchSamples> m_lastPinchDistance {};
    int32_t m_lastPinchDistanceIndex { 0 };
    std::vector<Ref<UITouch>> m_lastTouches;
    bool m_touchChanged { false };
    int32_t m_touchState { 0 };
    int32_t m_maxTouchState { 0 };
    double m_panStart { 0 };
    bool m_doPanMomentum { false };
    float m_movementThreshold { 3.0f };
};
