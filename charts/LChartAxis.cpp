#include "charts/LChartAxis.h"

#include "uikit/UIView.h"

#include "charts/LChartAnimation.h"
#include "charts/LChartAxisStyle.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartDrawer.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartNumberRange.h"
#include "charts/LChartRange.h"
#include "charts/LChartRangeUtils.h"
#include "charts/LChartSkipList.h"
#include "charts/LChartTitle.h"
#include "charts/LatticeChartLog.h"
#include "foundation/Clock.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSString.h"

#include <algorithm>
#include <cmath>

namespace {

// The single-precision constants of the range animation, widened.
constexpr double kAnimationDuration = 0.949999988079071;
constexpr double kFirstFrame = 0.016699999570846558;

std::string describe(const Ref<LChartRange>& range)
{
    return range ? range->description() : std::string("(null)");
}

double spanOf(const Ref<LChartRange>& range)
{
    return range ? range->max() - range->min() : 0;
}

} // namespace

LChartAxis::LChartAxis(Passkey key)
    : NSObject(key)
{
}

LChartAxis::~LChartAxis()
{
    if (m_axisLineView)
        m_axisLineView->removeFromSuperview();
}

Ref<LChartAxis> LChartAxis::init()
{
    auto axis = make<LChartAxis>();
    axis->initialise();
    return axis;
}

Ref<LChartAxis> LChartAxis::makeEmptyAxis() const
{
    return init();
}

void LChartAxis::initialise()
{
    m_style = LChartAxisStyle::init();
    m_skipList = LChartSkipList::init();
    m_maxRange = LChartRange::initWithMinimumAndMaximum(Value(0), Value(1));
    m_glRange = LChartRange::initWithMinimumAndMaximum(Value(0), Value(0));
    m_axisRangeInternal = LChartRange::initWithMinimumAndMaximum(Value(0), Value(1));
    m_defaultRangeInternal = LChartRange::initWithMinimumAndMaximum(Value(0), Value(1));
    m_dataRangeInternal = LChartRange::initWithMinimumAndMaximum(Value(0), Value(1));
    setWidth(Value(30.0f));
    m_userSetWidth = false;
    m_recalculateBarColumnsRequired = true;
    m_barColumnsConfigured = false;
    m_animateRangeAdjustments = true;
    m_axisKey = description();
}

std::string LChartAxis::description() const
{
    return NSString::stringWithFormat("%@ at %p, axisRange = %@, defaultRange = %@, maxRange = %@", className(),
        static_cast<const void*>(this), describe(m_axisRangeInternal), describe(m_defaultRangeInternal),
        describe(m_maxRange));
}

void LChartAxis::assertIsGenericAxis() const
{
    LatticeChartLog::fatalLogMessageFromSource("A generic LChartAxis has been created, use a subclass instead", this);
}

Ref<LChartRange> LChartAxis::getNewRangeWithMinimumWithMaximum(const Value&, const Value&) const
{
    assertIsGenericAxis();
}

double LChartAxis::now() const
{
    return Clock::mediaTime();
}

// MARK: Geometry and width

void LChartAxis::setChart(LChartAxisHost* chart)
{
    m_chart = chart;
    if (chart && !m_width.isNil()) {
        bool userSet = m_userSetWidth;
        setWidth(m_width);
        m_userSetWidth = userSet;
    }
}

void LChartAxis::setWidth(const Value& width)
{
    if (width.isNil()) {
        m_userSetWidth = false;
        m_width = Value(spaceRequiredToDrawWithTitle(true));
        return;
    }
    float w = width.floatValue();
    float lineWidth = m_style ? m_style->lineWidth().floatValue() : 0.0f;
    if (std::isnan(w) || std::isinf(w) || w < lineWidth) {
        LatticeChartLog::fatalLogMessageFromSource(
            NSString::stringWithFormat("Cannot set an axis width %f that is nan, inf, or less than its linewidth", w),
            this);
    }
    m_userSetWidth = true;
    Value used = width;
    bool fellBack = false;
    if (w <= 0) {
        m_userSetWidth = false;
        used = Value(spaceRequiredToDrawWithTitle(true));
        fellBack = true;
    } else if (m_chart && w > static_cast<float>(m_chart->chartFrame().size.width / 2)) {
        m_userSetWidth = false;
        used = Value(static_cast<float>(m_chart->chartFrame().size.width / 2));
        fellBack = true;
    }
    if (fellBack) {
        LatticeChartLog::logInfoWithMessageFromSource(
            Value::dictionary({ { Value("Width Value given"), width }, { Value("Width Value used"), used } }),
            "Defaulting axis width, invalid value given", this);
    }
    m_width = used;
}

