#pragma once

#include "foundation/NSPropertyListSerialization.h"
#include "networking/VNHTTPRequestSerializer.h"

// Sends the parameters as a property-list body ("application/x-plist; charset=utf-8") for
// methods that carry a body; GET, HEAD and DELETE keep them in the query string. Any thread.
class VNPropertyListRequestSerializer : public VNHTTPRequestSerializer {
    VX_OBJECT(VNPropertyListRequestSerializer, VNHTTPRequestSerializer)
public:
    explicit VNPropertyListRequestSerializer(Passkey key)
        : VNHTTPRequestSerializer(key)
    {
    }

    // XML format, no write options.
    static Ref<VNPropertyListRequestSerializer> serializer();
    static Ref<VNPropertyListRequestSerializer> serializerWithFormatWriteOptions(
        uint32_t format, uint32_t writeOptions);
    // Format 0, no write options.
    static Ref<VNPropertyListRequestSerializer> init() { return serializerWithFormatWriteOptions(0, 0); }

    uint32_t format() const { return m_format; }
    void setFormat(uint32_t format) { m_format = format; }
    uint32_t writeOptions() const { return m_writeOptions; }
    void setWriteOptions(uint32_t options) { m_writeOptions = options; }

    Ref<NSMutableURLRequest> requestBySerializingRequestWithParametersError(
        const Ref<NSURLRequest>& request, const Value& parameters, Ref<NSError>* error) override;

    void encodeWithCoder(NSCoder& coder) override;
    static Ref<VNPropertyListRequestSerializer> initWithCoder(NSCoder& coder);
    // A fresh serializer (default headers and style) with this one's format and options.
    Ref<VNHTTPRequestSerializer> copy() const override;

protected:
    Ref<VNHTTPRequestSerializer> makeFresh() const override { return init(); }

private:
    uint32_t m_format { 0 };
    uint32_t m_writeOptions { 0 };
};
