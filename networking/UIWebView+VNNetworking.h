#pragma once

#include "net/NetForward.h"
#include "networking/VNURLConnectionOperation.h"
#include "uikit/UIWebView.h"

#include <functional>
#include <optional>
#include <string>

class NSHTTPURLResponse;
class VNHTTPRequestSerializer;
class VNHTTPResponseSerializer;

// Lets a web view load a page through an HTTP request operation and show the bytes it
// received. The request passes the view's request serializer first (its default header
// fields); the response is checked by the view's response serializer. Each view runs one page
// load at a time: a new call cancels the previous one. Main thread only; the blocks run on the
// main queue, the progress block as connection operations call download progress blocks.
namespace UIWebView_VNNetworking {

using ProgressBlock = VNURLConnectionOperation::ProgressBlock;
// Receives the response and the body; answers the data to show.
using DataSuccessBlock = std::function<Value(const Ref<NSHTTPURLResponse>& response, const Value& data)>;
// Receives the response and the page as text (nullopt when the body is not valid in the
// page's encoding); answers the text to show (nullopt shows an empty page).
using TextSuccessBlock = std::function<std::optional<std::string>(
    const Ref<NSHTTPURLResponse>& response, const std::optional<std::string>& html)>;
using FailureBlock = std::function<void(const Ref<NSError>& error)>;

// The view's own serializers, or shared plain ones when none is set.
Ref<VNHTTPRequestSerializer> requestSerializer(const Ref<UIWebView>& view);
void setRequestSerializer(const Ref<UIWebView>& view, const Ref<VNHTTPRequestSerializer>& serializer);
Ref<VNHTTPResponseSerializer> responseSerializer(const Ref<UIWebView>& view);
void setResponseSerializer(const Ref<UIWebView>& view, const Ref<VNHTTPResponseSerializer>& serializer);

// Loads the request and shows what the success block answers (the body itself without one),
// with the given MIME type and text encoding name or else the response's, and the response's
// URL as base URL. Failures, a cancellation by a later load included, go to the failure block.
void loadRequestMIMETypeTextEncodingNameProgressSuccessFailure(const Ref<UIWebView>& view,
    const Ref<NSURLRequest>& request, const std::optional<std::string>& MIMEType,
    const std::optional<std::string>& textEncodingName, ProgressBlock progress, DataSuccessBlock success,
    FailureBlock failure);
// The same with the response's MIME type and encoding. A success block sees the page as text,
// decoded with the encoding the response names (UTF-8 when it names none or one that is not
// known), and its answer is encoded back with that encoding.
void loadRequestProgressSuccessFailure(const Ref<UIWebView>& view, const Ref<NSURLRequest>& request,
    ProgressBlock progress, TextSuccessBlock success, FailureBlock failure);

} // namespace UIWebView_VNNetworking
