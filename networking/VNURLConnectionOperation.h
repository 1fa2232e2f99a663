#pragma once

#include "foundation/Dispatch.h"
#include "foundation/Locked.h"
#include "foundation/NSCoding.h"
#include "foundation/NSOperation.h"
#include "net/NSURLConnection.h"
#include "net/NetForward.h"
#include "networking/VNURLResponseSerialization.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

class NSRecursiveLock;
class NSThread;
class VNSecurityPolicy;

// Posted on the main queue with the operation as object: its connection was started (or the
// start was skipped because it was cancelled), and it finished (or was paused while running).
inline constexpr const char* VNNetworkingOperationDidStartNotification = "com.vnnet.networking.operation.start";
inline constexpr const char* VNNetworkingOperationDidFinishNotification = "com.vnnet.networking.operation.finish";

// Runs one URL request as an asynchronous operation. Every connection of every operation runs
// on the one "VNNetworking" thread; the body goes into `outputStream` as it arrives. Control
// (start, cancel, pause, resume, block setters): any thread. Connection callbacks: the network
// thread. Notifications, `totalBytesRead` and progress blocks: the main queue. The completion
// block runs on `completionQueue` (main when unset) inside `completionGroup`.
class VNURLConnectionOperation : public NSOperation, public NSURLConnectionDelegate, public NSCoding {
    VX_OBJECT(VNURLConnectionOperation, NSOperation)
public:
    enum State : int32_t {
        VNOperationPausedState = -1,
        VNOperationReadyState = 1,
        VNOperationExecutingState = 2,
        VNOperationFinishedState = 3,
    };
    using ProgressBlock = std::function<void(uint32_t bytes, int64_t totalBytes, int64_t totalBytesExpected)>;
    using AuthenticationChallengeBlock
        = std::function<void(const Ref<NSURLConnection>&, const Ref<NSURLAuthenticationChallenge>&)>;
    using CacheResponseBlock
        = std::function<Ref<NSCachedURLResponse>(const Ref<NSURLConnection>&, const Ref<NSCachedURLResponse>&)>;
    using RedirectResponseBlock = std::function<Ref<NSURLRequest>(
        const Ref<NSURLConnection>&, const Ref<NSURLRequest>&, const Ref<NSURLResponse>&)>;
    using BatchProgressBlock = std::function<void(uint32_t finished, uint32_t total)>;
    using BatchCompletionBlock = std::function<void(const std::vector<Ref<VNURLConnectionOperation>>&)>;

    explicit VNURLConnectionOperation(Passkey key);
    ~VNURLConnectionOperation() override;

    static Ref<VNURLConnectionOperation> initWithRequest(const Ref<NSURLRequest>& request);
    // The network thread, started on first use; its run loop runs for the life of the process.
    static Ref<NSThread> networkRequestThread();
    // The operations to enqueue: the given ones, then one that runs after all of them and calls
    // `completion` on the main queue after every completion block and progress call.
    static std::vector<Ref<NSOperation>> batchOfRequestOperations(
        const std::vector<Ref<VNURLConnectionOperation>>& operations, BatchProgressBlock progress,
        BatchCompletionBlock completion);

    // NSOperation.
    void start() override;
    void cancel() override;
    bool isReady() const override;
    bool isExecuting() const override;
    bool isFinished() const override;
    bool isAsynchronous() const override { return true; }
    bool isConcurrent() const override { return true; }
    // The caller's block runs on the completion queue inside the completion group, once, after
    // the operation finished; then the block is removed. nullptr removes it.
    void setCompletionBlock(std::function<void()> block) override;

    virtual void pause();
    bool isPaused() const;

    // Keeps the application running in the background while the operation loads. When the time
    // runs out, `handler` (may be nullptr) is called, then the operation is cancelled and the
    // task ended. Does nothing while a task is recorded; the task ends with the operation.
    void setShouldExecuteAsBackgroundTaskWithExpirationHandler(std::function<void()> handler);
    uint32_t backgroundTaskIdentifier() const { return m_backgroundTaskIdentifier; }
    virtual void resume();

    int32_t state() const;
    // Ignores transitions the state machine does not allow.
    void setState(int32_t state);

    Ref<NSURLRequest> request() const;
    void setRequest(Ref<NSURLRequest> request);
    Ref<NSURLResponse> response() const;
    void setResponse(Ref<NSURLResponse> response);
    // The HTTP subclass answers its serialization error first.
    virtual Ref<NSError> error() const;
    void setError(Ref<NSError> error);
    // The whole body (a data value), once loading finished into a memory stream.
    Value responseData() const;
    // The body as text, decoded with responseStringEncoding(); nullopt when it cannot be.
    std::optional<std::string> responseString();
    // UTF-8 unless the response names a known charset; 0 before a response arrived.
    uint32_t responseStringEncoding();

    const std::set<std::string>& runLoopModes() const { return m_runLoopModes; }
    void setRunLoopModes(std::set<std::string> modes) { m_runLoopModes = std::move(modes); }
    bool shouldUseCredentialStorage() const { return m_shouldUseCredentialStorage; }
    void setShouldUseCredentialStorage(bool use) { m_shouldUseCredentialStorage = use; }
    const Ref<NSURLCredential>& credential() const { return m_credential; }
    void setCredential(Ref<NSURLCredential> credential) { m_credential = std::move(credential); }
    const Ref<VNSecurityPolicy>& securityPolicy() const { return m_securityPolicy; }
    void setSecurityPolicy(Ref<VNSecurityPolicy> policy) { m_securityPolicy = std::move(policy); }
    const dispatch_queue_t& completionQueue() const { return m_completionQueue; }
    void setCompletionQueue(dispatch_queue_t queue) { m_completionQueue = std::move(queue); }
    const dispatch_group_t& completionGroup() const { return m_completionGroup; }
    void setCompletionGroup(dispatch_group_t group) { m_completionGroup = std::move(group); }
    const Value& userInfo() const { return m_userInfo; }
    void setUserInfo(Value userInfo) { m_userInfo = std::move(userInfo); }
    const Ref<NSRecursiveLock>& lock() const { return m_lock; }
    Ref<NSURLConnection> connection() const { return m_connection.get(); }
    // Main queue only.
    int64_t totalBytesRead() const { return m_totalBytesRead; }
    void setTotalBytesRead(int64_t total) { m_totalBytesRead = total; }

