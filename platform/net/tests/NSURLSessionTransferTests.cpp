#include "foundation/NSDataFile.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/Sandbox.h"
#include "net/NSCachedURLResponse.h"
#include "net/NSURL.h"
#include "net/NSURLCache.h"
#include "net/NSURLError.h"
#include "net/tests/NetTestSupport.h"
#include "testing/Drain.h"
#include "testing/LoopbackServer.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

// Downloads: where the file went, what it held, and whether it was still there afterwards.
class DownloadDelegate final : public RecordingSessionDelegate {
public:
    void URLSessionDownloadTaskDidFinishDownloadingToURL(
        const Ref<NSURLSession>&, const Ref<NSURLSessionDownloadTask>&, const Ref<NSURL>& location) override
    {
        note("finished download");
        path = location->path();
        std::ifstream file(path, std::ios::binary);
        contents.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    void URLSessionDownloadTaskDidWriteDataTotalBytesWrittenTotalBytesExpectedToWrite(const Ref<NSURLSession>&,
        const Ref<NSURLSessionDownloadTask>&, int64_t, int64_t total, int64_t expected) override
    {
        note("wrote");
        lastTotal = total;
        lastExpected = expected;
    }
    void URLSessionDownloadTaskDidResumeAtOffsetExpectedTotalBytes(
        const Ref<NSURLSession>&, const Ref<NSURLSessionDownloadTask>&, int64_t offset, int64_t expected) override
    {
        note("resumed at " + std::to_string(offset) + " of " + std::to_string(expected));
    }

    void URLSessionDidFinishEventsForBackgroundURLSession(const Ref<NSURLSession>&) override
    {
        note("background events done");
    }

    std::string path;
    std::string contents;
    int64_t lastTotal { 0 };
    int64_t lastExpected { 0 };
};

class NSURLSessionTransferTest : public ::testing::Test {
protected:
    void SetUp() override { NSURLCache::sharedURLCache()->removeAllCachedResponses(); }
    void TearDown() override
    {
        drainAll();
        NSURLCache::sharedURLCache()->removeAllCachedResponses();
        resetForTesting();
    }
};

TEST_F(NSURLSessionTransferTest, BackgroundDownloadsHandTheFileToTheDelegateThenRemoveIt)
{
    URLStubs stubs;
    stubs.add({ .url = "http://feed.invalid/planes", .body = "0123456789abcdef", .chunkSize = 5 });
    auto delegate = std::make_shared<DownloadDelegate>();
    auto configuration = NSURLSessionConfiguration::backgroundSessionConfigurationWithIdentifier(
        "com.kestravon.volantrix.background.url.session");
    auto session = NSURLSession::sessionWithConfigurationDelegateDelegateQueue(configuration, delegate, nullptr);
    EXPECT_EQ(session->configuration()->identifier().value_or(""), "com.kestravon.volantrix.background.url.session");

    auto task = session->downloadTaskWithURL(NSURL::URLWithString("http://feed.invalid/planes"));
    task->resume();
    drainAll();
    EXPECT_EQ(delegate->events(),
        (std::vector<std::string> { "wrote", "finished download", "complete", "background events done" }));
    EXPECT_EQ(delegate->contents, "0123456789abcdef");
    EXPECT_EQ(delegate->lastTotal, 16);
    EXPECT_EQ(delegate->lastExpected, -1); // a chunked answer announces no length
    EXPECT_FALSE(NSFileManager::defaultManager()->fileExistsAtPath(delegate->path));
    EXPECT_EQ(task->countOfBytesReceived(), 16);
}

TEST_F(NSURLSessionTransferTest, ResumeDataContinuesADownloadWithRange)
{
    LoopbackServer server;
    auto delegate = std::make_shared<DownloadDelegate>();
    auto session = NSURLSession::sessionWithConfigurationDelegateDelegateQueue(
        NSURLSessionConfiguration::defaultSessionConfiguration(), delegate, nullptr);
    std::string expected;
    for (int i = 0; i < 10; ++i)
        expected += "0123456789";

    // A first download that stops after part of the body: 40 bytes written by hand into the
    // task's file stand for an interrupted transfer.
    std::string partialPath = NSTemporaryDirectory() + "partial-range.tmp";
    {
        std::ofstream file(partialPath, std::ios::binary);
        file << expected.substr(0, 40);
    }
    auto resumeData = NSJSONSerialization::dataWithJSONObject(
        Value::dictionary({ { "URL", server.url("/range") }, { "path", partialPath }, { "received", 40 },
            { "validator", "\"r1\"" } }),
        0, nullptr);
    auto task = session->downloadTaskWithResumeData(resumeData);
    ASSERT_TRUE(task);
    EXPECT_EQ(task->originalRequest()->valueForHTTPHeaderField("Range").value_or(""), "bytes=40-");
    EXPECT_EQ(task->originalRequest()->valueForHTTPHeaderField("If-Range").value_or(""), "\"r1\"");
    task->resume();
    drainAll();
    auto events = delegate->events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), "resumed at 40 of 100");
    EXPECT_EQ(events.back(), "complete");
    EXPECT_EQ(delegate->contents, expected);
    EXPECT_EQ(task->countOfBytesReceived(), 100);

    // Resume data that does not decode gives no task.
    EXPECT_FALSE(session->downloadTaskWithResumeData(Value::data("garbage", 7)));

    // Cancelling a download in flight produces resume data naming the partial file.
    URLStubs stubs;
    auto clock = VirtualClock::install();
    stubs.add({ .url = "http://feed.invalid/big",
        .headers = { { "ETag", "\"b1\"" } },
        .body = std::string(30, 'z'),
        .chunkSize = 10,
        .chunkDelay = 1 });
    auto big = session->downloadTaskWithURL(NSURL::URLWithString("http://feed.invalid/big"));
    big->resume();
    drainAll();
    Value produced;
    big->cancelByProducingResumeData([&](const Value& data) { produced = data; });
    drainAll();
    ASSERT_TRUE(produced.isData());
    Value info = NSJSONSerialization::JSONObjectWithData(produced.bytes(), 0, nullptr);
    EXPECT_EQ(info["URL"].stringValue(), "http://feed.invalid/big");
    EXPECT_EQ(info["validator"].stringValue(), "\"b1\"");
    EXPECT_TRUE(NSFileManager::defaultManager()->fileExistsAtPath(info["path"].stringValue()));
    EXPECT_EQ(big->error()->code(), NSURLErrorCancelled);
    clock->uninstall();
}

