#pragma once

#include "networking/VNHTTPRequestSerializer.h"
#include "networking/VNURLSessionManager.h"

// The session manager for one HTTP service: resolves URL strings against `baseURL`, builds each
// request with its request serializer, runs it as a data task and turns the task's completion
// into a success or a failure block. Request methods: any thread; the blocks run on the
// completion queue (main by default). The reachability monitor of a host base URL is not
// started.
class VNHTTPSessionManager : public VNURLSessionManager {
    VX_OBJECT(VNHTTPSessionManager, VNURLSessionManager)
public:
    using SuccessBlock = std::function<void(const Ref<NSURLSessionDataTask>&, const Value& responseObject)>;
    using HEADSuccessBlock = std::function<void(const Ref<NSURLSessionDataTask>&)>;
    using FailureBlock = std::function<void(const Ref<NSURLSessionDataTask>&, const Ref<NSError>&)>;

    explicit VNHTTPSessionManager(Passkey key)
        : VNURLSessionManager(key)
    {
    }

    // No base URL: request methods then take absolute URL strings.
    static Ref<VNHTTPSessionManager> manager() { return initWithBaseURLSessionConfiguration(nullptr, nullptr); }
    static Ref<VNHTTPSessionManager> init() { return initWithBaseURLSessionConfiguration(nullptr, nullptr); }
    static Ref<VNHTTPSessionManager> initWithBaseURL(const Ref<NSURL>& url)
    {
        return initWithBaseURLSessionConfiguration(url, nullptr);
    }
    static Ref<VNHTTPSessionManager> initWithSessionConfiguration(const Ref<NSURLSessionConfiguration>& configuration)
    {
        return initWithBaseURLSessionConfiguration(nullptr, configuration);
    }
    // A base URL with a non-empty path gets a final "/", so relative strings resolve below it.
    static Ref<VNHTTPSessionManager> initWithBaseURLSessionConfiguration(
        const Ref<NSURL>& url, const Ref<NSURLSessionConfiguration>& configuration);

    const Ref<NSURL>& baseURL() const { return m_baseURL; }
    const Ref<VNHTTPRequestSerializer>& requestSerializer() const { return m_requestSerializer; }
    void setRequestSerializer(Ref<VNHTTPRequestSerializer> serializer) { m_requestSerializer = std::move(serializer); }
    void setResponseSerializer(Ref<VNHTTPResponseSerializer> serializer) override;

    // Each builds the request, starts a data task for it and returns the task.
    Ref<NSURLSessionDataTask> GETParametersSuccessFailure(
        const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure);
    Ref<NSURLSessionDataTask> HEADParametersSuccessFailure(
        const std::string& URLString, const Value& parameters, HEADSuccessBlock success, FailureBlock failure);
    Ref<NSURLSessionDataTask> POSTParametersSuccessFailure(
        const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure);
    // A multipart form body (sent by a data task); `block` (may be nullptr) appends the parts.
    Ref<NSURLSessionDataTask> POSTParametersConstructingBodyWithBlockSuccessFailure(const std::string& URLString,
        const Value& parameters, const VNHTTPRequestSerializer::ConstructingBodyBlock& block, SuccessBlock success,
        FailureBlock failure);
    Ref<NSURLSessionDataTask> PUTParametersSuccessFailure(
        const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure);
    Ref<NSURLSessionDataTask> PATCHParametersSuccessFailure(
        const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure);
    Ref<NSURLSessionDataTask> DELETEParametersSuccessFailure(
        const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure);

    // A new manager on the same base URL and configuration with copies of both serializers.
    Ref<VNURLSessionManager> copy() const override;
    // Archives what the session manager archives, then the base URL, the configuration again and
    // both serializers.
    void encodeWithCoder(NSCoder& coder) override;
    static Ref<VNHTTPSessionManager> initWithCoder(NSCoder& coder);

    std::string description() const override;

private:
    std::string absoluteURLString(const std::string& URLString) const;
    Ref<NSURLSessionDataTask> runRequest(const Ref<NSURLRequest>& request, SuccessBlock success, FailureBlock failure);
    Ref<NSURLSessionDataTask> run(const std::string& method, const std::string& URLString, const Value& parameters,
        SuccessBlock success, FailureBlock failure);

    Ref<NSURL> m_baseURL;
    Ref<VNHTTPRequestSerializer> m_requestSerializer;
};
