#include "charts/LChartDateTimeAxis.h"

#include "charts/LChartAxisStyle.h"
#include "charts/LChartDateRange.h"
#include "charts/LChartSkipList.h"
#include "charts/LChartTickLabelFormatter.h"
#include "charts/LatticeChartLog.h"
#include "foundation/NSCalendar.h"
#include "foundation/NSDate.h"
#include "foundation/NSDateFormatter.h"
#include "foundation/NSString.h"

#include <cmath>

namespace {

using D = LChartDateFrequency;

// The first date of the year 100, in seconds from 1970.
constexpr double kEarliestRangeStart = -59011459200.0;

struct Step {
    int32_t unit;
    int32_t count;
};

Ref<LChartDateFrequency> frequencyFor(Step step)
{
    switch (step.unit) {
    case D::Second:
        return D::initWithSecond(step.count);
    case D::Minute:
        return D::initWithMinute(step.count);
    case D::Hour:
        return D::initWithHour(step.count);
    case D::Day:
        return D::initWithDay(step.count);
    case D::Week:
        return D::initWithWeek(step.count);
    case D::Month:
        return D::initWithMonth(step.count);
    default:
        return D::initWithYear(step.count);
    }
}

Step stepOf(const LChartDateFrequency& f)
{
    int32_t unit = f.denomination();
    int32_t counts[] = { f.second(), f.minute(), f.hour(), f.day(), f.week(), f.month(), f.year() };
    return { unit, unit >= 0 && unit <= 6 ? counts[unit] : 1 };
}

// The first major for a span: the first row whose limit the fifth of a twentieth exceeds not.
Step tableMajor(double a)
{
    struct Row {
        double below;
        Step major;
    } rows[] = {
        { 15, { D::Second, 1 } },
        { 30, { D::Second, 15 } },
        { 60, { D::Second, 30 } },
        { 900, { D::Minute, 1 } },
        { 1800, { D::Minute, 15 } },
        { 3600, { D::Minute, 30 } },
        { 21600, { D::Hour, 1 } },
        { 43200, { D::Hour, 6 } },
        { 86400, { D::Hour, 12 } },
        { 604800, { D::Day, 1 } },
        { 1209600, { D::Day, 7 } },
        { 2678400, { D::Day, 14 } },
        { 8035200, { D::Month, 1 } },
        { 16070400, { D::Month, 3 } },
        { 31622400, { D::Month, 6 } },
        { 63244800, { D::Year, 1 } },
        { 158112000, { D::Year, 2 } },
    };
    for (const auto& row : rows) {
        if (a < row.below)
            return row.major;
    }
    return { D::Year, 5 };
}

// The next, wider major and the minor that goes with it.
std::pair<Step, Step> stepUp(Step major)
{
    struct Row {
        Step from, to, minor;
    } rows[] = {
        { { D::Second, 1 }, { D::Second, 15 }, { D::Second, 1 } },
        { { D::Second, 15 }, { D::Second, 30 }, { D::Second, 15 } },
        { { D::Second, 30 }, { D::Minute, 1 }, { D::Second, 30 } },
        { { D::Minute, 1 }, { D::Minute, 5 }, { D::Minute, 1 } },
        { { D::Minute, 5 }, { D::Minute, 15 }, { D::Minute, 5 } },
        { { D::Minute, 15 }, { D::Minute, 30 }, { D::Minute, 15 } },
        { { D::Minute, 30 }, { D::Hour, 1 }, { D::Minute, 30 } },
        { { D::Hour, 1 }, { D::Hour, 6 }, { D::Hour, 1 } },
        { { D::Hour, 6 }, { D::Hour, 12 }, { D::Hour, 6 } },
        { { D::Hour, 12 }, { D::Day, 1 }, { D::Hour, 12 } },
        { { D::Day, 1 }, { D::Day, 7 }, { D::Day, 1 } },
        { { D::Day, 7 }, { D::Day, 14 }, { D::Day, 7 } },
        { { D::Day, 14 }, { D::Month, 1 }, { D::Day, 7 } },
        { { D::Month, 1 }, { D::Month, 3 }, { D::Month, 1 } },
        { { D::Month, 3 }, { D::Month, 6 }, { D::Month, 3 } },
        { { D::Month, 6 }, { D::Year, 1 }, { D::Month, 3 } },
    };
    for (const auto& row : rows) {
        if (row.from.unit == major.unit && row.from.count == major.count)
            return { row.to, row.minor };
    }
    if (major.unit == D::Year) {
        int32_t count = major.count;
        int32_t power = 1;
        while (count / power >= 10)
            power *= 10;
        if (count / power == 2)
            return { { D::Year, static_cast<int32_t>(count * 2.5) }, { D::Year, count / 2 } };
        return { { D::Year, count * 2 }, major };
    }
    // A frequency outside the ladder (set by hand): climb in years.
    return { { D::Year, 1 }, { D::Month, 3 } };
}

// The minor that the ladder pairs with a major taken from the first table.
Step pairedMinor(Step major)
{
    if (major.unit == D::Second && major.count == 1)
        return major;
    struct Row {
        Step major, minor;
    } rows[] = {
        { { D::Second, 15 }, { D::Second, 1 } },
        { { D::Second, 30 }, { D::Second, 15 } },
        { { D::Minute, 1 }, { D::Second, 30 } },
        { { D::Minute, 15 }, { D::Minute, 5 } },
        { { D::Minute, 30 }, { D::Minute, 15 } },
        { { D::Hour, 1 }, { D::Minute, 30 } },
        { { D::Hour, 6 }, { D::Hour, 1 } },
        { { D::Hour, 12 }, { D::Hour, 6 } },
        { { D::Day, 1 }, { D::Hour, 12 } },
        { { D::Day, 7 }, { D::Day, 1 } },
        { { D::Day, 14 }, { D::Day, 7 } },
        { { D::Month, 1 }, { D::Day, 7 } },
        { { D::Month, 3 }, { D::Month, 1 } },
        { { D::Month, 6 }, { D::Month, 3 } },
        { { D::Year, 1 }, { D::Month, 3 } },
        { { D::Year, 2 }, { D::Year, 1 } },
        { { D::Year, 5 }, { D::Year, 1 } },
    };
    for (const auto& row : rows) {
        if (row.major.unit == major.unit && row.major.count == major.count)
            return row.minor;
    }
    return major;
}

double secondsOf(const Value& value)
{
    return value.isDate() ? value.dateValue() : value.doubleValue();
}

} // namespace

