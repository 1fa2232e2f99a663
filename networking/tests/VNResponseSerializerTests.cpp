#include "networking/VNCompoundResponseSerializer.h"
#include "networking/VNHTTPResponseSerializer.h"
#include "networking/VNImageResponseSerializer.h"
#include "networking/VNJSONResponseSerializer.h"
#include "networking/VNPropertyListResponseSerializer.h"

#include "foundation/NSError.h"
#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "graphics/CGColor.h"
#include "graphics/CGContext.h"
#include "graphics/CGImage.h"
#include "graphics/UIImage.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"
#include "networking/tests/ResponseTestSupport.h"

#include <gtest/gtest.h>

namespace {

Ref<NSHTTPURLResponse> response(int32_t status, const char* contentType)
{
    return httpResponse("http://127.0.0.1/feed", status, contentType);
}

// A PNG with an alpha channel, so the decoded bitmap (alpha last) and the inflated one (alpha
// first, premultiplied) can be told apart.
Value pngData(size_t width, size_t height)
{
    auto context = CGBitmapContextCreate(
        nullptr, width, height, 8, 0, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedLast);
    auto png = CGImageEncodePNG(CGBitmapContextCreateImage(context));
    return png ? Value::data(*png) : Value();
}

TEST(VNResponseSerializer, ValidatesAndParsesBodies)
{
    enum Kind { Plain, JSON, PropertyList };
    const char* plist = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>a</key>"
                        "<integer>1</integer></dict></plist>";
    struct Case {
        const char* name;
        Kind kind;
        int32_t status;
        const char* contentType;
        Value data;
        const char* object; // description of the answer, nullptr for nil
        const char* errorDomain; // nullptr for no error
        int32_t errorCode;
        const char* errorMessage;
    } cases[] = {
        { "JSON body with a failure status", JSON, 404, "application/json", body("{\"error\":\"gone\"}"),
            "{\n    error = gone;\n}", "VNNetworkingErrorDomain", -1011, "Request failed: not found (404)" },
        { "wrong type with a body", JSON, 200, "text/html", body("<p>hi</p>"), nullptr, "VNNetworkingErrorDomain",
            -1016, "Request failed: unacceptable content-type: text/html" },
        { "wrong type without a body", JSON, 200, "text/html", body(""), nullptr, nullptr, 0, nullptr },
        { "one space", JSON, 200, "application/json", body(" "), nullptr, nullptr, 0, nullptr },
        { "empty JSON", JSON, 200, "text/json", body(""), nullptr, nullptr, 0, nullptr },
        { "no data at all", JSON, 200, "text/json", Value(), nullptr, nullptr, 0, nullptr },
        { "charset from the response", JSON, 200, "text/javascript; charset=ISO-8859-1", body("[\"Z\xfcrich\"]"),
            "(\n    \"Z\\U00fcrich\"\n)", nullptr, 0, nullptr },
        { "invalid UTF-8", JSON, 200, "application/json", body("[\"\xff\"]"), nullptr, nullptr, 0, nullptr },
        { "syntax error replaces the status error", JSON, 500, "application/json", body("{oops"), nullptr,
            "NSCocoaErrorDomain", 3840, nullptr },
        { "plain keeps any type", Plain, 200, "text/html", body("x"), "<78>", nullptr, 0, nullptr },
        { "plain with a failure status", Plain, 500, "text/html", body("x"), "<78>", "VNNetworkingErrorDomain", -1011,
            "Request failed: internal server error (500)" },
        { "property list", PropertyList, 200, "application/x-plist", body(plist), "{\n    a = 1;\n}", nullptr, 0,
            nullptr },
        { "property list of the wrong type", PropertyList, 200, "application/json", body(plist), nullptr,
            "VNNetworkingErrorDomain", -1016, "Request failed: unacceptable content-type: application/json" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<VNHTTPResponseSerializer> serializer;
        switch (c.kind) {
        case Plain:
            serializer = VNHTTPResponseSerializer::serializer();
            break;
        case JSON:
            serializer = VNJSONResponseSerializer::serializer();
            break;
        case PropertyList:
            serializer = VNPropertyListResponseSerializer::serializer();
            break;
        }
        auto reply = response(c.status, c.contentType);
        Ref<NSError> error;
        Value object = serializer->responseObjectForResponseDataError(reply, c.data, &error);
        if (c.object)
            EXPECT_EQ(object.description(), c.object);
        else
            EXPECT_TRUE(object.isNil()) << object.description();
        if (!c.errorDomain) {
            EXPECT_FALSE(error) << (error ? error->description() : "");
            continue;
        }
        ASSERT_TRUE(error);
        EXPECT_EQ(error->domain(), c.errorDomain);
        EXPECT_EQ(error->code(), c.errorCode);
        if (c.errorMessage) {
            EXPECT_EQ(error->userInfo()[NSLocalizedDescriptionKey].stringValue(), c.errorMessage);
            EXPECT_EQ(error->userInfo()["VNNetworkingOperationFailingURLResponseErrorKey"].objectValue(), reply);
            EXPECT_EQ(error->userInfo()[NSURLErrorFailingURLErrorKey].objectValue(), reply->URL());
        }
        // Without an error slot the answer is the same.
        EXPECT_EQ(
            serializer->responseObjectForResponseDataError(reply, c.data, nullptr).description(), object.description());
    }
    // A nil response is never refused.
    EXPECT_TRUE(VNJSONResponseSerializer::serializer()->validateResponseDataError(nullptr, body("x"), nullptr));
}

TEST(VNResponseSerializer, InflatesSmallImagesOnly)
{
    auto serializer = VNImageResponseSerializer::serializer();
    serializer->setImageScale(2);
    struct Case {
        const char* name;
        size_t side;
        bool inflate;
        CGImageAlphaInfo alpha;
    } cases[] = {
        { "small, inflated", 100, true, kCGImageAlphaPremultipliedFirst },
        { "small, inflation off", 100, false, kCGImageAlphaLast },
        { "large, left to decode lazily", 2048, true, kCGImageAlphaLast },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        serializer->setAutomaticallyInflatesResponseImage(c.inflate);
        Value data = pngData(c.side, c.side);
        ASSERT_TRUE(data.isData());
        Ref<NSError> error;
        auto image = serializer->responseObjectForResponseDataError(response(200, "image/png"), data, &error)
                         .objectAs<UIImage>();
        ASSERT_TRUE(image);
        EXPECT_FALSE(error);
        EXPECT_EQ(image->scale(), 2);
        EXPECT_EQ(CGImageGetWidth(image->CGImage()), c.side);
        EXPECT_EQ(CGImageGetAlphaInfo(image->CGImage()), c.alpha);
    }
    // Bytes that are no image give nil.
    EXPECT_TRUE(
        serializer->responseObjectForResponseDataError(response(200, "image/png"), body("nope"), nullptr).isNil());
}

TEST(VNResponseSerializer, CompoundTriesEachAndCopiesKeepOwnSettings)
{
    auto compound = VNCompoundResponseSerializer::compoundSerializerWithResponseSerializers(
        { VNJSONResponseSerializer::serializer(), VNImageResponseSerializer::serializer() });
    Ref<NSError> error;
    auto image = compound->responseObjectForResponseDataError(response(200, "image/png"), pngData(4, 4), &error);
    EXPECT_TRUE(image.objectAs<UIImage>());
    EXPECT_FALSE(error);
    auto json = compound->responseObjectForResponseDataError(response(404, "application/json"), body("[1]"), &error);
    EXPECT_EQ(json.description(), "(\n    1\n)");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), -1011);
    // Nobody makes an object: the compound validates by itself and answers the data.
    error = nullptr;
    auto text = compound->responseObjectForResponseDataError(response(200, "text/plain"), body("x"), &error);
    EXPECT_TRUE(text.isData());
    EXPECT_FALSE(error);

