#include "networking/VNResponseValidation.h"

#include "foundation/NSError.h"
#include "net/NSURLError.h"
#include "networking/VNHTTPResponseSerializer.h"

namespace VNResponseValidation {

bool isContentTypeFailure(const Ref<NSError>& error)
{
    return error && error->code() == NSURLErrorCannotDecodeContentData && error->domain() == VNNetworkingErrorDomain;
}

bool validateBeforeParsing(const VNHTTPResponseSerializer& serializer, const Ref<NSURLResponse>& response,
    const Value& data, Ref<NSError>* error)
{
    Ref<NSError> validation;
    if (serializer.validateResponseDataError(response, data, &validation))
        return true;
    if (error)
        *error = validation;
    return !isContentTypeFailure(validation);
}

} // namespace VNResponseValidation
