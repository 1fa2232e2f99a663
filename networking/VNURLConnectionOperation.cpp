#include "networking/VNURLConnectionOperation.h"

#include "foundation/NSBlockOperation.h"
#include "foundation/NSCoder.h"
#include "foundation/NSError.h"
#include "foundation/NSLock.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSPort.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSString.h"
#include "foundation/NSThread.h"
#include "net/NSCachedURLResponse.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSStream.h"
#include "net/NSURL.h"
#include "net/NSURLAuthenticationChallenge.h"
#include "net/NSURLCredential.h"
#include "net/NSURLError.h"
#include "net/NSURLProtectionSpace.h"
#include "net/NSURLRequest.h"
#include "net/NSURLResponse.h"
#include "networking/VNSecurityPolicy.h"
#include "uikit/UIApplication.h"

#include <thread>

VX_REGISTER_CODING_CLASS(VNURLConnectionOperation);

namespace {

dispatch_group_t sharedCompletionGroup()
{
    static dispatch_group_t s_group = dispatch_group_create();
    return s_group;
}

void postOnMainQueue(const char* name, Weak<NSObject> weakObject)
{
    dispatch_async(dispatch_get_main_queue(), [name, weakObject] {
        // The operation is posted as the object; one that is gone by now is posted as nil.
        NSNotificationCenter::defaultCenter()->postNotificationName(name, weakObject.lock());
    });
}

// The stream's own error, or a write error when the stream has none.
Ref<NSError> writeError(const Ref<NSOutputStream>& stream)
{
    if (auto error = stream->streamError())
        return error;
    return NSError::errorWithDomain(NSURLErrorDomain, NSURLErrorCannotWriteToFile,
        Value::dictionary({ { Value(NSLocalizedDescriptionKey), Value("The response body could not be written.") } }));
}

} // namespace

VNURLConnectionOperation::VNURLConnectionOperation(Passkey key)
    : NSOperation(key)
{
}

VNURLConnectionOperation::~VNURLConnectionOperation()
{
    if (auto stream = m_outputStream.exchange(nullptr))
        stream->close();
    if (uint32_t task = m_backgroundTaskIdentifier.exchange(UIBackgroundTaskInvalid); task != 0)
        UIApplication::sharedApplication()->endBackgroundTask(task);
}

void VNURLConnectionOperation::setShouldExecuteAsBackgroundTaskWithExpirationHandler(std::function<void()> handler)
{
    std::lock_guard guard(*m_lock);
    if (m_backgroundTaskIdentifier != 0)
        return;
    Weak<VNURLConnectionOperation> weak = self<VNURLConnectionOperation>();
    auto application = UIApplication::sharedApplication();
    m_backgroundTaskIdentifier = application->beginBackgroundTaskWithExpirationHandler([weak, handler] {
        if (handler)
            handler();
        auto operation = weak.lock();
        if (!operation)
            return;
        operation->cancel();
        if (uint32_t task = operation->m_backgroundTaskIdentifier.exchange(UIBackgroundTaskInvalid); task != 0)
            UIApplication::sharedApplication()->endBackgroundTask(task);
    });
}

Ref<VNURLConnectionOperation> VNURLConnectionOperation::initWithRequest(const Ref<NSURLRequest>& request)
{
    auto operation = make<VNURLConnectionOperation>();
    operation->initializeWithRequest(request);
    return operation;
}

void VNURLConnectionOperation::initializeWithRequest(const Ref<NSURLRequest>& request)
{
    m_lock = NSRecursiveLock::init();
    m_lock->setName("com.vnnet.networking.operation.lock");
    m_runLoopModes = { NSRunLoopCommonModes };
    m_request.set(request);
    m_shouldUseCredentialStorage = true;
    setState(VNOperationReadyState);
    m_securityPolicy = VNSecurityPolicy::defaultPolicy();
}

