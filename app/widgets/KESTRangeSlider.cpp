#include "app/widgets/KESTRangeSlider.h"

#include "graphics/UIColor.h"
#include "graphics/UIImage.h"
#include "uikit/UIImageView.h"
#include "uikit/UITouch.h"

#include <algorithm>

VX_REGISTER_CLASS(KESTRangeSlider);

namespace {

constexpr float kHeight = 30;

float clamped(float value)
{
    return std::clamp(value, 0.0f, 1.0f);
}

} // namespace

Ref<KESTRangeSlider> KESTRangeSlider::initWithFrame(CGRect frame)
{
    frame.size.height = kHeight;
    auto slider = makeView<KESTRangeSlider>(frame);
    slider->setClipsToBounds(false);
    float width = frame.size.width;
    slider->m_track = UIImageView::initWithFrame(CGRectMake(5, 0, width - 10, kHeight));
    slider->m_inRange = UIImageView::initWithFrame(CGRectMake(0, 0, width, kHeight));
    auto thumb = [](float x) {
        auto view = UIImageView::initWithFrame(CGRectMake(x, 0, kHeight, kHeight));
        view->setBackgroundColor(UIColor::whiteColor());
        view->setContentMode(UIViewContentModeCenter);
        return view;
    };
    slider->m_minSlider = thumb(0);
    slider->m_maxSlider = thumb(width - kHeight);
    for (const auto& view : { slider->m_track, slider->m_inRange, slider->m_minSlider, slider->m_maxSlider })
        slider->addSubview(view);
    slider->updateTrackImageViews();
    return slider;
}

float KESTRangeSlider::thumbSide() const
{
    return bounds().size.height;
}

float KESTRangeSlider::usableLength() const
{
    return bounds().size.width - 2 * thumbSide();
}

void KESTRangeSlider::setX(const Ref<UIImageView>& view, float x)
{
    CGRect frame = view->frame();
    frame.origin.x = x;
    view->setFrame(frame);
}

void KESTRangeSlider::setMin(float value)
{
    m_min = clamped(value);
    updateThumbViews();
    updateTrackImageViews();
}

void KESTRangeSlider::setMax(float value)
{
    m_max = clamped(value);
    updateThumbViews();
    updateTrackImageViews();
}

void KESTRangeSlider::setMinimumRangeLength(float value)
{
    m_minimumRangeLength = clamped(value);
    updateThumbViews();
    updateTrackImageViews();
}

void KESTRangeSlider::setMinThumbImage(const Ref<UIImage>& image)
{
    m_minSlider->setBackgroundColor(UIColor::clearColor());
    m_minSlider->setImage(image);
}

void KESTRangeSlider::setMaxThumbImage(const Ref<UIImage>& image)
{
    m_maxSlider->setBackgroundColor(UIColor::clearColor());
    m_maxSlider->setImage(image);
}

void KESTRangeSlider::setTrackImage(const Ref<UIImage>& image)
{
    if (!image)
        return;
    float height = thumbSide();
    CGSize size = image->size();
    m_track->setFrame(CGRectMake(5, std::max(0.0f, (height - float(size.height)) / 2), bounds().size.width - 10,
        std::min(height, float(size.height))));
    m_track->setImage(image);
    CGRect inRange = m_inRange->frame();
    inRange.origin.y = m_track->frame().origin.y;
    inRange.size.height = m_track->frame().size.height;
    m_inRange->setFrame(inRange);
}

void KESTRangeSlider::setInRangeTrackImage(const Ref<UIImage>& image)
{
    // The plain track then runs between the two thumb centres of this moment.
    CGRect track = m_track->frame();
    track.origin.x = m_inRange->frame().origin.x;
    track.size.width = m_inRange->frame().size.width;
    m_track->setFrame(track);
    if (!image)
        return;
    CGSize size = image->size();
    m_inRange->setImage(image->stretchableImageWithLeftCapWidthTopCapHeight(
        static_cast<int32_t>(size.width / 2 - 2), static_cast<int32_t>(size.height - 2)));
}

void KESTRangeSlider::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIControl::touchesBegan(touches, event);
    if (touches.empty())
        return;
    CGPoint point = touches.front()->locationInView(self<UIView>());
    if (CGRectContainsPoint(m_minSlider->frame(), point))
        m_trackingSlider = m_minSlider;
    else if (CGRectContainsPoint(m_maxSlider->frame(), point))
        m_trackingSlider = m_maxSlider;
}

void KESTRangeSlider::touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIControl::touchesMoved(touches, event);
    if (touches.empty())
        return;
    auto touch = touches.front();
    float dx = float(touch->locationInView(self<UIView>()).x - touch->previousLocationInView(self<UIView>()).x);
    float side = thumbSide();
    float length = usableLength();
    float width = bounds().size.width;
    float left = m_minSlider->frame().origin.x;
    float right = m_maxSlider->frame().origin.x;
    if (m_trackingSlider == m_minSlider) {
        left = std::min(left + dx, length * (1 - m_minimumRangeLength));
        if (left <= 0)
            left = 0;
        right = std::max(right, left + side + m_minimumRangeLength * length);
    } else if (m_trackingSlider == m_maxSlider) {
        right = std::max(side + m_minimumRangeLength * length, std::min(right + dx, width - side));
        left = std::min(left, right - side - m_minimumRangeLength * length);
    }
    setX(m_minSlider, left);
    setX(m_maxSlider, right);
    calculateMinMax();
    updateTrackImageViews();
}

void KESTRangeSlider::touchesEnded(const UITouchSet&, const Ref<UIEvent>& event)
{
    // Every touch ends with one touch-up-inside, wherever it was lifted.
    setHighlighted(false);
    sendActions(UIControlEventTouchUpInside, event);
    m_trackingSlider = nullptr;
}

void KESTRangeSlider::calculateMinMax()
{
    float length = usableLength();
    // Without a usable length there is nothing to divide by: the values stay.
    if (length <= 0)
        return;
    float side = thumbSide();
    float newMin = float(m_minSlider->frame().origin.x) / length;
    if (newMin <= 0)
        newMin = 0;
    float newMax = std::min(1.0f, (float(m_maxSlider->frame().origin.x) - side) / length);
    if (newMin == m_min && newMax == m_max)
        return;
    m_min = newMin;
    m_max = newMax;
    sendActionsForControlEvents(UIControlEventValueChanged);
}

void KESTRangeSlider::updateThumbViews()
{
    float side = thumbSide();
    float length = usableLength();
    float right = side + m_max * length;
    float left = std::min(m_min * length, right - side - m_minimumRangeLength * length);
    float y = (kHeight - side) / 2;
    m_maxSlider->setFrame(CGRectMake(right, y, side, side));
    m_minSlider->setFrame(CGRectMake(left, y, side, side));
}

void KESTRangeSlider::updateTrackImageViews()
{
    CGRect frame = m_inRange->frame();
    float left = m_minSlider->frame().origin.x;
    frame.origin.x = left + thumbSide() / 2;
    frame.size.width = float(m_maxSlider->frame().origin.x) - left;
    m_inRange->setFrame(frame);
}
