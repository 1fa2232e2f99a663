#pragma once

#include "mapkit/MKAnnotation.h"
#include "uikit/UIView.h"

#include <optional>
#include <string>

class MKMapView;
class UIImage;

enum MKAnnotationViewDragState : uint32_t {
    MKAnnotationViewDragStateNone = 0,
    MKAnnotationViewDragStateStarting = 1,
    MKAnnotationViewDragStateDragging = 2,
    MKAnnotationViewDragStateCanceling = 3,
    MKAnnotationViewDragStateEnding = 4,
};

// Shows one annotation on a map: placed with its centre on the annotation's point, moved by
// centerOffset. Views are reused by identifier: the map keeps views that went off screen and
// hands them out again through dequeueReusableAnnotationViewWithIdentifier, after
// prepareForReuse. Subclasses may draw (drawRect) or show an image.
//
// A draggable view whose annotation is selected can be dragged with a finger: once the finger
// has moved a few points the drag state goes Starting, Dragging; the view follows the finger;
// lifting the finger sets the annotation's coordinate to the point under the view (when the
// annotation can move) and the state goes Ending, None; a cancelled touch goes Canceling, None
// and the view returns to its annotation. The map tells its delegate of every state change.
// Main thread only.
class MKAnnotationView : public UIView {
    VX_OBJECT(MKAnnotationView, UIView)
public:
    explicit MKAnnotationView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<MKAnnotationView> initWithAnnotation(
        const Ref<MKAnnotation>& annotation, std::optional<std::string> reuseIdentifier);

    const std::optional<std::string>& reuseIdentifier() const { return m_reuseIdentifier; }
    const Ref<MKAnnotation>& annotation() const { return m_annotation; }
    void setAnnotation(const Ref<MKAnnotation>& annotation) { m_annotation = annotation; }

    // Called before the view is handed out again; clears selection and the annotation.
    virtual void prepareForReuse();

    CGPoint centerOffset() const { return m_centerOffset; }
    void setCenterOffset(CGPoint offset);
    CGPoint calloutOffset() const { return m_calloutOffset; }
    void setCalloutOffset(CGPoint offset) { m_calloutOffset = offset; }
    const Ref<UIImage>& image() const { return m_image; }
    // Sizes the view to the image and shows it.
    void setImage(const Ref<UIImage>& image);

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted) { m_highlighted = highlighted; }
    bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected) { m_selected = selected; }
    void setSelectedAnimated(bool selected, bool) { setSelected(selected); }
    bool canShowCallout() const { return m_canShowCallout; }
    void setCanShowCallout(bool can) { m_canShowCallout = can; }
    bool isDraggable() const { return m_draggable; }
    void setDraggable(bool draggable) { m_draggable = draggable; }
    MKAnnotationViewDragState dragState() const { return m_dragState; }
    void setDragState(MKAnnotationViewDragState state) { setDragStateAnimated(state, false); }
    // Sets the state and tells the map. The base class then moves on by itself: Starting to
    // Dragging, Ending and Canceling to None. A subclass that overrides this without calling
    // the base must move those states on itself, or the drag never ends.
    virtual void setDragStateAnimated(MKAnnotationViewDragState state, bool animated);

    const Ref<UIView>& leftCalloutAccessoryView() const { return m_leftAccessory; }
    void setLeftCalloutAccessoryView(const Ref<UIView>& view) { m_leftAccessory = view; }
    const Ref<UIView>& rightCalloutAccessoryView() const { return m_rightAccessory; }
    void setRightCalloutAccessoryView(const Ref<UIView>& view) { m_rightAccessory = view; }

    // A tap selects the annotation on the map holding the view; a finger moving on a draggable,
    // selected view drags it.
    void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesCancelled(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    bool displayLayer(CALayer& layer) override;

    // Used by the map.
    void setReuseIdentifier(std::optional<std::string> identifier) { m_reuseIdentifier = std::move(identifier); }
    void setMapView(const Ref<MKMapView>& map) { m_map = map; }
    // Whether a touch on this view would drag it rather than move the map.
    bool canBeDragged() const;

protected:
    template <typename T>
    static Ref<T> makeAnnotationView(const Ref<MKAnnotation>& annotation, std::optional<std::string> reuseIdentifier)
    {
        auto view = makeView<T>(CGRectZero);
        view->m_annotation = annotation;
        view->m_reuseIdentifier = std::move(reuseIdentifier);
        return view;
    }

private:
    Ref<MKAnnotation> m_annotation;
    std::optional<std::string> m_reuseIdentifier;
    Weak<MKMapView> m_map;
    CGPoint m_centerOffset { 0, 0 };
    CGPoint m_calloutOffset { 0, 0 };
    Ref<UIImage> m_image;
    Ref<UIView> m_leftAccessory;
    Ref<UIView> m_rightAccessory;
    bool m_enabled { true };
    bool m_highlighted { false };
    bool m_selected { false };
    bool m_canShowCallout { false };
    bool m_draggable { false };
    MKAnnotationViewDragState m_dragState { MKAnnotationViewDragStateNone };
    // The finger that may drag the view: where it went down (in the superview) and where the
    // view's centre was then.
    bool m_tracking { false };
    CGPoint m_touchStart {};
    CGPoint m_centerAtTouchStart {};
};