Ref<NSThread> VNURLConnectionOperation::networkRequestThread()
{
    static Ref<NSThread> s_thread = [] {
        auto thread = NSThread::initWithBlock([] {
            NSThread::currentThread()->setName("VNNetworking");
            auto runLoop = NSRunLoop::currentRunLoop();
            // The port keeps the run loop alive with nothing else scheduled.
            runLoop->addPortForMode(NSMachPort::port(), NSDefaultRunLoopMode);
            runLoop->run();
        });
        thread->start();
        return thread;
    }();
    return s_thread;
}

void VNURLConnectionOperation::performOnNetworkThread(std::function<void()> work)
{
    std::vector<std::string> modes(m_runLoopModes.begin(), m_runLoopModes.end());
    performSelectorOnThread(networkRequestThread(), std::move(work), false, modes);
}

const char* VNURLConnectionOperation::keyPathForState(int32_t state)
{
    switch (state) {
    case VNOperationReadyState:
        return "isReady";
    case VNOperationExecutingState:
        return "isExecuting";
    case VNOperationFinishedState:
        return "isFinished";
    case VNOperationPausedState:
        return "isPaused";
    default:
        return "state";
    }
}

int32_t VNURLConnectionOperation::state() const
{
    return m_state.load();
}

void VNURLConnectionOperation::setState(int32_t state)
{
    std::lock_guard guard(*m_lock);
    int32_t from = m_state.load();
    bool valid = false;
    switch (from) {
    case VNOperationReadyState:
        valid = state == VNOperationExecutingState || state == VNOperationPausedState
            || (state == VNOperationFinishedState && isCancelled());
        break;
    case VNOperationExecutingState:
        valid = state == VNOperationFinishedState || state == VNOperationPausedState;
        break;
    case VNOperationFinishedState:
        valid = false;
        break;
    case VNOperationPausedState:
        valid = state == VNOperationReadyState;
        break;
    default:
        valid = true;
        break;
    }
    if (!valid)
        return;
    const char* newKey = keyPathForState(state);
    const char* oldKey = keyPathForState(from);
    willChangeValueForKey(newKey);
    willChangeValueForKey(oldKey);
    m_state = state;
    didChangeValueForKey(oldKey);
    didChangeValueForKey(newKey);
}

bool VNURLConnectionOperation::isReady() const
{
    return m_state.load() == VNOperationReadyState && NSOperation::isReady();
}

bool VNURLConnectionOperation::isExecuting() const
{
    return m_state.load() == VNOperationExecutingState;
}

bool VNURLConnectionOperation::isFinished() const
{
    return m_state.load() == VNOperationFinishedState;
}

bool VNURLConnectionOperation::isPaused() const
{
    return m_state.load() == VNOperationPausedState;
}

void VNURLConnectionOperation::start()
{
    std::lock_guard guard(*m_lock);
    if (!isReady())
        return;
    setState(VNOperationExecutingState);
    performOnNetworkThread([self = self<VNURLConnectionOperation>()] { self->operationDidStart(); });
}

void VNURLConnectionOperation::operationDidStart()
{
    {
        std::lock_guard guard(*m_lock);
        if (!isCancelled()) {
            auto connection = NSURLConnection::initWithRequestDelegateStartImmediately(
                request(), self<VNURLConnectionOperation>(), false);
            auto runLoop = NSRunLoop::currentRunLoop();
            auto stream = outputStream();
            for (const auto& mode : m_runLoopModes) {
                connection->scheduleInRunLoopForMode(runLoop, mode);
                stream->scheduleInRunLoopForMode(runLoop, mode);
            }
            m_connection.set(connection);
            connection->start();
        }
    }
    postOnMainQueue(VNNetworkingOperationDidStartNotification, weak_from_this());
    // A cancelled operation normally finishes through the cancellation it sent to this thread.
    // One that never sent it (decoded from an archive with its cancelled flag) would otherwise
    // stay executing for ever: end it the same way, after its start notification.
    if (isCancelled() && !isFinished())
        cancelConnection();
}

