#include "location/CLPlacemark.h"
#include "foundation/Value.h"

#include <cstdio>

CLPlacemark::CLPlacemark(Passkey key, std::string name, std::string locality, std::string country,
    std::string isoCountryCode, Ref<CLLocation> location)
    : NSObject(key)
    , m_name(std::move(name))
    , m_locality(std::move(locality))
    , m_country(std::move(country))
    , m_isoCountryCode(std::move(isoCountryCode))
    , m_location(std::move(location))
{
}

Ref<CLPlacemark> CLPlacemark::initWithName(
    std::string name, std::string locality, std::string country, std::string isoCountryCode, Ref<CLLocation> location)
{
    return make<CLPlacemark>(
        std::move(name), std::move(locality), std::move(country), std::move(isoCountryCode), std::move(location));
}

Value CLPlacemark::valueForKey(const std::string& key)
{
    if (key == "name")
        return m_name;
    if (key == "locality")
        return m_locality;
    if (key == "country")
        return m_country;
    if (key == "ISOcountryCode")
        return m_isoCountryCode;
    if (key == "location")
        return m_location ? Value(m_location) : Value();
    return NSObject::valueForKey(key);
}

std::string CLPlacemark::description() const
{
    std::string text = m_name + ", " + m_locality + ", " + m_country;
    if (m_location) {
        char buffer[80];
        std::snprintf(buffer, sizeof buffer, " @ <%+.8f,%+.8f>", m_location->coordinate().latitude,
            m_location->coordinate().longitude);
        text += buffer;
    }
    return text;
}

VX_REGISTER_CLASS(CLPlacemark);
