#include "net/NSURLSession.h"

#include "foundation/NSDataFile.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSOperationQueue.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSStream.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"
#include "net/NSURLSessionConfiguration.h"

#include <sys/stat.h>

VX_REGISTER_CLASS(NSURLSession);

Ref<NSURLSession> NSURLSession::sharedSession()
{
    static Ref<NSURLSession> shared
        = sessionWithConfiguration(NSURLSessionConfiguration::defaultSessionConfiguration());
    return shared;
}

Ref<NSURLSession> NSURLSession::sessionWithConfiguration(const Ref<NSURLSessionConfiguration>& configuration)
{
    return sessionWithConfigurationDelegateDelegateQueue(configuration, nullptr, nullptr);
}

Ref<NSURLSession> NSURLSession::sessionWithConfigurationDelegateDelegateQueue(
    const Ref<NSURLSessionConfiguration>& configuration, const Ref<NSURLSessionDelegate>& delegate,
    const Ref<NSOperationQueue>& queue)
{
    auto session = make<NSURLSession>();
    session->m_configuration
        = configuration ? configuration->copy() : NSURLSessionConfiguration::defaultSessionConfiguration();
    session->m_delegate = delegate;
    session->m_queue = queue;
    if (!session->m_queue) {
        session->m_queue = NSOperationQueue::init();
        session->m_queue->setMaxConcurrentOperationCount(1);
    }
    return session;
}

Ref<NSURLSessionDelegate> NSURLSession::delegate() const
{
    std::lock_guard lock(m_lock);
    return m_delegate;
}

std::string NSURLSession::sessionDescription() const
{
    std::lock_guard lock(m_lock);
    return m_description;
}

void NSURLSession::setSessionDescription(const std::string& description)
{
    std::lock_guard lock(m_lock);
    m_description = description;
}

template <typename T> Ref<T> NSURLSession::addTask(Ref<T> task, const Ref<NSURLRequest>& request)
{
    if (!request)
        return nullptr;
    // The configuration fills in what the request leaves at its defaults.
    auto prepared = request->mutableCopy();
    for (const auto& [name, value] : m_configuration->HTTPAdditionalHeaders().entries()) {
        if (name.isString() && value.isString() && !prepared->valueForHTTPHeaderField(name.string()))
            prepared->setValueForHTTPHeaderField(value.string(), name.string());
    }
    if (request->timeoutInterval() == 60)
        prepared->setTimeoutInterval(m_configuration->timeoutIntervalForRequest());
    if (request->cachePolicy() == NSURLRequestUseProtocolCachePolicy)
        prepared->setCachePolicy(m_configuration->requestCachePolicy());
    {
        std::lock_guard lock(m_lock);
        if (m_invalidated)
            return nullptr;
        task->setUp(self<NSURLSession>(), m_nextIdentifier++, request);
        task->m_requestToLoad = prepared;
        m_tasks.push_back(task);
    }
    return task;
}

Ref<NSURLSessionDataTask> NSURLSession::dataTaskWithRequest(const Ref<NSURLRequest>& request)
{
    return addTask(make<NSURLSessionDataTask>(), request);
}

Ref<NSURLSessionDataTask> NSURLSession::dataTaskWithURL(const Ref<NSURL>& url)
{
    return dataTaskWithRequest(NSURLRequest::requestWithURL(url));
}

Ref<NSURLSessionDataTask> NSURLSession::dataTaskWithRequestCompletionHandler(
    const Ref<NSURLRequest>& request, NSURLSessionTask::DataCompletion handler)
{
    auto task = make<NSURLSessionDataTask>();
    task->m_dataCompletion = std::move(handler);
    return addTask(task, request);
}

Ref<NSURLSessionDataTask> NSURLSession::dataTaskWithURLCompletionHandler(
    const Ref<NSURL>& url, NSURLSessionTask::DataCompletion handler)
{
    return dataTaskWithRequestCompletionHandler(NSURLRequest::requestWithURL(url), std::move(handler));
}

