#include "charts/LChartDonutSeries.h"

#include "charts/LChartAngler.h"
#include "charts/LChartAnimationCurve.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartMultiYDataPoint.h"
#include "charts/LChartTheme.h"
#include "charts/LatticeChartLog.h"
#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "uikit/UILabel.h"

#include <cmath>

VX_REGISTER_CLASS(LChartDonutSeries);

LChartDonutSeries::LChartDonutSeries(Passkey key)
    : LChartSeries(key)
{
}

Ref<LChartDonutSeries> LChartDonutSeries::init(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    auto series = make<LChartDonutSeries>();
    series->initDonutSeries(std::move(errorHandler));
    return series;
}

void LChartDonutSeries::initDonutSeries(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    initSeries(std::move(errorHandler));
    setBaseStyle(LChartDonutSeriesStyle::init());
    setBaseSelectedStyle(LChartDonutSeriesStyle::init());
    // Rings grow in and out of view.
    setEntryAnimation(LChartAnimation::growAnimation());
    setExitAnimation(LChartAnimation::growAnimation());
    setActiveAnimation(entryAnimation().get());
    m_selectionAnimation = LChartAnimation::radialSelection();
    m_selectionAnimation->setSeries(this);
    // A new donut does not turn its selected slices.
    setSelectedPosition(Value(0.0));
    m_selectedPositionSet = false;
    m_labelFormatString = "%.2f";
}

LChartDonutSeries::~LChartDonutSeries()
{
    removeLabels();
}

Ref<LChartDonutSeriesStyle> LChartDonutSeries::style() const
{
    return std::static_pointer_cast<LChartDonutSeriesStyle>(baseStyle());
}

Ref<LChartDonutSeriesStyle> LChartDonutSeries::selectedStyle() const
{
    return std::static_pointer_cast<LChartDonutSeriesStyle>(baseSelectedStyle());
}

Ref<LChartSeriesStyle> LChartDonutSeries::themeStyle(const LChartTheme& theme, int32_t index, bool selected) const
{
    return theme.donutSeriesStyleForSeriesAtIndex(index, selected);
}

void LChartDonutSeries::setInnerRadius(float radius)
{
    m_innerRadius = radius;
    m_innerRadiusSet = true;
}

void LChartDonutSeries::setOuterRadius(float radius)
{
    m_outerRadius = radius;
    m_outerRadiusSet = true;
}

void LChartDonutSeries::setRotation(float rotation)
{
    m_rotation = LChartAngler::wrap2PI(rotation);
}

void LChartDonutSeries::resetSelectedStatus()
{
    const auto& points = dataSeries()->dataPoints();
    m_selectedStatus.assign(points.size(), 0);
    for (size_t i = 0; i < points.size(); ++i)
        m_selectedStatus[i] = points[i]->selected() ? 1 : 0;
}

void LChartDonutSeries::setSelectedStatusAtIndex(size_t index, float status)
{
    if (index >= m_selectedStatus.size())
        m_selectedStatus.resize(index + 1, 0);
    m_selectedStatus[index] = status;
}

float LChartDonutSeries::sliceEndAngle(size_t index, float start, double total)
{
    auto& point = *dataSeries()->dataPoints()[index];
    double value = std::max(0.0, point.yValue().doubleValue());
    double sweep = value * 6.283185307179586 / total;
    float end;
    if (m_drawDirection == 0) {
        end = static_cast<float>(start + sweep);
        point.setXCoord(start - m_rotation);
        point.setYCoord(end - m_rotation);
    } else {
        end = static_cast<float>(start - sweep);
        point.setYCoord(start - m_rotation);
        point.setXCoord(end - m_rotation);
    }
    return end;
}

float LChartDonutSeries::datapointProtrusion(size_t index) const
{
    float p0 = style() ? style()->protrusion() : 0;
    float p1 = selectedStyle() ? selectedStyle()->protrusion() : 0;
    float status = index < m_selectedStatus.size() ? m_selectedStatus[index] : 0;
    float curve = m_selectionAnimation && m_selectionAnimation->radiusCurve()
        ? m_selectionAnimation->radiusCurve()->valueAtTime(status)
        : status;
    return p0 + curve * (p1 - p0);
}

Ref<LChartDonutSeriesStyle> LChartDonutSeries::styleOfSlice(size_t index) const
{
    const auto& points = dataSeries()->dataPoints();
    bool sliceSelected = index < points.size() && points[index]->selected();
    return sliceSelected && selectedStyle() ? selectedStyle() : style();
}

