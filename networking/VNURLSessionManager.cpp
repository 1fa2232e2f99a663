#include "networking/VNURLSessionManager.h"

#include "foundation/NSCoder.h"
#include "foundation/NSError.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSLock.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSProgress.h"
#include "foundation/NSString.h"
#include "net/NSCachedURLResponse.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSURL.h"
#include "net/NSURLAuthenticationChallenge.h"
#include "net/NSURLCredential.h"
#include "net/NSURLProtectionSpace.h"
#include "net/NSURLRequest.h"
#include "net/NSURLResponse.h"
#include "net/NSURLSessionConfiguration.h"
#include "networking/VNJSONResponseSerializer.h"
#include "networking/VNNetworkReachabilityManager.h"
#include "networking/VNSecurityPolicy.h"

VX_REGISTER_CODING_CLASS(VNURLSessionManager);

namespace {

// Marks the manager's own observations of its tasks' "state".
int s_taskStateContext;

} // namespace

VNURLSessionManager::VNURLSessionManager(Passkey key)
    : NSObject(key)
{
}

VNURLSessionManager::~VNURLSessionManager() = default;

Ref<VNURLSessionManager> VNURLSessionManager::initWithSessionConfiguration(
    const Ref<NSURLSessionConfiguration>& configuration)
{
    auto manager = make<VNURLSessionManager>();
    manager->initializeWithSessionConfiguration(configuration);
    return manager;
}

void VNURLSessionManager::initializeWithSessionConfiguration(const Ref<NSURLSessionConfiguration>& configuration)
{
    m_sessionConfiguration = configuration ? configuration : NSURLSessionConfiguration::defaultSessionConfiguration();
    m_operationQueue = NSOperationQueue::init();
    m_operationQueue->setMaxConcurrentOperationCount(NSOperationQueueDefaultMaxConcurrentOperationCount);
    m_responseSerializer.set(VNJSONResponseSerializer::serializer());
    m_session = NSURLSession::sessionWithConfigurationDelegateDelegateQueue(m_sessionConfiguration,
        std::static_pointer_cast<NSURLSessionDelegate>(self<VNURLSessionManager>()), m_operationQueue);
    m_reachabilityManager = VNNetworkReachabilityManager::sharedManager();
    m_reachabilityManager->startMonitoring();
    m_securityPolicy.set(VNSecurityPolicy::defaultPolicy());
    m_lock = NSLock::init();
    m_lock->setName("com.vnnet.networking.session.manager.lock");
}

Ref<VNHTTPResponseSerializer> VNURLSessionManager::responseSerializer() const
{
    return m_responseSerializer.get();
}

void VNURLSessionManager::setResponseSerializer(Ref<VNHTTPResponseSerializer> serializer)
{
    m_responseSerializer.set(std::move(serializer));
}

Ref<VNSecurityPolicy> VNURLSessionManager::securityPolicy() const
{
    return m_securityPolicy.get();
}

void VNURLSessionManager::setSecurityPolicy(Ref<VNSecurityPolicy> policy)
{
    m_securityPolicy.set(std::move(policy));
}

dispatch_queue_t VNURLSessionManager::completionQueue() const
{
    return m_completionQueue.get();
}

void VNURLSessionManager::setCompletionQueue(dispatch_queue_t queue)
{
    m_completionQueue.set(std::move(queue));
}

dispatch_group_t VNURLSessionManager::completionGroup() const
{
    return m_completionGroup.get();
}

void VNURLSessionManager::setCompletionGroup(dispatch_group_t group)
{
    m_completionGroup.set(std::move(group));
}

// MARK: Task delegates

void VNURLSessionManager::registerTaskDelegate(
    const Ref<NSURLSessionTask>& task, const Ref<VNURLSessionManagerTaskDelegate>& delegate)
{
    {
        std::lock_guard guard(*m_lock);
        m_mutableTaskDelegatesKeyedByTaskIdentifier[task->taskIdentifier()] = delegate;
    }
    task->addObserver(self<VNURLSessionManager>(), "state",
        NSObject::NSKeyValueObservingOptionNew | NSObject::NSKeyValueObservingOptionOld, &s_taskStateContext);
}

Ref<VNURLSessionManagerTaskDelegate> VNURLSessionManager::addDelegateForDataTask(
    const Ref<NSURLSessionTask>& task, CompletionHandler completionHandler)
{
    auto delegate = VNURLSessionManagerTaskDelegate::delegateForManagerCompletionHandler(
        self<VNURLSessionManager>(), std::move(completionHandler));
    registerTaskDelegate(task, delegate);
    return delegate;
}

