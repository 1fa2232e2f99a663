#pragma once

#include "foundation/NSCoding.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "net/NSURLRequest.h"
#include "net/NetForward.h"

#include <optional>
#include <string>

// Settings of a session, copied when the session is made. A background configuration has an
// identifier; its sessions deliver download tasks' files to their delegate. Not thread-safe
// while being set up.
class NSURLSessionConfiguration : public NSObject, public NSCoding {
    VX_OBJECT(NSURLSessionConfiguration, NSObject)
public:
    explicit NSURLSessionConfiguration(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<NSURLSessionConfiguration> defaultSessionConfiguration();
    static Ref<NSURLSessionConfiguration> ephemeralSessionConfiguration();
    static Ref<NSURLSessionConfiguration> backgroundSessionConfigurationWithIdentifier(const std::string& identifier);
    static Ref<NSURLSessionConfiguration> backgroundSessionConfiguration(const std::string& identifier)
    {
        return backgroundSessionConfigurationWithIdentifier(identifier);
    }

    const std::optional<std::string>& identifier() const { return m_identifier; }
    bool isBackground() const { return m_identifier.has_value(); }
    NSTimeInterval timeoutIntervalForRequest() const { return m_timeoutForRequest; }
    void setTimeoutIntervalForRequest(NSTimeInterval timeout) { m_timeoutForRequest = timeout; }
    NSTimeInterval timeoutIntervalForResource() const { return m_timeoutForResource; }
    void setTimeoutIntervalForResource(NSTimeInterval timeout) { m_timeoutForResource = timeout; }
    // A dictionary of header fields added to requests that do not set them.
    const Value& HTTPAdditionalHeaders() const { return m_additionalHeaders; }
    void setHTTPAdditionalHeaders(const Value& headers) { m_additionalHeaders = headers; }
    NSURLRequestCachePolicy requestCachePolicy() const { return m_cachePolicy; }
    void setRequestCachePolicy(NSURLRequestCachePolicy policy) { m_cachePolicy = policy; }
    int32_t HTTPMaximumConnectionsPerHost() const { return m_maxConnections; }
    void setHTTPMaximumConnectionsPerHost(int32_t count) { m_maxConnections = count; }
    bool allowsCellularAccess() const { return m_allowsCellular; }
    void setAllowsCellularAccess(bool allows) { m_allowsCellular = allows; }
    bool isDiscretionary() const { return m_discretionary; }
    void setDiscretionary(bool discretionary) { m_discretionary = discretionary; }

    Ref<NSURLSessionConfiguration> copy() const;

    void encodeWithCoder(NSCoder& coder) override;
    static Ref<NSURLSessionConfiguration> initWithCoder(NSCoder& coder);

private:
    std::optional<std::string> m_identifier;
    NSTimeInterval m_timeoutForRequest { 60 };
    NSTimeInterval m_timeoutForResource { 7 * 24 * 3600 };
    Value m_additionalHeaders;
    NSURLRequestCachePolicy m_cachePolicy { NSURLRequestUseProtocolCachePolicy };
    int32_t m_maxConnections { 4 };
    bool m_allowsCellular { true };
    bool m_discretionary { false };
};