float LChartAxis::spaceRequiredToDrawWithTitle(bool withTitle)
{
    float sum = m_style ? m_style->lineWidth().floatValue() : 0.0f;
    float ticks = 0;
    auto tickExtent = [](const Ref<LChartTickStyle>& tick) {
        return tick && tick->showTicks() ? tick->tickGap().floatValue() + tick->lineLength().floatValue() : 0.0f;
    };
    if (m_style) {
        ticks = std::max({ tickExtent(m_style->majorTickStyle()), tickExtent(m_style->minorTickStyle()), 0.0f });
        sum += ticks;
        if (m_style->majorTickStyle() && m_style->majorTickStyle()->showLabels())
            sum += isXAxis() ? m_largestLabelHeight : m_largestLabelWidth;
    }
    if (withTitle && m_titleLabel && !m_titleLabel->isHidden()) {
        CGSize size = m_titleLabel->frame().size;
        sum += static_cast<float>(isXAxis() ? size.height : size.width);
    }
    if (m_userSetWidth) {
        m_axisWidthIsSufficient = sum <= m_width.floatValue();
        return m_width.floatValue();
    }
    m_axisWidthIsSufficient = true;
    return sum;
}

const Ref<LChartTitle>& LChartAxis::titleLabel()
{
    if (!m_titleLabel)
        m_titleLabel = LChartTitle::init();
    return m_titleLabel;
}

std::string LChartAxis::title()
{
    return titleLabel()->text();
}

void LChartAxis::setTitle(const std::string& title)
{
    titleLabel()->setTitleText(title);
}

// MARK: Series links

void LChartAxis::linkSeries(const Ref<LChartAxisSeries>& series)
{
    if (!isLinkedToSeries(series))
        m_seriesOnAxis.push_back(series);
}

bool LChartAxis::isLinkedToSeries(const Ref<LChartAxisSeries>& series) const
{
    return std::find(m_seriesOnAxis.begin(), m_seriesOnAxis.end(), series) != m_seriesOnAxis.end();
}

// MARK: Ranges

Ref<LChartRange> LChartAxis::transformRangeToInternal(const Ref<LChartRange>& range) const
{
    if (!range)
        return nullptr;
    return LChartNumberRange::initWithMinimumAndMaximum(Value(transformValueToInternal(range->minimum()).doubleValue()),
        Value(transformValueToInternal(range->maximum()).doubleValue()));
}

Ref<LChartRange> LChartAxis::transformRangeToExternal(const Ref<LChartRange>& range) const
{
    if (!range)
        return nullptr;
    return getNewRangeWithMinimumWithMaximum(
        transformValueToExternal(range->minimum()), transformValueToExternal(range->maximum()));
}

void LChartAxis::setDefaultRange(const Ref<LChartRange>& range)
{
    if (!range) {
        m_defaultRangeInternal = nullptr;
        m_defaultRangeSet = false;
        return;
    }
    m_defaultRangeSet = true;
    setDefaultRangeInternal(transformRangeToInternal(range));
}

void LChartAxis::setDefaultRangeInternal(const Ref<LChartRange>& given)
{
    if (!given)
        return;
    Ref<LChartRange> range = m_defaultRangeSet ? given : rangeFromRangeWithUserPadding(given);
    if (range == m_defaultRangeInternal)
        return;
    m_defaultRangeInternal = LChartRange::rangeWithRange(range);
    updateZoom();
    updateMaxRange();
}

void LChartAxis::setDefaultRangeInternalAsIfUserSet(const Ref<LChartRange>& range, bool userSet)
{
    setDefaultRangeInternal(range);
    if (userSet)
        m_defaultRangeSet = true;
}

void LChartAxis::setDataRangeInternal(const Ref<LChartRange>& range)
{
    if (!range)
        return;
    double min = range->min();
    double max = range->max();
    if (min < max) {
        m_dataRangeInternal = LChartRange::initWithMinimumAndMaximum(Value(min), Value(max));
        m_dataRangeValid = true;
    } else {
        m_dataRangeInternal = LChartRange::initWithMinimumAndMaximum(Value(min - 0.5), Value(max + 0.5));
    }
}

