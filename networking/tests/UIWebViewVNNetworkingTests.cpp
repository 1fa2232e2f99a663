#include "networking/UIWebView+VNNetworking.h"
#include "networking/UIWebView+_VNNetworking.h"

#include "foundation/NSError.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"
#include "net/NSURLRequest.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNHTTPRequestSerializer.h"
#include "networking/VNHTTPResponseSerializer.h"
#include "networking/VNJSONResponseSerializer.h"
#include "networking/tests/NetworkingTestSupport.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

using namespace UIWebView_VNNetworking;
using namespace UIWebView__VNNetworking;

namespace {

Ref<NSURLRequest> requestFor(const std::string& path)
{
    return NSURLRequest::requestWithURL(NSURL::URLWithString("http://pages.invalid/" + path));
}

std::string text(const Value& data)
{
    return data.isData() ? std::string(data.bytes().begin(), data.bytes().end()) : std::string();
}

class UIWebView_VNNetworking : public ::testing::Test {
protected:
    void TearDown() override
    {
        settle();
        resetForTesting();
    }

    Ref<URLStub> serve(
        const std::string& path, std::string body, std::string contentType, int32_t status = 200, double delay = 0)
    {
        URLStubSpec spec;
        spec.url = "http://pages.invalid/" + path;
        spec.statusCode = status;
        spec.headers = { { "Content-Type", std::move(contentType) } };
        spec.body = std::move(body);
        spec.delay = delay;
        return stubs.add(spec);
    }

    const UIWebView::Load& lastLoad() const { return view->loads().back(); }

