#include "charts/LChartCategoryAxis.h"

#include "charts/LChartAxisStyle.h"
#include "charts/LChartNumberRange.h"
#include "charts/LatticeChartLog.h"
#include "foundation/NSString.h"
#include "graphics/NSString+Drawing.h"

#include <atomic>
#include <cmath>

namespace {
std::atomic<bool> s_customTickWarningGiven { false };
}

Ref<LChartCategoryAxis> LChartCategoryAxis::init()
{
    return initWithErrorHandler(LatticeChartLog::logger());
}

Ref<LChartCategoryAxis> LChartCategoryAxis::initWithErrorHandler(std::shared_ptr<LChartErrorHandler> handler)
{
    auto axis = make<LChartCategoryAxis>();
    axis->initialise();
    axis->m_internalMajorTickFrequency = Value(1);
    axis->m_internalMinorTickFrequency = Value();
    axis->m_errorHandler = std::move(handler);
    return axis;
}

Ref<LChartCategoryAxis> LChartCategoryAxis::initWithRange(const Ref<LChartRange>& range)
{
    auto axis = init();
    axis->m_savedDefaultRange = range;
    return axis;
}

void LChartCategoryAxis::addCategoryForValue(const Value& value)
{
    std::string name = value.description();
    if (std::find(m_categories.begin(), m_categories.end(), name) == m_categories.end())
        m_categories.push_back(name);
}

Value LChartCategoryAxis::indexOfCategory(const Value& value) const
{
    auto found = std::find(m_categories.begin(), m_categories.end(), value.description());
    if (found == m_categories.end())
        return {};
    return Value(static_cast<int32_t>(found - m_categories.begin()));
}

Value LChartCategoryAxis::categoryNameFromIndex(const Value& index)
{
    int32_t i = index.intValue();
    if (!index.isNil() && i >= 0 && static_cast<size_t>(i) < m_categories.size())
        return Value(m_categories[static_cast<size_t>(i)]);
    if (m_errorHandler) {
        m_errorHandler->handleErrorWithMessageFromSource(
            NSString::stringWithFormat("Unable to get category name for index %d", i), this);
    }
    return {};
}

void LChartCategoryAxis::updateRanges()
{
    LChartAxis::updateRanges();
    if (m_savedDefaultRange) {
        setDefaultRange(m_savedDefaultRange);
        m_savedDefaultRange = nullptr;
    }
}

Ref<LChartRange> LChartCategoryAxis::getNewRangeWithMinimumWithMaximum(const Value& minimum, const Value& maximum) const
{
    return LChartNumberRange::initWithMinimumAndMaximum(minimum, maximum);
}

Ref<LChartRange> LChartCategoryAxis::transformRangeToExternal(const Ref<LChartRange>& range) const
{
    if (!range)
        return nullptr;
    return LChartNumberRange::initWithMinimumAndMaximum(range->minimum(), range->maximum());
}

Value LChartCategoryAxis::transformValueToInternal(const Value& value) const
{
    if (value.isNil())
        return {};
    Value index = indexOfCategory(value);
    if (!index.isNil())
        return index;
    return value.isNumber() ? value : Value();
}

Value LChartCategoryAxis::transformValueToExternal(const Value& value) const
{
    if (value.isNil())
        return {};
    int32_t i = value.intValue();
    if (i >= 0 && static_cast<size_t>(i) < m_categories.size())
        return Value(m_categories[static_cast<size_t>(i)]);
    return {};
}

Value LChartCategoryAxis::doubleToData(double value) const
{
    // An index outside the categories answers nil rather than reading past the list.
    return transformValueToExternal(Value(value));
}

std::string LChartCategoryAxis::stringForValue(double value)
{
    Value name = categoryNameFromIndex(Value(value));
    return name.isString() ? name.string() : std::string();
}

std::string LChartCategoryAxis::stringForId(const Value& value)
{
    if (value.isNil())
        return {};
    if (value.isString())
        return value.string();
    Value name = categoryNameFromIndex(value);
    return name.isString() ? name.string() : std::string();
}