double LChartDonutSeries::prepareFrame()
{
    if (m_firstRender) {
        m_rotation = style() ? style()->initialRotation().floatValue() : 0;
        m_firstRender = false;
    }
    double total = 0;
    for (const auto& point : dataSeries()->dataPoints())
        total += std::max(0.0, point->yValue().doubleValue());
    return total;
}

void LChartDonutSeries::drawWithDrawer(LChartDrawer& drawer)
{
    if (auto* animation = activeAnimation())
        animation->setSeries(this);
    CGRect frame = drawer.frame();
    m_donutCenter = CGPointMake(std::floor((frame.origin.x + frame.size.width) * 0.5) + 0.5,
        std::floor((frame.origin.y + frame.size.height) * 0.5) + 0.5);
    double total = prepareFrame();
    const auto& points = dataSeries()->dataPoints();
    // Without a total every angle would be NaN: nothing is drawn.
    if (points.empty() || !(total > 0))
        return;
    const auto clear = UIColor::clearColor();
    float start = m_rotation;
    for (size_t i = 0; i < points.size(); ++i) {
        if (points[i]->yValue().doubleValue() < 0)
            errorHandler()->handleErrorWithMessageFromSource("Datapoint.yValue must be positive.", this);
        auto sliceStyle = styleOfSlice(i);
        float end = sliceEndAngle(i, start, total);
        auto index = static_cast<int32_t>(i);
        auto fill = sliceStyle->showFlavour() ? sliceStyle->flavourColorAtIndex(index) : clear;
        auto line = sliceStyle->showCrust() ? sliceStyle->crustColorAtIndex(index) : clear;
        drawer.drawRadialSlice(index, this, start, end, m_donutCenter, m_innerRadius, m_outerRadius,
            datapointProtrusion(i), (fill ? fill : clear).get(), (line ? line : clear).get(),
            sliceStyle->crustThickness().floatValue() * resolutionScale(), sliceStyle->chartEffect());
        start = end;
    }
}

void LChartDonutSeries::updateWithDrawer(LChartDrawer& drawer)
{
    double total = prepareFrame();
    const auto& points = dataSeries()->dataPoints();
    if (points.empty() || !(total > 0))
        return;
    const float scale = resolutionScale();
    // A pie (any subclass of the donut) draws its outer arc at half width, whatever its radii.
    const bool pie = !isMemberOfClass(LChartDonutSeries::classObject());
    float start = m_rotation;
    for (size_t i = 0; i < points.size(); ++i) {
        float width = styleOfSlice(i)->crustThickness().floatValue() * scale;
        float end = sliceEndAngle(i, start, total);
        float angle = static_cast<float>(start + (end - start) * 0.5f) + static_cast<float>(M_PI / 2);
        float displacement = scale * datapointProtrusion(i);
        auto slice = static_cast<int32_t>(3 * i);
        // Fill and effect, the arcs, the edges.
        drawer.updateRadialSeries(this, slice, displacement, angle, width);
        drawer.updateRadialSeries(this, slice + 1, displacement, angle, pie ? width / 2 : width);
        drawer.updateRadialSeries(this, slice + 2, displacement, angle, width / 2);
        start = end;
    }
}

void LChartDonutSeries::supplementStylesFromStyles(
    const Ref<LChartSeriesStyle>& normal, const Ref<LChartSeriesStyle>& selected)
{
    supplementStylesOfClass<LChartDonutSeriesStyle>(normal, selected);
}

// Spinning, programmatic rotation and selection.

namespace {

constexpr double kTwoPi = 6.283185307179586;

} // namespace

bool LChartDonutSeries::isEnteringOrLeaving() const
{
    auto* active = activeAnimation();
    if (!animationEnabled() || !active || (active != entryAnimation().get() && active != exitAnimation().get()))
        return false;
    return active->timeElapsed().doubleValue() < active->duration().doubleValue();
}

void LChartDonutSeries::setRotationFriction(float friction)
{
    if (!(friction > 0)) {
        errorHandler()->handleErrorWithMessageFromSource("rotationFriction must be greater than zero", this);
        return;
    }
    m_rotationFriction = friction;
}

void LChartDonutSeries::setSelectedPosition(const Value& angle)
{
    if (angle.isNilOrNull())
        return;
    m_selectedPosition = angle;
    m_selectedPositionSet = true;
}

void LChartDonutSeries::setAnimationDuration(float duration)
{
    m_animationDuration = duration;
    m_selectionAnimation->setDuration(Value(static_cast<double>(duration)));
}

