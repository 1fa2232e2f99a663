#include "refdata/CsvTable.h"

#include <gtest/gtest.h>

TEST(CsvTable, ParsesQuotedFieldsAndRejectsMalformedText)
{
    struct Case {
        const char* name;
        const char* text;
        std::vector<std::vector<std::string>> rows; // empty with `fails` set: parse error
        bool fails = false;
    };
    const Case cases[] = {
        { "plain", "a,b\n1,2\n3,4\n", { { "1", "2" }, { "3", "4" } } },
        { "no final newline, CRLF", "a,b\r\n1,2\r\n3,4", { { "1", "2" }, { "3", "4" } } },
        { "empty fields kept", "a,b,c\n,,\nx,,z\n", { { "", "", "" }, { "x", "", "z" } } },
        { "quotes, commas, doubled quotes and line breaks", "a,b\n\"x, y\",\"say \"\"hi\"\"\"\n\"two\nlines\",\n",
            { { "x, y", "say \"hi\"" }, { "two\nlines", "" } } },
        { "blank lines skipped", "a\n\n1\n\n", { { "1" } } },
        { "unicode untouched", "a\nZürich\n", { { "Zürich" } } },
        { "unterminated quote", "a,b\n\"x,2\n", {}, true },
        { "too few fields", "a,b\n1\n", {}, true },
        { "too many fields", "a,b\n1,2,3\n", {}, true },
        { "quote inside a field", "a\nx\"y\n", {}, true },
        { "no header", "", {}, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        auto table = CsvTable::parse(c.text, &error);
        if (c.fails) {
            EXPECT_FALSE(table);
            EXPECT_FALSE(error.empty());
            continue;
        }
        ASSERT_TRUE(table) << error;
        EXPECT_EQ(table->rows(), c.rows);
    }
}

TEST(CsvTable, FindsColumnsByName)
{
    auto table = CsvTable::parse("name,iata\nHeathrow,LHR\n");
    ASSERT_TRUE(table);
    EXPECT_EQ(table->column("iata"), 1);
    EXPECT_EQ(table->column("name"), 0);
    EXPECT_EQ(table->column("IATA"), -1);
}
