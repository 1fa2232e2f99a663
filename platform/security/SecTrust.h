#pragma once

#include "foundation/NSObject.h"
#include "security/SecurityForward.h"

#include <mutex>
#include <optional>
#include <vector>

enum SecTrustResultType : uint32_t {
    kSecTrustResultInvalid = 0,
    kSecTrustResultProceed = 1,
    kSecTrustResultDeny = 3,
    kSecTrustResultUnspecified = 4,
    kSecTrustResultRecoverableTrustFailure = 5,
    kSecTrustResultFatalTrustFailure = 6,
    kSecTrustResultOtherError = 7,
};

// A certificate chain (leaf first) to evaluate under policies. Evaluation builds a path from the
// leaf to an anchor: the system's default anchors, or the anchors set on the trust (alone, or as
// well as the system's when anchorCertificatesOnly is false). A valid chain answers
// kSecTrustResultUnspecified; a chain that fails (unknown root, expired or not yet valid at the
// process clock's time, wrong host) answers kSecTrustResultRecoverableTrustFailure; a trust
// without certificates kSecTrustResultInvalid. Any thread (evaluation is serialized).
class SecTrust : public NSObject {
    VX_OBJECT(SecTrust, NSObject)
public:
    SecTrust(Passkey key)
        : NSObject(key)
    {
    }

    const std::vector<SecCertificateRef>& certificates() const { return m_certificates; }
    const std::vector<SecPolicyRef>& policies() const { return m_policies; }

private:
    friend OSStatus SecTrustCreateWithCertificates(
        const std::vector<SecCertificateRef>&, const std::vector<SecPolicyRef>&, SecTrustRef*);
    friend OSStatus SecTrustSetAnchorCertificates(const SecTrustRef&, const std::vector<SecCertificateRef>&);
    friend OSStatus SecTrustSetAnchorCertificatesOnly(const SecTrustRef&, bool);
    friend OSStatus SecTrustSetPolicies(const SecTrustRef&, const std::vector<SecPolicyRef>&);
    friend OSStatus SecTrustEvaluate(const SecTrustRef&, SecTrustResultType*);
    friend OSStatus SecTrustSetVerifyDate(const SecTrustRef&, double);
    friend std::vector<SecCertificateRef> SecTrustCopyVerifiedChain(const SecTrustRef&);

    mutable std::mutex m_lock;
    std::vector<SecCertificateRef> m_certificates;
    std::vector<SecPolicyRef> m_policies;
    std::optional<std::vector<SecCertificateRef>> m_anchors;
    bool m_anchorsOnly { true };
    std::optional<double> m_verifyDate;
    std::vector<SecCertificateRef> m_verifiedChain;
};

OSStatus SecTrustCreateWithCertificates(
    const std::vector<SecCertificateRef>& certificates, const std::vector<SecPolicyRef>& policies, SecTrustRef* trust);
OSStatus SecTrustSetAnchorCertificates(const SecTrustRef& trust, const std::vector<SecCertificateRef>& anchors);
OSStatus SecTrustSetAnchorCertificatesOnly(const SecTrustRef& trust, bool anchorsOnly);
OSStatus SecTrustSetPolicies(const SecTrustRef& trust, const std::vector<SecPolicyRef>& policies);
// The time the chain must be valid at (seconds since 1970); the process clock's time otherwise.
OSStatus SecTrustSetVerifyDate(const SecTrustRef& trust, double secondsSince1970);
OSStatus SecTrustEvaluate(const SecTrustRef& trust, SecTrustResultType* result);
int32_t SecTrustGetCertificateCount(const SecTrustRef& trust);
SecCertificateRef SecTrustGetCertificateAtIndex(const SecTrustRef& trust, int32_t index);
// The path the last successful evaluation built, leaf first and ending at the anchor it reached;
// empty before an evaluation and after a failed one.
std::vector<SecCertificateRef> SecTrustCopyVerifiedChain(const SecTrustRef& trust);
// The leaf's public key; nullptr without certificates.
SecKeyRef SecTrustCopyPublicKey(const SecTrustRef& trust);
