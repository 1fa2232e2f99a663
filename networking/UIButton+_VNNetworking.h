#pragma once

#include "foundation/NSOperationQueue.h"
#include "uikit/UIButton.h"

class VNHTTPRequestOperation;

// The queue behind buttons that load their images from a URL, and each button's own image and
// background-image fetches. Main thread only, except the queue, which any thread may use.
namespace UIButton__VNNetworking {

// The queue of button image fetches: made once, no width limit of its own, apart from the
// image views' queue.
Ref<NSOperationQueue> vn_sharedImageRequestOperationQueue();

// The button's running or last image fetch, and its background-image fetch.
Ref<VNHTTPRequestOperation> vn_imageRequestOperation(const Ref<UIButton>& button);
void vn_setImageRequestOperation(const Ref<UIButton>& button, const Ref<VNHTTPRequestOperation>& operation);
Ref<VNHTTPRequestOperation> vn_backgroundImageRequestOperation(const Ref<UIButton>& button);
void vn_setBackgroundImageRequestOperation(const Ref<UIButton>& button, const Ref<VNHTTPRequestOperation>& operation);

} // namespace UIButton__VNNetworking
