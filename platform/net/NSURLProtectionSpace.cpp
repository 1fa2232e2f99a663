#include "net/NSURLProtectionSpace.h"

VX_REGISTER_CLASS(NSURLProtectionSpace);

Ref<NSURLProtectionSpace> NSURLProtectionSpace::initWithHostPortProtocolRealmAuthenticationMethod(
    const std::string& host, int32_t port, const std::string& protocol, std::optional<std::string> realm,
    const std::string& method, SecTrustRef trust)
{
    return make<NSURLProtectionSpace>(host, port, protocol, std::move(realm), method, std::move(trust));
}
