#pragma once

#include "mapkit/MKAnnotationView.h"

#include <functional>

class KESTPlane;
class KESTPlaneLabelView;

// The map view of one live plane: a 35-point transparent square that draws the plane's
// pre-rendered marker image and, when labels are due, a label subview hanging below it with the
// registration, flight number, callsign or airline logo the label setting asks for. The map
// screen reuses these views between planes.
//
// Markers stack in three tiers through their layer's zPosition: a marker without a label stays
// with the other kinds of marker at the bottom; a labelled marker lies above those, the ones
// higher on the screen in front of the ones lower down, so that each label, hanging below its
// marker, covers the markers beneath it instead of being covered by them; the selected plane,
// with its label, lies on top. Main thread only.
class KESTPlaneAnnotationView : public MKAnnotationView {
    VX_OBJECT(KESTPlaneAnnotationView, MKAnnotationView)
public:
    explicit KESTPlaneAnnotationView(Passkey key)
        : MKAnnotationView(key)
    {
    }
    // Frame (0, 0, 35, 35), clear background, no clipping, label allowed.
    static Ref<KESTPlaneAnnotationView> initWithAnnotation(
        const Ref<MKAnnotation>& annotation, std::optional<std::string> reuseIdentifier);

    // Allows the label again and drops the label view.
    void reset();
    void prepareForReuse() override;
    void removeLabel();
    // The map's setter, then a redraw.
    void setAnnotation(const Ref<MKAnnotation>& annotation);
    // The annotation's plane, or nullptr.
    Ref<KESTPlane> plane() const;

    bool showLabel() const { return m_showLabel; }
    // Takes effect at the next redraw.
    void setShowLabel(bool show) { m_showLabel = show; }
    const Ref<KESTPlaneLabelView>& labelView() const { return m_labelView; }
    void setLabelView(Ref<KESTPlaneLabelView> view) { m_labelView = std::move(view); }

    void drawRect(CGRect rect) override;
    // The map's setter, then the tier of a selected or unselected marker.
    void setSelected(bool selected) override;
    // Moves the marker and keeps its place among the labelled markers.
    void setCenter(CGPoint center) override;

    // Whether the shown map is zoomed in far enough (or shows few enough planes) for labels.
    // The map screen installs the answer; without one labels are due.
    using ZoomThresholdQuery = std::function<bool()>;
    static void setZoomThresholdQuery(ZoomThresholdQuery query);

private:
    void updateLabel(const Ref<KESTPlane>& plane);
    // Sets the layer's zPosition for the marker's tier and its place on the screen.
    void updateStacking();

    bool m_showLabel { true };
    Ref<KESTPlaneLabelView> m_labelView;
};
