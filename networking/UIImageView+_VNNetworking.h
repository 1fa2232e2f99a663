#pragma once

#include "foundation/NSOperationQueue.h"
#include "uikit/UIImageView.h"

class VNHTTPRequestOperation;
class VNImageCache;

// The shared state behind image views that load their image from a URL, and each view's own
// fetch. Main thread only, except the queue and the cache, which any thread may use.
namespace UIImageView__VNNetworking {

// The queue every image view's fetch runs on: made once, no width limit of its own.
Ref<NSOperationQueue> vn_sharedImageRequestOperationQueue();
// The memory cache of fetched images: made once, emptied on every memory warning.
Ref<VNImageCache> vn_sharedImageCache();

// The view's running or last fetch.
Ref<VNHTTPRequestOperation> vn_imageRequestOperation(const Ref<UIImageView>& view);
void vn_setImageRequestOperation(const Ref<UIImageView>& view, const Ref<VNHTTPRequestOperation>& operation);

} // namespace UIImageView__VNNetworking
