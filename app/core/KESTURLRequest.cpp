#include "app/core/KESTURLRequest.h"

#include "foundation/NSError.h"
#include "foundation/NSJSONSerialization.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSURLConnection.h"

VX_REGISTER_CLASS(KESTURLRequest);

KESTURLRequest::KESTURLRequest(Passkey key)
    : NSObject(key)
{
}

Ref<KESTURLRequest> KESTURLRequest::initWithJSONRequest(
    const Ref<NSURLRequest>& request, const Ref<NSOperationQueue>& queue, Success success, Failure failure)
{
    NSURLConnection::sendAsynchronousRequestQueueCompletionHandler(request, queue,
        [success = std::move(success), failure = std::move(failure)](
            const Ref<NSURLResponse>& response, const Value& data, const Ref<NSError>& error) {
            if (error) {
                if (failure)
                    failure(error);
                return;
            }
            auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
            int32_t status = http ? http->statusCode() : 0;
            if (status != 200 && status != 201)
                return;
            Ref<NSError> decodeError;
            Value json = data.isData() ? NSJSONSerialization::JSONObjectWithData(
                             data.bytes(), NSJSONSerialization::NSJSONReadingMutableContainers, &decodeError)
                                       : Value();
            if (decodeError || json.isNil()) {
                if (failure)
                    failure(decodeError);
                return;
            }
            if (success)
                success(response, json);
        });
    return make<KESTURLRequest>();
}
