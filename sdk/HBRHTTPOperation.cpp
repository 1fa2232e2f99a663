#include "sdk/HBRHTTPOperation.h"

#include "foundation/Dispatch.h"
#include "foundation/NSThread.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSURLRequest.h"

VX_REGISTER_CLASS(HBRHTTPOperation);

Ref<HBRHTTPOperation> HBRHTTPOperation::operationWithRequest(const Ref<NSURLRequest>& request)
{
    auto operation = make<HBRHTTPOperation>();
    operation->m_URLRequest = request;
    return operation;
}

void HBRHTTPOperation::setCompletion(Completion completion)
{
    m_completion = std::move(completion);
}

void HBRHTTPOperation::start()
{
    if (isCancelled()) {
        finish();
        return;
    }
    if (!NSThread::isMainThread()) {
        dispatch_async(dispatch_get_main_queue(), [self = self<HBRHTTPOperation>()] { self->start(); });
        return;
    }
    if (isCancelled() || m_isFinished) {
        finish();
        return;
    }
    willChangeValueForKey("isExecuting");
    m_isExecuting = true;
    didChangeValueForKey("isExecuting");
    m_connection
        = NSURLConnection::initWithRequestDelegateStartImmediately(m_URLRequest, self<HBRHTTPOperation>(), true);
}

void HBRHTTPOperation::cancel()
{
    if (m_connection)
        m_connection->cancel();
    bool wasExecuting = m_isExecuting;
    NSOperation::cancel();
    // A cancelled running operation would otherwise never finish and stall the queue.
    if (wasExecuting)
        finish();
}

const Value& HBRHTTPOperation::data() const
{
    if (m_receivedPending) {
        m_data = Value::data(m_received);
        m_receivedPending = false;
    }
    return m_data;
}

void HBRHTTPOperation::connectionDidReceiveResponse(const Ref<NSURLConnection>&, const Ref<NSURLResponse>& response)
{
    m_received.clear();
    m_receivedPending = false;
    m_data = Value::data({});
    m_response = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
}

void HBRHTTPOperation::connectionDidReceiveData(const Ref<NSURLConnection>&, const Value& data)
{
    m_receivedPending = true;
    m_received.insert(m_received.end(), data.bytes().begin(), data.bytes().end());
}

void HBRHTTPOperation::connectionDidFailWithError(const Ref<NSURLConnection>&, const Ref<NSError>& error)
{
    m_error = error;
    m_received.clear();
    m_receivedPending = false;
    m_data = Value();
    finish();
}

void HBRHTTPOperation::connectionDidFinishLoading(const Ref<NSURLConnection>&)
{
    finish();
}

void HBRHTTPOperation::finish()
{
    if (m_isFinished)
        return;
    m_connection = nullptr;
    willChangeValueForKey("isExecuting");
    willChangeValueForKey("isFinished");
    m_isExecuting = false;
    m_isFinished = true;
    didChangeValueForKey("isExecuting");
    didChangeValueForKey("isFinished");
    // The completion runs on the main queue once finished, unless the operation was cancelled.
    if (auto completion = std::move(m_completion)) {
        m_completion = nullptr;
        dispatch_async(dispatch_get_main_queue(), [operation = self<HBRHTTPOperation>(), completion] {
            if (!operation->isCancelled())
                completion(operation, operation->data(), operation->m_error);
        });
    }
}
