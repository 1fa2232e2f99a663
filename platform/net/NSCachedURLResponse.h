#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "net/NetForward.h"

enum NSURLCacheStoragePolicy : uint32_t {
    NSURLCacheStorageAllowed = 0,
    NSURLCacheStorageAllowedInMemoryOnly = 1,
    NSURLCacheStorageNotAllowed = 2,
};

// A response and its body as kept by the URL cache, with when it was stored (process clock).
// Immutable; any thread.
class NSCachedURLResponse : public NSObject {
    VX_OBJECT(NSCachedURLResponse, NSObject)
public:
    NSCachedURLResponse(Passkey key, Ref<NSURLResponse> response, Value data, Value userInfo,
        NSURLCacheStoragePolicy policy, double storedAt);

    static Ref<NSCachedURLResponse> initWithResponseData(const Ref<NSURLResponse>& response, const Value& data);
    static Ref<NSCachedURLResponse> initWithResponseDataUserInfoStoragePolicy(
        const Ref<NSURLResponse>& response, const Value& data, const Value& userInfo, NSURLCacheStoragePolicy policy);

    const Ref<NSURLResponse>& response() const { return m_response; }
    const Value& data() const { return m_data; }
    const Value& userInfo() const { return m_userInfo; }
    NSURLCacheStoragePolicy storagePolicy() const { return m_policy; }
    double storedAt() const { return m_storedAt; }

private:
    Ref<NSURLResponse> m_response;
    Value m_data;
    Value m_userInfo;
    NSURLCacheStoragePolicy m_policy;
    double m_storedAt;
};
