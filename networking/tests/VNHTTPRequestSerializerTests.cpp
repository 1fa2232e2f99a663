#include "networking/VNHTTPRequestSerializer.h"

#include "foundation/NSError.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "foundation/NSLocale.h"
#include "foundation/NSPropertyListSerialization.h"
#include "net/NSURL.h"
#include "networking/VNJSONRequestSerializer.h"
#include "networking/VNPropertyListRequestSerializer.h"
#include "networking/VNQueryStringPair.h"
#include "uikit/UIDevice.h"

#include <gtest/gtest.h>

namespace {

Value dict(std::vector<std::pair<Value, Value>> entries)
{
    return Value::dictionary(std::move(entries));
}

std::string bodyText(const Ref<NSURLRequest>& request)
{
    const auto& bytes = request->HTTPBody().bytes();
    return std::string(bytes.begin(), bytes.end());
}

struct LanguagesGuard {
    explicit LanguagesGuard(std::vector<std::string> languages)
    {
        NSLocale::setPreferredLanguagesForTesting(std::move(languages));
    }
    ~LanguagesGuard() { NSLocale::resetForTesting(); }
};

} // namespace

TEST(VNHTTPRequestSerializer, PutsEscapedSortedPairsIntoTheURLOfGetHeadAndDelete)
{
    struct Case {
        const char* method;
        const char* url;
        Value parameters;
        const char* expectedURL;
    };
    const Case cases[] = {
        { "GET", "http://h/p", dict({ { "q", "a&b=c d" } }), "http://h/p?q=a%26b%3Dc%20d" },
        { "GET", "http://h/p", dict({ { "q", ":/?&=;+!@#$()',*" } }),
            "http://h/p?q=%3A%2F%3F%26%3D%3B%2B%21%40%23%24%28%29%27%2C%2A" },
        { "GET", "http://h/p", dict({ { "n", Value::null() }, { "e", "" } }), "http://h/p?e=&n" },
        { "GET", "http://h/p", dict({ { "B", 1 }, { "a", 2 } }), "http://h/p?a=2&B=1" },
        { "GET", "http://h/p", dict({ { "b", "x y" }, { "a", dict({ { "c", Value::array({ 1, 2 }) } }) } }),
            "http://h/p?a[c][]=1&a[c][]=2&b=x%20y" },
        { "HEAD", "http://h/p?x=1", dict({ { "y", 2.5 } }), "http://h/p?x=1&y=2.5" },
        { "delete", "http://h/p", dict({ { "k.v", "\xC3\xA9" } }), "http://h/p?k.v=%C3%A9" },
        { "GET", "http://h/p", dict({}), "http://h/p?" },
        { "GET", "http://h/p", Value(), "http://h/p" },
    };
    auto serializer = VNHTTPRequestSerializer::serializer();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expectedURL);
        auto request = serializer->requestWithMethodURLStringParameters(c.method, c.url, c.parameters);
        ASSERT_TRUE(request);
        ASSERT_TRUE(request->URL());
        EXPECT_EQ(request->URL()->absoluteString(), c.expectedURL);
        EXPECT_TRUE(request->HTTPBody().isNil());
        EXPECT_FALSE(request->valueForHTTPHeaderField("Content-Type"));
    }
}

TEST(VNHTTPRequestSerializer, AURLStringThatDoesNotParseGivesARequestWithoutURL)
{
    auto serializer = VNHTTPRequestSerializer::serializer();
    for (const char* method : { "GET", "POST" }) {
        SCOPED_TRACE(method);
        auto request
            = serializer->requestWithMethodURLStringParameters(method, "http://bad host/\x01", dict({ { "a", 1 } }));
        ASSERT_TRUE(request);
        EXPECT_FALSE(request->URL());
        EXPECT_TRUE(request->valueForHTTPHeaderField("User-Agent"));
    }
}

