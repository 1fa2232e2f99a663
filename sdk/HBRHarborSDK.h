#pragma once

#include "foundation/NSLog.h"
#include "foundation/NSString.h"

#include <string>
#include <string_view>

// The kit's fixed names and its debug log.
inline constexpr const char* kHBRSDKName = "HarborSDK";
inline constexpr const char* kHBRSDKVersion = "3.5.2";
inline constexpr const char* kHBRSDKBuild = "25";
// The service's SDK interface when the application sets no server URL. Ends in "/".
inline constexpr const char* kHBRDefaultServerURL = "https://sdk.harborapp.net/";
inline constexpr const char* kHBRResourcesBundleName = "HarborSDKResources.bundle";
inline constexpr const char* kHBRNetworkDidBecomeReachableNotification = "HBRHarborNetworkDidBecomeReachable";
// The boundary of every multipart body the kit sends.
inline constexpr const char* kHBRMultipartBoundary = "----FOO";

// True when the shared manager's debug log is on and the process is not a store build.
bool HBRDebugLogEnabled();

// One debug line "[HarborSDK] <function>/<line> <text>", printed only when HBRDebugLogEnabled().
template <typename... Args>
void HBRDebugLogLine(std::string_view function, int line, std::string_view format, const Args&... args)
{
    if (!HBRDebugLogEnabled())
        return;
    NSLogv(NSString::stringWithFormat("[HarborSDK] %@/%d ", std::string(function), line)
        + NSString::stringWithFormat(format, args...));
}

// The operation name of a debug line, written as "-[Class operation]".
std::string HBRMethodName(const char* className, const char* function);

// Inside a member of a kit class: HBRLog("INFO: Starting %@", name).
#define HBRLog(...) HBRDebugLogLine(HBRMethodName(HBRLogClassName, __func__), __LINE__, __VA_ARGS__)

#include "foundation/Ref.h"

// A delegate that is an interface of some object: the interface pointer plus a weak reference
// to its object, so a delegate that went away reads as none.
template <typename T> class HBRDelegateRef {
public:
    HBRDelegateRef() = default;
    HBRDelegateRef(T* delegate, Weak<NSObject> owner)
        : m_delegate(delegate)
        , m_owner(std::move(owner))
    {
    }
    T* get() const { return m_owner.expired() ? nullptr : m_delegate; }
    const Weak<NSObject>& owner() const { return m_owner; }

private:
    T* m_delegate { nullptr };
    Weak<NSObject> m_owner;
};
