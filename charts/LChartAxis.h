#pragma once

#include "charts/LChartAxisHost.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "graphics/CGGeometry.h"

#include <optional>
#include <vector>

class LChartAxisStyle;
class LChartRange;
class LChartInternalDataPoint;
class LChartTickLabelFormatter;
class LChartTitle;
class LChartSkipList;
class LChartTickMark;
class UILabel;
class UIView;

// The base of every axis of a cartesian chart. It keeps the axis's ranges in internal units
// (visible, default, data, maximum and drawing-coordinate extent), the rules that keep the
// visible range inside its limits, the range animation, and the mapping between values,
// drawing coordinates and pixels. Subclasses supply the value transforms and range class; the
// operations only a subclass can answer end the process when called on a plain axis.
//
// Main thread only, except the point mapping, which the data loader may run on its queue
// against a stub copy (stubCopyOfAxisForDataLoading). The chart is held unretained.
class LChartAxis : public NSObject {
    VX_OBJECT(LChartAxis, NSObject)
public:
    explicit LChartAxis(Passkey key);
    ~LChartAxis() override;

    // Ranges 0..1, drawing extent 0..0, width 30 (not user set), zoom 1.
    static Ref<LChartAxis> init();

    // "<class> at <address>, axisRange = <r>, defaultRange = <r>, maxRange = <r>".
    std::string description() const override;
    [[noreturn]] void assertIsGenericAxis() const;

    // Identity and geometry.
    LChartAxisHost* chart() const { return m_chart; }
    // Re-applies a stored width against the new chart, keeping userSetWidth.
    void setChart(LChartAxisHost* chart);
    int32_t axisOrientation() const { return m_axisOrientation; }
    void setAxisOrientation(int32_t orientation) { m_axisOrientation = orientation; }
    bool isXAxis() const { return m_axisOrientation == 0; }
    int32_t axisPosition() const { return m_axisPosition; }
    void setAxisPosition(int32_t position) { m_axisPosition = position; }
    CGRect axisFrame() const { return m_axisFrame; }
    void setAxisFrame(CGRect frame) { m_axisFrame = frame; }
    const std::string& axisKey() const { return m_axisKey; }
    void setAxisKey(const std::string& key) { m_axisKey = key; }
    // The axis title. Made on first use, so stub copies made on the loading queue never create
    // views.
    const Ref<LChartTitle>& titleLabel();
    std::string title();
    void setTitle(const std::string& title);
    const Ref<LChartAxisStyle>& style() const { return m_style; }
    void setStyle(const Ref<LChartAxisStyle>& style) { m_style = style; }

    // Width across the axis (points). Nil or ≤ 0 falls back to the space the axis needs; wider
    // than half the chart falls back to that half (logged). NaN, infinite or below the line
    // width is fatal.
    const Value& width() const { return m_width; }
    void setWidth(const Value& width);
    bool userSetWidth() const { return m_userSetWidth; }
    bool axisWidthIsSufficient() const { return m_axisWidthIsSufficient; }
    // Line width + the longer of the shown ticks with their gaps + the largest label across the
    // axis. With a user-set width it answers that width and records whether the sum fits.
    virtual float spaceRequiredToDrawWithTitle(bool withTitle);
    float largestLabelWidth() const { return m_largestLabelWidth; }
    float largestLabelHeight() const { return m_largestLabelHeight; }

    // Series links.
    void linkSeries(const Ref<LChartAxisSeries>& series);
    bool isLinkedToSeries(const Ref<LChartAxisSeries>& series) const;
    void unlinkAllSeries() { m_seriesOnAxis.clear(); }
    const std::vector<Ref<LChartAxisSeries>>& ownedSeries() const { return m_seriesOnAxis; }

    // Value transforms (identity here) and the range class of the subclass.
    virtual Value transformValueToInternal(const Value& value) const { return value; }
    virtual Value transformValueToExternal(const Value& value) const { return value; }
    virtual Ref<LChartRange> getNewRangeWithMinimumWithMaximum(const Value& minimum, const Value& maximum) const;
    virtual Value doubleToData(double value) const { return Value(value); }
    Ref<LChartRange> transformRangeToInternal(const Ref<LChartRange>& range) const;
    virtual Ref<LChartRange> transformRangeToExternal(const Ref<LChartRange>& range) const;

