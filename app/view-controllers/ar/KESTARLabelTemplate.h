#pragma once

#include "ar/SLKPoiLabelTemplate.h"

class UIImageView;
class UILabel;

// The view of one plane on the AR screen: the kit's title, content, distance and image outlets
// plus speed and altitude, registration, the departure and arrival airports and the airline logo.
// Built by the layout "SLKFloatingView". Main thread only.
class KESTARLabelTemplate : public SLKPoiLabelTemplate {
    VX_OBJECT(KESTARLabelTemplate, SLKPoiLabelTemplate)
public:
    explicit KESTARLabelTemplate(Passkey key)
        : SLKPoiLabelTemplate(key)
    {
    }
    static Ref<KESTARLabelTemplate> initWithFrame(CGRect frame) { return makeView<KESTARLabelTemplate>(frame); }

    const Ref<UILabel>& speedAltLabel() const { return m_speedAltLabel; }
    void setSpeedAltLabel(const Ref<UILabel>& label) { m_speedAltLabel = label; }
    const Ref<UILabel>& regLabel() const { return m_regLabel; }
    void setRegLabel(const Ref<UILabel>& label) { m_regLabel = label; }
    const Ref<UILabel>& depLabel() const { return m_depLabel; }
    void setDepLabel(const Ref<UILabel>& label) { m_depLabel = label; }
    const Ref<UILabel>& arrLabel() const { return m_arrLabel; }
    void setArrLabel(const Ref<UILabel>& label) { m_arrLabel = label; }
    const Ref<UIImageView>& logoView() const { return m_logoView; }
    void setLogoView(const Ref<UIImageView>& view) { m_logoView = view; }

private:
    Ref<UILabel> m_speedAltLabel;
    Ref<UILabel> m_regLabel;
    Ref<UILabel> m_depLabel;
    Ref<UILabel> m_arrLabel;
    Ref<UIImageView> m_logoView;
};