Ref<VNURLSessionManagerTaskDelegate> VNURLSessionManager::addDelegateForUploadTask(
    const Ref<NSURLSessionUploadTask>& task, Ref<NSProgress>* progress, CompletionHandler completionHandler)
{
    auto delegate = addDelegateForDataTask(task, std::move(completionHandler));
    auto uploadProgress = NSProgress::progressWithTotalUnitCount(task->countOfBytesExpectedToSend());
    Weak<NSURLSessionTask> weakTask = task;
    uploadProgress->setCancellable(true);
    uploadProgress->setCancellationHandler([weakTask] {
        if (auto task = weakTask.lock())
            task->cancel();
    });
    uploadProgress->setPausable(true);
    uploadProgress->setPausingHandler([weakTask] {
        if (auto task = weakTask.lock())
            task->suspend();
    });
    delegate->setUploadProgress(uploadProgress);
    if (progress)
        *progress = uploadProgress;
    return delegate;
}

Ref<VNURLSessionManagerTaskDelegate> VNURLSessionManager::addDelegateForDownloadTask(
    const Ref<NSURLSessionDownloadTask>& task, Ref<NSProgress>* progress, DestinationBlock destination,
    CompletionHandler completionHandler)
{
    auto delegate = addDelegateForDataTask(task, std::move(completionHandler));
    delegate->setDownloadTaskDidFinishDownloading(
        [destination](const Ref<NSURLSession>&, const Ref<NSURLSessionDownloadTask>& task, const Ref<NSURL>& location) {
            if (destination)
                return destination(location, task->response());
            return location;
        });
    if (progress)
        *progress = delegate->downloadProgress();
    return delegate;
}

Ref<VNURLSessionManagerTaskDelegate> VNURLSessionManager::delegateForTask(const Ref<NSURLSessionTask>& task) const
{
    if (!task)
        return nullptr;
    std::lock_guard guard(*m_lock);
    auto found = m_mutableTaskDelegatesKeyedByTaskIdentifier.find(task->taskIdentifier());
    return found == m_mutableTaskDelegatesKeyedByTaskIdentifier.end() ? nullptr : found->second;
}

bool VNURLSessionManager::removeDelegateForTask(const Ref<NSURLSessionTask>& task)
{
    {
        std::lock_guard guard(*m_lock);
        auto found = m_mutableTaskDelegatesKeyedByTaskIdentifier.find(task->taskIdentifier());
        // A task this manager never registered (made on the session directly) is left alone.
        if (found == m_mutableTaskDelegatesKeyedByTaskIdentifier.end())
            return false;
        m_mutableTaskDelegatesKeyedByTaskIdentifier.erase(found);
    }
    task->removeObserver(self<VNURLSessionManager>(), "state", &s_taskStateContext);
    return true;
}

// MARK: Making tasks

Ref<NSURLSessionDataTask> VNURLSessionManager::dataTaskWithRequestCompletionHandler(
    const Ref<NSURLRequest>& request, CompletionHandler completionHandler)
{
    auto task = m_session->dataTaskWithRequest(request);
    if (task)
        addDelegateForDataTask(task, std::move(completionHandler));
    return task;
}

Ref<NSURLSessionUploadTask> VNURLSessionManager::uploadTaskWithRequestFromFileProgressCompletionHandler(
    const Ref<NSURLRequest>& request, const Ref<NSURL>& fileURL, Ref<NSProgress>* progress,
    CompletionHandler completionHandler)
{
    auto task = m_session->uploadTaskWithRequestFromFile(request, fileURL);
    if (task)
        addDelegateForUploadTask(task, progress, std::move(completionHandler));
    return task;
}

Ref<NSURLSessionUploadTask> VNURLSessionManager::uploadTaskWithRequestFromDataProgressCompletionHandler(
    const Ref<NSURLRequest>& request, const Value& bodyData, Ref<NSProgress>* progress,
    CompletionHandler completionHandler)
{
    auto task = m_session->uploadTaskWithRequestFromData(request, bodyData);
    if (task)
        addDelegateForUploadTask(task, progress, std::move(completionHandler));
    return task;
}