    // Ranges.
    Ref<LChartRange> axisRange() const { return transformRangeToExternal(m_axisRangeInternal); }
    const Ref<LChartRange>& axisRangeInternal() const { return m_axisRangeInternal; }
    void setAxisRangeInternal(const Ref<LChartRange>& range) { m_axisRangeInternal = range; }
    Ref<LChartRange> defaultRange() const { return transformRangeToExternal(m_defaultRangeInternal); }
    const Ref<LChartRange>& defaultRangeInternal() const { return m_defaultRangeInternal; }
    // Nil clears the default range (and the user flag) and nothing else.
    void setDefaultRange(const Ref<LChartRange>& range);
    void setDefaultRangeInternal(const Ref<LChartRange>& range);
    void setDefaultRangeInternalAsIfUserSet(const Ref<LChartRange>& range, bool userSet);
    bool defaultRangeSet() const { return m_defaultRangeSet; }
    Ref<LChartRange> dataRange() { return transformRangeToExternal(dataRangeInternal()); }
    void setDataRange(const Ref<LChartRange>& range) { setDataRangeInternal(transformRangeToInternal(range)); }
    // A range with minimum not below maximum is widened by 0.5 on each side.
    void setDataRangeInternal(const Ref<LChartRange>& range);
    const Ref<LChartRange>& dataRangeInternal();
    bool dataRangeValid() const { return m_dataRangeValid; }
    void refreshDataRange();
    void updateDefaultRange();
    void updateMaxRange();
    virtual void updateRanges();
    const Ref<LChartRange>& maxRange() const { return m_maxRange; }
    // The range the chart's series groups on this axis cover; null without linked series.
    Ref<LChartRange> visibleRangeInternal() const;
    Ref<LChartRange> visibleRange() const;
    Ref<LChartRange> chartRangeFromGlRange() const;
    virtual Ref<LChartRange> rangeFromRangeWithUserPadding(const Ref<LChartRange>& range) const;
    double zoom() const { return m_zoom; }
    void setZoomValue(double zoom) { m_zoom = zoom; }
    double initialZoom() const { return m_initialZoom; }
    void updateZoom();

