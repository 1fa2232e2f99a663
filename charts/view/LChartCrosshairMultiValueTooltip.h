#pragma once

#include "charts/view/LChartCrosshairTooltip.h"

#include <map>
#include <string>
#include <vector>

class LChartAxis;

// A tooltip for points that carry several values: a title line (the point's x and y texts, less
// whichever the point keeps several of) over a grid of key and value labels, `defaultKeyValuesPerRow`
// pairs to a row, every column as wide as the widest label. Main thread only.
class LChartCrosshairMultiValueTooltip : public LChartCrosshairTooltip {
    VX_OBJECT(LChartCrosshairMultiValueTooltip, LChartCrosshairTooltip)
public:
    explicit LChartCrosshairMultiValueTooltip(Passkey key)
        : LChartCrosshairTooltip(key)
    {
    }
    static Ref<LChartCrosshairMultiValueTooltip> init();

    const std::vector<Ref<UILabel>>& labels() const { return m_labels; }
    float longestLabelTextWidth() const { return m_longestLabelTextWidth; }

    // The title comes from the data point, not from the displayed values.
    void setResolvedDataPointFromSeriesFromChart(LChartPoint, LChartSeries*, LatticeChart*) override { }
    // Rebuilds the key and value labels and the title from the point's keyed values.
    void setDataPointFromSeriesFromChart(
        const Ref<LChartDataPoint>& point, LChartSeries* series, LatticeChart* chart) override;
    void layoutContents() override;

    // Labels in a row: a key and a value label per pair, at least one pair.
    int32_t maxNumberOfLabelsPerTooltipRow() const;
    Ref<UILabel> createLabel();
    // Fits the label in the style's font and widens the columns to it if needed.
    void updateLongestLabelWidth(UILabel& label);

    // Key text to value text of every keyed value the point carries: y values, then x values,
    // then extra values (a later key text replaces an earlier one).
    std::map<std::string, std::string> keyValueDisplayPairsForDataPointOnSeriesWithXAxisWithYAxis(
        LChartDataPoint& point, LChartSeries& series, LChartAxis* xAxis, LChartAxis* yAxis) const;
    // Adds the point's keyed values of the axis' kind (x values for an x axis, y values for a
    // y axis, extra values without one), labelled by the series.
    void collectKeyValPairsForDisplayForDataPointAxisSeries(std::map<std::string, std::string>& pairs,
        LChartDataPoint& point, LChartAxis* axis, LChartSeries& series) const;
    // "<x>, <y>", leaving out the x text of a point with several x values, the y text of one
    // with several y values, and the comma when either is left out.
    std::string mainLabelStringForDataPointOnSeriesWithXAxisWithYAxis(
        LChartDataPoint& point, LChartSeries& series, LChartAxis* xAxis, LChartAxis* yAxis) const;

private:
    std::vector<Ref<UILabel>> m_labels;
    float m_longestLabelTextWidth { 0 };
};
