#pragma once

#include "mapkit/MKAnnotationView.h"

#include <functional>

class KESTPlane;
class KESTPlaneLabelView;

// The map view of one live plane: a 35-point transparent square that draws the plane's
// pre-rendered marker image and, when labels are due, a label subview hanging below it with the
// registration, flight number, callsign or airline logo the label setting asks for. The map
// screen reuses these views between planes. Main thread only.
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

    // Whether the shown map is zoomed in far enough (or shows few enough planes) for labels.
    // The map screen installs the answer; without one labels are due.
    using ZoomThresholdQuery = std::function<bool()>;
    static void setZoomThresholdQuery(ZoomThresholdQuery query);

private:
    void updateLabel(const Ref<KESTPlane>& plane);

    bool m_showLabel { true };
    Ref<KESTPlaneLabelView> m_labelView;
};
