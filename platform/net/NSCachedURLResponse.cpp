#include "net/NSCachedURLResponse.h"

#include "foundation/Clock.h"

VX_REGISTER_CLASS(NSCachedURLResponse);

NSCachedURLResponse::NSCachedURLResponse(Passkey key, Ref<NSURLResponse> response, Value data, Value userInfo,
    NSURLCacheStoragePolicy policy, double storedAt)
    : NSObject(key)
    , m_response(std::move(response))
    , m_data(std::move(data))
    , m_userInfo(std::move(userInfo))
    , m_policy(policy)
    , m_storedAt(storedAt)
{
}

Ref<NSCachedURLResponse> NSCachedURLResponse::initWithResponseData(
    const Ref<NSURLResponse>& response, const Value& data)
{
    return initWithResponseDataUserInfoStoragePolicy(response, data, Value(), NSURLCacheStorageAllowed);
}

Ref<NSCachedURLResponse> NSCachedURLResponse::initWithResponseDataUserInfoStoragePolicy(
    const Ref<NSURLResponse>& response, const Value& data, const Value& userInfo, NSURLCacheStoragePolicy policy)
{
    if (!response)
        return nullptr;
    return make<NSCachedURLResponse>(
        response, data.isData() ? data : Value::data({}), userInfo, policy, Clock::wallTime());
}
