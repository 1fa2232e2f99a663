#include "app/core/analytics/Tally_SharedUDID.h"

#include "app/tests/core/AnalyticsTestSupport.h"
#include "foundation/NSError.h"
#include "foundation/NSKeyedArchiver.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

std::string slot(int i)
{
    return "org.SharedUDID.slot." + std::to_string(i);
}

void putRecord(int i, const std::string& identifier, const std::string& appUID)
{
    auto pasteboard = UIPasteboard::pasteboardWithNameCreate(slot(i), true);
    pasteboard->setPersistent(true);
    Tally_SharedUDID::_setDictForPasteboard(
        Value::dictionary({ { "SharedUDID", identifier }, { "SharedUDID_appUID", appUID } }), pasteboard);
}

// Forgets what this process computed and held in memory, as a new launch would.
void relaunch()
{
    Tally_SharedUDID::resetCacheForTesting();
    UIPasteboard::resetForTesting();
}

int32_t code(const Ref<NSError>& error)
{
    return error ? error->code() : -1;
}

TEST(Tally_SharedUDID, FirstUseMakesAnIdentifierAndLaterLaunchesKeepIt)
{
    AnalyticsTestScope scope;
    Ref<NSError> error;
    std::string value = Tally_SharedUDID::valueWithError(&error);
    EXPECT_TRUE(std::regex_match(value, std::regex("[0-9a-f]{40}"))) << value;
    EXPECT_EQ(code(error), 0);
    auto record = NSUserDefaults::standardUserDefaults()->objectForKey("SharedUDID");
    EXPECT_EQ(record["SharedUDID"].stringValue(), value);
    EXPECT_EQ(record["SharedUDID_slot"].stringValue(), slot(0));
    EXPECT_EQ(
        Tally_SharedUDID::_getDictFromPasteboard(UIPasteboard::pasteboardWithNameCreate(slot(0), false))["SharedUDID"]
            .stringValue(),
        value);
    EXPECT_EQ(Tally_SharedUDID::valueWithError(&error), value);
    EXPECT_EQ(error->userInfo()["description"].stringValue(), "SharedUDID in cache from first call");

    // A later launch finds its own slot through the record and writes nothing.
    relaunch();
    int32_t changes = UIPasteboard::pasteboardWithNameCreate(slot(0), false)->changeCount();
    EXPECT_EQ(Tally_SharedUDID::value(), value);
    EXPECT_EQ(UIPasteboard::pasteboardWithNameCreate(slot(0), false)->changeCount(), changes);
    EXPECT_EQ(UIPasteboard::pasteboardWithNameCreate(slot(1), false), nullptr);

    // Its slot gone, the record is written there again.
    UIPasteboard::removePasteboardWithName(slot(0));
    relaunch();
    EXPECT_EQ(Tally_SharedUDID::value(), value);
    ASSERT_NE(UIPasteboard::pasteboardWithNameCreate(slot(0), false), nullptr);
}

TEST(Tally_SharedUDID, AdoptsWhatOtherApplicationsShareAndReportsADiscrepancy)
{
    AnalyticsTestScope scope;
    std::string other(40, 'a');
    putRecord(0, other, "APP-1");
    putRecord(1, other, "APP-2");
    Ref<NSError> error;
    EXPECT_EQ(Tally_SharedUDID::valueWithError(&error), other);
    EXPECT_EQ(code(error), 0);
    EXPECT_NE(UIPasteboard::pasteboardWithNameCreate(slot(2), false), nullptr);

    // The local identifier wins even when most slots disagree.
    relaunch();
    std::string third(40, 'b');
    putRecord(3, third, "APP-3");
    putRecord(4, third, "APP-4");
    putRecord(5, third, "APP-5");
    EXPECT_EQ(Tally_SharedUDID::valueWithError(&error), other);
    EXPECT_EQ(code(error), 2);
}

