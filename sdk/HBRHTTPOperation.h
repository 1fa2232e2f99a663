#pragma once

#include "foundation/NSOperation.h"
#include "foundation/Value.h"
#include "net/NSURLConnection.h"

#include <functional>

class NSHTTPURLResponse;
class NSURLRequest;

// One request of the kit's HTTP client, run with a URL connection on the main thread. A
// concurrent operation: start() from any thread bounces itself to the main thread. The
// completion arrives on the main queue after the operation finished, unless it was cancelled.
// A running operation that is cancelled finishes at once, so the one-at-a-time queue moves on.
class HBRHTTPOperation : public NSOperation, public NSURLConnectionDelegate {
    VX_OBJECT(HBRHTTPOperation, NSOperation)
public:
    using Completion = std::function<void(const Ref<HBRHTTPOperation>&, const Value& data, const Ref<NSError>& error)>;

    explicit HBRHTTPOperation(Passkey key)
        : NSOperation(key)
    {
    }
    static Ref<HBRHTTPOperation> operationWithRequest(const Ref<NSURLRequest>& request);

    void setCompletion(Completion completion);

    void start() override;
    void cancel() override;
    bool isAsynchronous() const override { return true; }
    bool isExecuting() const override { return m_isExecuting; }
    bool isFinished() const override { return m_isFinished; }

    const Ref<NSURLRequest>& URLRequest() const { return m_URLRequest; }
    const Ref<NSHTTPURLResponse>& response() const { return m_response; }
    // The body received so far (a data value), nil after a failure.
    const Value& data() const;
    const Ref<NSError>& error() const { return m_error; }

    // NSURLConnectionDelegate (main run loop).
    void connectionDidReceiveResponse(const Ref<NSURLConnection>&, const Ref<NSURLResponse>& response) override;
    void connectionDidReceiveData(const Ref<NSURLConnection>&, const Value& data) override;
    void connectionDidFailWithError(const Ref<NSURLConnection>&, const Ref<NSError>& error) override;
    void connectionDidFinishLoading(const Ref<NSURLConnection>&) override;

private:
    void finish();

    Ref<NSURLRequest> m_URLRequest;
    Ref<NSURLConnection> m_connection;
    // The body is collected in m_received and copied into m_data only when it is read after a
    // new chunk, so that each chunk costs its own size rather than a copy of all before it.
    mutable Value m_data;
    Value::Bytes m_received;
    mutable bool m_receivedPending { false };
    std::atomic<bool> m_isExecuting { false };
    std::atomic<bool> m_isFinished { false };
    Ref<NSHTTPURLResponse> m_response;
    Ref<NSError> m_error;
    Completion m_completion;
};