Ref<LChartDateTimeAxis> LChartDateTimeAxis::init()
{
    auto axis = make<LChartDateTimeAxis>();
    axis->initialise();
    axis->initialiseDateTimeAxis();
    return axis;
}

Ref<LChartDateTimeAxis> LChartDateTimeAxis::initWithRange(const Ref<LChartRange>& range)
{
    auto axis = init();
    if (range)
        axis->setDefaultRange(range);
    return axis;
}

void LChartDateTimeAxis::initialiseDateTimeAxis()
{
    m_userHasSetFormatString = false;
    setLabelFormatter(LChartTickLabelFormatter::dateFormatter());
    m_refDate = 0;
    m_cal = NSCalendar::currentCalendar();
    m_internalMinorTickFrequency = Value(D::initWithSecond(1));
    setLabelSizeScalers({ 1, 1 });
}

Ref<NSDateFormatter> LChartDateTimeAxis::dateFormatter() const
{
    return labelFormatter() ? std::dynamic_pointer_cast<NSDateFormatter>(labelFormatter()->formatter()) : nullptr;
}

Ref<LChartDateFrequency> LChartDateTimeAxis::internalMajorFrequency() const
{
    return internalMajorTickFrequency().objectAs<LChartDateFrequency>();
}

Ref<LChartDateFrequency> LChartDateTimeAxis::internalMinorFrequency() const
{
    return internalMinorTickFrequency().objectAs<LChartDateFrequency>();
}

void LChartDateTimeAxis::setAnchorPoint(const Value& anchor)
{
    if (anchor.isNil()) {
        LChartAxis::setAnchorPoint(Value());
        return;
    }
    if (!anchor.isDate() && !anchor.isNumber())
        LatticeChartLog::fatalLogMessageFromSource(
            "Anchorpoint must respond to timeIntervalSince1970 or doubleValue", this);
    LChartAxis::setAnchorPoint(Value(secondsOf(anchor)));
}

Ref<LChartRange> LChartDateTimeAxis::getNewRangeWithMinimumWithMaximum(const Value& minimum, const Value& maximum) const
{
    return LChartDateRange::initWithMinimumAndMaximum(minimum, maximum);
}

bool LChartDateTimeAxis::rangePaddingValueIsValid(const Value& padding) const
{
    if (padding.isNil() || padding.objectAs<LChartDateFrequency>())
        return true;
    LatticeChartLog::logMessageFromSource(
        "Range Paddings for Date-Time Axes must be of type: LChartDateFrequency", this);
    return false;
}

