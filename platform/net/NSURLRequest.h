#pragma once

#include "foundation/NSCoding.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "net/NetForward.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

enum NSURLRequestCachePolicy : uint32_t {
    NSURLRequestUseProtocolCachePolicy = 0,
    NSURLRequestReloadIgnoringLocalCacheData = 1,
    NSURLRequestReloadIgnoringLocalAndRemoteCacheData = 4,
    NSURLRequestReturnCacheDataElseLoad = 2,
    NSURLRequestReturnCacheDataDontLoad = 3,
    NSURLRequestReloadRevalidatingCacheData = 5,
};

// A URL load request: URL, method, header fields, body (data or stream), cache policy and
// timeout. Header names are matched without regard to case; the first spelling set is kept.
// Immutable (see NSMutableURLRequest); any thread.
class NSURLRequest : public NSObject, public NSCoding {
    VX_OBJECT(NSURLRequest, NSObject)
public:
    using HeaderList = std::vector<std::pair<std::string, std::string>>;

    explicit NSURLRequest(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<NSURLRequest> requestWithURL(const Ref<NSURL>& url);
    static Ref<NSURLRequest> requestWithURLCachePolicyTimeoutInterval(
        const Ref<NSURL>& url, NSURLRequestCachePolicy policy, NSTimeInterval timeout);

    const Ref<NSURL>& URL() const { return m_url; }
    const std::string& HTTPMethod() const { return m_method; }
    // A dictionary of the header fields (nil when there are none).
    Value allHTTPHeaderFields() const;
    const HeaderList& headerList() const { return m_headers; }
    std::optional<std::string> valueForHTTPHeaderField(const std::string& field) const;
    // The body as data (nil when there is none).
    const Value& HTTPBody() const { return m_body; }
    const Ref<NSInputStream>& HTTPBodyStream() const { return m_bodyStream; }
    NSURLRequestCachePolicy cachePolicy() const { return m_cachePolicy; }
    NSTimeInterval timeoutInterval() const { return m_timeout; }
    bool HTTPShouldHandleCookies() const { return m_handleCookies; }

    Ref<NSURLRequest> copy() const;
    Ref<NSMutableURLRequest> mutableCopy() const;

    // Archives everything but a body stream, which cannot be archived (a decoded request has none).
    void encodeWithCoder(NSCoder& coder) override;
    static Ref<NSURLRequest> initWithCoder(NSCoder& coder);

    std::string description() const override;
    bool isEqual(const NSObject* other) const override;
    Value valueForKey(const std::string& key) override;

protected:
    // Reads the archived fields into a request a decoding factory has made.
    void decodeFields(NSCoder& coder);
    void copyInto(NSURLRequest& other) const;

    Ref<NSURL> m_url;
    std::string m_method { "GET" };
    HeaderList m_headers;
    Value m_body;
    Ref<NSInputStream> m_bodyStream;
    NSURLRequestCachePolicy m_cachePolicy { NSURLRequestUseProtocolCachePolicy };
    NSTimeInterval m_timeout { 60 };
    bool m_handleCookies { true };
};
