#pragma once

#include "foundation/NSObject.h"
#include "net/NSURLSessionDataTask.h"
#include "net/NSURLSessionDelegate.h"
#include "net/NSURLSessionDownloadTask.h"
#include "net/NSURLSessionUploadTask.h"
#include "net/NetForward.h"

#include <mutex>
#include <vector>

// A set of tasks sharing a configuration, a delegate and a delegate queue. The session keeps its
// delegate until it is invalidated; every delegate call and completion handler runs on the
// delegate queue (a serial operation queue of its own when none is given). After
// finishTasksAndInvalidate or invalidateAndCancel no task can be made (the factories answer
// nullptr) and, once the last task completed, the delegate hears
// URLSessionDidBecomeInvalidWithError. Any thread.
class NSURLSession : public NSObject {
    VX_OBJECT(NSURLSession, NSObject)
public:
    explicit NSURLSession(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<NSURLSession> sharedSession();
    static Ref<NSURLSession> sessionWithConfiguration(const Ref<NSURLSessionConfiguration>& configuration);
    static Ref<NSURLSession> sessionWithConfigurationDelegateDelegateQueue(
        const Ref<NSURLSessionConfiguration>& configuration, const Ref<NSURLSessionDelegate>& delegate,
        const Ref<NSOperationQueue>& queue);

    const Ref<NSURLSessionConfiguration>& configuration() const { return m_configuration; }
    Ref<NSURLSessionDelegate> delegate() const;
    const Ref<NSOperationQueue>& delegateQueue() const { return m_queue; }
    std::string sessionDescription() const;
    void setSessionDescription(const std::string& description);

    Ref<NSURLSessionDataTask> dataTaskWithRequest(const Ref<NSURLRequest>& request);
    Ref<NSURLSessionDataTask> dataTaskWithURL(const Ref<NSURL>& url);
    Ref<NSURLSessionDataTask> dataTaskWithRequestCompletionHandler(
        const Ref<NSURLRequest>& request, NSURLSessionTask::DataCompletion handler);
    Ref<NSURLSessionDataTask> dataTaskWithURLCompletionHandler(
        const Ref<NSURL>& url, NSURLSessionTask::DataCompletion handler);

    Ref<NSURLSessionDownloadTask> downloadTaskWithRequest(const Ref<NSURLRequest>& request);
    Ref<NSURLSessionDownloadTask> downloadTaskWithURL(const Ref<NSURL>& url);
    Ref<NSURLSessionDownloadTask> downloadTaskWithRequestCompletionHandler(
        const Ref<NSURLRequest>& request, NSURLSessionTask::DownloadCompletion handler);
    Ref<NSURLSessionDownloadTask> downloadTaskWithResumeData(const Value& resumeData);
    Ref<NSURLSessionDownloadTask> downloadTaskWithResumeDataCompletionHandler(
        const Value& resumeData, NSURLSessionTask::DownloadCompletion handler);

    Ref<NSURLSessionUploadTask> uploadTaskWithRequestFromData(const Ref<NSURLRequest>& request, const Value& data);
    Ref<NSURLSessionUploadTask> uploadTaskWithRequestFromDataCompletionHandler(
        const Ref<NSURLRequest>& request, const Value& data, NSURLSessionTask::DataCompletion handler);
    Ref<NSURLSessionUploadTask> uploadTaskWithRequestFromFile(
        const Ref<NSURLRequest>& request, const Ref<NSURL>& fileURL);
    Ref<NSURLSessionUploadTask> uploadTaskWithRequestFromFileCompletionHandler(
        const Ref<NSURLRequest>& request, const Ref<NSURL>& fileURL, NSURLSessionTask::DataCompletion handler);
    // The body comes from the request's body stream or, without one, from the delegate's
    // URLSessionTaskNeedNewBodyStream.
    Ref<NSURLSessionUploadTask> uploadTaskWithStreamedRequest(const Ref<NSURLRequest>& request);

    // The outstanding (not completed) tasks by kind, on the delegate queue.
    void getTasksWithCompletionHandler(std::function<void(std::vector<Ref<NSURLSessionDataTask>>,
            std::vector<Ref<NSURLSessionUploadTask>>, std::vector<Ref<NSURLSessionDownloadTask>>)>
            handler);
    // The outstanding tasks at this moment, in the order they were made, without waiting for
    // the delegate queue (for callers running on it).
    std::vector<Ref<NSURLSessionTask>> outstandingTasks() const;
    void finishTasksAndInvalidate();
    void invalidateAndCancel();

private:
    friend class NSURLSessionTask;
    template <typename T> Ref<T> addTask(Ref<T> task, const Ref<NSURLRequest>& request);
    void taskDidComplete(const Ref<NSURLSessionTask>& task);
    void invalidateIfDone();

    Ref<NSURLSessionConfiguration> m_configuration;
    Ref<NSURLSessionDelegate> m_delegate;
    Ref<NSOperationQueue> m_queue;
    mutable std::mutex m_lock;
    std::vector<Ref<NSURLSessionTask>> m_tasks;
    uint32_t m_nextIdentifier { 1 };
    std::string m_description;
    bool m_invalidated { false };
    bool m_invalidationSent { false };
};
