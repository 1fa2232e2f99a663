#include "networking/VNJSONRequestSerializer.h"

#include "foundation/NSJSONSerialization.h"

VX_REGISTER_CODING_CLASS(VNJSONRequestSerializer);

Ref<VNJSONRequestSerializer> VNJSONRequestSerializer::initWithCoder(NSCoder& coder)
{
    auto serializer = init();
    serializer->decodeBaseState(coder);
    return serializer;
}

Ref<VNJSONRequestSerializer> VNJSONRequestSerializer::serializerWithWritingOptions(uint32_t writingOptions)
{
    auto serializer = make<VNJSONRequestSerializer>();
    serializer->initialize();
    serializer->m_writingOptions = writingOptions;
    return serializer;
}

Ref<NSMutableURLRequest> VNJSONRequestSerializer::requestBySerializingRequestWithParametersError(
    const Ref<NSURLRequest>& request, const Value& parameters, Ref<NSError>* error)
{
    if (!request)
        return nullptr;
    if (encodesParametersInURI(request))
        return VNHTTPRequestSerializer::requestBySerializingRequestWithParametersError(request, parameters, error);

    auto mutableRequest = copyWithDefaultHeaders(request);
    if (!parameters.isNil()) {
        mutableRequest->setValueForHTTPHeaderField(std::string("application/json; charset=utf-8"), "Content-Type");
        mutableRequest->setHTTPBody(NSJSONSerialization::dataWithJSONObject(parameters, m_writingOptions, error));
    }
    return mutableRequest;
}
