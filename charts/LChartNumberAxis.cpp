#include "charts/LChartNumberAxis.h"

#include "charts/LChartNumberRange.h"
#include "charts/LChartTickLabelFormatter.h"
#include "charts/LatticeChartLog.h"
#include "foundation/NSNumberFormatter.h"
#include "foundation/NSString.h"

#include <cmath>
#include <cstdio>

namespace {

// The most tick steps a search for a first tick takes: no pass draws more ticks than this.
constexpr int32_t kMaxTickSteps = 1000;

} // namespace

Ref<LChartNumberAxis> LChartNumberAxis::init()
{
    auto axis = make<LChartNumberAxis>();
    axis->initialise();
    axis->initialiseNumberAxis();
    return axis;
}

Ref<LChartNumberAxis> LChartNumberAxis::initWithRange(const Ref<LChartRange>& range)
{
    auto axis = init();
    if (range)
        axis->setDefaultRange(range);
    return axis;
}

void LChartNumberAxis::initialiseNumberAxis()
{
    setLabelSizeScalers({ 1.2, 1.2 });
    m_zoomInLimit = 1e9;
    m_zoomOutLimit = 1e-9;
    auto formatter = LChartTickLabelFormatter::numberFormatter();
    if (auto numbers = formatter->heldNumberFormatter()) {
        numbers->setGroupingSeparator(",");
        numbers->setGroupingSize(3);
        numbers->setNumberStyle(NSNumberFormatterDecimalStyle);
        numbers->setMinimumFractionDigits(static_cast<NSUInteger>(-1));
        numbers->setMaximumFractionDigits(static_cast<NSUInteger>(-1));
    }
    m_userSetMinFractionDigit = false;
    m_userSetMaxFractionDigit = false;
    setLabelFormatter(formatter);
    m_requiredPrecision = -1;
}

Ref<NSNumberFormatter> LChartNumberAxis::numberFormatter() const
{
    return labelFormatter() ? std::dynamic_pointer_cast<NSNumberFormatter>(labelFormatter()->formatter()) : nullptr;
}

Ref<LChartRange> LChartNumberAxis::getNewRangeWithMinimumWithMaximum(const Value& minimum, const Value& maximum) const
{
    return LChartNumberRange::initWithMinimumAndMaximum(minimum, maximum);
}

bool LChartNumberAxis::setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
    const Value& minimum, const Value& maximum, bool animate, bool bounceLimits)
{
    const auto& visible = axisRangeInternal();
    if (visible && maxRange() && minimum.isNumber() && maximum.isNumber()) {
        double newSpan = maximum.doubleValue() - minimum.doubleValue();
        double currentSpan = visible->max() - visible->min();
        double ratio = (maxRange()->max() - maxRange()->min()) / newSpan;
        // Improper ranges go on to the generic checks, which log or refuse them.
        bool proper = newSpan > 0 && std::isfinite(newSpan);
        if (proper && newSpan < currentSpan && ratio > m_zoomInLimit)
            return false;
        if (proper && newSpan > currentSpan && ratio < m_zoomOutLimit)
            return false;
    }
    return LChartAxis::setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
        minimum, maximum, animate, bounceLimits);
}

bool LChartNumberAxis::validFrequency(const Value& frequency, const Value& current)
{
    if (frequency.isNil() || frequency.isIdenticalTo(current))
        return false;
    if (!frequency.isNumber()) {
        LatticeChartLog::logMessageFromSource("Tick Frequencies for Number Axes must be of type: NSNumber", this);
        return false;
    }
    if (!(frequency.doubleValue() > 0)) {
        LatticeChartLog::logMessageFromSource("Tick Frequencies must be greater than zero", this);
        return false;
    }
    return true;
}

void LChartNumberAxis::setMajorTickFrequency(const Value& frequency)
{
    if (validFrequency(frequency, majorTickFrequency()))
        LChartAxis::setMajorTickFrequency(frequency);
}

void LChartNumberAxis::setMinorTickFrequency(const Value& frequency)
{
    if (validFrequency(frequency, minorTickFrequency()))
        LChartAxis::setMinorTickFrequency(frequency);
}

bool LChartNumberAxis::zoomingIn(const Value& previousFrequency) const
{
    return previousFrequency.doubleValue() > internalMajorTickFrequency().doubleValue();
}

