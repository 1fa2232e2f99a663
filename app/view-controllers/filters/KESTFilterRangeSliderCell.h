#pragma once

#include "uikit/UITableViewCell.h"

#include <string>

class KESTFilterDetail;
class KESTRangeSlider;
class UILabel;

// Told when the finger leaves a range row's slider, so the editor recounts.
class KESTFilterRangeSliderCellDelegate {
public:
    virtual ~KESTFilterRangeSliderCellDelegate() = default;
    virtual void updateUI() { }
};

// A range row of the filter editor: the altitude or speed range of a filter as a two-thumb
// slider whose values (fractions 0..1 of the scale) go straight into the condition's limits,
// and a label with the range in the user's unit. Built from the layout
// "KESTFilterRangeSliderCell". Main thread only.
class KESTFilterRangeSliderCell : public UITableViewCell {
    VX_OBJECT(KESTFilterRangeSliderCell, UITableViewCell)
public:
    explicit KESTFilterRangeSliderCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTFilterRangeSliderCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTFilterRangeSliderCell>(style, reuseIdentifier);
    }

    // Called by the layout: makes the slider at (10, 46, 300, 34) with its images.
    virtual void awakeFromNib();

    // The scale's ends in the user's unit, and the unit's text.
    void setCellRangesWithMinAndMaxAndUnit(float min, float max, const std::string& unit);
    void valuesChanged(const Ref<NSObject>& sender);
    void finishedTouches(const Ref<NSObject>& sender);
    // "%.0f to %.0f %@" with the scale's upper end times the slider's two values.
    void updateCellLabel();

    Ref<UILabel> cellTitle() const { return m_cellTitle.lock(); }
    void setCellTitle(const Ref<UILabel>& label) { m_cellTitle = label; }
    Ref<UILabel> cellRange() const { return m_cellRange.lock(); }
    void setCellRange(const Ref<UILabel>& label) { m_cellRange = label; }
    const Ref<KESTRangeSlider>& slider() const { return m_slider; }
    const Ref<KESTFilterDetail>& attachedFilter() const { return m_attachedFilter; }
    void setAttachedFilter(Ref<KESTFilterDetail> detail) { m_attachedFilter = std::move(detail); }
    const std::string& unitLabel() const { return m_unitLabel; }
    KESTFilterRangeSliderCellDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }
    void setDelegate(KESTFilterRangeSliderCellDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = delegate;
        m_delegateOwner = std::move(owner);
    }

private:
    Weak<UILabel> m_cellTitle;
    Weak<UILabel> m_cellRange;
    Ref<KESTRangeSlider> m_slider;
    Ref<KESTFilterDetail> m_attachedFilter;
    std::string m_unitLabel;
    float m_min { 0 };
    float m_max { 0 };
    KESTFilterRangeSliderCellDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
};
