#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

class NSCache;
class UIImage;
class VNHTTPRequestOperation;

// The process-wide source of plane marker images and airline logos. Marker images are
// pre-rendered per silhouette family, colour letter and ten-degree heading step and picked by
// file name ("B737_W_90.png", or "SANTA_90.png" without a colour); logos come from the logo
// service. Both are kept in one memory cache, images under their file name and logos under the
// airline code. It also holds the two tables that give an aircraft type designator its family.
//
// Threads: images and logos are asked for on the main thread, where the logo request also
// completes. The tables and the cache may be read from any thread (the marker budget reads the
// tables in the background).
class KESTPlaneMarkerManager : public NSObject {
    VX_OBJECT(KESTPlaneMarkerManager, NSObject)
public:
    explicit KESTPlaneMarkerManager(Passkey);

    static Ref<KESTPlaneMarkerManager> sharedInstance();
    // A manager of its own: an empty cache, both tables unset.
    static Ref<KESTPlaneMarkerManager> init();
    static void resetSharedInstanceForTesting();

    // The logo service's base address, ending in "/". Until one is set it is the flight-data
    // service's base address, which serves logos too.
    static std::string logoServiceBaseURL();
    static void setLogoServiceBaseURL(std::optional<std::string> base);

    // The image file name for a family, rotation and colour letter (nullopt: no colour part).
    // A rotation of 0 is written as 360.
    static std::string imageNameFor(
        const std::string& family, int32_t rotation, const std::optional<std::string>& colour);

    // The named marker image from the cache, else from the image resources (then cached).
    // Nullptr when no such image exists; a failed load is not remembered.
    Ref<UIImage> rotatedImageNamedRotationColour(
        const std::string& family, int32_t rotation, const std::optional<std::string>& colour);

    // The cached logo for an airline code, returned at once without calling `completion`.
    // On a miss, starts a request to the logo service and returns nullptr; when an image arrives
    // it is cached under the code and `completion` is called on the main queue. A failed
    // request, or one that brings no image, caches nothing and calls nothing. A miss while the
    // code's request is in flight waits for that request instead of starting another: every
    // marker of an airline asks while it is drawn, and a request each would pile up faster than
    // a busy service answers. Once the request has ended, the next miss asks again.
    Ref<UIImage> fetchAirlineImageOnRemoteFetchCompletion(
        const std::string& airlineCode, std::function<void()> completion);

    // Type prefix (three characters) to family, and whole designator to family. Built from the
    // constant tables on first access.
    Value partialLookupDict();
    void setPartialLookupDict(Value dict);
    Value fullLookupDict();
    void setFullLookupDict(Value dict);
    // Single lookups in the tables above; nullopt when the key is not there.
    std::optional<std::string> fullLookupFamily(const std::string& typeDesignator);
    std::optional<std::string> partialLookupFamily(const std::string& prefix);

    // Drops every image and logo from the cache.
    void invalidateCache();
    const Ref<NSCache>& cache() const { return m_cache; }

private:
    // Lets go of a finished logo request; returns the completions that waited for it.
    std::vector<std::function<void()>> logoRequestFinished(
        const Ref<VNHTTPRequestOperation>& operation, const std::string& airlineCode);

    Ref<NSCache> m_cache;
    std::mutex m_lock;
    Value m_partialLookupDict;
    Value m_fullLookupDict;
    // Logo requests in flight, kept alive until they finish.
    std::set<Ref<VNHTTPRequestOperation>> m_logoOperations;
    // Main thread only: the airline codes whose logo request is in flight, each with the
    // completions of the misses waiting for it.
    std::unordered_map<std::string, std::vector<std::function<void()>>> m_logoWaiters;
};
