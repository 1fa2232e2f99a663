#include "foundation/NSError.h"
#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSStream.h"
#include "net/NSURL.h"
#include "net/NSURLSessionConfiguration.h"
#include "net/UTType.h"

#include <gtest/gtest.h>

namespace {

TEST(NSURLRequest, SetReplacesAddAppendsAndCopiesAreIndependent)
{
    auto request = NSMutableURLRequest::requestWithURL(NSURL::URLWithString("http://example.com/"));
    EXPECT_EQ(request->HTTPMethod(), "GET");
    EXPECT_EQ(request->timeoutInterval(), 60);
    EXPECT_TRUE(request->allHTTPHeaderFields().isNil());
    request->setValueForHTTPHeaderField("application/json", "Accept");
    request->addValueForHTTPHeaderField("image/*", "accept");
    request->setValueForHTTPHeaderField("gzip", "Accept-Encoding");
    EXPECT_EQ(request->valueForHTTPHeaderField("ACCEPT").value_or(""), "application/json,image/*");
    request->setValueForHTTPHeaderField("text/plain", "accept");
    EXPECT_EQ(request->allHTTPHeaderFields()["Accept"].stringValue(), "text/plain");
    request->setValueForHTTPHeaderField(std::nullopt, "Accept-Encoding");
    EXPECT_FALSE(request->valueForHTTPHeaderField("Accept-Encoding"));

    request->setHTTPBody(Value::data("abc", 3));
    auto copy = request->mutableCopy();
    copy->setHTTPMethod("POST");
    copy->setValueForHTTPHeaderField("1", "X-Copy");
    copy->setHTTPBodyStream(NSInputStream::inputStreamWithData(Value::data("s", 1)));
    EXPECT_EQ(request->HTTPMethod(), "GET");
    EXPECT_FALSE(request->valueForHTTPHeaderField("X-Copy"));
    EXPECT_TRUE(request->HTTPBody().isData());
    EXPECT_TRUE(copy->HTTPBody().isNil()); // a body stream replaces the body data
    EXPECT_TRUE(copy->HTTPBodyStream());
    EXPECT_TRUE(request->copy()->isEqual(request.get()));
    EXPECT_FALSE(copy->isEqual(request.get()));
}

TEST(NSHTTPURLResponse, KeepsTheServersSpellingAndReadsContentHeaders)
{
    auto url = NSURL::URLWithString("http://example.com/feed");
    struct Case {
        NSHTTPURLResponse::HeaderList headers;
        const char* mime; // nullptr: none
        const char* encoding;
        int64_t length;
    } cases[] = {
        { { { "Content-Type", "application/json; charset=UTF-8" }, { "Content-Length", "42" } }, "application/json",
            "utf-8", 42 },
        { { { "content-type", "Text/HTML;charset=\"ISO-8859-1\"" } }, "text/html", "iso-8859-1", -1 },
        { { { "Content-Length", "12x" } }, nullptr, nullptr, -1 },
        { {}, nullptr, nullptr, -1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.headers.size());
        auto response
            = NSHTTPURLResponse::initWithURLStatusCodeHTTPVersionHeaderFields(url, 200, "HTTP/1.1", c.headers);
        EXPECT_EQ(response->MIMEType().has_value(), c.mime != nullptr);
        if (c.mime) {
            EXPECT_EQ(*response->MIMEType(), c.mime);
        }
        EXPECT_EQ(response->textEncodingName().has_value(), c.encoding != nullptr);
        if (c.encoding) {
            EXPECT_EQ(*response->textEncodingName(), c.encoding);
        }
        EXPECT_EQ(response->expectedContentLength(), c.length);
    }
    auto response = NSHTTPURLResponse::initWithURLStatusCodeHTTPVersionHeaderFields(url, 200, "HTTP/1.1",
        { { "X-VX-S-TIME", "1" }, { "ETag", "\"a\"" }, { "Set-Cookie", "a=1" }, { "set-cookie", "b=2" } });
    auto fields = response->allHeaderFields();
    EXPECT_EQ(fields["X-VX-S-TIME"].stringValue(), "1");
    EXPECT_TRUE(fields["x-vx-s-time"].isNil());
    EXPECT_EQ(fields["ETag"].stringValue(), "\"a\"");
    EXPECT_TRUE(fields["Etag"].isNil());
    EXPECT_EQ(fields["Set-Cookie"].stringValue(), "a=1, b=2");
    EXPECT_EQ(response->headerValue("etag").value_or(""), "\"a\"");

    struct Status {
        int32_t code;
        const char* text;
    } statuses[]
        = { { 200, "no error" }, { 404, "not found" }, { 500, "internal server error" }, { 503, "service unavailable" },
              { 418, "client error" }, { 599, "server error" }, { 299, "success" }, { 42, "unknown error" } };
    for (const auto& s : statuses) {
        SCOPED_TRACE(s.code);
        EXPECT_EQ(NSHTTPURLResponse::localizedStringForStatusCode(s.code), s.text);
    }
}

// Archives an object and reads it back, with secure coding limited to `cls`.
template <typename T> Ref<T> roundTrip(const Ref<NSObject>& object)
{
    Ref<NSError> error;
    Value data = NSKeyedArchiver::archivedDataWithRootObject(Value::object(object), &error);
    EXPECT_TRUE(data.isData()) << (error ? error->description() : "");
    if (!data.isData())
        return nullptr;
    Value decoded = NSKeyedUnarchiver::unarchivedObjectOfClassFromData(T::classObject(), data.bytes(), &error);
    EXPECT_FALSE(decoded.isNil()) << (error ? error->description() : "");
    return decoded.objectAs<T>();
}

TEST(NSURLArchiving, URLsRequestsResponsesAndConfigurationsComeBackEqual)
{
    struct URLCase {
        const char* text;
        const char* base;
    } urls[] = { { "http://h.invalid/a?b=c#d", nullptr }, { "items?x=1", "http://h.invalid/v1/" },
        { "file:///tmp/x.bin", nullptr } };
    for (const auto& c : urls) {
        SCOPED_TRACE(c.text);
        auto url = c.base ? NSURL::URLWithStringRelativeToURL(c.text, NSURL::URLWithString(c.base))
                          : NSURL::URLWithString(c.text);
        auto decoded = roundTrip<NSURL>(url);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->absoluteString(), url->absoluteString());
        EXPECT_EQ(decoded->relativeString(), url->relativeString());
        EXPECT_EQ(bool(decoded->baseURL()), bool(c.base));
    }

