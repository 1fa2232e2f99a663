#pragma once

#include "foundation/NSCoding.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "net/NetForward.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNHTTPRequestSerializer.h"

#include <functional>
#include <string>

class NSOperationQueue;
class VNNetworkReachabilityManager;
class VNSecurityPolicy;

// The entry point for one HTTP service: resolves URL strings against `baseURL`, builds each
// request with the request serializer, wraps it in an HTTP request operation that carries the
// manager's response serializer (the same object), security policy and credentials, and runs it
// on the manager's own operation queue. Watches the reachability of the service's host.
// Request methods: any thread; success and failure blocks arrive on the operations' completion
// queue (the main queue by default). Create managers on the main thread (reachability
// monitoring is scheduled on the main run loop).
class VNHTTPRequestOperationManager : public NSObject, public NSCoding {
    VX_OBJECT(VNHTTPRequestOperationManager, NSObject)
public:
    using SuccessBlock = VNHTTPRequestOperation::SuccessBlock;
    using FailureBlock = VNHTTPRequestOperation::FailureBlock;
    using HEADSuccessBlock = std::function<void(const Ref<VNHTTPRequestOperation>&)>;

    explicit VNHTTPRequestOperationManager(Passkey key)
        : NSObject(key)
    {
    }

    // A manager without base URL: request methods then take absolute URL strings.
    static Ref<VNHTTPRequestOperationManager> manager() { return initWithBaseURL(nullptr); }
    // A base URL with a non-empty path gets a final "/", so relative strings resolve below it.
    static Ref<VNHTTPRequestOperationManager> initWithBaseURL(const Ref<NSURL>& url);

    const Ref<NSURL>& baseURL() const { return m_baseURL; }
    const Ref<VNHTTPRequestSerializer>& requestSerializer() const { return m_requestSerializer; }
    void setRequestSerializer(Ref<VNHTTPRequestSerializer> serializer) { m_requestSerializer = std::move(serializer); }
    const Ref<VNHTTPResponseSerializer>& responseSerializer() const { return m_responseSerializer; }
    void setResponseSerializer(Ref<VNHTTPResponseSerializer> serializer)
    {
        m_responseSerializer = std::move(serializer);
    }
    const Ref<NSOperationQueue>& operationQueue() const { return m_operationQueue; }
    void setOperationQueue(Ref<NSOperationQueue> queue) { m_operationQueue = std::move(queue); }
    bool shouldUseCredentialStorage() const { return m_shouldUseCredentialStorage; }
    void setShouldUseCredentialStorage(bool use) { m_shouldUseCredentialStorage = use; }
    const Ref<NSURLCredential>& credential() const { return m_credential; }
    void setCredential(Ref<NSURLCredential> credential) { m_credential = std::move(credential); }
    const Ref<VNSecurityPolicy>& securityPolicy() const { return m_securityPolicy; }
    void setSecurityPolicy(Ref<VNSecurityPolicy> policy) { m_securityPolicy = std::move(policy); }
    const Ref<VNNetworkReachabilityManager>& reachabilityManager() const { return m_reachabilityManager; }
    void setReachabilityManager(Ref<VNNetworkReachabilityManager> manager)
    {
        m_reachabilityManager = std::move(manager);
    }

    // A new operation for the request, not yet queued, with the manager's response serializer,
    // credential settings and security policy, and the two blocks installed (either may be
    // nullptr).
    Ref<VNHTTPRequestOperation> HTTPRequestOperationWithRequestSuccessFailure(
        const Ref<NSURLRequest>& request, SuccessBlock success, FailureBlock failure);

    // Each builds the request, queues its operation on `operationQueue` and returns it.
    Ref<VNHTTPRequestOperation> GETParametersSuccessFailure(
        const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure);
    Ref<VNHTTPRequestOperation> HEADParametersSuccessFailure(
        const std::string& URLString, const Value& parameters, HEADSuccessBlock success, FailureBlock failure);
    Ref<VNHTTPRequestOperation> POSTParametersSuccessFailure(
        const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure);
    // A multipart form body; `block` (may be nullptr) appends the parts after the parameters.
    Ref<VNHTTPRequestOperation> POSTParametersConstructingBodyWithBlockSuccessFailure(const std::string& URLString,
        const Value& parameters, const VNHTTPRequestSerializer::ConstructingBodyBlock& block, SuccessBlock success,
        FailureBlock failure);
    Ref<VNHTTPRequestOperation> PUTParametersSuccessFailure(
        const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure);
    Ref<VNHTTPRequestOperation> PATCHParametersSuccessFailure(
        const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure);
    Ref<VNHTTPRequestOperation> DELETEParametersSuccessFailure(
        const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure);

    // A new manager on the same base URL with copies of both serializers; its queue,
    // reachability monitor, policy and credential settings are new defaults.
    Ref<VNHTTPRequestOperationManager> copy() const;

    // Archives the base URL and both serializers; decoding sets everything else up anew.
    void encodeWithCoder(NSCoder& coder) override;
    static Ref<VNHTTPRequestOperationManager> initWithCoder(NSCoder& coder);

    std::string description() const override;

private:
    // The absolute string of `URLString` resolved against the base URL ("" when it does not parse).
    std::string absoluteURLString(const std::string& URLString) const;
    Ref<VNHTTPRequestOperation> enqueue(const std::string& method, const std::string& URLString,
        const Value& parameters, SuccessBlock success, FailureBlock failure);
    Ref<VNHTTPRequestOperation> enqueueRequest(
        const Ref<NSURLRequest>& request, SuccessBlock success, FailureBlock failure);

    Ref<NSURL> m_baseURL;
    Ref<VNHTTPRequestSerializer> m_requestSerializer;
    Ref<VNHTTPResponseSerializer> m_responseSerializer;
    Ref<NSOperationQueue> m_operationQueue;
    bool m_shouldUseCredentialStorage { false };
    Ref<NSURLCredential> m_credential;
    Ref<VNSecurityPolicy> m_securityPolicy;
    Ref<VNNetworkReachabilityManager> m_reachabilityManager;
};
