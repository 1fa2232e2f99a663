#pragma once

#include "foundation/Ref.h"
#include "foundation/Value.h"

#include <memory>
#include <optional>
#include <string>

class UIImage;

// What a live plane asks of the rest of the application: the live feed's clocks and its
// flight-path fetch, the map's bearing, and the marker image manager's tables and images.
// The application installs one implementation as those parts come up; until then the defaults
// answer as an idle system would (the process clock with no server offset, a north-up map, no
// tables, no images, no fetch). Any thread.
class KESTPlaneServices {
public:
    virtual ~KESTPlaneServices() = default;

    // The live feed's cached device time (seconds since 1970) and the whole seconds by which the
    // device clock is ahead of the service's.
    virtual double deviceUTCTime() const;
    virtual double serverTime() const { return 0; }
    // The shown map's camera heading in degrees.
    virtual double mapBearing() const { return 0; }
    // Asks the live feed for a plane's flight path; the time stamp is nil for the live path.
    virtual void performFlightPathFetch(const std::string& adshex, const Value& timestamp) { }
    // The marker families of the marker image manager, by whole type designator and by its first
    // three characters.
    virtual std::optional<std::string> fullLookupFamily(const std::string& typeDesignator) const
    {
        return std::nullopt;
    }
    virtual std::optional<std::string> partialLookupFamily(const std::string& prefix) const { return std::nullopt; }
    // The rotated, coloured marker image, or nullptr.
    virtual Ref<UIImage> rotatedImageNamed(
        const std::string& family, int32_t rotation, const std::optional<std::string>& colour) const
    {
        return nullptr;
    }

    static std::shared_ptr<KESTPlaneServices> shared();
    // Replaces the services (nullptr puts the defaults back).
    static void install(std::shared_ptr<KESTPlaneServices> services);
};