    auto request = NSMutableURLRequest::requestWithURLCachePolicyTimeoutInterval(
        NSURL::URLWithString("http://h.invalid/post"), NSURLRequestReloadIgnoringLocalCacheData, 12.5);
    request->setHTTPMethod("POST");
    request->setValueForHTTPHeaderField("b", "X-Second");
    request->setValueForHTTPHeaderField("a", "x-first");
    request->setHTTPBody(Value::data("body", 4));
    request->setHTTPShouldHandleCookies(false);
    auto decodedRequest = roundTrip<NSURLRequest>(request);
    ASSERT_TRUE(decodedRequest);
    EXPECT_TRUE(decodedRequest->isMemberOfClass(NSMutableURLRequest::classObject()));
    EXPECT_TRUE(decodedRequest->isEqual(request.get()));
    EXPECT_EQ(decodedRequest->headerList(), request->headerList());
    EXPECT_EQ(decodedRequest->cachePolicy(), NSURLRequestReloadIgnoringLocalCacheData);
    EXPECT_EQ(decodedRequest->timeoutInterval(), 12.5);
    EXPECT_FALSE(decodedRequest->HTTPShouldHandleCookies());
    auto plain = roundTrip<NSURLRequest>(NSURLRequest::requestWithURL(nullptr));
    ASSERT_TRUE(plain);
    EXPECT_TRUE(plain->isMemberOfClass(NSURLRequest::classObject()));
    EXPECT_FALSE(plain->URL());
    EXPECT_EQ(plain->HTTPMethod(), "GET");

