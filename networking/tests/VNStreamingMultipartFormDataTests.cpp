#include "networking/VNStreamingMultipartFormData.h"

#include "foundation/NSError.h"
#include "foundation/NSJSONSerialization.h"
#include "net/NSURL.h"
#include "net/NSURLSession.h"
#include "net/NSURLSessionDataTask.h"
#include "networking/VNHTTPRequestSerializer.h"
#include "testing/Drain.h"
#include "testing/LoopbackServer.h"
#include "testing/TemporarySandbox.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

const std::string kBoundary = "Boundary+0xAbCdEfGbOuNdArY";

Value dict(std::vector<std::pair<Value, Value>> entries)
{
    return Value::dictionary(std::move(entries));
}
Value data(const std::string& text)
{
    return Value::data(text.data(), text.size());
}

// Reads the whole stream in chunks of `chunk` bytes.
std::string readAll(const Ref<NSInputStream>& stream, size_t chunk)
{
    stream->open();
    std::string out;
    std::vector<uint8_t> buffer(chunk);
    for (int guard = 0; guard < 100000; ++guard) {
        int64_t count = stream->read(buffer.data(), buffer.size());
        if (count <= 0)
            break;
        out.append(buffer.begin(), buffer.begin() + count);
    }
    stream->close();
    return out;
}

std::string formPart(const std::string& name, const std::string& body)
{
    return "Content-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + body;
}

} // namespace

TEST(VNStreamingMultipartFormData, StreamsPartsWithExactBoundariesWhateverTheReadSize)
{
    auto serializer = VNHTTPRequestSerializer::serializer();
    Value parameters = dict({ { "b", "x y" }, { "n", Value::null() }, { "A", 42 },
        { "nested", dict({ { "k", Value::array({ "v" }) } }) }, { "raw", data(std::string("\0\x01", 2)) } });
    auto makeRequest = [&] {
        return serializer->multipartFormRequestWithMethodURLStringParametersConstructingBodyWithBlock(
            "POST", "http://h/upload", parameters, [](const Ref<VNMultipartFormData>& form) {
                form->appendPartWithFileDataNameFileNameMimeType(data("PNGDATA"), "image", "a.png", "image/png");
                form->appendPartWithInputStreamNameFileNameLengthMimeType(
                    NSInputStream::inputStreamWithData(data("stream!")), "s", "s.bin", 7, "application/octet-stream");
            });
    };
    const std::string sep = "\r\n--" + kBoundary + "\r\n";
    const std::string expected = "--" + kBoundary + "\r\n" + formPart("A", "42") + sep + formPart("b", "x y") + sep
        + formPart("n", "") + sep + formPart("nested[k][]", "v") + sep + formPart("raw", std::string("\0\x01", 2)) + sep
        + "Content-Disposition: form-data; name=\"image\"; filename=\"a.png\"\r\nContent-Type: image/png\r\n\r\nPNGDATA"
        + sep
        + "Content-Disposition: form-data; name=\"s\"; filename=\"s.bin\"\r\nContent-Type: "
          "application/octet-stream\r\n\r\nstream!"
        + "\r\n--" + kBoundary + "--\r\n";

    for (size_t chunk : { size_t(1), size_t(3), size_t(17), size_t(65536) }) {
        SCOPED_TRACE(chunk);
        auto request = makeRequest();
        ASSERT_TRUE(request);
        ASSERT_TRUE(request->HTTPBodyStream());
        EXPECT_EQ(request->valueForHTTPHeaderField("Content-Type"),
            std::optional<std::string>("multipart/form-data; boundary=" + kBoundary));
        EXPECT_EQ(request->valueForHTTPHeaderField("Content-Length"),
            std::optional<std::string>(std::to_string(expected.size())));
        EXPECT_TRUE(request->valueForHTTPHeaderField("User-Agent"));
        auto stream = request->HTTPBodyStream();
        EXPECT_EQ(readAll(stream, chunk), expected);
        // A closed stream reads nothing more.
        uint8_t byte;
        EXPECT_EQ(stream->read(&byte, 1), 0);
    }

    // A packet size ends a read early; the bytes stay the same.
    auto throttled = std::dynamic_pointer_cast<VNMultipartBodyStream>(makeRequest()->HTTPBodyStream());
    ASSERT_TRUE(throttled);
    throttled->setNumberOfBytesInPacket(10);
    throttled->open();
    std::vector<uint8_t> buffer(4096);
    int64_t first = throttled->read(buffer.data(), buffer.size());
    EXPECT_GE(first, 10);
    EXPECT_LT(first, static_cast<int64_t>(expected.size()));
    std::string text(buffer.begin(), buffer.begin() + first);
    EXPECT_EQ(text + readAll(throttled, 4096), expected);
}

