#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "sdk/HBRHTTPOperation.h"

#include <optional>
#include <string>

class NSMutableURLRequest;
class NSOperationQueue;
class NSURL;

// The kit's small HTTP layer against one base URL: GET with a query string, other methods with
// a multipart/form-data body; operations run one at a time and complete on the main queue.
// Requests may be enqueued from any thread.
class HBRHarborAppClient : public NSObject {
    VX_OBJECT(HBRHarborAppClient, NSObject)
public:
    explicit HBRHarborAppClient(Passkey key)
        : NSObject(key)
    {
    }
    ~HBRHarborAppClient() override;
    static Ref<HBRHarborAppClient> initWithBaseURL(const Ref<NSURL>& baseURL);

    // `parameters` is a dictionary of strings or nil.
    Ref<NSMutableURLRequest> requestWithMethodPathParameters(
        const std::string& method, const std::optional<std::string>& path, const Value& parameters);
    Ref<HBRHTTPOperation> operationWithURLRequestCompletion(
        const Ref<NSURLRequest>& request, HBRHTTPOperation::Completion completion);
    void getPathParametersCompletion(
        const std::optional<std::string>& path, const Value& parameters, HBRHTTPOperation::Completion completion);
    void postPathParametersCompletion(
        const std::optional<std::string>& path, const Value& parameters, HBRHTTPOperation::Completion completion);
    void enqeueHTTPOperation(const Ref<HBRHTTPOperation>& operation);
    // Cancels the queued operations matching the path (as a GET URL) and the method; nullopt
    // matches any. Answers how many were cancelled.
    uint32_t cancelOperationsWithPathMethod(
        const std::optional<std::string>& path, const std::optional<std::string>& method);

    // One multipart part: "--B\r\nContent-Disposition: form-data; name=\"K\";\r\nContent-Type: text\r\n\r\nV\r\n".
    static std::string dataWithPostValueForKeyBoundary(
        const std::string& value, const std::string& key, const std::string& boundary);
    // "k=v&k2=v2" in the dictionary's order, unescaped.
    static std::string queryStringFromParametersWithEncoding(const Value& parameters, uint32_t encoding = 4);

    const Ref<NSURL>& baseURL() const { return m_baseURL; }
    void setBaseURL(Ref<NSURL> url) { m_baseURL = std::move(url); }
    Ref<NSOperationQueue> operationQueue();
    void setOperationQueue(Ref<NSOperationQueue> queue) { m_operationQueue = std::move(queue); }

private:
    Ref<NSURL> m_baseURL;
    Ref<NSOperationQueue> m_operationQueue;
};