TEST(VNHTTPRequestSerializer, FlattensNestedKeysKeepingBracketsUnescapedInPairs)
{
    auto pairs = VNQueryStringPairsFromKeyAndValue(
        Value(), dict({ { "b", "x y" }, { "a", dict({ { "c", Value::array({ 1, 2 }) } }) } }));
    std::vector<std::string> texts;
    for (const auto& pair : pairs)
        texts.push_back(pair->URLEncodedStringValueWithEncoding(NSUTF8StringEncoding));
    EXPECT_EQ(texts, (std::vector<std::string> { "a[c][]=1", "a[c][]=2", "b=x%20y" }));
}

TEST(VNHTTPRequestSerializer, WritesBodiesForMethodsThatCarryOne)
{
    auto plain = VNHTTPRequestSerializer::serializer();
    auto json = VNJSONRequestSerializer::serializer();
    auto plist = VNPropertyListRequestSerializer::serializer();
    auto base = NSMutableURLRequest::requestWithURL(NSURL::URLWithString("http://h/p"));
    base->setHTTPMethod("POST");
    base->setValueForHTTPHeaderField(std::string("text/plain"), "Content-Type");
    Value parameters = dict({ { "b", "x y" }, { "a", 1 } });

    struct Case {
        const char* name;
        Ref<VNHTTPRequestSerializer> serializer;
        Value parameters;
        std::optional<std::string> contentType;
        bool hasBody;
    };
    const Case cases[] = {
        { "form", plain, parameters, "application/x-www-form-urlencoded; charset=utf-8", true },
        { "form without parameters", plain, Value(), "text/plain", false },
        { "json", json, parameters, "application/json; charset=utf-8", true },
        { "json without parameters", json, Value(), "text/plain", false },
        { "plist", plist, parameters, "application/x-plist; charset=utf-8", true },
        { "plist without parameters", plist, Value(), "application/x-plist; charset=utf-8", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<NSError> error;
        auto request = c.serializer->requestBySerializingRequestWithParametersError(base, c.parameters, &error);
        ASSERT_TRUE(request);
        EXPECT_FALSE(error);
        EXPECT_EQ(request->valueForHTTPHeaderField("Content-Type"), c.contentType);
        EXPECT_EQ(request->HTTPBody().isData(), c.hasBody);
        EXPECT_EQ(request->URL()->absoluteString(), "http://h/p");
    }
    // The request passed in is never changed.
    EXPECT_EQ(base->valueForHTTPHeaderField("Content-Type"), std::optional<std::string>("text/plain"));
    EXPECT_FALSE(base->valueForHTTPHeaderField("User-Agent"));

    EXPECT_EQ(
        bodyText(plain->requestBySerializingRequestWithParametersError(base, parameters, nullptr)), "a=1&b=x%20y");
    Value decoded = NSJSONSerialization::JSONObjectWithData(
        json->requestBySerializingRequestWithParametersError(base, parameters, nullptr)->HTTPBody().bytes(), 0,
        nullptr);
    EXPECT_TRUE(decoded.isEqual(parameters));
    Value plistDecoded = NSPropertyListSerialization::propertyListWithData(
        plist->requestBySerializingRequestWithParametersError(base, parameters, nullptr)->HTTPBody(), 0, nullptr,
        nullptr);
    EXPECT_TRUE(plistDecoded.isEqual(parameters));

    // A form body in another encoding names it and escapes its bytes.
    auto latin1 = VNHTTPRequestSerializer::serializer();
    latin1->setStringEncoding(NSISOLatin1StringEncoding);
    auto latin1Request
        = latin1->requestBySerializingRequestWithParametersError(base, dict({ { "city", "Z\xC3\xBCrich" } }), nullptr);
    EXPECT_EQ(latin1Request->valueForHTTPHeaderField("Content-Type"),
        std::optional<std::string>("application/x-www-form-urlencoded; charset=iso-8859-1"));
    EXPECT_EQ(bodyText(latin1Request), "city=Z%FCrich");

    // A GET keeps JSON parameters in the query string.
    auto get = json->requestWithMethodURLStringParameters("GET", "http://h/p", parameters);
    EXPECT_EQ(get->URL()->absoluteString(), "http://h/p?a=1&b=x%20y");
    EXPECT_TRUE(get->HTTPBody().isNil());

    // JSON that cannot be written leaves the body empty and reports the error.
    Ref<NSError> error;
    auto bad = json->requestBySerializingRequestWithParametersError(base, dict({ { "d", Value::date(0) } }), &error);
    ASSERT_TRUE(bad);
    EXPECT_TRUE(bad->HTTPBody().isNil());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), 3840);
}

