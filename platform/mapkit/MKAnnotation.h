#pragma once

#include "location/CLLocation.h"

#include <optional>
#include <string>

// Something placed on the map at a coordinate. A mixin: concrete annotations are NSObjects that
// also derive from MKAnnotation, and tell key-value observers of "coordinate", "title" and
// "subtitle" when those change, so maps and indexes can follow them.
class MKAnnotation {
public:
    virtual ~MKAnnotation() = default;

    virtual CLLocationCoordinate2D coordinate() const = 0;
    // Optional; nil (nullopt) when the annotation has no text.
    virtual std::optional<std::string> title() const { return std::nullopt; }
    virtual std::optional<std::string> subtitle() const { return std::nullopt; }
    // Optional; annotations that can move (dragging) override it and notify "coordinate".
    virtual void setCoordinate(CLLocationCoordinate2D coordinate) { }
};

// The Value form of a coordinate used by key-value coding: a dictionary with "latitude" and
// "longitude"; and back (nullopt when the value is not such a dictionary).
Value MKValueForCoordinate(CLLocationCoordinate2D coordinate);
std::optional<CLLocationCoordinate2D> MKCoordinateFromValue(const Value& value);
