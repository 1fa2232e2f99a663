#include "networking/VNSecurityPolicy.h"

#include "foundation/Dispatch.h"
#include "foundation/NSBundle.h"
#include "foundation/NSDataFile.h"
#include "security/SecCertificate.h"
#include "security/SecKey.h"
#include "security/SecPolicy.h"
#include "security/SecTrust.h"

#include <algorithm>

VX_REGISTER_CLASS(VNSecurityPolicy);

namespace {

// The public key of one certificate, taken from a trust over that certificate alone. The
// evaluation result does not matter: evaluating is what makes the key available.
SecKeyRef publicKeyForCertificate(const SecCertificateRef& certificate, const SecPolicyRef& policy)
{
    if (!certificate)
        return nullptr;
    SecTrustRef trust;
    if (SecTrustCreateWithCertificates({ certificate }, { policy }, &trust) != errSecSuccess || !trust)
        return nullptr;
    SecTrustResultType result = kSecTrustResultInvalid;
    SecTrustEvaluate(trust, &result);
    return SecTrustCopyPublicKey(trust);
}

} // namespace

Ref<VNSecurityPolicy> VNSecurityPolicy::init()
{
    return make<VNSecurityPolicy>();
}

Ref<VNSecurityPolicy> VNSecurityPolicy::defaultPolicy()
{
    auto policy = init();
    policy->setSSLPinningMode(VNSSLPinningModeNone);
    return policy;
}

Ref<VNSecurityPolicy> VNSecurityPolicy::policyWithPinningMode(uint32_t mode)
{
    auto policy = init();
    policy->setSSLPinningMode(mode);
    policy->setPinnedCertificates(defaultPinnedCertificates());
    return policy;
}

const std::vector<Value::Bytes>& VNSecurityPolicy::defaultPinnedCertificates()
{
    // Filled once and kept for the life of the process (a test reset of the once-only flags
    // fills the same array again).
    static std::vector<Value::Bytes> s_certificates;
    static dispatch_once_t s_once;
    dispatch_once(&s_once, [] {
        std::vector<Value::Bytes> certificates;
        if (auto bundle = NSBundle::mainBundle()) {
            for (const auto& path : bundle->pathsForResourcesOfType("cer", ".")) {
                Value data = NSData::dataWithContentsOfFile(path);
                if (data.isData())
                    certificates.push_back(data.bytes());
            }
        }
        s_certificates = std::move(certificates);
    });
    return s_certificates;
}

void VNSecurityPolicy::setPinnedCertificates(std::optional<std::vector<Value::Bytes>> certificates)
{
    // The keys are rebuilt inside the change, so observers of the dependent key see them.
    willChangeValueForKey("pinnedCertificates");
    m_pinnedCertificates = std::move(certificates);
    if (!m_pinnedCertificates) {
        setPinnedPublicKeys(std::nullopt);
    } else {
        std::vector<SecKeyRef> keys;
        auto policy = SecPolicyCreateBasicX509();
        for (const auto& der : *m_pinnedCertificates) {
            auto key = publicKeyForCertificate(SecCertificateCreateWithData(Value::data(der)), policy);
            if (key)
                keys.push_back(std::move(key));
        }
        setPinnedPublicKeys(std::move(keys));
    }
    didChangeValueForKey("pinnedCertificates");
}

void VNSecurityPolicy::setPinnedPublicKeys(std::optional<std::vector<SecKeyRef>> keys)
{
    setValueNotifying("pinnedPublicKeys", m_pinnedPublicKeys, std::move(keys));
}

bool VNSecurityPolicy::evaluateServerTrust(const SecTrustRef& serverTrust) const
{
    if (!serverTrust)
        return false;
    switch (m_SSLPinningMode) {
    case VNSSLPinningModeNone: {
        if (m_allowInvalidCertificates)
            return true;
        SecTrustResultType result = kSecTrustResultInvalid;
        if (SecTrustEvaluate(serverTrust, &result) != errSecSuccess)
            return false;
        return result == kSecTrustResultUnspecified || result == kSecTrustResultProceed;
    }
    case VNSSLPinningModePublicKey: {
        if (!m_pinnedPublicKeys || m_pinnedPublicKeys->empty())
            return false;
        auto policy = SecPolicyCreateBasicX509();
        std::vector<SecKeyRef> chainKeys;
        int32_t count = SecTrustGetCertificateCount(serverTrust);
        for (int32_t i = 0; i < count; ++i) {
            if (auto key = publicKeyForCertificate(SecTrustGetCertificateAtIndex(serverTrust, i), policy))
                chainKeys.push_back(std::move(key));
        }
        for (const auto& key : chainKeys) {
            for (const auto& pinned : *m_pinnedPublicKeys) {
                if (pinned && key->isEqual(pinned.get()))
                    return true;
            }
        }
        return false;
    }
    case VNSSLPinningModeCertificate: {
        if (!m_pinnedCertificates)
            return false;
        int32_t count = SecTrustGetCertificateCount(serverTrust);
        for (int32_t i = 0; i < count; ++i) {
            auto certificate = SecTrustGetCertificateAtIndex(serverTrust, i);
            if (!certificate)
                continue;
            Value der = SecCertificateCopyData(certificate);
            if (!der.isData())
                continue;
            if (std::find(m_pinnedCertificates->begin(), m_pinnedCertificates->end(), der.bytes())
                != m_pinnedCertificates->end())
                return true;
        }
        return false;
    }
    default:
        return false;
    }
}

Value VNSecurityPolicy::valueForKey(const std::string& key)
{
    if (key == "SSLPinningMode")
        return m_SSLPinningMode;
    if (key == "allowInvalidCertificates")
        return m_allowInvalidCertificates;
    if (key == "pinnedCertificates") {
        if (!m_pinnedCertificates)
            return nullptr;
        std::vector<Value> items;
        for (const auto& der : *m_pinnedCertificates)
            items.push_back(Value::data(der));
        return Value::array(std::move(items));
    }
    if (key == "pinnedPublicKeys") {
        if (!m_pinnedPublicKeys)
            return nullptr;
        std::vector<Value> items;
        for (const auto& pinned : *m_pinnedPublicKeys)
            items.push_back(Value(pinned));
        return Value::array(std::move(items));
    }
    return NSObject::valueForKey(key);
}

std::set<std::string> VNSecurityPolicy::keyPathsForValuesAffectingValueForKey(const std::string& key) const
{
    if (key == "pinnedPublicKeys")
        return { "pinnedCertificates" };
    return NSObject::keyPathsForValuesAffectingValueForKey(key);
}