    // The base copy carries the acceptable sets; a subclass copy starts from its defaults.
    auto plain = VNHTTPResponseSerializer::serializer();
    plain->setAcceptableContentTypes(std::set<std::string> { "text/csv" });
    plain->setAcceptableStatusCodes(NSIndexSet::indexSetWithIndex(201));
    auto plainCopy = plain->copy();
    EXPECT_EQ(plainCopy->acceptableContentTypes(), plain->acceptableContentTypes());
    EXPECT_TRUE(plainCopy->acceptableStatusCodes()->containsIndex(201));
    EXPECT_FALSE(plainCopy->acceptableStatusCodes()->containsIndex(200));

    auto jsonSerializer = VNJSONResponseSerializer::serializerWithReadingOptions(4);
    jsonSerializer->setAcceptableContentTypes(std::nullopt);
    auto jsonCopy = std::dynamic_pointer_cast<VNJSONResponseSerializer>(jsonSerializer->copy());
    ASSERT_TRUE(jsonCopy);
    EXPECT_EQ(jsonCopy->readingOptions(), 4u);
    EXPECT_EQ(jsonCopy->acceptableContentTypes()->size(), 3u);
    EXPECT_EQ(
        &VNImageResponseSerializer::acceptablePathExtensions(), &VNImageResponseSerializer::acceptablePathExtensions());
}