Ref<NSURLSessionDownloadTask> NSURLSession::downloadTaskWithRequest(const Ref<NSURLRequest>& request)
{
    return addTask(make<NSURLSessionDownloadTask>(), request);
}

Ref<NSURLSessionDownloadTask> NSURLSession::downloadTaskWithURL(const Ref<NSURL>& url)
{
    return downloadTaskWithRequest(NSURLRequest::requestWithURL(url));
}

Ref<NSURLSessionDownloadTask> NSURLSession::downloadTaskWithRequestCompletionHandler(
    const Ref<NSURLRequest>& request, NSURLSessionTask::DownloadCompletion handler)
{
    auto task = make<NSURLSessionDownloadTask>();
    task->m_downloadCompletion = std::move(handler);
    return addTask(task, request);
}

Ref<NSURLSessionDownloadTask> NSURLSession::downloadTaskWithResumeData(const Value& resumeData)
{
    return downloadTaskWithResumeDataCompletionHandler(resumeData, nullptr);
}

Ref<NSURLSessionDownloadTask> NSURLSession::downloadTaskWithResumeDataCompletionHandler(
    const Value& resumeData, NSURLSessionTask::DownloadCompletion handler)
{
    if (!resumeData.isData())
        return nullptr;
    Value info = NSJSONSerialization::JSONObjectWithData(resumeData.bytes(), 0, nullptr);
    if (!info.isDictionary() || !info["URL"].isString() || !info["path"].isString())
        return nullptr;
    auto url = NSURL::URLWithString(info["URL"].string());
    if (!url)
        return nullptr;
    auto task = make<NSURLSessionDownloadTask>();
    task->m_downloadCompletion = std::move(handler);
    task->m_downloadPath = info["path"].string();
    struct stat fileInfo;
    if (::stat(task->m_downloadPath.c_str(), &fileInfo) == 0)
        task->m_resumeOffset = fileInfo.st_size;
    if (info["validator"].isString())
        task->m_resumeValidator = info["validator"].string();
    auto request = NSMutableURLRequest::requestWithURL(url);
    if (task->m_resumeOffset > 0) {
        request->setValueForHTTPHeaderField("bytes=" + std::to_string(task->m_resumeOffset) + "-", "Range");
        if (task->m_resumeValidator)
            request->setValueForHTTPHeaderField(*task->m_resumeValidator, "If-Range");
    }
    return addTask(task, request);
}

Ref<NSURLSessionUploadTask> NSURLSession::uploadTaskWithRequestFromData(
    const Ref<NSURLRequest>& request, const Value& data)
{
    return uploadTaskWithRequestFromDataCompletionHandler(request, data, nullptr);
}

Ref<NSURLSessionUploadTask> NSURLSession::uploadTaskWithRequestFromDataCompletionHandler(
    const Ref<NSURLRequest>& request, const Value& data, NSURLSessionTask::DataCompletion handler)
{
    if (!request)
        return nullptr;
    auto withBody = request->mutableCopy();
    withBody->setHTTPBody(data.isData() ? data : Value::data({}));
    auto task = make<NSURLSessionUploadTask>();
    task->m_dataCompletion = std::move(handler);
    task->m_expectedToSend = data.isData() ? int64_t(data.bytes().size()) : 0;
    return addTask(task, withBody);
}

Ref<NSURLSessionUploadTask> NSURLSession::uploadTaskWithRequestFromFile(
    const Ref<NSURLRequest>& request, const Ref<NSURL>& fileURL)
{
    return uploadTaskWithRequestFromFileCompletionHandler(request, fileURL, nullptr);
}

