#include "networking/VNXMLParserResponseSerializer.h"

#include "foundation/NSCoder.h"
#include "foundation/NSError.h"
#include "foundation/NSXMLParser.h"
#include "networking/VNResponseValidation.h"

VX_REGISTER_CODING_CLASS(VNXMLParserResponseSerializer);

Ref<VNXMLParserResponseSerializer> VNXMLParserResponseSerializer::init()
{
    auto serializer = make<VNXMLParserResponseSerializer>();
    serializer->initialize();
    serializer->setAcceptableContentTypes(std::set<std::string> { "application/xml", "text/xml" });
    return serializer;
}

Value VNXMLParserResponseSerializer::responseObjectForResponseDataError(
    const Ref<NSURLResponse>& response, const Value& data, Ref<NSError>* error)
{
    if (!VNResponseValidation::validateBeforeParsing(*this, response, data, error))
        return nullptr;
    auto parser = NSXMLParser::initWithData(data);
    return parser ? Value(parser) : Value();
}

Ref<VNHTTPResponseSerializer> VNXMLParserResponseSerializer::copy() const
{
    auto serializer = init();
    serializer->setAcceptableStatusCodes(acceptableStatusCodes() ? acceptableStatusCodes()->copy() : nullptr);
    serializer->setAcceptableContentTypes(acceptableContentTypes());
    return serializer;
}

Ref<VNXMLParserResponseSerializer> VNXMLParserResponseSerializer::initWithCoder(NSCoder& coder)
{
    auto serializer = init();
    serializer->decodeBaseWithCoder(coder);
    return serializer;
}
