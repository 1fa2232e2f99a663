#pragma once

#include "foundation/NSError.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/Value.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSURLSession.h"
#include "net/NSURLSessionConfiguration.h"

#include <mutex>
#include <string>
#include <vector>

// A session delegate that writes down every call, in order, and what arrived.
class RecordingSessionDelegate : public NSURLSessionDelegate {
public:
    std::vector<std::string> events() const
    {
        std::lock_guard lock(m_lock);
        return m_events;
    }
    std::string body() const
    {
        std::lock_guard lock(m_lock);
        return m_body;
    }
    Ref<NSError> error() const
    {
        std::lock_guard lock(m_lock);
        return m_error;
    }
    int completions() const
    {
        std::lock_guard lock(m_lock);
        return m_completions;
    }
    bool allOnDelegateQueue() const { return m_allOnQueue; }
    void expectQueue(const Ref<NSOperationQueue>& queue) { m_queue = queue; }

    void URLSessionDataTaskDidReceiveData(
        const Ref<NSURLSession>&, const Ref<NSURLSessionDataTask>&, const Value& data) override
    {
        note("data");
        std::lock_guard lock(m_lock);
        m_body.append(data.bytes().begin(), data.bytes().end());
    }
    bool URLSessionDataTaskDidReceiveResponse(const Ref<NSURLSession>&, const Ref<NSURLSessionDataTask>&,
        const Ref<NSURLResponse>& response, std::function<void(NSURLSessionResponseDisposition)> handler) override
    {
        auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
        note("response " + std::to_string(http ? http->statusCode() : 0));
        handler(NSURLSessionResponseAllow);
        return true;
    }
    void URLSessionTaskDidCompleteWithError(
        const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&, const Ref<NSError>& error) override
    {
        note(error ? "complete " + std::to_string(error->code()) : std::string("complete"));
        std::lock_guard lock(m_lock);
        m_error = error;
        ++m_completions;
    }
    void URLSessionDidBecomeInvalidWithError(const Ref<NSURLSession>&, const Ref<NSError>&) override
    {
        note("invalid");
    }

protected:
    void note(const std::string& event)
    {
        if (m_queue && NSOperationQueue::currentQueue() != m_queue)
            m_allOnQueue = false;
        std::lock_guard lock(m_lock);
        // Consecutive data or write reports are written once, so chunking does not change the sequence.
        if ((event == "data" || event == "wrote") && !m_events.empty() && m_events.back() == event)
            return;
        m_events.push_back(event);
    }

    mutable std::mutex m_lock;
    std::vector<std::string> m_events;
    std::string m_body;
    Ref<NSError> m_error;
    int m_completions { 0 };
    Ref<NSOperationQueue> m_queue;
    bool m_allOnQueue { true };
};

inline std::string text(const Value& data)
{
    return data.isData() ? std::string(data.bytes().begin(), data.bytes().end()) : std::string();
}
