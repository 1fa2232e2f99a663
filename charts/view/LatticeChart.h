#pragma once

#include "charts/LChartAxisHost.h"
#include "charts/LChartCartesianSeries.h"
#include "charts/LChartDatasource.h"
#include "charts/LChartHitTestHost.h"
#include "foundation/FoundationForward.h"
#include "uikit/UIView.h"

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

class LChartAxis;
class LChartCanvas;
class LChartCanvasOverlay;
class LChartCrosshair;
class LChartDelegate;
class LChartDonutSeries;
class LChartInternalDataPoint;
class LChartAxisStyle;
class UILabel;
class LChartAnnotation;
class LChartLegend;
class LChartSeries;
class LChartSeriesGroup;
class LChartTitle;
class LChartTheme;
class UIColor;

// A span in an axis pair's internal units.
struct LChartSize {
    double width { 0 };
    double height { 0 };
};

// A freshly loaded series and the stub copies of the axes it was loaded against.
struct LChartNewSeriesEntry {
    Ref<LChartSeries> series;
    Ref<LChartAxis> xAxisForMapping;
    Ref<LChartAxis> yAxisForMapping;
};

// The chart view. Given a data source, its layout pass loads the series (once per reload),
// sorts cartesian series into series groups by axis pair, class and orientation, maps them,
// hands the axes their series and updates their ranges, then lays out its canvas, which places
// the plot area and the axes' tick views and draws the series through the GL view, one frame per
// display of its render view. Main thread only.
class LatticeChart : public UIView, public LChartAxisHost, public LChartLoaderHost, public LChartHitTestHost {
    VX_OBJECT(LatticeChart, UIView)
public:
    explicit LatticeChart(Passkey key)
        : UIView(key)
    {
    }
    ~LatticeChart() override;
    static Ref<LatticeChart> initWithFrame(CGRect frame);
    // Axis types: 0 number, 1 date-time, 2 category, 3 logarithmic, 4 discontinuous number,
    // 5 discontinuous date-time; any other is fatal.
    static Ref<LatticeChart> initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRect frame, int32_t xType, int32_t yType);

    // The data source is not retained; setting it asks for a reload.
    LChartDatasource* datasource() const { return m_datasource; }
    void setDatasource(LChartDatasource* datasource);
    void reloadData();
    // Announce points the data source added at the end of a series or dropped from its start;
    // the next layout pass loads and maps them (radial charts only log).
    void appendNumberOfDataPointsToEndOfSeriesAtIndex(int32_t count, int32_t seriesIndex);
    void removeNumberOfDataPointsFromStartOfSeriesAtIndex(int32_t count, int32_t seriesIndex);
    bool shouldReloadData() const { return m_shouldReloadData; }
    void setShouldReloadData(bool reload) { m_shouldReloadData = reload; }

    // The delegate told of loads and frames; not retained.
    LChartDelegate* chartDelegate() const { return m_chartDelegate; }
    void setChartDelegate(LChartDelegate* delegate) { m_chartDelegate = delegate; }
    void notifyWillStartLoadingData();
    void notifyDidFinishLoadingData();
    void notifyRenderStartedWithFullRedraw(bool fullRedraw);
    void notifyRenderFinished();

    // Reloads read the data source on the chart's serial loading queue instead of inside the
    // layout pass; the loading indicator is shown while a queued load runs.
    bool loadDataInBackground() const { return m_loadDataInBackground; }
    void setLoadDataInBackground(bool background) { m_loadDataInBackground = background; }
    const Ref<UIView>& loadingIndicator() const { return m_loadingIndicator; }
    void setLoadingIndicator(const Ref<UIView>& indicator);
    void startLoadingIndicator();
    void stopLoadingIndicator();
    // Loads queued on the loading queue and not yet finished. Any thread.
    int32_t loadingQueueSize() const;
    void incrementQueueSize();
    void decrementQueueSize();

    const std::vector<Ref<LChartAxis>>& xAxes() const { return m_xAxes; }
    const std::vector<Ref<LChartAxis>>& yAxes() const { return m_yAxes; }
    void addXAxis(const Ref<LChartAxis>& axis);
    void addYAxis(const Ref<LChartAxis>& axis);
    // With no axis of the orientation yet, adds it; otherwise it replaces the primary axis.
    void setXAxis(const Ref<LChartAxis>& axis);
    void setYAxis(const Ref<LChartAxis>& axis);
    // The new axis takes the old one's place and series; the next layout pass reloads. The old
    // axis leaves the chart and may join another.
    void replaceXAxisWithAxis(const Ref<LChartAxis>& old, const Ref<LChartAxis>& axis);
    void replaceYAxisWithAxis(const Ref<LChartAxis>& old, const Ref<LChartAxis>& axis);
    // A secondary axis leaves the chart, its series going to the primary axis; the only axis of
    // an orientation, or one the chart does not have, is refused with a log.
    void removeXAxis(const Ref<LChartAxis>& axis);
    void removeYAxis(const Ref<LChartAxis>& axis);
    bool isOwningAxis(const LChartAxis* axis) const;
    const std::vector<Ref<LChartSeries>>& series() const { return m_series; }
    const std::vector<Ref<LChartSeriesGroup>>& seriesGroups() const { return m_seriesGroups; }
    const Ref<LChartCanvas>& canvas() const { return m_canvas; }
    const Ref<LChartTheme>& theme() const { return m_theme; }
    // The plot area's background, painted under the series by the canvas.
    Ref<UIColor> plotAreaBackgroundColor() const { return m_plotAreaBackgroundColor; }
    bool autoCalculateAxisRanges() const { return m_autoCalculateAxisRanges; }
    void setAutoCalculateAxisRanges(bool automatic) { m_autoCalculateAxisRanges = automatic; }

    // The chart title: a label at the top edge, hidden while its text is blank. It takes room
    // from the canvas unless `overlapChartTitle` is set. `titlePosition`: 0 centred, 1 left,
    // any other right; a centred title centres on (`titleCentresOn`) 0 the chart, 1 the plot
    // area, 2 the canvas, any other value leaving it where it is.
    const Ref<LChartTitle>& titleLabel() const { return m_titleLabel; }
    // Another label takes the title's place among the chart's subviews.
    void setTitleLabel(const Ref<LChartTitle>& label);
    std::string title() const;
    void setTitle(const std::string& title);
    bool overlapChartTitle() const { return m_overlapChartTitle; }
    void setOverlapChartTitle(bool overlap) { m_overlapChartTitle = overlap; }
    int32_t titleCentresOn() const { return m_titleCentresOn; }
    void setTitleCentresOn(int32_t centresOn) { m_titleCentresOn = centresOn; }
    int32_t titlePosition() const { return m_titlePosition; }
    void setTitlePosition(int32_t position) { m_titlePosition = position; }
    // Moves the title along the top edge and brings it to the front; a title whose frame the
    // user set stays where it is.
    void positionChartTitle();
    // The inset of the chart's border, taken into account when placing titles.
    float borderThickness() const { return m_borderThickness; }
    // Also the border width of the chart view's own layer.
    void setBorderThickness(float thickness);

    // The layout pipeline.
    void layoutSubviews() override;
    std::vector<LChartNewSeriesEntry> loadNewChartSeriesEntries();
    std::vector<Ref<LChartSeriesGroup>> groupAndMapSeries(const std::vector<LChartNewSeriesEntry>& entries);
    // Sorts the entries' series into groups by axis pair, class and orientation (numbering
    // their stacks); an entry joins every group it matches, or a new one.
    std::vector<Ref<LChartSeriesGroup>> putSeriesIntoGroups(const std::vector<LChartNewSeriesEntry>& entries);
    void addEntryToGroups(const LChartNewSeriesEntry& entry, std::vector<Ref<LChartSeriesGroup>>& groups);
    void updateChartWithNewChartSeriesNewSeriesGroups(
        const std::vector<LChartNewSeriesEntry>& entries, const std::vector<Ref<LChartSeriesGroup>>& groups);
    // A number, date-time or category axis suited to the first point of the first series; null
    // when there is no such point.
    Ref<LChartAxis> createAxisFromDataWithOrientation(int32_t orientation) const;
    void updateCanvasSize();
    // The layout pass without a reload: loads and maps the announced points of each series and
    // updates the ranges of the axes those series use.
    void appendAnnouncedData();
    // The first x and y axis the series is linked to; fatal when it has none.
    std::pair<LChartAxis*, LChartAxis*> axesForSeries(const LChartSeries* series) const;

    // What the axes ask of the chart.
    CGRect chartFrame() const override { return frame(); }
    LChartDrawer* glView() const override;
    std::vector<Ref<LChartRange>> visibleRangesOfSeriesGroupsOnAxis(const LChartAxis& axis) const override;
    LChartAxis* xAxis() const override { return m_xAxes.empty() ? nullptr : m_xAxes.front().get(); }
    LChartAxis* yAxis() const override { return m_yAxes.empty() ? nullptr : m_yAxes.front().get(); }
    void redrawChartIncludePlotArea(bool includePlotArea) override;
    void updateRangesOnCartesianAxis(LChartAxis& axis) override;
    void setNeedsLayoutIfHaveAxesAndData() override;
    Ref<UIView> canvasOverlay() const override;
    Ref<UIView> canvasUnderlay() const override;
    // On the loading queue, what the load in progress has found; elsewhere the chart's own.
    bool isRadial() const override;
    std::vector<LChartAxis*> allXAxes() const override;
    std::vector<LChartAxis*> allYAxes() const override;
    float spaceRequiredForYAxesNormal() const override { return spaceForAxes(m_yAxes, 0); }
    float spaceRequiredForXAxesReverse() const override { return spaceForAxes(m_xAxes, 1); }
    float spaceRequiredForXAxesNormal() const { return spaceForAxes(m_xAxes, 0); }
    float spaceRequiredForYAxesReverse() const { return spaceForAxes(m_yAxes, 1); }
    // The space (with titles) the axes on one side (0 normal: bottom or left, 1 reverse) need.
    float spaceForAxes(const std::vector<Ref<LChartAxis>>& axes, int32_t side) const;

    // What the data loader asks of the chart.
    // Called by the data loader. A load on the loading queue keeps the value for its own
    // swap-in to hand over on the main thread, so that the chart the main thread draws does not
    // change under it.
    void setIsRadial(bool radial) override;
    Weak<NSObject> delegate() const override { return {}; }

    // Construction with a theme: the theme is kept without being applied (the library's
    // default theme stays on the chart's parts until `applyTheme` is called). A null theme is
    // the same as none. Plain `init` is refused (fatal).
    static Ref<LatticeChart> initWithFrameWithTheme(CGRect frame, const Ref<LChartTheme>& theme);
    static Ref<LatticeChart> initWithFrameWithThemeWithPrimaryXAxisTypeWithPrimaryYAxisType(
        CGRect frame, const Ref<LChartTheme>& theme, int32_t xType, int32_t yType);
    static Ref<LatticeChart> init();

    // The series loaded last, in data-source order; `chartSeries` is a copy.
    void setSeries(std::vector<Ref<LChartSeries>> series) { m_series = std::move(series); }
    const std::vector<Ref<LChartSeries>>& allChartSeries() const { return m_series; }
    std::vector<Ref<LChartSeries>> chartSeries() const { return m_series; }
    void setSeriesGroups(std::vector<Ref<LChartSeriesGroup>> groups) { m_seriesGroups = std::move(groups); }
    void setXAxes(std::vector<Ref<LChartAxis>> axes) { m_xAxes = std::move(axes); }
    void setYAxes(std::vector<Ref<LChartAxis>> axes) { m_yAxes = std::move(axes); }

    // Accessors other parts of the library use.
    const Ref<LChartCanvas>& getCanvas() const { return m_canvas; }
    LatticeChart* getChart() { return this; }
    // The GL view's frame in the canvas, or a zero rectangle.
    CGRect getGLFrame() const;
    // The plot area (the GL view's bounds) in the chart view's coordinates.
    CGRect getPlotAreaFrame() const;
    Ref<UIColor> plotBackgroundColor() const { return plotAreaBackgroundColor(); }
    Ref<UIColor> chartBackgroundColor() const { return backgroundColor(); }
    std::string description() const override;
    // "Version: 2.5.3, Edition: Premium".
    static std::string getInfo();

    // The axis a freshly loaded series belongs to: the data source's choice, else the primary
    // axis of the orientation (null when there is none). A choice the chart does not hold, or
    // of the wrong orientation, is fatal.
    LChartAxis* axisWithOrientationForSeriesWithIndex(int32_t orientation, int32_t seriesIndex) const;

    // Reading the axes. The primary axis is the first of its orientation; asking for one the
    // chart lacks logs and answers null.
    std::vector<Ref<LChartAxis>> allAxes() const;
    LChartAxis* primaryXAxis() const { return firstAxisIn(m_xAxes, 'x'); }
    LChartAxis* primaryYAxis() const { return firstAxisIn(m_yAxes, 'y'); }
    std::vector<LChartAxis*> primaryAxes() const;
    std::vector<Ref<LChartAxis>> secondaryXAxes() const;
    std::vector<Ref<LChartAxis>> secondaryYAxes() const;
    std::vector<Ref<LChartAxis>> secondaryAxes() const;

    // Redraws after a range change; with the plot area, the series' geometry is rebuilt.
    void redrawChartAndGL(bool includePlotArea) { redrawChartIncludePlotArea(includePlotArea); }
    void redrawChart() { redrawChartIncludePlotArea(false); }
    // Every x axis zooms to the point's x over the size's width, every y axis to its y over the
    // height.
    void zoomToPointWithRange(LChartPoint point, LChartSize range);
    // Whether the point lies in the visible ranges of the series' axes.
    bool pointIsVisibleOnSeries(LChartPoint point, const LChartSeries& series) const;

    // "<x text>, <y text>" from each axis' own text for its data object, on the series' axes.
    std::string stringForIdXAndIdYUsingSeries(const Value& x, const Value& y, const LChartSeries& series) const;

    // Whether the canvas acts on device turns.
    bool rotatesOnDeviceRotation() const { return m_rotatesOnDeviceRotation; }
    void setRotatesOnDeviceRotation(bool rotates) { m_rotatesOnDeviceRotation = rotates; }

    // Colours and borders. Setting a background colour drops the theme's background gradient.
    void setBackgroundColor(const Ref<UIColor>& color) override;
    const Ref<UIView>& gradientView() const { return m_gradientView; }
    void removeGradientView();
    // The canvas' own background (null: clear).
    Ref<UIColor> canvasAreaBackgroundColor() const;
    void setCanvasAreaBackgroundColor(const Ref<UIColor>& color);
    void setPlotAreaBackgroundColor(const Ref<UIColor>& color);
    // The border of the plot area (the GL view's layer).
    Ref<UIColor> plotAreaBorderColor() const;
    void setPlotAreaBorderColor(const Ref<UIColor>& color);
    float plotAreaBorderThickness() const;
    void setPlotAreaBorderThickness(float thickness);
    // The border of the chart view's own layer.
    const Ref<UIColor>& borderColor() const { return m_borderColor; }
    void setBorderColor(const Ref<UIColor>& color);
    // Keeps the title's and the legend's user-set flags across the resize of the subviews.
    void setFrame(CGRect frame) override;

    // Themes. Applying a theme replaces the styles of the axes, the series and the title (what
    // was set by hand on them included); series loaded later take it keeping their own
    // settings.
    void setTheme(const Ref<LChartTheme>& theme) { applyTheme(theme); }
    void applyTheme(const Ref<LChartTheme>& theme);
    void applyTheme() { applyThemeToChart(); }
    const Ref<LChartTheme>& getTheme() const { return m_theme; }
    void applyThemeToChart();
    // With `preservingSetValues` the axis' own style is supplemented from the given one, else
    // the axis takes a copy of it.
    void applyStyleToAxisPreservingSetValues(
        const Ref<LChartAxisStyle>& style, LChartAxis& axis, bool preservingSetValues);
    void applyThemeToSeriesAtIndexPreservingSetValues(LChartSeries& series, int32_t index, bool preservingSetValues);

    // Radial series' callbacks to the delegate.
    void notifyAlterLabelForSlice(
        const Ref<UILabel>& label, const LChartInternalDataPoint& point, int32_t index, LChartDonutSeries& series);
    void notifyToggledSelectionForRadialPoint(LChartDonutSeries& series, int32_t index, CGPoint tap);
    void notifyRadialSeriesDidEndDecelerating(LChartDonutSeries& series);
    // Gestures. The switches the canvas overlay reads; the pan type (0 none, 1 pinch and pan,
    // 2 box zoom) and the pinch's aspect lock live in the overlay. Changing what a gesture
    // applies to makes the overlay re-enable its recognisers.
    LChartCanvasOverlay* canvasOverlayView() const;
    bool animateBoxGesture() const { return m_animateBoxGesture; }
    void setAnimateBoxGesture(bool animate) { m_animateBoxGesture = animate; }
    bool animateZoomGesture() const override { return m_animateZoomGesture; }
    void setAnimateZoomGesture(bool animate) { m_animateZoomGesture = animate; }
    bool gestureDoubleTapEnabled() const { return m_gestureDoubleTapEnabled; }
    void setGestureDoubleTapEnabled(bool enabled);
    // Setting it enables double tap, whatever the value.
    bool gestureDoubleTapResetsZoom() const { return m_gestureDoubleTapResetsZoom; }
    void setGestureDoubleTapResetsZoom(bool resets);
    bool radialTapEnabled() const { return m_radialTapEnabled; }
    void setRadialTapEnabled(bool enabled);
    bool radialRotationEnabled() const { return m_radialRotationEnabled; }
    void setRadialRotationEnabled(bool enabled);
    bool gesturePanCancelsCrosshair() const { return m_gesturePanCancelsCrosshair; }
    bool gesturePanCancelsCrosshairDeprecated() const { return m_gesturePanCancelsCrosshair; }
    void setGesturePanCancelsCrosshair(bool cancels) { m_gesturePanCancelsCrosshair = cancels; }
    bool pinchOrPanInProgress() const override { return m_pinchOrPanInProgress; }
    void setPinchOrPanInProgress(bool inProgress) { m_pinchOrPanInProgress = inProgress; }
    int32_t gesturePanType() const;
    void setGesturePanType(int32_t type);
    bool gesturePinchAspectLock() const;
    void setGesturePinchAspectLock(bool lock);
    // Panning on the canvas is enabled while some axis allows gesture panning.
    void axisPanningChanged() override;
    // The axes' notices while they zoom or pan by themselves go to the overlay.
    void axisIsZooming(LChartAxis& axis) override;
    void axisIsPanning(LChartAxis& axis) override;
    void axisFinishedMomentumZooming(LChartAxis& axis) override;
    void axisFinishedMomentumPanning(LChartAxis& axis) override;
    // The legend (hidden until shown) and its place: beside, inside or on the edge of the plot
    // area by its `position` and `placement`. The canvas gives up room for it in
    // `updateCanvasSize`; a legend whose frame the user set is neither moved nor given room.
    const Ref<LChartLegend>& legend() const { return m_legend; }
    void setLegend(const Ref<LChartLegend>& legend);
    void positionLegend();
    // The theme's legend settings: position 0 and the legend style's values.
    void applyThemeToLegend(const LChartTheme& theme);
    // The legend style's margin around the legend.
    float legendMargin() const;

    // Annotations, placed in the canvas above the series (`position` 0) or below them, and moved
    // after every frame to follow the axes.
    const std::vector<Ref<LChartAnnotation>>& annotations() const { return m_annotations; }
    const std::vector<Ref<LChartAnnotation>>& getAnnotations() const { return m_annotations; }
    // Replaces the list without placing anything.
    void setAnnotations(std::vector<Ref<LChartAnnotation>> annotations) { m_annotations = std::move(annotations); }
    void addAnnotation(const Ref<LChartAnnotation>& annotation);
    void addAnnotationToView(const Ref<LChartAnnotation>& annotation);
    // An index outside the list is logged and changes nothing.
    void replaceAnnotationAtIndexWithAnnotation(int32_t index, const Ref<LChartAnnotation>& annotation);
    void removeAnnotation(const Ref<LChartAnnotation>& annotation);
    void removeAllAnnotations();

    // Hit testing and the crosshair: what a series asks when it measures a touch (its axes come
    // from `axesForSeries`), and the texts of the crosshair's one-line tooltip.
    CGRect glFrameForHitTesting() const override;
    bool crosshairInterpolatesPoints() const override;
    // "<x>, <y>": each value as its axis formats it (a missing axis gives an empty text).
    std::string stringForXAndYUsingXAxisAndYAxis(double x, double y, LChartAxis* xAxis, LChartAxis* yAxis) const;
    // The same on the series' axes, or on the primary axes.
    std::string stringForXAndYUsingSeries(double x, double y, const LChartSeries* series) const;
    std::string stringForXAndY(double x, double y) const;
    // The crosshair over the plot area, held for the canvas overlay. Made on first use, hidden,
    // with the theme's crosshair style, in the canvas' overlay; its frame follows the canvas'
    // bounds at every layout pass, and a reload removes it.
    const Ref<LChartCrosshair>& crosshair();
    // Replaces the crosshair (null makes a new one); the new one takes the theme's style.
    void setCrosshair(const Ref<LChartCrosshair>& crosshair);

