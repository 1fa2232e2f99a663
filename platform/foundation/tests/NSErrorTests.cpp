#include "foundation/NSError.h"
#include "foundation/NSException.h"
#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "foundation/Value.h"

#include <gtest/gtest.h>

TEST(NSError, DescriptionAndUnderlyingError)
{
    auto posix = NSError::errorWithDomain(NSPOSIXErrorDomain, 2);
    struct Case {
        const char* name;
        Ref<NSError> error;
        const char* description;
    };
    Case cases[] = {
        { "no user info", posix, "Error Domain=NSPOSIXErrorDomain Code=2 \"(null)\"" },
        { "debug description",
            NSError::errorWithDomain(NSCocoaErrorDomain, 3840,
                Value::dictionary({ { Value(NSDebugDescriptionErrorKey), Value("No value.") } })),
            "Error Domain=NSCocoaErrorDomain Code=3840 \"No value.\" UserInfo={NSDebugDescription=No value.}" },
        { "localized description wins, underlying error nested",
            NSError::errorWithDomain("PMCrashReporterErrorDomain", 1,
                Value::dictionary({ { Value(NSLocalizedDescriptionKey), Value("Failed.") },
                    { Value(NSUnderlyingErrorKey), Value(posix) }, { Value("n"), Value(1.5) } })),
            "Error Domain=PMCrashReporterErrorDomain Code=1 \"Failed.\" UserInfo={NSLocalizedDescription=Failed., "
            "NSUnderlyingError={Error Domain=NSPOSIXErrorDomain Code=2 \"(null)\"}, n=1.5}" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.error->description(), c.description);
    }
    EXPECT_EQ(cases[2].error->underlyingError(), posix);
    EXPECT_EQ(posix->underlyingError(), nullptr);
    EXPECT_EQ(posix->localizedDescription(), "The operation couldn\u2019t be completed. (NSPOSIXErrorDomain error 2.)");
    // Errors archive with their user info, underlying errors included.
    Value data = NSKeyedArchiver::archivedDataWithRootObject(Value(cases[2].error));
    auto back = NSKeyedUnarchiver::unarchiveObjectWithData(data.bytes()).objectAs<NSError>();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->description(), cases[2].error->description());
    EXPECT_TRUE(back->isEqual(cases[2].error.get()));

    EXPECT_TRUE(cases[1].error->isEqual(NSError::errorWithDomain(NSCocoaErrorDomain, 3840,
        Value::dictionary({ { Value(NSDebugDescriptionErrorKey),
            Value("No value.") } })).get()));
}

#include <cstdio>

namespace {
void recordingHandler(NSException&) { }
void printingHandler(NSException& exception)
{
    std::fprintf(stderr, "uncaught %s (%s)\n", exception.name().c_str(), exception.reason().c_str());
}
void raiseUncaught() noexcept
{
    NSException::raise(NSGenericException, "nobody catches this");
}
} // namespace

TEST(NSException, CapturesTheStackAndKeepsTheUncaughtHandler)
{
    try {
        NSException::raise(NSRangeException, "index 3 beyond bounds");
    } catch (const NSException& e) {
        EXPECT_EQ(e.name(), "NSRangeException");
        EXPECT_EQ(std::string(e.what()), "NSRangeException: index 3 beyond bounds");
        EXPECT_FALSE(e.callStackReturnAddresses().empty());
    }
    auto previous = NSGetUncaughtExceptionHandler();
    NSSetUncaughtExceptionHandler(recordingHandler);
    EXPECT_EQ(NSGetUncaughtExceptionHandler(), &recordingHandler);
    NSSetUncaughtExceptionHandler(previous);
    EXPECT_EQ(NSGetUncaughtExceptionHandler(), previous);
}

TEST(NSExceptionDeathTest, UncaughtExceptionReachesTheHandlerThenAborts)
{
    EXPECT_DEATH(
        {
            NSSetUncaughtExceptionHandler(printingHandler);
            raiseUncaught();
        },
        "uncaught NSGenericException \\(nobody catches this\\)");
}
