#pragma once

#include "charts/LChartAnimation.h"
#include "charts/LChartDatasource.h"
#include "charts/LChartErrorHandler.h"
#include "charts/LChartSeriesDataPointFinder.h"
#include "charts/LChartSeriesDistanceInfo.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class LChartAxis;
class LChartDataSeries;
class LChartHitTestHost;
class LChartInternalDataPoint;
class LChartLegendItem;
class LChartMutableOrderedSet;
class LChartOrderedDictionary;
class LChartSeriesDataBin;
class LChartSeriesStyle;
class LChartTheme;
class UIColor;
class UIView;

// The base of every chart series: its points (an LChartDataSeries of internal points) cut into
// bins so that only changed runs are re-mapped and redrawn, its selection and legend settings,
// the entry and exit animations that show and hide it, and its styles from the chart's theme.
// It draws nothing itself; the cartesian and radial families add drawing. Subclasses make
// instances (the constructor is protected) and call `initSeries` first. Main thread only, except
// that the data loader may fill a series not yet shown on the chart's loading queue.
class LChartSeries : public NSObject,
                     public LChartLoadableSeries,
                     public LChartFinderSeries,
                     public LChartAnimatedSeries {
    VX_OBJECT(LChartSeries, NSObject)
public:
    explicit LChartSeries(Passkey);
    ~LChartSeries() override;

    // Settings.
    LChartDataSeries* dataSeries() const override { return m_dataSeries.get(); }
    const Ref<LChartDataSeries>& dataSeriesRef() const { return m_dataSeries; }
    const std::string& title() const { return m_title; }
    void setTitle(std::string title) { m_title = std::move(title); }
    bool showInLegend() const { return m_showInLegend; }
    void setShowInLegend(bool show) { m_showInLegend = show; }
    int32_t selectionMode() const { return m_selectionMode; }
    void setSelectionMode(int32_t mode) { m_selectionMode = mode; }
    bool toggleSelection() const { return m_toggleSelection; }
    void setToggleSelection(bool toggle) { m_toggleSelection = toggle; }
    bool togglePointSelection() const { return m_togglePointSelection; }
    void setTogglePointSelection(bool toggle) { m_togglePointSelection = toggle; }
    bool selected() const { return m_selected; }
    void setSelected(bool selected) { m_selected = selected; }
    bool crosshairEnabled() const { return m_crosshairEnabled; }
    void setCrosshairEnabled(bool enabled) { m_crosshairEnabled = enabled; }
    bool requiresRecalculation() const { return m_requiresRecalculation; }
    void setRequiresRecalculation(bool required) { m_requiresRecalculation = required; }
    bool dataToAppendOrRemove() const { return m_dataToAppendOrRemove; }
    bool animationEnabled() const { return m_animationEnabled; }
    void setAnimationEnabled(bool enabled) { m_animationEnabled = enabled; }
    bool shouldReenter() const { return m_shouldReenter; }
    void setShouldReenter(bool reenter) { m_shouldReenter = reenter; }
    bool isEntering() const { return m_isEntering; }
    bool isExiting() const { return m_isExiting; }
    bool delayAnimation() const { return m_delayAnimation; }
    void setDelayAnimation(bool delay) { m_delayAnimation = delay; }
    int32_t orientation() const override { return m_orientation; }
    void setOrientation(int32_t orientation) { m_orientation = orientation; }
    const std::shared_ptr<LChartErrorHandler>& errorHandler() const { return m_errorHandler; }
    int32_t numberOfNewDataPoints() const { return m_numberOfNewDataPoints; }
    int32_t numberOfPointsToRemoveFromStart() const { return m_numberOfPointsToRemoveFromStart; }
    int32_t startDataPointIndex() const { return m_startDataPointIndex; }
    int32_t endDataPointIndex() const { return m_endDataPointIndex; }
    int32_t seriesIndex() const { return m_seriesIndex; }
    void setSeriesIndex(int32_t index) { m_seriesIndex = index; }
    const Weak<NSObject>& delegate() const { return m_delegate; }
    void setDelegate(const Weak<NSObject>& delegate) override { m_delegate = delegate; }
    const Value& maxNumberOfPointsInBin() const { return m_maxNumberOfPointsInBin; }
    void setMaxNumberOfPointsInBin(const Value& size) { m_maxNumberOfPointsInBin = size; }
    int32_t numberOfDataPointsInBin() const;
    void setNumberOfDataPointsInBin(int32_t size);
    const Ref<LChartSeriesStyle>& baseStyle() const { return m_style; }
    const Ref<LChartSeriesStyle>& baseSelectedStyle() const { return m_selectedStyle; }

    // Data and bins.
    bool isRadialSeries() const override { return false; }
    void addDataPoint(const Ref<LChartInternalDataPoint>& point) override;
    void removeDataPoint(const Ref<LChartInternalDataPoint>& point) override;
    void appendNumberOfDataPoints(int32_t count);
    // More than the series holds is an error; the removal is capped at what it holds.
    void removeNumberOfDataPoints(int32_t count);
    void clearAppendFlags();
    void calcMinMax();
    const LChartOrderedDictionary& dataBins() const override;
    const Ref<LChartMutableOrderedSet>& invalidBins() const { return m_invalidBins; }
    void invalidateBin(const Ref<LChartSeriesDataBin>& bin);
    void invalidateBinContainingDataPoint(const LChartInternalDataPoint& point);
    void invalidateAllBins();
    void clearInvalidBins();
    virtual Ref<LChartSeriesDataBin> dataBinWithStartValue(const Value& value);
    Ref<LChartSeriesDataBin> createAndInitialiseDataBinWithStartValue(const Value& value);
    Ref<LChartSeriesDataBin> addDataBinWithStartValue(const Value& value);
    Ref<LChartSeriesDataBin> addDataBinToContainDataPoint(const LChartInternalDataPoint& point);
    // The last bin while it has room; null when there are no bins or the last is full.
    Ref<LChartSeriesDataBin> nextAvailableDataBin() const;
    Ref<LChartSeriesDataBin> dataBinForDataPointIndex(int32_t index) const;
    std::optional<std::pair<Ref<LChartSeriesDataBin>, int32_t>> closestDataBinLessThanChangedValue(
        const Value& value) const;
    std::optional<std::pair<Ref<LChartSeriesDataBin>, int32_t>> dataBinContainingChangedValue(
        const Value& value) const override;
    Ref<LChartSeriesDataBin> dataBinWithStartingValue(const Value& value) const;
    int32_t indexOfDataBin(const LChartSeriesDataBin& bin) const;
    void clearDataBins();

    // Value conversion: the changed value runs along the series' direction.
    Value changedValueOfDataPoint(const LChartInternalDataPoint& point) const override;
    Value measuredValueOfDataPoint(const LChartInternalDataPoint& point) const override;
    void setChangedValueOfDataPoint(const Value& value, LChartInternalDataPoint& point) const override;
    void setMeasuredValueOfDataPoint(const Value& value, LChartInternalDataPoint& point) const;

    // Visibility and animation.
    bool hidden() const { return m_hidden; }
    void setHidden(bool hidden);
    void updateAnimation(double seconds);
    const Ref<LChartAnimation>& entryAnimation() const { return m_entryAnimation; }
    void setEntryAnimation(const Ref<LChartAnimation>& animation);
    const Ref<LChartAnimation>& exitAnimation() const { return m_exitAnimation; }
    void setExitAnimation(const Ref<LChartAnimation>& animation);
    LChartAnimation* activeAnimation() const { return m_activeAnimation; }
    void sendAnimationDidFinishCallback(LChartAnimation& animation) override;
    bool shouldBeDrawn() const { return !m_hidden; }
    float resolutionScale() const;

    // Styles.
    void applyStylesFromThemeAtStyleIndexPreservingSetValues(
        const LChartTheme& theme, int32_t index, bool preservingSetValues);
    // The theme's style for this kind of series; null in the base class.
    virtual Ref<LChartSeriesStyle> themeStyle(const LChartTheme&, int32_t, bool) const { return nullptr; }
    // Fills the unset values of the series' own styles from the theme's.
    virtual void supplementStylesFromStyles(const Ref<LChartSeriesStyle>&, const Ref<LChartSeriesStyle>&) { }

    // Value keys.
    virtual std::vector<std::string> orderedKeysForDataValues() const { return {}; }
    virtual std::string stringForKeyWithDataPoint(const std::string& key, const LChartDataPoint* point) const;
    Value intRepresentationFromKey(const std::string& key) const;
    // The keys under which points carry several x values, several y values, or extra values.
    std::vector<std::string> xValueKeys() const;
    std::vector<std::string> yValueKeys() const;
    std::vector<std::string> valueKeys() const;
    // The display text of a keyed value: with an axis, the axis' text for the point's keyed x
    // value (x axis) or y value (other axes); without one, the description of the point's extra
    // value. Nullopt when the point carries no such kind of keyed value.
    std::optional<std::string> stringForValueWithKeyWithDataPoint(
        const std::string& key, LChartDataPoint& point, LChartAxis* axis) const;
    // Orders key labels (`stringForKeyWithDataPoint` texts) into the series' own key order:
    // negative, zero or positive as the first comes before, with or after the second. Labels
    // the series does not have come after its own, ordered by their text.
    std::function<int(const std::string&, const std::string&)> comparatorForValueKeys() const;

    // Nearest-point search. `touch` is in the series' internal units; `isOnlySeries` says that
    // this series is the only candidate. Fills `distance`, `dataPoint` and `resolvedPoint` of
    // `info` and leaves `series` as the caller set it. A series that measures nothing (the base
    // class, radial series) leaves the record as it is.
    virtual void distanceInfoToPointInChartIsOnlySeries(
        LChartSeriesDistanceInfo& info, LChartPoint touch, const LChartHitTestHost& chart, bool isOnlySeries);

    // Legend entries. The legend item, when set (it is not retained), supplies the title, the
    // symbol and the block symbol in the series' place wherever it answers; otherwise the series
    // answers itself. Symbols are new views of the series' kind in its style's colours; the base
    // class and kinds without a symbol give null.
    const Weak<LChartLegendItem>& legendItem() const { return m_legendItem; }
    void setLegendItem(const Weak<LChartLegendItem>& item) { m_legendItem = item; }
    virtual std::string titleForSeriesInLegend() const;
    // Radial series: the slice's x value as text; empty for other kinds.
    virtual std::string titleForSliceInLegend(int32_t slice) const;
    // Asked only of series that answer (a value); the base class does not.
    virtual std::optional<Ref<UIColor>> textColorForSeriesTitleInLegend() const { return std::nullopt; }
    virtual Ref<UIView> symbolForSeriesInLegend();
    virtual Ref<UIView> blockSymbolForSeriesInLegend();
    // Radial series: a symbol of one slice; null for other kinds.
    virtual Ref<UIView> symbolForSliceInLegend(int32_t slice);

protected:
    // The defaults, in the order of the base initialiser; subclasses call it first.
    void initSeries(std::shared_ptr<LChartErrorHandler> errorHandler);
    void setBaseStyle(const Ref<LChartSeriesStyle>& style) { m_style = style; }
    // Supplements the series' own styles of the kind's style class from the theme's.
    template <typename Style>
    void supplementStylesOfClass(const Ref<LChartSeriesStyle>& normal, const Ref<LChartSeriesStyle>& selected)
    {
        auto supplement = [](const Ref<LChartSeriesStyle>& own, const Ref<LChartSeriesStyle>& theme) {
            auto ownStyle = std::dynamic_pointer_cast<Style>(own);
            auto themeStyle = std::dynamic_pointer_cast<Style>(theme);
            if (ownStyle && themeStyle)
                ownStyle->supplementStyleFromStyle(*themeStyle);
        };
        supplement(m_style, normal);
        supplement(m_selectedStyle, selected);
    }
    void setBaseSelectedStyle(const Ref<LChartSeriesStyle>& style) { m_selectedStyle = style; }
    // Radial series run their selection and rotation animations as the active animation.
    void setActiveAnimation(LChartAnimation* animation) { m_activeAnimation = animation; }
    LChartOrderedDictionary& mutableDataBins() { return *m_dataBins; }

private:
    void startAnimation(LChartAnimation& starting, const LChartAnimation& stopping);

    Ref<LChartDataSeries> m_dataSeries;
    std::string m_title;
    bool m_showInLegend { true };
    int32_t m_selectionMode { 0 };
    bool m_toggleSelection { false };
    bool m_togglePointSelection { false };
    bool m_selected { false };
    bool m_crosshairEnabled { false };
    bool m_hidden { false };
    bool m_requiresRecalculation { true };
    bool m_dataToAppendOrRemove { false };
    bool m_animationEnabled { false };
    bool m_shouldReenter { false };
    bool m_isEntering { false };
    bool m_isExiting { false };
    bool m_delayAnimation { false };
    Ref<LChartSeriesStyle> m_style;
    Ref<LChartSeriesStyle> m_selectedStyle;
    int32_t m_orientation { 0 };
    Ref<LChartAnimation> m_entryAnimation;
    Ref<LChartAnimation> m_exitAnimation;
    std::shared_ptr<LChartErrorHandler> m_errorHandler;
    int32_t m_numberOfNewDataPoints { 0 };
    int32_t m_numberOfPointsToRemoveFromStart { 0 };
    Ref<LChartMutableOrderedSet> m_invalidBins;
    Ref<LChartOrderedDictionary> m_dataBins;
    int32_t m_startDataPointIndex { 0 };
    int32_t m_endDataPointIndex { 0 };
    int32_t m_seriesIndex { 0 };
    Weak<NSObject> m_delegate;
    LChartAnimation* m_activeAnimation { nullptr };
    Value m_maxNumberOfPointsInBin;
    Weak<LChartLegendItem> m_legendItem;
};
