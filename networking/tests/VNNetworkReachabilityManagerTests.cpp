#include "networking/VNNetworkReachabilityManager.h"

#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "networking/tests/StubbedNetworkTestSupport.h"
#include "sysconfig/SCNetworkReachability.h"
#include "testing/Drain.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class CountingObserver : public NSObject {
    VX_OBJECT(CountingObserver, NSObject)
public:
    explicit CountingObserver(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<CountingObserver> create() { return make<CountingObserver>(); }
    void observeValueForKeyPath(const std::string& keyPath, const Ref<NSObject>&, const Value&, void*) override
    {
        ++counts[keyPath];
    }
    std::map<std::string, int> counts;
};

// Starts with every host reachable; tests feed other flags to the reachability targets.
class VNNetworkReachabilityManagerTest : public ReachableNetworkTest {
protected:
    void setFlags(std::optional<SCNetworkReachabilityFlags> flags)
    {
        SCNetworkReachability::setFlagsSourceForTesting(
            [flags](const SCNetworkReachability::Target&) { return flags; });
    }
};

TEST(VNNetworkReachabilityManagerStatus, MapsFlagsToStatusAndText)
{
    const uint32_t R = kSCNetworkReachabilityFlagsReachable, C = kSCNetworkReachabilityFlagsConnectionRequired,
                   T = kSCNetworkReachabilityFlagsConnectionOnTraffic,
                   I = kSCNetworkReachabilityFlagsInterventionRequired,
                   D = kSCNetworkReachabilityFlagsConnectionOnDemand, W = kSCNetworkReachabilityFlagsIsWWAN;
    struct Case {
        const char* name;
        uint32_t flags;
        int32_t status;
        const char* text;
    } cases[] = {
        { "nothing", 0, 0, "Not Reachable" },
        { "reachable", R, 2, "Reachable via WiFi" },
        { "reachable over cellular", R | W, 1, "Reachable via WWAN" },
        { "connection required", R | C, 0, "Not Reachable" },
        { "on demand needing the user", R | C | D | I, 0, "Not Reachable" },
        { "on traffic", R | C | T, 2, "Reachable via WiFi" },
        { "on traffic over cellular", R | C | T | W, 1, "Reachable via WWAN" },
        { "on demand", R | C | D, 2, "Reachable via WiFi" },
        { "everything but reachable", C | T | I | D | W, 0, "Not Reachable" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(VNNetworkReachabilityManager::statusForFlags(c.flags), c.status);
        EXPECT_EQ(VNNetworkReachabilityManager::localizedStringForStatus(c.status), c.text);
    }
    EXPECT_EQ(VNNetworkReachabilityManager::localizedStringForStatus(-1), "Unknown");
    EXPECT_EQ(VNNetworkReachabilityManager::localizedStringForStatus(7), "Unknown");

    auto manager = VNNetworkReachabilityManager::managerForDomain("example.test");
    EXPECT_EQ(manager->networkReachabilityStatus(), -1);
    EXPECT_FALSE(manager->isReachable());
    EXPECT_EQ(manager->localizedNetworkReachabilityStatusString(), "Unknown");
}

TEST_F(VNNetworkReachabilityManagerTest, DeliversFirstStatusQuietlyAndChangesWithNotification)
{
    auto manager = VNNetworkReachabilityManager::managerForDomain("example.test");
    ASSERT_TRUE(manager->networkReachability());
    std::vector<int32_t> blockStatuses;
    std::vector<Value> notified;
    manager->setReachabilityStatusChangeBlock([&](int32_t status) { blockStatuses.push_back(status); });
    auto token = NSNotificationCenter::defaultCenter()->addObserverForName(
        std::string("com.vnnet.networking.reachability.change"), nullptr, nullptr,
        [&](const Ref<NSNotification>& note) {
            // The block has already seen the status the notification carries.
            EXPECT_FALSE(blockStatuses.empty());
            notified.push_back(note->userInfo()["VNNetworkingReachabilityNotificationStatusItem"]);
        });
    auto observer = CountingObserver::create();
    manager->addObserver(observer, "reachable", 0, nullptr);
    manager->addObserver(observer, "reachableViaWWAN", 0, nullptr);

    manager->startMonitoring();
    drainAll();
    EXPECT_EQ(manager->networkReachabilityStatus(), 2);
    EXPECT_TRUE(manager->isReachableViaWiFi());
    EXPECT_EQ(blockStatuses, std::vector<int32_t>({ 2 }));
    EXPECT_TRUE(notified.empty());
    EXPECT_EQ(observer->counts["reachable"], 1);
    EXPECT_EQ(observer->counts["reachableViaWWAN"], 1);

    setFlags(kSCNetworkReachabilityFlagsReachable | kSCNetworkReachabilityFlagsIsWWAN);
    drainAll();
    EXPECT_EQ(manager->networkReachabilityStatus(), 1);
    EXPECT_TRUE(manager->isReachableViaWWAN());
    EXPECT_EQ(blockStatuses, std::vector<int32_t>({ 2, 1 }));
    ASSERT_EQ(notified.size(), 1u);
    EXPECT_EQ(notified[0].intValue(), 1);

    // Starting again keeps one schedule: one change calls back once, after a fresh first status.
    manager->startMonitoring();
    manager->startMonitoring();
    drainAll();
    EXPECT_EQ(blockStatuses, std::vector<int32_t>({ 2, 1, 1, 1 }));
    setFlags(0);
    drainAll();
    EXPECT_EQ(blockStatuses, std::vector<int32_t>({ 2, 1, 1, 1, 0 }));
    ASSERT_EQ(notified.size(), 2u);
    EXPECT_EQ(notified[1].intValue(), 0);

    // Stopped: no further callbacks, and the last status stays.
    manager->stopMonitoring();
    setFlags(kSCNetworkReachabilityFlagsReachable);
    drainAll();
    EXPECT_EQ(manager->networkReachabilityStatus(), 0);
    EXPECT_EQ(blockStatuses.size(), 5u);
    EXPECT_EQ(notified.size(), 2u);

    manager->removeObserver(observer, "reachable");
    manager->removeObserver(observer, "reachableViaWWAN");
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}

TEST_F(VNNetworkReachabilityManagerTest, UnknownFlagsMissingTargetsAndGoneManagers)
{
    // Flags that cannot be read give an unknown first status.
    setFlags(std::nullopt);
    auto manager = VNNetworkReachabilityManager::managerForDomain("example.test");
    std::vector<int32_t> statuses;
    manager->setReachabilityStatusChangeBlock([&](int32_t status) { statuses.push_back(status); });
    manager->startMonitoring();
    drainAll();
    EXPECT_EQ(statuses, std::vector<int32_t>({ -1 }));

    // No target: starting does nothing, the status stays unknown.
    auto empty = VNNetworkReachabilityManager::managerForDomain("");
    EXPECT_FALSE(empty->networkReachability());
    empty->startMonitoring();
    empty->stopMonitoring();
    drainAll();
    EXPECT_EQ(empty->networkReachabilityStatus(), -1);

    // A manager released before its first status arrives is simply not told.
    auto gone = VNNetworkReachabilityManager::managerForDomain("example.test");
    gone->startMonitoring();
    gone = nullptr;
    drainAll();

    auto shared = VNNetworkReachabilityManager::sharedManager();
    ASSERT_TRUE(shared);
    EXPECT_EQ(shared, VNNetworkReachabilityManager::sharedManager());
    ASSERT_TRUE(shared->networkReachability());
    EXPECT_EQ(shared->networkReachability()->target().address, std::optional<std::string>("0.0.0.0"));
}

} // namespace
