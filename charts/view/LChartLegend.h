#pragma once

#include "foundation/Value.h"
#include "uikit/UIView.h"

#include <string>
#include <vector>

class LatticeChart;
class LChartLegendStyle;
class LChartSeries;
class LChartTitle;
class UILabel;

// What the legend's layout hands its entry placement: the size of every entry and where the
// first line starts. The autosizing may change it.
struct LegendLayoutInfo {
    float labelWidth { 0 };
    float rowHeight { 0 };
    float labelX { 0 };
    float symbolX { 0 };
    float firstRowY { 0 };
    float entryWidth { 0 };
    int32_t seriesPerLine { 1 };
};

// The chart's legend: one entry per series shown in the legend (one per slice of the first such
// series in a radial chart), each a label and optionally a symbol, laid out in lines of up to
// `seriesPerLine` entries below an optional title. Its layout sizes the legend from its entries
// unless its frame was set from outside (`userSetFrame`), in which case the rows are fitted into
// that frame; the chart view then places it (`positionLegend`). It takes no touches of its own.
// Holds its chart unretained. Main thread only.
class LChartLegend final : public UIView {
    VX_OBJECT(LChartLegend, UIView)
public:
    explicit LChartLegend(Passkey key)
        : UIView(key)
    {
    }
    // A legend needs its chart: fatal.
    [[noreturn]] static Ref<LChartLegend> init();
    static Ref<LChartLegend> initWithChart(LatticeChart* chart);

    // Lays the legend out again, keeping `userSetFrame` as it was.
    void reload();
    void drawLegend();

    // Marks the frame as set from outside.
    void setFrame(CGRect frame) override;
    bool userSetFrame() const { return m_userSetFrame; }
    void setUserSetFrame(bool set) { m_userSetFrame = set; }

    // 0 outside, 1 inside, 2 on the edge of the plot area.
    int32_t placement() const { return m_placement; }
    void setPlacement(int32_t placement);
    // 0 top right, 1 middle right, 2 bottom right, 3 bottom middle, 4 bottom left, 5 middle left,
    // 6 top left, 7 top middle. The middle positions of the top and bottom edges make the legend
    // horizontal, every other position vertical.
    int32_t position() const { return m_position; }
    void setPosition(int32_t position);
    // 0 vertical (one entry per line unless `maxSeriesPerLine` was set), 1 horizontal.
    int32_t orientation() const;
    void setOrientation(int32_t orientation);
    // The legend's width as a fraction of the chart's, in (0, 1]; nil for none. Other values
    // are logged and clear it.
    const Value& fixedWidthRatio() const { return m_fixedWidthRatio; }
    void setFixedWidthRatio(const Value& ratio);
    int32_t maxSeriesPerLine() const { return m_maxSeriesPerLine; }
    // Below 1 is logged and taken as 1.
    void setMaxSeriesPerLine(int32_t count);
    bool maxSeriesPerLineSet() const { return m_maxSeriesPerLineSet; }
    // The width of every symbol; 0 or nil makes the layout compute (and keep) one.
    const Value& symbolWidth() const { return m_symbolWidth; }
    void setSymbolWidth(const Value& width);
    bool userSetSymbolWidth() const { return m_userSetSymbolWidth; }
    std::string title() const;
    void setTitle(const std::string& title);
    bool doShowTitle() const { return m_doShowTitle; }
    bool showSymbols();
    void setShowSymbols(bool show);

    LatticeChart* chart() const { return m_chart; }
    void setChart(LatticeChart* chart) { m_chart = chart; }
    const std::vector<Ref<UILabel>>& labels() const { return m_labels; }
    void setLabels(std::vector<Ref<UILabel>> labels) { m_labels = std::move(labels); }
    const std::vector<Ref<UIView>>& symbols() const { return m_symbols; }
    void setSymbols(std::vector<Ref<UIView>> symbols) { m_symbols = std::move(symbols); }
    const Value& cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(const Value& radius) { m_cornerRadius = radius; }
    const Ref<LChartLegendStyle>& style() const { return m_style; }
    void setStyle(const Ref<LChartLegendStyle>& style) { m_style = style; }
    const Ref<LChartTitle>& titleLabel() const { return m_title; }
    bool autosizeLabels() const { return m_autosizeLabels; }
    void setAutosizeLabels(bool autosize) { m_autosizeLabels = autosize; }

    // Entry building, called by the layout.
    void populateLegendWithSeriesUsingLayoutInfo(const std::vector<Ref<LChartSeries>>& series, LegendLayoutInfo info);
    // `slice` is -1 for a cartesian series' entry.
    void addEntryForSeriesAtIndexAndSliceWithLabelFrameAndSymbolFrame(
        LChartSeries& series, int32_t index, int32_t slice, CGRect labelFrame, CGRect symbolFrame);
    // After entry `count` (counted from 1): the next place on the line, or the start of the next.
    void moveFramesForNextEntryLabelFrameSymbolFrameUsingLayoutInfo(
        int32_t count, CGRect* labelFrame, CGRect* symbolFrame, const LegendLayoutInfo& info) const;
    void autosizeUsingLayoutInfo(LegendLayoutInfo* info);

private:
    // Puts a frame without marking it as set from outside.
    void placeFrame(CGRect frame) { UIView::setFrame(frame); }
    float horizontalPadding() const;
    float verticalPadding() const;

    Value m_symbolWidth;
    int32_t m_maxSeriesPerLine { 4 };
    bool m_maxSeriesPerLineSet { false };
    std::vector<Ref<UIView>> m_symbols;
    std::vector<Ref<UILabel>> m_labels;
    Ref<LChartLegendStyle> m_style;
    Ref<LChartTitle> m_title;
    int32_t m_position { 0 };
    bool m_userSetSymbolWidth { false };
    bool m_userSetFrame { false };
    bool m_doShowTitle { false };
    bool m_showSymbols { false };
    bool m_autosizeLabels { true };
    LatticeChart* m_chart { nullptr };
    int32_t m_placement { 0 };
    Value m_cornerRadius;
    Value m_fixedWidthRatio;
};
