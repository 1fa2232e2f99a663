#include "networking/VNURLSessionManagerTaskDelegate.h"

#include "foundation/Dispatch.h"
#include "foundation/NSError.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSProgress.h"
#include "net/NSURL.h"
#include "net/NSURLResponse.h"
#include "net/NSURLSessionDownloadTask.h"
#include "net/NSURLSessionTask.h"
#include "networking/VNHTTPResponseSerializer.h"
#include "networking/VNURLSessionManager.h"

VX_REGISTER_CLASS(VNURLSessionManagerTaskDelegate);

namespace {

dispatch_queue_t processingQueue()
{
    static dispatch_queue_t s_queue
        = dispatch_queue_create("com.vnnet.networking.session.manager.processing", DISPATCH_QUEUE_CONCURRENT);
    return s_queue;
}

dispatch_group_t completionGroup()
{
    static dispatch_group_t s_group = dispatch_group_create();
    return s_group;
}

// Moves a task's progress to `completed` of `total` units, setting the total first.
void setProgress(const Ref<NSProgress>& progress, int64_t completed, int64_t total)
{
    progress->setTotalUnitCount(total);
    progress->setCompletedUnitCount(completed);
}

} // namespace

Ref<VNURLSessionManagerTaskDelegate> VNURLSessionManagerTaskDelegate::delegateForManagerCompletionHandler(
    const Ref<VNURLSessionManager>& manager, CompletionHandler completionHandler)
{
    auto delegate = make<VNURLSessionManagerTaskDelegate>();
    delegate->m_manager = manager;
    delegate->m_completionHandler = std::move(completionHandler);
    delegate->m_uploadProgress.set(NSProgress::initWithParent(nullptr, Value()));
    delegate->m_downloadProgress.set(NSProgress::initWithParent(nullptr, Value()));
    return delegate;
}

Value VNURLSessionManagerTaskDelegate::mutableData() const
{
    return m_mutableData.with([](const Value::Bytes& bytes) { return Value::data(bytes); });
}

Ref<NSProgress> VNURLSessionManagerTaskDelegate::uploadProgress() const
{
    return m_uploadProgress.get();
}

void VNURLSessionManagerTaskDelegate::setUploadProgress(Ref<NSProgress> progress)
{
    m_uploadProgress.set(std::move(progress));
}

Ref<NSProgress> VNURLSessionManagerTaskDelegate::downloadProgress() const
{
    return m_downloadProgress.get();
}

void VNURLSessionManagerTaskDelegate::setDownloadProgress(Ref<NSProgress> progress)
{
    m_downloadProgress.set(std::move(progress));
}

Ref<NSURL> VNURLSessionManagerTaskDelegate::downloadFileURL() const
{
    return m_downloadFileURL.get();
}

void VNURLSessionManagerTaskDelegate::setDownloadTaskDidFinishDownloading(DownloadTaskDidFinishDownloadingBlock block)
{
    m_downloadTaskDidFinishDownloading.set(std::move(block));
}

void VNURLSessionManagerTaskDelegate::URLSessionTaskDidSendBodyDataTotalBytesSentTotalBytesExpectedToSend(
    const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&, int64_t, int64_t totalBytesSent,
    int64_t totalBytesExpectedToSend)
{
    setProgress(uploadProgress(), totalBytesSent, totalBytesExpectedToSend);
}

void VNURLSessionManagerTaskDelegate::URLSessionDataTaskDidReceiveData(
    const Ref<NSURLSession>&, const Ref<NSURLSessionDataTask>&, const Value& data)
{
    if (!data.isData())
        return;
    const auto& bytes = data.bytes();
    m_mutableData.with([&](Value::Bytes& received) { received.insert(received.end(), bytes.begin(), bytes.end()); });
}

