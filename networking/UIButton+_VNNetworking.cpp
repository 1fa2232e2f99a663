#include "networking/UIButton+_VNNetworking.h"

#include "foundation/Dispatch.h"
#include "networking/VNAssociatedObject.h"
#include "networking/VNHTTPRequestOperation.h"

namespace UIButton__VNNetworking {

namespace {

char s_imageRequestOperationKey;
char s_backgroundImageRequestOperationKey;

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

Ref<VNHTTPRequestOperation> vn_imageRequestOperation(const Ref<UIButton>& button)
{
    return associatedObjectOf<VNHTTPRequestOperation>(button, &s_imageRequestOperationKey);
}

void vn_setImageRequestOperation(const Ref<UIButton>& button, const Ref<VNHTTPRequestOperation>& operation)
{
    setAssociatedObjectOf(button, &s_imageRequestOperationKey, operation);
}

Ref<VNHTTPRequestOperation> vn_backgroundImageRequestOperation(const Ref<UIButton>& button)
{
    return associatedObjectOf<VNHTTPRequestOperation>(button, &s_backgroundImageRequestOperationKey);
}

void vn_setBackgroundImageRequestOperation(const Ref<UIButton>& button, const Ref<VNHTTPRequestOperation>& operation)
{
    setAssociatedObjectOf(button, &s_backgroundImageRequestOperationKey, operation);
}

} // namespace UIButton__VNNetworking
