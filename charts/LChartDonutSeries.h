#pragma once

#include "charts/LChartDrawer.h"
#include "charts/LChartSeries.h"

#include <vector>

class LChartDonutSeriesStyle;

// A ring of slices, one per point, each sweeping its share of the total of the values. The
// canvas gives it its radii; it hands its slices to the drawing surface once per frame and then
// only moves them (protrusion and angle) without rebuilding. A negative value is reported and
// drawn with no sweep; with a total of 0 no slice is drawn. Main thread only.
class LChartDonutSeries : public LChartSeries {
    VX_OBJECT(LChartDonutSeries, LChartSeries)
public:
    explicit LChartDonutSeries(Passkey);
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

    // The slice's end angle from its start `s`; writes the slice's span relative to the rotation
    // into its point's coordinates.
    float sliceEndAngle(size_t index, float start, double total);
    // How far slice `index` stands out, in points.
    float datapointProtrusion(size_t index) const;

    void drawWithDrawer(LChartDrawer& drawer);
    void updateWithDrawer(LChartDrawer& drawer);

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
};
