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

TEST(SecTrust, EvaluatesChainsAgainstAnchorsHostAndTime)
{
    // Certificates made "now" on a virtual clock are judged at the clock's time.
    auto clock = VirtualClock::install();
    TestCertificates certificates;
    auto authority = certificate(certificates.authority());
    struct Case {
        const char* name;
        const TestIdentity& leaf;
        const char* host;
        bool anchored;
        double verifyOffset; // seconds from now; 0 uses the clock
        SecTrustResultType expected;
    } cases[] = {
        { "valid for localhost", certificates.localhost(), "localhost", true, 0, kSecTrustResultUnspecified },
        { "valid for its address", certificates.localhost(), "127.0.0.1", true, 0, kSecTrustResultUnspecified },
        { "other host", certificates.localhost(), "example.org", true, 0, kSecTrustResultRecoverableTrustFailure },
        { "wrong host leaf", certificates.wrongHost(), "localhost", true, 0, kSecTrustResultRecoverableTrustFailure },
        { "expired", certificates.expired(), "localhost", true, 0, kSecTrustResultRecoverableTrustFailure },
        { "valid before it expired", certificates.expired(), "localhost", true, -10 * 86400,
            kSecTrustResultUnspecified },
        { "not yet valid", certificates.localhost(), "localhost", true, -3 * 86400,
            kSecTrustResultRecoverableTrustFailure },
        { "self-signed", certificates.selfSigned(), "localhost", true, 0, kSecTrustResultRecoverableTrustFailure },
        { "system anchors only", certificates.localhost(), "localhost", false, 0,
            kSecTrustResultRecoverableTrustFailure },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SecTrustRef trust;
        ASSERT_EQ(SecTrustCreateWithCertificates(
                      { certificate(c.leaf) }, { SecPolicyCreateSSL(true, std::string(c.host)) }, &trust),
            errSecSuccess);
        if (c.anchored)
            SecTrustSetAnchorCertificates(trust, { authority });
        if (c.verifyOffset != 0)
            SecTrustSetVerifyDate(trust, clock->wallTime() + c.verifyOffset);
        SecTrustResultType result = kSecTrustResultInvalid;
        EXPECT_EQ(SecTrustEvaluate(trust, &result), errSecSuccess);
        EXPECT_EQ(result, c.expected);
        // A successful evaluation keeps the path it built: the leaf, then the anchor it reached.
        auto path = SecTrustCopyVerifiedChain(trust);
        if (c.expected == kSecTrustResultUnspecified) {
            ASSERT_EQ(path.size(), 2u);
            EXPECT_EQ(path[0]->der(), c.leaf.certificateDER);
            EXPECT_EQ(path[1]->der(), authority->der());
        } else {
            EXPECT_TRUE(path.empty());
        }
    }
    clock->uninstall();
}

TEST(SecTrust, CertificatesRoundTripAndKeysCompareForPinning)
{
    TestCertificates certificates;
    auto leaf = certificate(certificates.localhost());
    ASSERT_TRUE(leaf);
    EXPECT_EQ(SecCertificateCopyData(leaf).bytes(), certificates.localhost().certificateDER);
    EXPECT_EQ(SecCertificateCopySubjectSummary(leaf), "localhost");

    const auto& der = certificates.localhost().certificateDER;
    Value::Bytes truncated(der.begin(), der.end() - 1);
    auto trailing = certificates.localhost().certificateDER;
    trailing.push_back(0);
    EXPECT_FALSE(SecCertificateCreateWithData(Value::data(truncated)));
    EXPECT_FALSE(SecCertificateCreateWithData(Value::data(trailing)));
    EXPECT_FALSE(SecCertificateCreateWithData(Value::data({})));
    EXPECT_FALSE(SecCertificateCreateWithData(Value("not data")));

    auto keyOf = [](const SecCertificateRef& cert) {
        SecTrustRef trust;
        SecTrustCreateWithCertificates({ cert }, { SecPolicyCreateBasicX509() }, &trust);
        return SecTrustCopyPublicKey(trust);
    };
    auto key = keyOf(leaf);
    ASSERT_TRUE(key);
    EXPECT_TRUE(key->isEqual(keyOf(SecCertificate::createWithDER(certificates.localhost().certificateDER)).get()));
    EXPECT_FALSE(key->isEqual(keyOf(certificate(certificates.wrongHost())).get()));

    SecTrustRef empty;
    EXPECT_EQ(SecTrustCreateWithCertificates({}, {}, &empty), errSecParam);
    SecTrustRef chain;
    SecTrustCreateWithCertificates({ leaf, certificate(certificates.authority()) }, {}, &chain);
    EXPECT_EQ(SecTrustGetCertificateCount(chain), 2);
    EXPECT_EQ(SecTrustGetCertificateAtIndex(chain, 1)->subjectSummary(), "Volantrix Test Authority");
    EXPECT_FALSE(SecTrustGetCertificateAtIndex(chain, 2));
}

} // namespace
