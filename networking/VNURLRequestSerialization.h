#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "net/NSMutableURLRequest.h"

// Applies parameters to a request: answers a new request, leaving the given one unchanged.
// A failure answers nil or a request without body and, when `error` is given, fills it.
class VNURLRequestSerialization {
public:
    virtual ~VNURLRequestSerialization() = default;
    virtual Ref<NSMutableURLRequest> requestBySerializingRequestWithParametersError(
        const Ref<NSURLRequest>& request, const Value& parameters, Ref<NSError>* error)
        = 0;
};
