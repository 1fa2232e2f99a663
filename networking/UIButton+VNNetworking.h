#pragma once

#include "net/NetForward.h"
#include "uikit/UIButton.h"

#include <functional>

class NSHTTPURLResponse;
class UIImage;

// Lets a button load its image, or its background image, for a control state from a URL.
// Each fetch is an HTTP request operation with its own image response serializer, on the
// button queue; there is no image cache. A button runs at most one fetch per kind: a new call
// cancels the previous one of its kind. Main thread only; blocks run on the main queue.
namespace UIButton_VNNetworking {

using SuccessBlock = std::function<void(const Ref<NSHTTPURLResponse>& response, const Ref<UIImage>& image)>;
using FailureBlock = std::function<void(const Ref<NSError>& error)>;

// A plain request for the URL with the header field "Accept: image/*" added, no blocks.
void setImageForStateWithURL(const Ref<UIButton>& button, UIControlState state, const Ref<NSURL>& url);
void setImageForStateWithURLPlaceholderImage(
    const Ref<UIButton>& button, UIControlState state, const Ref<NSURL>& url, const Ref<UIImage>& placeholder);
// Shows the placeholder for the state at once (nil clears it) and fetches. The image goes to
// the success block, or is set for the state when there is none; errors go to the failure
// block. Only the button's current fetch of this kind reports: a replaced or cancelled fetch
// calls neither block. The button is held weakly.
void setImageForStateWithURLRequestPlaceholderImageSuccessFailure(const Ref<UIButton>& button, UIControlState state,
    const Ref<NSURLRequest>& request, const Ref<UIImage>& placeholder, SuccessBlock success, FailureBlock failure);

void setBackgroundImageForStateWithURL(const Ref<UIButton>& button, UIControlState state, const Ref<NSURL>& url);
void setBackgroundImageForStateWithURLPlaceholderImage(
    const Ref<UIButton>& button, UIControlState state, const Ref<NSURL>& url, const Ref<UIImage>& placeholder);
void setBackgroundImageForStateWithURLRequestPlaceholderImageSuccessFailure(const Ref<UIButton>& button,
    UIControlState state, const Ref<NSURLRequest>& request, const Ref<UIImage>& placeholder, SuccessBlock success,
    FailureBlock failure);

// Cancel the stored fetch of that kind, when there is one, and forget it.
void cancelImageRequestOperation(const Ref<UIButton>& button);
void cancelBackgroundImageRequestOperation(const Ref<UIButton>& button);

} // namespace UIButton_VNNetworking
