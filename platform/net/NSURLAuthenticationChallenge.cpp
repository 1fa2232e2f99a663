#include "net/NSURLAuthenticationChallenge.h"

#include "net/NSURLCredential.h"

VX_REGISTER_CLASS(NSURLAuthenticationChallenge);

Ref<NSURLAuthenticationChallenge> NSURLAuthenticationChallenge::make(
    Ref<NSURLProtectionSpace> space, int32_t previousFailureCount, Ref<NSURLResponse> failureResponse, Reply reply)
{
    return NSObject::make<NSURLAuthenticationChallenge>(
        std::move(space), previousFailureCount, std::move(failureResponse), std::move(reply));
}

void NSURLAuthenticationChallenge::answer(
    NSURLSessionAuthChallengeDisposition disposition, const Ref<NSURLCredential>& credential)
{
    if (m_answered.exchange(true))
        return;
    auto reply = std::move(m_reply);
    m_reply = nullptr;
    if (reply)
        reply(disposition, credential);
}
