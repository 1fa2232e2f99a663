#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "net/NetForward.h"
#include "net/URLLoad.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// A connection's delegate (the connection and data protocols together; every operation
// optional). Operations whose absence changes what the connection does answer std::nullopt (or
// false) by default: redirects are followed, proposed responses cached, challenges handled by
// default, credential storage used.
class NSURLConnectionDelegate {
public:
    virtual ~NSURLConnectionDelegate() = default;
    virtual void connectionDidFailWithError(const Ref<NSURLConnection>&, const Ref<NSError>&) { }
    virtual std::optional<bool> connectionShouldUseCredentialStorage(const Ref<NSURLConnection>&)
    {
        return std::nullopt;
    }
    // Answer through the challenge's sender; false when not implemented.
    virtual bool connectionWillSendRequestForAuthenticationChallenge(
        const Ref<NSURLConnection>&, const Ref<NSURLAuthenticationChallenge>&)
    {
        return false;
    }
    // Called for redirects: the request to send, or nullptr to refuse (the redirect response then
    // arrives as the response).
    virtual std::optional<Ref<NSURLRequest>> connectionWillSendRequestRedirectResponse(
        const Ref<NSURLConnection>&, const Ref<NSURLRequest>&, const Ref<NSURLResponse>&)
    {
        return std::nullopt;
    }
    virtual void connectionDidReceiveResponse(const Ref<NSURLConnection>&, const Ref<NSURLResponse>&) { }
    virtual void connectionDidReceiveData(const Ref<NSURLConnection>&, const Value&) { }
    virtual void connectionDidSendBodyDataTotalBytesWrittenTotalBytesExpectedToWrite(
        const Ref<NSURLConnection>&, int64_t, int64_t, int64_t)
    {
    }
    // The response to cache, or nullptr to cache nothing.
    virtual std::optional<Ref<NSCachedURLResponse>> connectionWillCacheResponse(
        const Ref<NSURLConnection>&, const Ref<NSCachedURLResponse>&)
    {
        return std::nullopt;
    }
    virtual void connectionDidFinishLoading(const Ref<NSURLConnection>&) { }
};

// A delegate-style URL load. Its delegate calls arrive on the run loops it is scheduled in (in
// the given modes; the current thread's run loop in the default mode when started unscheduled)
// or on its delegate queue. The connection keeps its delegate, and itself, alive until it
// finishes, fails or is cancelled; after cancel() the delegate hears nothing more.
// Control methods: any thread.
class NSURLConnection : public NSObject, public URLLoadDelegate {
    VX_OBJECT(NSURLConnection, NSObject)
public:
    using AsyncCompletion = std::function<void(const Ref<NSURLResponse>&, const Value& data, const Ref<NSError>&)>;

    explicit NSURLConnection(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<NSURLConnection> connectionWithRequestDelegate(
        const Ref<NSURLRequest>& request, const Ref<NSURLConnectionDelegate>& delegate);
    static Ref<NSURLConnection> initWithRequestDelegateStartImmediately(
        const Ref<NSURLRequest>& request, const Ref<NSURLConnectionDelegate>& delegate, bool startImmediately);
    // Loads the request and calls the handler on the queue with the response, the data (nil on
    // failure) and the error.
    static void sendAsynchronousRequestQueueCompletionHandler(
        const Ref<NSURLRequest>& request, const Ref<NSOperationQueue>& queue, AsyncCompletion handler);

    void scheduleInRunLoopForMode(const Ref<NSRunLoop>& runLoop, const std::string& mode);
    void unscheduleFromRunLoopForMode(const Ref<NSRunLoop>& runLoop, const std::string& mode);
    void setDelegateQueue(const Ref<NSOperationQueue>& queue);
    void start();
    void cancel();

    Ref<NSURLRequest> originalRequest() const { return m_request; }
    Ref<NSURLRequest> currentRequest() const;

    // URLLoadDelegate (on the scheduled run loop or queue).
    void loadWillPerformRedirect(const Ref<NSHTTPURLResponse>& response, const Ref<NSURLRequest>& proposed,
        std::function<void(Ref<NSURLRequest>)> reply) override;
    void loadDidReceiveChallenge(const Ref<NSURLAuthenticationChallenge>& challenge) override;
    void loadDidReceiveResponse(const Ref<NSURLResponse>& response) override;
    void loadDidReceiveData(const Value& data) override;
    void loadDidSendBodyData(int64_t bytesSent, int64_t totalBytesSent, int64_t totalBytesExpected) override;
    void loadWillCacheResponse(
        const Ref<NSCachedURLResponse>& proposed, std::function<void(Ref<NSCachedURLResponse>)> reply) override;
    void loadDidFinish(const Ref<NSError>& error) override;

private:
    void post(std::function<void()> block);

    mutable std::mutex m_lock;
    Ref<NSURLRequest> m_request;
    Ref<NSURLConnectionDelegate> m_delegate;
    Ref<NSURLConnection> m_keepAlive;
    Ref<URLLoad> m_load;
    Ref<NSOperationQueue> m_queue;
    std::vector<std::pair<Weak<NSRunLoop>, std::string>> m_schedules;
    std::atomic<bool> m_started { false };
    std::atomic<bool> m_cancelled { false };
};
