#include "net/NSURLSessionTask.h"

#include "foundation/JSONReader.h"
#include "foundation/NSError.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/Random.h"
#include "foundation/Sandbox.h"
#include "net/NSCachedURLResponse.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"
#include "net/NSURLProtectionSpace.h"
#include "net/NSURLSession.h"
#include "net/NSURLSessionConfiguration.h"
#include "net/NSURLSessionDataTask.h"
#include "net/NSURLSessionDownloadTask.h"
#include "net/NSURLSessionUploadTask.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <unistd.h>

VX_REGISTER_CLASS(NSURLSessionTask);
VX_REGISTER_CLASS(NSURLSessionDataTask);
VX_REGISTER_CLASS(NSURLSessionUploadTask);
VX_REGISTER_CLASS(NSURLSessionDownloadTask);

namespace {

std::string newDownloadPath()
{
    static std::atomic<uint64_t> s_counter { 0 };
    std::string directory = NSTemporaryDirectory();
    if (!directory.empty() && directory.back() != '/')
        directory += "/";
    return directory + "vx-download-" + std::to_string(getpid()) + "-" + std::to_string(++s_counter) + ".tmp";
}

} // namespace

NSURLSessionTask::~NSURLSessionTask()
{
    if (m_downloadFile)
        std::fclose(m_downloadFile);
}

void NSURLSessionTask::setUp(const Ref<NSURLSession>& session, uint32_t identifier, const Ref<NSURLRequest>& request)
{
    m_session = session;
    m_weakSession = session;
    m_identifier = identifier;
    m_originalRequest = request;
}

Ref<NSURLRequest> NSURLSessionTask::originalRequest() const
{
    std::lock_guard lock(m_lock);
    return m_originalRequest;
}

Ref<NSURLRequest> NSURLSessionTask::currentRequest() const
{
    std::lock_guard lock(m_lock);
    if (m_load)
        return m_load->currentRequest();
    return m_originalRequest;
}

Ref<NSURLResponse> NSURLSessionTask::response() const
{
    std::lock_guard lock(m_lock);
    return m_response;
}

Ref<NSError> NSURLSessionTask::error() const
{
    std::lock_guard lock(m_lock);
    return m_error;
}

NSURLSessionTaskState NSURLSessionTask::state() const
{
    std::lock_guard lock(m_lock);
    return m_state;
}

int64_t NSURLSessionTask::countOfBytesReceived() const
{
    return m_received;
}
int64_t NSURLSessionTask::countOfBytesSent() const
{
    return m_sent;
}
int64_t NSURLSessionTask::countOfBytesExpectedToReceive() const
{
    return m_expectedToReceive;
}
int64_t NSURLSessionTask::countOfBytesExpectedToSend() const
{
    return m_expectedToSend;
}

std::string NSURLSessionTask::taskDescription() const
{
    std::lock_guard lock(m_lock);
    return m_description;
}

void NSURLSessionTask::setTaskDescription(const std::string& description)
{
    std::lock_guard lock(m_lock);
    m_description = description;
}

Value NSURLSessionTask::valueForKey(const std::string& key)
{
    if (key == "state")
        return Value(int32_t(state()));
    if (key == "taskIdentifier")
        return Value(m_identifier);
    if (key == "countOfBytesReceived")
        return Value(m_received);
    if (key == "countOfBytesSent")
        return Value(m_sent);
    if (key == "countOfBytesExpectedToReceive")
        return Value(m_expectedToReceive);
    if (key == "countOfBytesExpectedToSend")
        return Value(m_expectedToSend);
    if (key == "response")
        return Value::object(response());
    if (key == "error")
        return Value::object(error());
    if (key == "originalRequest")
        return Value::object(originalRequest());
    if (key == "currentRequest")
        return Value::object(currentRequest());
    return NSObject::valueForKey(key);
}

void NSURLSessionTask::setState(NSURLSessionTaskState state)
{
    willChangeValueForKey("state");
    {
        std::lock_guard lock(m_lock);
        m_state = state;
    }
    didChangeValueForKey("state");
}

void NSURLSessionTask::deliver(std::function<void()> block)
{
    std::unique_lock lock(m_lock);
    if (m_holdDeliveries) {
        m_heldDeliveries.push_back(std::move(block));
        return;
    }
    auto session = m_weakSession.lock();
    lock.unlock();
    if (session)
        session->delegateQueue()->addOperationWithBlock(std::move(block));
}