TEST(Tally_SharedUDID, UnreadableSlotsCountAsFree)
{
    AnalyticsTestScope scope;
    UIPasteboard::pasteboardWithNameCreate(slot(0), true)
        ->setValueForPasteboardType(Value::data({ 1, 2 }), "org.SharedUDID");
    EXPECT_EQ(
        Tally_SharedUDID::_getDictFromPasteboard(UIPasteboard::pasteboardWithNameCreate(slot(0), false)).count(), 0u);
    Tally_SharedUDID::value();
    EXPECT_EQ(
        NSUserDefaults::standardUserDefaults()->objectForKey("SharedUDID")["SharedUDID_slot"].stringValue(), slot(0));
}

TEST(Tally_SharedUDID, OptedOutApplicationsReportZeros)
{
    AnalyticsTestScope scope;
    Tally_SharedUDID::value();
    Tally_SharedUDID::setOptOut(true);
    Ref<NSError> error;
    EXPECT_EQ(Tally_SharedUDID::valueWithError(&error), std::string(40, '0'));
    EXPECT_EQ(code(error), 1);
    Tally_SharedUDID::setOptOut(false);
    EXPECT_NE(Tally_SharedUDID::value(), std::string(40, '0'));
}

// Two applications with sandboxes of their own share one identifier through the pasteboards.
TEST(Tally_SharedUDID, ApplicationsWithSeparateSandboxesShareOneIdentifier)
{
    AnalyticsTestScope scope;
    std::string first;
    {
        TemporarySandbox application;
        first = Tally_SharedUDID::value();
    }
    relaunch();
    TemporarySandbox otherApplication;
    EXPECT_TRUE(NSUserDefaults::standardUserDefaults()->objectForKey("SharedUDID").isNil());
    EXPECT_EQ(Tally_SharedUDID::value(), first);
    EXPECT_EQ(
        NSUserDefaults::standardUserDefaults()->objectForKey("SharedUDID")["SharedUDID_slot"].stringValue(), slot(1));
}

// What other applications left in the slots is adopted only when it is an identifier of the
// scheme, 40 hexadecimal digits; anything else (a NUL character, which the defaults cannot
// store, or text that would change the analytics query) is ignored, and a fresh identifier is
// made and kept across launches.
TEST(Tally_SharedUDID, AdoptsOnlyWellFormedIdentifiersFromTheSlots)
{
    // Held as UTF-16 in the archive (it has a character outside ASCII): the "Z" after "\u00e9"
    // is made U+0000 there.
    const std::string marked = std::string(20, 'a') + "\u00e9Z" + std::string(18, 'a');
    const std::string marker { '\0', '\xE9', '\0', 'Z' };
    struct Case {
        const char* name;
        std::string shared;
        bool nulAtMark;
        bool adopted;
    } cases[] = {
        { "NUL character", marked, true, false },
        { "query delimiters", std::string(30, 'a') + "&id=e#/x=", false, false },
        { "39 digits", std::string(39, 'b'), false, false },
        { "41 digits", std::string(41, 'b'), false, false },
        { "not hexadecimal", std::string(40, 'g'), false, false },
        { "upper-case hexadecimal", std::string(20, 'C') + std::string(20, '7'), false, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AnalyticsTestScope scope;
        for (int i : { 0, 1 }) {
            putRecord(i, c.shared, "APP-" + std::to_string(i));
            if (!c.nulAtMark)
                continue;
            auto pasteboard = UIPasteboard::pasteboardWithNameCreate(slot(i), false);
            Value::Bytes bytes = pasteboard->valueForPasteboardType("org.SharedUDID").bytes();
            std::string view(bytes.begin(), bytes.end());
            size_t at = view.find(marker);
            ASSERT_NE(at, std::string::npos);
            bytes[at + marker.size() - 1] = 0;
            pasteboard->setValueForPasteboardType(Value::data(bytes), "org.SharedUDID");
        }
        std::string value;
        ASSERT_NO_THROW(value = Tally_SharedUDID::value());
        if (c.adopted) {
            EXPECT_EQ(value, c.shared);
        } else {
            EXPECT_TRUE(std::regex_match(value, std::regex("[0-9a-f]{40}"))) << value;
        }
        EXPECT_EQ(
            NSUserDefaults::standardUserDefaults()->objectForKey("SharedUDID")["SharedUDID"].stringValue(), value);
        relaunch();
        std::string again;
        ASSERT_NO_THROW(again = Tally_SharedUDID::value());
        EXPECT_EQ(again, value);
    }
}

} // namespace
