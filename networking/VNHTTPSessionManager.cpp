#include "networking/VNHTTPSessionManager.h"

#include "foundation/NSCoder.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSString.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSURL.h"
#include "net/NSURLSessionConfiguration.h"
#include "networking/VNBaseURL.h"
#include "networking/VNJSONResponseSerializer.h"
#include "networking/VNNetworkReachabilityManager.h"

VX_REGISTER_CODING_CLASS(VNHTTPSessionManager);

Ref<VNHTTPSessionManager> VNHTTPSessionManager::initWithBaseURLSessionConfiguration(
    const Ref<NSURL>& url, const Ref<NSURLSessionConfiguration>& configuration)
{
    auto manager = make<VNHTTPSessionManager>();
    manager->initializeWithSessionConfiguration(configuration);
    Ref<NSURL> base = VNBaseURL::normalized(url);
    manager->m_baseURL = base;
    manager->m_requestSerializer = VNHTTPRequestSerializer::serializer();
    manager->VNURLSessionManager::setResponseSerializer(VNJSONResponseSerializer::serializer());
    if (base && base->hasHost())
        manager->setReachabilityManager(VNNetworkReachabilityManager::managerForDomain(base->host()));
    return manager;
}

void VNHTTPSessionManager::setResponseSerializer(Ref<VNHTTPResponseSerializer> serializer)
{
    VNURLSessionManager::setResponseSerializer(std::move(serializer));
}

std::string VNHTTPSessionManager::absoluteURLString(const std::string& URLString) const
{
    return VNBaseURL::resolve(URLString, m_baseURL);
}

Ref<NSURLSessionDataTask> VNHTTPSessionManager::runRequest(
    const Ref<NSURLRequest>& request, SuccessBlock success, FailureBlock failure)
{
    // The completion handler needs the task it belongs to, which exists only once the
    // handler has been handed over: it reads it from a slot filled right after. The slot holds
    // the task until the handler has run (the task delegate, and with it the handler, is
    // dropped when the task completes).
    auto slot = std::make_shared<Ref<NSURLSessionDataTask>>();
    auto task = dataTaskWithRequestCompletionHandler(request,
        [slot, success = std::move(success), failure = std::move(failure)](
            const Ref<NSURLResponse>&, const Value& responseObject, const Ref<NSError>& error) {
            auto task = std::exchange(*slot, nullptr);
            if (error) {
                if (failure)
                    failure(task, error);
            } else if (success) {
                success(task, responseObject);
            }
        });
    if (!task)
        return nullptr; // an invalidated session makes no task: nothing runs
    *slot = task;
    task->resume();
    return task;
}

Ref<NSURLSessionDataTask> VNHTTPSessionManager::run(const std::string& method, const std::string& URLString,
    const Value& parameters, SuccessBlock success, FailureBlock failure)
{
    auto request
        = m_requestSerializer->requestWithMethodURLStringParameters(method, absoluteURLString(URLString), parameters);
    return runRequest(request, std::move(success), std::move(failure));
}

Ref<NSURLSessionDataTask> VNHTTPSessionManager::GETParametersSuccessFailure(
    const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure)
{
    return run("GET", URLString, parameters, std::move(success), std::move(failure));
}

Ref<NSURLSessionDataTask> VNHTTPSessionManager::HEADParametersSuccessFailure(
    const std::string& URLString, const Value& parameters, HEADSuccessBlock success, FailureBlock failure)
{
    SuccessBlock wrapper = [success = std::move(success)](const Ref<NSURLSessionDataTask>& task, const Value&) {
        if (success)
            success(task);
    };
    return run("HEAD", URLString, parameters, std::move(wrapper), std::move(failure));
}

Ref<NSURLSessionDataTask> VNHTTPSessionManager::POSTParametersSuccessFailure(
    const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure)
{
    return run("POST", URLString, parameters, std::move(success), std::move(failure));
}

Ref<NSURLSessionDataTask> VNHTTPSessionManager::POSTParametersConstructingBodyWithBlockSuccessFailure(
    const std::string& URLString, const Value& parameters, const VNHTTPRequestSerializer::ConstructingBodyBlock& block,
    SuccessBlock success, FailureBlock failure)
{
    auto request = m_requestSerializer->multipartFormRequestWithMethodURLStringParametersConstructingBodyWithBlock(
        "POST", absoluteURLString(URLString), parameters, block);
    return runRequest(request, std::move(success), std::move(failure));
}

Ref<NSURLSessionDataTask> VNHTTPSessionManager::PUTParametersSuccessFailure(
    const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure)
{
    return run("PUT", URLString, parameters, std::move(success), std::move(failure));
}

Ref<NSURLSessionDataTask> VNHTTPSessionManager::PATCHParametersSuccessFailure(
    const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure)
{
    return run("PATCH", URLString, parameters, std::move(success), std::move(failure));
}

Ref<NSURLSessionDataTask> VNHTTPSessionManager::DELETEParametersSuccessFailure(
    const std::string& URLString, const Value& parameters, SuccessBlock success, FailureBlock failure)
{
    return run("DELETE", URLString, parameters, std::move(success), std::move(failure));
}

Ref<VNURLSessionManager> VNHTTPSessionManager::copy() const
{
    auto manager = initWithBaseURLSessionConfiguration(m_baseURL, session()->configuration());
    manager->m_requestSerializer = m_requestSerializer ? m_requestSerializer->copy() : nullptr;
    auto serializer = responseSerializer();
    manager->setResponseSerializer(serializer ? serializer->copy() : nullptr);
    return manager;
}

void VNHTTPSessionManager::encodeWithCoder(NSCoder& coder)
{
    VNURLSessionManager::encodeWithCoder(coder);
    coder.encodeObjectForKey(Value::object(m_baseURL), "baseURL");
    coder.encodeObjectForKey(Value::object(session()->configuration()), "sessionConfiguration");
    coder.encodeObjectForKey(Value::object(m_requestSerializer), "requestSerializer");
    coder.encodeObjectForKey(Value::object(responseSerializer()), "responseSerializer");
}

Ref<VNHTTPSessionManager> VNHTTPSessionManager::initWithCoder(NSCoder& coder)
{
    auto manager = initWithBaseURLSessionConfiguration(coder.decodeObjectForKey("baseURL").objectAs<NSURL>(),
        coder.decodeObjectForKey("sessionConfiguration").objectAs<NSURLSessionConfiguration>());
    manager->m_requestSerializer = coder.decodeObjectForKey("requestSerializer").objectAs<VNHTTPRequestSerializer>();
    manager->setResponseSerializer(coder.decodeObjectForKey("responseSerializer").objectAs<VNHTTPResponseSerializer>());
    return manager;
}

std::string VNHTTPSessionManager::description() const
{
    return NSString::stringWithFormat("<%@: %p, baseURL: %@, session: %@, operationQueue: %@>", className(),
        static_cast<const void*>(this), m_baseURL ? Value(m_baseURL->absoluteString()) : Value(), session(),
        operationQueue());
}
