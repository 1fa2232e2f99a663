#pragma once

#include "foundation/Locked.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "net/NSURLSessionDelegate.h"
#include "net/NetForward.h"

#include <functional>

class NSProgress;
class VNURLSessionManager;

// The private companion of one task made by a session manager: collects the task's body and
// progress and, when the task ends, serializes the response with the manager's response
// serializer and calls the task's completion handler. The manager's delegate dictionary owns it;
// it holds the manager weakly. Called on the session's delegate queue; the completion handler
// runs on the manager's completion queue (main when unset) inside its completion group.
class VNURLSessionManagerTaskDelegate : public NSObject, public NSURLSessionDelegate {
    VX_OBJECT(VNURLSessionManagerTaskDelegate, NSObject)
public:
    using CompletionHandler = std::function<void(
        const Ref<NSURLResponse>& response, const Value& responseObject, const Ref<NSError>& error)>;
    using DownloadTaskDidFinishDownloadingBlock = std::function<Ref<NSURL>(
        const Ref<NSURLSession>&, const Ref<NSURLSessionDownloadTask>&, const Ref<NSURL>& location)>;

    explicit VNURLSessionManagerTaskDelegate(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<VNURLSessionManagerTaskDelegate> delegateForManagerCompletionHandler(
        const Ref<VNURLSessionManager>& manager, CompletionHandler completionHandler);

    Ref<VNURLSessionManager> manager() const { return m_manager.lock(); }
    // A copy of the bytes received so far.
    Value mutableData() const;
    Ref<NSProgress> uploadProgress() const;
    void setUploadProgress(Ref<NSProgress> progress);
    Ref<NSProgress> downloadProgress() const;
    void setDownloadProgress(Ref<NSProgress> progress);
    Ref<NSURL> downloadFileURL() const;
    void setDownloadTaskDidFinishDownloading(DownloadTaskDidFinishDownloadingBlock block);
    const CompletionHandler& completionHandler() const { return m_completionHandler; }

    // NSURLSessionDelegate (the task's events, on the delegate queue).
    void URLSessionTaskDidSendBodyDataTotalBytesSentTotalBytesExpectedToSend(const Ref<NSURLSession>&,
        const Ref<NSURLSessionTask>&, int64_t bytesSent, int64_t totalBytesSent,
        int64_t totalBytesExpectedToSend) override;
    void URLSessionTaskDidCompleteWithError(
        const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&, const Ref<NSError>&) override;
    void URLSessionDataTaskDidReceiveData(
        const Ref<NSURLSession>&, const Ref<NSURLSessionDataTask>&, const Value& data) override;
    void URLSessionDownloadTaskDidFinishDownloadingToURL(
        const Ref<NSURLSession>&, const Ref<NSURLSessionDownloadTask>&, const Ref<NSURL>& location) override;
    void URLSessionDownloadTaskDidWriteDataTotalBytesWrittenTotalBytesExpectedToWrite(const Ref<NSURLSession>&,
        const Ref<NSURLSessionDownloadTask>&, int64_t bytesWritten, int64_t totalBytesWritten,
        int64_t totalBytesExpectedToWrite) override;
    void URLSessionDownloadTaskDidResumeAtOffsetExpectedTotalBytes(const Ref<NSURLSession>&,
        const Ref<NSURLSessionDownloadTask>&, int64_t fileOffset, int64_t expectedTotalBytes) override;

private:
    Weak<VNURLSessionManager> m_manager;
    // Read and written from the delegate queue and from the manager's callers; each has its own lock.
    Locked<Value::Bytes> m_mutableData;
    Locked<Ref<NSProgress>> m_uploadProgress;
    Locked<Ref<NSProgress>> m_downloadProgress;
    Locked<Ref<NSURL>> m_downloadFileURL;
    Locked<DownloadTaskDidFinishDownloadingBlock> m_downloadTaskDidFinishDownloading;
    CompletionHandler m_completionHandler;
};
