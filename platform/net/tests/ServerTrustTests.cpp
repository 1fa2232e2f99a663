#include "net/NSURL.h"
#include "net/NSURLCredential.h"
#include "net/NSURLError.h"
#include "net/NSURLProtectionSpace.h"
#include "net/tests/NetTestSupport.h"
#include "security/SecCertificate.h"
#include "security/SecTrust.h"
#include "testing/Drain.h"
#include "testing/LoopbackServer.h"
#include "testing/TestCertificates.h"

#include <gtest/gtest.h>

namespace {

enum class Answer { TrustWithAuthority, DefaultHandling, Cancel, NotImplemented };

// Answers server-trust challenges by the table's rule and counts them.
class TrustingDelegate final : public RecordingSessionDelegate {
public:
    TrustingDelegate(Answer answer, SecCertificateRef authority)
        : m_answer(answer)
        , m_authority(std::move(authority))
    {
    }

    bool URLSessionDidReceiveChallenge(
        const Ref<NSURLSession>&, const Ref<NSURLAuthenticationChallenge>& challenge, ChallengeHandler handler) override
    {
        if (m_answer == Answer::NotImplemented)
            return false;
        ++challenges;
        auto space = challenge->protectionSpace();
        EXPECT_EQ(space->authenticationMethod(), NSURLAuthenticationMethodServerTrust);
        auto trust = space->serverTrust();
        EXPECT_TRUE(trust);
        chainLength = SecTrustGetCertificateCount(trust);
        switch (m_answer) {
        case Answer::TrustWithAuthority: {
            SecTrustSetAnchorCertificates(trust, { m_authority });
            SecTrustResultType result = kSecTrustResultInvalid;
            SecTrustEvaluate(trust, &result);
            if (result == kSecTrustResultUnspecified || result == kSecTrustResultProceed)
                handler(NSURLSessionAuthChallengeUseCredential, NSURLCredential::credentialForTrust(trust));
            else
                handler(NSURLSessionAuthChallengeCancelAuthenticationChallenge, nullptr);
            break;
        }
        case Answer::DefaultHandling:
            handler(NSURLSessionAuthChallengePerformDefaultHandling, nullptr);
            break;
        default:
            handler(NSURLSessionAuthChallengeCancelAuthenticationChallenge, nullptr);
            break;
        }
        return true;
    }

    int challenges { 0 };
    int32_t chainLength { 0 };

private:
    Answer m_answer;
    SecCertificateRef m_authority;
};

class ServerTrustTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        drainAll();
        resetForTesting();
    }
};

TEST_F(ServerTrustTest, TheDelegatesDecisionOnThePeerChainDecidesEachLoad)
{
    TestCertificates certificates;
    auto authority = SecCertificate::createWithDER(certificates.authority().certificateDER);
    ASSERT_TRUE(authority);
    struct Case {
        const char* name;
        const TestIdentity& identity;
        Answer answer;
        int32_t error;
        int32_t chainLength;
    } cases[] = {
        { "signed by the authority", certificates.localhost(), Answer::TrustWithAuthority, 0, 2 },
        { "wrong host", certificates.wrongHost(), Answer::TrustWithAuthority, NSURLErrorCancelled, 2 },
        { "expired", certificates.expired(), Answer::TrustWithAuthority, NSURLErrorCancelled, 2 },
        { "self-signed", certificates.selfSigned(), Answer::TrustWithAuthority, NSURLErrorCancelled, 1 },
        { "unknown authority, default handling", certificates.localhost(), Answer::DefaultHandling,
            NSURLErrorServerCertificateUntrusted, 2 },
        { "cancelled", certificates.localhost(), Answer::Cancel, NSURLErrorCancelled, 2 },
        { "no delegate decision", certificates.localhost(), Answer::NotImplemented,
            NSURLErrorServerCertificateUntrusted, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool selfSigned = &c.identity == &certificates.selfSigned();
        LoopbackServer server(c.identity, selfSigned ? "" : certificates.authority().certificatePEM);
        auto delegate = std::make_shared<TrustingDelegate>(c.answer, authority);
        auto session = NSURLSession::sessionWithConfigurationDelegateDelegateQueue(
            NSURLSessionConfiguration::defaultSessionConfiguration(), delegate, nullptr);
        // Two loads in a row: the second may reuse the connection and must still be judged.
        for (int round = 0; round < 2; ++round) {
            SCOPED_TRACE(round);
            session
                ->dataTaskWithRequest(NSURLRequest::requestWithURLCachePolicyTimeoutInterval(
                    NSURL::URLWithString(server.url("/hello")), NSURLRequestReloadIgnoringLocalCacheData, 5))
                ->resume();
            drainAll();
            EXPECT_EQ(delegate->error() ? delegate->error()->code() : 0, c.error);
        }
        EXPECT_EQ(delegate->completions(), 2);
        EXPECT_EQ(delegate->challenges, c.answer == Answer::NotImplemented ? 0 : 2);
        EXPECT_EQ(delegate->chainLength, c.chainLength);
        // Nothing is sent to or read from a refused server.
        EXPECT_EQ(delegate->body(), c.error == 0 ? "hellohello" : "");
        session->invalidateAndCancel();
        drainAll();
    }
}

} // namespace
