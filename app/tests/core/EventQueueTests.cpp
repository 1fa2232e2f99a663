#include "app/core/analytics/EventQueue.h"

#include "app/core/analytics/DeviceInfo.h"
#include "app/tests/core/AnalyticsTestSupport.h"

#include <gtest/gtest.h>

namespace {

std::string unescaped(const Ref<EventQueue>& queue)
{
    return NSString_URLArgumentsAdditions::gtm_stringByUnescapingFromURLArgument(queue->events());
}

TEST(EventQueue, AggregatesByNameAndSegmentsAndWritesTheEventsText)
{
    AnalyticsTestScope scope;
    long start = long(VirtualClock::defaultWallEpoch);
    auto queue = EventQueue::init();
    queue->recordEventCount("AR", 1);
    scope.clock().advance(10);
    queue->recordEventCount("AR", 1);
    queue->recordEventCountSum("Zero", 1, 0);
    queue->recordEventCountSum("Negative", 1, -2);
    queue->recordEventCountSum("Paid", 2, 1.5);
    queue->recordEventCountSum("Paid", 1, 1.25);
    auto segments = Value::dictionary({ { "tab", "flight" } });
    queue->recordEventCount("Tab", 1);
    // Segmented events never merge into one without segments; plain ones merge into any.
    queue->recordEventSegmentationCount("Tab", segments, 1);
    queue->recordEventSegmentationCount("Tab", segments, 1);
    queue->recordEventCount("Tab", 5);
    EXPECT_EQ(queue->count(), 6u);
    std::string s = std::to_string(start + 10);
    EXPECT_EQ(unescaped(queue),
        "[{\"key\":\"AR\",\"count\":2,\"timestamp\":" + std::to_string(start + 5) + "},"
            + "{\"key\":\"Zero\",\"count\":1,\"timestamp\":" + s + "},"
            + "{\"key\":\"Negative\",\"count\":1,\"timestamp\":" + s + "},"
            + "{\"key\":\"Paid\",\"count\":3,\"sum\":2.75,\"timestamp\":" + s + "},"
            + "{\"key\":\"Tab\",\"count\":6,\"timestamp\":" + s + "},"
            + "{\"key\":\"Tab\",\"segmentation\":{\"tab\":\"flight\"},\"count\":2,\"timestamp\":" + s + "}]");
    EXPECT_EQ(queue->count(), 0u);
    EXPECT_EQ(unescaped(queue), "[]");
}

TEST(EventQueue, NamesFromOutsideStayValidJSON)
{
    AnalyticsTestScope scope;
    auto queue = EventQueue::init();
    queue->recordEventCount("Say \"Hi\" \\ Now\n", 1);
    std::string text = unescaped(queue);
    EXPECT_EQ(text.rfind("[{\"key\":\"Say \\\"Hi\\\" \\\\ Now\\n\",\"count\":1,", 0), 0u) << text;
}

TEST(EventQueue, URLArgumentEscapingKeepsOnlyUnreservedCharacters)
{
    EXPECT_EQ(NSString_URLArgumentsAdditions::gtm_stringByEscapingForURLArgument("aZ09-_.~ !*'();:@&=+$,/?%#[]\"é"),
        "aZ09-_.~%20%21%2A%27%28%29%3B%3A%40%26%3D%2B%24%2C%2F%3F%25%23%5B%5D%22%C3%A9");
    EXPECT_EQ(NSString_URLArgumentsAdditions::gtm_stringByUnescapingFromURLArgument("a+b%20c%zz"), "a b c%zz");
}

TEST(DeviceInfo, DescribesTheDeviceWithTheCarrierOnlyWhenThereIsOne)
{
    AnalyticsTestScope scope;
    std::string text = DeviceInfo::JSONText();
    EXPECT_EQ(text.find("_carrier"), std::string::npos);
    EXPECT_EQ(text.rfind("{\"_device\":\"", 0), 0u);
    EXPECT_NE(text.find(",\"_os\":\"iOS\",\"_os_version\":\""), std::string::npos);
    EXPECT_NE(text.find(",\"_locale\":\"en_US\","), std::string::npos);
    DeviceInfo::setCarrierForTesting("Carrier");
    EXPECT_NE(DeviceInfo::JSONText().find("\",\"_carrier\":\"Carrier\",\"_resolution\":\""), std::string::npos);
    DeviceInfo::setCarrierForTesting(std::nullopt);
}

} // namespace