    Ref<NSInputStream> inputStream() const;
    void setInputStream(const Ref<NSInputStream>& stream);
    // A memory stream unless set.
    Ref<NSOutputStream> outputStream();
    void setOutputStream(Ref<NSOutputStream> stream);

    void setUploadProgressBlock(ProgressBlock block) { m_uploadProgress = std::move(block); }
    void setDownloadProgressBlock(ProgressBlock block) { m_downloadProgress = std::move(block); }
    // The progress blocks as set (empty when none), so a caller can chain onto them.
    const ProgressBlock& uploadProgress() const { return m_uploadProgress; }
    const ProgressBlock& downloadProgress() const { return m_downloadProgress; }
    void setWillSendRequestForAuthenticationChallengeBlock(AuthenticationChallengeBlock block)
    {
        m_authenticationChallenge = std::move(block);
    }
    void setCacheResponseBlock(CacheResponseBlock block) { m_cacheResponse = std::move(block); }
    void setRedirectResponseBlock(RedirectResponseBlock block) { m_redirectResponse = std::move(block); }

    // A new ready operation on the same request with the same hook blocks, completion queue and
    // completion group; nothing else is carried over.
    virtual Ref<VNURLConnectionOperation> copy() const;

    // Pauses the operation, then archives its request, state (a running or paused operation as
    // ready), cancellation, response, error, body and byte count.
    void encodeWithCoder(NSCoder& coder) override;
    // A ready operation on the archived request, given the archived state through the state
    // machine (so a finished one that was not cancelled stays ready) and the rest as archived.
    static Ref<VNURLConnectionOperation> initWithCoder(NSCoder& coder);

    std::string description() const override;
    Value valueForKey(const std::string& key) override;

    // NSURLConnectionDelegate (network thread).
    void connectionDidReceiveResponse(const Ref<NSURLConnection>&, const Ref<NSURLResponse>&) override;
    void connectionDidReceiveData(const Ref<NSURLConnection>&, const Value& data) override;
    void connectionDidFinishLoading(const Ref<NSURLConnection>&) override;
    void connectionDidFailWithError(const Ref<NSURLConnection>&, const Ref<NSError>&) override;
    void connectionDidSendBodyDataTotalBytesWrittenTotalBytesExpectedToWrite(const Ref<NSURLConnection>&,
        int64_t bytesWritten, int64_t totalBytesWritten, int64_t totalBytesExpected) override;
    std::optional<Ref<NSURLRequest>> connectionWillSendRequestRedirectResponse(
        const Ref<NSURLConnection>&, const Ref<NSURLRequest>&, const Ref<NSURLResponse>&) override;
    std::optional<Ref<NSCachedURLResponse>> connectionWillCacheResponse(
        const Ref<NSURLConnection>&, const Ref<NSCachedURLResponse>&) override;
    std::optional<bool> connectionShouldUseCredentialStorage(const Ref<NSURLConnection>&) override;
    bool connectionWillSendRequestForAuthenticationChallenge(
        const Ref<NSURLConnection>&, const Ref<NSURLAuthenticationChallenge>&) override;

protected:
    // Runs the designated initialisation on an object a subclass has made.
    void initializeWithRequest(const Ref<NSURLRequest>& request);
    // Runs the decoding initialisation on an object a subclass has made.
    void initializeWithCoder(NSCoder& coder);
    // Sends work to the network thread in the operation's run-loop modes, without waiting.
    void performOnNetworkThread(std::function<void()> work);
    void finish();

private:
    void operationDidStart();
    void operationDidPause();
    void cancelConnection();
    static const char* keyPathForState(int32_t state);

    Ref<NSRecursiveLock> m_lock;
    std::set<std::string> m_runLoopModes;
    // Fields read and written across threads (caller, network thread, main queue); each has its own lock.
    Locked<Ref<NSURLRequest>> m_request;
    Locked<Ref<NSURLResponse>> m_response;
    Locked<Ref<NSError>> m_error;
    Locked<Value> m_responseData;
    std::optional<std::string> m_responseString;
    uint32_t m_responseStringEncoding { 0 };
    bool m_shouldUseCredentialStorage { true };
    Ref<NSURLCredential> m_credential;
    Ref<VNSecurityPolicy> m_securityPolicy;
    Locked<Ref<NSOutputStream>> m_outputStream;
    dispatch_queue_t m_completionQueue;
    dispatch_group_t m_completionGroup;
    Value m_userInfo;
    std::atomic<int32_t> m_state { 0 };
    Locked<Ref<NSURLConnection>> m_connection;
    int64_t m_totalBytesRead { 0 };
    std::atomic<uint32_t> m_backgroundTaskIdentifier { 0 };
    ProgressBlock m_uploadProgress;
    ProgressBlock m_downloadProgress;
    AuthenticationChallengeBlock m_authenticationChallenge;
    CacheResponseBlock m_cacheResponse;
    RedirectResponseBlock m_redirectResponse;
};
