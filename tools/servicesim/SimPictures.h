#pragma once

#include "servicesim/SimImages.h"

#include <cstdint>
#include <optional>
#include <string>

// The pictures the simulated services hand out, drawn in code: aircraft photos, the side view of
// a type, airline and manufacturer logos and the icons of the maker's other applications. Every picture depends
// only on its arguments, so the same request always gets the same bytes. Any thread.
namespace SimPictures {

// An airline's colours as 0xRRGGBBAA: the tail and logo colour, a second colour for stripes and
// the emblem, and the fuselage.
struct Livery {
    uint32_t primary = 0;
    uint32_t accent = 0;
    uint32_t body = 0;
};
Livery liveryFor(const std::string& airlineCode);

// The drawings an aircraft type is shown as.
enum class AircraftShape {
    Airliner, // jet engines under swept wings: 2 or 4 of them
    LightAircraft, // one propeller in the nose, a straight low wing and fixed wheels
    Helicopter,
};

// What a picture shows: the aircraft's operator (its code is painted on the tail; "" paints a
// plain tail), its registration (on the rear fuselage) and its shape.
struct AircraftLook {
    std::string airlineCode;
    std::string registration;
    AircraftShape shape = AircraftShape::Airliner;
    int engines = 2;
};

// A photo of the aircraft in flight. The photo's identifier decides the view: time of day,
// size, position, climb angle and heading, and the landscape below. Opaque.
SimImages::Bitmap aircraftPhoto(const std::string& photoId, const AircraftLook& look, int width, int height);

// The type's side view in the airline's colours on a transparent background.
SimImages::Bitmap aircraftSideView(const AircraftLook& look, int width, int height);

// The airline's code in bold letters next to a round emblem on a plate of its colours.
SimImages::Bitmap airlineLogo(const std::string& airlineCode, int width, int height);

// An aircraft manufacturer's word mark: its name, or the initials of a long name, in bold letters
// of its colour (`liveryFor(manufacturer).primary`) on white.
SimImages::Bitmap manufacturerLogo(const std::string& manufacturer, int width, int height);

// The icon of one of the maker's applications, by its short code ("VX", "VM", "VA", "RW", "LB"):
// a symbol of what the application does on a rounded square with a gradient, the corners
// transparent. Nothing for an unknown code.
std::optional<SimImages::Bitmap> appIcon(const std::string& appCode, int size);

} // namespace SimPictures