TEST_F(NSURLSessionTransferTest, UploadsFromDataFileAndStream)
{
    LoopbackServer server;
    auto echoURL = NSURL::URLWithString(server.url("/echo"));
    std::string filePath = NSTemporaryDirectory() + "upload.txt";
    {
        std::ofstream file(filePath, std::ios::binary);
        file << "from a file";
    }
    auto session = NSURLSession::sessionWithConfiguration(NSURLSessionConfiguration::defaultSessionConfiguration());
    auto post = NSMutableURLRequest::requestWithURL(echoURL);
    post->setHTTPMethod("POST");

    struct Result {
        std::string body;
        int32_t error { 0 };
    };
    auto run = [&](const Ref<NSURLSessionUploadTask>& task, const std::shared_ptr<Result>& result) {
        task->resume();
        drainAll();
        return *result;
    };
    auto handlerFor = [](const std::shared_ptr<Result>& result) {
        return [result](const Value& data, const Ref<NSURLResponse>&, const Ref<NSError>& error) {
            Value echoed
                = NSJSONSerialization::JSONObjectWithData(data.isData() ? data.bytes() : Value::Bytes(), 0, nullptr);
            result->body = echoed["body"].stringValue();
            result->error = error ? error->code() : 0;
        };
    };
    auto fromData = std::make_shared<Result>();
    auto dataTask = session->uploadTaskWithRequestFromDataCompletionHandler(
        post, Value::data("from data", 9), handlerFor(fromData));
    EXPECT_EQ(run(dataTask, fromData).body, "from data");
    EXPECT_EQ(dataTask->countOfBytesSent(), 9);
    EXPECT_EQ(dataTask->countOfBytesExpectedToSend(), 9);

    auto fromFile = std::make_shared<Result>();
    EXPECT_EQ(run(session->uploadTaskWithRequestFromFileCompletionHandler(
                      post, NSURL::fileURLWithPath(filePath), handlerFor(fromFile)),
                  fromFile)
                  .body,
        "from a file");

    auto missing = std::make_shared<Result>();
    EXPECT_EQ(run(session->uploadTaskWithRequestFromFileCompletionHandler(
                      post, NSURL::fileURLWithPath(filePath + ".none"), handlerFor(missing)),
                  missing)
                  .error,
        NSURLErrorFileDoesNotExist);
    EXPECT_EQ(server.requestCount(), 2);
}