const Ref<LChartRange>& LChartAxis::dataRangeInternal()
{
    if (!m_dataRangeValid || !m_dataRangeInternal)
        setDataRangeInternal(chartRangeFromGlRange());
    return m_dataRangeInternal;
}

void LChartAxis::refreshDataRange()
{
    m_dataRangeValid = false;
    clearGlRange();
    dataRangeInternal();
}

void LChartAxis::updateDefaultRange()
{
    if ((m_defaultRangeInternal && !m_dataRangeValid) || m_defaultRangeSet)
        return;
    Ref<LChartRange> range = visibleRangeInternal();
    if (!range || spanOf(range) <= 0)
        range = LChartRange::rangeWithRange(dataRangeInternal());
    setDefaultRangeInternal(range);
}

void LChartAxis::updateMaxRange()
{
    Ref<LChartRange> data = dataRangeInternal();
    Value min;
    Value max;
    if ((!m_defaultRangeSet && !visibleRangeInternal()) || !m_defaultRangeInternal) {
        min = data->minimum();
        max = data->maximum();
    } else if (m_dataRangeValid) {
        min = data->min() > m_defaultRangeInternal->min() ? m_defaultRangeInternal->minimum() : data->minimum();
        max = data->max() < m_defaultRangeInternal->max() ? m_defaultRangeInternal->maximum() : data->maximum();
    } else {
        min = m_defaultRangeInternal->minimum();
        max = m_defaultRangeInternal->maximum();
    }
    m_maxRange = getNewRangeWithMinimumWithMaximum(min, max);
}

void LChartAxis::updateRanges()
{
    refreshDataRange();
    updateDefaultRange();
    updateMaxRange();
}

Ref<LChartRange> LChartAxis::visibleRangeInternal() const
{
    if (m_seriesOnAxis.empty() || !m_chart)
        return nullptr;
    Value min;
    Value max;
    for (const auto& range : m_chart->visibleRangesOfSeriesGroupsOnAxis(*this)) {
        if (!range)
            continue;
        if (min.isNil() || compareValues(range->minimum(), min) < 0)
            min = range->minimum();
        if (max.isNil() || compareValues(range->maximum(), max) > 0)
            max = range->maximum();
    }
    if (min.isNil() || max.isNil())
        return nullptr;
    return getNewRangeWithMinimumWithMaximum(min, max);
}

Ref<LChartRange> LChartAxis::visibleRange() const
{
    return transformRangeToExternal(visibleRangeInternal());
}

Ref<LChartRange> LChartAxis::chartRangeFromGlRange() const
{
    return LChartRange::initWithMinimumAndMaximum(
        dataValueFromCoord(m_glRange->min()), dataValueFromCoord(m_glRange->max()));
}

Ref<LChartRange> LChartAxis::rangeFromRangeWithUserPadding(const Ref<LChartRange>& range) const
{
    return getNewRangeWithMinimumWithMaximum(
        Value(range->min() - m_rangePaddingLow.doubleValue()), Value(range->max() + m_rangePaddingHigh.doubleValue()));
}

void LChartAxis::updateZoom()
{
    m_zoom = m_axisRangeInternal ? spanOf(m_defaultRangeInternal) / spanOf(m_axisRangeInternal) : 1.0;
}

// MARK: Setting the visible range

void LChartAxis::applyLimits(double& min, double& max, bool bounceLimits) const
{
    double lower = 0;
    double upper = 0;
    getAxisLimitsWithMinAndMax(&lower, &upper);
    if (m_animationEdgeBouncing && bounceLimits) {
        double span = spanOf(m_axisRangeInternal);
        lower -= 0.25 * span;
        upper += 0.25 * span;
    }
    if (m_allowPanningOutOfMaxRange && m_allowPanningOutOfDefaultRange)
        return;
    double span = max - min;
    if (span > upper - lower) {
        min = lower;
        max = upper;
        span = max - min;
    }
    if (min < lower) {
        min = lower;
        max = lower + span;
    }
    if (max > upper) {
        max = upper;
        min = upper - span;
    }
}

