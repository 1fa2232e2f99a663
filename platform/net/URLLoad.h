#pragma once

#include "foundation/Value.h"
#include "net/NSURLAuthenticationChallenge.h"
#include "net/NetForward.h"
#include "security/SecurityForward.h"

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>

// What a load tells its owner (a session task or a connection). Every call arrives through the
// load's executor, one at a time and in order; after loadDidFinish nothing more arrives.
class URLLoadDelegate {
public:
    virtual ~URLLoadDelegate() = default;
    // Answer with the request to follow, or nullptr to refuse: the redirect response is then
    // the final response.
    virtual void loadWillPerformRedirect(const Ref<NSHTTPURLResponse>& response, const Ref<NSURLRequest>& proposed,
        std::function<void(Ref<NSURLRequest>)> reply);
    // Answer through the challenge's sender; the default performs the default handling.
    virtual void loadDidReceiveChallenge(const Ref<NSURLAuthenticationChallenge>& challenge);
    virtual void loadDidReceiveResponse(const Ref<NSURLResponse>& response) = 0;
    virtual void loadDidReceiveData(const Value& data) = 0;
    virtual void loadDidSendBodyData(int64_t bytesSent, int64_t totalBytesSent, int64_t totalBytesExpected) { }
    // Answer with the response to store, or nullptr to store nothing.
    virtual void loadWillCacheResponse(
        const Ref<NSCachedURLResponse>& proposed, std::function<void(Ref<NSCachedURLResponse>)> reply);
    virtual bool loadShouldUseCredentialStorage() { return true; }
    // nullptr on success.
    virtual void loadDidFinish(const Ref<NSError>& error) = 0;
};

// One URL load from request to finish, for sessions and connections alike: the URL cache, the
// URL-protocol registry (stubs) before the network, file URLs, redirects, server-trust and
// HTTP Basic challenges, the timeout (idle time on the process clock for stubbed loads), and
// cancellation, which ends the load with NSURLErrorCancelled exactly once. Any thread.
class URLLoad : public std::enable_shared_from_this<URLLoad> {
public:
    using Executor = std::function<void(std::function<void()>)>;

    static Ref<URLLoad> create(
        const Ref<NSURLRequest>& request, const Ref<URLLoadDelegate>& delegate, Executor executor);
    ~URLLoad();

    // The longest the whole load may take, redirects and a slow body included; 0 for no limit.
    // Past it the load ends with NSURLErrorTimedOut. Set before start().
    void setResourceTimeout(double seconds) { m_resourceTimeout = seconds; }
    void start();
    // Ends the load with an NSURLErrorDomain error of this code instead of starting it.
    void failWithCode(int32_t code) { finishWithError(code); }
    void cancel();
    bool isFinished() const { return m_finished; }
    Ref<NSURLRequest> currentRequest() const;
    Ref<NSURLRequest> originalRequest() const { return m_original; }

private:
    class Attempt;
    friend class Attempt;
    URLLoad() = default;

    void post(std::function<void()> event);
    void runNext();
    void startAttempt(const Ref<NSURLRequest>& request);
    void attemptDidReceiveResponse(uint64_t attempt, const Ref<NSHTTPURLResponse>& response);
    void attemptDidLoadData(uint64_t attempt, Value::Bytes bytes);
    void attemptDidFinish(uint64_t attempt, const Ref<NSError>& error);
    void attemptDidSendBodyData(uint64_t attempt, int64_t totalSent, int64_t expected);
    void attemptShouldTrustServer(uint64_t attempt, const SecTrustRef& trust, const std::string& host, int32_t port,
        std::function<void(bool, int32_t)> reply);
    void deliverFinal(const Ref<NSURLResponse>& response, const Value::Bytes& body, bool fromCache);
    void finishWithError(int32_t code);
    void finish(const Ref<NSError>& error);
    void loadFile(const Ref<NSURLRequest>& request);
    void noteActivity();
    void scheduleTimeout(uint64_t attempt);
    void scheduleResourceTimeout(double deadline);
    bool isCurrent(uint64_t attempt) const { return !m_cancelled && !m_finished && attempt == m_attempt; }

    Ref<NSURLRequest> m_original;
    Ref<NSURLRequest> m_current;
    Ref<URLLoadDelegate> m_delegate;
    Executor m_executor;

    mutable std::mutex m_lock;
    std::deque<std::function<void()>> m_events;
    std::recursive_mutex m_runLock;
    std::atomic<bool> m_cancelled { false };
    std::atomic<bool> m_finished { false };
    std::atomic<bool> m_finishPosted { false };
    std::atomic<uint64_t> m_attempt { 0 };
    int m_redirects { 0 };
    int m_authFailures { 0 };

    // The response being held back (redirect, challenge or cache) and its body.
    enum class Hold { None, Redirect, Authenticate, Cache };
    Hold m_hold { Hold::None };
    Ref<NSHTTPURLResponse> m_heldResponse;
    Value::Bytes m_body;
    bool m_cacheable { false };
    bool m_responseDelivered { false };
    double m_lastActivity { 0 };
    double m_resourceTimeout { 0 };
    int64_t m_sentReported { 0 };
    Ref<NSCachedURLResponse> m_revalidating; // the stale entry a conditional request checks
};
