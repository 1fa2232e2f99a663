#include "networking/UIButton+VNNetworking.h"

#include "graphics/UIImage.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSURL.h"
#include "networking/UIButton+_VNNetworking.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNImageResponseSerializer.h"

namespace UIButton_VNNetworking {

using namespace UIButton__VNNetworking;

namespace {

// What differs between the image and the background image: where the fetch is kept and where
// the image goes.
struct Kind {
    Ref<VNHTTPRequestOperation> (*operation)(const Ref<UIButton>&);
    void (*setOperation)(const Ref<UIButton>&, const Ref<VNHTTPRequestOperation>&);
    void (UIButton::*setImage)(const Ref<UIImage>&, UIControlState);
};

const Kind s_image { vn_imageRequestOperation, vn_setImageRequestOperation, &UIButton::setImageForState };
const Kind s_background { vn_backgroundImageRequestOperation, vn_setBackgroundImageRequestOperation,
    &UIButton::setBackgroundImageForState };

Ref<NSURLRequest> imageRequest(const Ref<NSURL>& url)
{
    auto request = NSMutableURLRequest::requestWithURL(url);
    request->addValueForHTTPHeaderField("image/*", "Accept");
    return request;
}

void cancel(const Kind& kind, const Ref<UIButton>& button)
{
    if (auto operation = kind.operation(button)) {
        operation->cancel();
        kind.setOperation(button, nullptr);
    }
}

void load(const Kind& kind, const Ref<UIButton>& button, UIControlState state, const Ref<NSURLRequest>& request,
    const Ref<UIImage>& placeholder, SuccessBlock success, FailureBlock failure)
{
    if (!button)
        return;
    cancel(kind, button);
    ((*button).*kind.setImage)(placeholder, state);
    if (!request)
        return;

    auto operation = VNHTTPRequestOperation::initWithRequest(request);
    kind.setOperation(button, operation);
    operation->setResponseSerializer(VNImageResponseSerializer::serializer());

    // Only the button's current fetch of this kind may report. Checking the operation itself,
    // not the URL of its response, keeps a replaced fetch from setting a stale image and still
    // reports a failure that has no response (no connection).
    Weak<UIButton> weakButton = button;
    const Kind* which = &kind;
    auto isCurrent = [weakButton, which](const Ref<VNHTTPRequestOperation>& finished) -> Ref<UIButton> {
        auto button = weakButton.lock();
        if (!button || which->operation(button) != finished)
            return nullptr;
        return button;
    };
    operation->setCompletionBlockWithSuccessFailure(
        [isCurrent, state, success, which](const Ref<VNHTTPRequestOperation>& finished, const Value& responseObject) {
            auto button = isCurrent(finished);
            if (!button)
                return;
            auto image = responseObject.objectAs<UIImage>();
            if (success)
                success(finished->HTTPResponse(), image);
            else if (image)
                ((*button).*which->setImage)(image, state);
        },
        [isCurrent, failure](const Ref<VNHTTPRequestOperation>& finished, const Ref<NSError>& error) {
            if (failure && isCurrent(finished))
                failure(error);
        });

    vn_sharedImageRequestOperationQueue()->addOperation(operation);
}

} // namespace

void setImageForStateWithURL(const Ref<UIButton>& button, UIControlState state, const Ref<NSURL>& url)
{
    setImageForStateWithURLPlaceholderImage(button, state, url, nullptr);
}

void setImageForStateWithURLPlaceholderImage(
    const Ref<UIButton>& button, UIControlState state, const Ref<NSURL>& url, const Ref<UIImage>& placeholder)
{
    load(s_image, button, state, imageRequest(url), placeholder, nullptr, nullptr);
}

void setImageForStateWithURLRequestPlaceholderImageSuccessFailure(const Ref<UIButton>& button, UIControlState state,
    const Ref<NSURLRequest>& request, const Ref<UIImage>& placeholder, SuccessBlock success, FailureBlock failure)
{
    load(s_image, button, state, request, placeholder, std::move(success), std::move(failure));
}

void setBackgroundImageForStateWithURL(const Ref<UIButton>& button, UIControlState state, const Ref<NSURL>& url)
{
    setBackgroundImageForStateWithURLPlaceholderImage(button, state, url, nullptr);
}

void setBackgroundImageForStateWithURLPlaceholderImage(
    const Ref<UIButton>& button, UIControlState state, const Ref<NSURL>& url, const Ref<UIImage>& placeholder)
{
    load(s_background, button, state, imageRequest(url), placeholder, nullptr, nullptr);
}

void setBackgroundImageForStateWithURLRequestPlaceholderImageSuccessFailure(const Ref<UIButton>& button,
    UIControlState state, const Ref<NSURLRequest>& request, const Ref<UIImage>& placeholder, SuccessBlock success,
    FailureBlock failure)
{
    load(s_background, button, state, request, placeholder, std::move(success), std::move(failure));
}

void cancelImageRequestOperation(const Ref<UIButton>& button)
{
    cancel(s_image, button);
}

void cancelBackgroundImageRequestOperation(const Ref<UIButton>& button)
{
    cancel(s_background, button);
}

} // namespace UIButton_VNNetworking
