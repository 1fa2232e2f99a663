#include "app/view-controllers/filters/KESTFilterRangeSliderCell.h"

#include "app/core/KESTFilterDetail.h"
#include "app/widgets/KESTRangeSlider.h"
#include "foundation/NSBundle.h"
#include "foundation/NSString.h"
#include "graphics/UIImage.h"
#include "uikit/UILabel.h"

VX_REGISTER_CLASS(KESTFilterRangeSliderCell);

void KESTFilterRangeSliderCell::awakeFromNib()
{
    m_slider = KESTRangeSlider::initWithFrame(CGRectMake(10, 46, 300, 34));
    m_slider->setMinimumRangeLength(0);
    auto handle = UIImage::imageNamed("handle");
    m_slider->setMinThumbImage(handle);
    m_slider->setMaxThumbImage(handle);
    if (auto track = UIImage::imageNamed("sliderbar"))
        m_slider->setTrackImage(track->resizableImageWithCapInsets(UIEdgeInsetsMake(9, 9, 9, 9)));
    m_slider->setInRangeTrackImage(UIImage::imageNamed("sliderbarfull"));
    auto self = this->self<KESTFilterRangeSliderCell>();
    m_slider->addTarget(self, &KESTFilterRangeSliderCell::valuesChanged, "valuesChanged:", UIControlEventValueChanged);
    m_slider->addTarget(
        self, &KESTFilterRangeSliderCell::finishedTouches, "finishedTouches:", UIControlEventTouchUpInside);
    contentView()->addSubview(m_slider);
    updateCellLabel();
}

void KESTFilterRangeSliderCell::setCellRangesWithMinAndMaxAndUnit(float min, float max, const std::string& unit)
{
    m_min = min;
    m_max = max;
    m_unitLabel = unit;
    updateCellLabel();
}

void KESTFilterRangeSliderCell::valuesChanged(const Ref<NSObject>&)
{
    if (m_attachedFilter && m_slider) {
        m_attachedFilter->setFilterLowerLimit(Value(m_slider->min()));
        m_attachedFilter->setFilterUpperLimit(Value(m_slider->max()));
    }
    updateCellLabel();
}

void KESTFilterRangeSliderCell::finishedTouches(const Ref<NSObject>&)
{
    if (auto target = delegate()) {
        auto owner = m_delegateOwner.lock();
        target->updateUI();
    }
}

void KESTFilterRangeSliderCell::updateCellLabel()
{
    auto label = cellRange();
    if (!label || !m_slider)
        return;
    float low = m_max * m_slider->min();
    float high = m_max * m_slider->max();
    label->setText(
        NSString::stringWithFormat(NSLocalizedString("%.0f to %.0f %@"), double(low), double(high), m_unitLabel));
}