TEST(VNResponseSerializer, ArchivesKeepEachClassAndItsSettings)
{
    auto roundTrip = [](const Ref<VNHTTPResponseSerializer>& serializer) {
        Value data = NSKeyedArchiver::archivedDataWithRootObject(Value(serializer));
        EXPECT_TRUE(data.isData());
        return NSKeyedUnarchiver::unarchiveObjectWithData(data.bytes()).objectAs<VNHTTPResponseSerializer>();
    };

    auto json = VNJSONResponseSerializer::serializerWithReadingOptions(4);
    json->setAcceptableContentTypes(std::set<std::string> { "text/x-json" });
    json->setAcceptableStatusCodes(NSIndexSet::indexSetWithIndex(202));
    auto decodedJSON = std::dynamic_pointer_cast<VNJSONResponseSerializer>(roundTrip(json));
    ASSERT_TRUE(decodedJSON);
    EXPECT_EQ(decodedJSON->readingOptions(), 4u);
    // The decoded sets replace the class's defaults.
    EXPECT_EQ(decodedJSON->acceptableContentTypes(), json->acceptableContentTypes());
    EXPECT_TRUE(decodedJSON->acceptableStatusCodes()->containsIndex(202));
    EXPECT_FALSE(decodedJSON->acceptableStatusCodes()->containsIndex(200));

    auto plain = VNHTTPResponseSerializer::serializer();
    auto decodedPlain = roundTrip(plain);
    ASSERT_TRUE(decodedPlain);
    EXPECT_TRUE(decodedPlain->isMemberOfClass(VNHTTPResponseSerializer::classObject()));
    EXPECT_FALSE(decodedPlain->acceptableContentTypes());

    auto plist = VNPropertyListResponseSerializer::serializer();
    auto decodedPlist = std::dynamic_pointer_cast<VNPropertyListResponseSerializer>(roundTrip(plist));
    ASSERT_TRUE(decodedPlist);
    EXPECT_EQ(decodedPlist->format(), 100u);

    auto image = VNImageResponseSerializer::serializer();
    image->setImageScale(3);
    image->setAutomaticallyInflatesResponseImage(false);
    auto decodedImage = std::dynamic_pointer_cast<VNImageResponseSerializer>(roundTrip(image));
    ASSERT_TRUE(decodedImage);
    EXPECT_EQ(decodedImage->imageScale(), 3.0f);
    EXPECT_FALSE(decodedImage->automaticallyInflatesResponseImage());

    auto compound = VNCompoundResponseSerializer::compoundSerializerWithResponseSerializers({ json, image });
    auto decodedCompound = std::dynamic_pointer_cast<VNCompoundResponseSerializer>(roundTrip(compound));
    ASSERT_TRUE(decodedCompound);
    ASSERT_EQ(decodedCompound->responseSerializers().size(), 2u);
    EXPECT_TRUE(std::dynamic_pointer_cast<VNJSONResponseSerializer>(decodedCompound->responseSerializers()[0]));
    EXPECT_TRUE(std::dynamic_pointer_cast<VNImageResponseSerializer>(decodedCompound->responseSerializers()[1]));
}

} // namespace
