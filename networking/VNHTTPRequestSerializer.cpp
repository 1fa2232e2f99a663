#include "networking/VNHTTPRequestSerializer.h"

#include "foundation/NSBundle.h"
#include "foundation/NSCoder.h"
#include "foundation/NSData+Base64.h"
#include "foundation/NSLocale.h"
#include "net/NSURL.h"
#include "networking/VNQueryStringPair.h"
#include "networking/VNStreamingMultipartFormData.h"
#include "uikit/UIDevice.h"
#include "uikit/UIScreen.h"

VX_REGISTER_CODING_CLASS(VNHTTPRequestSerializer);

namespace {

std::string acceptLanguageHeader()
{
    std::vector<std::string> entries;
    const auto languages = NSLocale::preferredLanguages();
    for (size_t i = 0; i < languages.size(); ++i) {
        float q = 1.0f - 0.1f * static_cast<float>(i);
        entries.push_back(NSString::stringWithFormat("%@;q=%0.1g", languages[i], static_cast<double>(q)));
        if (q <= 0.5f)
            break;
    }
    return NSString::componentsJoinedByString(entries, ", ");
}

std::string userAgentHeader()
{
    auto bundle = NSBundle::mainBundle();
    std::string name;
    std::string version;
    if (bundle) {
        Value executable = bundle->objectForInfoDictionaryKey("CFBundleExecutable");
        if (executable.isString())
            name = executable.string();
        else
            name = bundle->objectForInfoDictionaryKey("CFBundleIdentifier").stringValue();
        version = bundle->objectForInfoDictionaryKey("CFBundleVersion").stringValue();
    }
    auto device = UIDevice::currentDevice();
    auto screen = UIScreen::mainScreen();
    double scale = screen ? static_cast<double>(screen->scale()) : 1.0;
    std::string agent = NSString::stringWithFormat("%@/%@ (%@; iOS %@; Scale/%0.2f)", name, version,
        device ? device->model() : std::string(), device ? device->systemVersion() : std::string(), scale);
    bool ascii = std::all_of(agent.begin(), agent.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii) {
        if (auto transliterated
            = NSString::stringByApplyingTransform(agent, "Any-Latin; Latin-ASCII; [:^ASCII:] Remove"))
            agent = *transliterated;
    }
    return agent;
}

} // namespace

Ref<VNHTTPRequestSerializer> VNHTTPRequestSerializer::init()
{
    auto serializer = make<VNHTTPRequestSerializer>();
    serializer->initialize();
    return serializer;
}

void VNHTTPRequestSerializer::initialize()
{
    m_stringEncoding = NSUTF8StringEncoding;
    m_headers = Value::mutableDictionary();
    m_headers.setObjectForKey(Value(acceptLanguageHeader()), Value("Accept-Language"));
    m_headers.setObjectForKey(Value(userAgentHeader()), Value("User-Agent"));
    m_methodsInURI = { "GET", "HEAD", "DELETE" };
}

void VNHTTPRequestSerializer::setValueForHTTPHeaderField(
    const std::optional<std::string>& value, const std::string& field)
{
    if (value)
        m_headers.setObjectForKey(Value(*value), Value(field));
    else
        m_headers.removeObjectForKey(Value(field));
}

void VNHTTPRequestSerializer::setAuthorizationHeaderFieldWithUsernamePassword(
    const std::string& username, const std::string& password)
{
    std::string credentials = NSString::stringWithFormat("%@:%@", username, password);
    std::string encoded = NSData_Base64::base64EncodedString(credentials.data(), credentials.size());
    setValueForHTTPHeaderField(NSString::stringWithFormat("Basic %@", encoded), "Authorization");
}

void VNHTTPRequestSerializer::setAuthorizationHeaderFieldWithToken(const std::string& token)
{
    setValueForHTTPHeaderField(NSString::stringWithFormat("Token token=\"%@\"", token), "Authorization");
}

void VNHTTPRequestSerializer::clearAuthorizationHeader()
{
    m_headers.removeObjectForKey(Value("Authorization"));
}

void VNHTTPRequestSerializer::setQueryStringSerializationWithStyle(uint32_t style)
{
    m_queryStyle = style;
    m_queryBlock = nullptr;
}

Ref<NSMutableURLRequest> VNHTTPRequestSerializer::requestWithMethodURLStringParameters(
    const std::string& method, const std::string& URLString, const Value& parameters)
{
    auto request = NSMutableURLRequest::requestWithURL(NSURL::URLWithString(URLString));
    request->setHTTPMethod(method);
    auto serialized = requestBySerializingRequestWithParametersError(request, parameters, nullptr);
    return serialized ? serialized->mutableCopy() : nullptr;
}

