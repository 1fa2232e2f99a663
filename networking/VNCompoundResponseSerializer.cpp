#include "VNCompoundResponseSerializer.h"

#include "NSError.h"

VX_REGISTER_CLASS(VNCompoundResponseSerializer);

Ref<VNCompoundResponseSerializer> VNCompoundResponseSerializer::init()
{
    auto serializer = make<VNCompoundResponseSerializer>();
    serializer->initialize();
    return serializer;
}

Ref<VNCompoundResponseSerializer> VNCompoundResponseSerializer::compoundSerializerWithResponseSerializers(
    std::vector<Ref<VNURLResponseSerialization>> serializers)
{
    auto serializer = init();
    serializer->setResponseSerializers(std::move(serializers));
    return serializer;
}

Value VNCompoundResponseSerializer::responseObjectForResponseDataError(const Ref<NSURLResponse>& response,
    const Value& data, Ref<NSError>* error)
{
    for (const auto& candidate : m_responseSerializers) {
        // Only HTTP response serializers take part; other implementations are skipped.
        if (!std::dynamic_pointer_cast<VNHTTPResponseSerializer>(candidate))
            continue;
        Ref<NSError> serializerError;
        Value object = candidate->responseObjectForResponseDataError(response, data, &serializerError);
        if (!object.isNil()) {
            if (error)
                *error = serializerError;
            return object;
        }
    }
    return VNHTTPResponseSerializer::responseObjectForResponseDataError(response, data, error);
}

Ref<VNHTTPResponseSerializer> VNCompoundResponseSerializer::copy() const
{
    auto serializer = init();
    serializer->setResponseSerializers(m_responseSerializers);
    return serializer;
}