    URLStubs stubs;
    Ref<UIWebView> view = UIWebView::initWithFrame(CGRectMake(0, 0, 300, 300));
};

TEST_F(UIWebView_VNNetworking, ShowsTheReceivedBytesWithTheResponsesTypeAndBase)
{
    auto page = serve("page.html", "<p>hi</p>", "text/html; charset=iso-8859-1");
    struct Case {
        const char* name;
        std::optional<std::string> mime;
        std::optional<std::string> encoding;
        bool rewrite;
        const char* shownMIME;
        const char* shownEncoding;
        const char* content;
    } cases[] = {
        { "the response's", std::nullopt, std::nullopt, false, "text/html", "iso-8859-1", "<p>hi</p>" },
        { "given ones", "text/plain", "utf-8", false, "text/plain", "utf-8", "<p>hi</p>" },
        { "rewritten", std::nullopt, std::nullopt, true, "text/html", "iso-8859-1", "<b>new</b>" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int64_t> progress;
        DataSuccessBlock success;
        if (c.rewrite) {
            success = [](const Ref<NSHTTPURLResponse>& response, const Value& data) {
                EXPECT_EQ(response->statusCode(), 200);
                EXPECT_EQ(text(data), "<p>hi</p>");
                return Value::data(std::string_view("<b>new</b>").data(), 10);
            };
        }
        size_t loadsBefore = view->loads().size();
        loadRequestMIMETypeTextEncodingNameProgressSuccessFailure(
            view, requestFor("page.html"), c.mime, c.encoding,
            [&](uint32_t, int64_t total, int64_t) { progress.push_back(total); }, success,
            [](const Ref<NSError>& error) { ADD_FAILURE() << error->description(); });
        settle();
        ASSERT_EQ(view->loads().size(), loadsBefore + 1);
        EXPECT_EQ(lastLoad().kind, UIWebView::Load::Kind::Data);
        EXPECT_EQ(lastLoad().mimeType, c.shownMIME);
        EXPECT_EQ(lastLoad().textEncodingName, c.shownEncoding);
        EXPECT_EQ(lastLoad().content, c.content);
        ASSERT_NE(lastLoad().request, nullptr);
        EXPECT_EQ(lastLoad().request->URL()->absoluteString(), "http://pages.invalid/page.html");
        EXPECT_EQ(progress, std::vector<int64_t>({ 9 }));
    }
    // The request went through the view's request serializer: its default header fields.
    auto sent = page->requests().back();
    EXPECT_TRUE(sent.header("User-Agent").has_value());
    EXPECT_TRUE(sent.header("Accept-Language").has_value());
}

TEST_F(UIWebView_VNNetworking, TextFormDecodesWithThePagesEncoding)
{
    serve("plain.html", "caf\xC3\xA9", "text/html");
    serve("latin.html", "caf\xE9", "text/html; charset=ISO-8859-1");
    serve("unknown.html", "caf\xC3\xA9", "text/html; charset=x-no-such-set");
    serve("broken.html", "caf\xE9", "text/html");
    struct Case {
        const char* path;
        std::optional<std::string> seen;
        std::string shown; // bytes handed to the web view
    } cases[] = {
        { "plain.html", "caf\xC3\xA9", "CAF\xC3\xA9" }, // no charset: UTF-8
        { "latin.html", "caf\xC3\xA9", "CAF\xE9" }, // decoded and encoded back as Latin-1
        { "unknown.html", "caf\xC3\xA9", "CAF\xC3\xA9" }, // an unknown charset: UTF-8
        { "broken.html", std::nullopt, "" }, // not UTF-8: nothing to give as text
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::optional<std::string> seen = "unset";
        loadRequestProgressSuccessFailure(
            view, requestFor(c.path), nullptr,
            [&](const Ref<NSHTTPURLResponse>&, const std::optional<std::string>& html) -> std::optional<std::string> {
                seen = html;
                if (!html)
                    return std::nullopt;
                return "CAF" + html->substr(3);
            },
            nullptr);
        settle();
        EXPECT_EQ(seen, c.seen);
        EXPECT_EQ(lastLoad().content, c.shown);
    }

    // Without a success block the bytes pass unchanged.
    loadRequestProgressSuccessFailure(view, requestFor("latin.html"), nullptr, nullptr, nullptr);
    settle();
    EXPECT_EQ(lastLoad().content, "caf\xE9");
    EXPECT_EQ(lastLoad().textEncodingName, "iso-8859-1");
}

TEST_F(UIWebView_VNNetworking, SerializersFailuresAndReplacedLoads)
{
    ScopedVirtualClock clock;
    serve("page.html", "<p>x</p>", "text/html");
    serve("missing.html", "gone", "text/html", 404);
    serve("slow.html", "late", "text/html", 200, 5);

    // Without its own serializers a view uses shared plain ones.
    EXPECT_TRUE(responseSerializer(view)->isMemberOfClass(VNHTTPResponseSerializer::classObject()));
    EXPECT_EQ(responseSerializer(view), responseSerializer(UIWebView::initWithFrame(CGRectZero)));
    EXPECT_EQ(requestSerializer(view), requestSerializer(UIWebView::initWithFrame(CGRectZero)));

    std::vector<int32_t> failures;
    auto recordFailure = [&](const Ref<NSError>& error) { failures.push_back(error ? error->code() : 0); };

    loadRequestProgressSuccessFailure(view, requestFor("missing.html"), nullptr, nullptr, recordFailure);
    settle();
    EXPECT_EQ(failures, std::vector<int32_t>({ NSURLErrorBadServerResponse }));
    EXPECT_TRUE(view->loads().empty());

    // A view's own response serializer judges its pages.
    setResponseSerializer(view, VNJSONResponseSerializer::serializer());
    EXPECT_EQ(vn_HTTPRequestOperation(view)->responseSerializer()->className(), "VNHTTPResponseSerializer");
    failures.clear();
    loadRequestProgressSuccessFailure(view, requestFor("page.html"), nullptr, nullptr, recordFailure);
    EXPECT_EQ(vn_HTTPRequestOperation(view)->responseSerializer(), responseSerializer(view));
    settle();
    EXPECT_EQ(failures, std::vector<int32_t>({ NSURLErrorCannotDecodeContentData }));
    setResponseSerializer(view, nullptr);

    // A second load cancels the first, whose failure block hears of it.
    failures.clear();
    loadRequestProgressSuccessFailure(view, requestFor("slow.html"), nullptr, nullptr, recordFailure);
    auto first = vn_HTTPRequestOperation(view);
    drainAll();
    loadRequestProgressSuccessFailure(view, requestFor("page.html"), nullptr, nullptr, recordFailure);
    EXPECT_TRUE(first->isCancelled());
    settle();
    clock.advance(6);
    settle();
    EXPECT_EQ(failures, std::vector<int32_t>({ NSURLErrorCancelled }));
    EXPECT_EQ(lastLoad().content, "<p>x</p>");
}

} // namespace
