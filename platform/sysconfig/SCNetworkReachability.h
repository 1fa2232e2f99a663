#pragma once

#include "foundation/NSObject.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sockaddr;

enum : uint32_t {
    kSCNetworkReachabilityFlagsTransientConnection = 1u << 0,
    kSCNetworkReachabilityFlagsReachable = 1u << 1,
    kSCNetworkReachabilityFlagsConnectionRequired = 1u << 2,
    kSCNetworkReachabilityFlagsConnectionOnTraffic = 1u << 3,
    kSCNetworkReachabilityFlagsInterventionRequired = 1u << 4,
    kSCNetworkReachabilityFlagsConnectionOnDemand = 1u << 5,
    kSCNetworkReachabilityFlagsIsLocalAddress = 1u << 16,
    kSCNetworkReachabilityFlagsIsDirect = 1u << 17,
    kSCNetworkReachabilityFlagsIsWWAN = 1u << 18,
};
using SCNetworkReachabilityFlags = uint32_t;

class SCNetworkReachability;
using SCNetworkReachabilityRef = Ref<SCNetworkReachability>;

// The context handed to SetCallback: `info` is passed to the callback; retain is called on it
// when the context is stored and release when it is replaced or the target goes away.
struct SCNetworkReachabilityContext {
    int32_t version { 0 };
    void* info { nullptr };
    const void* (*retain)(const void* info) { nullptr };
    void (*release)(const void* info) { nullptr };
    const char* (*copyDescription)(const void* info) { nullptr };
};
using SCNetworkReachabilityCallBack
    = void (*)(const SCNetworkReachabilityRef& target, SCNetworkReachabilityFlags flags, void* info);

// A host name or an address whose reachability is watched. Flags come from the machine (its
// interfaces and default route) or from a source that tests install; a target scheduled on a
// run loop calls its callback there whenever its flags change (the machine is looked at again
// when flagsMayHaveChanged() is called). Any thread; callbacks on the scheduled run loop.
class SCNetworkReachability : public NSObject {
    VX_OBJECT(SCNetworkReachability, NSObject)
public:
    struct Target {
        std::optional<std::string> hostName;
        std::optional<std::string> address; // numeric text, "0.0.0.0" for the zero address
    };
    // A source of flags for tests: nullopt means the flags cannot be known.
    using FlagsSource = std::function<std::optional<SCNetworkReachabilityFlags>(const Target&)>;

    SCNetworkReachability(Passkey key, Target target)
        : NSObject(key)
        , m_target(std::move(target))
    {
    }
    ~SCNetworkReachability() override;

    static Ref<SCNetworkReachability> create(Target target);
    const Target& target() const { return m_target; }
    std::optional<SCNetworkReachabilityFlags> currentFlags() const;

    bool setCallback(SCNetworkReachabilityCallBack callback, const SCNetworkReachabilityContext* context);
    bool schedule(const Ref<NSRunLoop>& runLoop, const std::string& mode);
    bool unschedule(const Ref<NSRunLoop>& runLoop, const std::string& mode);

    // Test seam: installs (or, with nullptr, removes) the flags source for every target, and
    // re-reads the flags of every scheduled target.
    static void setFlagsSourceForTesting(FlagsSource source);
    // Re-reads the flags of every scheduled target; those that changed call back.
    static void flagsMayHaveChanged();

private:
    void check();

    Target m_target;
    mutable std::mutex m_lock;
    SCNetworkReachabilityCallBack m_callback { nullptr };
    SCNetworkReachabilityContext m_context;
    std::vector<std::pair<Weak<NSRunLoop>, std::string>> m_schedules;
    std::optional<SCNetworkReachabilityFlags> m_lastFlags;
};

// The platform's calls. The allocator argument is accepted and ignored. A name that is empty,
// or an address that is not IPv4 or IPv6, gives nullptr.
SCNetworkReachabilityRef SCNetworkReachabilityCreateWithName(const void* allocator, const char* nodename);
SCNetworkReachabilityRef SCNetworkReachabilityCreateWithAddress(const void* allocator, const sockaddr* address);
bool SCNetworkReachabilityGetFlags(const SCNetworkReachabilityRef& target, SCNetworkReachabilityFlags* flags);
bool SCNetworkReachabilitySetCallback(const SCNetworkReachabilityRef& target, SCNetworkReachabilityCallBack callback,
    const SCNetworkReachabilityContext* context);
bool SCNetworkReachabilityScheduleWithRunLoop(
    const SCNetworkReachabilityRef& target, const Ref<NSRunLoop>& runLoop, const std::string& mode);
bool SCNetworkReachabilityUnscheduleFromRunLoop(
    const SCNetworkReachabilityRef& target, const Ref<NSRunLoop>& runLoop, const std::string& mode);
