#pragma once

#include "foundation/FoundationForward.h"
#include "foundation/Value.h"
#include "net/NetForward.h"

class VNHTTPResponseSerializer;

// The validation step every response serializer runs before it parses a body.
namespace VNResponseValidation {

// True when `error` holds the content-type failure that ends a serializer's work.
bool isContentTypeFailure(const Ref<NSError>& error);

// Validates `response` and `data` with `serializer`, writing a failure to `error` when one is
// given. Answers false only for the content-type failure, after which the serializer answers nil;
// after any other failure the body is still parsed, and the object comes back with the error.
bool validateBeforeParsing(const VNHTTPResponseSerializer& serializer, const Ref<NSURLResponse>& response,
    const Value& data, Ref<NSError>* error);

} // namespace VNResponseValidation
