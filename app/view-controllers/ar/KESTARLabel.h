#pragma once

#include "ar/SLKPoiLabel.h"

class KESTPlane;
class KESTARLabelTemplate;

// One live plane on the AR screen: a kit label whose height is the plane's altitude above the
// device, whose texts (distance in the user's unit, speed and altitude, airports, registration,
// airline logo) come from the plane, and which follows the plane's estimated position on every
// content update. Main thread only.
class KESTARLabel : public SLKPoiLabel {
    VX_OBJECT(KESTARLabel, SLKPoiLabel)
public:
    explicit KESTARLabel(Passkey key)
        : SLKPoiLabel(key)
    {
    }
    // nil without a title, as for every kit label.
    static Ref<KESTARLabel> initWithTitleTheDescriptionTheImageFromTemplateXibAtLocation(
        const std::optional<std::string>& title, const std::optional<std::string>& description,
        const Ref<UIImage>& image, const std::optional<std::string>& xibName, const Ref<CLLocation>& location)
    {
        return makeLabel<KESTARLabel>(title, description, image, xibName, location);
    }

    float planeAltitude() const { return m_altitude; }
    void setPlaneAltitude(float metres) { m_altitude = metres; }
    const Ref<KESTPlane>& attachedPlane() const { return m_attachedPlane; }
    void setAttachedPlane(const Ref<KESTPlane>& plane) { m_attachedPlane = plane; }
    Ref<KESTARLabelTemplate> planeTemplate() const;

    void updateLocation() override;
    void updateContent() override;
    // Fills the template once: rounded corners, airports, registration and the airline logo.
    void setupContent();

private:
    float m_altitude { 0 };
    Ref<KESTPlane> m_attachedPlane;
};
