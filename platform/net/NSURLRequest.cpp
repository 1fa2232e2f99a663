#include "net/NSURLRequest.h"

#include "foundation/NSCoder.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSStream.h"
#include "net/NSURL.h"

#include <strings.h>

VX_REGISTER_CODING_CLASS(NSURLRequest);

Ref<NSURLRequest> NSURLRequest::requestWithURL(const Ref<NSURL>& url)
{
    auto request = make<NSURLRequest>();
    request->m_url = url;
    return request;
}

Ref<NSURLRequest> NSURLRequest::requestWithURLCachePolicyTimeoutInterval(
    const Ref<NSURL>& url, NSURLRequestCachePolicy policy, NSTimeInterval timeout)
{
    auto request = make<NSURLRequest>();
    request->m_url = url;
    request->m_cachePolicy = policy;
    request->m_timeout = timeout;
    return request;
}

Value NSURLRequest::allHTTPHeaderFields() const
{
    if (m_headers.empty())
        return Value();
    auto fields = Value::mutableDictionary();
    for (const auto& [name, value] : m_headers)
        fields.setObjectForKey(value, name);
    return fields.copy();
}

std::optional<std::string> NSURLRequest::valueForHTTPHeaderField(const std::string& field) const
{
    for (const auto& [name, value] : m_headers) {
        if (strcasecmp(name.c_str(), field.c_str()) == 0)
            return value;
    }
    return std::nullopt;
}

void NSURLRequest::copyInto(NSURLRequest& other) const
{
    other.m_url = m_url;
    other.m_method = m_method;
    other.m_headers = m_headers;
    other.m_body = m_body;
    other.m_bodyStream = m_bodyStream;
    other.m_cachePolicy = m_cachePolicy;
    other.m_timeout = m_timeout;
    other.m_handleCookies = m_handleCookies;
}

Ref<NSURLRequest> NSURLRequest::copy() const
{
    auto request = make<NSURLRequest>();
    copyInto(*request);
    return request;
}

Ref<NSMutableURLRequest> NSURLRequest::mutableCopy() const
{
    auto request = NSMutableURLRequest::requestWithURL(m_url);
    copyInto(*request);
    return request;
}

std::string NSURLRequest::description() const
{
    return "<" + className() + ": " + (m_url ? m_url->absoluteString() : std::string("(null)")) + ">";
}

bool NSURLRequest::isEqual(const NSObject* other) const
{
    auto request = dynamic_cast<const NSURLRequest*>(other);
    if (!request)
        return false;
    bool sameURL = (!m_url && !request->m_url) || (m_url && request->m_url && m_url->isEqual(request->m_url.get()));
    return sameURL && m_method == request->m_method && m_headers == request->m_headers && m_body == request->m_body
        && m_bodyStream == request->m_bodyStream;
}

Value NSURLRequest::valueForKey(const std::string& key)
{
    if (key == "URL")
        return Value::object(m_url);
    if (key == "HTTPMethod")
        return m_method;
    if (key == "allHTTPHeaderFields")
        return allHTTPHeaderFields();
    if (key == "HTTPBody")
        return m_body;
    return NSObject::valueForKey(key);
}

void NSURLRequest::encodeWithCoder(NSCoder& coder)
{
    if (m_url)
        coder.encodeObjectForKey(Value::object(m_url), "URL");
    coder.encodeObjectForKey(Value(m_method), "HTTPMethod");
    // Pairs in order, so the spelling and order of the fields survive.
    auto headers = Value::mutableArray();
    for (const auto& [name, value] : m_headers)
        headers.addObject(Value::array({ Value(name), Value(value) }));
    coder.encodeObjectForKey(headers, "headers");
    if (m_body.isData())
        coder.encodeObjectForKey(m_body, "HTTPBody");
    coder.encodeInt32ForKey(int32_t(m_cachePolicy), "cachePolicy");
    coder.encodeDoubleForKey(m_timeout, "timeoutInterval");
    coder.encodeBoolForKey(m_handleCookies, "HTTPShouldHandleCookies");
}

void NSURLRequest::decodeFields(NSCoder& coder)
{
    m_url = coder.decodeObjectOfClassForKey(NSURL::classObject(), "URL").objectAs<NSURL>();
    Value method = coder.decodeObjectOfClassForKey(Value::stringClass(), "HTTPMethod");
    if (method.isString())
        m_method = method.string();
    Value headers = coder.decodeObjectOfClassesForKey({ Value::arrayClass(), Value::stringClass() }, "headers");
    if (headers.isArray()) {
        for (const auto& pair : headers.elements()) {
            if (pair.isArray() && pair.count() == 2 && pair[0].isString() && pair[1].isString())
                m_headers.emplace_back(pair[0].string(), pair[1].string());
        }
    }
    Value body = coder.decodeObjectOfClassForKey(Value::dataClass(), "HTTPBody");
    if (body.isData())
        m_body = body;
    m_cachePolicy = NSURLRequestCachePolicy(coder.decodeInt32ForKey("cachePolicy"));
    if (coder.containsValueForKey("timeoutInterval"))
        m_timeout = coder.decodeDoubleForKey("timeoutInterval");
    if (coder.containsValueForKey("HTTPShouldHandleCookies"))
        m_handleCookies = coder.decodeBoolForKey("HTTPShouldHandleCookies");
}

Ref<NSURLRequest> NSURLRequest::initWithCoder(NSCoder& coder)
{
    auto request = make<NSURLRequest>();
    request->decodeFields(coder);
    return request;
}