TEST_F(NSURLSessionTransferTest, TheSharedCacheAnswersWhileAResponseIsFresh)
{
    auto clock = VirtualClock::install();
    URLStubs stubs;
    auto fresh = stubs.add(
        { .url = "http://feed.invalid/meta", .headers = { { "Cache-Control", "max-age=60" } }, .body = "meta" });
    auto noStore = stubs.add(
        { .url = "http://feed.invalid/live", .headers = { { "Cache-Control", "no-store" } }, .body = "live" });
    auto cache = NSURLCache::initWithMemoryCapacityDiskCapacityDiskPath(4 * 1024 * 1024, 20 * 1024 * 1024, "");
    NSURLCache::setSharedURLCache(cache);
    auto session = NSURLSession::sessionWithConfiguration(NSURLSessionConfiguration::defaultSessionConfiguration());
    auto fetch = [&](const char* url) {
        std::string body;
        session
            ->dataTaskWithURLCompletionHandler(NSURL::URLWithString(url),
                [&](const Value& data, const Ref<NSURLResponse>&, const Ref<NSError>&) { body = text(data); })
            ->resume();
        drainAll();
        return body;
    };
    struct Step {
        double advance;
        const char* url;
        const char* body;
        size_t freshRequests;
        size_t liveRequests;
    } steps[] = {
        { 0, "http://feed.invalid/meta", "meta", 1, 0 },
        { 30, "http://feed.invalid/meta", "meta", 1, 0 }, // from the cache
        { 31, "http://feed.invalid/meta", "meta", 2, 0 }, // stale: loaded again
        { 0, "http://feed.invalid/live", "live", 2, 1 },
        { 0, "http://feed.invalid/live", "live", 2, 2 }, // never stored
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.url);
        clock->advance(step.advance);
        EXPECT_EQ(fetch(step.url), step.body);
        EXPECT_EQ(fresh->requestCount(), step.freshRequests);
        EXPECT_EQ(noStore->requestCount(), step.liveRequests);
    }
    EXPECT_GT(cache->currentMemoryUsage(), 0u);
    EXPECT_EQ(cache->currentDiskUsage(), cache->currentMemoryUsage());
    EXPECT_EQ(cache->memoryCapacity(), 4u * 1024 * 1024);
    cache->removeAllCachedResponses();
    EXPECT_EQ(cache->currentMemoryUsage(), 0u);
    NSURLCache::setSharedURLCache(nullptr);
    clock->uninstall();
}

TEST_F(NSURLSessionTransferTest, StaleEntriesWithAValidatorAreRevalidated)
{
    URLStubs stubs;
    auto full
        = stubs.add({ .url = "http://feed.invalid/meta", .headers = { { "ETag", "\"v1\"" } }, .body = "versioned" });
    auto notModified = stubs.add({ .url = "http://feed.invalid/meta",
        .matcher =
            [](const Ref<NSURLRequest>& request) {
                return request->valueForHTTPHeaderField("If-None-Match") == std::optional<std::string>("\"v1\"");
            },
        .statusCode = 304 });
    auto session = NSURLSession::sessionWithConfiguration(NSURLSessionConfiguration::defaultSessionConfiguration());
    for (size_t round = 1; round <= 3; ++round) {
        SCOPED_TRACE(round);
        std::string body;
        int32_t status = 0;
        session
            ->dataTaskWithURLCompletionHandler(NSURL::URLWithString("http://feed.invalid/meta"),
                [&](const Value& data, const Ref<NSURLResponse>& response, const Ref<NSError>&) {
                    body = text(data);
                    status = std::static_pointer_cast<NSHTTPURLResponse>(response)->statusCode();
                })
            ->resume();
        drainAll();
        // From the second round on the server answers 304; the caller still sees the cached answer.
        EXPECT_EQ(body, "versioned");
        EXPECT_EQ(status, 200);
        EXPECT_EQ(full->requestCount(), 1u);
        EXPECT_EQ(notModified->requestCount(), round - 1);
    }
}

} // namespace
