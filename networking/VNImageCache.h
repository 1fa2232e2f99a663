#pragma once

#include "foundation/NSCache.h"
#include "net/NetForward.h"

class UIImage;

// The memory cache of images fetched for image views, keyed by the absolute string of the
// request's URL. It sets no limits; entries leave only when the cache is purged (memory
// pressure or a memory warning) or replaced. Any thread.
class VNImageCache : public NSCache {
    VX_OBJECT(VNImageCache, NSCache)
public:
    explicit VNImageCache(Passkey key)
        : NSCache(key)
    {
    }

    static Ref<VNImageCache> init();

    // The image cached for the request's URL, or nullptr. Requests that must not read local
    // caches (cache policies 1 and 4) always miss without a lookup.
    Ref<UIImage> cachedImageForRequest(const Ref<NSURLRequest>& request) const;
    // Stores the image under the request's URL; does nothing when either is nullptr.
    void cacheImageForRequest(const Ref<UIImage>& image, const Ref<NSURLRequest>& request);
};
