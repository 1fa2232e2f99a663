#include "charts/view/LChartCrosshairMultiValueTooltip.h"

#include "charts/LChartAxis.h"
#include "charts/LChartCrosshairStyle.h"
#include "charts/LChartMultiYDataPoint.h"
#include "charts/LChartSeries.h"
#include "charts/view/LatticeChart.h"
#include "graphics/NSString+Drawing.h"
#include "uikit/UILabel.h"

#include <algorithm>

VX_REGISTER_CLASS(LChartCrosshairMultiValueTooltip);

namespace {

// The point's keyed values of one kind (x values for an x axis, y values for a y axis, extra
// values without an axis); nil when the point carries none of that kind.
Value keyedValues(LChartDataPoint& point, const LChartAxis* axis)
{
    if (!axis) {
        if (auto* multi = dynamic_cast<LChartMultiValueDataPoint*>(&point))
            return multi->values();
    } else if (axis->isXAxis()) {
        if (auto* multiX = dynamic_cast<LChartMultiXDataPoint*>(&point))
            return multiX->xValues();
    } else if (auto* multiY = dynamic_cast<LChartMultiYDataPoint*>(&point)) {
        return multiY->yValues();
    }
    return {};
}

} // namespace

Ref<LChartCrosshairMultiValueTooltip> LChartCrosshairMultiValueTooltip::init()
{
    auto tooltip = makeView<LChartCrosshairMultiValueTooltip>(CGRectZero);
    tooltip->initTooltip();
    tooltip->m_longestLabelTextWidth = 0;
    tooltip->m_labels.clear();
    return tooltip;
}

int32_t LChartCrosshairMultiValueTooltip::maxNumberOfLabelsPerTooltipRow() const
{
    // A row holds at least one pair, so a style asking for none cannot make the columns
    // infinitely wide.
    int32_t pairs = style() ? style()->defaultKeyValuesPerRow().intValue() : 0;
    return 2 * std::max(pairs, 1);
}

Ref<UILabel> LChartCrosshairMultiValueTooltip::createLabel()
{
    auto label = UILabel::initWithFrame(CGRectZero);
    if (style()) {
        label->setFont(style()->defaultFont());
        label->setTextColor(style()->defaultTextColor());
        label->setBackgroundColor(style()->defaultLabelBackgroundColor());
    }
    addSubview(label);
    m_labels.push_back(label);
    return label;
}

void LChartCrosshairMultiValueTooltip::updateLongestLabelWidth(UILabel& label)
{
    if (style())
        label.setFont(style()->defaultFont());
    label.sizeToFit();
    m_longestLabelTextWidth = std::max(m_longestLabelTextWidth, static_cast<float>(label.frame().size.width));
}

void LChartCrosshairMultiValueTooltip::collectKeyValPairsForDisplayForDataPointAxisSeries(
    std::map<std::string, std::string>& pairs, LChartDataPoint& point, LChartAxis* axis, LChartSeries& series) const
{
    Value values = keyedValues(point, axis);
    if (values.isNilOrNull() || values.count() == 0)
        return;
    const auto keys = !axis ? series.valueKeys() : axis->isXAxis() ? series.xValueKeys() : series.yValueKeys();
    for (const auto& key : keys) {
        // A key the point has no text for gets no row.
        auto text = series.stringForValueWithKeyWithDataPoint(key, point, axis);
        if (text)
            pairs[series.stringForKeyWithDataPoint(key, &point)] = *text;
    }
}

std::map<std::string, std::string>
LChartCrosshairMultiValueTooltip::keyValueDisplayPairsForDataPointOnSeriesWithXAxisWithYAxis(
    LChartDataPoint& point, LChartSeries& series, LChartAxis* xAxis, LChartAxis* yAxis) const
{
    std::map<std::string, std::string> pairs;
    if (yAxis)
        collectKeyValPairsForDisplayForDataPointAxisSeries(pairs, point, yAxis, series);
    if (xAxis)
        collectKeyValPairsForDisplayForDataPointAxisSeries(pairs, point, xAxis, series);
    collectKeyValPairsForDisplayForDataPointAxisSeries(pairs, point, nullptr, series);
    return pairs;
}

