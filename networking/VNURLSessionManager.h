#pragma once

#include "foundation/Dispatch.h"
#include "foundation/Locked.h"
#include "foundation/NSCoding.h"
#include "foundation/NSObject.h"
#include "net/NSURLSession.h"
#include "net/NetForward.h"
#include "networking/VNURLSessionManagerTaskDelegate.h"
#include "networking/VNURLSessionNotifications.h"

#include <functional>
#include <map>
#include <vector>

class NSLock;
class NSOperationQueue;
class NSProgress;
class VNHTTPResponseSerializer;
class VNNetworkReachabilityManager;
class VNSecurityPolicy;

// Wraps one URL session and is its delegate: makes data, upload and download tasks, gives each
// a task delegate that collects its body and progress and, when it ends, serializes the
// response and calls its completion handler; answers server-trust challenges with its security
// policy; posts the task notifications (VNURLSessionNotifications.h) as its tasks start, are
// suspended and finish; and hands every session event to an optional block.
// Task factories and listings: any thread; listings never wait for the delegate queue. Session events
// arrive on `operationQueue`; completion handlers run on `completionQueue` (main when unset)
// inside `completionGroup`; the start, suspend and finish notifications are posted on the main
// queue. The session holds the manager until it is invalidated.
class VNURLSessionManager : public NSObject, public NSURLSessionDelegate, public NSCoding {
    VX_OBJECT(VNURLSessionManager, NSObject)
public:
    using CompletionHandler = VNURLSessionManagerTaskDelegate::CompletionHandler;
    using DestinationBlock = std::function<Ref<NSURL>(const Ref<NSURL>& targetPath, const Ref<NSURLResponse>&)>;

    using SessionDidBecomeInvalidBlock = std::function<void(const Ref<NSURLSession>&, const Ref<NSError>&)>;
    using SessionDidReceiveAuthenticationChallengeBlock = std::function<NSURLSessionAuthChallengeDisposition(
        const Ref<NSURLSession>&, const Ref<NSURLAuthenticationChallenge>&, Ref<NSURLCredential>* credential)>;
    using TaskWillPerformHTTPRedirectionBlock = std::function<Ref<NSURLRequest>(
        const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&, const Ref<NSURLResponse>&, const Ref<NSURLRequest>&)>;
    using TaskDidReceiveAuthenticationChallengeBlock
        = std::function<NSURLSessionAuthChallengeDisposition(const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&,
            const Ref<NSURLAuthenticationChallenge>&, Ref<NSURLCredential>* credential)>;
    using TaskNeedNewBodyStreamBlock
        = std::function<Ref<NSInputStream>(const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&)>;
    using TaskDidSendBodyDataBlock = std::function<void(const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&,
        int64_t bytesSent, int64_t totalBytesSent, int64_t totalBytesExpectedToSend)>;
    using TaskDidCompleteBlock
        = std::function<void(const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&, const Ref<NSError>&)>;
    using DataTaskDidReceiveResponseBlock = std::function<NSURLSessionResponseDisposition(
        const Ref<NSURLSession>&, const Ref<NSURLSessionDataTask>&, const Ref<NSURLResponse>&)>;
    using DataTaskDidBecomeDownloadTaskBlock = std::function<void(
        const Ref<NSURLSession>&, const Ref<NSURLSessionDataTask>&, const Ref<NSURLSessionDownloadTask>&)>;
    using DataTaskDidReceiveDataBlock
        = std::function<void(const Ref<NSURLSession>&, const Ref<NSURLSessionDataTask>&, const Value& data)>;
    using DataTaskWillCacheResponseBlock = std::function<Ref<NSCachedURLResponse>(
        const Ref<NSURLSession>&, const Ref<NSURLSessionDataTask>&, const Ref<NSCachedURLResponse>&)>;
    using DidFinishEventsForBackgroundURLSessionBlock = std::function<void(const Ref<NSURLSession>&)>;
    using DownloadTaskDidFinishDownloadingBlock
        = VNURLSessionManagerTaskDelegate::DownloadTaskDidFinishDownloadingBlock;
    using DownloadTaskDidWriteDataBlock
        = std::function<void(const Ref<NSURLSession>&, const Ref<NSURLSessionDownloadTask>&, int64_t bytesWritten,
            int64_t totalBytesWritten, int64_t totalBytesExpectedToWrite)>;
    using DownloadTaskDidResumeBlock = std::function<void(const Ref<NSURLSession>&,
        const Ref<NSURLSessionDownloadTask>&, int64_t fileOffset, int64_t expectedTotalBytes)>;

