#pragma once

#include "networking/VNHTTPRequestSerializer.h"

// Sends the parameters as a JSON body ("application/json; charset=utf-8") for methods that
// carry a body; GET, HEAD and DELETE keep them in the query string. Any thread.
class VNJSONRequestSerializer : public VNHTTPRequestSerializer {
    VX_OBJECT(VNJSONRequestSerializer, VNHTTPRequestSerializer)
public:
    explicit VNJSONRequestSerializer(Passkey key)
        : VNHTTPRequestSerializer(key)
    {
    }

    static Ref<VNJSONRequestSerializer> serializer() { return serializerWithWritingOptions(0); }
    static Ref<VNJSONRequestSerializer> serializerWithWritingOptions(uint32_t writingOptions);
    static Ref<VNJSONRequestSerializer> init() { return serializerWithWritingOptions(0); }

    uint32_t writingOptions() const { return m_writingOptions; }
    void setWritingOptions(uint32_t options) { m_writingOptions = options; }
    uint32_t format() const { return m_format; }
    void setFormat(uint32_t format) { m_format = format; }

    Ref<NSMutableURLRequest> requestBySerializingRequestWithParametersError(
        const Ref<NSURLRequest>& request, const Value& parameters, Ref<NSError>* error) override;

    // Decodes the base serializer's state only; the writing options come back as 0.
    static Ref<VNJSONRequestSerializer> initWithCoder(NSCoder& coder);

protected:
    Ref<VNHTTPRequestSerializer> makeFresh() const override { return init(); }

private:
    uint32_t m_writingOptions { 0 };
    uint32_t m_format { 0 };
};
