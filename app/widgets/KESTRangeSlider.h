#pragma once

#include "uikit/UIControl.h"

class UIImage;
class UIImageView;

// A horizontal two-thumb control selecting a sub-range of 0..1: `min` under the left thumb,
// `max` under the right one. It is always 30 points high; each thumb is as wide as the control
// is high (H), so the usable length is L = width - 2H, min = left x / L and
// max = (right x - H) / L. Dragging a thumb into the other pushes it along, keeping at least
// minimumRangeLength between them. Drags that change a value send value-changed; every touch
// ends with touch-up-inside. A control no wider than two thumbs (L <= 0) keeps its values.
// Main thread only.
class KESTRangeSlider : public UIControl {
    VX_OBJECT(KESTRangeSlider, UIControl)
public:
    explicit KESTRangeSlider(Passkey key)
        : UIControl(key)
    {
    }
    // Keeps the frame's origin and width; the height is always 30.
    static Ref<KESTRangeSlider> initWithFrame(CGRect frame);

    float min() const { return m_min; }
    float max() const { return m_max; }
    float minimumRangeLength() const { return m_minimumRangeLength; }
    // Each clamps to 0..1 and lays the thumbs out again, without an event.
    void setMin(float value);
    void setMax(float value);
    void setMinimumRangeLength(float value);

    void setMinThumbImage(const Ref<UIImage>& image);
    void setMaxThumbImage(const Ref<UIImage>& image);
    void setTrackImage(const Ref<UIImage>& image);
    void setInRangeTrackImage(const Ref<UIImage>& image);

    const Ref<UIImageView>& minSlider() const { return m_minSlider; }
    const Ref<UIImageView>& maxSlider() const { return m_maxSlider; }
    const Ref<UIImageView>& trackImageView() const { return m_track; }
    const Ref<UIImageView>& inRangeTrackImageView() const { return m_inRange; }

    void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;

private:
    float thumbSide() const;
    float usableLength() const;
    void calculateMinMax();
    void updateThumbViews();
    void updateTrackImageViews();
    static void setX(const Ref<UIImageView>& view, float x);

    float m_min { 0 };
    float m_max { 1 };
    float m_minimumRangeLength { 0 };
    Ref<UIImageView> m_track;
    Ref<UIImageView> m_inRange;
    Ref<UIImageView> m_minSlider;
    Ref<UIImageView> m_maxSlider;
    Ref<UIImageView> m_trackingSlider;
};
