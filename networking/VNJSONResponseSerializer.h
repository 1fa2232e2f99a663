#pragma once

#include "networking/VNHTTPResponseSerializer.h"

// Reads a JSON body ("application/json", "text/json", "text/javascript"). An unacceptable
// status code does not stop parsing, so an error body reaches the caller with the error.
class VNJSONResponseSerializer : public VNHTTPResponseSerializer {
    VX_OBJECT(VNJSONResponseSerializer, VNHTTPResponseSerializer)
public:
    explicit VNJSONResponseSerializer(Passkey key)
        : VNHTTPResponseSerializer(key)
    {
    }

    static Ref<VNJSONResponseSerializer> init();
    static Ref<VNJSONResponseSerializer> serializer() { return serializerWithReadingOptions(0); }
    static Ref<VNJSONResponseSerializer> serializerWithReadingOptions(uint32_t readingOptions);

    uint32_t readingOptions() const { return m_readingOptions; }
    void setReadingOptions(uint32_t options) { m_readingOptions = options; }

    Value responseObjectForResponseDataError(
        const Ref<NSURLResponse>& response, const Value& data, Ref<NSError>* error) override;
    Ref<VNHTTPResponseSerializer> copy() const override;
    static Ref<VNJSONResponseSerializer> initWithCoder(NSCoder& coder);
    void encodeWithCoder(NSCoder& coder) override;

private:
    uint32_t m_readingOptions { 0 };
};
