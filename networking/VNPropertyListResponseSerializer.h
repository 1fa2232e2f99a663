#pragma once

#include "networking/VNHTTPResponseSerializer.h"

// Reads a property-list body ("application/x-plist").
class VNPropertyListResponseSerializer : public VNHTTPResponseSerializer {
    VX_OBJECT(VNPropertyListResponseSerializer, VNHTTPResponseSerializer)
public:
    explicit VNPropertyListResponseSerializer(Passkey key)
        : VNHTTPResponseSerializer(key)
    {
    }

    // Format 0; `serializer` sets the XML format (100).
    static Ref<VNPropertyListResponseSerializer> init();
    static Ref<VNPropertyListResponseSerializer> serializer() { return serializerWithFormatReadOptions(100, 0); }
    static Ref<VNPropertyListResponseSerializer> serializerWithFormatReadOptions(uint32_t format, uint32_t readOptions);
    // {"plist"}, the same set on every call.
    static const std::set<std::string>& acceptablePathExtensions();

    // Kept for writing; reading finds the format itself.
    uint32_t format() const { return m_format; }
    void setFormat(uint32_t format) { m_format = format; }
    uint32_t readOptions() const { return m_readOptions; }
    void setReadOptions(uint32_t options) { m_readOptions = options; }

    Value responseObjectForResponseDataError(
        const Ref<NSURLResponse>& response, const Value& data, Ref<NSError>* error) override;
    Ref<VNHTTPResponseSerializer> copy() const override;
    static Ref<VNPropertyListResponseSerializer> initWithCoder(NSCoder& coder);
    void encodeWithCoder(NSCoder& coder) override;

private:
    uint32_t m_format { 0 };
    uint32_t m_readOptions { 0 };
};
