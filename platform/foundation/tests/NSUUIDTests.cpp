#include "foundation/NSUUID.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(NSUUID, RandomIdentifiersAreVersionFourAndUpperCase)
{
    std::set<std::string> seen;
    for (int i = 0; i < 64; ++i) {
        Ref<NSUUID> uuid = NSUUID::UUID();
        std::string text = uuid->UUIDString();
        ASSERT_EQ(text.size(), 36u);
        for (size_t k = 0; k < text.size(); ++k) {
            if (k == 8 || k == 13 || k == 18 || k == 23)
                EXPECT_EQ(text[k], '-');
            else
                EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(text[k])) || (text[k] >= 'A' && text[k] <= 'F'))
                    << text;
        }
        EXPECT_EQ(text[14], '4');
        EXPECT_NE(std::string("89AB").find(text[19]), std::string::npos);
        seen.insert(text);
        Ref<NSUUID> parsed = NSUUID::initWithUUIDString(text);
        ASSERT_TRUE(parsed);
        EXPECT_TRUE(parsed->isEqual(uuid.get()));
        EXPECT_EQ(parsed->hash(), uuid->hash());
    }
    EXPECT_EQ(seen.size(), 64u);
}

TEST(NSUUID, ParsesEitherCaseAndRejectsMalformedText)
{
    Ref<NSUUID> uuid = NSUUID::initWithUUIDString("e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
    ASSERT_TRUE(uuid);
    EXPECT_EQ(uuid->UUIDString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    uint8_t bytes[16];
    uuid->getUUIDBytes(bytes);
    EXPECT_EQ(bytes[0], 0xE6);
    EXPECT_EQ(bytes[15], 0x5F);
    EXPECT_EQ(NSUUID::initWithUUIDBytes(uuid->UUIDBytes())->UUIDString(), uuid->UUIDString());
    for (const char* bad : { "", "E621E1F8C36C495A93FC0C247A3E6E5F", "E621E1F8-C36C-495A-93FC-0C247A3E6E5",
             "E621E1F8-C36C-495A-93FC-0C247A3E6E5FF", "G621E1F8-C36C-495A-93FC-0C247A3E6E5F",
             "E621E1F8+C36C-495A-93FC-0C247A3E6E5F" }) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(NSUUID::initWithUUIDString(bad));
    }
}