    // Sets the visible range (internal units). Non-numbers and non-finite bounds are fatal; a
    // span ≤ 0 is logged and ignored (NO). The range is clamped to the limits (widened by a
    // quarter span each side when bouncing), and animated over 0.95 s when asked and enabled.
    // YES when the range (or the animation's target) differs from the one before.
    virtual bool setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
        const Value& minimum, const Value& maximum, bool animate, bool bounceLimits);
    bool setRangeInternalWithMinimumAndMaximumWithAnimation(const Value& minimum, const Value& maximum, bool animate)
    {
        return setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(minimum, maximum, animate, true);
    }
    bool setRangeInternalWithMinimumAndMaximum(const Value& minimum, const Value& maximum)
    {
        return setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(minimum, maximum, false, true);
    }
    virtual bool setRangeWithMinimumAndMaximumWithAnimationUsingBounceLimits(
        const Value& minimum, const Value& maximum, bool animate, bool bounceLimits);
    bool setRangeWithMinimumAndMaximum(const Value& minimum, const Value& maximum)
    {
        return setRangeWithMinimumAndMaximumWithAnimationUsingBounceLimits(minimum, maximum, false, true);
    }
    // Sets the current range again, animated and without bounce, to pull it inside its limits.
    bool recheckAxisRange();
    void adjustRangesIfDataIsOutsideOfAllowedPanningLimits();
    bool ensureValueIsVisibleAndRedraw(double value, bool redraw);
    bool ensureValueIsVisible(double value) { return ensureValueIsVisibleAndRedraw(value, false); }
    bool valueIsVisibleOnSeries(double value, const LChartAxisSeries* series) const;

    // Paddings added to automatic default ranges (numbers; anything else is refused).
    const Value& rangePaddingLow() const { return m_rangePaddingLow; }
    void setRangePaddingLow(const Value& padding);
    const Value& rangePaddingHigh() const { return m_rangePaddingHigh; }
    void setRangePaddingHigh(const Value& padding);
    virtual bool rangePaddingValueIsValid(const Value& padding) const;

    // Limits.
    bool allowPanningOutOfMaxRange() const { return m_allowPanningOutOfMaxRange; }
    void setAllowPanningOutOfMaxRange(bool allow);
    bool allowPanningOutOfDefaultRange() const { return m_allowPanningOutOfDefaultRange; }
    void setAllowPanningOutOfDefaultRange(bool allow);
    // The limits in force (the default range wins over the maximum range); NO and 0, 0 when
    // panning is allowed out of both.
    bool getAxisLimitsWithMinAndMax(double* min, double* max) const;
    bool beyondAxisLimits() const;
    bool beyondAxisLimitsOnBothSides() const;
    bool beyondAxisMinLimit() const;

    // Range animation.
    bool animationEdgeBouncing() const { return m_animationEdgeBouncing; }
    void setAnimationEdgeBouncing(bool bouncing) { m_animationEdgeBouncing = bouncing; }
    bool animationEnabled() const { return m_animationEnabled; }
    void setAnimationEnabled(bool enabled) { m_animationEnabled = enabled; }
    bool animateRangeAdjustments() const { return m_animateRangeAdjustments; }
    void setAnimateRangeAdjustments(bool animate) { m_animateRangeAdjustments = animate; }
    bool animatingRange() const { return m_animatingRange; }
    // Cancels every pending delayed perform aimed at this axis.
    void stopAnimations();
    void animateRangeChange();

    // Drawing-coordinate extent.
    const Ref<LChartRange>& glRange() const { return m_glRange; }
    void clearGlRange() { m_glMinSet = m_glMaxSet = false; }
    void updateGlRange() { fixGLRangeWithMinMax(m_glMin, m_glMax); }
    void fixGLRangeWithMinMax(float min, float max);
    float glMin() const { return m_glMin; }
    void setGlMin(float value) { m_glMin = value; }
    float glMax() const { return m_glMax; }
    void setGlMax(float value) { m_glMax = value; }

    // Value mapping.
    float pixelValueForDataValue(const Value& value) const;
    Value dataValueForPixelValue(float pixel) const;
    double mapPixelValueForDataValueUsingSeries(double value, const LChartAxisSeries* series) const;
    double mapDataValueForPixelValue(double pixel) const;
    double scaleDataValueForPixelValue(double pixels) const;
    Value dataValueFromCoord(double coord) const;
    Value offsetForSeries(const LChartAxisSeries& series) const;
    void mapCoordinatesForDataPointInSeries(LChartInternalDataPoint& point, const LChartAxisSeries& series);
    void mapCoordinatesForBarColumnChartDataPointInSeries(LChartInternalDataPoint& point, LChartAxisSeries& series);
    void recalculateBarColumns(const std::vector<Ref<LChartAxisSeries>>& series);
    void configureBarColumnsWithMinWithMax(double spacing, const Value& min, const Value& max);
    double barColSpacing() const { return m_barColSpacing; }
    void setBarColSpacing(double spacing) { m_barColSpacing = spacing; }
    const Value& barColMin() const { return m_barColMin; }
    const Value& barColMax() const { return m_barColMax; }
    bool recalculateBarColumnsRequired() const { return m_recalculateBarColumnsRequired; }
    void setRecalculateBarColumnsRequired(bool required) { m_recalculateBarColumnsRequired = required; }
    bool barColumnsConfigured() const { return m_barColumnsConfigured; }

    // Loading.
    void initialiseAxisIfNeededFromChartSeries(const std::vector<Ref<LChartAxisSeries>>& series);
    // A copy of the receiver's class carrying what point mapping needs; never touches views.
    virtual Ref<LChartAxis> stubCopyOfAxisForDataLoading() const;
    virtual void reconfigureFromStubbedAxisCopy(const LChartAxis& copy);
    virtual void sortDataIfRequired(std::vector<Ref<LChartInternalDataPoint>>& points) const;
    virtual void willAddDataPointToSeriesWithValue(const Value&) { }
    virtual void configureWithDataMinAndDataMax(const Value&, const Value&) { }
    // The value (seconds since 1970 for a date) lies in a skip of the skip list.
    virtual bool isSkippedData(const Value& value) const;

    // Zoom, pan and momentum. Zoom is the default span divided by the visible span; a fixed
    // point keeps its relative place. Momentum runs are delayed performs on the main run loop
    // timed by the media clock; cancelGestures stops them and any pending animation step.
    virtual bool setZoomFromPositionWithAnimationAndBounceLimits(
        double zoom, const double* position, bool animate, bool bounceLimits);
    bool setZoomFromPositionWithAnimation(double zoom, const double* position, bool animate)
    {
        return setZoomFromPositionWithAnimationAndBounceLimits(zoom, position, animate, false);
    }
    bool setZoomFromPosition(double zoom, const double* position)
    {
        return setZoomFromPositionWithAnimationAndBounceLimits(zoom, position, false, false);
    }
    bool setZoomWithAnimation(double zoom, bool animate)
    {
        return setZoomFromPositionWithAnimationAndBounceLimits(zoom, nullptr, animate, false);
    }
    bool setZoom(double zoom) { return setZoomFromPositionWithAnimationAndBounceLimits(zoom, nullptr, false, false); }
    // 0 reset, 1 zoom in by 2, 2 zoom out by 2; other levels change nothing.
    bool setZoomLevel(int32_t level);
    bool resetZoomLevelWithAnimation(bool animate);
    bool resetZoomLevel();
    void zoomToPointWithRangeWithAnimationUsingBounceLimits(
        double centre, double span, bool animate, bool bounceLimits);
    void zoomToPointWithRange(double centre, double span)
    {
        zoomToPointWithRangeWithAnimationUsingBounceLimits(centre, span, true, true);
    }
    bool panByValueWithAnimationWithBounceLimitsAndRedraw(
        double distance, bool animate, bool bounceLimits, bool redraw);
    bool panByValue(double distance)
    {
        return panByValueWithAnimationWithBounceLimitsAndRedraw(distance, false, false, false);
    }
    // 0 data minimum, 1 data maximum, 2 centre of the data (others as 0).
    bool panToWithAnimation(int32_t target, bool animate);
    bool panTo(int32_t target) { return panToWithAnimation(target, false); }
    bool zoomWithMomentumFromPosition(double factor, double position);
    bool zoomWithMomentum();
    bool panWithMomentumStartingAt(double velocity);
    bool panWithMomentum();
    void stopMomentumZooming();
    void stopMomentumPanning();
    void cancelGestures();
    static float momentumModifierForVelocityWithInitialVelocity(float velocity, float initialVelocity);

    bool enableGestureZooming() const { return m_enableGestureZooming; }
    void setEnableGestureZooming(bool enable) { m_enableGestureZooming = enable; }
    bool enableGesturePanning() const { return m_enableGesturePanning; }
    void setEnableGesturePanning(bool enable);
    bool enableMomentumZooming() const { return m_enableMomentumZooming; }
    void setEnableMomentumZooming(bool enable) { m_enableMomentumZooming = enable; }
    bool enableMomentumPanning() const { return m_enableMomentumPanning; }
    void setEnableMomentumPanning(bool enable) { m_enableMomentumPanning = enable; }
    bool isMomentumZooming() const { return m_isMomentumZooming; }
    bool isMomentumPanning() const { return m_isMomentumPanning; }
    double panMomentumCurrent() const { return m_panMomentumCurrent; }
    // Factors clamp to 0.01..0.9 and delays to 0.0001..0.1 (the defaults lie outside).
    double zoomMomentumFactor() const { return m_zoomMomentumFactor; }
    void setZoomMomentumFactor(double factor);
    double panMomentumFactor() const { return m_panMomentumFactor; }
    void setPanMomentumFactor(double factor);
    double zoomMomentumDelay() const { return m_zoomMomentumDelay; }
    void setZoomMomentumDelay(double delay);
    double panMomentumDelay() const { return m_panMomentumDelay; }
    void setPanMomentumDelay(double delay);

    // Ticks and labels (the parts subclasses use to choose frequencies and first ticks).
    const Value& majorTickFrequency() const { return m_majorTickFrequency; }
    virtual void setMajorTickFrequency(const Value& frequency) { m_majorTickFrequency = frequency; }
    const Value& minorTickFrequency() const { return m_minorTickFrequency; }
    virtual void setMinorTickFrequency(const Value& frequency) { m_minorTickFrequency = frequency; }
    const Value& internalMajorTickFrequency() const { return m_internalMajorTickFrequency; }
    const Value& internalMinorTickFrequency() const { return m_internalMinorTickFrequency; }
    const Value& previousMajorTickFrequency() const { return m_previousMajorTickFrequency; }
    void setPreviousMajorTickFrequency(const Value& frequency) { m_previousMajorTickFrequency = frequency; }
    const Value& anchorPoint() const { return m_anchorPoint; }
    // Nil, a number or a date; anything else is fatal.
    virtual void setAnchorPoint(const Value& anchor);
    CGPoint labelSizeScalers() const { return m_labelSizeScalers; }
    void setLabelSizeScalers(CGPoint scalers) { m_labelSizeScalers = scalers; }
    const Ref<LChartTickLabelFormatter>& labelFormatter() const { return m_labelFormatter; }
    void setLabelFormatter(const Ref<LChartTickLabelFormatter>& formatter) { m_labelFormatter = formatter; }
    // The chart delegate's longest label for this axis, or nil.
    virtual Value longestLabel();
    // Measures longestLabel in the major label font and records the largest label extent for
    // the label orientation; answers the unrotated size.
    CGSize sizeTickLabels();
    // Whether n labels fit along the axis (n < 0 never fits).
    bool spaceForLabelsWithLabelSizeScalers(int32_t n, CGPoint scalers);
    double getPixelforTick(double value) const;
    bool firstTickInsideChart(double value) const;
    // The label formatter's text for the value, or nil.
    Value appropriateFormat(const Value& value) const;
    // Subclass operations (fatal on a plain axis).
    virtual void updateInternalTickFrequencies(CGSize* labelSize);
    virtual Value firstMajorTick();
    virtual Value firstMinorTick();
    virtual bool isOverAlternate(double value) const;
    virtual bool zoomingIn(const Value& previousFrequency) const;
    virtual double incrementTickMarkValueIsMajor(double value, bool major) const;
    virtual double decrementTickMarkValueIsMajor(double value, bool major) const;
    virtual std::string stringForValue(double value);
    virtual std::string stringForId(const Value& value);

    // Tick generation and the views that show ticks, labels, gridlines, stripes and the axis
    // line. Tick marks persist between passes: a pass reuses the tick at the same index while
    // its value is unchanged, inserts new ones and removes stale ones, so panning does not
    // rebuild labels. The drawer argument is not read (ticks are views, not GL geometry).
    const std::vector<Ref<LChartTickMark>>& tickMarks() const { return m_tickMarks; }
    // YES for 1 to 255 tick marks (the count narrowed to one byte).
    bool hasTicks() const { return static_cast<uint8_t>(m_tickMarks.size()) != 0; }
    void drawTickMarksWithGLFrameUsingAxisDrawerNeedToRedrawLabels(CGRect glFrame, LChartDrawer* drawer, bool redraw);
    void drawAxisWithGLFrameUsingAxisDrawer(CGRect glFrame, LChartDrawer* drawer);
    void generateTickMarks(bool redrawLabels);
    // The data source's tick values in internal units, or nil for automatic ticks.
    virtual std::optional<std::vector<double>> manualGenerateTickMarks();
    void autoGenerateTickMarks(bool redrawLabels);
    void addOrReplaceTickMarkForValue(double value, bool isMajor, bool isAlternate, bool autoCalc,
        bool shouldUpdateText, CGRect labelFrame, bool showLabel, int32_t showLabelFrequency, int32_t tickIndex,
        int32_t* numberOfGhosts);
    Ref<LChartTickMark> createTickMarkWithFrame(CGRect labelFrame, const Ref<LChartTickMark>& existing, double value,
        bool asMajor, bool shouldCreateLabel, bool isOverAlternateStripe, bool shouldUpdateText);
    double getBaselineOffsetForSeries(const Ref<LChartAxisSeries>& series) const;
    void updateTickMarkView(
        LChartTickMark& tick, double yChange, double tickYOffset, double xChange, double tickXOffset);
    void updateGridLineViewForTickMark(LChartTickMark& tick, CGRect glFrame);
    void updateGridStripeLimits(
        int32_t index, CGPoint* lowerTick, CGRect glFrame, const LChartTickMark& tick, CGPoint* upperTick) const;
    void updateGridStripeView(CGPoint lowerTick, CGPoint upperTick, CGRect glFrame, LChartTickMark& tick);
    // Hides one of each pair of overlapping labels (discontinuous axes).
    void removeOverlappingTickmarks();
    // Which of the first n ticks carries a label so that the anchor value is labelled.
    virtual int32_t indexOfFirstLabel(int32_t n);
    CGSize sizeCustomTickLabels(const std::vector<double>& values);
    void rotateLabel(UILabel& label) const;
    void restyleTickLabels();
    void alterTickMark(LChartTickMark& tick);
    void configureTitle();
    // Takes every view the axis made out of its superview.
    void removeViews();
    const Ref<UIView>& axisLineView() const { return m_axisLineView; }
    static void resetTickLabelWarningForTesting();

    int32_t tickLabelClippingModeHigh() const { return m_tickLabelClippingModeHigh; }
    void setTickLabelClippingModeHigh(int32_t mode) { m_tickLabelClippingModeHigh = mode; }
    int32_t tickLabelClippingModeLow() const { return m_tickLabelClippingModeLow; }
    void setTickLabelClippingModeLow(int32_t mode) { m_tickLabelClippingModeLow = mode; }
    int32_t discontinuousTickLabelClipping() const { return m_discontinuousTickLabelClipping; }
    void setDiscontinuousTickLabelClipping(int32_t mode) { m_discontinuousTickLabelClipping = mode; }
    bool axisLabelsAreFixed() const { return m_axisLabelsAreFixed; }
    void setAxisLabelsAreFixed(bool fixed) { m_axisLabelsAreFixed = fixed; }
    float secondaryAxisOffset() const { return m_secondaryAxisOffset; }
    void setSecondaryAxisOffset(float offset) { m_secondaryAxisOffset = offset; }
    bool needToSortTickMarks() const { return m_needToSortTickMarks; }
    CGSize lastTickLabelSize() const { return m_lastTickLabelSize; }
    double lastTickFreq() const { return m_lastTickFreq; }

    // Skips: left-out stretches of a discontinuous axis.
    const Ref<LChartSkipList>& skipList() const { return m_skipList; }
    // Whether automatic date frequencies count the visible span without its skipped time.
    bool calculateMajorTickFrequencyFromDiscontinuousRange() const
    {
        return m_calculateMajorTickFrequencyFromDiscontinuousRange;
    }
    void setCalculateMajorTickFrequencyFromDiscontinuousRange(bool calculate)
    {
        m_calculateMajorTickFrequencyFromDiscontinuousRange = calculate;
    }
    void addSkipFromTo(double start, double end);
    void clearSkips();
    // Real value → compressed (the left-out range below it subtracted); nil for nil.
    Value transformValueFromDiscontinous(const Value& value) const;
    // Compressed → real: every skip the value passes adds its length.
    Value transformValueToDiscontinous(const Value& value) const;

    // Date axes count their internal values from a reference date, set once from the first
    // value that reaches them (see LChartDataLoader); other axes have none.
    virtual bool usesReferenceDate() const { return false; }
    virtual bool refDateInitialised() const { return true; }
    virtual void setRefDate(double) { }

    // Other queries.
    virtual double defaultBaseline() const { return 0.0; }
    virtual bool allowsStacking() { return true; }
    virtual bool allowsInterpolation() const { return true; }
    const Value& axisPositionValue() const { return m_axisPositionValue; }
    void setAxisPositionValue(const Value& value) { m_axisPositionValue = value; }
    Value axisPositionValueInternal() const;

