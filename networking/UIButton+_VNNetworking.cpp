#include "UIButton+_VNNetworking.h"

#include "Dispatch.h"
#include "VNHTTPRequestOperation.h"

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
    return button ? button->associatedObject(&s_imageRequestOperationKey).objectAs<VNHTTPRequestOperation>() : nullptr;
}

void vn_setImageRequestOperation(const Ref<UIButton>& button, const Ref<VNHTTPRequestOperation>& operation)
{
    if (button)
        button->setAssociatedObject(&s_imageRequestOperationKey, operation ? Value(operation) : Value());
}

Ref<VNHTTPRequestOperation> vn_backgroundImageRequestOperation(const Ref<UIButton>& button)
{
    return button ? button->associatedObject(&s_backgroundImageRequestOperationKey).objectAs<VNHTTPRequestOperation>()
                  : nullptr;
}

void vn_setBackgroundImageRequestOperation(const Ref<UIButton>& button, const Ref<VNHTTPRequestOperation>& operation)
{
    if (button)
        button->setAssociatedObject(&s_backgroundImageRequestOperationKey, operation ? Value(operation) : Value());
}

} // namespace UIButton__VNNetworking
