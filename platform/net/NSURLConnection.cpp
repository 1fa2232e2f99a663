#include "net/NSURLConnection.h"

#include "foundation/NSOperationQueue.h"
#include "foundation/NSRunLoop.h"
#include "net/NSCachedURLResponse.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSURLRequest.h"

VX_REGISTER_CLASS(NSURLConnection);

namespace {

// The delegate behind sendAsynchronousRequest: collects the body and calls the handler once.
class AsyncCollector final : public NSURLConnectionDelegate {
public:
    explicit AsyncCollector(NSURLConnection::AsyncCompletion handler)
        : m_handler(std::move(handler))
    {
    }
    void connectionDidReceiveResponse(const Ref<NSURLConnection>&, const Ref<NSURLResponse>& response) override
    {
        m_response = response;
        m_data.clear();
    }
    void connectionDidReceiveData(const Ref<NSURLConnection>&, const Value& data) override
    {
        m_data.insert(m_data.end(), data.bytes().begin(), data.bytes().end());
    }
    void connectionDidFinishLoading(const Ref<NSURLConnection>&) override
    {
        if (auto handler = std::move(m_handler))
            handler(m_response, Value::data(std::move(m_data)), nullptr);
    }
    void connectionDidFailWithError(const Ref<NSURLConnection>&, const Ref<NSError>& error) override
    {
        if (auto handler = std::move(m_handler))
            handler(m_response, Value(), error);
    }

private:
    NSURLConnection::AsyncCompletion m_handler;
    Ref<NSURLResponse> m_response;
    Value::Bytes m_data;
};

} // namespace

Ref<NSURLConnection> NSURLConnection::connectionWithRequestDelegate(
    const Ref<NSURLRequest>& request, const Ref<NSURLConnectionDelegate>& delegate)
{
    return initWithRequestDelegateStartImmediately(request, delegate, true);
}

Ref<NSURLConnection> NSURLConnection::initWithRequestDelegateStartImmediately(
    const Ref<NSURLRequest>& request, const Ref<NSURLConnectionDelegate>& delegate, bool startImmediately)
{
    if (!request)
        return nullptr;
    auto connection = make<NSURLConnection>();
    connection->m_request = request->copy();
    connection->m_delegate = delegate;
    if (startImmediately)
        connection->start();
    return connection;
}

void NSURLConnection::sendAsynchronousRequestQueueCompletionHandler(
    const Ref<NSURLRequest>& request, const Ref<NSOperationQueue>& queue, AsyncCompletion handler)
{
    auto connection
        = initWithRequestDelegateStartImmediately(request, std::make_shared<AsyncCollector>(std::move(handler)), false);
    if (!connection)
        return;
    connection->setDelegateQueue(queue ? queue : NSOperationQueue::mainQueue());
    connection->start();
}

void NSURLConnection::scheduleInRunLoopForMode(const Ref<NSRunLoop>& runLoop, const std::string& mode)
{
    if (!runLoop)
        return;
    std::lock_guard lock(m_lock);
    m_schedules.emplace_back(runLoop, mode);
}

void NSURLConnection::unscheduleFromRunLoopForMode(const Ref<NSRunLoop>& runLoop, const std::string& mode)
{
    std::lock_guard lock(m_lock);
    std::erase_if(
        m_schedules, [&](const auto& entry) { return entry.first.lock() == runLoop && entry.second == mode; });
}

void NSURLConnection::setDelegateQueue(const Ref<NSOperationQueue>& queue)
{
    std::lock_guard lock(m_lock);
    m_queue = queue;
}

Ref<NSURLRequest> NSURLConnection::currentRequest() const
{
    std::lock_guard lock(m_lock);
    return m_load ? m_load->currentRequest() : m_request;
}

void NSURLConnection::post(std::function<void()> block)
{
    Ref<NSOperationQueue> queue;
    Ref<NSRunLoop> loop;
    std::vector<std::string> modes;
    {
        std::lock_guard lock(m_lock);
        queue = m_queue;
        for (const auto& [weakLoop, mode] : m_schedules) {
            auto candidate = weakLoop.lock();
            if (!candidate)
                continue;
            if (!loop)
                loop = candidate;
            if (candidate == loop)
                modes.push_back(mode);
        }
    }
    if (queue)
        queue->addOperationWithBlock(std::move(block));
    else if (loop)
        loop->performInModesBlock(modes, std::move(block));
}

