#pragma once

#include "foundation/NSObject.h"
#include "net/NetForward.h"

#include <atomic>
#include <functional>

// How a challenge was answered.
enum NSURLSessionAuthChallengeDisposition : int32_t {
    NSURLSessionAuthChallengeUseCredential = 0,
    NSURLSessionAuthChallengePerformDefaultHandling = 1,
    NSURLSessionAuthChallengeCancelAuthenticationChallenge = 2,
    NSURLSessionAuthChallengeRejectProtectionSpace = 3,
};

// The sender side of a challenge, as connection delegates answer it.
class NSURLAuthenticationChallengeSender {
public:
    virtual ~NSURLAuthenticationChallengeSender() = default;
    virtual void useCredentialForAuthenticationChallenge(
        const Ref<NSURLCredential>& credential, const Ref<NSURLAuthenticationChallenge>& challenge)
        = 0;
    virtual void continueWithoutCredentialForAuthenticationChallenge(const Ref<NSURLAuthenticationChallenge>& challenge)
        = 0;
    virtual void cancelAuthenticationChallenge(const Ref<NSURLAuthenticationChallenge>& challenge) = 0;
    virtual void performDefaultHandlingForAuthenticationChallenge(const Ref<NSURLAuthenticationChallenge>& challenge)
        = 0;
};

// A challenge from a load: its protection space, how many answers already failed, and the
// sender to answer through. Only the first answer counts. Any thread.
class NSURLAuthenticationChallenge : public NSObject, public NSURLAuthenticationChallengeSender {
    VX_OBJECT(NSURLAuthenticationChallenge, NSObject)
public:
    using Reply = std::function<void(NSURLSessionAuthChallengeDisposition, Ref<NSURLCredential>)>;
    NSURLAuthenticationChallenge(Passkey key, Ref<NSURLProtectionSpace> space, int32_t previousFailureCount,
        Ref<NSURLResponse> failureResponse, Reply reply)
        : NSObject(key)
        , m_space(std::move(space))
        , m_previousFailureCount(previousFailureCount)
        , m_failureResponse(std::move(failureResponse))
        , m_reply(std::move(reply))
    {
    }

    static Ref<NSURLAuthenticationChallenge> make(
        Ref<NSURLProtectionSpace> space, int32_t previousFailureCount, Ref<NSURLResponse> failureResponse, Reply reply);

    const Ref<NSURLProtectionSpace>& protectionSpace() const { return m_space; }
    int32_t previousFailureCount() const { return m_previousFailureCount; }
    const Ref<NSURLResponse>& failureResponse() const { return m_failureResponse; }
    NSURLAuthenticationChallengeSender* sender() { return this; }

    void answer(NSURLSessionAuthChallengeDisposition disposition, const Ref<NSURLCredential>& credential);
    bool isAnswered() const { return m_answered; }

    void useCredentialForAuthenticationChallenge(
        const Ref<NSURLCredential>& credential, const Ref<NSURLAuthenticationChallenge>&) override
    {
        answer(NSURLSessionAuthChallengeUseCredential, credential);
    }
    void continueWithoutCredentialForAuthenticationChallenge(const Ref<NSURLAuthenticationChallenge>&) override
    {
        answer(NSURLSessionAuthChallengeUseCredential, nullptr);
    }
    void cancelAuthenticationChallenge(const Ref<NSURLAuthenticationChallenge>&) override
    {
        answer(NSURLSessionAuthChallengeCancelAuthenticationChallenge, nullptr);
    }
    void performDefaultHandlingForAuthenticationChallenge(const Ref<NSURLAuthenticationChallenge>&) override
    {
        answer(NSURLSessionAuthChallengePerformDefaultHandling, nullptr);
    }

private:
    Ref<NSURLProtectionSpace> m_space;
    int32_t m_previousFailureCount;
    Ref<NSURLResponse> m_failureResponse;
    Reply m_reply;
    std::atomic<bool> m_answered { false };
};
