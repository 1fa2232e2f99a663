#include "security/SecTrust.h"

#include "foundation/Clock.h"
#include "security/SecCertificate.h"
#include "security/SecKey.h"
#include "security/SecPolicy.h"

#include <memory>

#include <openssl/x509.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

VX_REGISTER_CLASS(SecTrust);

namespace {

struct X509Deleter {
    void operator()(X509* x) const { X509_free(x); }
};
using X509Ptr = std::unique_ptr<X509, X509Deleter>;

X509Ptr parse(const SecCertificateRef& certificate)
{
    const unsigned char* p = certificate->der().data();
    return X509Ptr(d2i_X509(nullptr, &p, long(certificate->der().size())));
}

using StorePtr = std::unique_ptr<X509_STORE, decltype(&X509_STORE_free)>;

// The system's certificate authorities, read once for the process: reading the bundle parses
// every certificate in it, which each evaluation would otherwise do again. Evaluations only
// look certificates up in it, which a store allows from several threads at once.
X509_STORE* systemStore()
{
    static X509_STORE* store = [] {
        X509_STORE* made = X509_STORE_new();
        if (made)
            X509_STORE_set_default_paths(made);
        return made;
    }();
    return store;
}

struct Access : SecTrust {
    using SecTrust::make;
};

} // namespace

OSStatus SecTrustCreateWithCertificates(
    const std::vector<SecCertificateRef>& certificates, const std::vector<SecPolicyRef>& policies, SecTrustRef* trust)
{
    if (!trust || certificates.empty())
        return errSecParam;
    for (const auto& certificate : certificates) {
        if (!certificate)
            return errSecParam;
    }
    auto made = Access::make<SecTrust>();
    made->m_certificates = certificates;
    made->m_policies = policies;
    *trust = made;
    return errSecSuccess;
}

OSStatus SecTrustSetAnchorCertificates(const SecTrustRef& trust, const std::vector<SecCertificateRef>& anchors)
{
    if (!trust)
        return errSecParam;
    std::lock_guard lock(trust->m_lock);
    trust->m_anchors = anchors;
    trust->m_anchorsOnly = true;
    return errSecSuccess;
}

OSStatus SecTrustSetAnchorCertificatesOnly(const SecTrustRef& trust, bool anchorsOnly)
{
    if (!trust)
        return errSecParam;
    std::lock_guard lock(trust->m_lock);
    trust->m_anchorsOnly = anchorsOnly;
    return errSecSuccess;
}

OSStatus SecTrustSetPolicies(const SecTrustRef& trust, const std::vector<SecPolicyRef>& policies)
{
    if (!trust)
        return errSecParam;
    std::lock_guard lock(trust->m_lock);
    trust->m_policies = policies;
    return errSecSuccess;
}

OSStatus SecTrustSetVerifyDate(const SecTrustRef& trust, double secondsSince1970)
{
    if (!trust)
        return errSecParam;
    std::lock_guard lock(trust->m_lock);
    trust->m_verifyDate = secondsSince1970;
    return errSecSuccess;
}

