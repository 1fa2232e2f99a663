#pragma once

#include "MKAnnotation.h"
#include "UIView.h"

#include <optional>
#include <string>

class MKMapView;
class UIImage;

// Shows one annotation on a map: placed with its centre on the annotation's point, moved by
// centerOffset. Views are reused by identifier: the map keeps views that went off screen and
// hands them out again through dequeueReusableAnnotationViewWithIdentifier, after
// prepareForReuse. Subclasses may draw (drawRect) or show an image. Main thread only.
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

    const Ref<UIView>& leftCalloutAccessoryView() const { return m_leftAccessory; }
    void setLeftCalloutAccessoryView(const Ref<UIView>& view) { m_leftAccessory = view; }
    const Ref<UIView>& rightCalloutAccessoryView() const { return m_rightAccessory; }
    void setRightCalloutAccessoryView(const Ref<UIView>& view) { m_rightAccessory = view; }

    // A tap selects the annotation on the map holding the view.
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    bool displayLayer(CALayer& layer) override;

    // Used by the map.
    void setReuseIdentifier(std::optional<std::string> identifier) { m_reuseIdentifier = std::move(identifier); }
    void setMapView(const Ref<MKMapView>& map) { m_map = map; }

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
};
