#pragma once

#include "charts/LChartDrawer.h"
#include "charts/LChartSeries.h"

#include <string>
#include <vector>

class LChartDonutSeries;
class LChartDonutSeriesStyle;
class UILabel;

// What a radial series asks of the canvas that draws it: the chart's delegate callbacks and a
// redraw after a selection. The canvas implements it and hands itself to each radial series
// every frame; the series holds it unretained.
class LChartRadialHost {
public:
    virtual ~LChartRadialHost() = default;
    // The series stopped spinning (friction, a tap, or a programmatic rotation).
    virtual void radialSeriesDidEndDecelerating(LChartDonutSeries&) { }
    // A tap toggled slice `index`; `tap` is in the GL view's coordinates.
    virtual void radialSeriesToggledSelection(LChartDonutSeries&, int32_t /*index*/, CGPoint /*tap*/) { }
    // The next frame's time step starts now and the chart redraws its plot area.
    virtual void radialSeriesNeedsRedraw() { }
};

// A ring of slices, one per point, each sweeping its share of the total of the values. The
// canvas gives it its radii; it hands its slices to the drawing surface once per frame and then
// only moves them (protrusion and angle) without rebuilding. A negative value is reported and
// drawn with no sweep; with a total of 0 no slice is drawn. Main thread only.
class LChartDonutSeries : public LChartSeries {
    VX_OBJECT(LChartDonutSeries, LChartSeries)
public:
    explicit LChartDonutSeries(Passkey);
    ~LChartDonutSeries() override;
    static Ref<LChartDonutSeries> init(std::shared_ptr<LChartErrorHandler> errorHandler = nullptr);

    bool isRadialSeries() const override { return true; }
    Ref<LChartDonutSeriesStyle> style() const;
    Ref<LChartDonutSeriesStyle> selectedStyle() const;
    Ref<LChartSeriesStyle> themeStyle(const LChartTheme& theme, int32_t index, bool selected) const override;
    // Fills what the user did not set on the series' styles from the theme's.
    void supplementStylesFromStyles(
        const Ref<LChartSeriesStyle>& normal, const Ref<LChartSeriesStyle>& selected) override;

    float innerRadius() const { return m_innerRadius; }
    void setInnerRadius(float radius);
    bool innerRadiusSet() const { return m_innerRadiusSet; }
    float outerRadius() const { return m_outerRadius; }
    void setOuterRadius(float radius);
    bool outerRadiusSet() const { return m_outerRadiusSet; }
    // The canvas's own radii for a series whose user set none: recomputed at every layout, so
    // they leave the radii marked as not set.
    void setLayoutRadii(float inner, float outer)
    {
        if (!m_innerRadiusSet)
            m_innerRadius = inner;
        if (!m_outerRadiusSet)
            m_outerRadius = outer;
    }
    float rotation() const { return m_rotation; }
    void setRotation(float rotation);
    int32_t drawDirection() const { return m_drawDirection; }
    void setDrawDirection(int32_t direction) { m_drawDirection = direction; }
    CGPoint donutCenter() const { return m_donutCenter; }
    // Per slice, how far it has moved towards its selected protrusion (0 to 1); rebuilt with one
    // entry per point, a missing entry reads as 0.
    const std::vector<float>& selectedStatus() const { return m_selectedStatus; }
    void resetSelectedStatus();
    void setSelectedStatusAtIndex(size_t index, float status);
    const Ref<LChartAnimation>& selectionAnimation() const { return m_selectionAnimation; }
    // Whether the entry or exit animation still runs (with animations enabled): the ring is
    // appearing or leaving, and takes no selection or protrusion step meanwhile.
    bool isEnteringOrLeaving() const;

    // The slice's end angle from its start `s`; writes the slice's span relative to the rotation
    // into its point's coordinates.
    float sliceEndAngle(size_t index, float start, double total);
    // How far slice `index` stands out, in points.
    float datapointProtrusion(size_t index) const;

    void drawWithDrawer(LChartDrawer& drawer);
    void updateWithDrawer(LChartDrawer& drawer);

    // Spinning and programmatic rotation. The canvas calls both steps once per frame with the
    // frame's time step; each answers whether it moved something (so another frame is due).
    LChartRadialHost* canvas() const { return m_canvas; }
    void setCanvas(LChartRadialHost* canvas) { m_canvas = canvas; }
    bool rotateWithStep(double seconds);
    // Moves selected slices out and deselected ones back in; YES while any slice is still on its
    // way, so frames keep coming until every slice has arrived.
    bool moveInOutWithStep(double seconds);
    float rotationVelocity() const { return m_rotationVelocity; }
    // Radians per second; a fling ends with it, a new rotation gesture sets it to 0.
    void setVelocity(float velocity) { m_rotationVelocity = velocity; }
    float rotationFriction() const { return m_rotationFriction; }
    // The share of the spin lost per frame; 0 or less is logged and refused.
    void setRotationFriction(float friction);
    // Turns the donut so that the middle of slice `index` lies at `angle`, over the animation
    // (a default one when null).
    void rotateSliceAtIndexToAngleWithAnimation(int32_t index, double angle, const Ref<LChartAnimation>& animation);
    // Finishes the running selection or rotation animation at once.
    void endAnimation();
    void sendDidEndDeceleratingCallback();
    const Ref<LChartAnimation>& programmaticPanUserAnimation() const { return m_programmaticPanUserAnimation; }

