#pragma once

#include "net/NetForward.h"
#include "uikit/UIImageView.h"

#include <functional>

class NSHTTPURLResponse;
class UIImage;
class VNImageResponseSerializer;

// Lets an image view show an image fetched from a URL. Images come from the shared memory
// cache when they are there, else from an HTTP request operation on the shared image queue
// whose body is decoded by the view's image response serializer. Each view runs one fetch at
// a time: a new call cancels the one before. Main thread only; blocks run on the main queue.
namespace UIImageView_VNNetworking {

using SuccessBlock = std::function<void(
    const Ref<NSURLRequest>& request, const Ref<NSHTTPURLResponse>& response, const Ref<UIImage>& image)>;
using FailureBlock = std::function<void(
    const Ref<NSURLRequest>& request, const Ref<NSHTTPURLResponse>& response, const Ref<NSError>& error)>;

// A plain request for the URL with the header field "Accept: image/*" added, no placeholder.
void setImageWithURL(const Ref<UIImageView>& view, const Ref<NSURL>& url);
void setImageWithURLPlaceholderImage(
    const Ref<UIImageView>& view, const Ref<NSURL>& url, const Ref<UIImage>& placeholder);

// Cancels the view's fetch. On a cache hit: with a success block, calls it with nil request,
// nil response and the cached image and leaves the view alone; without, shows the cached
// image; nothing is fetched. On a miss: shows the placeholder (nil clears the image) and
// fetches. A fetched image goes to the success block, or is shown when there is none, and is
// cached under the request's URL. Only the view's current fetch touches the view or calls the
// success block; the failure block hears of every failure of this call's fetch, a
// cancellation included. Neither block holds the view.
void setImageWithURLRequestPlaceholderImageSuccessFailure(const Ref<UIImageView>& view,
    const Ref<NSURLRequest>& request, const Ref<UIImage>& placeholder, SuccessBlock success, FailureBlock failure);

// Cancels the view's fetch, when there is one, and forgets it.
void cancelImageRequestOperation(const Ref<UIImageView>& view);

// The view's own serializer, or the shared default one when none is set.
Ref<VNImageResponseSerializer> imageResponseSerializer(const Ref<UIImageView>& view);
void setImageResponseSerializer(const Ref<UIImageView>& view, const Ref<VNImageResponseSerializer>& serializer);

} // namespace UIImageView_VNNetworking
