#include "app/core/analytics/ConnectionQueue.h"

#include "app/core/analytics/Tally_SharedUDID.h"
#include "app/tests/RequestAddress.h"
#include "app/tests/core/AnalyticsTestSupport.h"
#include "testing/LogCapture.h"

#include <gmock/gmock.h>

#include <algorithm>

using ::testing::ElementsAre;

namespace {

Ref<ConnectionQueue> startedQueue()
{
    auto queue = ConnectionQueue::sharedInstance();
    queue->setAppKey("key");
    queue->setAppHost(AnalyticsTestScope::kCollector);
    return queue;
}

TEST(ConnectionQueue, SendsOneAtATimeAndKeepsWhatFailedAtTheHead)
{
    AnalyticsTestScope scope;
    auto queue = startedQueue();
    {
        auto down = scope.stubCollector(0, true);
        queue->updateSessionWithDuration(1);
        drainAll();
        // Two more while the collector is out of reach: nothing is sent until something new is
        // queued, and then only the head.
        queue->updateSessionWithDuration(2);
        queue->updateSessionWithDuration(3);
        drainAll();
        EXPECT_THAT(describeCollectorRequests(down->requests()), ElementsAre("update 1", "update 1"));
        EXPECT_EQ(queue->queue().size(), 3u);
    }
    // Back: a server error counts as delivered, like a success.
    auto up = scope.stubCollector(500);
    queue->endSessionWithDuration(4);
    drainAll();
    EXPECT_THAT(describeCollectorRequests(up->requests()), ElementsAre("update 1", "update 2", "update 3", "end 4"));
    EXPECT_TRUE(queue->queue().empty());
    EXPECT_FALSE(queue->isSending());
}

TEST(ConnectionQueue, EventsTextIsEscapedExactlyOnce)
{
    AnalyticsTestScope scope;
    auto collector = scope.stubCollector();
    auto queue = startedQueue();
    queue->recordEvents(NSString_URLArgumentsAdditions::gtm_stringByEscapingForURLArgument("[{\"key\":\"A & B\"}]"));
    drainAll();
    ASSERT_EQ(collector->requestCount(), 1u);
    std::string url = collector->requests()[0].url;
    EXPECT_NE(url.find("&events=%5B%7B%22key%22%3A%22A%20%26%20B%22%7D%5D"), std::string::npos) << url;
}

// The shared device identifier is percent-encoded into the query: whatever the stored record
// holds, the report keeps exactly its fields.
TEST(ConnectionQueue, DeviceIdentifierIsEscaped)
{
    for (const auto& hostile : hostileURLValues()) {
        SCOPED_TRACE(hostile);
        AnalyticsTestScope scope;
        Tally_SharedUDID::resetCacheForTesting();
        NSUserDefaults::standardUserDefaults()->setObjectForKey(
            Value::dictionary({ { "SharedUDID", Value(hostile) } }), "SharedUDID");
        auto collector = scope.stubCollector();
        auto queue = startedQueue();
        queue->updateSessionWithDuration(7);
        drainAll();
        ASSERT_EQ(collector->requestCount(), 1u);
        auto address = RequestAddress::read(collector->requests()[0].url);
        EXPECT_FALSE(address.hasFragment);
        EXPECT_EQ(
            address.names(), (std::vector<std::string> { "app_key", "device_id", "timestamp", "session_duration" }));
        EXPECT_EQ(address.value("device_id"), hostile);
        EXPECT_EQ(address.value("session_duration"), "7");
        Tally_SharedUDID::resetCacheForTesting();
    }
}

TEST(ConnectionQueue, DropsTheOldestReportsWhenTheCollectorStaysAway)
{
    AnalyticsTestScope scope;
    auto down = scope.stubCollector(0, true);
    auto queue = startedQueue();
    LogCapture log;
    for (int32_t i = 0; i < int32_t(ConnectionQueue::maximumLength()) + 2; ++i)
        queue->updateSessionWithDuration(i);
    drainAll();
    EXPECT_EQ(queue->queue().size(), ConnectionQueue::maximumLength());
    // The head (tried first) stays; the next oldest went.
    EXPECT_NE(queue->queue()[0].find("session_duration=0"), std::string::npos);
    EXPECT_NE(queue->queue()[1].find("session_duration=3"), std::string::npos);
    auto messages = log.messages();
    EXPECT_EQ(
        std::count(messages.begin(), messages.end(), "Analytics queue full: dropped the oldest unsent report"), 2);
}

} // namespace
