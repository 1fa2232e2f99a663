#pragma once

#include "net/NSURLRequest.h"

// A request that can be changed. Setting a body data drops a body stream and the other way
// round. Not thread-safe: change it on one thread, then hand it over.
class NSMutableURLRequest : public NSURLRequest {
    VX_OBJECT(NSMutableURLRequest, NSURLRequest)
public:
    explicit NSMutableURLRequest(Passkey key)
        : NSURLRequest(key)
    {
    }

    static Ref<NSMutableURLRequest> requestWithURL(const Ref<NSURL>& url);
    static Ref<NSMutableURLRequest> requestWithURLCachePolicyTimeoutInterval(
        const Ref<NSURL>& url, NSURLRequestCachePolicy policy, NSTimeInterval timeout);

    void setURL(const Ref<NSURL>& url) { m_url = url; }
    void setHTTPMethod(const std::string& method) { m_method = method; }
    // Replaces the field (any spelling); an empty value... is kept as empty. nullopt removes.
    void setValueForHTTPHeaderField(const std::optional<std::string>& value, const std::string& field);
    // Appends to an existing field with ","; adds it when absent.
    void addValueForHTTPHeaderField(const std::string& value, const std::string& field);
    // Replaces every field with those of a dictionary of strings.
    void setAllHTTPHeaderFields(const Value& fields);
    void setHTTPBody(const Value& data);
    void setHTTPBodyStream(const Ref<NSInputStream>& stream);
    void setCachePolicy(NSURLRequestCachePolicy policy) { m_cachePolicy = policy; }
    void setTimeoutInterval(NSTimeInterval timeout) { m_timeout = timeout; }
    void setHTTPShouldHandleCookies(bool handle) { m_handleCookies = handle; }

    static Ref<NSMutableURLRequest> initWithCoder(NSCoder& coder);

private:
    friend class NSURLRequest;
};