Ref<NSURLSessionUploadTask> VNURLSessionManager::uploadTaskWithStreamedRequestProgressCompletionHandler(
    const Ref<NSURLRequest>& request, Ref<NSProgress>* progress, CompletionHandler completionHandler)
{
    auto task = m_session->uploadTaskWithStreamedRequest(request);
    if (task)
        addDelegateForUploadTask(task, progress, std::move(completionHandler));
    return task;
}

Ref<NSURLSessionDownloadTask> VNURLSessionManager::downloadTaskWithRequestProgressDestinationCompletionHandler(
    const Ref<NSURLRequest>& request, Ref<NSProgress>* progress, DestinationBlock destination,
    CompletionHandler completionHandler)
{
    auto task = m_session->downloadTaskWithRequest(request);
    if (task)
        addDelegateForDownloadTask(task, progress, std::move(destination), std::move(completionHandler));
    return task;
}

Ref<NSURLSessionDownloadTask> VNURLSessionManager::downloadTaskWithResumeDataProgressDestinationCompletionHandler(
    const Value& resumeData, Ref<NSProgress>* progress, DestinationBlock destination,
    CompletionHandler completionHandler)
{
    auto task = m_session->downloadTaskWithResumeData(resumeData);
    if (task)
        addDelegateForDownloadTask(task, progress, std::move(destination), std::move(completionHandler));
    return task;
}

void VNURLSessionManager::invalidateSessionCancelingTasks(bool cancelPendingTasks)
{
    if (cancelPendingTasks)
        m_session->invalidateAndCancel();
    else
        m_session->finishTasksAndInvalidate();
}

// MARK: Listing tasks

VNURLSessionManager::TaskLists VNURLSessionManager::taskLists() const
{
    // Read from the session at once rather than by waiting for its delegate queue to answer:
    // a wait would never end when asked on that queue while it runs one operation at a time,
    // or while the queue is suspended.
    TaskLists lists;
    for (const auto& task : m_session->outstandingTasks()) {
        if (auto upload = std::dynamic_pointer_cast<NSURLSessionUploadTask>(task))
            lists.uploads.push_back(upload);
        else if (auto download = std::dynamic_pointer_cast<NSURLSessionDownloadTask>(task))
            lists.downloads.push_back(download);
        else if (auto data = std::dynamic_pointer_cast<NSURLSessionDataTask>(task))
            lists.data.push_back(data);
    }
    return lists;
}

std::vector<Ref<NSURLSessionTask>> VNURLSessionManager::tasks() const
{
    auto lists = taskLists();
    std::vector<Ref<NSURLSessionTask>> all(lists.data.begin(), lists.data.end());
    all.insert(all.end(), lists.uploads.begin(), lists.uploads.end());
    all.insert(all.end(), lists.downloads.begin(), lists.downloads.end());
    return all;
}

std::vector<Ref<NSURLSessionDataTask>> VNURLSessionManager::dataTasks() const
{
    return taskLists().data;
}
std::vector<Ref<NSURLSessionUploadTask>> VNURLSessionManager::uploadTasks() const
{
    return taskLists().uploads;
}
std::vector<Ref<NSURLSessionDownloadTask>> VNURLSessionManager::downloadTasks() const
{
    return taskLists().downloads;
}

// MARK: Event blocks

