#include "networking/VNPropertyListResponseSerializer.h"

#include "foundation/NSCoder.h"
#include "foundation/NSError.h"
#include "foundation/NSPropertyListSerialization.h"
#include "networking/VNResponseValidation.h"

VX_REGISTER_CODING_CLASS(VNPropertyListResponseSerializer);

Ref<VNPropertyListResponseSerializer> VNPropertyListResponseSerializer::init()
{
    auto serializer = make<VNPropertyListResponseSerializer>();
    serializer->initialize();
    serializer->setAcceptableContentTypes(std::set<std::string> { "application/x-plist" });
    return serializer;
}

Ref<VNPropertyListResponseSerializer> VNPropertyListResponseSerializer::serializerWithFormatReadOptions(
    uint32_t format, uint32_t readOptions)
{
    auto serializer = init();
    serializer->setFormat(format);
    serializer->setReadOptions(readOptions);
    return serializer;
}

const std::set<std::string>& VNPropertyListResponseSerializer::acceptablePathExtensions()
{
    static const std::set<std::string> s_extensions { "plist" };
    return s_extensions;
}

Value VNPropertyListResponseSerializer::responseObjectForResponseDataError(
    const Ref<NSURLResponse>& response, const Value& data, Ref<NSError>* error)
{
    if (!VNResponseValidation::validateBeforeParsing(*this, response, data, error))
        return nullptr;
    if (!data.isData())
        return nullptr;
    return NSPropertyListSerialization::propertyListWithData(data, m_readOptions, nullptr, error);
}

Ref<VNPropertyListResponseSerializer> VNPropertyListResponseSerializer::initWithCoder(NSCoder& coder)
{
    auto serializer = init();
    serializer->decodeBaseWithCoder(coder);
    serializer->setFormat(uint32_t(coder.decodeIntegerForKey("format")));
    serializer->setReadOptions(uint32_t(coder.decodeIntegerForKey("readOptions")));
    return serializer;
}

void VNPropertyListResponseSerializer::encodeWithCoder(NSCoder& coder)
{
    VNHTTPResponseSerializer::encodeWithCoder(coder);
    coder.encodeIntegerForKey(NSInteger(m_format), "format");
    coder.encodeIntegerForKey(NSInteger(m_readOptions), "readOptions");
}

Ref<VNHTTPResponseSerializer> VNPropertyListResponseSerializer::copy() const
{
    auto serializer = init();
    serializer->setFormat(m_format);
    serializer->setReadOptions(m_readOptions);
    return serializer;
}