void LChartNumberAxis::updateInternalTickFrequencies(CGSize* labelSize)
{
    double span = axisRangeInternal() ? axisRangeInternal()->max() - axisRangeInternal()->min() : 0;
    m_internalMajorTickFrequency = Value(span / 20);
    double p = std::pow(10.0, std::floor(std::log10(span / 20)));
    // A span that is not a positive finite number, or one so small that its power of ten
    // underflows, has no frequency to find: the search below would never end.
    if (!(p > 0) || !std::isfinite(p)) {
        if (labelSize)
            *labelSize = sizeTickLabels();
        return;
    }
    for (;;) {
        double f = m_internalMajorTickFrequency.doubleValue();
        double major;
        double minor;
        for (;;) {
            if (p > f) {
                major = p;
                minor = p * 0.5;
            } else if (5 * p > f) {
                major = 5 * p;
                minor = p;
            } else if (10 * p > f) {
                major = 10 * p;
                minor = 5 * p;
            } else {
                p *= 10;
                continue;
            }
            break;
        }
        m_internalMajorTickFrequency = Value(major);
        m_internalMinorTickFrequency = Value(minor);
        CGSize size = sizeTickLabels();
        if (labelSize)
            *labelSize = size;
        double count = std::floor(span / major);
        int32_t n = std::isfinite(count) ? static_cast<int32_t>(count) : -1;
        // A span that is not a positive finite number has no frequency to find.
        if (!(span > 0) || !std::isfinite(major) || spaceForLabelsWithLabelSizeScalers(n, labelSizeScalers()))
            return;
    }
}

Value LChartNumberAxis::firstMajorTick()
{
    double min = axisRangeInternal() ? axisRangeInternal()->min() : 0;
    double a = anchorPoint().doubleValue();
    double f = internalMajorTickFrequency().doubleValue();
    double t = a + std::floor((min - a) / f) * f;
    // A step below the float resolution of t does not move it: stop rather than loop.
    for (int32_t steps = 0; t < min && steps < kMaxTickSteps; ++steps) {
        double next = incrementTickMarkValueIsMajor(t, true);
        if (!(next > t))
            break;
        t = next;
    }
    double max = axisRangeInternal() ? axisRangeInternal()->max() : 0;
    // The first tick moves past labels that would stick out of the chart, but never past the
    // visible range nor further than a pass could draw ticks, so a chart without room for any
    // label cannot loop.
    for (int32_t steps = 0; !firstTickInsideChart(t) && t <= max && steps < kMaxTickSteps; ++steps) {
        double next = t + f;
        if (!(next > t))
            break;
        t = next;
    }
    return Value(t);
}

Value LChartNumberAxis::firstMinorTick()
{
    if (internalMinorTickFrequency().isNil())
        return {};
    double min = axisRangeInternal() ? axisRangeInternal()->min() : 0;
    double m = firstMajorTick().doubleValue();
    double step = internalMinorTickFrequency().doubleValue();
    // The lowest value m - k × step that is still in the range. Close to m it is stepped down
    // to (the steps snap to zero on the way); further away it is computed, because a minor
    // frequency far finer than the major one would take that many steps.
    double k = std::floor((m - min) / step);
    if (!(k >= 0))
        return Value(m);
    if (k > kMaxTickSteps) {
        double last = m - k * step;
        // Rounding can leave the value just below the range: one step back up corrects it.
        if (last < min)
            last = m - (k - 1) * step;
        return Value(snapToZero(last));
    }
    double c = decrementTickMarkValueIsMajor(m, false);
    if (c < min)
        return Value(m);
    double last = m;
    while (c >= min && c < last) {
        last = c;
        c = decrementTickMarkValueIsMajor(c, false);
    }
    return Value(last);
}

bool LChartNumberAxis::isOverAlternate(double value) const
{
    double r = std::fmod((value - anchorPoint().doubleValue()) / internalMajorTickFrequency().doubleValue(), 2.0);
    return (r > 0.5 && r < 1.5) || (r > -1.5 && r < -0.5);
}

double LChartNumberAxis::snapToZero(double value) const
{
    if (value < 0) {
        float e = std::pow(10.0f, static_cast<float>(-(m_requiredPrecision + 1)));
        if (value + 0.9999 * e > 0)
            return 0.0;
    }
    return value;
}

double LChartNumberAxis::incrementTickMarkValueIsMajor(double value, bool major) const
{
    double step = (major ? internalMajorTickFrequency() : internalMinorTickFrequency()).doubleValue();
    return snapToZero(value + step);
}

double LChartNumberAxis::decrementTickMarkValueIsMajor(double value, bool major) const
{
    double step = (major ? internalMajorTickFrequency() : internalMinorTickFrequency()).doubleValue();
    return snapToZero(value - step);
}

double LChartNumberAxis::calcPrecision(double value)
{
    double count = 0;
    double x = value;
    while (x * x < x - 2.220446049250313e-16) {
        count += 1;
        x *= 10;
    }
    return count;
}