    explicit VNURLSessionManager(Passkey key);
    ~VNURLSessionManager() override;

    static Ref<VNURLSessionManager> init() { return initWithSessionConfiguration(nullptr); }
    // nullptr uses the default session configuration.
    static Ref<VNURLSessionManager> initWithSessionConfiguration(const Ref<NSURLSessionConfiguration>& configuration);

    const Ref<NSURLSession>& session() const { return m_session; }
    const Ref<NSOperationQueue>& operationQueue() const { return m_operationQueue; }
    const Ref<NSURLSessionConfiguration>& sessionConfiguration() const { return m_sessionConfiguration; }
    Ref<VNHTTPResponseSerializer> responseSerializer() const;
    virtual void setResponseSerializer(Ref<VNHTTPResponseSerializer> serializer);
    Ref<VNSecurityPolicy> securityPolicy() const;
    void setSecurityPolicy(Ref<VNSecurityPolicy> policy);
    const Ref<VNNetworkReachabilityManager>& reachabilityManager() const { return m_reachabilityManager; }
    void setReachabilityManager(Ref<VNNetworkReachabilityManager> manager)
    {
        m_reachabilityManager = std::move(manager);
    }
    dispatch_queue_t completionQueue() const;
    void setCompletionQueue(dispatch_queue_t queue);
    dispatch_group_t completionGroup() const;
    void setCompletionGroup(dispatch_group_t group);
    const Ref<NSLock>& lock() const { return m_lock; }

    // Each returns the new task, suspended (the caller resumes it), with its task delegate
    // registered; nullptr (and nothing registered) when the session makes no task. `progress`
    // (may be nullptr) receives the task's upload or download progress.
    Ref<NSURLSessionDataTask> dataTaskWithRequestCompletionHandler(
        const Ref<NSURLRequest>& request, CompletionHandler completionHandler);
    Ref<NSURLSessionUploadTask> uploadTaskWithRequestFromFileProgressCompletionHandler(const Ref<NSURLRequest>& request,
        const Ref<NSURL>& fileURL, Ref<NSProgress>* progress, CompletionHandler completionHandler);
    Ref<NSURLSessionUploadTask> uploadTaskWithRequestFromDataProgressCompletionHandler(const Ref<NSURLRequest>& request,
        const Value& bodyData, Ref<NSProgress>* progress, CompletionHandler completionHandler);
    Ref<NSURLSessionUploadTask> uploadTaskWithStreamedRequestProgressCompletionHandler(
        const Ref<NSURLRequest>& request, Ref<NSProgress>* progress, CompletionHandler completionHandler);
    // Without `destination` the file stays at its temporary location.
    Ref<NSURLSessionDownloadTask> downloadTaskWithRequestProgressDestinationCompletionHandler(
        const Ref<NSURLRequest>& request, Ref<NSProgress>* progress, DestinationBlock destination,
        CompletionHandler completionHandler);
    Ref<NSURLSessionDownloadTask> downloadTaskWithResumeDataProgressDestinationCompletionHandler(
        const Value& resumeData, Ref<NSProgress>* progress, DestinationBlock destination,
        CompletionHandler completionHandler);

    // true cancels the running tasks; false lets them finish first.
    void invalidateSessionCancelingTasks(bool cancelPendingTasks);

    // The session's outstanding tasks: data, then upload, then download tasks. Answered at once
    // from the session, also on the delegate queue and while that queue is suspended.
    std::vector<Ref<NSURLSessionTask>> tasks() const;
    std::vector<Ref<NSURLSessionDataTask>> dataTasks() const;
    std::vector<Ref<NSURLSessionUploadTask>> uploadTasks() const;
    std::vector<Ref<NSURLSessionDownloadTask>> downloadTasks() const;

    // The task delegate registered for a task; nullptr once the task completed.
    Ref<VNURLSessionManagerTaskDelegate> delegateForTask(const Ref<NSURLSessionTask>& task) const;

