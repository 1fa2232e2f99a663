#pragma once

#include "foundation/NSObject.h"
#include "sysconfig/SCNetworkReachability.h"

#include <cstdint>
#include <functional>
#include <string>

struct sockaddr_in;

// Posted on the main queue when a monitored target's reachability changes; object nil, user
// info {VNNetworkingReachabilityNotificationStatusItem: status}.
inline constexpr const char* VNNetworkingReachabilityDidChangeNotification = "com.vnnet.networking.reachability.change";
inline constexpr const char* VNNetworkingReachabilityNotificationStatusItem
    = "VNNetworkingReachabilityNotificationStatusItem";

enum VNNetworkReachabilityStatus : int32_t {
    VNNetworkReachabilityStatusUnknown = -1,
    VNNetworkReachabilityStatusNotReachable = 0,
    VNNetworkReachabilityStatusReachableViaWWAN = 1,
    VNNetworkReachabilityStatusReachableViaWiFi = 2,
};

// Watches whether a host, an address or the network in general can be reached, and over which
// kind of interface. Main thread only: the platform calls back on the main run loop, and the
// first status after starting, as well as every notification, arrives on the main queue. The
// status block runs before the notification for the same change. Owns its reachability target.
class VNNetworkReachabilityManager : public NSObject {
    VX_OBJECT(VNNetworkReachabilityManager, NSObject)
public:
    using StatusBlock = std::function<void(int32_t status)>;

    explicit VNNetworkReachabilityManager(Passkey key)
        : NSObject(key)
    {
    }
    ~VNNetworkReachabilityManager() override;

    // The process-wide manager over the IPv4 zero address (the network in general).
    static Ref<VNNetworkReachabilityManager> sharedManager();
    static Ref<VNNetworkReachabilityManager> managerForDomain(const std::string& domain);
    static Ref<VNNetworkReachabilityManager> managerForAddress(const sockaddr_in* address);
    // Takes over the target (which may be nil: the manager then never reports). Status -1,
    // not monitoring.
    static Ref<VNNetworkReachabilityManager> initWithReachability(SCNetworkReachabilityRef reachability);

    // Restarts monitoring: schedules the target on the main run loop and delivers its current
    // status on the main queue (to the property and the block, without a notification). When
    // the current flags cannot be read, that first status is -1.
    void startMonitoring();
    // Unschedules the target; the last status stays.
    void stopMonitoring();

    int32_t networkReachabilityStatus() const { return m_networkReachabilityStatus; }
    void setNetworkReachabilityStatus(int32_t status);
    bool isReachable() const { return m_networkReachabilityStatus == 1 || m_networkReachabilityStatus == 2; }
    bool isReachableViaWWAN() const { return m_networkReachabilityStatus == 1; }
    bool isReachableViaWiFi() const { return m_networkReachabilityStatus == 2; }

    const SCNetworkReachabilityRef& networkReachability() const { return m_networkReachability; }
    void setNetworkReachability(SCNetworkReachabilityRef reachability)
    {
        m_networkReachability = std::move(reachability);
    }

    const StatusBlock& networkReachabilityStatusBlock() const { return m_networkReachabilityStatusBlock; }
    void setReachabilityStatusChangeBlock(StatusBlock block) { m_networkReachabilityStatusBlock = std::move(block); }

    // The text of the current status, looked up in the "VNNetworking" strings table.
    std::string localizedNetworkReachabilityStatusString() const;
    // The same for any status value; values other than 0, 1 and 2 are "Unknown".
    static std::string localizedStringForStatus(int32_t status);
    // The status the platform's flags stand for.
    static int32_t statusForFlags(SCNetworkReachabilityFlags flags);

    // Test-only: the next sharedManager() call makes a new manager.
    static void resetSharedManagerForTesting();

    Value valueForKey(const std::string& key) override;
    std::set<std::string> keyPathsForValuesAffectingValueForKey(const std::string& key) const override;

private:
    int32_t m_networkReachabilityStatus { VNNetworkReachabilityStatusUnknown };
    SCNetworkReachabilityRef m_networkReachability;
    StatusBlock m_networkReachabilityStatusBlock;
};
