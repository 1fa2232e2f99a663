#pragma once

#include "mapkit/MKAnnotationView.h"

#include <string>

class UILabel;

// The bubble shown over a selected annotation view: title, subtitle and the view's accessories.
class MKCalloutView : public UIView {
    VX_OBJECT(MKCalloutView, UIView)
public:
    explicit MKCalloutView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<MKCalloutView> initForAnnotationView(const Ref<MKAnnotationView>& view);

    const Ref<MKAnnotationView>& annotationView() const { return m_annotationView; }
    const std::string& titleText() const { return m_title; }
    const std::string& subtitleText() const { return m_subtitle; }
    // Re-reads the title and subtitle, resizes and places the bubble above the annotation view.
    void refresh();

private:
    Ref<MKAnnotationView> m_annotationView;
    Ref<UILabel> m_titleLabel;
    Ref<UILabel> m_subtitleLabel;
    std::string m_title;
    std::string m_subtitle;
};
