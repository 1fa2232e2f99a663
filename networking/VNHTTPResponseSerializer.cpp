#include "networking/VNHTTPResponseSerializer.h"

#include "foundation/NSBundle.h"
#include "foundation/NSCoder.h"
#include "foundation/NSError.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"
#include "networking/VNResponseValidation.h"

VX_REGISTER_CODING_CLASS(VNHTTPResponseSerializer);

namespace {

std::string localized(const std::string& key)
{
    auto bundle = NSBundle::mainBundle();
    return bundle ? bundle->localizedStringForKey(key, "", "VNNetworking") : key;
}

Ref<NSError> validationError(int32_t code, const std::string& message, const Ref<NSURLResponse>& response)
{
    std::vector<std::pair<Value, Value>> info { { Value(NSLocalizedDescriptionKey), Value(message) } };
    if (response->URL())
        info.emplace_back(Value(NSURLErrorFailingURLErrorKey), Value(response->URL()));
    info.emplace_back(Value(VNNetworkingOperationFailingURLResponseErrorKey), Value(response));
    return NSError::errorWithDomain(VNNetworkingErrorDomain, code, Value::dictionary(std::move(info)));
}

} // namespace

VNHTTPResponseSerializer::VNHTTPResponseSerializer(Passkey key)
    : NSObject(key)
{
}

Ref<VNHTTPResponseSerializer> VNHTTPResponseSerializer::init()
{
    auto serializer = make<VNHTTPResponseSerializer>();
    serializer->initialize();
    return serializer;
}

void VNHTTPResponseSerializer::initialize()
{
    m_stringEncoding = NSUTF8StringEncoding;
    m_acceptableStatusCodes = NSIndexSet::indexSetWithIndexesInRange(200, 100);
    m_acceptableContentTypes = std::nullopt;
}

bool VNHTTPResponseSerializer::validateResponseDataError(
    const Ref<NSURLResponse>& response, const Value& data, Ref<NSError>* error) const
{
    auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
    if (!http)
        return true;
    int32_t statusCode = http->statusCode();
    if (m_acceptableStatusCodes
        && (statusCode < 0 || !m_acceptableStatusCodes->containsIndex(NSUInteger(statusCode)))) {
        if (error) {
            auto message = NSString::stringWithFormat(localized("Request failed: %@ (%d)"),
                NSHTTPURLResponse::localizedStringForStatusCode(statusCode), statusCode);
            *error = validationError(NSURLErrorBadServerResponse, message, response);
        }
        return false;
    }
    bool hasBody = data.isData() && !data.bytes().empty();
    if (m_acceptableContentTypes && hasBody) {
        // A response without a MIME type matches no acceptable type.
        const auto& mimeType = http->MIMEType();
        if (!mimeType || !m_acceptableContentTypes->contains(*mimeType)) {
            if (error) {
                auto message = NSString::stringWithFormat(
                    localized("Request failed: unacceptable content-type: %@"), mimeType ? Value(*mimeType) : Value());
                *error = validationError(NSURLErrorCannotDecodeContentData, message, response);
            }
            return false;
        }
    }
    return true;
}

Value VNHTTPResponseSerializer::responseObjectForResponseDataError(
    const Ref<NSURLResponse>& response, const Value& data, Ref<NSError>* error)
{
    validateResponseDataError(response, data, error);
    return data;
}

Ref<VNHTTPResponseSerializer> VNHTTPResponseSerializer::copy() const
{
    auto serializer = init();
    serializer->m_acceptableStatusCodes = m_acceptableStatusCodes ? m_acceptableStatusCodes->copy() : nullptr;
    serializer->m_acceptableContentTypes = m_acceptableContentTypes;
    return serializer;
}

Ref<VNHTTPResponseSerializer> VNHTTPResponseSerializer::initWithCoder(NSCoder& coder)
{
    auto serializer = init();
    serializer->decodeBaseWithCoder(coder);
    return serializer;
}

void VNHTTPResponseSerializer::decodeBaseWithCoder(NSCoder& coder)
{
    m_acceptableStatusCodes = coder.decodeObjectForKey("acceptableStatusCodes").objectAs<NSIndexSet>();
    Value types = coder.decodeObjectForKey("acceptableContentTypes");
    if (types.isArray()) {
        std::set<std::string> decoded;
        for (size_t i = 0; i < types.count(); ++i) {
            if (types[i].isString())
                decoded.insert(types[i].stringValue());
        }
        m_acceptableContentTypes = std::move(decoded);
    } else {
        m_acceptableContentTypes = std::nullopt;
    }
}

void VNHTTPResponseSerializer::encodeWithCoder(NSCoder& coder)
{
    coder.encodeObjectForKey(
        m_acceptableStatusCodes ? Value(m_acceptableStatusCodes) : Value(), "acceptableStatusCodes");
    if (m_acceptableContentTypes) {
        std::vector<Value> types(m_acceptableContentTypes->begin(), m_acceptableContentTypes->end());
        coder.encodeObjectForKey(Value::array(std::move(types)), "acceptableContentTypes");
    } else {
        coder.encodeObjectForKey(Value(), "acceptableContentTypes");
    }
}

bool VNHTTPResponseSerializer::isContentTypeFailure(const Ref<NSError>& error)
{
    return VNResponseValidation::isContentTypeFailure(error);
}
