#include "NSURLResponse.h"

#include "NSURL.h"
#include "Value.h"

VX_REGISTER_CLASS(NSURLResponse);

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