TEST(VNStreamingMultipartFormData, QuotesAndLineBreaksInNamesAreEscaped)
{
    // A quote would end the parameter early and a line break would inject a header of its own.
    auto serializer = VNHTTPRequestSerializer::serializer();
    auto request = serializer->multipartFormRequestWithMethodURLStringParametersConstructingBodyWithBlock(
        "POST", "http://h/upload", Value(), [](const Ref<VNMultipartFormData>& form) {
            form->appendPartWithFormDataName(data("v"), "field\"x");
            form->appendPartWithFileDataNameFileNameMimeType(
                data("F"), "up\r\nload", "a\"b.txt\r\nX-Injected: 1", "text/plain");
        });
    ASSERT_TRUE(request);
    std::string body = readAll(request->HTTPBodyStream(), 4096);
    EXPECT_NE(body.find("Content-Disposition: form-data; name=\"field%22x\"\r\n\r\nv"), std::string::npos) << body;
    EXPECT_NE(body.find("Content-Disposition: form-data; name=\"up%0D%0Aload\"; "
                        "filename=\"a%22b.txt%0D%0AX-Injected: 1\"\r\nContent-Type: text/plain\r\n\r\nF"),
        std::string::npos)
        << body;
    EXPECT_EQ(body.find("\r\nX-Injected"), std::string::npos);
}

TEST(VNStreamingMultipartFormData, WithoutPartsTheRequestStaysPlain)
{
    auto serializer = VNHTTPRequestSerializer::serializer();
    for (bool withBlock : { false, true }) {
        SCOPED_TRACE(withBlock);
        auto request = serializer->multipartFormRequestWithMethodURLStringParametersConstructingBodyWithBlock("POST",
            "http://h/", Value(),
            withBlock ? VNHTTPRequestSerializer::ConstructingBodyBlock([](const auto&) {}) : nullptr);
        ASSERT_TRUE(request);
        EXPECT_FALSE(request->HTTPBodyStream());
        EXPECT_FALSE(request->valueForHTTPHeaderField("Content-Type"));
        EXPECT_FALSE(request->valueForHTTPHeaderField("Content-Length"));
        EXPECT_TRUE(request->valueForHTTPHeaderField("Accept-Language"));
    }
}

TEST(VNStreamingMultipartFormData, FilePartsNeedAReachableFileURL)
{
    TemporarySandbox sandbox;
    const std::string path = sandbox.path("report.json");
    std::ofstream(path) << "{\"a\":1}";

    auto form = VNStreamingMultipartFormData::initWithURLRequestStringEncoding(
        NSMutableURLRequest::requestWithURL(NSURL::URLWithString("http://h/")), NSUTF8StringEncoding);
    struct Case {
        Ref<NSURL> url;
        const char* reason;
    };
    const Case refused[] = {
        { NSURL::URLWithString("http://h/report.json"), "Expected URL to be a file URL" },
        { NSURL::fileURLWithPath(sandbox.path("missing.json")), "File URL not reachable." },
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.reason);
        Ref<NSError> error;
        EXPECT_FALSE(form->appendPartWithFileURLNameError(c.url, "file", &error));
        ASSERT_TRUE(error);
        EXPECT_EQ(error->domain(), "VNNetworkingErrorDomain");
        EXPECT_EQ(error->code(), -1000);
        EXPECT_EQ(error->userInfo()[NSLocalizedFailureReasonErrorKey].stringValue(), c.reason);
        EXPECT_FALSE(form->appendPartWithFileURLNameError(c.url, "file", nullptr));
    }
    EXPECT_TRUE(form->bodyStream()->isEmpty());

    Ref<NSError> error;
    ASSERT_TRUE(form->appendPartWithFileURLNameError(NSURL::fileURLWithPath(path), "file", &error));
    auto request = form->requestByFinalizingMultipartFormData();
    const std::string expected = "--" + kBoundary
        + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"report.json\"\r\nContent-Type: "
          "application/json\r\n\r\n{\"a\":1}\r\n--"
        + kBoundary + "--\r\n";
    EXPECT_EQ(readAll(request->HTTPBodyStream(), 4), expected);
    EXPECT_EQ(request->valueForHTTPHeaderField("Content-Length"),
        std::optional<std::string>(std::to_string(expected.size())));
}

