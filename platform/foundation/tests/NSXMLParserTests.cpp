#include "foundation/NSXMLParser.h"

#include "foundation/NSError.h"
#include "testing/TemporarySandbox.h"

#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Writes every event as one line, so a whole parse compares as one list.
class Recorder final : public NSXMLParserDelegate {
public:
    void parserDidStartDocument(const Ref<NSXMLParser>&) override { events.push_back("start document"); }
    void parserDidEndDocument(const Ref<NSXMLParser>&) override { events.push_back("end document"); }
    void parserDidStartElementNamespaceURIQualifiedNameAttributes(const Ref<NSXMLParser>& parser,
        const std::string& name, const std::optional<std::string>& uri, const std::optional<std::string>& qualifiedName,
        const Value& attributes) override
    {
        std::string line = "<" + name;
        if (uri)
            line += " {" + *uri + "}";
        if (qualifiedName)
            line += " " + *qualifiedName;
        for (const auto& [key, value] : attributes.entries())
            line += " " + key.stringValue() + "=" + value.stringValue();
        events.push_back(line + ">");
        if (name == abortAt)
            parser->abortParsing();
        if (name == throwAt)
            throw std::runtime_error("delegate failed");
    }
    void parserDidEndElementNamespaceURIQualifiedName(const Ref<NSXMLParser>&, const std::string& name,
        const std::optional<std::string>& uri, const std::optional<std::string>&) override
    {
        events.push_back("</" + name + (uri ? " {" + *uri + "}" : std::string()) + ">");
    }
    void parserFoundCharacters(const Ref<NSXMLParser>&, const std::string& characters) override
    {
        text += characters;
        // Consecutive pieces of text are one event, however the reader splits them.
        if (!events.empty() && events.back().rfind("text ", 0) == 0)
            events.back() += characters;
        else
            events.push_back("text " + characters);
    }
    void parserParseErrorOccurred(const Ref<NSXMLParser>&, const Ref<NSError>& error) override
    {
        errors.push_back(error);
    }

    std::vector<std::string> events;
    std::string text;
    std::vector<Ref<NSError>> errors;
    std::string abortAt;
    std::string throwAt;
};

Value bytes(const std::string& text)
{
    return Value::data(text.data(), text.size());
}