bool LChartAxis::setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
    const Value& minimum, const Value& maximum, bool animate, bool bounceLimits)
{
    if (!minimum.isNumber() || !maximum.isNumber())
        LatticeChartLog::fatalLogMessageFromSource(" Range minimum and maximum must be of type NSNumber", this);
    double oldMin = m_axisRangeInternal ? m_axisRangeInternal->min() : 0;
    double oldMax = m_axisRangeInternal ? m_axisRangeInternal->max() : 0;
    double min = minimum.doubleValue();
    double max = maximum.doubleValue();
    if (!std::isfinite(min) || !std::isfinite(max))
        LatticeChartLog::fatalLogMessageFromSource("Range minimum and maximum can't be infinite nor nans", this);
    // Two finite ends can still have a span too wide for a double (-1e308 to 1e308): no tick
    // frequency or pixel mapping works on it, so it is refused like an empty one.
    if (max <= min || !std::isfinite(max - min)) {
        LatticeChartLog::logMessageFromSource(
            NSString::stringWithFormat("Ignoring range with %f span", max - min), this);
        return false;
    }
    if (m_animatingRange) {
        m_animatingRange = false;
        cancelPreviousPerformRequestsWithTargetSelector(shared_from_this(), "animateRangeChange");
    }
    applyLimits(min, max, bounceLimits);

    if (m_animationEnabled && animate) {
        m_animatingRange = true;
        m_animationTarget[0] = min;
        m_animationTarget[1] = max;
        m_animationStart[0] = oldMin;
        m_animationStart[1] = oldMax;
        m_animationStartTime = now() - kFirstFrame;
        animateRangeChange();
    } else {
        m_axisRangeInternal = getNewRangeWithMinimumWithMaximum(Value(min), Value(max));
    }
    updateZoom();
    return min != oldMin || max != oldMax;
}

bool LChartAxis::setRangeWithMinimumAndMaximumWithAnimationUsingBounceLimits(
    const Value& minimum, const Value& maximum, bool animate, bool bounceLimits)
{
    return setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
        transformValueToInternal(minimum), transformValueToInternal(maximum), animate, bounceLimits);
}

void LChartAxis::animateRangeChange()
{
    double elapsed = now() - m_animationStartTime;
    auto animation = LChartAnimation::linearTransition();
    animation->setDuration(Value(0.95f));
    animation->setTimeElapsed(Value(std::min(elapsed, kAnimationDuration)));
    animation->setCurve(LChartEaseOutAnimationCurve::init());
    double p = animation->currentXScaleValue();

    double min = m_animationTarget[0];
    double max = m_animationTarget[1];
    bool finished = elapsed >= kAnimationDuration;
    if (!finished) {
        min = m_animationStart[0] + p * (m_animationTarget[0] - m_animationStart[0]);
        max = m_animationStart[1] + p * (m_animationTarget[1] - m_animationStart[1]);
        if (!(min < max)) {
            finished = true;
            min = m_animationTarget[0];
            max = m_animationTarget[1];
        }
    }
    if (finished) {
        m_animatingRange = false;
    } else {
        if (m_chart) {
            m_chart->axisIsZooming(*this);
            m_chart->axisIsPanning(*this);
        }
        performSelectorAfterDelay(
            shared_from_this(), "animateRangeChange",
            [weak = weak_from_this()] {
                if (auto self = std::static_pointer_cast<LChartAxis>(weak.lock()))
                    self->animateRangeChange();
            },
            0);
    }
    if (!std::isfinite(min))
        min = m_axisRangeInternal->min();
    if (!std::isfinite(max))
        max = m_axisRangeInternal->max();
    m_axisRangeInternal = getNewRangeWithMinimumWithMaximum(Value(min), Value(max));
    updateZoom();
    if (m_chart)
        m_chart->redrawChartIncludePlotArea(false);
}

void LChartAxis::stopAnimations()
{
    cancelPreviousPerformRequestsWithTarget(this);
}

bool LChartAxis::recheckAxisRange()
{
    if (!m_axisRangeInternal)
        return false;
    return setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
        m_axisRangeInternal->minimum(), m_axisRangeInternal->maximum(), true, false);
}

