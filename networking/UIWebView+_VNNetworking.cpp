#include "UIWebView+_VNNetworking.h"

#include "VNHTTPRequestOperation.h"

namespace UIWebView__VNNetworking {

namespace {

char s_HTTPRequestOperationKey;

} // namespace

Ref<VNHTTPRequestOperation> vn_HTTPRequestOperation(const Ref<UIWebView>& view)
{
    return view ? view->associatedObject(&s_HTTPRequestOperationKey).objectAs<VNHTTPRequestOperation>() : nullptr;
}

void vn_setHTTPRequestOperation(const Ref<UIWebView>& view, const Ref<VNHTTPRequestOperation>& operation)
{
    if (view)
        view->setAssociatedObject(&s_HTTPRequestOperationKey, operation ? Value(operation) : Value());
}

} // namespace UIWebView__VNNetworking
