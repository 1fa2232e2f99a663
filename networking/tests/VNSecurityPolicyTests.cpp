#include "networking/VNSecurityPolicy.h"

#include "security/SecCertificate.h"
#include "security/SecKey.h"
#include "security/SecPolicy.h"
#include "security/SecTrust.h"
#include "testing/TestCertificates.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

namespace {

SecCertificateRef certificate(const TestIdentity& identity)
{
    return SecCertificate::createWithDER(identity.certificateDER);
}

// Counts the notifications it receives, per key path.
class KeyPathRecorder : public NSObject {
    VX_OBJECT(KeyPathRecorder, NSObject)
public:
    explicit KeyPathRecorder(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<KeyPathRecorder> create() { return make<KeyPathRecorder>(); }
    void observeValueForKeyPath(const std::string& keyPath, const Ref<NSObject>&, const Value&, void*) override
    {
        received.push_back(keyPath);
    }
    std::vector<std::string> received;
};

TEST(VNSecurityPolicy, EvaluatesServerTrustByPinningMode)
{
    auto clock = VirtualClock::install();
    TestCertificates certs;
    using Pins = std::optional<std::vector<const TestIdentity*>>;
    struct Case {
        const char* name;
        std::vector<const TestIdentity*> chain; // leaf first
        bool anchored; // the test authority is an anchor of the server trust
        uint32_t mode;
        bool allowInvalid;
        Pins pins;
        bool expected;
    } cases[] = {
        { "platform accepts a valid chain", { &certs.localhost() }, true, 0, false, std::nullopt, true },
        { "platform refuses an unknown root", { &certs.localhost() }, false, 0, false, std::nullopt, false },
        { "platform refuses an expired leaf", { &certs.expired() }, true, 0, false, std::nullopt, false },
        { "platform refuses another host", { &certs.wrongHost() }, true, 0, false, std::nullopt, false },
        { "invalid allowed accepts self-signed", { &certs.selfSigned() }, false, 0, true, std::nullopt, true },
        { "invalid allowed accepts expired", { &certs.expired() }, false, 0, true, std::nullopt, true },
        { "certificate pin accepts self-signed", { &certs.selfSigned() }, false, 2, false,
            Pins({ &certs.authority(), &certs.selfSigned() }), true },
        { "certificate pin on an intermediate", { &certs.localhost(), &certs.authority() }, false, 2, false,
            Pins({ &certs.authority() }), true },
        { "certificate pin elsewhere refuses", { &certs.localhost() }, true, 2, true, Pins({ &certs.selfSigned() }),
            false },
        { "certificate mode without pins", { &certs.localhost() }, true, 2, true, std::nullopt, false },
        { "certificate mode with empty pins", { &certs.localhost() }, true, 2, true,
            Pins(std::vector<const TestIdentity*> {}), false },
        { "key pin on the leaf", { &certs.selfSigned() }, false, 1, false, Pins({ &certs.selfSigned() }), true },
        { "key pin on an intermediate", { &certs.localhost(), &certs.authority() }, false, 1, false,
            Pins({ &certs.authority() }), true },
        { "key pin on an intermediate with an expired leaf", { &certs.expired(), &certs.authority() }, false, 1, false,
            Pins({ &certs.authority() }), false },
        { "key pin with an expired leaf when invalid is allowed", { &certs.expired(), &certs.authority() }, false, 1,
            true, Pins({ &certs.authority() }), true },
        { "key pin elsewhere refuses", { &certs.localhost() }, true, 1, true, Pins({ &certs.selfSigned() }), false },
        { "key mode without pins", { &certs.localhost() }, true, 1, true, std::nullopt, false },
        { "unknown mode refuses", { &certs.localhost() }, true, 3, true, Pins({ &certs.localhost() }), false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<SecCertificateRef> chain;
        for (auto* identity : c.chain)
            chain.push_back(certificate(*identity));
        SecTrustRef trust;
        ASSERT_EQ(SecTrustCreateWithCertificates(chain, { SecPolicyCreateSSL(true, std::string("localhost")) }, &trust),
            errSecSuccess);
        if (c.anchored)
            SecTrustSetAnchorCertificates(trust, { certificate(certs.authority()) });

        auto policy = VNSecurityPolicy::defaultPolicy();
        EXPECT_EQ(policy->SSLPinningMode(), 0u);
        EXPECT_FALSE(policy->allowInvalidCertificates());
        policy->setSSLPinningMode(c.mode);
        policy->setAllowInvalidCertificates(c.allowInvalid);
        if (c.pins) {
            std::vector<Value::Bytes> pins;
            for (auto* identity : *c.pins)
                pins.push_back(identity->certificateDER);
            policy->setPinnedCertificates(pins);
        }
        EXPECT_EQ(policy->evaluateServerTrust(trust), c.expected);
        EXPECT_FALSE(policy->evaluateServerTrust(nullptr));
    }
    clock->uninstall();
}

TEST(VNSecurityPolicy, DerivesPinnedKeysAndSkipsUndecodablePins)
{
    TestCertificates certs;
    auto policy = VNSecurityPolicy::init();
    EXPECT_FALSE(policy->pinnedCertificates());
    EXPECT_FALSE(policy->pinnedPublicKeys());

    auto recorder = KeyPathRecorder::create();
    policy->addObserver(recorder, "pinnedPublicKeys", 0, nullptr);

    // Garbage bytes are kept as pinned certificates but yield no key and match nothing.
    policy->setPinnedCertificates(std::vector<Value::Bytes> {
        certs.selfSigned().certificateDER, Value::Bytes { 1, 2, 3 }, certs.authority().certificateDER });
    ASSERT_TRUE(policy->pinnedPublicKeys());
    ASSERT_EQ(policy->pinnedPublicKeys()->size(), 2u);
    SecTrustRef leafTrust;
    SecTrustCreateWithCertificates({ certificate(certs.selfSigned()) }, { SecPolicyCreateBasicX509() }, &leafTrust);
    EXPECT_TRUE(SecTrustCopyPublicKey(leafTrust)->isEqual(policy->pinnedPublicKeys()->at(0).get()));
    EXPECT_EQ(policy->pinnedCertificates()->size(), 3u);
    EXPECT_FALSE(recorder->received.empty());

    recorder->received.clear();
    policy->setPinnedCertificates(std::nullopt);
    EXPECT_FALSE(policy->pinnedPublicKeys());
    EXPECT_FALSE(recorder->received.empty());
    for (const auto& keyPath : recorder->received)
        EXPECT_EQ(keyPath, "pinnedPublicKeys");
    policy->removeObserver(recorder, "pinnedPublicKeys");
}

TEST(VNSecurityPolicy, BundlePinsAreLoadedOnce)
{
    // The test bundle has no "cer" files: pinned modes built from it refuse every server.
    const auto& first = VNSecurityPolicy::defaultPinnedCertificates();
    EXPECT_EQ(&first, &VNSecurityPolicy::defaultPinnedCertificates());
    EXPECT_TRUE(first.empty());

    TestCertificates certs;
    SecTrustRef trust;
    SecTrustCreateWithCertificates({ certificate(certs.localhost()) }, { SecPolicyCreateBasicX509() }, &trust);
    for (uint32_t mode : { 1u, 2u }) {
        SCOPED_TRACE(mode);
        auto policy = VNSecurityPolicy::policyWithPinningMode(mode);
        EXPECT_EQ(policy->SSLPinningMode(), mode);
        ASSERT_TRUE(policy->pinnedCertificates());
        EXPECT_TRUE(policy->pinnedCertificates()->empty());
        ASSERT_TRUE(policy->pinnedPublicKeys());
        EXPECT_FALSE(policy->evaluateServerTrust(trust));
    }
}

} // namespace
