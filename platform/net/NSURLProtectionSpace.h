#pragma once

#include "foundation/NSObject.h"
#include "net/NetForward.h"
#include "security/SecurityForward.h"

#include <optional>
#include <string>

inline constexpr const char* NSURLAuthenticationMethodDefault = "NSURLAuthenticationMethodDefault";
inline constexpr const char* NSURLAuthenticationMethodHTTPBasic = "NSURLAuthenticationMethodHTTPBasic";
inline constexpr const char* NSURLAuthenticationMethodServerTrust = "NSURLAuthenticationMethodServerTrust";

// Where a challenge comes from: host, port, protocol, realm, authentication method and, for
// server trust, the trust to judge. Immutable; any thread.
class NSURLProtectionSpace : public NSObject {
    VX_OBJECT(NSURLProtectionSpace, NSObject)
public:
    NSURLProtectionSpace(Passkey key, std::string host, int32_t port, std::string protocol,
        std::optional<std::string> realm, std::string method, SecTrustRef trust)
        : NSObject(key)
        , m_host(std::move(host))
        , m_port(port)
        , m_protocol(std::move(protocol))
        , m_realm(std::move(realm))
        , m_method(std::move(method))
        , m_trust(std::move(trust))
    {
    }

    static Ref<NSURLProtectionSpace> initWithHostPortProtocolRealmAuthenticationMethod(const std::string& host,
        int32_t port, const std::string& protocol, std::optional<std::string> realm, const std::string& method,
        SecTrustRef trust = nullptr);

    const std::string& host() const { return m_host; }
    int32_t port() const { return m_port; }
    const std::string& protocol() const { return m_protocol; }
    const std::optional<std::string>& realm() const { return m_realm; }
    const std::string& authenticationMethod() const { return m_method; }
    // The server's trust, for NSURLAuthenticationMethodServerTrust; nullptr otherwise.
    const SecTrustRef& serverTrust() const { return m_trust; }

private:
    std::string m_host;
    int32_t m_port;
    std::string m_protocol;
    std::optional<std::string> m_realm;
    std::string m_method;
    SecTrustRef m_trust;
};
