#include "networking/VNXMLParserResponseSerializer.h"

#include "foundation/NSError.h"
#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "foundation/NSXMLParser.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"
#include "net/NSURLRequest.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/tests/NetworkingTestSupport.h"
#include "networking/tests/ResponseTestSupport.h"
#include "testing/URLStubs.h"

#include <gtest/gtest.h>

namespace {

Ref<NSHTTPURLResponse> response(int32_t status, const char* contentType)
{
    return httpResponse("http://127.0.0.1/feed.xml", status, contentType);
}

// Collects element names and text, and the error of a failed parse.
class Collector final : public NSXMLParserDelegate {
public:
    void parserDidStartElementNamespaceURIQualifiedNameAttributes(const Ref<NSXMLParser>&, const std::string& name,
        const std::optional<std::string>&, const std::optional<std::string>&, const Value& attributes) override
    {
        log += "<" + name;
        for (const auto& [key, value] : attributes.entries())
            log += " " + key.stringValue() + "=" + value.stringValue();
        log += ">";
    }
    void parserDidEndElementNamespaceURIQualifiedName(const Ref<NSXMLParser>&, const std::string& name,
        const std::optional<std::string>&, const std::optional<std::string>&) override
    {
        log += "</" + name + ">";
    }
    void parserFoundCharacters(const Ref<NSXMLParser>&, const std::string& text) override { log += text; }
    void parserParseErrorOccurred(const Ref<NSXMLParser>&, const Ref<NSError>&) override { ++errors; }

    std::string log;
    int errors = 0;
};

TEST(VNXMLParserResponseSerializer, GivesAParserUnlessTheContentTypeIsRefused)
{
    const std::string document = "<flights><flight id=\"KS12\">Late</flight></flights>";
    struct Case {
        const char* name;
        int32_t status;
        const char* contentType;
        std::string body;
        bool parser;
        int32_t errorCode; // 0 for none
        bool parses;
    } cases[] = {
        { "application/xml", 200, "application/xml", document, true, 0, true },
        { "text/xml with charset", 200, "text/xml; charset=utf-8", document, true, 0, true },
        { "refused status keeps the parser", 500, "text/xml", document, true, NSURLErrorBadServerResponse, true },
        { "refused content type", 200, "application/json", document, false, NSURLErrorCannotDecodeContentData, false },
        { "refused type without a body", 200, "text/html", "", true, 0, false },
        { "malformed body", 200, "text/xml", "<flights><flight>", true, 0, false },
        { "binary body", 200, "application/xml", std::string("\0\x01\x02\xff", 4), true, 0, false },
    };
    auto serializer = VNXMLParserResponseSerializer::serializer();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<NSError> error;
        Value object
            = serializer->responseObjectForResponseDataError(response(c.status, c.contentType), body(c.body), &error);
        auto parser = object.objectAs<NSXMLParser>();
        EXPECT_EQ(parser != nullptr, c.parser);
        EXPECT_EQ(error ? error->code() : 0, c.errorCode);
        if (error) {
            EXPECT_EQ(error->domain(), VNNetworkingErrorDomain);
            EXPECT_EQ(error->userInfo()[VNNetworkingOperationFailingURLResponseErrorKey]
                          .objectAs<NSHTTPURLResponse>()
                          ->statusCode(),
                c.status);
        }
        if (!parser)
            continue;
        // The parser has not run yet: the caller's delegate sees the whole document.
        auto collector = std::make_shared<Collector>();
        parser->setDelegate(collector);
        EXPECT_EQ(parser->parse(), c.parses);
        if (c.parses) {
            EXPECT_EQ(collector->log, "<flights><flight id=KS12>Late</flight></flights>");
        } else {
            EXPECT_EQ(collector->errors, 1);
            ASSERT_NE(parser->parserError(), nullptr);
            EXPECT_EQ(parser->parserError()->domain(), NSXMLParserErrorDomain);
        }
    }
    // Without an error slot nothing is reported and nothing breaks.
    EXPECT_TRUE(
        serializer->responseObjectForResponseDataError(response(200, "text/plain"), body(document), nullptr).isNil());
}

TEST(VNXMLParserResponseSerializer, CopiesAndArchivesKeepClassAndSets)
{
    auto serializer = VNXMLParserResponseSerializer::serializer();
    EXPECT_EQ(*serializer->acceptableContentTypes(), (std::set<std::string> { "application/xml", "text/xml" }));
    serializer->setAcceptableContentTypes(std::set<std::string> { "application/atom+xml" });
    serializer->setAcceptableStatusCodes(NSIndexSet::indexSetWithIndex(203));

    auto copy = std::dynamic_pointer_cast<VNXMLParserResponseSerializer>(serializer->copy());
    ASSERT_TRUE(copy);
    EXPECT_NE(copy, serializer);
    EXPECT_EQ(copy->acceptableContentTypes(), serializer->acceptableContentTypes());
    EXPECT_TRUE(copy->acceptableStatusCodes()->containsIndex(203));
    EXPECT_FALSE(copy->acceptableStatusCodes()->containsIndex(200));

    Value archive = NSKeyedArchiver::archivedDataWithRootObject(Value(serializer));
    auto decoded
        = NSKeyedUnarchiver::unarchiveObjectWithData(archive.bytes()).objectAs<VNXMLParserResponseSerializer>();
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->acceptableContentTypes(), serializer->acceptableContentTypes());
    EXPECT_TRUE(decoded->acceptableStatusCodes()->containsIndex(203));
}

TEST(VNXMLParserResponseSerializer, OperationsDeliverAParser)
{
    URLStubs stubs;
    URLStubSpec spec;
    spec.url = "http://stub.invalid/board.xml";
    spec.headers = { { "Content-Type", "text/xml" } };
    spec.body = "<board><row gate=\"A1\"/></board>";
    stubs.add(spec);

    auto operation = VNHTTPRequestOperation::initWithRequest(
        NSURLRequest::requestWithURL(NSURL::URLWithString("http://stub.invalid/board.xml")));
    operation->setResponseSerializer(VNXMLParserResponseSerializer::serializer());
    Ref<NSXMLParser> delivered;
    operation->setCompletionBlockWithSuccessFailure(
        [&](const Ref<VNHTTPRequestOperation>&, const Value& object) { delivered = object.objectAs<NSXMLParser>(); },
        nullptr);
    operation->start();
    settle();
    ASSERT_NE(delivered, nullptr);
    auto collector = std::make_shared<Collector>();
    delivered->setDelegate(collector);
    EXPECT_TRUE(delivered->parse());
    EXPECT_EQ(collector->log, "<board><row gate=A1></row></board>");
    resetForTesting();
}

} // namespace
