#pragma once

#include "foundation/NSObject.h"
#include "net/NetForward.h"
#include "security/SecurityForward.h"

#include <string>

enum NSURLCredentialPersistence : uint32_t {
    NSURLCredentialPersistenceNone = 0,
    NSURLCredentialPersistenceForSession = 1,
    NSURLCredentialPersistencePermanent = 2,
};

// A credential: a user name and password, or a server trust accepted by the caller.
// Immutable; any thread.
class NSURLCredential : public NSObject {
    VX_OBJECT(NSURLCredential, NSObject)
public:
    explicit NSURLCredential(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<NSURLCredential> credentialForTrust(const SecTrustRef& trust);
    static Ref<NSURLCredential> credentialWithUserPasswordPersistence(
        const std::string& user, const std::string& password, NSURLCredentialPersistence persistence);

    const std::string& user() const { return m_user; }
    const std::string& password() const { return m_password; }
    bool hasPassword() const { return m_hasPassword; }
    NSURLCredentialPersistence persistence() const { return m_persistence; }
    const SecTrustRef& serverTrust() const { return m_trust; }

private:
    std::string m_user;
    std::string m_password;
    bool m_hasPassword { false };
    NSURLCredentialPersistence m_persistence { NSURLCredentialPersistenceNone };
    SecTrustRef m_trust;
};
