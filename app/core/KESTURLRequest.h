#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <functional>

class NSError;
class NSOperationQueue;
class NSURLRequest;
class NSURLResponse;

// Sends one JSON request asynchronously and hands the decoded answer to a block on the given
// queue: a transport or decoding error goes to failure, a 200 or 201 answer to success, any other
// status to neither.
class KESTURLRequest : public NSObject {
    VX_OBJECT(KESTURLRequest, NSObject)
public:
    using Success = std::function<void(const Ref<NSURLResponse>&, const Value& json)>;
    using Failure = std::function<void(const Ref<NSError>&)>;

    explicit KESTURLRequest(Passkey);
    static Ref<KESTURLRequest> initWithJSONRequest(
        const Ref<NSURLRequest>& request, const Ref<NSOperationQueue>& queue, Success success, Failure failure);
};