void VNURLSessionManager::setSessionDidBecomeInvalidBlock(SessionDidBecomeInvalidBlock block)
{
    m_sessionDidBecomeInvalid.set(std::move(block));
}
void VNURLSessionManager::setSessionDidReceiveAuthenticationChallengeBlock(
    SessionDidReceiveAuthenticationChallengeBlock block)
{
    m_sessionDidReceiveAuthenticationChallenge.set(std::move(block));
}
void VNURLSessionManager::setTaskWillPerformHTTPRedirectionBlock(TaskWillPerformHTTPRedirectionBlock block)
{
    m_taskWillPerformHTTPRedirection.set(std::move(block));
}
void VNURLSessionManager::setTaskDidReceiveAuthenticationChallengeBlock(
    TaskDidReceiveAuthenticationChallengeBlock block)
{
    m_taskDidReceiveAuthenticationChallenge.set(std::move(block));
}
void VNURLSessionManager::setTaskNeedNewBodyStream(TaskNeedNewBodyStreamBlock block)
{
    m_taskNeedNewBodyStream.set(std::move(block));
}
void VNURLSessionManager::setTaskDidSendBodyDataBlock(TaskDidSendBodyDataBlock block)
{
    m_taskDidSendBodyData.set(std::move(block));
}
void VNURLSessionManager::setTaskDidCompleteBlock(TaskDidCompleteBlock block)
{
    m_taskDidComplete.set(std::move(block));
}
void VNURLSessionManager::setDataTaskDidReceiveResponseBlock(DataTaskDidReceiveResponseBlock block)
{
    m_dataTaskDidReceiveResponse.set(std::move(block));
}
void VNURLSessionManager::setDataTaskDidBecomeDownloadTaskBlock(DataTaskDidBecomeDownloadTaskBlock block)
{
    m_dataTaskDidBecomeDownloadTask.set(std::move(block));
}
void VNURLSessionManager::setDataTaskDidReceiveDataBlock(DataTaskDidReceiveDataBlock block)
{
    m_dataTaskDidReceiveData.set(std::move(block));
}
void VNURLSessionManager::setDataTaskWillCacheResponseBlock(DataTaskWillCacheResponseBlock block)
{
    m_dataTaskWillCacheResponse.set(std::move(block));
}
void VNURLSessionManager::setDidFinishEventsForBackgroundURLSessionBlock(
    DidFinishEventsForBackgroundURLSessionBlock block)
{
    m_didFinishEventsForBackgroundURLSession.set(std::move(block));
}
void VNURLSessionManager::setDownloadTaskDidFinishDownloadingBlock(DownloadTaskDidFinishDownloadingBlock block)
{
    m_downloadTaskDidFinishDownloading.set(std::move(block));
}
void VNURLSessionManager::setDownloadTaskDidWriteDataBlock(DownloadTaskDidWriteDataBlock block)
{
    m_downloadTaskDidWriteData.set(std::move(block));
}
void VNURLSessionManager::setDownloadTaskDidResumeBlock(DownloadTaskDidResumeBlock block)
{
    m_downloadTaskDidResume.set(std::move(block));
}

// MARK: Session events

void VNURLSessionManager::URLSessionDidBecomeInvalidWithError(
    const Ref<NSURLSession>& session, const Ref<NSError>& error)
{
    Ref<VNURLSessionManager> protectedThis = self<VNURLSessionManager>();
    if (auto block = m_sessionDidBecomeInvalid.get())
        block(session, error);
    std::map<uint32_t, Ref<VNURLSessionManagerTaskDelegate>> dropped;
    {
        std::lock_guard guard(*m_lock);
        dropped.swap(m_mutableTaskDelegatesKeyedByTaskIdentifier);
    }
    NSNotificationCenter::defaultCenter()->postNotificationName(VNURLSessionDidInvalidateNotification, session);
}

std::pair<NSURLSessionAuthChallengeDisposition, Ref<NSURLCredential>> VNURLSessionManager::defaultChallengeAnswer(
    const Ref<NSURLAuthenticationChallenge>& challenge, bool sessionLevel) const
{
    const auto& space = challenge->protectionSpace();
    if (!space || space->authenticationMethod() != NSURLAuthenticationMethodServerTrust)
        return { NSURLSessionAuthChallengePerformDefaultHandling, nullptr };
    auto policy = securityPolicy();
    if (!policy || !policy->evaluateServerTrust(space->serverTrust()))
        return { NSURLSessionAuthChallengeCancelAuthenticationChallenge, nullptr };
    auto credential = NSURLCredential::credentialForTrust(space->serverTrust());
    if (!credential && sessionLevel)
        return { NSURLSessionAuthChallengePerformDefaultHandling, nullptr };
    return { NSURLSessionAuthChallengeUseCredential, credential };
}

bool VNURLSessionManager::URLSessionDidReceiveChallenge(
    const Ref<NSURLSession>& session, const Ref<NSURLAuthenticationChallenge>& challenge, ChallengeHandler handler)
{
    if (auto block = m_sessionDidReceiveAuthenticationChallenge.get()) {
        Ref<NSURLCredential> credential;
        auto disposition = block(session, challenge, &credential);
        handler(disposition, credential);
        return true;
    }
    auto [disposition, credential] = defaultChallengeAnswer(challenge, true);
    handler(disposition, credential);
    return true;
}

void VNURLSessionManager::URLSessionDidFinishEventsForBackgroundURLSession(const Ref<NSURLSession>& session)
{
    if (auto block = m_didFinishEventsForBackgroundURLSession.get())
        block(session);
}