Ref<LChartRange> LChartDateTimeAxis::rangeFromRangeWithUserPadding(const Ref<LChartRange>& range) const
{
    auto low = rangePaddingLow().objectAs<LChartDateFrequency>();
    auto high = rangePaddingHigh().objectAs<LChartDateFrequency>();
    return LChartDateRange::initWithMinimumAndMaximum(
        Value(range->min() - (low ? low->toSeconds() : 0)), Value(range->max() + (high ? high->toSeconds() : 0)));
}

bool LChartDateTimeAxis::zoomingIn(const Value& previousFrequency) const
{
    auto previous = previousFrequency.objectAs<LChartDateFrequency>();
    auto current = internalMajorFrequency();
    return previous && current && previous->toSeconds() > current->toSeconds();
}

void LChartDateTimeAxis::setMajorTickFrequency(const Value& frequency)
{
    if (frequency.isNil())
        return;
    if (!frequency.objectAs<LChartDateFrequency>()) {
        LatticeChartLog::logMessageFromSource(
            "Tick Frequencies for Date-Time Axes must be of type: LChartDateFrequency", this);
        return;
    }
    LChartAxis::setMajorTickFrequency(frequency);
}

void LChartDateTimeAxis::setMinorTickFrequency(const Value& frequency)
{
    if (frequency.isNil())
        return;
    if (!frequency.objectAs<LChartDateFrequency>()) {
        LatticeChartLog::logMessageFromSource(
            "Tick Frequencies for Date-Time Axes must be of type: LChartDateFrequency", this);
        return;
    }
    LChartAxis::setMinorTickFrequency(frequency);
}

Value LChartDateTimeAxis::longestLabel()
{
    if (!internalMajorFrequency())
        m_internalMajorTickFrequency = Value(D::initWithSecond(1));
    updateTickLabelConfiguration();
    Value delegateLabel = LChartAxis::longestLabel();
    if (!delegateLabel.isNil())
        return delegateLabel;
    if (!axisRangeInternal())
        return {};
    double max = transformValueToExternal(axisRangeInternal()->maximum()).doubleValue();
    return Value(NSString::stringWithFormat("%@    ", stringForValue(max)));
}

void LChartDateTimeAxis::updateInternalTickFrequencies(CGSize* labelSize)
{
    double span = axisRangeInternal() ? axisRangeInternal()->max() - axisRangeInternal()->min() : 0;
    if (span > 0 && skipList() && !skipList()->isEmpty() && calculateMajorTickFrequencyFromDiscontinuousRange()) {
        // The skips lie in data time; the range's ends are read back into it to find them.
        double from = transformValueToExternal(axisRangeInternal()->minimum()).doubleValue();
        double to = transformValueToExternal(axisRangeInternal()->maximum()).doubleValue();
        span -= skipList()->sumOfSkipsBetweenAnd(from, to);
    }
    Step major = tableMajor(span / 20);
    // The table gives the major only; the minor is the one the ladder pairs with it, so a long
    // span never carries a minor tick every second.
    m_internalMajorTickFrequency = Value(frequencyFor(major));
    m_internalMinorTickFrequency = Value(frequencyFor(pairedMinor(major)));
    for (;;) {
        CGSize size = sizeTickLabels();
        if (labelSize)
            *labelSize = size;
        double count = std::floor(span / internalMajorFrequency()->toSeconds());
        // A span that is not positive (skips can remove all of it) counts as fitting, so the
        // ladder cannot climb for ever.
        if (!(span > 0) || !std::isfinite(count))
            return;
        if (spaceForLabelsWithLabelSizeScalers(static_cast<int32_t>(count), labelSizeScalers()))
            return;
        auto [next, minor] = stepUp(stepOf(*internalMajorFrequency()));
        m_internalMajorTickFrequency = Value(frequencyFor(next));
        m_internalMinorTickFrequency = Value(frequencyFor(minor));
    }
}

std::optional<std::vector<double>> LChartDateTimeAxis::manualGenerateTickMarks()
{
    auto values = chart() ? chart()->majorTickValuesForAxis(*this) : std::nullopt;
    if (!values)
        return std::nullopt;
    std::vector<double> internal;
    internal.reserve(values->size());
    for (size_t i = 0; i < values->size(); ++i) {
        const Value& value = (*values)[i];
        if (!value.isNumber() && !value.isDate()) {
            LatticeChartLog::fatalLogMessageFromSource(
                NSString::stringWithFormat("object %@ at index %d for %@ doesn't respond to doubleValue nor "
                                           "timeIntervalSince1970",
                    value.description(), static_cast<int32_t>(i), "sChart:majorTickValuesForAxis:"),
                this);
        }
        internal.push_back(transformValueToInternal(Value(secondsOf(value))).doubleValue());
    }
    return internal;
}

