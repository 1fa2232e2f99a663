#pragma once

#include "uikit/UIControl.h"

#include <string>
#include <vector>

class UIImage;

inline constexpr int32_t UISegmentedControlNoSegment = -1;

// A row of segments, one of them selected (or none). A touch that lifts inside an enabled
// segment selects it and sends value-changed; a momentary control selects the segment only while
// the event is sent. Setting the selection in code sends nothing; an index outside the
// segments is ignored. Segments share the width equally, except those given a width. Main
// thread only.
class UISegmentedControl : public UIControl {
    VX_OBJECT(UISegmentedControl, UIControl)
public:
    explicit UISegmentedControl(Passkey key)
        : UIControl(key)
    {
    }
    static Ref<UISegmentedControl> initWithItems(const std::vector<std::string>& titles);
    static Ref<UISegmentedControl> initWithFrame(CGRect frame) { return makeView<UISegmentedControl>(frame); }

    int32_t numberOfSegments() const { return int32_t(m_segments.size()); }
    // Empty for an index out of range.
    std::string titleForSegmentAtIndex(int32_t index) const;
    void setTitleForSegmentAtIndex(const std::string& title, int32_t index);
    Ref<UIImage> imageForSegmentAtIndex(int32_t index) const;
    void setImageForSegmentAtIndex(const Ref<UIImage>& image, int32_t index);
    // An index past the end appends.
    void insertSegmentWithTitleAtIndexAnimated(const std::string& title, int32_t index, bool animated);
    void removeSegmentAtIndexAnimated(int32_t index, bool animated);
    void removeAllSegments();
    bool isEnabledForSegmentAtIndex(int32_t index) const;
    void setEnabledForSegmentAtIndex(bool enabled, int32_t index);
    // 0: an equal share.
    CGFloat widthForSegmentAtIndex(int32_t index) const;
    void setWidthForSegmentAtIndex(CGFloat width, int32_t index);

    int32_t selectedSegmentIndex() const { return m_selected; }
    void setSelectedSegmentIndex(int32_t index);
    bool isMomentary() const { return m_momentary; }
    void setMomentary(bool v) { m_momentary = v; }
    // The segment under a point in the control's space; UISegmentedControlNoSegment outside.
    int32_t segmentIndexAtPoint(CGPoint point) const;

    void endTrackingWithTouchWithEvent(const Ref<UITouch>& touch, const Ref<UIEvent>& event) override;
    // A border in the tint colour with dividers; the selected segment is filled with the tint and
    // its title drawn white, the others' titles in the tint (grey when disabled); an image is
    // drawn centred in its segment.
    void drawRect(CGRect rect) override;

private:
    // The segments' left edges and widths, in order.
    std::vector<std::pair<CGFloat, CGFloat>> segmentSpans() const;
    struct Segment {
        std::string title;
        Ref<UIImage> image;
        CGFloat width { 0 };
        bool enabled { true };
    };
    std::vector<Segment> m_segments;
    int32_t m_selected { UISegmentedControlNoSegment };
    bool m_momentary { false };
};