bool VNURLSessionManager::URLSessionTaskWillPerformHTTPRedirectionNewRequest(const Ref<NSURLSession>& session,
    const Ref<NSURLSessionTask>& task, const Ref<NSHTTPURLResponse>& response, const Ref<NSURLRequest>& request,
    std::function<void(Ref<NSURLRequest>)> completionHandler)
{
    auto block = m_taskWillPerformHTTPRedirection.get();
    completionHandler(block ? block(session, task, response, request) : request);
    return true;
}

bool VNURLSessionManager::URLSessionTaskDidReceiveChallenge(const Ref<NSURLSession>& session,
    const Ref<NSURLSessionTask>& task, const Ref<NSURLAuthenticationChallenge>& challenge, ChallengeHandler handler)
{
    if (auto block = m_taskDidReceiveAuthenticationChallenge.get()) {
        Ref<NSURLCredential> credential;
        auto disposition = block(session, task, challenge, &credential);
        handler(disposition, credential);
        return true;
    }
    auto [disposition, credential] = defaultChallengeAnswer(challenge, false);
    handler(disposition, credential);
    return true;
}

bool VNURLSessionManager::URLSessionTaskNeedNewBodyStream(const Ref<NSURLSession>& session,
    const Ref<NSURLSessionTask>& task, std::function<void(Ref<NSInputStream>)> completionHandler)
{
    // Input streams here cannot be copied, so without a block the task gets no new stream.
    auto block = m_taskNeedNewBodyStream.get();
    completionHandler(block ? block(session, task) : nullptr);
    return true;
}

void VNURLSessionManager::URLSessionTaskDidSendBodyDataTotalBytesSentTotalBytesExpectedToSend(
    const Ref<NSURLSession>& session, const Ref<NSURLSessionTask>& task, int64_t bytesSent, int64_t totalBytesSent,
    int64_t totalBytesExpectedToSend)
{
    if (auto delegate = delegateForTask(task)) {
        delegate->URLSessionTaskDidSendBodyDataTotalBytesSentTotalBytesExpectedToSend(
            session, task, bytesSent, totalBytesSent, totalBytesExpectedToSend);
    }
    if (auto block = m_taskDidSendBodyData.get())
        block(session, task, bytesSent, totalBytesSent, totalBytesExpectedToSend);
}

void VNURLSessionManager::URLSessionTaskDidCompleteWithError(
    const Ref<NSURLSession>& session, const Ref<NSURLSessionTask>& task, const Ref<NSError>& error)
{
    Ref<VNURLSessionManager> protectedThis = self<VNURLSessionManager>();
    if (auto delegate = delegateForTask(task))
        delegate->URLSessionTaskDidCompleteWithError(session, task, error);
    if (auto block = m_taskDidComplete.get())
        block(session, task, error);
    removeDelegateForTask(task);
}

bool VNURLSessionManager::URLSessionDataTaskDidReceiveResponse(const Ref<NSURLSession>& session,
    const Ref<NSURLSessionDataTask>& task, const Ref<NSURLResponse>& response,
    std::function<void(NSURLSessionResponseDisposition)> completionHandler)
{
    auto disposition = NSURLSessionResponseAllow;
    if (auto block = m_dataTaskDidReceiveResponse.get())
        disposition = block(session, task, response);
    completionHandler(disposition);
    return true;
}

void VNURLSessionManager::URLSessionDataTaskDidBecomeDownloadTask(const Ref<NSURLSession>& session,
    const Ref<NSURLSessionDataTask>& dataTask, const Ref<NSURLSessionDownloadTask>& downloadTask)
{
    if (auto block = m_dataTaskDidBecomeDownloadTask.get())
        block(session, dataTask, downloadTask);
}

void VNURLSessionManager::URLSessionDataTaskDidReceiveData(
    const Ref<NSURLSession>& session, const Ref<NSURLSessionDataTask>& task, const Value& data)
{
    if (auto delegate = delegateForTask(task))
        delegate->URLSessionDataTaskDidReceiveData(session, task, data);
    if (auto block = m_dataTaskDidReceiveData.get())
        block(session, task, data);
}

bool VNURLSessionManager::URLSessionDataTaskWillCacheResponse(const Ref<NSURLSession>& session,
    const Ref<NSURLSessionDataTask>& task, const Ref<NSCachedURLResponse>& proposed,
    std::function<void(Ref<NSCachedURLResponse>)> completionHandler)
{
    auto block = m_dataTaskWillCacheResponse.get();
    completionHandler(block ? block(session, task, proposed) : proposed);
    return true;
}

