#include "networking/UIWebView+_VNNetworking.h"

#include "networking/VNAssociatedObject.h"
#include "networking/VNHTTPRequestOperation.h"

namespace UIWebView__VNNetworking {

namespace {

char s_HTTPRequestOperationKey;

} // namespace

Ref<VNHTTPRequestOperation> vn_HTTPRequestOperation(const Ref<UIWebView>& view)
{
    return associatedObjectOf<VNHTTPRequestOperation>(view, &s_HTTPRequestOperationKey);
}

void vn_setHTTPRequestOperation(const Ref<UIWebView>& view, const Ref<VNHTTPRequestOperation>& operation)
{
    setAssociatedObjectOf(view, &s_HTTPRequestOperationKey, operation);
}

} // namespace UIWebView__VNNetworking
