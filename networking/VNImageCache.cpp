#include "networking/VNImageCache.h"

#include "graphics/UIImage.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"

VX_REGISTER_CLASS(VNImageCache);

namespace {

Value cacheKeyForRequest(const Ref<NSURLRequest>& request)
{
    if (!request || !request->URL())
        return Value();
    return Value(request->URL()->absoluteString());
}

} // namespace

Ref<VNImageCache> VNImageCache::init()
{
    return make<VNImageCache>();
}

Ref<UIImage> VNImageCache::cachedImageForRequest(const Ref<NSURLRequest>& request) const
{
    if (!request)
        return nullptr;
    switch (request->cachePolicy()) {
    case NSURLRequestReloadIgnoringLocalCacheData:
    case NSURLRequestReloadIgnoringLocalAndRemoteCacheData:
        return nullptr;
    default:
        break;
    }
    Value key = cacheKeyForRequest(request);
    if (key.isNil())
        return nullptr;
    return objectForKey(key).objectAs<UIImage>();
}

void VNImageCache::cacheImageForRequest(const Ref<UIImage>& image, const Ref<NSURLRequest>& request)
{
    if (!image || !request)
        return;
    Value key = cacheKeyForRequest(request);
    if (key.isNil())
        return;
    setObjectForKey(Value(image), key);
}
