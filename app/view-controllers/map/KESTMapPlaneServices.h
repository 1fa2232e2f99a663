#pragma once

#include "app/core/KESTPlaneServices.h"

#include <atomic>
#include <memory>

// What the map adds to the services a live plane asks for: the marker families and images of
// the marker image manager and the shown map's bearing. Everything else goes to the services
// that were installed before (the live feed's clocks and flight-path fetch). Any thread: the
// bearing is kept in an atomic that the map screen updates on the main thread.
class KESTMapPlaneServices final : public KESTPlaneServices {
public:
    explicit KESTMapPlaneServices(std::shared_ptr<KESTPlaneServices> previous);

    // Installs the map's services over the present ones, once per set of present services.
    static void installOverCurrent();
    static void setMapBearing(double bearing);

    double deviceUTCTime() const override;
    double serverTime() const override;
    double mapBearing() const override;
    void performFlightPathFetch(const std::string& adshex, const Value& timestamp) override;
    std::optional<std::string> fullLookupFamily(const std::string& typeDesignator) const override;
    std::optional<std::string> partialLookupFamily(const std::string& prefix) const override;
    Ref<UIImage> rotatedImageNamed(
        const std::string& family, int32_t rotation, const std::optional<std::string>& colour) const override;

private:
    std::shared_ptr<KESTPlaneServices> m_previous;
};
