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

namespace {

bool isPinnedKey(const SecKeyRef& key, const std::vector<SecKeyRef>& pins)
{
    if (!key)
        return false;
    for (const auto& pinned : pins) {
        if (pinned && key->isEqual(pinned.get()))
            return true;
    }
    return false;
}

bool isPinnedCertificate(const SecCertificateRef& certificate, const std::vector<Value::Bytes>& pins)
{
    if (!certificate)
        return false;
    Value der = SecCertificateCopyData(certificate);
    return der.isData() && std::find(pins.begin(), pins.end(), der.bytes()) != pins.end();
}

} // namespace

bool VNSecurityPolicy::evaluateServerTrust(const SecTrustRef& serverTrust) const
{
    if (!serverTrust)
        return false;
    if (m_SSLPinningMode == VNSSLPinningModeNone) {
        if (m_allowInvalidCertificates)
            return true;
        SecTrustResultType result = kSecTrustResultInvalid;
        if (SecTrustEvaluate(serverTrust, &result) != errSecSuccess)
            return false;
        return result == kSecTrustResultUnspecified || result == kSecTrustResultProceed;
    }
    if (m_SSLPinningMode != VNSSLPinningModePublicKey && m_SSLPinningMode != VNSSLPinningModeCertificate)
        return false;
    bool byKey = m_SSLPinningMode == VNSSLPinningModePublicKey;
    if (byKey ? (!m_pinnedPublicKeys || m_pinnedPublicKeys->empty()) : !m_pinnedCertificates)
        return false;

    auto basic = SecPolicyCreateBasicX509();
    auto isPinned = [&](const SecCertificateRef& certificate) {
        return byKey ? isPinnedKey(publicKeyForCertificate(certificate, basic), *m_pinnedPublicKeys)
                     : isPinnedCertificate(certificate, *m_pinnedCertificates);
    };
    std::vector<SecCertificateRef> presented;
    for (int32_t i = 0, count = SecTrustGetCertificateCount(serverTrust); i < count; ++i) {
        if (auto certificate = SecTrustGetCertificateAtIndex(serverTrust, i))
            presented.push_back(std::move(certificate));
    }

    // With invalid certificates allowed, a pin anywhere in the presented chain is enough.
    if (m_allowInvalidCertificates)
        return std::any_of(presented.begin(), presented.end(), isPinned);

    // Otherwise the chain must evaluate for the server's host with the pinned certificates (and
    // presented certificates that carry a pinned key) as its only anchors, and the path that
    // validated must hold the pin. A pinned certificate merely appended to an unrelated chain,
    // an expired leaf or a leaf for another host is refused. The server trust itself is left
    // untouched: the evaluation runs on a copy.
    std::vector<SecCertificateRef> anchors;
    if (m_pinnedCertificates) {
        for (const auto& der : *m_pinnedCertificates) {
            if (auto certificate = SecCertificateCreateWithData(Value::data(der)); certificate && isPinned(certificate))
                anchors.push_back(std::move(certificate));
        }
    }
    if (byKey) {
        for (const auto& certificate : presented) {
            if (isPinned(certificate))
                anchors.push_back(certificate);
        }
    }
    if (anchors.empty() || presented.empty())
        return false;
    SecTrustRef pinnedTrust;
    if (SecTrustCreateWithCertificates(presented, serverTrust->policies(), &pinnedTrust) != errSecSuccess
        || !pinnedTrust)
        return false;
    SecTrustSetAnchorCertificates(pinnedTrust, anchors);
    SecTrustSetAnchorCertificatesOnly(pinnedTrust, true);
    SecTrustResultType result = kSecTrustResultInvalid;
    if (SecTrustEvaluate(pinnedTrust, &result) != errSecSuccess
        || (result != kSecTrustResultUnspecified && result != kSecTrustResultProceed))
        return false;
    auto path = SecTrustCopyVerifiedChain(pinnedTrust);
    return std::any_of(path.begin(), path.end(), isPinned);
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