void LChartDonutSeries::setAnimationCurveType(int32_t type)
{
    m_animationCurveType = type;
    m_selectionAnimation->animationWithCurve(type);
}

void LChartDonutSeries::sendDidEndDeceleratingCallback()
{
    if (m_canvas)
        m_canvas->radialSeriesDidEndDecelerating(*this);
}

bool LChartDonutSeries::rotateWithStep(double seconds)
{
    if (m_rotationVelocity != 0) {
        m_rotation
            = LChartAngler::wrap2PI(static_cast<float>(static_cast<double>(m_rotation) + m_rotationVelocity * seconds));
        // Friction is taken once per frame, whatever the frame's length.
        setVelocity(m_rotationVelocity * (1 - m_rotationFriction));
        if (std::fabs(m_rotationVelocity) < 0.2f) {
            setVelocity(0);
            m_selectionStartAngle = m_rotation;
            sendDidEndDeceleratingCallback();
        }
        return true;
    }
    auto* pan = m_programmaticPanUserAnimation.get();
    if (pan && activeAnimation() == pan && pan->timeElapsed().doubleValue() < pan->duration().doubleValue()) {
        m_rotation = LChartAngler::wrap2PI(m_selectionStartAngle + m_selectionSpan * pan->currentAngleScaleValue());
        return true;
    }
    return false;
}

bool LChartDonutSeries::moveInOutWithStep(double seconds)
{
    auto* active = activeAnimation();
    if (animationEnabled() && active && (active == entryAnimation().get() || active == exitAnimation().get()))
        return false;
    const auto& points = dataSeries()->dataPoints();
    if (points.empty())
        return false;
    if (m_selectedStatus.size() != points.size())
        resetSelectedStatus();
    double duration = (active ? active : m_selectionAnimation.get())->duration().doubleValue();
    // With no duration a slice moves all the way at once.
    double step = duration > 0 ? seconds / duration : 1;
    bool moved = false;
    for (size_t i = 0; i < points.size(); ++i) {
        float status = m_selectedStatus[i];
        float next = status;
        if (points[i]->selected() && status < 1)
            next = static_cast<float>(std::min(1.0, status + step));
        else if (!points[i]->selected() && status > 0)
            // Slices move back three times as fast as they come out.
            next = static_cast<float>(std::max(0.0, status - 3 * step));
        if (next != status) {
            m_selectedStatus[i] = next;
            moved = true;
        }
        // A slice still on its way asks for another frame even when this frame's step was 0
        // (the first frame after a selection restarts the frame clock), or it would never move.
        if (points[i]->selected() ? next < 1 : next > 0)
            moved = true;
    }
    return moved;
}

void LChartDonutSeries::rotateSliceAtIndexToAngleWithAnimation(
    int32_t index, double angle, const Ref<LChartAnimation>& animation)
{
    const auto& points = dataSeries()->dataPoints();
    if (hidden() || index < 0 || static_cast<size_t>(index) >= points.size())
        return;
    m_programmaticPanUserAnimation = animation ? animation : LChartAnimation::init();
    setActiveAnimation(m_programmaticPanUserAnimation.get());
    if (m_rotationVelocity != 0) {
        setVelocity(0);
        sendDidEndDeceleratingCallback();
    }
    const auto& point = *points[index];
    float a0 = LChartAngler::wrap2PI(static_cast<float>(m_rotation + point.xCoord()));
    float a1 = LChartAngler::wrap2PI(static_cast<float>(m_rotation + point.yCoord()));
    if (a0 > a1)
        a0 -= static_cast<float>(kTwoPi);
    float middle = a0 + (a1 - a0) * 0.5f;
    float target = LChartAngler::wrap2PI(
        LChartAngler::wrap2PI(static_cast<float>(kTwoPi - (middle - m_rotation))) + static_cast<float>(angle));
    m_selectionStartAngle = m_rotation;
    // The short way round.
    if (target > m_rotation && target - m_rotation > M_PI)
        m_selectionSpan = target - static_cast<float>(kTwoPi) - m_rotation;
    else if (target <= m_rotation && m_rotation - target > M_PI)
        m_selectionSpan = target - (m_rotation - static_cast<float>(kTwoPi));
    else
        m_selectionSpan = target - m_rotation;
    m_programmaticPanUserAnimation->setTimeElapsed(Value(0.0));
}

void LChartDonutSeries::endAnimation()
{
    if (auto* active = activeAnimation())
        active->setTimeElapsed(active->duration());
}