TEST(VNStreamingMultipartFormData, AFailingPartStreamStopsTheReadWithItsError)
{
    TemporarySandbox sandbox;
    auto form = VNStreamingMultipartFormData::initWithURLRequestStringEncoding(
        NSMutableURLRequest::requestWithURL(NSURL::URLWithString("http://h/")), NSUTF8StringEncoding);
    form->appendPartWithFormDataName(data("ok"), "first");
    form->appendPartWithInputStreamNameFileNameLengthMimeType(
        NSInputStream::inputStreamWithFileAtPath(sandbox.path("gone.bin")), "second", "gone.bin", 10, "x/y");
    auto stream = form->requestByFinalizingMultipartFormData()->HTTPBodyStream();
    stream->open();
    std::vector<uint8_t> buffer(4096);
    int64_t count = stream->read(buffer.data(), buffer.size());
    std::string text(buffer.begin(), buffer.begin() + std::max<int64_t>(count, 0));
    EXPECT_EQ(text, "--" + kBoundary + "\r\nContent-Disposition: form-data; name=\"first\"\r\n\r\nok");
    EXPECT_TRUE(stream->streamError());
    // The body cannot end as if it were complete.
    EXPECT_EQ(stream->read(buffer.data(), buffer.size()), -1);
    EXPECT_EQ(stream->streamStatus(), NSStreamStatusError);
}

TEST(VNStreamingMultipartFormData, SendsTheStreamedBodyToALoopbackServer)
{
    LoopbackServer server;
    auto serializer = VNHTTPRequestSerializer::serializer();
    auto request = serializer->multipartFormRequestWithMethodURLStringParametersConstructingBodyWithBlock("POST",
        server.url("/echo"), dict({ { "flight", "KL 1234" }, { "alt", 35000 } }),
        [](const Ref<VNMultipartFormData>& form) {
            form->appendPartWithFileDataNameFileNameMimeType(data("bytes"), "f", "f.txt", "text/plain");
        });
    ASSERT_TRUE(request);
    // The test server would parse a form itself; under another type it echoes the raw bytes.
    request->setValueForHTTPHeaderField(std::string("application/x-raw-form"), "Content-Type");
    const std::string expectedBody = "--" + kBoundary + "\r\n" + formPart("alt", "35000") + "\r\n--" + kBoundary
        + "\r\n" + formPart("flight", "KL 1234") + "\r\n--" + kBoundary
        + "\r\nContent-Disposition: form-data; name=\"f\"; filename=\"f.txt\"\r\nContent-Type: "
          "text/plain\r\n\r\nbytes\r\n--"
        + kBoundary + "--\r\n";

    Value echoed;
    Ref<NSError> failure;
    auto task = NSURLSession::sharedSession()->dataTaskWithRequestCompletionHandler(
        request, [&](const Value& body, const Ref<NSURLResponse>&, const Ref<NSError>& error) {
            failure = error;
            echoed = NSJSONSerialization::JSONObjectWithData(body.bytes(), 0, nullptr);
        });
    task->resume();
    drainAll();
    ASSERT_FALSE(failure) << failure->description();
    EXPECT_EQ(echoed["method"].stringValue(), "POST") << echoed.description();
    EXPECT_EQ(echoed["body"].stringValue(), expectedBody);
    EXPECT_EQ(echoed["headers"]["Content-Length"].stringValue(), std::to_string(expectedBody.size()));
}