    // Selection. A tap selects or deselects one slice (the tap point is passed on to the
    // delegate); a newly selected slice turns to `selectedPosition` when one was given.
    void setSliceAsSelectedWithTapLocation(int32_t index, bool selected, CGPoint tap);
    void setSliceAsSelected(int32_t index, bool selected)
    {
        setSliceAsSelectedWithTapLocation(index, selected, { 0, 0 });
    }
    const Value& selectedPosition() const { return m_selectedPosition; }
    // Nil is ignored.
    void setSelectedPosition(const Value& angle);
    bool selectedPositionSet() const { return m_selectedPositionSet; }
    bool selectionEnabledDuringPanning() const { return m_selectionEnabledDuringPanning; }
    void setSelectionEnabledDuringPanning(bool enabled) { m_selectionEnabledDuringPanning = enabled; }
    bool gesturePanningEnabled() const { return m_gesturePanningEnabled; }
    void setGesturePanningEnabled(bool enabled) { m_gesturePanningEnabled = enabled; }
    float animationDuration() const { return m_animationDuration; }
    void setAnimationDuration(float duration);
    int32_t animationCurveType() const { return m_animationCurveType; }
    void setAnimationCurveType(int32_t type);

    // The slice whose span holds the absolute angle, or -1.
    int32_t indexOfSliceAtAngle(double angle) const;
    CGPoint getDonutCenter() const { return m_donutCenter; }

    // Slice labels: one per point, made by the data source when it offers them, else from
    // `labelFormatString` applied to the slice's value. The canvas places them.
    const std::string& labelFormatString() const { return m_labelFormatString; }
    void setLabelFormatString(std::string format) { m_labelFormatString = std::move(format); }
    const std::vector<Ref<UILabel>>& labels() const { return m_labels; }
    void createLabelsOnChart(LChartDatasource* datasource, LChartLoaderHost& chart);
    // Removes the labels from their superview and forgets them.
    void removeLabels();
    // Where slice `index`'s label belongs, in the GL view's coordinates: the middle of its ring
    // along the middle of its span, pushed out with it.
    CGPoint getSliceCenter(int32_t index) const;
    // Draws slice `index` of `total` as a ring segment into the current graphics context, in the
    // style's colours (the selected style when `selected`) with its shading effect; angles run
    // clockwise from the top. An index not below the number of points draws nothing.
    void drawSliceOfTotalFromAngleToAngleFromCentreWithInnerRadiusAndOuterRadiusAsSelectedInFrame(int32_t index,
        int32_t total, float startAngle, float endAngle, CGPoint centre, float innerRadius, float outerRadius,
        bool selected, CGRect frame);

protected:
    void initDonutSeries(std::shared_ptr<LChartErrorHandler> errorHandler);

private:
    // The total of the values, after taking the initial rotation on the first draw.
    double prepareFrame();
    Ref<LChartDonutSeriesStyle> styleOfSlice(size_t index) const;

    CGPoint m_donutCenter { 0, 0 };
    bool m_firstRender { true };
    bool m_innerRadiusSet { false };
    bool m_outerRadiusSet { false };
    float m_innerRadius { 0 };
    float m_outerRadius { 0 };
    float m_rotation { 0 };
    std::vector<float> m_selectedStatus;
    int32_t m_drawDirection { 0 };
    Ref<LChartAnimation> m_selectionAnimation;
    LChartRadialHost* m_canvas { nullptr };
    float m_selectionStartAngle { 0 };
    float m_selectionSpan { 0 };
    float m_rotationVelocity { 0 };
    float m_rotationFriction { 0.02f };
    Ref<LChartAnimation> m_programmaticPanUserAnimation;
    Value m_selectedPosition;
    bool m_selectedPositionSet { false };
    bool m_selectionEnabledDuringPanning { false };
    bool m_gesturePanningEnabled { false };
    float m_animationDuration { 0 };
    int32_t m_animationCurveType { 0 };
    std::string m_labelFormatString { "%.2f" };
    std::vector<Ref<UILabel>> m_labels;
    bool m_warnedOfDeprecatedLabels { false };
};
