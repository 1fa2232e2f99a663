#include "networking/VNHTTPRequestOperationManager.h"

#include "foundation/NSCoder.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSString.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "networking/VNBaseURL.h"
#include "networking/VNJSONResponseSerializer.h"
#include "networking/VNNetworkReachabilityManager.h"
#include "networking/VNSecurityPolicy.h"

VX_REGISTER_CODING_CLASS(VNHTTPRequestOperationManager);

Ref<VNHTTPRequestOperationManager> VNHTTPRequestOperationManager::initWithBaseURL(const Ref<NSURL>& url)
{
    auto manager = make<VNHTTPRequestOperationManager>();
    Ref<NSURL> base = VNBaseURL::normalized(url);
    manager->m_baseURL = base;
    manager->m_requestSerializer = VNHTTPRequestSerializer::serializer();
    manager->m_responseSerializer = VNJSONResponseSerializer::serializer();
    manager->m_securityPolicy = VNSecurityPolicy::defaultPolicy();
    if (base && base->hasHost())
        manager->m_reachabilityManager = VNNetworkReachabilityManager::managerForDomain(base->host());
    else
        manager->m_reachabilityManager = VNNetworkReachabilityManager::sharedManager();
    manager->m_reachabilityManager->startMonitoring();
    manager->m_operationQueue = NSOperationQueue::init();
    return manager;
}

Ref<VNHTTPRequestOperation> VNHTTPRequestOperationManager::HTTPRequestOperationWithRequestSuccessFailure(
    const Ref<NSURLRequest>& request, SuccessBlock success, FailureBlock failure)
{
    auto operation = VNHTTPRequestOperation::initWithRequest(request);
    operation->setResponseSerializer(m_responseSerializer);
    operation->setShouldUseCredentialStorage(m_shouldUseCredentialStorage);
    operation->setCredential(m_credential);
    operation->setSecurityPolicy(m_securityPolicy);
    operation->setCompletionBlockWithSuccessFailure(std::move(success), std::move(failure));
    return operation;
}

std::string VNHTTPRequestOperationManager::absoluteURLString(const std::string& URLString) const
{
    return VNBaseURL::resolve(URLString, m_baseURL);
}

Ref<VNHTTPRequestOperation> VNHTTPRequestOperationManager::enqueueRequest(
    const Ref<NSURLRequest>& request, SuccessBlock success, FailureBlock failure)
{
    auto operation = HTTPRequestOperationWithRequestSuccessFailure(request, std::move(success), std::move(failure));
    m_operationQueue->addOperation(operation);
    return operation;
}

Ref<VNHTTPRequestOperation> VNHTTPRequestOperationManager::enqueue(const std::string& method,
    const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure)
{
    auto request
        = m_requestSerializer->requestWithMethodURLStringParameters(method, absoluteURLString(URLString), parameters);
    return enqueueRequest(request, std::move(success), std::move(failure));
}

Ref<VNHTTPRequestOperation> VNHTTPRequestOperationManager::GETParametersSuccessFailure(
    const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure)
{
    return enqueue("GET", URLString, parameters, std::move(success), std::move(failure));
}

Ref<VNHTTPRequestOperation> VNHTTPRequestOperationManager::HEADParametersSuccessFailure(
    const std::string& URLString, const Value& parameters, HEADSuccessBlock success, FailureBlock failure)
{
    SuccessBlock wrapper = [success = std::move(success)](const Ref<VNHTTPRequestOperation>& operation, const Value&) {
        if (success)
            success(operation);
    };
    return enqueue("HEAD", URLString, parameters, std::move(wrapper), std::move(failure));
}

Ref<VNHTTPRequestOperation> VNHTTPRequestOperationManager::POSTParametersSuccessFailure(
    const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure)
{
    return enqueue("POST", URLString, parameters, std::move(success), std::move(failure));
}

Ref<VNHTTPRequestOperation> VNHTTPRequestOperationManager::POSTParametersConstructingBodyWithBlockSuccessFailure(
    const std::string& URLString, const Value& parameters, const VNHTTPRequestSerializer::ConstructingBodyBlock& block,
    SuccessBlock success, FailureBlock failure)
{
    auto request = m_requestSerializer->multipartFormRequestWithMethodURLStringParametersConstructingBodyWithBlock(
        "POST", absoluteURLString(URLString), parameters, block);
    return enqueueRequest(request, std::move(success), std::move(failure));
}

Ref<VNHTTPRequestOperation> VNHTTPRequestOperationManager::PUTParametersSuccessFailure(
    const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure)
{
    return enqueue("PUT", URLString, parameters, std::move(success), std::move(failure));
}

Ref<VNHTTPRequestOperation> VNHTTPRequestOperationManager::PATCHParametersSuccessFailure(
    const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure)
{
    return enqueue("PATCH", URLString, parameters, std::move(success), std::move(failure));
}

Ref<VNHTTPRequestOperation> VNHTTPRequestOperationManager::DELETEParametersSuccessFailure(
    const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure)
{
    return enqueue("DELETE", URLString, parameters, std::move(success), std::move(failure));
}

Ref<VNHTTPRequestOperationManager> VNHTTPRequestOperationManager::copy() const
{
    auto manager = initWithBaseURL(m_baseURL);
    manager->m_requestSerializer = m_requestSerializer ? m_requestSerializer->copy() : nullptr;
    manager->m_responseSerializer = m_responseSerializer ? m_responseSerializer->copy() : nullptr;
    return manager;
}

void VNHTTPRequestOperationManager::encodeWithCoder(NSCoder& coder)
{
    coder.encodeObjectForKey(Value::object(m_baseURL), "baseURL");
    coder.encodeObjectForKey(Value::object(m_requestSerializer), "requestSerializer");
    coder.encodeObjectForKey(Value::object(m_responseSerializer), "responseSerializer");
}

Ref<VNHTTPRequestOperationManager> VNHTTPRequestOperationManager::initWithCoder(NSCoder& coder)
{
    auto manager = initWithBaseURL(coder.decodeObjectForKey("baseURL").objectAs<NSURL>());
    manager->m_requestSerializer = coder.decodeObjectForKey("requestSerializer").objectAs<VNHTTPRequestSerializer>();
    manager->m_responseSerializer = coder.decodeObjectForKey("responseSerializer").objectAs<VNHTTPResponseSerializer>();
    return manager;
}

std::string VNHTTPRequestOperationManager::description() const
{
    return NSString::stringWithFormat("<%@: %p, baseURL: %@, operationQueue: %@>", className(),
        static_cast<const void*>(this), m_baseURL ? Value(m_baseURL->absoluteString()) : Value(), m_operationQueue);
}