void LChartDonutSeries::setSliceAsSelectedWithTapLocation(int32_t index, bool selected, CGPoint tap)
{
    if (isEnteringOrLeaving() || hidden())
        return;
    const auto& points = dataSeries()->dataPoints();
    if (index < 0 || static_cast<size_t>(index) >= points.size())
        return;
    // A tap on a spinning ring only stops it.
    if (!m_selectionEnabledDuringPanning && m_rotationVelocity != 0) {
        setVelocity(0);
        sendDidEndDeceleratingCallback();
        return;
    }
    setActiveAnimation(m_selectionAnimation.get());
    bool changed = points[index]->selected() != selected;
    if (changed)
        points[index]->setSelected(selected);
    if (selected && m_selectedPositionSet)
        rotateSliceAtIndexToAngleWithAnimation(index, m_selectedPosition.doubleValue(), m_selectionAnimation);
    if (changed && m_canvas)
        m_canvas->radialSeriesToggledSelection(*this, index, tap);
    if (m_canvas)
        m_canvas->radialSeriesNeedsRedraw();
}

int32_t LChartDonutSeries::indexOfSliceAtAngle(double angle) const
{
    const auto& points = dataSeries()->dataPoints();
    double relative = LChartAngler::wrap2PI(static_cast<float>(angle - m_rotation));
    for (size_t i = 0; i < points.size(); ++i)
        if (points[i]->xCoord() <= relative && relative <= points[i]->yCoord())
            return static_cast<int32_t>(i);
    return -1;
}

// Labels.

void LChartDonutSeries::removeLabels()
{
    for (const auto& label : m_labels)
        if (label)
            label->removeFromSuperview();
    m_labels.clear();
}

void LChartDonutSeries::createLabelsOnChart(LChartDatasource* datasource, LChartLoaderHost& chart)
{
    const auto& points = dataSeries()->dataPoints();
    for (size_t i = 0; i < points.size(); ++i) {
        auto index = static_cast<int32_t>(i);
        std::optional<Ref<UILabel>> offered;
        if (datasource)
            offered = datasource->sChartLabelForSliceAtIndexInRadialSeries(chart, index, *this);
        if (!offered && datasource) {
            offered = datasource->getLabelsForRadialChartSeriesForIndex(*this, index);
            if (offered && !m_warnedOfDeprecatedLabels) {
                m_warnedOfDeprecatedLabels = true;
                errorHandler()->handleErrorWithMessageFromSource(
                    "getLabelsForRadialChartSeries: forIndex: is deprecated, use "
                    "sChart:labelForSliceAtIndex:inRadialSeries: instead",
                    this);
            }
        }
        if (offered && *offered) {
            m_labels.push_back(*offered);
            continue;
        }
        // The series' own label: the value in the label format, in the slice's style.
        auto label = UILabel::initWithFrame(CGRectZero);
        label->setText(NSString::stringWithFormat(m_labelFormatString, points[i]->yValue().doubleValue()));
        auto sliceStyle = styleOfSlice(i);
        if (sliceStyle) {
            label->setFont(sliceStyle->labelFont());
            label->sizeToFit();
            label->setTextColor(sliceStyle->labelFontColor());
            label->setBackgroundColor(sliceStyle->labelBackgroundColor());
        } else {
            label->sizeToFit();
        }
        m_labels.push_back(label);
    }
}

CGPoint LChartDonutSeries::getSliceCenter(int32_t index) const
{
    const auto& points = dataSeries()->dataPoints();
    if (index < 0 || static_cast<size_t>(index) >= points.size())
        return m_donutCenter;
    const auto& point = *points[index];
    auto middle = static_cast<float>(point.xCoord() + (point.yCoord() - point.xCoord()) * 0.5);
    float radius = m_innerRadius + (m_outerRadius - m_innerRadius) * 0.5f + datapointProtrusion(index);
    double angle = -static_cast<double>(middle) - m_rotation - M_PI / 2;
    double sx = 1;
    double sy = 1;
    // Labels follow a ring that is still growing or shrinking.
    auto* active = activeAnimation();
    if (animationEnabled() && active && active->timeElapsed().doubleValue() < active->duration().doubleValue()) {
        sx = active->currentXScaleValue();
        sy = active->currentYScaleValue();
    }
    return CGPointMake(
        m_donutCenter.x + radius * sx * std::cos(angle), m_donutCenter.y + radius * sy * std::sin(angle));
}
