#pragma once

#include "location/CLLocation.h"

// A named place found by the geocoder: its name and locality (the city), country name (in the
// current locale's language), ISO country code and location. Immutable; any thread.
class CLPlacemark : public NSObject {
    VX_OBJECT(CLPlacemark, NSObject)
public:
    CLPlacemark(Passkey, std::string name, std::string locality, std::string country, std::string isoCountryCode,
        Ref<CLLocation> location);
    static Ref<CLPlacemark> initWithName(std::string name, std::string locality, std::string country,
        std::string isoCountryCode, Ref<CLLocation> location);

    const std::string& name() const { return m_name; }
    const std::string& locality() const { return m_locality; }
    const std::string& country() const { return m_country; }
    const std::string& ISOcountryCode() const { return m_isoCountryCode; }
    const Ref<CLLocation>& location() const { return m_location; }

    Value valueForKey(const std::string& key) override;
    std::string description() const override;

private:
    std::string m_name;
    std::string m_locality;
    std::string m_country;
    std::string m_isoCountryCode;
    Ref<CLLocation> m_location;
};
