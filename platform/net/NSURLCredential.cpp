#include "net/NSURLCredential.h"

#include "security/SecTrust.h"

VX_REGISTER_CLASS(NSURLCredential);

Ref<NSURLCredential> NSURLCredential::credentialForTrust(const SecTrustRef& trust)
{
    auto credential = make<NSURLCredential>();
    credential->m_trust = trust;
    credential->m_persistence = NSURLCredentialPersistenceForSession;
    return credential;
}

Ref<NSURLCredential> NSURLCredential::credentialWithUserPasswordPersistence(
    const std::string& user, const std::string& password, NSURLCredentialPersistence persistence)
{
    auto credential = make<NSURLCredential>();
    credential->m_user = user;
    credential->m_password = password;
    credential->m_hasPassword = true;
    credential->m_persistence = persistence;
    return credential;
}
