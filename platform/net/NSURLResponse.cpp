#include "net/NSURLResponse.h"

#include "foundation/NSCoder.h"
#include "foundation/Value.h"
#include "net/NSURL.h"

VX_REGISTER_CODING_CLASS(NSURLResponse);

NSURLResponse::NSURLResponse(Passkey key, Ref<NSURL> url, std::optional<std::string> mimeType, int64_t expectedLength,
    std::optional<std::string> textEncodingName)
    : NSObject(key)
    , m_url(std::move(url))
    , m_mimeType(std::move(mimeType))
    , m_expectedLength(expectedLength)
    , m_textEncodingName(std::move(textEncodingName))
{
}

Ref<NSURLResponse> NSURLResponse::initWithURLMIMETypeExpectedContentLengthTextEncodingName(const Ref<NSURL>& url,
    std::optional<std::string> mimeType, int64_t expectedLength, std::optional<std::string> textEncodingName)
{
    return make<NSURLResponse>(url, std::move(mimeType), expectedLength, std::move(textEncodingName));
}

std::string NSURLResponse::suggestedFilename() const
{
    std::string name = m_url ? m_url->lastPathComponent() : std::string();
    if (name.empty() || name == "/")
        name = "Unknown";
    return name;
}

Value NSURLResponse::valueForKey(const std::string& key)
{
    if (key == "URL")
        return Value::object(m_url);
    if (key == "MIMEType")
        return m_mimeType ? Value(*m_mimeType) : Value();
    if (key == "expectedContentLength")
        return Value(int64_t(m_expectedLength));
    if (key == "textEncodingName")
        return m_textEncodingName ? Value(*m_textEncodingName) : Value();
    return NSObject::valueForKey(key);
}

std::string NSURLResponse::description() const
{
    return "<" + className() + ": { URL: " + (m_url ? m_url->absoluteString() : std::string("(null)")) + " }>";
}

void NSURLResponse::encodeWithCoder(NSCoder& coder)
{
    if (m_url)
        coder.encodeObjectForKey(Value::object(m_url), "URL");
    if (m_mimeType)
        coder.encodeObjectForKey(Value(*m_mimeType), "MIMEType");
    coder.encodeInt64ForKey(m_expectedLength, "expectedContentLength");
    if (m_textEncodingName)
        coder.encodeObjectForKey(Value(*m_textEncodingName), "textEncodingName");
}

Ref<NSURLResponse> NSURLResponse::initWithCoder(NSCoder& coder)
{
    auto url = coder.decodeObjectOfClassForKey(NSURL::classObject(), "URL").objectAs<NSURL>();
    Value mimeType = coder.decodeObjectOfClassForKey(Value::stringClass(), "MIMEType");
    Value encoding = coder.decodeObjectOfClassForKey(Value::stringClass(), "textEncodingName");
    int64_t length = coder.containsValueForKey("expectedContentLength")
        ? coder.decodeInt64ForKey("expectedContentLength")
        : NSURLResponseUnknownLength;
    return make<NSURLResponse>(url, mimeType.isString() ? std::optional<std::string>(mimeType.string()) : std::nullopt,
        length, encoding.isString() ? std::optional<std::string>(encoding.string()) : std::nullopt);
}