Ref<NSMutableURLRequest>
VNHTTPRequestSerializer::multipartFormRequestWithMethodURLStringParametersConstructingBodyWithBlock(
    const std::string& method, const std::string& URLString, const Value& parameters,
    const ConstructingBodyBlock& block)
{
    auto request = requestWithMethodURLStringParameters(method, URLString, Value());
    if (!request)
        return nullptr;
    auto formData = VNStreamingMultipartFormData::initWithURLRequestStringEncoding(request, NSUTF8StringEncoding);
    if (!parameters.isNil()) {
        for (const auto& pair : VNQueryStringPairsFromKeyAndValue(Value(), parameters)) {
            std::optional<Value::Bytes> data;
            if (pair->value().isData()) {
                data = pair->value().bytes();
            } else if (pair->value().isNull()) {
                data = Value::Bytes();
            } else {
                std::string text = pair->value().isString() ? pair->value().string() : pair->value().description();
                if (auto encoded = NSString::dataUsingEncoding(text, m_stringEncoding))
                    data = std::move(*encoded);
            }
            if (data) {
                const Value& field = pair->field();
                formData->appendPartWithFormDataName(
                    Value::data(std::move(*data)), field.isString() ? field.string() : field.description());
            }
        }
    }
    if (block)
        block(formData);
    return formData->requestByFinalizingMultipartFormData();
}

Ref<NSMutableURLRequest> VNHTTPRequestSerializer::copyWithDefaultHeaders(const Ref<NSURLRequest>& request) const
{
    auto mutableRequest = request->mutableCopy();
    for (const auto& [field, value] : m_headers.entries()) {
        if (!request->valueForHTTPHeaderField(field.string()))
            mutableRequest->setValueForHTTPHeaderField(value.string(), field.string());
    }
    return mutableRequest;
}

bool VNHTTPRequestSerializer::encodesParametersInURI(const Ref<NSURLRequest>& request) const
{
    return m_methodsInURI.count(NSString::uppercaseString(request->HTTPMethod())) > 0;
}

Ref<NSMutableURLRequest> VNHTTPRequestSerializer::requestBySerializingRequestWithParametersError(
    const Ref<NSURLRequest>& request, const Value& parameters, Ref<NSError>* error)
{
    if (!request)
        return nullptr;
    auto mutableRequest = copyWithDefaultHeaders(request);
    if (parameters.isNil())
        return mutableRequest;

    std::optional<std::string> query;
    if (m_queryBlock)
        query = m_queryBlock(request, parameters, error);
    else if (m_queryStyle == VNHTTPRequestQueryStringDefaultStyle)
        query = VNQueryStringFromParametersWithEncoding(parameters, m_stringEncoding);

    if (encodesParametersInURI(request)) {
        if (query && mutableRequest->URL()) {
            const auto& url = mutableRequest->URL();
            auto appended = NSString::stringWithFormat(url->query() ? "&%@" : "?%@", *query);
            if (auto newURL = NSURL::URLWithString(url->absoluteString() + appended))
                mutableRequest->setURL(newURL);
        }
    } else {
        // A form body: the Content-Type always names the serializer's encoding.
        auto charset = NSString::IANACharsetNameFromEncoding(m_stringEncoding).value_or("utf-8");
        mutableRequest->setValueForHTTPHeaderField(
            NSString::stringWithFormat("application/x-www-form-urlencoded; charset=%@", charset), "Content-Type");
        if (query) {
            if (auto body = NSString::dataUsingEncoding(*query, m_stringEncoding))
                mutableRequest->setHTTPBody(Value::data(std::move(*body)));
        }
    }
    return mutableRequest;
}

void VNHTTPRequestSerializer::encodeWithCoder(NSCoder& coder)
{
    coder.encodeObjectForKey(m_headers, "mutableHTTPRequestHeaders");
    coder.encodeIntegerForKey(static_cast<NSInteger>(m_queryStyle), "queryStringSerializationStyle");
}

void VNHTTPRequestSerializer::decodeBaseState(NSCoder& coder)
{
    Value headers = coder.decodeObjectForKey("mutableHTTPRequestHeaders");
    if (headers.isDictionary())
        m_headers = headers.mutableCopy();
    m_queryStyle = static_cast<uint32_t>(coder.decodeIntegerForKey("queryStringSerializationStyle"));
}

Ref<VNHTTPRequestSerializer> VNHTTPRequestSerializer::initWithCoder(NSCoder& coder)
{
    auto serializer = init();
    serializer->decodeBaseState(coder);
    return serializer;
}

Ref<VNHTTPRequestSerializer> VNHTTPRequestSerializer::copy() const
{
    auto serializer = makeFresh();
    serializer->m_headers = m_headers.mutableCopy();
    serializer->m_queryStyle = m_queryStyle;
    serializer->m_queryBlock = m_queryBlock;
    return serializer;
}