void NSURLSessionTask::startLoad(const Ref<NSURLRequest>& request)
{
    auto load
        = URLLoad::create(request, self<NSURLSessionTask>(), [weak = weak_from_this()](std::function<void()> block) {
              if (auto self = std::static_pointer_cast<NSURLSessionTask>(weak.lock()))
                  self->deliver(std::move(block));
          });
    if (auto session = m_weakSession.lock())
        load->setResourceTimeout(session->configuration()->timeoutIntervalForResource());
    {
        std::lock_guard lock(m_lock);
        m_load = load;
    }
    if (m_startError)
        load->failWithCode(*m_startError);
    else
        load->start();
}

void NSURLSessionTask::resume()
{
    std::vector<std::function<void()>> held;
    bool start = false;
    {
        std::lock_guard lock(m_lock);
        if (m_state != NSURLSessionTaskStateSuspended)
            return;
        start = !m_started;
        m_started = true;
        m_holdDeliveries = false;
        held.swap(m_heldDeliveries);
    }
    setState(NSURLSessionTaskStateRunning);
    for (auto& block : held)
        deliver(std::move(block));
    if (!start)
        return;
    if (m_needsBodyStream) {
        // The delegate supplies the body stream first.
        auto session = m_weakSession.lock();
        deliver([self = self<NSURLSessionTask>(), session] {
            auto delegate = session ? session->delegate() : nullptr;
            auto request = self->m_requestToLoad;
            bool asked = delegate
                && delegate->URLSessionTaskNeedNewBodyStream(session, self, [self, request](Ref<NSInputStream> stream) {
                       auto withStream = request->mutableCopy();
                       withStream->setHTTPBodyStream(stream);
                       self->startLoad(withStream);
                   });
            if (!asked)
                self->startLoad(request);
        });
        return;
    }
    startLoad(m_requestToLoad);
}

void NSURLSessionTask::suspend()
{
    {
        std::lock_guard lock(m_lock);
        if (m_state != NSURLSessionTaskStateRunning)
            return;
        m_holdDeliveries = true;
    }
    setState(NSURLSessionTaskStateSuspended);
}

void NSURLSessionTask::cancel()
{
    std::vector<std::function<void()>> held;
    Ref<URLLoad> load;
    bool start = false;
    {
        std::lock_guard lock(m_lock);
        if (m_state == NSURLSessionTaskStateCanceling || m_state == NSURLSessionTaskStateCompleted)
            return;
        start = !m_started;
        m_started = true;
        m_holdDeliveries = false;
        held.swap(m_heldDeliveries);
        load = m_load;
    }
    setState(NSURLSessionTaskStateCanceling);
    for (auto& block : held)
        deliver(std::move(block));
    if (start) {
        // Never started: the load is made only to report the cancellation.
        load = URLLoad::create(
            m_requestToLoad, self<NSURLSessionTask>(), [weak = weak_from_this()](std::function<void()> block) {
                if (auto self = std::static_pointer_cast<NSURLSessionTask>(weak.lock()))
                    self->deliver(std::move(block));
            });
        std::lock_guard lock(m_lock);
        m_load = load;
    }
    if (load)
        load->cancel();
}

void NSURLSessionTask::loadWillPerformRedirect(const Ref<NSHTTPURLResponse>& response,
    const Ref<NSURLRequest>& proposed, std::function<void(Ref<NSURLRequest>)> reply)
{
    auto session = m_weakSession.lock();
    auto delegate = session ? session->delegate() : nullptr;
    if (delegate
        && delegate->URLSessionTaskWillPerformHTTPRedirectionNewRequest(
            session, self<NSURLSessionTask>(), response, proposed, reply))
        return;
    reply(proposed);
}

void NSURLSessionTask::loadDidReceiveChallenge(const Ref<NSURLAuthenticationChallenge>& challenge)
{
    auto session = m_weakSession.lock();
    auto delegate = session ? session->delegate() : nullptr;
    auto handler = [challenge](NSURLSessionAuthChallengeDisposition disposition, Ref<NSURLCredential> credential) {
        challenge->answer(disposition, credential);
    };
    if (delegate) {
        bool serverTrust = challenge->protectionSpace()->authenticationMethod() == NSURLAuthenticationMethodServerTrust;
        if (serverTrust && delegate->URLSessionDidReceiveChallenge(session, challenge, handler))
            return;
        if (delegate->URLSessionTaskDidReceiveChallenge(session, self<NSURLSessionTask>(), challenge, handler))
            return;
    }
    challenge->answer(NSURLSessionAuthChallengePerformDefaultHandling, nullptr);
}