Value LChartNumberAxis::longestLabel()
{
    if (!internalMajorTickFrequency().isNil()) {
        double precision = std::max(
            calcPrecision(internalMajorTickFrequency().doubleValue()), calcPrecision(anchorPoint().doubleValue()));
        int32_t old = m_requiredPrecision;
        m_requiredPrecision = static_cast<int32_t>(precision);
        if (auto formatter = numberFormatter()) {
            // The formatter raises its maximum with a larger minimum; the user's maximum is read
            // first and kept.
            NSUInteger userMaximum = formatter->maximumFractionDigits();
            if (formatter->minimumFractionDigits() != static_cast<NSUInteger>(old))
                m_userSetMinFractionDigit = true;
            if (!m_userSetMinFractionDigit)
                formatter->setMinimumFractionDigits(static_cast<NSUInteger>(m_requiredPrecision));
            if (userMaximum != static_cast<NSUInteger>(old))
                m_userSetMaxFractionDigit = true;
            formatter->setMaximumFractionDigits(
                m_userSetMaxFractionDigit ? userMaximum : static_cast<NSUInteger>(m_requiredPrecision));
            if (formatter->maximumFractionDigits() < formatter->minimumFractionDigits())
                formatter->setMinimumFractionDigits(formatter->maximumFractionDigits());
        }
    }
    Value delegateLabel = LChartAxis::longestLabel();
    if (!delegateLabel.isNil())
        return delegateLabel;
    double lo = axisRangeInternal() ? transformValueToExternal(axisRangeInternal()->minimum()).doubleValue() : 0;
    double hi = axisRangeInternal() ? transformValueToExternal(axisRangeInternal()->maximum()).doubleValue() : 0;
    double v = hi > -lo ? -hi : lo;
    std::string s1 = stringForValue(v);
    if (!majorTickFrequency().isNil()) {
        std::string s2 = stringForValue(v - majorTickFrequency().doubleValue());
        return Value(s1.size() > s2.size() ? s1 : s2);
    }
    return Value(s1);
}

std::string LChartNumberAxis::stringForValue(double value)
{
    return stringForId(Value(value));
}

std::string LChartNumberAxis::stringForId(const Value& value)
{
    if (!m_labelFormatString.empty())
        return NSString::stringWithFormat(m_labelFormatString, value.doubleValue());
    Value text = appropriateFormat(value);
    if (text.isString())
        return text.string();
    // A negative precision prints the default six digits.
    int precision = m_requiredPrecision < 0 ? 6 : m_requiredPrecision;
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", precision, value.doubleValue());
    return buffer;
}

void LChartNumberAxis::setZoomInLimit(double limit)
{
    if (limit >= 1 && limit < 1e13)
        m_zoomInLimit = limit;
    else
        LatticeChartLog::logMessageFromSource("Invalid Zoom In Limit. Must be between 1 and 10^13.", this);
}

void LChartNumberAxis::setZoomOutLimit(double limit)
{
    if (limit > 0 && limit < 1)
        m_zoomOutLimit = limit;
    else
        LatticeChartLog::logMessageFromSource("Invalid Zoom Out Limit. Must be between 0 and 1.", this);
}

Ref<LChartLogarithmicAxis> LChartLogarithmicAxis::init()
{
    auto axis = make<LChartLogarithmicAxis>();
    axis->initialise();
    axis->initialiseNumberAxis();
    axis->m_base = Value(int32_t(10));
    return axis;
}

Ref<LChartLogarithmicAxis> LChartLogarithmicAxis::initWithRange(const Ref<LChartRange>& range)
{
    auto axis = init();
    if (range)
        axis->setDefaultRange(range);
    return axis;
}

double LChartLogarithmicAxis::logValue(double value) const
{
    double logBase = std::log10(m_base.doubleValue());
    if (logBase != 0 && value > 0)
        return std::log10(value) / logBase;
    return 0;
}

Value LChartLogarithmicAxis::transformValueToInternal(const Value& value) const
{
    if (value.isNil())
        return {};
    if (!value.isNumber()) {
        LatticeChartLog::logMessageFromSource("Data for a Logarithmic Axis must be of type 'NSNumber'", this);
        return {};
    }
    return Value(logValue(value.doubleValue()));
}

Value LChartLogarithmicAxis::transformValueToExternal(const Value& value) const
{
    if (value.isNil())
        return {};
    if (!value.isNumber()) {
        LatticeChartLog::logMessageFromSource("Data for a Logarithmic Axis must be of type 'NSNumber'", this);
        return {};
    }
    return Value(std::pow(m_base.doubleValue(), value.doubleValue()));
}