void NSURLConnection::start()
{
    if (m_started.exchange(true) || m_cancelled)
        return;
    Ref<URLLoad> load;
    {
        std::lock_guard lock(m_lock);
        if (!m_queue && m_schedules.empty())
            m_schedules.emplace_back(NSRunLoop::currentRunLoop(), NSDefaultRunLoopMode);
        m_keepAlive = self<NSURLConnection>();
        m_load = URLLoad::create(
            m_request, self<NSURLConnection>(), [weak = weak_from_this()](std::function<void()> block) {
                if (auto self = std::static_pointer_cast<NSURLConnection>(weak.lock()))
                    self->post(std::move(block));
            });
        load = m_load;
    }
    load->start();
}

void NSURLConnection::cancel()
{
    if (m_cancelled.exchange(true))
        return;
    Ref<URLLoad> load;
    {
        std::lock_guard lock(m_lock);
        load = m_load;
    }
    if (load)
        load->cancel(); // its finish is swallowed: a cancelled connection tells its delegate nothing
}

void NSURLConnection::loadWillPerformRedirect(const Ref<NSHTTPURLResponse>& response, const Ref<NSURLRequest>& proposed,
    std::function<void(Ref<NSURLRequest>)> reply)
{
    if (m_cancelled)
        return reply(nullptr);
    if (auto delegate = m_delegate) {
        if (auto chosen
            = delegate->connectionWillSendRequestRedirectResponse(self<NSURLConnection>(), proposed, response))
            return reply(*chosen);
    }
    reply(proposed);
}

void NSURLConnection::loadDidReceiveChallenge(const Ref<NSURLAuthenticationChallenge>& challenge)
{
    auto delegate = m_delegate;
    if (m_cancelled || !delegate)
        return challenge->answer(NSURLSessionAuthChallengePerformDefaultHandling, nullptr);
    auto self = this->self<NSURLConnection>();
    delegate->connectionShouldUseCredentialStorage(self);
    if (!delegate->connectionWillSendRequestForAuthenticationChallenge(self, challenge))
        challenge->answer(NSURLSessionAuthChallengePerformDefaultHandling, nullptr);
}

void NSURLConnection::loadDidReceiveResponse(const Ref<NSURLResponse>& response)
{
    if (auto delegate = m_delegate; delegate && !m_cancelled)
        delegate->connectionDidReceiveResponse(self<NSURLConnection>(), response);
}

void NSURLConnection::loadDidReceiveData(const Value& data)
{
    if (auto delegate = m_delegate; delegate && !m_cancelled)
        delegate->connectionDidReceiveData(self<NSURLConnection>(), data);
}

void NSURLConnection::loadDidSendBodyData(int64_t bytesSent, int64_t totalBytesSent, int64_t totalBytesExpected)
{
    if (auto delegate = m_delegate; delegate && !m_cancelled)
        delegate->connectionDidSendBodyDataTotalBytesWrittenTotalBytesExpectedToWrite(
            self<NSURLConnection>(), bytesSent, totalBytesSent, totalBytesExpected);
}

void NSURLConnection::loadWillCacheResponse(
    const Ref<NSCachedURLResponse>& proposed, std::function<void(Ref<NSCachedURLResponse>)> reply)
{
    if (auto delegate = m_delegate; delegate && !m_cancelled) {
        if (auto chosen = delegate->connectionWillCacheResponse(self<NSURLConnection>(), proposed))
            return reply(*chosen);
    }
    reply(proposed);
}

void NSURLConnection::loadDidFinish(const Ref<NSError>& error)
{
    auto delegate = std::move(m_delegate);
    auto keepAlive = std::move(m_keepAlive);
    m_delegate = nullptr;
    if (!delegate || m_cancelled)
        return;
    if (error)
        delegate->connectionDidFailWithError(self<NSURLConnection>(), error);
    else
        delegate->connectionDidFinishLoading(self<NSURLConnection>());
}