void NSURLSessionTask::loadDidReceiveResponse(const Ref<NSURLResponse>& response)
{
    setValueNotifying("response", m_response, response);
    setCounter("countOfBytesExpectedToReceive", m_expectedToReceive, response->expectedContentLength());
    auto session = m_weakSession.lock();
    auto delegate = session ? session->delegate() : nullptr;
    if (m_kind == Kind::Download) {
        auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
        bool resumed = m_resumeOffset > 0 && http && http->statusCode() == 206;
        if (m_downloadPath.empty())
            m_downloadPath = newDownloadPath();
        m_downloadFile = std::fopen(m_downloadPath.c_str(), resumed ? "ab" : "wb");
        if (m_resumeOffset > 0) {
            int64_t offset = resumed ? m_resumeOffset : 0;
            if (!resumed)
                m_resumeOffset = 0;
            int64_t total = response->expectedContentLength() < 0 ? -1 : offset + response->expectedContentLength();
            if (total >= 0)
                setCounter("countOfBytesExpectedToReceive", m_expectedToReceive, total);
            if (delegate && !m_downloadCompletion)
                delegate->URLSessionDownloadTaskDidResumeAtOffsetExpectedTotalBytes(
                    session, self<NSURLSessionDownloadTask>(), offset, total);
            if (resumed)
                setCounter("countOfBytesReceived", m_received, offset);
        }
        if (!m_downloadFile) {
            std::lock_guard lock(m_lock);
            if (m_load)
                m_load->cancel();
        }
        return;
    }
    if (m_dataCompletion || !delegate)
        return;
    Ref<URLLoad> load;
    {
        std::lock_guard lock(m_lock);
        load = m_load;
    }
    delegate->URLSessionDataTaskDidReceiveResponse(
        session, self<NSURLSessionDataTask>(), response, [load](NSURLSessionResponseDisposition disposition) {
            if (disposition == NSURLSessionResponseCancel && load)
                load->cancel();
        });
}

void NSURLSessionTask::loadDidReceiveData(const Value& data)
{
    const auto& bytes = data.bytes();
    setCounter("countOfBytesReceived", m_received, m_received + int64_t(bytes.size()));
    auto session = m_weakSession.lock();
    auto delegate = session ? session->delegate() : nullptr;
    if (m_kind == Kind::Download) {
        if (!m_downloadFile || std::fwrite(bytes.data(), 1, bytes.size(), m_downloadFile) != bytes.size()) {
            std::lock_guard lock(m_lock);
            if (m_load)
                m_load->cancel();
            return;
        }
        if (delegate && !m_downloadCompletion)
            delegate->URLSessionDownloadTaskDidWriteDataTotalBytesWrittenTotalBytesExpectedToWrite(
                session, self<NSURLSessionDownloadTask>(), int64_t(bytes.size()), m_received, m_expectedToReceive);
        return;
    }
    if (m_dataCompletion) {
        // The body keeps spare room past its end, so that the JSON reader can read it where it
        // lies (it may look a little past the last byte) instead of copying it.
        size_t needed = m_data.size() + bytes.size() + JSONReader::kReadInPlacePadding;
        if (m_data.capacity() < needed)
            m_data.reserve(std::max(needed, 2 * m_data.capacity()));
        m_data.insert(m_data.end(), bytes.begin(), bytes.end());
        return;
    }
    if (delegate)
        delegate->URLSessionDataTaskDidReceiveData(session, self<NSURLSessionDataTask>(), data);
}

void NSURLSessionTask::loadDidSendBodyData(int64_t bytesSent, int64_t totalBytesSent, int64_t totalBytesExpected)
{
    setCounter("countOfBytesSent", m_sent, totalBytesSent);
    if (totalBytesExpected >= 0)
        setCounter("countOfBytesExpectedToSend", m_expectedToSend, totalBytesExpected);
    auto session = m_weakSession.lock();
    auto delegate = session ? session->delegate() : nullptr;
    if (delegate)
        delegate->URLSessionTaskDidSendBodyDataTotalBytesSentTotalBytesExpectedToSend(
            session, self<NSURLSessionTask>(), bytesSent, totalBytesSent, totalBytesExpected);
}