int32_t LChartDateTimeAxis::indexOfFirstLabel(int32_t n)
{
    // One walk, a tick at a time, from the first tick to the anchor: the number of steps modulo
    // n is the index of the first labelled tick. The walk is bounded so a distant anchor cannot
    // hold up drawing.
    constexpr int32_t kMaxWalk = 100000;
    Value first = firstMajorTick();
    if (anchorPoint().isNil() || first.isNil() || n < 1)
        return 0;
    double a = transformValueToInternal(anchorPoint()).doubleValue();
    double t = first.doubleValue();
    int64_t steps = 0;
    while (t < a && steps < kMaxWalk) {
        double next = incrementTickMarkValueIsMajor(t, true);
        if (!(next > t))
            break;
        t = next;
        ++steps;
    }
    while (t > a && steps > -kMaxWalk) {
        double next = decrementTickMarkValueIsMajor(t, true);
        if (!(next < t))
            break;
        t = next;
        --steps;
    }
    if (t == a)
        return static_cast<int32_t>(((steps % n) + n) % n);
    // No tick meets the anchor exactly (calendar steps need not retrace themselves): label
    // from the second tick on rather than leaving every tick without a label.
    return (n + 1) % n;
}

double LChartDateTimeAxis::jumpToFirstTickValueWithMinimumAlignedToAnchorPoint(double minimum, double anchor) const
{
    auto major = internalMajorFrequency();
    if (!major || major->denomination() >= D::Week)
        return anchor;
    return minimum + std::fmod(anchor - minimum, major->toSeconds());
}

Value LChartDateTimeAxis::firstTickIsMajor(bool major)
{
    if (!axisRangeInternal() || !internalMajorFrequency() || (!major && !internalMinorFrequency()))
        return {};
    double a = transformValueToInternal(anchorPoint()).doubleValue();
    double min = axisRangeInternal()->min();
    double limit = incrementTickMarkValueIsMajor(min, major);
    double t = jumpToFirstTickValueWithMinimumAlignedToAnchorPoint(min, a);
    // Steps that no longer move the value (far beyond the float resolution) end the search.
    while (t < min) {
        double next = incrementTickMarkValueIsMajor(t, major);
        if (!(next > t))
            break;
        t = next;
    }
    while (t >= limit) {
        double next = decrementTickMarkValueIsMajor(t, major);
        if (!(next < t))
            break;
        t = next;
    }
    return Value(t);
}

bool LChartDateTimeAxis::isOverAlternate(double value) const
{
    auto major = internalMajorFrequency();
    if (!major)
        return false;
    if (major->denomination() <= D::Week) {
        double dataMin = m_dataRangeInternal ? m_dataRangeInternal->min() : 0;
        auto k = static_cast<int64_t>(std::floor((value - dataMin) / major->toSeconds() + 0.5));
        return k % 2 == 0;
    }
    double a = transformValueToInternal(anchorPoint()).doubleValue();
    if (!(value > a))
        return false;
    bool flag = false;
    for (double t = a; t < value;) {
        double next = incrementTickMarkValueIsMajor(t, true);
        if (!(next > t))
            break;
        t = next;
        flag = !flag;
    }
    return flag;
}

double LChartDateTimeAxis::alterInternalTickMarkValue(double value, bool major, bool negate) const
{
    auto frequency = major ? internalMajorFrequency() : internalMinorFrequency();
    if (!frequency)
        return value;
    double seconds = transformValueToExternal(Value(value)).doubleValue();
    auto components = negate ? frequency->getNegativeDateComponents() : frequency->dateComponents();
    auto date = dateFromApplyingComponentsToDateGoingBackwardsMajor(
        components, NSDate::dateWithTimeIntervalSince1970(seconds), negate, major);
    return transformValueToInternal(Value::date(date->timeIntervalSince1970())).doubleValue();
}

double LChartDateTimeAxis::incrementTickMarkValueIsMajor(double value, bool major) const
{
    return alterInternalTickMarkValue(value, major, false);
}

double LChartDateTimeAxis::decrementTickMarkValueIsMajor(double value, bool major) const
{
    return alterInternalTickMarkValue(value, major, true);
}

