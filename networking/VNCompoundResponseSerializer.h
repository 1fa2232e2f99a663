#pragma once

#include "networking/VNHTTPResponseSerializer.h"

#include <vector>

// Tries each of its serializers in order and answers the first object one of them makes;
// when none does, validates with its own settings and answers the data.
class VNCompoundResponseSerializer : public VNHTTPResponseSerializer {
    VX_OBJECT(VNCompoundResponseSerializer, VNHTTPResponseSerializer)
public:
    explicit VNCompoundResponseSerializer(Passkey key)
        : VNHTTPResponseSerializer(key)
    {
    }

    static Ref<VNCompoundResponseSerializer> init();
    static Ref<VNCompoundResponseSerializer> serializer() { return init(); }
    static Ref<VNCompoundResponseSerializer> compoundSerializerWithResponseSerializers(
        std::vector<Ref<VNURLResponseSerialization>> serializers);

    const std::vector<Ref<VNURLResponseSerialization>>& responseSerializers() const { return m_responseSerializers; }
    void setResponseSerializers(std::vector<Ref<VNURLResponseSerialization>> serializers)
    {
        m_responseSerializers = std::move(serializers);
    }

    Value responseObjectForResponseDataError(
        const Ref<NSURLResponse>& response, const Value& data, Ref<NSError>* error) override;
    Ref<VNHTTPResponseSerializer> copy() const override;
    // Archives the serializers that can be archived.
    static Ref<VNCompoundResponseSerializer> initWithCoder(NSCoder& coder);
    void encodeWithCoder(NSCoder& coder) override;

private:
    std::vector<Ref<VNURLResponseSerialization>> m_responseSerializers;
};