TEST(NSXMLParser, ReportsElementsAttributesAndText)
{
    using Events = std::vector<std::string>;
    struct Case {
        const char* name;
        std::string document;
        bool namespaces;
        Events events;
    } cases[] = {
        { "elements and attributes",
            "<?xml version=\"1.0\"?><feed id=\"7\" kind='a&amp;b'><item>One</item><empty/></feed>", false,
            { "start document", "<feed id=7 kind=a&b>", "<item>", "text One", "</item>", "<empty>", "</empty>",
                "</feed>", "end document" } },
        { "references, CDATA and internal entities",
            "<!DOCTYPE r [<!ENTITY who \"world\">]><r>&lt;hello&gt; &#65;&#x42; &who;<![CDATA[<raw>&amp;]]></r>", false,
            { "start document", "<r>", "text <hello> AB world<raw>&amp;", "</r>", "end document" } },
        { "prefixes kept without namespace processing", "<a:r xmlns:a=\"urn:x\" a:k=\"v\"><a:i/></a:r>", false,
            { "start document", "<a:r xmlns:a=urn:x a:k=v>", "<a:i>", "</a:i>", "</a:r>", "end document" } },
        { "namespaces processed", "<a:r xmlns:a=\"urn:x\" a:k=\"v\"><a:i/><plain/></a:r>", true,
            { "start document", "<r {urn:x} a:r k=v>", "<i {urn:x} a:i>", "</i {urn:x}>", "<plain {} plain>",
                "</plain {}>", "</r {urn:x}>", "end document" } },
        { "other encodings become UTF-8",
            std::string("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>Z\xFCrich</r>"), false,
            { "start document", "<r>", "text Z\xC3\xBCrich", "</r>", "end document" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto parser = NSXMLParser::initWithData(bytes(c.document));
        auto recorder = std::make_shared<Recorder>();
        parser->setDelegate(recorder);
        parser->setShouldProcessNamespaces(c.namespaces);
        EXPECT_TRUE(parser->parse());
        EXPECT_EQ(parser->parserError(), nullptr);
        EXPECT_EQ(recorder->events, c.events);
        EXPECT_TRUE(recorder->errors.empty());
    }
    EXPECT_EQ(NSXMLParser::initWithData(Value("not data")), nullptr);
}

TEST(NSXMLParser, MalformedDocumentsFailWithOneError)
{
    struct Case {
        const char* name;
        std::string document;
    } cases[] = {
        { "empty", "" },
        { "text only", "just words" },
        { "truncated", "<r><item>One</item" },
        { "mismatched", "<r><a></b></r>" },
        { "two roots", "<r/><s/>" },
        { "unquoted attribute", "<r k=v/>" },
        { "undefined entity", "<r>&nope;</r>" },
        { "invalid UTF-8", std::string("<r>\xFF\xFE</r>") },
        { "binary", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) },
        { "entity loop", "<!DOCTYPE r [<!ENTITY a \"&b;\"><!ENTITY b \"&a;\">]><r>&a;</r>" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto parser = NSXMLParser::initWithData(bytes(c.document));
        auto recorder = std::make_shared<Recorder>();
        parser->setDelegate(recorder);
        EXPECT_FALSE(parser->parse());
        auto error = parser->parserError();
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->domain(), NSXMLParserErrorDomain);
        EXPECT_GT(error->code(), 0);
        EXPECT_NE(error->code(), NSXMLParserDelegateAbortedParseError);
        ASSERT_EQ(recorder->errors.size(), 1u);
        EXPECT_EQ(recorder->errors.front(), error);
        EXPECT_EQ(std::count(recorder->events.begin(), recorder->events.end(), "end document"), 0);
    }
    auto empty = NSXMLParser::initWithData(bytes(""));
    empty->parse();
    EXPECT_EQ(empty->parserError()->code(), NSXMLParserEmptyDocumentError);
}

TEST(NSXMLParser, NeverLoadsExternalEntitiesOrDefinitions)
{
    TemporarySandbox sandbox;
    std::string secretPath = sandbox.path("secret.txt");
    std::ofstream(secretPath) << "TOP-SECRET";
    std::string url = "file://" + secretPath;
    struct Case {
        const char* name;
        std::string document;
    } cases[] = {
        { "general entity", "<!DOCTYPE r [<!ENTITY x SYSTEM \"" + url + "\">]><r>&x;</r>" },
        { "entity in an attribute", "<!DOCTYPE r [<!ENTITY x SYSTEM \"" + url + "\">]><r k=\"&x;\"/>" },
        { "parameter entity", "<!DOCTYPE r [<!ENTITY % p SYSTEM \"" + url + "\"> %p;]><r>text</r>" },
        { "external definitions", "<!DOCTYPE r SYSTEM \"" + url + "\"><r>text</r>" },
        { "network entity", "<!DOCTYPE r [<!ENTITY x SYSTEM \"http://127.0.0.1:9/x\">]><r>&x;</r>" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto parser = NSXMLParser::initWithData(bytes(c.document));
        auto recorder = std::make_shared<Recorder>();
        parser->setDelegate(recorder);
        parser->parse(); // may fail on the unresolved entity; it must not read the file
        for (const auto& event : recorder->events)
            EXPECT_EQ(event.find("TOP-SECRET"), std::string::npos) << event;
    }
}

TEST(NSXMLParser, EntityExpansionIsBounded)
{
    // Ten levels of ten references: 10^10 copies if expanded without bound.
    std::string document = "<!DOCTYPE r [<!ENTITY e0 \"lol\">";
    for (int level = 1; level <= 10; ++level) {
        document += "<!ENTITY e" + std::to_string(level) + " \"";
        for (int i = 0; i < 10; ++i)
            document += "&e" + std::to_string(level - 1) + ";";
        document += "\">";
    }
    document += "]>";
    for (const char* body : { "<r>&e10;</r>", "<r k=\"&e10;\"/>" }) {
        SCOPED_TRACE(body);
        auto parser = NSXMLParser::initWithData(bytes(document + body));
        auto recorder = std::make_shared<Recorder>();
        parser->setDelegate(recorder);
        EXPECT_FALSE(parser->parse());
        ASSERT_NE(parser->parserError(), nullptr);
        EXPECT_LT(recorder->text.size(), 8u * 1024 * 1024);
        EXPECT_EQ(recorder->errors.size(), 1u);
    }
}

TEST(NSXMLParser, DelegateCanAbortOrThrow)
{
    const std::string document = "<r><a>1</a><b>2</b><c>3</c></r>";
    auto parser = NSXMLParser::initWithData(bytes(document));
    auto recorder = std::make_shared<Recorder>();
    recorder->abortAt = "b";
    parser->setDelegate(recorder);
    EXPECT_FALSE(parser->parse());
    ASSERT_NE(parser->parserError(), nullptr);
    EXPECT_EQ(parser->parserError()->code(), NSXMLParserDelegateAbortedParseError);
    EXPECT_EQ(recorder->events, std::vector<std::string>({ "start document", "<r>", "<a>", "text 1", "</a>", "<b>" }));
    EXPECT_EQ(recorder->errors.size(), 1u);

    // The delegate's exception leaves parse(); the parser can run again afterwards.
    recorder = std::make_shared<Recorder>();
    recorder->throwAt = "a";
    parser->setDelegate(recorder);
    EXPECT_THROW(parser->parse(), std::runtime_error);
    EXPECT_EQ(recorder->events.back(), "<a>");
    recorder->throwAt.clear();
    recorder->events.clear();
    EXPECT_TRUE(parser->parse());
    EXPECT_EQ(recorder->events.back(), "end document");

    // Without a delegate the document is still checked.
    auto quiet = NSXMLParser::initWithData(bytes("<r>"));
    EXPECT_FALSE(quiet->parse());
    EXPECT_NE(quiet->parserError(), nullptr);
}

} // namespace