void VNURLConnectionOperation::finish()
{
    setState(VNOperationFinishedState);
    postOnMainQueue(VNNetworkingOperationDidFinishNotification, weak_from_this());
}

void VNURLConnectionOperation::cancel()
{
    std::lock_guard guard(*m_lock);
    if (isFinished() || isCancelled())
        return;
    NSOperation::cancel();
    performOnNetworkThread([self = self<VNURLConnectionOperation>()] { self->cancelConnection(); });
}

void VNURLConnectionOperation::cancelConnection()
{
    Value userInfo;
    if (auto req = request(); req && req->URL())
        userInfo = Value::dictionary({ { Value(NSURLErrorFailingURLErrorKey), Value(req->URL()) } });
    auto cancelled = NSError::errorWithDomain(NSURLErrorDomain, NSURLErrorCancelled, userInfo);
    if (isFinished())
        return;
    Ref<NSURLConnection> connection = m_connection.get();
    if (connection) {
        connection->cancel();
        connectionDidFailWithError(connection, cancelled);
    } else {
        setError(cancelled);
        // A paused operation cannot finish directly; left paused it would never finish, and a
        // resumed one would skip its cancelled start and hang executing. Via ready (which a
        // cancelled operation may leave for finished) it ends like any cancelled operation.
        if (isPaused())
            setState(VNOperationReadyState);
        finish();
    }
}

void VNURLConnectionOperation::pause()
{
    if (isPaused() || isFinished() || isCancelled())
        return;
    std::lock_guard guard(*m_lock);
    if (isExecuting()) {
        performOnNetworkThread([self = self<VNURLConnectionOperation>()] { self->operationDidPause(); });
        postOnMainQueue(VNNetworkingOperationDidFinishNotification, weak_from_this());
    }
    setState(VNOperationPausedState);
}

void VNURLConnectionOperation::operationDidPause()
{
    std::lock_guard guard(*m_lock);
    if (auto connection = m_connection.exchange(nullptr))
        connection->cancel();
}

void VNURLConnectionOperation::resume()
{
    if (!isPaused())
        return;
    std::lock_guard guard(*m_lock);
    setState(VNOperationReadyState);
    start();
}

void VNURLConnectionOperation::setCompletionBlock(std::function<void()> block)
{
    std::lock_guard guard(*m_lock);
    if (!block) {
        NSOperation::setCompletionBlock(nullptr);
        return;
    }
    Weak<VNURLConnectionOperation> weak = self<VNURLConnectionOperation>();
    NSOperation::setCompletionBlock([weak, block = std::move(block)] {
        auto strong = weak.lock();
        dispatch_group_t group
            = strong && strong->completionGroup() ? strong->completionGroup() : sharedCompletionGroup();
        dispatch_queue_t queue
            = strong && strong->completionQueue() ? strong->completionQueue() : dispatch_get_main_queue();
        dispatch_group_async(group, queue, block);
        // Dropping the block afterwards breaks cycles through blocks that capture the operation.
        dispatch_group_notify(group, queue, [weak] {
            if (auto operation = weak.lock())
                operation->setCompletionBlock(nullptr);
        });
    });
}

Ref<NSURLRequest> VNURLConnectionOperation::request() const
{
    return m_request.get();
}

void VNURLConnectionOperation::setRequest(Ref<NSURLRequest> request)
{
    m_request.set(std::move(request));
}

Ref<NSURLResponse> VNURLConnectionOperation::response() const
{
    return m_response.get();
}

void VNURLConnectionOperation::setResponse(Ref<NSURLResponse> response)
{
    m_response.set(std::move(response));
}

Ref<NSError> VNURLConnectionOperation::error() const
{
    return m_error.get();
}

void VNURLConnectionOperation::setError(Ref<NSError> error)
{
    m_error.set(std::move(error));
}

Value VNURLConnectionOperation::responseData() const
{
    return m_responseData.get();
}

