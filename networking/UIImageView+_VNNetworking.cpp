#include "networking/UIImageView+_VNNetworking.h"

#include "foundation/Dispatch.h"
#include "foundation/NSNotificationCenter.h"
#include "networking/VNAssociatedObject.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNImageCache.h"
#include "uikit/UIApplication.h"

namespace UIImageView__VNNetworking {

namespace {

char s_imageRequestOperationKey;

} // namespace

Ref<NSOperationQueue> vn_sharedImageRequestOperationQueue()
{
    static dispatch_once_t s_once;
    static Ref<NSOperationQueue> s_queue;
    dispatch_once(&s_once, [] {
        s_queue = NSOperationQueue::init();
        s_queue->setMaxConcurrentOperationCount(NSOperationQueueDefaultMaxConcurrentOperationCount);
    });
    return s_queue;
}

Ref<VNImageCache> vn_sharedImageCache()
{
    static dispatch_once_t s_once;
    static Ref<VNImageCache> s_cache;
    dispatch_once(&s_once, [] {
        auto cache = VNImageCache::init();
        s_cache = cache;
        // Never removed: the cache lives as long as the process.
        NSNotificationCenter::defaultCenter()->addObserverForName(
            std::string(UIApplicationDidReceiveMemoryWarningNotification), nullptr, NSOperationQueue::mainQueue(),
            [cache](const Ref<NSNotification>&) { cache->removeAllObjects(); });
    });
    return s_cache;
}

Ref<VNHTTPRequestOperation> vn_imageRequestOperation(const Ref<UIImageView>& view)
{
    return associatedObjectOf<VNHTTPRequestOperation>(view, &s_imageRequestOperationKey);
}

void vn_setImageRequestOperation(const Ref<UIImageView>& view, const Ref<VNHTTPRequestOperation>& operation)
{
    setAssociatedObjectOf(view, &s_imageRequestOperationKey, operation);
}

} // namespace UIImageView__VNNetworking