Ref<NSDate> LChartDateTimeAxis::dateFromApplyingComponentsToDateGoingBackwardsMajor(
    const Ref<NSDateComponents>& components, const Ref<NSDate>& date, bool, bool) const
{
    return m_cal->dateByAddingComponentsToDateOptions(components, date);
}

std::string LChartDateTimeAxis::stringForValue(double value)
{
    return stringForId(Value(value));
}

std::string LChartDateTimeAxis::stringForId(const Value& value)
{
    Value text = labelFormatter() ? labelFormatter()->stringForObjectValueOnAxis(Value::date(secondsOf(value)), this)
                                  : Value();
    return text.isString() ? text.string() : std::string();
}

void LChartDateTimeAxis::updateTickLabelConfiguration()
{
    auto formatter = dateFormatter();
    if (!formatter)
        return;
    if (!formatter->dateFormat().empty() && !m_formatStringSetInternally)
        m_userHasSetFormatString = true;
    if (m_userHasSetFormatString)
        return;
    auto major = internalMajorFrequency();
    std::string format;
    if (major) {
        if (major->second() || major->minute())
            format = "HH:mm:ss";
        else if (major->hour())
            format = "EEE HH:mm";
        else if (major->day() || major->week())
            format = "dd MMM";
        else if (major->month())
            format = "MMM yy";
        else if (major->year())
            format = "yyyy";
    }
    formatter->setDateFormat(format);
    m_formatStringSetInternally = true;
}

void LChartDateTimeAxis::setLabelFormatString(const std::string& format)
{
    auto formatter = dateFormatter();
    if (format.empty() || !formatter)
        return;
    formatter->setDateFormat(format);
    m_userHasSetFormatString = true;
    m_formatStringSetInternally = false;
    std::string text = formatter->stringFromDate(NSDate::date());
    if (!formatter->dateFromString(text)) {
        LatticeChartLog::logMessageFromSource(
            NSString::stringWithFormat("Warning: Invalid Date Format String: %@", format), this);
        formatter->setDateFormat("");
        m_userHasSetFormatString = false;
    }
}

Value LChartDateTimeAxis::transformValueToInternal(const Value& value) const
{
    if (value.isNil())
        return {};
    return Value(secondsOf(value) - m_refDate);
}

Value LChartDateTimeAxis::transformValueToExternal(const Value& value) const
{
    if (value.isNil())
        return {};
    return Value(secondsOf(value) + m_refDate);
}

void LChartDateTimeAxis::setRefDate(double seconds)
{
    if (!anchorPoint().isNil() && anchorPoint().doubleValue() == m_refDate)
        LChartAxis::setAnchorPoint(Value());
    if (anchorPoint().isNil())
        LChartAxis::setAnchorPoint(Value(seconds));
    m_refDate = seconds;
    m_refDateInitialised = true;
}

bool LChartDateTimeAxis::setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
    const Value& minimum, const Value& maximum, bool animate, bool bounceLimits)
{
    if (minimum.isNumber() && minimum.doubleValue() < kEarliestRangeStart)
        return false;
    return LChartAxis::setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
        minimum, maximum, animate, bounceLimits);
}

bool LChartDateTimeAxis::setRangeWithMinimumAndMaximumWithAnimationUsingBounceLimits(
    const Value& minimum, const Value& maximum, bool animate, bool bounceLimits)
{
    return LChartAxis::setRangeWithMinimumAndMaximumWithAnimationUsingBounceLimits(
        Value(secondsOf(minimum)), Value(secondsOf(maximum)), animate, bounceLimits);
}

Ref<LChartAxis> LChartDateTimeAxis::stubCopyOfAxisForDataLoading() const
{
    auto copy = std::static_pointer_cast<LChartDateTimeAxis>(LChartAxis::stubCopyOfAxisForDataLoading());
    copy->m_cal = m_cal;
    copy->m_defaultRangeInternal = m_defaultRangeInternal;
    return copy;
}

void LChartDateTimeAxis::reconfigureFromStubbedAxisCopy(const LChartAxis& copy)
{
    LChartAxis::reconfigureFromStubbedAxisCopy(copy);
    auto* dates = dynamic_cast<const LChartDateTimeAxis*>(&copy);
    if (!dates) {
        LatticeChartLog::fatalLogMessageFromSource(
            NSString::stringWithFormat("Cannot configure date/time axis from an axis of type %@", copy.className()),
            this);
    }
    setRefDate(dates->m_refDate);
    setDefaultRangeInternal(dates->m_defaultRangeInternal);
}
