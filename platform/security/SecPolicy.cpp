#include "security/SecPolicy.h"

VX_REGISTER_CLASS(SecPolicy);

SecPolicyRef SecPolicyCreateSSL(bool server, const std::optional<std::string>& hostname)
{
    struct Access : SecPolicy {
        using SecPolicy::make;
    };
    return Access::make<SecPolicy>(true, server ? hostname : std::nullopt);
}

SecPolicyRef SecPolicyCreateBasicX509()
{
    struct Access : SecPolicy {
        using SecPolicy::make;
    };
    return Access::make<SecPolicy>(false, std::nullopt);
}
