#pragma once

#include "foundation/FoundationForward.h"
#include "foundation/Value.h"
#include "net/NetForward.h"

// The error domain of the networking layer, and the user-info key under which its validation
// errors carry the response that failed.
inline constexpr const char* VNNetworkingErrorDomain = "VNNetworkingErrorDomain";
inline constexpr const char* VNNetworkingOperationFailingURLResponseErrorKey
    = "VNNetworkingOperationFailingURLResponseErrorKey";

// Turns a response and its body into the object a caller receives. Implementations never
// throw; they answer nil and/or fill `error` (when one is given).
class VNURLResponseSerialization {
public:
    virtual ~VNURLResponseSerialization() = default;
    virtual Value responseObjectForResponseDataError(
        const Ref<NSURLResponse>& response, const Value& data, Ref<NSError>* error)
        = 0;
};
