#include "networking/VNJSONResponseSerializer.h"

#include "foundation/NSCoder.h"
#include "foundation/NSError.h"
#include "foundation/NSJSONSerialization.h"
#include "net/NSURLError.h"
#include "net/NSURLResponse.h"
#include "networking/VNResponseValidation.h"

VX_REGISTER_CODING_CLASS(VNJSONResponseSerializer);

Ref<VNJSONResponseSerializer> VNJSONResponseSerializer::init()
{
    auto serializer = make<VNJSONResponseSerializer>();
    serializer->initialize();
    serializer->setAcceptableContentTypes(std::set<std::string> { "application/json", "text/json", "text/javascript" });
    return serializer;
}

Ref<VNJSONResponseSerializer> VNJSONResponseSerializer::serializerWithReadingOptions(uint32_t readingOptions)
{
    auto serializer = init();
    serializer->setReadingOptions(readingOptions);
    return serializer;
}

Value VNJSONResponseSerializer::responseObjectForResponseDataError(
    const Ref<NSURLResponse>& response, const Value& data, Ref<NSError>* error)
{
    if (!VNResponseValidation::validateBeforeParsing(*this, response, data, error))
        return nullptr;

    auto encoding = NSStringEncoding(stringEncoding());
    if (response && response->textEncodingName()) {
        if (auto named = NSString::encodingFromIANACharsetName(*response->textEncodingName()))
            encoding = *named;
    }

    if (!data.isData())
        return nullptr;
    auto text = NSString::stringWithData(data.bytes(), encoding);
    // Some servers answer an empty success with a single space.
    if (!text || *text == " ")
        return nullptr;

    // Decoded text is UTF-8 here; re-encoding checks it all the same, since a decoder that let
    // an unpaired surrogate through would otherwise hand the parser bytes it must refuse.
    auto utf8 = NSString::dataUsingEncoding(*text, NSUTF8StringEncoding);
    if (!utf8) {
        if (error) {
            *error = NSError::errorWithDomain(VNNetworkingErrorDomain, NSURLErrorCannotDecodeContentData,
                Value::dictionary({
                    { Value(NSLocalizedDescriptionKey), Value("Data failed decoding as a UTF-8 string") },
                    { Value(NSLocalizedFailureReasonErrorKey),
                        Value(NSString::stringWithFormat("Could not decode string: %@", *text)) },
                }));
        }
        return nullptr;
    }
    if (utf8->empty())
        return nullptr;
    return NSJSONSerialization::JSONObjectWithData(*utf8, m_readingOptions, error);
}

Ref<VNJSONResponseSerializer> VNJSONResponseSerializer::initWithCoder(NSCoder& coder)
{
    auto serializer = init();
    serializer->decodeBaseWithCoder(coder);
    serializer->setReadingOptions(uint32_t(coder.decodeIntegerForKey("readingOptions")));
    return serializer;
}

void VNJSONResponseSerializer::encodeWithCoder(NSCoder& coder)
{
    VNHTTPResponseSerializer::encodeWithCoder(coder);
    coder.encodeIntegerForKey(NSInteger(m_readingOptions), "readingOptions");
}

Ref<VNHTTPResponseSerializer> VNJSONResponseSerializer::copy() const
{
    auto serializer = init();
    serializer->setReadingOptions(m_readingOptions);
    return serializer;
}
