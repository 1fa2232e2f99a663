#include "net/NSMutableURLRequest.h"

#include "net/NSStream.h"

#include <strings.h>

VX_REGISTER_CODING_CLASS(NSMutableURLRequest);

Ref<NSMutableURLRequest> NSMutableURLRequest::requestWithURL(const Ref<NSURL>& url)
{
    auto request = make<NSMutableURLRequest>();
    request->m_url = url;
    return request;
}

Ref<NSMutableURLRequest> NSMutableURLRequest::requestWithURLCachePolicyTimeoutInterval(
    const Ref<NSURL>& url, NSURLRequestCachePolicy policy, NSTimeInterval timeout)
{
    auto request = requestWithURL(url);
    request->m_cachePolicy = policy;
    request->m_timeout = timeout;
    return request;
}

void NSMutableURLRequest::setValueForHTTPHeaderField(const std::optional<std::string>& value, const std::string& field)
{
    for (auto it = m_headers.begin(); it != m_headers.end(); ++it) {
        if (strcasecmp(it->first.c_str(), field.c_str()) == 0) {
            if (value)
                it->second = *value;
            else
                m_headers.erase(it);
            return;
        }
    }
    if (value)
        m_headers.emplace_back(field, *value);
}

void NSMutableURLRequest::addValueForHTTPHeaderField(const std::string& value, const std::string& field)
{
    for (auto& header : m_headers) {
        if (strcasecmp(header.first.c_str(), field.c_str()) == 0) {
            header.second += "," + value;
            return;
        }
    }
    m_headers.emplace_back(field, value);
}

void NSMutableURLRequest::setAllHTTPHeaderFields(const Value& fields)
{
    m_headers.clear();
    for (const auto& [key, value] : fields.entries()) {
        if (key.isString() && value.isString())
            m_headers.emplace_back(key.string(), value.string());
    }
}

void NSMutableURLRequest::setHTTPBody(const Value& data)
{
    m_body = data.isData() ? data.copy() : Value();
    if (m_body)
        m_bodyStream = nullptr;
}

void NSMutableURLRequest::setHTTPBodyStream(const Ref<NSInputStream>& stream)
{
    m_bodyStream = stream;
    if (stream)
        m_body = Value();
}

Ref<NSMutableURLRequest> NSMutableURLRequest::initWithCoder(NSCoder& coder)
{
    auto request = make<NSMutableURLRequest>();
    request->decodeFields(coder);
    return request;
}
