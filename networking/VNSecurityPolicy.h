#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "security/SecurityForward.h"

#include <cstdint>
#include <optional>
#include <vector>

// Decides whether the certificate chain a server presents is to be trusted: by the platform's
// evaluation (mode 0), by pinned public keys (mode 1) or by pinned certificates (mode 2).
// Takes no lock: it is asked on whichever thread delivers the challenge, and its settings are
// not changed while it evaluates. The one-time load of the bundle's certificates is safe from
// any thread.
class VNSecurityPolicy : public NSObject {
    VX_OBJECT(VNSecurityPolicy, NSObject)
public:
    enum : uint32_t {
        VNSSLPinningModeNone = 0,
        VNSSLPinningModePublicKey = 1,
        VNSSLPinningModeCertificate = 2,
    };

    explicit VNSecurityPolicy(Passkey key)
        : NSObject(key)
    {
    }

    // Mode 0, invalid certificates refused, no pins.
    static Ref<VNSecurityPolicy> init();
    static Ref<VNSecurityPolicy> defaultPolicy();
    // A policy with that mode, pinned to the bundle's certificates.
    static Ref<VNSecurityPolicy> policyWithPinningMode(uint32_t mode);
    // The DER data of every "cer" file at the top level of the application bundle, read once
    // per process; the same array on every call, empty (not nil) when there are none.
    static const std::vector<Value::Bytes>& defaultPinnedCertificates();

    uint32_t SSLPinningMode() const { return m_SSLPinningMode; }
    void setSSLPinningMode(uint32_t mode) { m_SSLPinningMode = mode; }
    bool allowInvalidCertificates() const { return m_allowInvalidCertificates; }
    void setAllowInvalidCertificates(bool allow) { m_allowInvalidCertificates = allow; }

    // nullopt is nil. Setting the certificates rebuilds the public keys, in the same order; a
    // pinned item that is not a DER certificate, or yields no key, contributes no key.
    const std::optional<std::vector<Value::Bytes>>& pinnedCertificates() const { return m_pinnedCertificates; }
    void setPinnedCertificates(std::optional<std::vector<Value::Bytes>> certificates);
    const std::optional<std::vector<SecKeyRef>>& pinnedPublicKeys() const { return m_pinnedPublicKeys; }
    void setPinnedPublicKeys(std::optional<std::vector<SecKeyRef>> keys);

    // True when the server whose trust this is should be trusted. Neither changes the policy
    // nor keeps the trust.
    bool evaluateServerTrust(const SecTrustRef& serverTrust) const;

    Value valueForKey(const std::string& key) override;
    std::set<std::string> keyPathsForValuesAffectingValueForKey(const std::string& key) const override;

private:
    uint32_t m_SSLPinningMode { VNSSLPinningModeNone };
    bool m_allowInvalidCertificates { false };
    std::optional<std::vector<Value::Bytes>> m_pinnedCertificates;
    std::optional<std::vector<SecKeyRef>> m_pinnedPublicKeys;
};