bool VNURLSessionManager::moveDownloadedFile(
    const Ref<NSURLSessionDownloadTask>& task, const Ref<NSURL>& location, const Ref<NSURL>& destination)
{
    Ref<NSError> error;
    if (location && NSFileManager::defaultManager()->moveItemAtPath(location->path(), destination->path(), &error))
        return true;
    NSNotificationCenter::defaultCenter()->postNotificationName(
        VNURLSessionDownloadTaskDidFailToMoveFileNotification, task, error ? error->userInfo() : Value());
    return false;
}

void VNURLSessionManager::URLSessionDownloadTaskDidFinishDownloadingToURL(
    const Ref<NSURLSession>& session, const Ref<NSURLSessionDownloadTask>& task, const Ref<NSURL>& location)
{
    if (auto delegate = delegateForTask(task)) {
        delegate->URLSessionDownloadTaskDidFinishDownloadingToURL(session, task, location);
        return;
    }
    if (auto block = m_downloadTaskDidFinishDownloading.get()) {
        if (auto destination = block(session, task, location))
            moveDownloadedFile(task, location, destination);
    }
}

void VNURLSessionManager::URLSessionDownloadTaskDidWriteDataTotalBytesWrittenTotalBytesExpectedToWrite(
    const Ref<NSURLSession>& session, const Ref<NSURLSessionDownloadTask>& task, int64_t bytesWritten,
    int64_t totalBytesWritten, int64_t totalBytesExpectedToWrite)
{
    if (auto delegate = delegateForTask(task)) {
        delegate->URLSessionDownloadTaskDidWriteDataTotalBytesWrittenTotalBytesExpectedToWrite(
            session, task, bytesWritten, totalBytesWritten, totalBytesExpectedToWrite);
    }
    if (auto block = m_downloadTaskDidWriteData.get())
        block(session, task, bytesWritten, totalBytesWritten, totalBytesExpectedToWrite);
}

void VNURLSessionManager::URLSessionDownloadTaskDidResumeAtOffsetExpectedTotalBytes(const Ref<NSURLSession>& session,
    const Ref<NSURLSessionDownloadTask>& task, int64_t fileOffset, int64_t expectedTotalBytes)
{
    if (auto delegate = delegateForTask(task))
        delegate->URLSessionDownloadTaskDidResumeAtOffsetExpectedTotalBytes(
            session, task, fileOffset, expectedTotalBytes);
    if (auto block = m_downloadTaskDidResume.get())
        block(session, task, fileOffset, expectedTotalBytes);
}

void VNURLSessionManager::observeValueForKeyPath(
    const std::string& keyPath, const Ref<NSObject>& object, const Value& change, void* context)
{
    if (context != &s_taskStateContext) {
        NSObject::observeValueForKeyPath(keyPath, object, change, context);
        return;
    }
    auto task = std::dynamic_pointer_cast<NSURLSessionTask>(object);
    Value state = change[NSKeyValueChangeNewKey];
    if (!task || keyPath != "state" || !state.isNumber())
        return;
    const char* name = nullptr;
    if (state.intValue() == NSURLSessionTaskStateRunning)
        name = VNNetworkingTaskDidResumeNotification;
    else if (state.intValue() == NSURLSessionTaskStateSuspended)
        name = VNNetworkingTaskDidSuspendNotification;
    if (!name)
        return;
    dispatch_async(dispatch_get_main_queue(),
        [name, task] { NSNotificationCenter::defaultCenter()->postNotificationName(name, task); });
}

// MARK: Copying, archiving, description

Ref<VNURLSessionManager> VNURLSessionManager::copy() const
{
    return initWithSessionConfiguration(m_session->configuration());
}

void VNURLSessionManager::encodeWithCoder(NSCoder& coder)
{
    coder.encodeObjectForKey(Value::object(m_session->configuration()), "sessionConfiguration");
}

Ref<VNURLSessionManager> VNURLSessionManager::initWithCoder(NSCoder& coder)
{
    return initWithSessionConfiguration(
        coder.decodeObjectForKey("sessionConfiguration").objectAs<NSURLSessionConfiguration>());
}

std::string VNURLSessionManager::description() const
{
    return NSString::stringWithFormat("<%@: %p, session: %@, operationQueue: %@>", className(),
        static_cast<const void*>(this), m_session, m_operationQueue);
}
