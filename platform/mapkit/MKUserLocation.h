#pragma once

#include "foundation/NSObject.h"
#include "location/CLHeading.h"
#include "location/CLLocation.h"
#include "mapkit/MKAnnotation.h"

// The annotation standing for the device on a map that shows the user's location. Its
// coordinate follows the latest fix (observable as "coordinate" and "location").
class MKUserLocation : public NSObject, public MKAnnotation {
    VX_OBJECT(MKUserLocation, NSObject)
public:
    explicit MKUserLocation(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<MKUserLocation> init() { return make<MKUserLocation>(); }

    // Invalid (kCLLocationCoordinate2DInvalid-like NaN) until the first fix.
    CLLocationCoordinate2D coordinate() const override;
    std::optional<std::string> title() const override { return m_title; }
    void setTitle(std::optional<std::string> title) { setValueNotifying("title", m_title, std::move(title)); }
    std::optional<std::string> subtitle() const override { return m_subtitle; }
    void setSubtitle(std::optional<std::string> subtitle)
    {
        setValueNotifying("subtitle", m_subtitle, std::move(subtitle));
    }

    const Ref<CLLocation>& location() const { return m_location; }
    const Ref<CLHeading>& heading() const { return m_heading; }
    bool isUpdating() const { return m_updating; }

    // Used by the map.
    void setLocation(const Ref<CLLocation>& location);
    void setHeading(const Ref<CLHeading>& heading) { m_heading = heading; }
    void setUpdating(bool updating) { m_updating = updating; }

private:
    std::optional<std::string> m_title { "Current Location" };
    std::optional<std::string> m_subtitle;
    Ref<CLLocation> m_location;
    Ref<CLHeading> m_heading;
    bool m_updating { false };
};