void LChartAxis::adjustRangesIfDataIsOutsideOfAllowedPanningLimits()
{
    Ref<LChartRange> data = chartRangeFromGlRange();
    Ref<LChartRange> container;
    bool gesture = m_chart && m_chart->pinchOrPanInProgress();
    if (m_allowPanningOutOfDefaultRange) {
        if (m_allowPanningOutOfMaxRange || gesture)
            return;
        container = m_maxRange;
    } else {
        if (m_defaultRangeInternal && !LChartRangeUtils::rangeContainsOtherRange(*data, *m_defaultRangeInternal)) {
            setDefaultRangeInternal(LChartRangeUtils::adjustRangeToFitRange(*m_defaultRangeInternal, *data));
            updateMaxRange();
        }
        if (gesture)
            return;
        container = m_defaultRangeInternal;
    }
    if (!container || !m_axisRangeInternal
        || LChartRangeUtils::rangeContainsOtherRange(*container, *m_axisRangeInternal))
        return;
    auto fitted = LChartRangeUtils::adjustRangeToFitRange(*m_axisRangeInternal, *container);
    setRangeInternalWithMinimumAndMaximumWithAnimation(fitted->minimum(), fitted->maximum(), m_animateRangeAdjustments);
}

bool LChartAxis::ensureValueIsVisibleAndRedraw(double value, bool redraw)
{
    if (!m_axisRangeInternal)
        return false;
    double min = m_axisRangeInternal->min();
    double max = m_axisRangeInternal->max();
    double span = max - min;
    double margin = span / 10;
    double newMin;
    double newMax;
    if (value < min + margin) {
        newMin = value - margin;
        newMax = value - margin + span;
    } else if (value > max - margin) {
        newMin = value + margin - span;
        newMax = value + margin;
    } else {
        return false;
    }
    bool changed = setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
        Value(newMin), Value(newMax), true, false);
    if (changed && redraw && m_chart)
        m_chart->redrawChartIncludePlotArea(false);
    return changed;
}

bool LChartAxis::valueIsVisibleOnSeries(double value, const LChartAxisSeries* series) const
{
    if (!m_axisRangeInternal)
        return false;
    double v = value + (series ? series->dataValueAdjustForAxis(*this) : 0);
    return v >= m_axisRangeInternal->min() && v <= m_axisRangeInternal->max();
}

// MARK: Paddings and limits

bool LChartAxis::rangePaddingValueIsValid(const Value& padding) const
{
    if (padding.isNil() || padding.isNumber())
        return true;
    LatticeChartLog::logMessageFromSource("Range padding for must be of type: NSNumber", this);
    return false;
}

void LChartAxis::setRangePaddingLow(const Value& padding)
{
    if (!rangePaddingValueIsValid(padding) || padding.isEqual(m_rangePaddingLow))
        return;
    m_rangePaddingLow = padding;
    if (m_chart) {
        m_chart->updateRangesOnCartesianAxis(*this);
        m_chart->setNeedsLayoutIfHaveAxesAndData();
    }
}

void LChartAxis::setRangePaddingHigh(const Value& padding)
{
    if (!rangePaddingValueIsValid(padding) || padding.isEqual(m_rangePaddingHigh))
        return;
    m_rangePaddingHigh = padding;
    if (m_chart) {
        m_chart->updateRangesOnCartesianAxis(*this);
        m_chart->setNeedsLayoutIfHaveAxesAndData();
    }
}

void LChartAxis::setAllowPanningOutOfMaxRange(bool allow)
{
    m_allowPanningOutOfMaxRange = allow;
    if (!allow)
        recheckAxisRange();
}

void LChartAxis::setAllowPanningOutOfDefaultRange(bool allow)
{
    m_allowPanningOutOfDefaultRange = allow;
    if (!allow)
        recheckAxisRange();
}

bool LChartAxis::getAxisLimitsWithMinAndMax(double* min, double* max) const
{
    *min = 0;
    *max = 0;
    if (!m_allowPanningOutOfMaxRange && m_maxRange) {
        *min = m_maxRange->min();
        *max = m_maxRange->max();
    }
    if (!m_allowPanningOutOfDefaultRange && m_defaultRangeInternal) {
        *min = m_defaultRangeInternal->min();
        *max = m_defaultRangeInternal->max();
    }
    return !m_allowPanningOutOfMaxRange || !m_allowPanningOutOfDefaultRange;
}

bool LChartAxis::beyondAxisLimits() const
{
    double lo, hi;
    if (!getAxisLimitsWithMinAndMax(&lo, &hi) || !m_axisRangeInternal)
        return false;
    return m_axisRangeInternal->min() < lo || m_axisRangeInternal->max() > hi;
}

bool LChartAxis::beyondAxisLimitsOnBothSides() const
{
    double lo, hi;
    if (!getAxisLimitsWithMinAndMax(&lo, &hi) || !m_axisRangeInternal)
        return false;
    return m_axisRangeInternal->min() < lo && m_axisRangeInternal->max() > hi;
}