void NSURLSessionTask::loadWillCacheResponse(
    const Ref<NSCachedURLResponse>& proposed, std::function<void(Ref<NSCachedURLResponse>)> reply)
{
    auto session = m_weakSession.lock();
    auto delegate = session ? session->delegate() : nullptr;
    if (m_kind != Kind::Download && !m_dataCompletion && delegate
        && delegate->URLSessionDataTaskWillCacheResponse(session, self<NSURLSessionDataTask>(), proposed, reply))
        return;
    reply(proposed);
}

Value NSURLSessionTask::makeResumeData() const
{
    auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(m_response);
    if (m_kind != Kind::Download || !http || m_downloadPath.empty() || m_received <= 0)
        return Value();
    auto validator = http->headerValue("ETag");
    if (!validator)
        validator = http->headerValue("Last-Modified");
    if (!validator)
        return Value();
    Ref<NSURLRequest> request;
    {
        std::lock_guard lock(m_lock);
        request = m_load ? m_load->currentRequest() : m_originalRequest;
    }
    auto info = Value::dictionary({ { "URL", request->URL()->absoluteString() }, { "path", m_downloadPath },
        { "received", Value(m_received) }, { "validator", *validator } });
    return NSJSONSerialization::dataWithJSONObject(info, 0, nullptr);
}

void NSURLSessionTask::loadDidFinish(const Ref<NSError>& error)
{
    auto session = m_weakSession.lock();
    auto delegate = session ? session->delegate() : nullptr;
    Ref<NSError> finalError = error;
    Ref<NSURL> location;
    bool keepFile = false;
    if (m_kind == Kind::Download) {
        if (m_downloadFile) {
            std::fclose(m_downloadFile);
            m_downloadFile = nullptr;
        }
        if (error) {
            Value resumeData = m_resumeDataHandler || error->code() != NSURLErrorCancelled ? makeResumeData() : Value();
            keepFile = resumeData.isData();
            if (m_resumeDataHandler) {
                m_resumeDataHandler(resumeData);
                m_resumeDataHandler = nullptr;
            }
            if (keepFile && error->code() != NSURLErrorCancelled) {
                auto info = error->userInfo().mutableCopy();
                info.setObjectForKey(resumeData, NSURLSessionDownloadTaskResumeData);
                finalError = NSError::errorWithDomain(error->domain(), error->code(), info.copy());
            }
        } else {
            if (m_downloadPath.empty()) {
                // An empty body still gives a file.
                m_downloadPath = newDownloadPath();
                if (FILE* file = std::fopen(m_downloadPath.c_str(), "wb"))
                    std::fclose(file);
            }
            location = NSURL::fileURLWithPathIsDirectory(m_downloadPath, false);
        }
    } else if (m_resumeDataHandler) {
        m_resumeDataHandler(Value());
        m_resumeDataHandler = nullptr;
    }
    setValueNotifying("error", m_error, finalError);
    setState(NSURLSessionTaskStateCompleted);

    auto task = this->self<NSURLSessionTask>();
    if (m_kind == Kind::Download) {
        if (m_downloadCompletion) {
            m_downloadCompletion(location, m_response, finalError);
        } else if (delegate) {
            if (location)
                delegate->URLSessionDownloadTaskDidFinishDownloadingToURL(
                    session, self<NSURLSessionDownloadTask>(), location);
        }
        if (!keepFile && !m_downloadPath.empty())
            ::unlink(m_downloadPath.c_str());
        if (!m_downloadCompletion && delegate)
            delegate->URLSessionTaskDidCompleteWithError(session, task, finalError);
    } else if (m_dataCompletion) {
        m_dataCompletion(finalError ? Value() : Value::data(std::move(m_data)), m_response, finalError);
        m_dataCompletion = nullptr;
    } else if (delegate) {
        delegate->URLSessionTaskDidCompleteWithError(session, task, finalError);
    }
    m_downloadCompletion = nullptr;
    {
        std::lock_guard lock(m_lock);
        m_session = nullptr;
    }
    if (session)
        session->taskDidComplete(task);
}

void NSURLSessionDownloadTask::cancelByProducingResumeData(std::function<void(const Value& resumeData)> handler)
{
    if (state() == NSURLSessionTaskStateCompleted || state() == NSURLSessionTaskStateCanceling) {
        if (handler) {
            if (auto session = m_weakSession.lock())
                session->delegateQueue()->addOperationWithBlock([handler] { handler(Value()); });
        }
        return;
    }
    m_resumeDataHandler = handler ? handler : [](const Value&) {};
    cancel();
}
