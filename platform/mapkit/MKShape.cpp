#include "mapkit/MKShape.h"

#include "foundation/Value.h"

Value MKValueForCoordinate(CLLocationCoordinate2D coordinate)
{
    Value dictionary = Value::mutableDictionary();
    dictionary.setObjectForKey(coordinate.latitude, "latitude");
    dictionary.setObjectForKey(coordinate.longitude, "longitude");
    return dictionary;
}

std::optional<CLLocationCoordinate2D> MKCoordinateFromValue(const Value& value)
{
    if (!value.isDictionary())
        return std::nullopt;
    auto latitude = value.objectForKey("latitude"), longitude = value.objectForKey("longitude");
    if (!latitude.isNumber() || !longitude.isNumber())
        return std::nullopt;
    return CLLocationCoordinate2D { latitude.doubleValue(), longitude.doubleValue() };
}

Value MKShape::valueForKey(const std::string& key)
{
    if (key == "title")
        return m_title ? Value(*m_title) : Value();
    if (key == "subtitle")
        return m_subtitle ? Value(*m_subtitle) : Value();
    if (key == "coordinate")
        return MKValueForCoordinate(coordinate());
    return NSObject::valueForKey(key);
}

void MKShape::setValueForKey(const Value& value, const std::string& key)
{
    if (key == "title") {
        setTitle(value.isString() ? std::optional<std::string>(value.string()) : std::nullopt);
        return;
    }
    if (key == "subtitle") {
        setSubtitle(value.isString() ? std::optional<std::string>(value.string()) : std::nullopt);
        return;
    }
    if (key == "coordinate") {
        if (auto coordinate = MKCoordinateFromValue(value))
            setCoordinate(*coordinate);
        return;
    }
    NSObject::setValueForKey(value, key);
}

VX_REGISTER_CLASS(MKShape);
