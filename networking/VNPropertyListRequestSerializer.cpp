#include "networking/VNPropertyListRequestSerializer.h"

#include "foundation/NSCoder.h"

VX_REGISTER_CODING_CLASS(VNPropertyListRequestSerializer);

Ref<VNPropertyListRequestSerializer> VNPropertyListRequestSerializer::serializer()
{
    return serializerWithFormatWriteOptions(NSPropertyListSerialization::NSPropertyListXMLFormat_v1_0, 0);
}

Ref<VNPropertyListRequestSerializer> VNPropertyListRequestSerializer::serializerWithFormatWriteOptions(
    uint32_t format, uint32_t writeOptions)
{
    auto serializer = make<VNPropertyListRequestSerializer>();
    serializer->initialize();
    serializer->m_format = format;
    serializer->m_writeOptions = writeOptions;
    return serializer;
}

Ref<NSMutableURLRequest> VNPropertyListRequestSerializer::requestBySerializingRequestWithParametersError(
    const Ref<NSURLRequest>& request, const Value& parameters, Ref<NSError>* error)
{
    if (!request)
        return nullptr;
    if (encodesParametersInURI(request))
        return VNHTTPRequestSerializer::requestBySerializingRequestWithParametersError(request, parameters, error);

    auto mutableRequest = copyWithDefaultHeaders(request);
    mutableRequest->setValueForHTTPHeaderField(std::string("application/x-plist; charset=utf-8"), "Content-Type");
    if (!parameters.isNil()) {
        mutableRequest->setHTTPBody(NSPropertyListSerialization::dataWithPropertyList(parameters,
            static_cast<NSPropertyListSerialization::NSPropertyListFormat>(m_format), m_writeOptions, error));
    }
    return mutableRequest;
}

void VNPropertyListRequestSerializer::encodeWithCoder(NSCoder& coder)
{
    VNHTTPRequestSerializer::encodeWithCoder(coder);
    coder.encodeIntegerForKey(static_cast<NSInteger>(m_format), "format");
    coder.encodeIntegerForKey(static_cast<NSInteger>(m_writeOptions), "writeOptions");
}

Ref<VNPropertyListRequestSerializer> VNPropertyListRequestSerializer::initWithCoder(NSCoder& coder)
{
    auto serializer = init();
    serializer->decodeBaseState(coder);
    serializer->m_format = static_cast<uint32_t>(coder.decodeIntegerForKey("format"));
    serializer->m_writeOptions = static_cast<uint32_t>(coder.decodeIntegerForKey("writeOptions"));
    return serializer;
}

Ref<VNHTTPRequestSerializer> VNPropertyListRequestSerializer::copy() const
{
    return serializerWithFormatWriteOptions(m_format, m_writeOptions);
}