uint32_t VNURLConnectionOperation::responseStringEncoding()
{
    std::lock_guard guard(*m_lock);
    auto currentResponse = response();
    if (m_responseStringEncoding == 0 && currentResponse) {
        NSStringEncoding encoding = NSUTF8StringEncoding;
        if (currentResponse->textEncodingName()) {
            if (auto named = NSString::encodingFromIANACharsetName(*currentResponse->textEncodingName()))
                encoding = *named;
        }
        m_responseStringEncoding = encoding;
    }
    return m_responseStringEncoding;
}

std::optional<std::string> VNURLConnectionOperation::responseString()
{
    std::lock_guard guard(*m_lock);
    Value data = responseData();
    if (!m_responseString && response() && data.isData())
        m_responseString = NSString::stringWithData(data.bytes(), NSStringEncoding(responseStringEncoding()));
    return m_responseString;
}

Ref<NSInputStream> VNURLConnectionOperation::inputStream() const
{
    auto req = request();
    return req ? req->HTTPBodyStream() : nullptr;
}

void VNURLConnectionOperation::setInputStream(const Ref<NSInputStream>& stream)
{
    auto req = request();
    if (!req)
        return;
    auto mutableRequest = req->mutableCopy();
    mutableRequest->setHTTPBodyStream(stream);
    setRequest(mutableRequest);
}

Ref<NSOutputStream> VNURLConnectionOperation::outputStream()
{
    if (auto stream = m_outputStream.get())
        return stream;
    setOutputStream(NSOutputStream::outputStreamToMemory());
    return m_outputStream.get();
}

void VNURLConnectionOperation::setOutputStream(Ref<NSOutputStream> stream)
{
    std::lock_guard guard(*m_lock);
    // Setting the stream already in place changes nothing; a replaced stream is closed.
    Ref<NSOutputStream> old = m_outputStream.with([&](Ref<NSOutputStream>& current) {
        return stream == current ? nullptr : std::exchange(current, std::move(stream));
    });
    if (old)
        old->close();
}

void VNURLConnectionOperation::connectionDidReceiveResponse(
    const Ref<NSURLConnection>&, const Ref<NSURLResponse>& response)
{
    setResponse(response);
    outputStream()->open();
}

void VNURLConnectionOperation::connectionDidReceiveData(const Ref<NSURLConnection>& connection, const Value& data)
{
    if (!data.isData())
        return;
    const auto& bytes = data.bytes();
    auto stream = outputStream();
    // A stream that is still opening may yet take bytes; one that is not open (never opened,
    // closed, at its end, failed) never will, so waiting for it would hang the network thread.
    while (!stream->hasSpaceAvailable()) {
        auto status = stream->streamStatus();
        if (status == NSStreamStatusOpening || status == NSStreamStatusWriting) {
            std::this_thread::yield();
            continue;
        }
        connection->cancel();
        connectionDidFailWithError(connection, writeError(stream));
        return;
    }
    size_t written = 0;
    while (written < bytes.size()) {
        int64_t count = stream->write(bytes.data() + written, bytes.size() - written);
        if (count < 0) {
            // A failed write would lose body bytes while the load carried on as a success.
            connection->cancel();
            connectionDidFailWithError(connection, writeError(stream));
            return;
        }
        written += size_t(count);
    }
    uint32_t length = uint32_t(bytes.size());
    Weak<VNURLConnectionOperation> weak = self<VNURLConnectionOperation>();
    dispatch_async(dispatch_get_main_queue(), [weak, length] {
        auto self = weak.lock();
        if (!self)
            return;
        self->m_totalBytesRead += length;
        if (self->m_downloadProgress) {
            auto currentResponse = self->response();
            self->m_downloadProgress(
                length, self->m_totalBytesRead, currentResponse ? currentResponse->expectedContentLength() : -1);
        }
    });
}

