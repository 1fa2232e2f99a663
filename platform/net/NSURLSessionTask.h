#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "net/NetForward.h"
#include "net/URLLoad.h"

#include <cstdio>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

enum NSURLSessionTaskState : int32_t {
    NSURLSessionTaskStateRunning = 0,
    NSURLSessionTaskStateSuspended = 1,
    NSURLSessionTaskStateCanceling = 2,
    NSURLSessionTaskStateCompleted = 3,
};

inline constexpr const char* NSURLSessionDownloadTaskResumeData = "NSURLSessionDownloadTaskResumeData";

// One load in a session. Made suspended; resume() starts it, suspend() holds back its delegate
// calls, cancel() ends it with NSURLErrorCancelled. "state", "response", "error" and the byte
// counters ("countOfBytesReceived", "countOfBytesSent", "countOfBytesExpectedToReceive",
// "countOfBytesExpectedToSend") are observable; they change on the delegate queue (state also
// on the thread calling resume, suspend or cancel). The task keeps its session alive until it
// completes. Control methods: any thread.
class NSURLSessionTask : public NSObject, public URLLoadDelegate {
    VX_OBJECT(NSURLSessionTask, NSObject)
public:
    enum class Kind { Data, Upload, Download };
    using DataCompletion = std::function<void(const Value& data, const Ref<NSURLResponse>&, const Ref<NSError>&)>;
    using DownloadCompletion
        = std::function<void(const Ref<NSURL>& location, const Ref<NSURLResponse>&, const Ref<NSError>&)>;

    NSURLSessionTask(Passkey key, Kind kind)
        : NSObject(key)
        , m_kind(kind)
    {
    }
    ~NSURLSessionTask() override;

    uint32_t taskIdentifier() const { return m_identifier; }
    Ref<NSURLRequest> originalRequest() const;
    Ref<NSURLRequest> currentRequest() const;
    Ref<NSURLResponse> response() const;
    Ref<NSError> error() const;
    NSURLSessionTaskState state() const;
    int64_t countOfBytesReceived() const;
    int64_t countOfBytesSent() const;
    int64_t countOfBytesExpectedToReceive() const;
    int64_t countOfBytesExpectedToSend() const;
    std::string taskDescription() const;
    void setTaskDescription(const std::string& description);

    void resume();
    void suspend();
    void cancel();

    Value valueForKey(const std::string& key) override;

    // URLLoadDelegate (on the delegate queue).
    void loadWillPerformRedirect(const Ref<NSHTTPURLResponse>& response, const Ref<NSURLRequest>& proposed,
        std::function<void(Ref<NSURLRequest>)> reply) override;
    void loadDidReceiveChallenge(const Ref<NSURLAuthenticationChallenge>& challenge) override;
    void loadDidReceiveResponse(const Ref<NSURLResponse>& response) override;
    void loadDidReceiveData(const Value& data) override;
    void loadDidSendBodyData(int64_t bytesSent, int64_t totalBytesSent, int64_t totalBytesExpected) override;
    void loadWillCacheResponse(
        const Ref<NSCachedURLResponse>& proposed, std::function<void(Ref<NSCachedURLResponse>)> reply) override;
    void loadDidFinish(const Ref<NSError>& error) override;

protected:
    friend class NSURLSession;
    friend class NSURLSessionDownloadTask;

    void setUp(const Ref<NSURLSession>& session, uint32_t identifier, const Ref<NSURLRequest>& request);
    void startLoad(const Ref<NSURLRequest>& request);
    void deliver(std::function<void()> block);
    void setState(NSURLSessionTaskState state);
    template <typename T> void setCounter(const char* key, int64_t& member, T value)
    {
        setValueNotifying(key, member, int64_t(value));
    }
    Value makeResumeData() const;

    const Kind m_kind;
    mutable std::mutex m_lock;
    Ref<NSURLSession> m_session; // while outstanding
    Weak<NSURLSession> m_weakSession;
    uint32_t m_identifier { 0 };
    Ref<NSURLRequest> m_originalRequest;
    Ref<NSURLRequest> m_requestToLoad;
    Ref<URLLoad> m_load;
    Ref<NSURLResponse> m_response;
    Ref<NSError> m_error;
    NSURLSessionTaskState m_state { NSURLSessionTaskStateSuspended };
    int64_t m_received { 0 };
    int64_t m_sent { 0 };
    int64_t m_expectedToReceive { -1 };
    int64_t m_expectedToSend { 0 };
    std::string m_description;
    bool m_started { false };
    bool m_holdDeliveries { true };
    std::vector<std::function<void()>> m_heldDeliveries;

    DataCompletion m_dataCompletion;
    DownloadCompletion m_downloadCompletion;
    Value::Bytes m_data;
    bool m_needsBodyStream { false };
    std::optional<int32_t> m_startError;

    // Downloads.
    std::string m_downloadPath;
    FILE* m_downloadFile { nullptr };
    int64_t m_resumeOffset { 0 };
    std::optional<std::string> m_resumeValidator;
    std::function<void(const Value&)> m_resumeDataHandler;
    bool m_partialOK { false };
};
