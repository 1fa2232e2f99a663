#pragma once

#include "location/CLError.h"
#include "location/CLPlacemark.h"

#include <functional>
#include <vector>

class NSError;

// One place of the bundled place data.
struct GeocoderPlace {
    std::string name;
    std::string countryCode;
    double latitude { 0 };
    double longitude { 0 };
    int64_t population { 0 };
    std::string searchName; // the name with case and diacritics folded
};

// Forward geocoding over the bundled place data ("data/cities.csv" in the main bundle: a header
// line, then name,country code,latitude,longitude,population; names may be double-quoted).
//
// geocodeAddressString takes "City", "City, Country" or "City, CC" (country name or ISO code;
// case and diacritics do not matter) and answers with the matching places, most populous first (at most ten): exact
// name matches, or else names that start with the text. The completion handler is called
// exactly once, on the main queue: with placemarks, or with nil and an error in kCLErrorDomain —
// kCLErrorGeocodeFoundNoResult when nothing matches or the data cannot be read,
// kCLErrorGeocodeCanceled when the request was cancelled (by cancelGeocode or by a newer request).
// Main thread only; the search itself runs on a background queue.
class CLGeocoder : public NSObject {
    VX_OBJECT(CLGeocoder, NSObject)
public:
    using CompletionHandler
        = std::function<void(const std::vector<Ref<CLPlacemark>>& placemarks, const Ref<NSError>& error)>;

    explicit CLGeocoder(Passkey);
    static Ref<CLGeocoder> init();

    void geocodeAddressString(const std::string& address, CompletionHandler completionHandler);
    void cancelGeocode();
    bool isGeocoding() const { return m_pending != 0; }

    // Reads place data from another file (tests, hosts); an empty path goes back to the bundle's.
    // Clears the loaded data.
    static void setPlaceDataPath(const std::string& path);
    // The loaded places (loading them on first use); empty when the file cannot be read.
    static std::shared_ptr<const std::vector<GeocoderPlace>> places();
    // The search itself, without the queues.
    static std::vector<GeocoderPlace> search(const std::string& address, size_t limit = 10);

private:
    void finish(uint64_t request, std::vector<GeocoderPlace> found);
    uint64_t m_pending { 0 };
    uint64_t m_nextRequest { 1 };
    CompletionHandler m_handler;
};