private:
    void initialiseChart();
    // A reload read and swapped in on the main thread, with its notifications.
    void loadOnMainThread();
    // Queues a reload: read on the loading queue when `readInBackground`, else wholly on the
    // main thread once the loads queued before it have finished.
    void queueLoad(bool readInBackground);
    // What a load reads of the chart, taken on the main thread: a load on the loading queue then
    // works on these copies and never on the axes and theme the main thread draws and animates.
    struct LoadSnapshot {
        bool hasCanvas { false };
        std::vector<Ref<LChartAxis>> xAxes;
        std::vector<Ref<LChartAxis>> yAxes;
        // A stub copy of every axis, by axis key.
        std::map<std::string, Ref<LChartAxis>> stubs;
        Ref<LChartTheme> theme;
    };
    LoadSnapshot makeLoadSnapshot() const;
    std::vector<LChartNewSeriesEntry> loadEntriesFromSnapshot(const LoadSnapshot& snapshot);
    // The axis a series belongs to among the given axis lists (see
    // axisWithOrientationForSeriesWithIndex).
    LChartAxis* axisForSeriesAmongAxes(int32_t orientation, int32_t seriesIndex,
        const std::vector<Ref<LChartAxis>>& xAxes, const std::vector<Ref<LChartAxis>>& yAxes) const;
    void takeAxis(const Ref<LChartAxis>& axis, int32_t orientation);
    void replaceAxisWithAxisInArray(
        const Ref<LChartAxis>& old, const Ref<LChartAxis>& axis, std::vector<Ref<LChartAxis>>& axes);
    void removeAxisFrom(const Ref<LChartAxis>& axis, std::vector<Ref<LChartAxis>>& axes);
    // Radial charts refuse (logging with the verb); others hand the change to the series.
    void announceChangeToSeriesAtIndex(
        int32_t seriesIndex, const char* verb, const std::function<void(LChartSeries&)>& change);

    std::vector<Ref<LChartAxis>> m_xAxes;
    std::vector<Ref<LChartAxis>> m_yAxes;
    std::vector<Ref<LChartSeriesGroup>> m_seriesGroups;
    std::vector<Ref<LChartSeries>> m_series;
    std::atomic<bool> m_shouldReloadData { true };
    bool m_loadDataInBackground { false };
    LChartDelegate* m_chartDelegate { nullptr };
    Ref<UIView> m_loadingIndicator;
    DispatchQueueRef m_loadingDataQueue;
    mutable std::mutex m_queueSizeLock;
    int32_t m_loadingQueueSize { 0 };
    bool m_isRadial { false };
    // Written and read only by the load running on the loading queue; its swap-in on the main
    // thread hands it over to m_isRadial.
    bool m_loadingIsRadial { false };
    bool m_autoCalculateAxisRanges { true };
    LChartDatasource* m_datasource { nullptr };
    Ref<LChartCanvas> m_canvas;
    Ref<LChartTheme> m_theme;
    Ref<LChartTitle> m_titleLabel;
    bool m_overlapChartTitle { false };
    int32_t m_titleCentresOn { 0 };
    int32_t m_titlePosition { 0 };
    float m_borderThickness { 0 };

    LChartAxis* firstAxisIn(const std::vector<Ref<LChartAxis>>& axes, char orientation) const;
    // The chart style's background gradient, drawn under everything while the theme has one.
    void rebuildGradientView();
    Ref<UIView> m_gradientView;
    Ref<UIColor> m_plotAreaBackgroundColor;
    Ref<UIColor> m_borderColor;
    bool m_rotatesOnDeviceRotation { true };
    bool m_animateBoxGesture { true };
    bool m_animateZoomGesture { true };
    bool m_gestureDoubleTapEnabled { true };
    bool m_gestureDoubleTapResetsZoom { false };
    bool m_radialTapEnabled { true };
    bool m_radialRotationEnabled { true };
    bool m_gesturePanCancelsCrosshair { false };
    bool m_pinchOrPanInProgress { false };
    Ref<LChartLegend> m_legend;
    std::vector<Ref<LChartAnnotation>> m_annotations;
    // The crosshair: kept on the canvas' bounds by the layout pass, told of reloads.
    void layoutCrosshair();
    void crosshairChartDidReload();
    Ref<LChartCrosshair> m_crosshair;
};
