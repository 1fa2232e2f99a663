#include "networking/UIImageView+VNNetworking.h"

#include "foundation/Dispatch.h"
#include "graphics/UIImage.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSURL.h"
#include "networking/UIImageView+_VNNetworking.h"
#include "networking/VNAssociatedObject.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNImageCache.h"
#include "networking/VNImageResponseSerializer.h"

namespace UIImageView_VNNetworking {

using namespace UIImageView__VNNetworking;

namespace {

char s_imageResponseSerializerKey;

Ref<VNImageResponseSerializer> defaultImageResponseSerializer()
{
    static dispatch_once_t s_once;
    static Ref<VNImageResponseSerializer> s_serializer;
    dispatch_once(&s_once, [] { s_serializer = VNImageResponseSerializer::serializer(); });
    return s_serializer;
}

bool sameURL(const Ref<NSURLRequest>& a, const Ref<NSURLRequest>& b)
{
    if (!a || !b || !a->URL() || !b->URL())
        return false;
    return a->URL()->isEqual(b->URL().get());
}

} // namespace

void setImageWithURL(const Ref<UIImageView>& view, const Ref<NSURL>& url)
{
    setImageWithURLPlaceholderImage(view, url, nullptr);
}

void setImageWithURLPlaceholderImage(
    const Ref<UIImageView>& view, const Ref<NSURL>& url, const Ref<UIImage>& placeholder)
{
    auto request = NSMutableURLRequest::requestWithURL(url);
    request->addValueForHTTPHeaderField("image/*", "Accept");
    setImageWithURLRequestPlaceholderImageSuccessFailure(view, request, placeholder, nullptr, nullptr);
}

void setImageWithURLRequestPlaceholderImageSuccessFailure(const Ref<UIImageView>& view,
    const Ref<NSURLRequest>& request, const Ref<UIImage>& placeholder, SuccessBlock success, FailureBlock failure)
{
    if (!view)
        return;
    cancelImageRequestOperation(view);

    if (auto cached = vn_sharedImageCache()->cachedImageForRequest(request)) {
        if (success)
            success(nullptr, nullptr, cached);
        else
            view->setImage(cached);
        vn_setImageRequestOperation(view, nullptr);
        return;
    }

    view->setImage(placeholder);
    if (!request)
        return;

    auto operation = VNHTTPRequestOperation::initWithRequest(request);
    vn_setImageRequestOperation(view, operation);
    operation->setResponseSerializer(imageResponseSerializer(view));

    Weak<UIImageView> weakView = view;
    operation->setCompletionBlockWithSuccessFailure(
        [weakView, request, success](const Ref<VNHTTPRequestOperation>& finished, const Value& responseObject) {
            auto view = weakView.lock();
            if (!view)
                return;
            auto image = responseObject.objectAs<UIImage>();
            // Only the view's current fetch may change it: a fetch that finished just before a
            // later call replaced it must not put its image over the newer one.
            auto current = vn_imageRequestOperation(view);
            if (current && sameURL(request, current->request())) {
                if (success)
                    success(request, finished->HTTPResponse(), image);
                else if (image)
                    view->setImage(image);
            }
            vn_sharedImageCache()->cacheImageForRequest(image, request);
        },
        [request, failure](const Ref<VNHTTPRequestOperation>& finished, const Ref<NSError>& error) {
            if (failure && sameURL(request, finished->request()))
                failure(request, finished->HTTPResponse(), error);
        });

    vn_sharedImageRequestOperationQueue()->addOperation(operation);
}

void cancelImageRequestOperation(const Ref<UIImageView>& view)
{
    if (auto operation = vn_imageRequestOperation(view)) {
        operation->cancel();
        vn_setImageRequestOperation(view, nullptr);
    }
}

Ref<VNImageResponseSerializer> imageResponseSerializer(const Ref<UIImageView>& view)
{
    if (auto own = associatedObjectOf<VNImageResponseSerializer>(view, &s_imageResponseSerializerKey))
        return own;
    return defaultImageResponseSerializer();
}

void setImageResponseSerializer(const Ref<UIImageView>& view, const Ref<VNImageResponseSerializer>& serializer)
{
    setAssociatedObjectOf(view, &s_imageResponseSerializerKey, serializer);
}

} // namespace UIImageView_VNNetworking