void VNURLConnectionOperation::connectionDidFinishLoading(const Ref<NSURLConnection>&)
{
    auto stream = outputStream();
    m_responseData.set(stream->propertyForKey(NSStreamDataWrittenToMemoryStreamKey));
    stream->close();
    finish();
    m_connection.set(nullptr);
}

void VNURLConnectionOperation::connectionDidFailWithError(const Ref<NSURLConnection>&, const Ref<NSError>& error)
{
    setError(error);
    outputStream()->close();
    finish();
    m_connection.set(nullptr);
}

void VNURLConnectionOperation::connectionDidSendBodyDataTotalBytesWrittenTotalBytesExpectedToWrite(
    const Ref<NSURLConnection>&, int64_t bytesWritten, int64_t totalBytesWritten, int64_t totalBytesExpected)
{
    if (!m_uploadProgress)
        return;
    auto block = m_uploadProgress;
    dispatch_async(dispatch_get_main_queue(), [block, bytesWritten, totalBytesWritten, totalBytesExpected] {
        block(uint32_t(bytesWritten), totalBytesWritten, totalBytesExpected);
    });
}

std::optional<Ref<NSURLRequest>> VNURLConnectionOperation::connectionWillSendRequestRedirectResponse(
    const Ref<NSURLConnection>& connection, const Ref<NSURLRequest>& request,
    const Ref<NSURLResponse>& redirectResponse)
{
    if (m_redirectResponse)
        return m_redirectResponse(connection, request, redirectResponse);
    return request;
}

std::optional<Ref<NSCachedURLResponse>> VNURLConnectionOperation::connectionWillCacheResponse(
    const Ref<NSURLConnection>& connection, const Ref<NSCachedURLResponse>& cachedResponse)
{
    if (m_cacheResponse)
        return m_cacheResponse(connection, cachedResponse);
    if (isCancelled())
        return Ref<NSCachedURLResponse>();
    return cachedResponse;
}

std::optional<bool> VNURLConnectionOperation::connectionShouldUseCredentialStorage(const Ref<NSURLConnection>&)
{
    return m_shouldUseCredentialStorage;
}

bool VNURLConnectionOperation::connectionWillSendRequestForAuthenticationChallenge(
    const Ref<NSURLConnection>& connection, const Ref<NSURLAuthenticationChallenge>& challenge)
{
    if (m_authenticationChallenge) {
        m_authenticationChallenge(connection, challenge);
        return true;
    }
    const auto& space = challenge->protectionSpace();
    if (space && space->authenticationMethod() == NSURLAuthenticationMethodServerTrust) {
        if (m_securityPolicy && m_securityPolicy->evaluateServerTrust(space->serverTrust())) {
            challenge->sender()->useCredentialForAuthenticationChallenge(
                NSURLCredential::credentialForTrust(space->serverTrust()), challenge);
        } else {
            challenge->sender()->cancelAuthenticationChallenge(challenge);
        }
        return true;
    }
    if (challenge->previousFailureCount() == 0 && m_credential)
        challenge->sender()->useCredentialForAuthenticationChallenge(m_credential, challenge);
    else
        challenge->sender()->continueWithoutCredentialForAuthenticationChallenge(challenge);
    return true;
}

Ref<VNURLConnectionOperation> VNURLConnectionOperation::copy() const
{
    auto operation = initWithRequest(request());
    operation->m_uploadProgress = m_uploadProgress;
    operation->m_downloadProgress = m_downloadProgress;
    operation->m_authenticationChallenge = m_authenticationChallenge;
    operation->m_cacheResponse = m_cacheResponse;
    operation->m_redirectResponse = m_redirectResponse;
    operation->m_completionQueue = m_completionQueue;
    operation->m_completionGroup = m_completionGroup;
    return operation;
}

