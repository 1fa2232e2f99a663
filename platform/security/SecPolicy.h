#pragma once

#include "foundation/NSObject.h"
#include "security/SecurityForward.h"

#include <optional>
#include <string>

// What a trust evaluation checks besides the chain: for an SSL server policy with a host name,
// that the leaf names the host (DNS name or IP address). Immutable; any thread.
class SecPolicy : public NSObject {
    VX_OBJECT(SecPolicy, NSObject)
public:
    SecPolicy(Passkey key, bool ssl, std::optional<std::string> host)
        : NSObject(key)
        , m_ssl(ssl)
        , m_host(std::move(host))
    {
    }
    bool isSSL() const { return m_ssl; }
    const std::optional<std::string>& host() const { return m_host; }

private:
    bool m_ssl;
    std::optional<std::string> m_host;
};

SecPolicyRef SecPolicyCreateSSL(bool server, const std::optional<std::string>& hostname);
SecPolicyRef SecPolicyCreateBasicX509();