TEST(VNHTTPRequestSerializer, BuildsDefaultHeadersThatTheRequestCanOverride)
{
    struct Case {
        std::vector<std::string> languages;
        const char* expected;
    };
    const Case cases[] = {
        { { "en" }, "en;q=1" },
        { { "de", "fr", "en" }, "de;q=1, fr;q=0.9, en;q=0.8" },
        { { "a", "b", "c", "d", "e", "f", "g", "h" }, "a;q=1, b;q=0.9, c;q=0.8, d;q=0.7, e;q=0.6, f;q=0.5" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        LanguagesGuard languages(c.languages);
        auto serializer = VNHTTPRequestSerializer::serializer();
        EXPECT_EQ(serializer->HTTPRequestHeaders()["Accept-Language"].stringValue(), c.expected);
    }

    auto serializer = VNHTTPRequestSerializer::serializer();
    std::string agent = serializer->HTTPRequestHeaders()["User-Agent"].stringValue();
    auto device = UIDevice::currentDevice();
    EXPECT_NE(agent.find(NSString::stringWithFormat("(%@; iOS %@; Scale/", device->model(), device->systemVersion())),
        std::string::npos)
        << agent;
    EXPECT_TRUE(std::all_of(agent.begin(), agent.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; }));

    auto own = NSMutableURLRequest::requestWithURL(NSURL::URLWithString("http://h/"));
    own->setValueForHTTPHeaderField(std::string("Mine/1"), "user-agent");
    auto request = serializer->requestBySerializingRequestWithParametersError(own, Value(), nullptr);
    EXPECT_EQ(request->valueForHTTPHeaderField("User-Agent"), std::optional<std::string>("Mine/1"));
    EXPECT_TRUE(request->valueForHTTPHeaderField("Accept-Language"));

    // A user agent that is not ASCII is transliterated.
    device->setModel("iP\xC3\xA4"
                     "d \xE2\x98\x83");
    std::string transliterated
        = VNHTTPRequestSerializer::serializer()->HTTPRequestHeaders()["User-Agent"].stringValue();
    UIDevice::resetForTesting();
    EXPECT_NE(transliterated.find("(iPad ; iOS"), std::string::npos) << transliterated;

    serializer->setAuthorizationHeaderFieldWithUsernamePassword("Aladdin", "open sesame");
    EXPECT_EQ(serializer->HTTPRequestHeaders()["Authorization"].stringValue(), "Basic QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
    serializer->setAuthorizationHeaderFieldWithToken("abc");
    EXPECT_EQ(serializer->requestWithMethodURLStringParameters("GET", "http://h/", Value())
                  ->valueForHTTPHeaderField("Authorization"),
        std::optional<std::string>("Token token=\"abc\""));
    serializer->clearAuthorizationHeader();
    EXPECT_TRUE(serializer->HTTPRequestHeaders()["Authorization"].isNil());
    serializer->setValueForHTTPHeaderField(std::string("v"), "X-A");
    serializer->setValueForHTTPHeaderField(std::nullopt, "X-A");
    EXPECT_TRUE(serializer->HTTPRequestHeaders()["X-A"].isNil());
}

TEST(VNHTTPRequestSerializer, QueryBlockReplacesTheBuiltInQueryUntilAStyleIsSet)
{
    auto serializer = VNHTTPRequestSerializer::serializer();
    serializer->setQueryStringSerializationWithBlock(
        [](const Ref<NSURLRequest>&, const Value& parameters, Ref<NSError>*) -> std::optional<std::string> {
            return "custom=" + std::to_string(parameters.count());
        });
    EXPECT_EQ(serializer->requestWithMethodURLStringParameters("GET", "http://h/", dict({ { "a", 1 } }))
                  ->URL()
                  ->absoluteString(),
        "http://h/?custom=1");
    auto copy = serializer->copy();
    EXPECT_EQ(
        copy->requestWithMethodURLStringParameters("GET", "http://h/", dict({ { "a", 1 } }))->URL()->absoluteString(),
        "http://h/?custom=1");
    serializer->setQueryStringSerializationWithStyle(VNHTTPRequestQueryStringDefaultStyle);
    EXPECT_EQ(serializer->requestWithMethodURLStringParameters("GET", "http://h/", dict({ { "a", 1 } }))
                  ->URL()
                  ->absoluteString(),
        "http://h/?a=1");
}

TEST(VNHTTPRequestSerializer, CopiesAndArchivesKeepOnlyTheirOwnState)
{
    auto json = VNJSONRequestSerializer::serializerWithWritingOptions(1);
    json->setValueForHTTPHeaderField(std::string("v"), "X-Custom");
    json->setStringEncoding(NSASCIIStringEncoding);
    auto jsonCopy = std::dynamic_pointer_cast<VNJSONRequestSerializer>(json->copy());
    ASSERT_TRUE(jsonCopy);
    EXPECT_EQ(jsonCopy->writingOptions(), 0u);
    EXPECT_EQ(jsonCopy->stringEncoding(), NSUTF8StringEncoding);
    EXPECT_EQ(jsonCopy->HTTPRequestHeaders()["X-Custom"].stringValue(), "v");
    // The copy's headers are its own.
    jsonCopy->setValueForHTTPHeaderField(std::string("w"), "X-Custom");
    EXPECT_EQ(json->HTTPRequestHeaders()["X-Custom"].stringValue(), "v");

    auto plist = VNPropertyListRequestSerializer::serializerWithFormatWriteOptions(200, 3);
    plist->setValueForHTTPHeaderField(std::string("v"), "X-Custom");
    auto plistCopy = std::dynamic_pointer_cast<VNPropertyListRequestSerializer>(plist->copy());
    ASSERT_TRUE(plistCopy);
    EXPECT_EQ(plistCopy->format(), 200u);
    EXPECT_EQ(plistCopy->writeOptions(), 3u);
    EXPECT_TRUE(plistCopy->HTTPRequestHeaders()["X-Custom"].isNil());
    EXPECT_EQ(VNPropertyListRequestSerializer::init()->format(), 0u);
    EXPECT_EQ(VNPropertyListRequestSerializer::serializer()->format(), 100u);

    Ref<NSError> error;
    Value archive = NSKeyedArchiver::archivedDataWithRootObject(Value(plist), &error);
    ASSERT_TRUE(archive.isData()) << (error ? error->description() : "");
    auto decoded = NSKeyedUnarchiver::unarchiveObjectWithData(archive.bytes(), &error)
                       .objectAs<VNPropertyListRequestSerializer>();
    ASSERT_TRUE(decoded) << (error ? error->description() : "");
    EXPECT_EQ(decoded->format(), 200u);
    EXPECT_EQ(decoded->writeOptions(), 3u);
    EXPECT_EQ(decoded->HTTPRequestHeaders()["X-Custom"].stringValue(), "v");

    Value jsonArchive = NSKeyedArchiver::archivedDataWithRootObject(Value(json), nullptr);
    auto jsonDecoded
        = NSKeyedUnarchiver::unarchiveObjectWithData(jsonArchive.bytes(), nullptr).objectAs<VNJSONRequestSerializer>();
    ASSERT_TRUE(jsonDecoded);
    EXPECT_EQ(jsonDecoded->writingOptions(), 0u);
    EXPECT_EQ(jsonDecoded->HTTPRequestHeaders()["X-Custom"].stringValue(), "v");
}
