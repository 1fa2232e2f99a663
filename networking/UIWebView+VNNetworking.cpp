#include "networking/UIWebView+VNNetworking.h"

#include "foundation/Dispatch.h"
#include "foundation/NSString.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSURL.h"
#include "networking/UIWebView+_VNNetworking.h"
#include "networking/VNAssociatedObject.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNHTTPRequestSerializer.h"
#include "networking/VNHTTPResponseSerializer.h"

namespace UIWebView_VNNetworking {

using namespace UIWebView__VNNetworking;

namespace {

char s_requestSerializerKey;
char s_responseSerializerKey;

Ref<VNHTTPRequestSerializer> defaultRequestSerializer()
{
    static dispatch_once_t s_once;
    static Ref<VNHTTPRequestSerializer> s_serializer;
    dispatch_once(&s_once, [] { s_serializer = VNHTTPRequestSerializer::serializer(); });
    return s_serializer;
}

Ref<VNHTTPResponseSerializer> defaultResponseSerializer()
{
    static dispatch_once_t s_once;
    static Ref<VNHTTPResponseSerializer> s_serializer;
    dispatch_once(&s_once, [] { s_serializer = VNHTTPResponseSerializer::serializer(); });
    return s_serializer;
}

NSStringEncoding pageEncoding(const Ref<NSHTTPURLResponse>& response)
{
    if (response && response->textEncodingName()) {
        if (auto named = NSString::encodingFromIANACharsetName(*response->textEncodingName()))
            return *named;
    }
    return NSUTF8StringEncoding;
}

} // namespace

Ref<VNHTTPRequestSerializer> requestSerializer(const Ref<UIWebView>& view)
{
    if (auto own = associatedObjectOf<VNHTTPRequestSerializer>(view, &s_requestSerializerKey))
        return own;
    return defaultRequestSerializer();
}

void setRequestSerializer(const Ref<UIWebView>& view, const Ref<VNHTTPRequestSerializer>& serializer)
{
    setAssociatedObjectOf(view, &s_requestSerializerKey, serializer);
}

Ref<VNHTTPResponseSerializer> responseSerializer(const Ref<UIWebView>& view)
{
    if (auto own = associatedObjectOf<VNHTTPResponseSerializer>(view, &s_responseSerializerKey))
        return own;
    return defaultResponseSerializer();
}

void setResponseSerializer(const Ref<UIWebView>& view, const Ref<VNHTTPResponseSerializer>& serializer)
{
    setAssociatedObjectOf(view, &s_responseSerializerKey, serializer);
}

void loadRequestMIMETypeTextEncodingNameProgressSuccessFailure(const Ref<UIWebView>& view,
    const Ref<NSURLRequest>& request, const std::optional<std::string>& MIMEType,
    const std::optional<std::string>& textEncodingName, ProgressBlock progress, DataSuccessBlock success,
    FailureBlock failure)
{
    if (!view)
        return;
    if (auto previous = vn_HTTPRequestOperation(view))
        previous->cancel();

    Ref<NSURLRequest> serialized = request;
    if (auto withHeaders
        = requestSerializer(view)->requestBySerializingRequestWithParametersError(request, Value(), nullptr))
        serialized = withHeaders;

    auto operation = VNHTTPRequestOperation::initWithRequest(serialized);
    vn_setHTTPRequestOperation(view, operation);
    operation->setResponseSerializer(responseSerializer(view));
    operation->setDownloadProgressBlock(std::move(progress));

    Weak<UIWebView> weakView = view;
    operation->setCompletionBlockWithSuccessFailure(
        [weakView, MIMEType, textEncodingName, success](const Ref<VNHTTPRequestOperation>& finished, const Value&) {
            auto response = finished->HTTPResponse();
            Value data = success ? success(response, finished->responseData()) : finished->responseData();
            auto view = weakView.lock();
            if (!view)
                return;
            std::string mime = MIMEType.value_or(response && response->MIMEType() ? *response->MIMEType() : "");
            std::string encoding = textEncodingName.value_or(
                response && response->textEncodingName() ? *response->textEncodingName() : "");
            view->loadDataMIMETypeTextEncodingNameBaseURL(data, mime, encoding, response ? response->URL() : nullptr);
        },
        [failure](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>& error) {
            if (failure)
                failure(error);
        });

    operation->start();
}

void loadRequestProgressSuccessFailure(const Ref<UIWebView>& view, const Ref<NSURLRequest>& request,
    ProgressBlock progress, TextSuccessBlock success, FailureBlock failure)
{
    DataSuccessBlock asText;
    if (success) {
        asText = [success](const Ref<NSHTTPURLResponse>& response, const Value& data) -> Value {
            NSStringEncoding encoding = pageEncoding(response);
            std::optional<std::string> html;
            if (data.isData())
                html = NSString::stringWithData(data.bytes(), encoding);
            auto shown = success(response, html);
            if (!shown)
                return Value();
            auto bytes = NSString::dataUsingEncoding(*shown, encoding);
            return bytes ? Value::data(std::move(*bytes)) : Value();
        };
    }
    loadRequestMIMETypeTextEncodingNameProgressSuccessFailure(
        view, request, std::nullopt, std::nullopt, std::move(progress), std::move(asText), std::move(failure));
}

} // namespace UIWebView_VNNetworking