void VNURLConnectionOperation::encodeWithCoder(NSCoder& coder)
{
    pause();
    coder.encodeObjectForKey(Value::object(request()), "request");
    int32_t current = state();
    bool running = current == VNOperationExecutingState || current == VNOperationPausedState;
    coder.encodeIntegerForKey(running ? VNOperationReadyState : current, "state");
    coder.encodeBoolForKey(isCancelled(), "isCancelled");
    coder.encodeObjectForKey(Value::object(response()), "response");
    coder.encodeObjectForKey(Value::object(error()), "error");
    coder.encodeObjectForKey(responseData(), "responseData");
    coder.encodeInt64ForKey(m_totalBytesRead, "totalBytesRead");
}

Ref<VNURLConnectionOperation> VNURLConnectionOperation::initWithCoder(NSCoder& coder)
{
    auto operation = make<VNURLConnectionOperation>();
    operation->initializeWithCoder(coder);
    return operation;
}

void VNURLConnectionOperation::initializeWithCoder(NSCoder& coder)
{
    initializeWithRequest(coder.decodeObjectForKey("request").objectAs<NSURLRequest>());
    setState(coder.decodeIntegerForKey("state"));
    if (coder.decodeBoolForKey("isCancelled"))
        NSOperation::cancel(); // the flag alone: nothing runs yet that a cancellation could stop
    setResponse(coder.decodeObjectForKey("response").objectAs<NSURLResponse>());
    // The base error only: a subclass's serialization error is not archived.
    VNURLConnectionOperation::setError(coder.decodeObjectForKey("error").objectAs<NSError>());
    Value data = coder.decodeObjectForKey("responseData");
    m_responseData.set(data.isData() ? data : Value());
    m_totalBytesRead = coder.decodeInt64ForKey("totalBytesRead");
}

std::string VNURLConnectionOperation::description() const
{
    auto req = request();
    auto res = response();
    return NSString::stringWithFormat("<%@: %p, state: %@, cancelled: %@ request: %@, response: %@>", className(),
        static_cast<const void*>(this), Value(keyPathForState(state())), Value(isCancelled() ? "YES" : "NO"), req, res);
}

Value VNURLConnectionOperation::valueForKey(const std::string& key)
{
    if (key == "state")
        return state();
    if (key == "isPaused")
        return isPaused();
    return NSOperation::valueForKey(key);
}

std::vector<Ref<NSOperation>> VNURLConnectionOperation::batchOfRequestOperations(
    const std::vector<Ref<VNURLConnectionOperation>>& operations, BatchProgressBlock progress,
    BatchCompletionBlock completion)
{
    if (operations.empty()) {
        return { NSBlockOperation::blockOperationWithBlock([completion] {
            if (completion)
                completion({});
        }) };
    }
    auto group = dispatch_group_create();
    auto batch = NSBlockOperation::blockOperationWithBlock([group, operations, completion] {
        dispatch_group_notify(group, dispatch_get_main_queue(), [operations, completion] {
            if (completion)
                completion(operations);
        });
    });
    // The operations are held weakly by each other's blocks; the caller's array keeps them.
    std::vector<Weak<VNURLConnectionOperation>> weakOperations(operations.begin(), operations.end());
    for (const auto& operation : operations) {
        operation->setCompletionGroup(group);
        auto original = operation->completionBlock();
        Weak<VNURLConnectionOperation> weak = operation;
        operation->setCompletionBlock([weak, weakOperations, original, progress, group] {
            auto strong = weak.lock();
            dispatch_queue_t queue
                = strong && strong->completionQueue() ? strong->completionQueue() : dispatch_get_main_queue();
            dispatch_group_async(group, queue, [original, weakOperations, progress, group] {
                if (original)
                    original();
                uint32_t finished = 0;
                for (const auto& each : weakOperations) {
                    auto op = each.lock();
                    if (op && op->isFinished())
                        ++finished;
                }
                if (progress)
                    progress(finished, uint32_t(weakOperations.size()));
                dispatch_group_leave(group);
            });
        });
        dispatch_group_enter(group);
        batch->addDependency(operation);
    }
    std::vector<Ref<NSOperation>> result(operations.begin(), operations.end());
    result.push_back(batch);
    return result;
}