void VNURLSessionManagerTaskDelegate::URLSessionDownloadTaskDidWriteDataTotalBytesWrittenTotalBytesExpectedToWrite(
    const Ref<NSURLSession>&, const Ref<NSURLSessionDownloadTask>&, int64_t, int64_t totalBytesWritten,
    int64_t totalBytesExpectedToWrite)
{
    setProgress(downloadProgress(), totalBytesWritten, totalBytesExpectedToWrite);
}

void VNURLSessionManagerTaskDelegate::URLSessionDownloadTaskDidResumeAtOffsetExpectedTotalBytes(
    const Ref<NSURLSession>&, const Ref<NSURLSessionDownloadTask>&, int64_t fileOffset, int64_t expectedTotalBytes)
{
    setProgress(downloadProgress(), fileOffset, expectedTotalBytes);
}

void VNURLSessionManagerTaskDelegate::URLSessionDownloadTaskDidFinishDownloadingToURL(
    const Ref<NSURLSession>& session, const Ref<NSURLSessionDownloadTask>& task, const Ref<NSURL>& location)
{
    m_downloadFileURL.set(nullptr);
    DownloadTaskDidFinishDownloadingBlock block = m_downloadTaskDidFinishDownloading.get();
    if (!block)
        return;
    auto destination = block(session, task, location);
    m_downloadFileURL.set(destination);
    if (destination)
        VNURLSessionManager::moveDownloadedFile(task, location, destination);
}

void VNURLSessionManagerTaskDelegate::URLSessionTaskDidCompleteWithError(
    const Ref<NSURLSession>&, const Ref<NSURLSessionTask>& task, const Ref<NSError>& error)
{
    if (!m_completionHandler)
        return;
    auto manager = m_manager.lock();
    auto serializer = manager ? manager->responseSerializer() : nullptr;
    dispatch_queue_t queue = manager ? manager->completionQueue() : nullptr;
    if (!queue)
        queue = dispatch_get_main_queue();
    dispatch_group_t group = manager ? manager->completionGroup() : nullptr;
    if (!group)
        group = completionGroup();

    auto userInfo = Value::mutableDictionary();
    if (serializer)
        userInfo.setObjectForKey(Value::object(serializer), VNNetworkingTaskDidCompleteResponseSerializerKey);
    auto fileURL = downloadFileURL();
    Value data = mutableData();
    if (fileURL)
        userInfo.setObjectForKey(Value::object(fileURL), VNNetworkingTaskDidCompleteAssetPathKey);
    else
        userInfo.setObjectForKey(data, VNNetworkingTaskDidCompleteResponseDataKey);

    auto handler = m_completionHandler;
    auto response = task->response();
    auto post = [task](Value userInfo) {
        dispatch_async(dispatch_get_main_queue(), [task, userInfo] {
            NSNotificationCenter::defaultCenter()->postNotificationName(
                VNNetworkingTaskDidCompleteNotification, task, userInfo);
        });
    };

    if (error) {
        userInfo.setObjectForKey(Value::object(error), VNNetworkingTaskDidCompleteErrorKey);
        dispatch_group_async(group, queue, [handler, response, error, userInfo = userInfo.copy(), post] {
            handler(response, Value(), error);
            post(userInfo);
        });
        return;
    }
    dispatch_async(processingQueue(), [=]() mutable {
        Value responseObject;
        Ref<NSError> serializationError;
        if (fileURL)
            responseObject = Value::object(fileURL);
        else if (serializer)
            responseObject = serializer->responseObjectForResponseDataError(response, data, &serializationError);
        if (!responseObject.isNil())
            userInfo.setObjectForKey(responseObject, VNNetworkingTaskDidCompleteSerializedResponseKey);
        if (serializationError)
            userInfo.setObjectForKey(Value::object(serializationError), VNNetworkingTaskDidCompleteErrorKey);
        dispatch_group_async(
            group, queue, [handler, response, responseObject, serializationError, userInfo = userInfo.copy(), post] {
                handler(response, responseObject, serializationError);
                post(userInfo);
            });
    });
}
