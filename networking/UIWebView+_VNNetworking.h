#pragma once

#include "uikit/UIWebView.h"

class VNHTTPRequestOperation;

// Each web view's page operation. Main thread only.
namespace UIWebView__VNNetworking {

Ref<VNHTTPRequestOperation> vn_HTTPRequestOperation(const Ref<UIWebView>& view);
void vn_setHTTPRequestOperation(const Ref<UIWebView>& view, const Ref<VNHTTPRequestOperation>& operation);

} // namespace UIWebView__VNNetworking
