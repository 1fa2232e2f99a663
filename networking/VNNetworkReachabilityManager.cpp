#include "networking/VNNetworkReachabilityManager.h"

#include "foundation/Dispatch.h"
#include "foundation/Locked.h"
#include "foundation/NSBundle.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSRunLoop.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>

VX_REGISTER_CLASS(VNNetworkReachabilityManager);

namespace {

// The block registered with the platform: it holds the manager weakly and sets its status.
using StatusCallback = std::function<void(int32_t)>;

const void* retainStatusCallback(const void* info)
{
    return new StatusCallback(*static_cast<const StatusCallback*>(info));
}

void releaseStatusCallback(const void* info)
{
    delete static_cast<const StatusCallback*>(info);
}

void reachabilityChanged(const SCNetworkReachabilityRef&, SCNetworkReachabilityFlags flags, void* info)
{
    int32_t status = VNNetworkReachabilityManager::statusForFlags(flags);
    if (info)
        (*static_cast<StatusCallback*>(info))(status);
    dispatch_async(dispatch_get_main_queue(), [status] {
        NSNotificationCenter::defaultCenter()->postNotificationName(VNNetworkingReachabilityDidChangeNotification,
            nullptr, Value::dictionary({ { Value(VNNetworkingReachabilityNotificationStatusItem), Value(status) } }));
    });
}

// Made on first use and kept for the life of the process (a test reset replaces it).
Locked<Ref<VNNetworkReachabilityManager>> s_sharedManager;

} // namespace

VNNetworkReachabilityManager::~VNNetworkReachabilityManager()
{
    stopMonitoring();
    m_networkReachability = nullptr;
}

Ref<VNNetworkReachabilityManager> VNNetworkReachabilityManager::sharedManager()
{
    return s_sharedManager.with([](Ref<VNNetworkReachabilityManager>& shared) {
        if (!shared) {
            // The IPv4 zero address stands for the network in general.
            sockaddr_in address;
            std::memset(&address, 0, sizeof(address));
            address.sin_family = AF_INET;
            address.sin_port = 0;
            address.sin_addr.s_addr = htonl(INADDR_ANY);
            shared = managerForAddress(&address);
        }
        return shared;
    });
}

void VNNetworkReachabilityManager::resetSharedManagerForTesting()
{
    s_sharedManager.set(nullptr);
}

Ref<VNNetworkReachabilityManager> VNNetworkReachabilityManager::managerForDomain(const std::string& domain)
{
    return initWithReachability(SCNetworkReachabilityCreateWithName(nullptr, domain.c_str()));
}

Ref<VNNetworkReachabilityManager> VNNetworkReachabilityManager::managerForAddress(const sockaddr_in* address)
{
    return initWithReachability(
        SCNetworkReachabilityCreateWithAddress(nullptr, reinterpret_cast<const sockaddr*>(address)));
}

Ref<VNNetworkReachabilityManager> VNNetworkReachabilityManager::initWithReachability(
    SCNetworkReachabilityRef reachability)
{
    auto manager = make<VNNetworkReachabilityManager>();
    manager->m_networkReachability = std::move(reachability);
    manager->m_networkReachabilityStatus = VNNetworkReachabilityStatusUnknown;
    return manager;
}

int32_t VNNetworkReachabilityManager::statusForFlags(SCNetworkReachabilityFlags flags)
{
    bool reachable = flags & kSCNetworkReachabilityFlagsReachable;
    bool connectionRequired = flags & kSCNetworkReachabilityFlagsConnectionRequired;
    bool connectsAutomatically
        = flags & (kSCNetworkReachabilityFlagsConnectionOnTraffic | kSCNetworkReachabilityFlagsConnectionOnDemand);
    bool needsUser = flags & kSCNetworkReachabilityFlagsInterventionRequired;
    bool networkReachable = reachable && (!connectionRequired || (connectsAutomatically && !needsUser));
    if (!networkReachable)
        return VNNetworkReachabilityStatusNotReachable;
    if (flags & kSCNetworkReachabilityFlagsIsWWAN)
        return VNNetworkReachabilityStatusReachableViaWWAN;
    return VNNetworkReachabilityStatusReachableViaWiFi;
}

void VNNetworkReachabilityManager::startMonitoring()
{
    stopMonitoring();
    if (!m_networkReachability)
        return;

    StatusCallback callback
        = [weak = Weak<VNNetworkReachabilityManager>(self<VNNetworkReachabilityManager>())](int32_t status) {
              auto self = weak.lock();
              if (!self)
                  return;
              self->setNetworkReachabilityStatus(status);
              if (auto block = self->m_networkReachabilityStatusBlock)
                  block(status);
          };
    // The context copies the callback; the target keeps that copy until it is replaced or the
    // target goes away.
    SCNetworkReachabilityContext context;
    context.version = 0;
    context.info = &callback;
    context.retain = retainStatusCallback;
    context.release = releaseStatusCallback;
    context.copyDescription = nullptr;
    SCNetworkReachabilitySetCallback(m_networkReachability, reachabilityChanged, &context);

    // The current status, without a notification. Flags that cannot be read leave it unknown.
    SCNetworkReachabilityFlags flags = 0;
    bool known = SCNetworkReachabilityGetFlags(m_networkReachability, &flags);
    dispatch_async(dispatch_get_main_queue(), [callback, known, flags] {
        callback(known ? statusForFlags(flags) : int32_t(VNNetworkReachabilityStatusUnknown));
    });

    SCNetworkReachabilityScheduleWithRunLoop(m_networkReachability, NSRunLoop::mainRunLoop(), NSRunLoopCommonModes);
}

void VNNetworkReachabilityManager::stopMonitoring()
{
    if (!m_networkReachability)
        return;
    SCNetworkReachabilityUnscheduleFromRunLoop(m_networkReachability, NSRunLoop::mainRunLoop(), NSRunLoopCommonModes);
}

void VNNetworkReachabilityManager::setNetworkReachabilityStatus(int32_t status)
{
    setValueNotifying("networkReachabilityStatus", m_networkReachabilityStatus, status);
}

std::string VNNetworkReachabilityManager::localizedStringForStatus(int32_t status)
{
    const char* text = "Unknown";
    switch (status) {
    case VNNetworkReachabilityStatusNotReachable:
        text = "Not Reachable";
        break;
    case VNNetworkReachabilityStatusReachableViaWWAN:
        text = "Reachable via WWAN";
        break;
    case VNNetworkReachabilityStatusReachableViaWiFi:
        text = "Reachable via WiFi";
        break;
    default:
        break;
    }
    auto bundle = NSBundle::mainBundle();
    return bundle ? bundle->localizedStringForKey(text, "", "VNNetworking") : std::string(text);
}

std::string VNNetworkReachabilityManager::localizedNetworkReachabilityStatusString() const
{
    return localizedStringForStatus(m_networkReachabilityStatus);
}

Value VNNetworkReachabilityManager::valueForKey(const std::string& key)
{
    if (key == "networkReachabilityStatus")
        return m_networkReachabilityStatus;
    if (key == "reachable")
        return isReachable();
    if (key == "reachableViaWWAN")
        return isReachableViaWWAN();
    if (key == "reachableViaWiFi")
        return isReachableViaWiFi();
    return NSObject::valueForKey(key);
}

std::set<std::string> VNNetworkReachabilityManager::keyPathsForValuesAffectingValueForKey(const std::string& key) const
{
    if (key == "reachable" || key == "reachableViaWWAN" || key == "reachableViaWiFi")
        return { "networkReachabilityStatus" };
    return NSObject::keyPathsForValuesAffectingValueForKey(key);
}
