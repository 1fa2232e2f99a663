#include "app/core/analytics/Tally.h"

#include "app/core/analytics/ConnectionQueue.h"
#include "app/tests/core/AnalyticsTestSupport.h"
#include "foundation/NSNotificationCenter.h"
#include "uikit/UIApplication.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

void post(const char* name)
{
    NSNotificationCenter::defaultCenter()->postNotificationName(name, nullptr);
    drainAll();
}

TEST(Tally, SessionLengthsFollowTheForegroundInWholeSeconds)
{
    AnalyticsTestScope scope;
    auto collector = scope.stubCollector();
    KESTAnalyticsManager::sharedInstance()->startAnalytics();
    drainAll();
    scope.clock().advance(60);
    drainAll();
    scope.clock().advance(60);
    drainAll();
    scope.clock().advance(5.7);
    post(UIApplicationDidEnterBackgroundNotification);
    EXPECT_NEAR(Tally::sharedInstance()->unsentSessionLength(), 0.7, 1e-6);
    // Ticks while in the background send nothing, and that time is not counted.
    scope.clock().advance(600);
    drainAll();
    // Back at 725.7 s: the timer keeps its beat, so the next tick (780 s) reports 54.3 s and the
    // 0.7 s kept from before.
    post(UIApplicationWillEnterForegroundNotification);
    scope.clock().advance(60);
    drainAll();
    EXPECT_THAT(describeCollectorRequests(collector->requests()),
        ElementsAre("begin", "update 60", "update 60", "end 5", "begin", "update 55"));

    auto first = collectorQuery(collector->requests().front());
    EXPECT_EQ(first["app_key"], KESTAnalyticsManager::kApplicationKey);
    EXPECT_EQ(first["device_id"].size(), 40u);
    EXPECT_EQ(first["sdk_version"], "1.0");
    EXPECT_THAT(first["metrics"], HasSubstr("\"_os\":\"iOS\""));
    EXPECT_EQ(first["timestamp"], std::to_string(long(VirtualClock::defaultWallEpoch)));
}

TEST(Tally, EventsGoInBatchesOfTenDistinctAndBeforeTheSessionEnds)
{
    AnalyticsTestScope scope;
    auto collector = scope.stubCollector();
    auto analytics = KESTAnalyticsManager::sharedInstance();
    // Recorded before the start: they wait for the first batch.
    analytics->logEventWithNameWithCount("Early", 1);
    analytics->startAnalytics();
    drainAll();
    for (int i = 1; i <= 8; ++i)
        analytics->logEventWithNameWithCount("Screen" + std::to_string(i), 1);
    analytics->logEventWithNameWithCount("Screen1", 1); // merges: still nine distinct
    drainAll();
    EXPECT_EQ(collector->requestCount(), 1u);
    analytics->logEventWithNameWithCount("Tenth", 1);
    drainAll();
    ASSERT_EQ(collector->requestCount(), 2u);
    std::string batch = collectorQuery(collector->requests()[1])["events"];
    EXPECT_THAT(batch, HasSubstr("{\"key\":\"Early\",\"count\":1,"));
    EXPECT_THAT(batch, HasSubstr("{\"key\":\"Screen1\",\"count\":2,"));
    EXPECT_THAT(batch, HasSubstr("\"Tenth\""));

    analytics->logEventWithNameWithCount("AR", 1);
    scope.clock().advance(3);
    post(UIApplicationDidEnterBackgroundNotification);
    auto described = describeCollectorRequests(collector->requests());
    ASSERT_EQ(described.size(), 4u);
    EXPECT_THAT(described[2], HasSubstr("events [{\"key\":\"AR\""));
    EXPECT_EQ(described[3], "end 3");
}

TEST(Tally, UnstartedClientSendsNothing)
{
    AnalyticsTestScope scope;
    auto collector = scope.stubCollector();
    KESTAnalyticsManager::sharedInstance()->logEventWithNameWithCount("Screen", 1);
    post(UIApplicationDidEnterBackgroundNotification);
    EXPECT_EQ(collector->requestCount(), 0u);
}

} // namespace