Ref<NSURLSessionUploadTask> NSURLSession::uploadTaskWithRequestFromFileCompletionHandler(
    const Ref<NSURLRequest>& request, const Ref<NSURL>& fileURL, NSURLSessionTask::DataCompletion handler)
{
    if (!request)
        return nullptr;
    auto withBody = request->mutableCopy();
    auto task = make<NSURLSessionUploadTask>();
    task->m_dataCompletion = std::move(handler);
    struct stat info;
    if (fileURL && fileURL->isFileURL() && ::stat(fileURL->path().c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        withBody->setHTTPBodyStream(NSInputStream::inputStreamWithFileAtPath(fileURL->path()));
        withBody->setValueForHTTPHeaderField(std::to_string(info.st_size), "Content-Length");
        task->m_expectedToSend = info.st_size;
    } else {
        task->m_startError = NSURLErrorFileDoesNotExist; // the task fails when resumed
    }
    return addTask(task, withBody);
}

Ref<NSURLSessionUploadTask> NSURLSession::uploadTaskWithStreamedRequest(const Ref<NSURLRequest>& request)
{
    auto task = make<NSURLSessionUploadTask>();
    task->m_needsBodyStream = request && !request->HTTPBodyStream();
    return addTask(task, request);
}

void NSURLSession::getTasksWithCompletionHandler(std::function<void(std::vector<Ref<NSURLSessionDataTask>>,
        std::vector<Ref<NSURLSessionUploadTask>>, std::vector<Ref<NSURLSessionDownloadTask>>)>
        handler)
{
    if (!handler)
        return;
    m_queue->addOperationWithBlock([self = self<NSURLSession>(), handler] {
        std::vector<Ref<NSURLSessionDataTask>> data;
        std::vector<Ref<NSURLSessionUploadTask>> uploads;
        std::vector<Ref<NSURLSessionDownloadTask>> downloads;
        for (const auto& task : self->outstandingTasks()) {
            if (auto upload = std::dynamic_pointer_cast<NSURLSessionUploadTask>(task))
                uploads.push_back(upload);
            else if (auto download = std::dynamic_pointer_cast<NSURLSessionDownloadTask>(task))
                downloads.push_back(download);
            else if (auto dataTask = std::dynamic_pointer_cast<NSURLSessionDataTask>(task))
                data.push_back(dataTask);
        }
        handler(data, uploads, downloads);
    });
}

std::vector<Ref<NSURLSessionTask>> NSURLSession::outstandingTasks() const
{
    std::lock_guard lock(m_lock);
    return m_tasks;
}

void NSURLSession::finishTasksAndInvalidate()
{
    {
        std::lock_guard lock(m_lock);
        m_invalidated = true;
    }
    invalidateIfDone();
}

void NSURLSession::invalidateAndCancel()
{
    std::vector<Ref<NSURLSessionTask>> tasks;
    {
        std::lock_guard lock(m_lock);
        m_invalidated = true;
        tasks = m_tasks;
    }
    for (const auto& task : tasks)
        task->cancel();
    invalidateIfDone();
}

void NSURLSession::taskDidComplete(const Ref<NSURLSessionTask>& task)
{
    Ref<NSURLSessionDelegate> delegate;
    {
        std::lock_guard lock(m_lock);
        std::erase(m_tasks, task);
        if (m_tasks.empty() && m_configuration->isBackground())
            delegate = m_delegate;
    }
    // Called on the delegate queue, after the task's own completion calls.
    if (delegate)
        delegate->URLSessionDidFinishEventsForBackgroundURLSession(self<NSURLSession>());
    invalidateIfDone();
}

void NSURLSession::invalidateIfDone()
{
    Ref<NSURLSessionDelegate> delegate;
    {
        std::lock_guard lock(m_lock);
        if (!m_invalidated || !m_tasks.empty() || m_invalidationSent)
            return;
        m_invalidationSent = true;
        delegate = std::move(m_delegate);
        m_delegate = nullptr;
    }
    m_queue->addOperationWithBlock([self = self<NSURLSession>(), delegate] {
        if (delegate)
            delegate->URLSessionDidBecomeInvalidWithError(self, nullptr);
    });
}