    // Event blocks: those returning a value replace the manager's answer, the others are called
    // after the manager's own handling.
    void setSessionDidBecomeInvalidBlock(SessionDidBecomeInvalidBlock block);
    void setSessionDidReceiveAuthenticationChallengeBlock(SessionDidReceiveAuthenticationChallengeBlock block);
    void setTaskWillPerformHTTPRedirectionBlock(TaskWillPerformHTTPRedirectionBlock block);
    void setTaskDidReceiveAuthenticationChallengeBlock(TaskDidReceiveAuthenticationChallengeBlock block);
    void setTaskNeedNewBodyStream(TaskNeedNewBodyStreamBlock block);
    void setTaskDidSendBodyDataBlock(TaskDidSendBodyDataBlock block);
    void setTaskDidCompleteBlock(TaskDidCompleteBlock block);
    void setDataTaskDidReceiveResponseBlock(DataTaskDidReceiveResponseBlock block);
    void setDataTaskDidBecomeDownloadTaskBlock(DataTaskDidBecomeDownloadTaskBlock block);
    void setDataTaskDidReceiveDataBlock(DataTaskDidReceiveDataBlock block);
    void setDataTaskWillCacheResponseBlock(DataTaskWillCacheResponseBlock block);
    void setDidFinishEventsForBackgroundURLSessionBlock(DidFinishEventsForBackgroundURLSessionBlock block);
    void setDownloadTaskDidFinishDownloadingBlock(DownloadTaskDidFinishDownloadingBlock block);
    void setDownloadTaskDidWriteDataBlock(DownloadTaskDidWriteDataBlock block);
    void setDownloadTaskDidResumeBlock(DownloadTaskDidResumeBlock block);

    // A new manager of the same configuration; nothing else is carried over.
    virtual Ref<VNURLSessionManager> copy() const;
    // Archives the session's configuration only.
    void encodeWithCoder(NSCoder& coder) override;
    static Ref<VNURLSessionManager> initWithCoder(NSCoder& coder);

    std::string description() const override;
    void observeValueForKeyPath(
        const std::string& keyPath, const Ref<NSObject>& object, const Value& change, void* context) override;

    // NSURLSessionDelegate (on the delegate queue).
    void URLSessionDidBecomeInvalidWithError(const Ref<NSURLSession>&, const Ref<NSError>&) override;
    bool URLSessionDidReceiveChallenge(
        const Ref<NSURLSession>&, const Ref<NSURLAuthenticationChallenge>&, ChallengeHandler) override;
    void URLSessionDidFinishEventsForBackgroundURLSession(const Ref<NSURLSession>&) override;
    bool URLSessionTaskWillPerformHTTPRedirectionNewRequest(const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&,
        const Ref<NSHTTPURLResponse>&, const Ref<NSURLRequest>&, std::function<void(Ref<NSURLRequest>)>) override;
    bool URLSessionTaskDidReceiveChallenge(const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&,
        const Ref<NSURLAuthenticationChallenge>&, ChallengeHandler) override;
    bool URLSessionTaskNeedNewBodyStream(
        const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&, std::function<void(Ref<NSInputStream>)>) override;
    void URLSessionTaskDidSendBodyDataTotalBytesSentTotalBytesExpectedToSend(
        const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&, int64_t, int64_t, int64_t) override;
    void URLSessionTaskDidCompleteWithError(
        const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&, const Ref<NSError>&) override;
    bool URLSessionDataTaskDidReceiveResponse(const Ref<NSURLSession>&, const Ref<NSURLSessionDataTask>&,
        const Ref<NSURLResponse>&, std::function<void(NSURLSessionResponseDisposition)>) override;
    void URLSessionDataTaskDidBecomeDownloadTask(
        const Ref<NSURLSession>&, const Ref<NSURLSessionDataTask>&, const Ref<NSURLSessionDownloadTask>&) override;
    void URLSessionDataTaskDidReceiveData(
        const Ref<NSURLSession>&, const Ref<NSURLSessionDataTask>&, const Value&) override;
    bool URLSessionDataTaskWillCacheResponse(const Ref<NSURLSession>&, const Ref<NSURLSessionDataTask>&,
        const Ref<NSCachedURLResponse>&, std::function<void(Ref<NSCachedURLResponse>)>) override;
    void URLSessionDownloadTaskDidFinishDownloadingToURL(
        const Ref<NSURLSession>&, const Ref<NSURLSessionDownloadTask>&, const Ref<NSURL>&) override;
    void URLSessionDownloadTaskDidWriteDataTotalBytesWrittenTotalBytesExpectedToWrite(
        const Ref<NSURLSession>&, const Ref<NSURLSessionDownloadTask>&, int64_t, int64_t, int64_t) override;
    void URLSessionDownloadTaskDidResumeAtOffsetExpectedTotalBytes(
        const Ref<NSURLSession>&, const Ref<NSURLSessionDownloadTask>&, int64_t, int64_t) override;

