#include "servicesim/SimMultipart.h"

#include <gtest/gtest.h>

TEST(SimMultipart, ReadsTheBodiesClientsWrite)
{
    struct Expected {
        std::string name, filename, contentType, content;
    };
    struct Case {
        const char* label;
        std::string contentType;
        std::string body;
        std::vector<Expected> parts;
    };
    const Case cases[] = {
        { "trailing semicolon, bare type, no preamble", "multipart/form-data; boundary=----FOO",
            "------FOO\r\nContent-Disposition: form-data; name=\"oem\";\r\nContent-Type: text\r\n\r\nApple\r\n"
            "------FOO\r\nContent-Disposition: form-data; name=\"text\";\r\nContent-Type: "
            "text\r\n\r\nTwo\r\nlines\r\n------FOO--\r\n",
            { { "oem", "", "text", "Apple" }, { "text", "", "text", "Two\r\nlines" } } },
        { "file part with quoted boundary and preamble", "multipart/form-data; boundary=\"Boundary+0xAbCdEfGbOuNdArY\"",
            "preamble\r\n--Boundary+0xAbCdEfGbOuNdArY\r\ncontent-disposition: form-data; name=\"xml\"; "
            "filename=\"crash.xml\"\r\n"
            "Content-Type: text/xml\r\n\r\n<crashes/>\r\n--Boundary+0xAbCdEfGbOuNdArY--",
            { { "xml", "crash.xml", "text/xml", "<crashes/>" } } },
        { "LF line ends and an empty value", "multipart/form-data; boundary=b",
            "--b\nContent-Disposition: form-data; name=a\n\n\n--b\nContent-Disposition: form-data; "
            "name=\"c\"\n\nd\n--b--\n",
            { { "a", "", "", "" }, { "c", "", "", "d" } } },
        { "binary content kept whole", "multipart/form-data; boundary=xyz",
            std::string("--xyz\r\nContent-Disposition: form-data; name=\"bin\"; "
                        "filename=\"f\"\r\n\r\n\0\r\n\xFF--xy\r\n--xyz--",
                83),
            { { "bin", "f", "", std::string("\0\r\n\xFF--xy", 8) } } },
        { "no boundary", "multipart/form-data", "--b\r\n\r\nx\r\n--b--", {} },
        { "not multipart", "application/json; boundary=b", "--b\r\n\r\nx\r\n--b--", {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto parts = SimMultipart::parse(c.contentType, c.body);
        ASSERT_EQ(parts.size(), c.parts.size());
        for (size_t i = 0; i < parts.size(); ++i) {
            EXPECT_EQ(parts[i].name, c.parts[i].name);
            EXPECT_EQ(parts[i].filename, c.parts[i].filename);
            EXPECT_EQ(parts[i].contentType, c.parts[i].contentType);
            EXPECT_EQ(parts[i].content, c.parts[i].content);
        }
    }
}

TEST(SimMultipart, StrictReadingRefusesWhatAServiceCannotRead)
{
    const std::string kit
        = "------FOO\r\nContent-Disposition: form-data; name=\"oem\";\r\nContent-Type: text\r\n\r\n"
          "Apple\r\n------FOO\r\nContent-Disposition: form-data; name=\"text\";\r\n\r\nTwo\r\nlines\r\n";
    const struct {
        const char* label;
        std::string body;
        std::vector<std::pair<std::string, std::string>> parts; // empty: refused
    } cases[] = {
        { "the kit's own form", kit + "------FOO--\r\n", { { "oem", "Apple" }, { "text", "Two\r\nlines" } } },
        { "preamble, padding and epilogue",
            "ignored\r\n------FOO \t\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\nb\r\n------FOO--\r\nrest",
            { { "a", "b" } } },
        { "no closing delimiter", kit, {} },
        { "closing delimiter glued to the content", kit.substr(0, kit.size() - 2) + "------FOO--\r\n", {} },
        { "headers without an empty line", "------FOO\r\nContent-Disposition: form-data; name=\"a\"\r\n------FOO--\r\n",
            {} },
        { "part without a name", "------FOO\r\nContent-Type: text\r\n\r\nx\r\n------FOO--\r\n", {} },
        { "not form data", "------FOO\r\nContent-Disposition: attachment; name=\"a\"\r\n\r\nx\r\n------FOO--\r\n", {} },
        { "text after the delimiter",
            "------FOOX\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\nx\r\n------FOO--", {} },
        { "bare line feeds", "------FOO\nContent-Disposition: form-data; name=\"a\"\n\nx\n------FOO--\n", {} },
        { "empty body", "", {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto parts = SimMultipart::parseStrict("multipart/form-data; boundary=----FOO", c.body);
        if (c.parts.empty()) {
            EXPECT_FALSE(parts);
            continue;
        }
        ASSERT_TRUE(parts);
        ASSERT_EQ(parts->size(), c.parts.size());
        for (size_t i = 0; i < parts->size(); ++i) {
            EXPECT_EQ((*parts)[i].name, c.parts[i].first);
            EXPECT_EQ((*parts)[i].content, c.parts[i].second);
        }
    }
    EXPECT_FALSE(SimMultipart::parseStrict("multipart/form-data", "--b\r\n\r\nx\r\n--b--"));
    EXPECT_FALSE(SimMultipart::parseStrict(
        "multipart/form-data; boundary=" + std::string(71, 'b'), "--" + std::string(71, 'b') + "--\r\n"));
}
