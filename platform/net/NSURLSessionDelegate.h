#pragma once

#include "foundation/Value.h"
#include "net/NSURLAuthenticationChallenge.h"
#include "net/NetForward.h"

#include <functional>

enum NSURLSessionResponseDisposition : int32_t {
    NSURLSessionResponseCancel = 0,
    NSURLSessionResponseAllow = 1,
    NSURLSessionResponseBecomeDownload = 2,
};

// A session's delegate: the session, task, data and download protocols in one class, every
// operation optional. Operations that take a completion handler answer whether they are
// implemented: false (the default) means the session acts as if the delegate lacked them
// (follow redirects, default challenge handling, allow the response, cache the proposal).
// All calls arrive on the session's delegate queue.
class NSURLSessionDelegate {
public:
    using ChallengeHandler = std::function<void(NSURLSessionAuthChallengeDisposition, Ref<NSURLCredential>)>;
    virtual ~NSURLSessionDelegate() = default;

    virtual void URLSessionDidBecomeInvalidWithError(const Ref<NSURLSession>&, const Ref<NSError>&) { }
    virtual bool URLSessionDidReceiveChallenge(
        const Ref<NSURLSession>&, const Ref<NSURLAuthenticationChallenge>&, ChallengeHandler)
    {
        return false;
    }
    // A background session calls this once its last outstanding task has completed.
    virtual void URLSessionDidFinishEventsForBackgroundURLSession(const Ref<NSURLSession>&) { }

    virtual bool URLSessionTaskWillPerformHTTPRedirectionNewRequest(const Ref<NSURLSession>&,
        const Ref<NSURLSessionTask>&, const Ref<NSHTTPURLResponse>&, const Ref<NSURLRequest>&,
        std::function<void(Ref<NSURLRequest>)>)
    {
        return false;
    }
    virtual bool URLSessionTaskDidReceiveChallenge(const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&,
        const Ref<NSURLAuthenticationChallenge>&, ChallengeHandler)
    {
        return false;
    }
    virtual bool URLSessionTaskNeedNewBodyStream(
        const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&, std::function<void(Ref<NSInputStream>)>)
    {
        return false;
    }
    virtual void URLSessionTaskDidSendBodyDataTotalBytesSentTotalBytesExpectedToSend(
        const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&, int64_t, int64_t, int64_t)
    {
    }
    virtual void URLSessionTaskDidCompleteWithError(
        const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&, const Ref<NSError>&)
    {
    }

    virtual bool URLSessionDataTaskDidReceiveResponse(const Ref<NSURLSession>&, const Ref<NSURLSessionDataTask>&,
        const Ref<NSURLResponse>&, std::function<void(NSURLSessionResponseDisposition)>)
    {
        return false;
    }
    // Never called here: responses answered with NSURLSessionResponseBecomeDownload go on as data.
    virtual void URLSessionDataTaskDidBecomeDownloadTask(
        const Ref<NSURLSession>&, const Ref<NSURLSessionDataTask>&, const Ref<NSURLSessionDownloadTask>&)
    {
    }
    virtual void URLSessionDataTaskDidReceiveData(
        const Ref<NSURLSession>&, const Ref<NSURLSessionDataTask>&, const Value&)
    {
    }
    virtual bool URLSessionDataTaskWillCacheResponse(const Ref<NSURLSession>&, const Ref<NSURLSessionDataTask>&,
        const Ref<NSCachedURLResponse>&, std::function<void(Ref<NSCachedURLResponse>)>)
    {
        return false;
    }

    virtual void URLSessionDownloadTaskDidFinishDownloadingToURL(
        const Ref<NSURLSession>&, const Ref<NSURLSessionDownloadTask>&, const Ref<NSURL>&)
    {
    }
    virtual void URLSessionDownloadTaskDidWriteDataTotalBytesWrittenTotalBytesExpectedToWrite(
        const Ref<NSURLSession>&, const Ref<NSURLSessionDownloadTask>&, int64_t, int64_t, int64_t)
    {
    }
    virtual void URLSessionDownloadTaskDidResumeAtOffsetExpectedTotalBytes(
        const Ref<NSURLSession>&, const Ref<NSURLSessionDownloadTask>&, int64_t, int64_t)
    {
    }
};
