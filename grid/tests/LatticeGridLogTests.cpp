#include "grid/LatticeGridLog.h"

#include "foundation/NSException.h"
#include "foundation/Value.h"
#include "grid/LGridCoord.h"
#include "testing/LogCapture.h"

#include <gtest/gtest.h>

TEST(LatticeGridLog, WritesMessagesWithTheirSourceAndInfo)
{
    LogCapture log;
    auto source = LGridCoord::initWithColumnWithRow(1, LGridRowMake(2, 3));
    LatticeGridLog::logMessage("plain 100%");
    LatticeGridLog::logMessageFromSource("with source", source.get());
    LatticeGridLog::logMessageFromSource("no source", nullptr);
    LatticeGridLog::logInfoWithMessageFromSource(
        Value::dictionary({ { Value("b"), Value(2) }, { Value("a"), Value("x") } }), "info", source.get());
    LatticeGridLog::logInfoWithMessageFromSource(Value::dictionary(), "empty info", nullptr);
    LatticeGridLog::assertWithFailMsg(false, "ignored");

    const std::vector<std::string> expected {
        "plain 100%",
        "with source\nFrom: {c:1,r:2,s:3}",
        "no source\nFrom: (null)",
        "info\nb:2\na:x\nFrom: {c:1,r:2,s:3}",
        "empty info\nFrom: (null)",
    };
    EXPECT_EQ(log.messages(), expected);
}

TEST(LatticeGridLog, FatalMessagesLogAndRaise)
{
    LogCapture log;
    auto source = LGridCoord::initWithColumnWithRow(0, LGridRowMake(0, 0));
    try {
        LatticeGridLog::fatalLogMessageFromSource("broken", source.get());
        FAIL() << "no exception";
    } catch (const NSException& e) {
        EXPECT_EQ(e.name(), "LatticeGridsException");
        EXPECT_EQ(e.reason(), "broken\nFrom: {c:0,r:0,s:0}");
        EXPECT_TRUE(e.userInfo().isNil());
    }
    EXPECT_EQ(log.messages(), std::vector<std::string> { "broken\nFrom: {c:0,r:0,s:0}" });
}