std::string LChartCrosshairMultiValueTooltip::mainLabelStringForDataPointOnSeriesWithXAxisWithYAxis(
    LChartDataPoint& point, LChartSeries&, LChartAxis* xAxis, LChartAxis* yAxis) const
{
    const bool severalX = dynamic_cast<LChartMultiXDataPoint*>(&point) != nullptr;
    const bool severalY = dynamic_cast<LChartMultiYDataPoint*>(&point) != nullptr;
    std::string x = severalX || !xAxis ? std::string() : xAxis->stringForId(point.sChartXValue());
    std::string y = severalY || !yAxis ? std::string() : yAxis->stringForId(point.sChartYValue());
    return x + (severalX || severalY ? "" : ", ") + y;
}

void LChartCrosshairMultiValueTooltip::setDataPointFromSeriesFromChart(
    const Ref<LChartDataPoint>& point, LChartSeries* series, LatticeChart* chart)
{
    m_longestLabelTextWidth = 0;
    for (const auto& label : m_labels)
        label->removeFromSuperview();
    m_labels.clear();
    if (!point || !series || !chart)
        return;

    auto [xAxis, yAxis] = chart->axesForSeries(series);
    auto pairs = keyValueDisplayPairsForDataPointOnSeriesWithXAxisWithYAxis(*point, *series, xAxis, yAxis);
    std::vector<std::string> keys;
    for (const auto& [key, value] : pairs)
        keys.push_back(key);
    auto compare = series->comparatorForValueKeys();
    std::stable_sort(
        keys.begin(), keys.end(), [&](const std::string& a, const std::string& b) { return compare(a, b) < 0; });
    for (const auto& key : keys) {
        auto keyLabel = createLabel();
        keyLabel->setTextAlignment(NSTextAlignmentRight);
        keyLabel->setText(key);
        updateLongestLabelWidth(*keyLabel);
        auto valueLabel = createLabel();
        valueLabel->setTextAlignment(NSTextAlignmentLeft);
        valueLabel->setText(pairs[key]);
        updateLongestLabelWidth(*valueLabel);
    }

    std::string title = mainLabelStringForDataPointOnSeriesWithXAxisWithYAxis(*point, *series, xAxis, yAxis);
    label()->setText(title);
    float titleWidth
        = static_cast<float>(NSString_Drawing::sizeWithFont(title, style() ? style()->defaultFont() : nullptr).width);
    float share = titleWidth / static_cast<float>(maxNumberOfLabelsPerTooltipRow());
    if (share > m_longestLabelTextWidth)
        m_longestLabelTextWidth = share;
}

void LChartCrosshairMultiValueTooltip::layoutContents()
{
    LChartCrosshairTooltip::layoutContents();
    if (m_labels.empty())
        return;
    const float inset = this->inset();
    const float columnWidth = m_longestLabelTextWidth;
    const int32_t perRow = maxNumberOfLabelsPerTooltipRow();
    const float mainHeight = static_cast<float>(label()->frame().size.height);
    float x = inset;
    float y = inset + mainHeight;
    float height = y;
    int32_t place = 1;
    int32_t widestRow = 0;
    for (size_t i = 0; i < m_labels.size(); ++i) {
        UILabel& each = *m_labels[i];
        const float own = static_cast<float>(each.frame().size.height);
        each.setFrame(CGRectMake(x, y, columnWidth, own));
        widestRow = std::max(widestRow, place);
        if (place + 1 > perRow || i + 1 == m_labels.size()) {
            height += own;
            y += own;
            x = inset;
            place = 1;
        } else {
            x += columnWidth;
            ++place;
        }
    }
    CGRect main = label()->frame();
    main.size.width = static_cast<CGFloat>(widestRow) * columnWidth;
    label()->setFrame(main);
    const float width = 2 * inset + static_cast<float>(widestRow) * columnWidth;
    const float total = height + inset;
    setFrame(CGRectMake(width / 2, total / 2, width, total));
}