bool LChartCategoryAxis::setRangeWithMinimumAndMaximumWithAnimationUsingBounceLimits(
    const Value& minimum, const Value& maximum, bool animate, bool bounceLimits)
{
    Value min = transformValueToInternal(minimum);
    Value max = transformValueToInternal(maximum);
    if (!min.isNil() && !max.isNil())
        return setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(min, max, animate, bounceLimits);
    if (m_errorHandler) {
        m_errorHandler->handleErrorWithMessageFromSource(
            NSString::stringWithFormat("Unable to set range between %@ and %@.  The axis doesn't contain categories "
                                       "with these values, and the range is not numeric.",
                minimum, maximum),
            this);
    }
    return false;
}

Value LChartCategoryAxis::longestLabel()
{
    Value delegateLabel = LChartAxis::longestLabel();
    if (!delegateLabel.isNil())
        return delegateLabel;
    if (m_categories.empty())
        return {};
    auto font = style() && style()->majorTickStyle() ? style()->majorTickStyle()->labelFont() : nullptr;
    size_t widest = 0;
    CGFloat widestWidth = -1;
    for (size_t i = 0; i < m_categories.size(); ++i) {
        CGFloat width = font ? NSString_Drawing::sizeWithFont(m_categories[i], font).width : 0;
        if (width > widestWidth) {
            widestWidth = width;
            widest = i;
        }
    }
    return Value(m_categories[widest]);
}

void LChartCategoryAxis::updateInternalTickFrequencies(CGSize* labelSize)
{
    CGSize size = sizeTickLabels();
    if (labelSize)
        *labelSize = size;
}

bool LChartCategoryAxis::zoomingIn(const Value& previousFrequency) const
{
    return previousFrequency.doubleValue() > internalMajorTickFrequency().doubleValue();
}

Value LChartCategoryAxis::firstMajorTick()
{
    if (!axisRangeInternal())
        return {};
    double lo = axisRangeInternal()->min();
    double hi = axisRangeInternal()->max();
    const auto& data = dataRangeInternal();
    int32_t dlo = data->minimum().intValue();
    int32_t dhi = data->maximum().intValue();
    double t;
    if (std::ceil(lo) < dlo) {
        if (std::floor(hi) < dhi)
            return {};
        t = dlo;
    } else {
        t = std::ceil(lo);
    }
    if (!firstTickInsideChart(t))
        t += 1;
    return Value(static_cast<int32_t>(t));
}

Value LChartCategoryAxis::manualGenerateTickMarks(const Value& dataSourceValues)
{
    if (!dataSourceValues.isNil() && !s_customTickWarningGiven.exchange(true) && m_errorHandler) {
        m_errorHandler->handleErrorWithMessageFromSource(
            "Warning: Category axes ignore custom tick labels (from 'sChart:majorTickValuesForAxis:')", this);
    }
    return {};
}

std::optional<std::vector<double>> LChartCategoryAxis::manualGenerateTickMarks()
{
    if (auto values = m_chart ? m_chart->majorTickValuesForAxis(*this) : std::nullopt)
        manualGenerateTickMarks(Value::array(*values));
    return std::nullopt;
}

void LChartCategoryAxis::resetCustomTickWarningForTesting()
{
    s_customTickWarningGiven = false;
}

bool LChartCategoryAxis::isOverAlternate(double index) const
{
    return std::fmod(index, 2) == 0;
}

bool LChartCategoryAxis::allowsStacking()
{
    if (m_errorHandler) {
        m_errorHandler->handleErrorWithMessageFromSource(
            "Warning: You're stacking category values on top of each other.  It is possible that the axis tick marks "
            "won't line up with your chart data points, as the tick marks can't be shifted to match the offset of "
            "your data points due to stacking.",
            this);
    }
    return true;
}

void LChartCategoryAxis::reconfigureFromStubbedAxisCopy(const LChartAxis& copy)
{
    LChartAxis::reconfigureFromStubbedAxisCopy(copy);
    if (auto* categories = dynamic_cast<const LChartCategoryAxis*>(&copy))
        m_categories = categories->m_categories;
}