bool LChartAxis::beyondAxisMinLimit() const
{
    double lo, hi;
    if (!getAxisLimitsWithMinAndMax(&lo, &hi) || !m_axisRangeInternal)
        return false;
    return m_axisRangeInternal->min() < lo;
}

void LChartAxis::fixGLRangeWithMinMax(float minValue, float maxValue)
{
    double lo = minValue;
    double hi = maxValue;
    if (m_defaultRangeSet && m_defaultRangeInternal) {
        lo = std::min(lo, dataValueFromCoord(m_defaultRangeInternal->min()).doubleValue());
        hi = std::max(hi, dataValueFromCoord(m_defaultRangeInternal->max()).doubleValue());
    }
    if (auto visible = visibleRangeInternal()) {
        lo = std::min(lo, visible->min());
        hi = std::max(hi, visible->max());
    }
    m_glRange = LChartRange::initWithMinimumAndMaximum(Value(lo), Value(hi));
}

// MARK: Loading

void LChartAxis::initialiseAxisIfNeededFromChartSeries(const std::vector<Ref<LChartAxisSeries>>& series)
{
    if (!m_barColumnsConfigured)
        recalculateBarColumns(series);
}

void LChartAxis::copyStubFieldsInto(LChartAxis& copy) const
{
    copy.m_axisKey = m_axisKey;
    copy.m_barColMin = m_barColMin;
    copy.m_barColMax = m_barColMax;
    copy.m_barColSpacing = m_barColSpacing;
    copy.m_skipList = LChartSkipList::skipListWithSkipList(*m_skipList);
    copy.m_axisOrientation = m_axisOrientation;
    copy.m_style = m_style;
    copy.setChart(m_chart);
}

Ref<LChartAxis> LChartAxis::stubCopyOfAxisForDataLoading() const
{
    auto copy = makeEmptyAxis();
    copyStubFieldsInto(*copy);
    return copy;
}

void LChartAxis::reconfigureFromStubbedAxisCopy(const LChartAxis& copy)
{
    m_barColMin = copy.m_barColMin;
    m_barColMax = copy.m_barColMax;
    m_barColSpacing = copy.m_barColSpacing;
    m_skipList = copy.m_skipList;
    fixGLRangeWithMinMax(copy.m_glMin, copy.m_glMax);
}

void LChartAxis::sortDataIfRequired(std::vector<Ref<LChartInternalDataPoint>>& points) const
{
    bool x = isXAxis();
    std::stable_sort(points.begin(), points.end(),
        [x](const auto& a, const auto& b) { return (x ? a->compareXAsNumber(*b) : a->compareYAsNumber(*b)) < 0; });
}

Value LChartAxis::axisPositionValueInternal() const
{
    LChartAxis* other = m_chart ? (isXAxis() ? m_chart->yAxis() : m_chart->xAxis()) : nullptr;
    return other ? other->transformValueToInternal(m_axisPositionValue) : Value();
}

// MARK: Skips

namespace {

double skipCoordinate(const Value& value)
{
    return value.isDate() ? value.dateValue() : value.doubleValue();
}

} // namespace

void LChartAxis::addSkipFromTo(double start, double end)
{
    m_skipList->addSkip(LChartSkip::skipWithStartAndEnd(start, end));
}

void LChartAxis::clearSkips()
{
    m_skipList->removeAllSkips();
}

bool LChartAxis::isSkippedData(const Value& value) const
{
    return m_skipList->skipContaining(skipCoordinate(value)) != nullptr;
}

Value LChartAxis::transformValueFromDiscontinous(const Value& value) const
{
    if (value.isNil())
        return {};
    double v = skipCoordinate(value);
    return Value(v - m_skipList->sumOfSkipsUpTo(v));
}

Value LChartAxis::transformValueToDiscontinous(const Value& value) const
{
    if (value.isNil())
        return {};
    double d = value.doubleValue();
    auto used = m_skipList->lastRelevantTo(d);
    if (!used)
        return Value(d);
    double e = d + m_skipList->sumOfSkipsUpToIncluding(used);
    for (;;) {
        auto next = m_skipList->lastRelevantTo(e);
        if (!next || next == used)
            break;
        used = next;
        e = d + m_skipList->sumOfSkipsUpToIncluding(used);
    }
    return Value(e);
}
