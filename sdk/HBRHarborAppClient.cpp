#include "sdk/HBRHarborAppClient.h"

#include "foundation/NSOperationQueue.h"
#include "foundation/NSString.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSURL.h"
#include "sdk/HBRHarborHelper.h"
#include "sdk/HBRHarborSDK.h"

VX_REGISTER_CLASS(HBRHarborAppClient);

HBRHarborAppClient::~HBRHarborAppClient()
{
    if (m_operationQueue) {
        for (const auto& operation : m_operationQueue->operations())
            operation->cancel();
    }
}

Ref<HBRHarborAppClient> HBRHarborAppClient::initWithBaseURL(const Ref<NSURL>& baseURL)
{
    auto client = make<HBRHarborAppClient>();
    client->m_baseURL = baseURL;
    return client;
}

Ref<NSOperationQueue> HBRHarborAppClient::operationQueue()
{
    if (!m_operationQueue) {
        m_operationQueue = NSOperationQueue::init();
        m_operationQueue->setMaxConcurrentOperationCount(1);
    }
    return m_operationQueue;
}

Ref<NSMutableURLRequest> HBRHarborAppClient::requestWithMethodPathParameters(
    const std::string& method, const std::optional<std::string>& path, const Value& parameters)
{
    auto url = m_baseURL->URLByAppendingPathComponent(path.value_or(""));
    auto request = NSMutableURLRequest::requestWithURL(url);
    request->setHTTPMethod(method);
    if (!parameters.isDictionary())
        return request;
    if (method == "GET") {
        std::string query = queryStringFromParametersWithEncoding(parameters);
        std::string text = url->absoluteString()
            + NSString::stringWithFormat(path && path->find('?') != std::string::npos ? "&%@" : "?%@", query);
        request->setURL(NSURL::URLWithString(text));
        return request;
    }
    // A boundary that no value holds, so that no value ends its part early or forges another.
    std::vector<std::string> values;
    for (const auto& [key, value] : parameters.entries())
        values.push_back(value.stringValue());
    std::string boundary = HBRMultipartBoundaryForValues({ values.begin(), values.end() });
    request->setValueForHTTPHeaderField(
        NSString::stringWithFormat("multipart/form-data; boundary=%@", boundary), "Content-type");
    std::string body;
    for (const auto& [key, value] : parameters.entries())
        body += dataWithPostValueForKeyBoundary(value.stringValue(), key.stringValue(), boundary);
    body += NSString::stringWithFormat("--%@--\r\n", boundary);
    request->setHTTPBody(Value::data(body.data(), body.size()));
    return request;
}

Ref<HBRHTTPOperation> HBRHarborAppClient::operationWithURLRequestCompletion(
    const Ref<NSURLRequest>& request, HBRHTTPOperation::Completion completion)
{
    auto operation = HBRHTTPOperation::operationWithRequest(request);
    operation->setCompletion(std::move(completion));
    return operation;
}

void HBRHarborAppClient::getPathParametersCompletion(
    const std::optional<std::string>& path, const Value& parameters, HBRHTTPOperation::Completion completion)
{
    enqeueHTTPOperation(operationWithURLRequestCompletion(
        requestWithMethodPathParameters("GET", path, parameters), std::move(completion)));
}

void HBRHarborAppClient::postPathParametersCompletion(
    const std::optional<std::string>& path, const Value& parameters, HBRHTTPOperation::Completion completion)
{
    enqeueHTTPOperation(operationWithURLRequestCompletion(
        requestWithMethodPathParameters("POST", path, parameters), std::move(completion)));
}

void HBRHarborAppClient::enqeueHTTPOperation(const Ref<HBRHTTPOperation>& operation)
{
    operationQueue()->addOperation(operation);
}

uint32_t HBRHarborAppClient::cancelOperationsWithPathMethod(
    const std::optional<std::string>& path, const std::optional<std::string>& method)
{
    uint32_t count = 0;
    std::string pathURL;
    if (path)
        pathURL = requestWithMethodPathParameters("GET", path, Value())->URL()->absoluteString();
    for (const auto& operation : operationQueue()->operations()) {
        auto http = std::dynamic_pointer_cast<HBRHTTPOperation>(operation);
        if (!http)
            continue;
        if (method && http->URLRequest()->HTTPMethod() != *method)
            continue;
        if (path && (!http->URLRequest()->URL() || http->URLRequest()->URL()->absoluteString() != pathURL))
            continue;
        http->cancel();
        ++count;
    }
    return count;
}

std::string HBRHarborAppClient::dataWithPostValueForKeyBoundary(
    const std::string& value, const std::string& key, const std::string& boundary)
{
    return NSString::stringWithFormat("--%@\r\n", boundary)
        + NSString::stringWithFormat("Content-Disposition: form-data; name=\"%@\";\r\n", key)
        + "Content-Type: text\r\n\r\n" + value + "\r\n";
}

std::string HBRHarborAppClient::queryStringFromParametersWithEncoding(const Value& parameters, uint32_t)
{
    std::string query;
    bool first = true;
    for (const auto& [key, value] : parameters.entries()) {
        query += NSString::stringWithFormat(first ? "%@=%@" : "&%@=%@", key.stringValue(), value.stringValue());
        first = false;
    }
    return query;
}
