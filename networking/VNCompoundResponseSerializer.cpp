#include "networking/VNCompoundResponseSerializer.h"

#include "foundation/NSCoder.h"
#include "foundation/NSError.h"

VX_REGISTER_CODING_CLASS(VNCompoundResponseSerializer);

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

Value VNCompoundResponseSerializer::responseObjectForResponseDataError(
    const Ref<NSURLResponse>& response, const Value& data, Ref<NSError>* error)
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

Ref<VNCompoundResponseSerializer> VNCompoundResponseSerializer::initWithCoder(NSCoder& coder)
{
    auto serializer = init();
    serializer->decodeBaseWithCoder(coder);
    Value archived = coder.decodeObjectForKey("responseSerializers");
    std::vector<Ref<VNURLResponseSerialization>> serializers;
    for (size_t i = 0; archived.isArray() && i < archived.count(); ++i) {
        if (auto each = archived[i].objectAs<VNHTTPResponseSerializer>())
            serializers.push_back(each);
    }
    serializer->setResponseSerializers(std::move(serializers));
    return serializer;
}

void VNCompoundResponseSerializer::encodeWithCoder(NSCoder& coder)
{
    VNHTTPResponseSerializer::encodeWithCoder(coder);
    std::vector<Value> serializers;
    for (const auto& each : m_responseSerializers) {
        if (auto object = std::dynamic_pointer_cast<VNHTTPResponseSerializer>(each))
            serializers.push_back(Value(object));
    }
    coder.encodeObjectForKey(Value::array(std::move(serializers)), "responseSerializers");
}

Ref<VNHTTPResponseSerializer> VNCompoundResponseSerializer::copy() const
{
    auto serializer = init();
    serializer->setResponseSerializers(m_responseSerializers);
    return serializer;
}