    auto http = NSHTTPURLResponse::initWithURLStatusCodeHTTPVersionHeaderFields(
        NSURL::URLWithString("http://h.invalid/"), 206, "HTTP/1.1",
        { { "Content-Type", "text/plain; charset=iso-8859-1" }, { "ETag", "\"v1\"" }, { "Content-Length", "7" } });
    auto decodedHTTP = roundTrip<NSHTTPURLResponse>(http);
    ASSERT_TRUE(decodedHTTP);
    EXPECT_EQ(decodedHTTP->statusCode(), 206);
    EXPECT_EQ(decodedHTTP->headerList(), http->headerList());
    EXPECT_EQ(decodedHTTP->MIMEType(), std::optional<std::string>("text/plain"));
    EXPECT_EQ(decodedHTTP->textEncodingName(), std::optional<std::string>("iso-8859-1"));
    EXPECT_EQ(decodedHTTP->expectedContentLength(), 7);

    auto response = NSURLResponse::initWithURLMIMETypeExpectedContentLengthTextEncodingName(
        NSURL::URLWithString("file:///tmp/a.txt"), "text/plain", 3, std::nullopt);
    auto decodedResponse = roundTrip<NSURLResponse>(response);
    ASSERT_TRUE(decodedResponse);
    EXPECT_TRUE(decodedResponse->isMemberOfClass(NSURLResponse::classObject()));
    EXPECT_EQ(decodedResponse->URL()->absoluteString(), "file:///tmp/a.txt");
    EXPECT_EQ(decodedResponse->MIMEType(), std::optional<std::string>("text/plain"));
    EXPECT_EQ(decodedResponse->expectedContentLength(), 3);
    EXPECT_FALSE(decodedResponse->textEncodingName());

    auto configuration = NSURLSessionConfiguration::backgroundSessionConfigurationWithIdentifier("com.example.bg");
    configuration->setTimeoutIntervalForRequest(7);
    configuration->setHTTPAdditionalHeaders(Value::dictionary({ { "X-A", "1" } }));
    configuration->setRequestCachePolicy(NSURLRequestReloadIgnoringLocalAndRemoteCacheData);
    configuration->setHTTPMaximumConnectionsPerHost(2);
    configuration->setAllowsCellularAccess(false);
    auto decodedConfiguration = roundTrip<NSURLSessionConfiguration>(configuration);
    ASSERT_TRUE(decodedConfiguration);
    EXPECT_EQ(decodedConfiguration->identifier(), std::optional<std::string>("com.example.bg"));
    EXPECT_EQ(decodedConfiguration->timeoutIntervalForRequest(), 7);
    EXPECT_EQ(decodedConfiguration->timeoutIntervalForResource(), configuration->timeoutIntervalForResource());
    EXPECT_EQ(decodedConfiguration->HTTPAdditionalHeaders().description(),
        configuration->HTTPAdditionalHeaders().description());
    EXPECT_EQ(decodedConfiguration->requestCachePolicy(), NSURLRequestReloadIgnoringLocalAndRemoteCacheData);
    EXPECT_EQ(decodedConfiguration->HTTPMaximumConnectionsPerHost(), 2);
    EXPECT_FALSE(decodedConfiguration->allowsCellularAccess());
}

TEST(UTType, MapsExtensionsToMIMETypes)
{
    struct Case {
        const char* extension;
        const char* mime;
    } cases[] = { { "png", "image/png" }, { "JPG", "image/jpeg" }, { "jpeg", "image/jpeg" },
        { "json", "application/json" }, { "txt", "text/plain" }, { "html", "text/html" },
        { "zzz", "application/octet-stream" }, { "", "application/octet-stream" } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extension);
        EXPECT_EQ(MIMETypeForPathExtension(c.extension), c.mime);
    }
    EXPECT_EQ(UTTypeCreatePreferredIdentifierForTag(kUTTagClassFilenameExtension, "png"), "public.png");
    EXPECT_FALSE(UTTypeCopyPreferredTagWithClass(
        UTTypeCreatePreferredIdentifierForTag(kUTTagClassFilenameExtension, "zzz"), kUTTagClassMIMEType));
}

} // namespace