    // Moves a finished download to `destination`; a failure is posted as the file-manager-error
    // notification with the download task as object. True when the file was moved.
    static bool moveDownloadedFile(
        const Ref<NSURLSessionDownloadTask>& task, const Ref<NSURL>& location, const Ref<NSURL>& destination);

protected:
    // Runs the designated initialisation on an object a subclass has made.
    void initializeWithSessionConfiguration(const Ref<NSURLSessionConfiguration>& configuration);

private:
    void registerTaskDelegate(const Ref<NSURLSessionTask>& task, const Ref<VNURLSessionManagerTaskDelegate>& delegate);
    Ref<VNURLSessionManagerTaskDelegate> addDelegateForDataTask(
        const Ref<NSURLSessionTask>& task, CompletionHandler completionHandler);
    Ref<VNURLSessionManagerTaskDelegate> addDelegateForUploadTask(
        const Ref<NSURLSessionUploadTask>& task, Ref<NSProgress>* progress, CompletionHandler completionHandler);
    Ref<VNURLSessionManagerTaskDelegate> addDelegateForDownloadTask(const Ref<NSURLSessionDownloadTask>& task,
        Ref<NSProgress>* progress, DestinationBlock destination, CompletionHandler completionHandler);
    // Removes the task's delegate and stops observing the task; false when it had none.
    bool removeDelegateForTask(const Ref<NSURLSessionTask>& task);
    struct TaskLists {
        std::vector<Ref<NSURLSessionDataTask>> data;
        std::vector<Ref<NSURLSessionUploadTask>> uploads;
        std::vector<Ref<NSURLSessionDownloadTask>> downloads;
    };
    TaskLists taskLists() const;
    // The answer to a server-trust challenge under the security policy.
    std::pair<NSURLSessionAuthChallengeDisposition, Ref<NSURLCredential>> defaultChallengeAnswer(
        const Ref<NSURLAuthenticationChallenge>& challenge, bool sessionLevel) const;

    Ref<NSURLSessionConfiguration> m_sessionConfiguration;
    Ref<NSOperationQueue> m_operationQueue;
    Ref<NSURLSession> m_session;
    Ref<VNNetworkReachabilityManager> m_reachabilityManager;
    Ref<NSLock> m_lock; // guards the delegate dictionary
    std::map<uint32_t, Ref<VNURLSessionManagerTaskDelegate>> m_mutableTaskDelegatesKeyedByTaskIdentifier;

    // Settings and blocks read on the delegate queue and set from any thread; each has its own lock.
    Locked<Ref<VNHTTPResponseSerializer>> m_responseSerializer;
    Locked<Ref<VNSecurityPolicy>> m_securityPolicy;
    Locked<dispatch_queue_t> m_completionQueue;
    Locked<dispatch_group_t> m_completionGroup;
    Locked<SessionDidBecomeInvalidBlock> m_sessionDidBecomeInvalid;
    Locked<SessionDidReceiveAuthenticationChallengeBlock> m_sessionDidReceiveAuthenticationChallenge;
    Locked<TaskWillPerformHTTPRedirectionBlock> m_taskWillPerformHTTPRedirection;
    Locked<TaskDidReceiveAuthenticationChallengeBlock> m_taskDidReceiveAuthenticationChallenge;
    Locked<TaskNeedNewBodyStreamBlock> m_taskNeedNewBodyStream;
    Locked<TaskDidSendBodyDataBlock> m_taskDidSendBodyData;
    Locked<TaskDidCompleteBlock> m_taskDidComplete;
    Locked<DataTaskDidReceiveResponseBlock> m_dataTaskDidReceiveResponse;
    Locked<DataTaskDidBecomeDownloadTaskBlock> m_dataTaskDidBecomeDownloadTask;
    Locked<DataTaskDidReceiveDataBlock> m_dataTaskDidReceiveData;
    Locked<DataTaskWillCacheResponseBlock> m_dataTaskWillCacheResponse;
    Locked<DidFinishEventsForBackgroundURLSessionBlock> m_didFinishEventsForBackgroundURLSession;
    Locked<DownloadTaskDidFinishDownloadingBlock> m_downloadTaskDidFinishDownloading;
    Locked<DownloadTaskDidWriteDataBlock> m_downloadTaskDidWriteData;
    Locked<DownloadTaskDidResumeBlock> m_downloadTaskDidResume;
};