protected:
    // Creates a new axis of this object's class; stub copies start from it.
    virtual Ref<LChartAxis> makeEmptyAxis() const;
    // Copies the fields a stub copy carries.
    void copyStubFieldsInto(LChartAxis& copy) const;
    void initialise();
    double now() const;
    void applyLimits(double& min, double& max, bool bounceLimits) const;
    // The measure of a tick frequency: a number's value, a date frequency's seconds, else 1.
    static double frequencyMeasure(const Value& frequency);
    // Records the largest label extents of an unrotated label size for the label orientation.
    void setLargestLabelExtentsForSize(CGSize size);
    int32_t tickLabelOrientation() const;

    LChartAxisHost* m_chart { nullptr };
    Value m_rangePaddingLow;
    Value m_rangePaddingHigh;
    Ref<LChartAxisStyle> m_style;
    Value m_width;
    std::vector<Ref<LChartAxisSeries>> m_seriesOnAxis;
    Ref<LChartRange> m_maxRange;
    Ref<LChartRange> m_glRange;
    bool m_glMinSet { false };
    bool m_glMaxSet { false };
    bool m_defaultRangeSet { false };
    bool m_dataRangeValid { false };
    bool m_allowPanningOutOfMaxRange { false };
    bool m_allowPanningOutOfDefaultRange { true };
    bool m_animatingRange { false };
    bool m_animationEdgeBouncing { true };
    bool m_animationEnabled { true };
    double m_animationStart[2] { 0, 0 };
    double m_animationTarget[2] { 0, 0 };
    double m_animationStartTime { 0 };
    double m_zoom { 1.0 };
    double m_initialZoom { 1.0 };
    CGRect m_axisFrame {};
    int32_t m_axisOrientation { 0 };
    float m_largestLabelWidth { 0 };
    float m_largestLabelHeight { 0 };
    bool m_axisWidthIsSufficient { false };
    bool m_userSetWidth { false };
    bool m_recalculateBarColumnsRequired { true };
    bool m_barColumnsConfigured { false };
    bool m_animateRangeAdjustments { true };
    int32_t m_axisPosition { 0 };
    Value m_axisPositionValue;
    Value m_barColMin;
    Value m_barColMax;
    std::string m_axisKey;
    double m_barColSpacing { 0 };
    Ref<LChartRange> m_axisRangeInternal;
    Ref<LChartRange> m_defaultRangeInternal;
    Ref<LChartRange> m_dataRangeInternal;
    float m_glMin { 0 };
    float m_glMax { 0 };
    Value m_majorTickFrequency;
    Value m_minorTickFrequency;
    Value m_internalMajorTickFrequency;
    Value m_internalMinorTickFrequency;
    Value m_previousMajorTickFrequency;
    Value m_anchorPoint;
    CGPoint m_labelSizeScalers {};
    Ref<LChartTickLabelFormatter> m_labelFormatter;
    Ref<LChartTitle> m_titleLabel;
    Ref<LChartSkipList> m_skipList;
    std::vector<Ref<LChartTickMark>> m_tickMarks;
    bool m_calculateMajorTickFrequencyFromDiscontinuousRange { false };
    CGSize m_lastTickLabelSize {};
    double m_lastTickFreq { 0 };
    bool m_needToSortTickMarks { false };
    int32_t m_tickLabelClippingModeHigh { 0 };
    int32_t m_tickLabelClippingModeLow { 0 };
    int32_t m_discontinuousTickLabelClipping { 0 };
    bool m_axisLabelsAreFixed { false };
    float m_secondaryAxisOffset { 0 };
    Ref<UIView> m_axisLineView;
    bool m_enableGestureZooming { false };
    bool m_enableGesturePanning { false };
    bool m_enableMomentumZooming { false };
    bool m_enableMomentumPanning { false };
    bool m_isMomentumZooming { false };
    bool m_isMomentumPanning { false };
    double m_lastMomentumPanFrame { 0 };
    double m_lastMomentumZoomFrame { 0 };
    double m_momentumPanFrameAccum { 0 };
    int32_t m_numMomentumPanFrames { 0 };
    double m_panMomentumDelay { 0 };
    double m_panMomentumFactor { static_cast<double>(0.98f) };
    double m_zoomMomentumDelay { 0 };
    double m_zoomMomentumFactor { 0.75 };
    double m_zoomMomentumCurrent { 0 };
    double m_zoomMomentumCentre { 0 };
    double m_panMomentumCurrent { 0 };
    double m_panMomentumLimit { 0 };
};
