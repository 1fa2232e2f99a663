#include "foundation/NSRunLoop.h"
#include "sysconfig/SCNetworkReachability.h"
#include "testing/Drain.h"

#include <gtest/gtest.h>

#include <netinet/in.h>

namespace {

struct Recorder {
    std::vector<std::pair<std::string, SCNetworkReachabilityFlags>> calls;
    int retains { 0 };
    int releases { 0 };
};

Recorder* recorder(const void* info)
{
    return static_cast<Recorder*>(const_cast<void*>(info));
}

void callback(const SCNetworkReachabilityRef& target, SCNetworkReachabilityFlags flags, void* info)
{
    const auto& t = target->target();
    recorder(info)->calls.emplace_back(t.hostName.value_or(t.address.value_or("")), flags);
}

class SCNetworkReachabilityTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        SCNetworkReachability::setFlagsSourceForTesting(nullptr);
        drainAll();
    }
};

TEST_F(SCNetworkReachabilityTest, ScheduledTargetsCallBackOnTheirRunLoopWhenFlagsChange)
{
    SCNetworkReachabilityFlags wifi = kSCNetworkReachabilityFlagsReachable;
    SCNetworkReachabilityFlags cellular = kSCNetworkReachabilityFlagsReachable | kSCNetworkReachabilityFlagsIsWWAN;
    SCNetworkReachabilityFlags current = wifi;
    SCNetworkReachability::setFlagsSourceForTesting(
        [&](const SCNetworkReachability::Target& target) -> std::optional<SCNetworkReachabilityFlags> {
            if (target.hostName == "unknown.invalid")
                return std::nullopt;
            return current;
        });

    sockaddr_in zero {};
    zero.sin_family = AF_INET;
    auto general = SCNetworkReachabilityCreateWithAddress(nullptr, reinterpret_cast<const sockaddr*>(&zero));
    auto host = SCNetworkReachabilityCreateWithName(nullptr, "data.example.com");
    ASSERT_TRUE(general && host);
    EXPECT_EQ(general->target().address.value_or(""), "0.0.0.0");
    EXPECT_FALSE(SCNetworkReachabilityCreateWithName(nullptr, ""));

    SCNetworkReachabilityFlags flags = 0;
    EXPECT_TRUE(SCNetworkReachabilityGetFlags(host, &flags));
    EXPECT_EQ(flags, wifi);
    EXPECT_FALSE(
        SCNetworkReachabilityGetFlags(SCNetworkReachabilityCreateWithName(nullptr, "unknown.invalid"), &flags));

    Recorder record;
    SCNetworkReachabilityContext context { 0, &record,
        [](const void* info) -> const void* {
            ++recorder(info)->retains;
            return info;
        },
        [](const void* info) { ++recorder(info)->releases; }, nullptr };
    for (const auto& target : { general, host }) {
        SCNetworkReachabilitySetCallback(target, callback, &context);
        SCNetworkReachabilityScheduleWithRunLoop(target, NSRunLoop::mainRunLoop(), NSRunLoopCommonModes);
        SCNetworkReachabilityScheduleWithRunLoop(target, NSRunLoop::mainRunLoop(), NSRunLoopCommonModes);
    }
    EXPECT_EQ(record.retains, 2);

    struct Step {
        SCNetworkReachabilityFlags flags;
        size_t callsAfter;
    } steps[] = { { wifi, 0 }, { cellular, 2 }, { cellular, 2 }, { 0, 4 } };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.flags);
        current = step.flags;
        SCNetworkReachability::flagsMayHaveChanged();
        drainAll();
        ASSERT_EQ(record.calls.size(), step.callsAfter);
        if (step.callsAfter) {
            EXPECT_EQ(record.calls.back().second, step.flags);
        }
    }
    EXPECT_EQ(record.calls[0].first, "0.0.0.0");
    EXPECT_EQ(record.calls[1].first, "data.example.com");

    // Unscheduled targets stay quiet; releasing the targets releases their contexts.
    SCNetworkReachabilityUnscheduleFromRunLoop(host, NSRunLoop::mainRunLoop(), NSRunLoopCommonModes);
    current = wifi;
    SCNetworkReachability::flagsMayHaveChanged();
    drainAll();
    EXPECT_EQ(record.calls.size(), 5u);
    EXPECT_EQ(record.calls.back().first, "0.0.0.0");
    general.reset();
    host.reset();
    EXPECT_EQ(record.releases, 2);
}

TEST_F(SCNetworkReachabilityTest, TheMachineAlwaysReachesLoopback)
{
    auto loopback = SCNetworkReachabilityCreateWithName(nullptr, "localhost");
    SCNetworkReachabilityFlags flags = 0;
    ASSERT_TRUE(SCNetworkReachabilityGetFlags(loopback, &flags));
    EXPECT_TRUE(flags & kSCNetworkReachabilityFlagsReachable);
    EXPECT_TRUE(flags & kSCNetworkReachabilityFlagsIsLocalAddress);
}

} // namespace
