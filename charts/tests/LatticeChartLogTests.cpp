#include "charts/LatticeChartLog.h"

#include "charts/LChartRange.h"
#include "charts/tests/ChartTestSupport.h"
#include "foundation/Value.h"
#include "testing/LogCapture.h"

#include <gtest/gtest.h>

TEST(LatticeChartLog, WritesMessagesWithSourceAndInfoLines)
{
    LogCapture log;
    auto source = LChartRange::initWithMinimumAndMaximum(Value(1), Value(2));
    LatticeChartLog::logMessage("plain 100%");
    LatticeChartLog::logMessageFromSource("with source", source.get());
    LatticeChartLog::logInfoWithMessageFromSource(Value::dictionary(), "empty info", source.get());
    LatticeChartLog::logInfoWithMessageFromSource(
        Value::dictionary({ { Value("b"), Value(2) }, { Value("a"), Value("x") } }), "info", nullptr);
    auto handler = LatticeChartLog::logger();
    handler->handleErrorWithMessageFromSource("through handler", source.get());
    EXPECT_NE(LatticeChartLog::logger(), handler);

    const std::vector<std::string> expected {
        "plain 100%",
        "with source\nFrom: { 1.000000, 2.000000 }",
        "empty info\nFrom: { 1.000000, 2.000000 }",
        "info\nb:2\na:x\nFrom: (null)",
        "through handler\nFrom: { 1.000000, 2.000000 }",
    };
    EXPECT_EQ(log.messages(), expected);
}

TEST(LatticeChartLog, FatalErrorsLogThenRunTheHook)
{
    LogCapture log;
    FatalErrorsThrow fatal;
    auto handler = LatticeChartLog::logger();
    EXPECT_THROW(handler->handleFatalErrorWithMessageFromSource("broken", nullptr), ChartFatalError);
    EXPECT_EQ(log.messages(), std::vector<std::string> { "broken\nFrom: (null)" });
}

TEST(LatticeChartLogDeathTest, FatalErrorsAbortByDefault)
{
    EXPECT_DEATH(LatticeChartLog::fatalLogMessageFromSource("gone", nullptr), "");
}