OSStatus SecTrustEvaluate(const SecTrustRef& trust, SecTrustResultType* result)
{
    if (!trust || !result)
        return errSecParam;
    std::lock_guard lock(trust->m_lock);
    *result = kSecTrustResultInvalid;
    trust->m_verifiedChain.clear();
    if (trust->m_certificates.empty())
        return errSecSuccess;

    auto leaf = parse(trust->m_certificates.front());
    if (!leaf) {
        *result = kSecTrustResultFatalTrustFailure;
        return errSecSuccess;
    }
    StorePtr store(nullptr, X509_STORE_free);
    if (!trust->m_anchors) {
        if (X509_STORE* shared = systemStore(); shared && X509_STORE_up_ref(shared) == 1)
            store.reset(shared);
    } else {
        store.reset(X509_STORE_new());
        if (store && !trust->m_anchorsOnly)
            X509_STORE_set_default_paths(store.get());
    }
    if (!store)
        return errSecAllocate;
    std::unique_ptr<STACK_OF(X509), void (*)(STACK_OF(X509)*)> untrusted(
        sk_X509_new_null(), [](STACK_OF(X509) * s) { sk_X509_pop_free(s, X509_free); });
    if (trust->m_anchors) {
        for (const auto& anchor : *trust->m_anchors) {
            if (auto x = anchor ? parse(anchor) : nullptr)
                X509_STORE_add_cert(store.get(), x.get());
        }
    }
    for (size_t i = 1; i < trust->m_certificates.size(); ++i) {
        if (auto x = parse(trust->m_certificates[i]))
            sk_X509_push(untrusted.get(), x.release());
    }
    std::unique_ptr<X509_STORE_CTX, decltype(&X509_STORE_CTX_free)> context(X509_STORE_CTX_new(), X509_STORE_CTX_free);
    if (!context || X509_STORE_CTX_init(context.get(), store.get(), leaf.get(), untrusted.get()) != 1)
        return errSecAllocate;
    X509_VERIFY_PARAM* param = X509_STORE_CTX_get0_param(context.get());
    X509_VERIFY_PARAM_set_time(param, time_t(trust->m_verifyDate.value_or(Clock::wallTime())));
    // A chain may end at any anchor, not only a self-signed root.
    X509_VERIFY_PARAM_set_flags(param, X509_V_FLAG_PARTIAL_CHAIN);
    for (const auto& policy : trust->m_policies) {
        if (!policy || !policy->isSSL() || !policy->host())
            continue;
        const std::string& host = *policy->host();
        ASN1_OCTET_STRING* ip = a2i_IPADDRESS(host.c_str());
        if (ip) {
            ASN1_OCTET_STRING_free(ip);
            X509_VERIFY_PARAM_set1_ip_asc(param, host.c_str());
        } else {
            X509_VERIFY_PARAM_set1_host(param, host.c_str(), host.size());
        }
    }
    bool valid = X509_verify_cert(context.get()) == 1;
    if (valid) {
        STACK_OF(X509)* path = X509_STORE_CTX_get0_chain(context.get());
        for (int i = 0; path && i < sk_X509_num(path); ++i) {
            unsigned char* der = nullptr;
            int length = i2d_X509(sk_X509_value(path, i), &der);
            if (length > 0) {
                if (auto certificate = SecCertificate::createWithDER(Value::Bytes(der, der + length)))
                    trust->m_verifiedChain.push_back(std::move(certificate));
            }
            OPENSSL_free(der);
        }
    }
    *result = valid ? kSecTrustResultUnspecified : kSecTrustResultRecoverableTrustFailure;
    return errSecSuccess;
}

int32_t SecTrustGetCertificateCount(const SecTrustRef& trust)
{
    return trust ? int32_t(trust->certificates().size()) : 0;
}

SecCertificateRef SecTrustGetCertificateAtIndex(const SecTrustRef& trust, int32_t index)
{
    if (!trust || index < 0 || size_t(index) >= trust->certificates().size())
        return nullptr;
    return trust->certificates()[size_t(index)];
}

std::vector<SecCertificateRef> SecTrustCopyVerifiedChain(const SecTrustRef& trust)
{
    if (!trust)
        return {};
    std::lock_guard lock(trust->m_lock);
    return trust->m_verifiedChain;
}

SecKeyRef SecTrustCopyPublicKey(const SecTrustRef& trust)
{
    if (!trust || trust->certificates().empty())
        return nullptr;
    auto leaf = parse(trust->certificates().front());
    if (!leaf)
        return nullptr;
    X509_PUBKEY* key = X509_get_X509_PUBKEY(leaf.get());
    unsigned char* out = nullptr;
    int length = i2d_X509_PUBKEY(key, &out);
    if (length <= 0)
        return nullptr;
    Value::Bytes spki(out, out + length);
    OPENSSL_free(out);
    return SecKey::createWithSubjectPublicKeyInfo(std::move(spki));
}
