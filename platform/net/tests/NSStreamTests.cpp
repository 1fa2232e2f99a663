#include "foundation/NSError.h"
#include "foundation/NSRunLoop.h"
#include "foundation/Sandbox.h"
#include "net/NSStream.h"
#include "testing/Drain.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

std::string readAll(const Ref<NSInputStream>& stream, size_t chunk)
{
    std::string out;
    std::vector<uint8_t> buffer(chunk);
    for (;;) {
        int64_t n = stream->read(buffer.data(), buffer.size());
        if (n <= 0)
            break;
        out.append(buffer.begin(), buffer.begin() + n);
    }
    return out;
}

class EventLog final : public NSStreamDelegate {
public:
    void streamHandleEvent(const Ref<NSStream>&, NSStreamEvent event) override { events.push_back(event); }
    std::vector<uint32_t> events;
};

TEST(NSStream, InputStreamsReadDataAndFilesToTheEnd)
{
    std::string path = NSTemporaryDirectory() + "stream-in.txt";
    std::ofstream(path) << "file contents";
    struct Case {
        const char* name;
        Ref<NSInputStream> stream;
        std::string contents;
        NSStreamStatus endStatus;
    } cases[] = {
        { "data", NSInputStream::inputStreamWithData(Value::data("some bytes", 10)), "some bytes",
            NSStreamStatusAtEnd },
        { "empty data", NSInputStream::inputStreamWithData(Value::data({})), "", NSStreamStatusAtEnd },
        { "file", NSInputStream::inputStreamWithFileAtPath(path), "file contents", NSStreamStatusAtEnd },
        { "missing file", NSInputStream::inputStreamWithFileAtPath(path + ".none"), "", NSStreamStatusError },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.stream->streamStatus(), NSStreamStatusNotOpen);
        uint8_t byte;
        EXPECT_EQ(c.stream->read(&byte, 1), -1); // not open yet
        c.stream->open();
        EXPECT_EQ(readAll(c.stream, 3), c.contents);
        EXPECT_EQ(c.stream->streamStatus(), c.endStatus);
        EXPECT_EQ(bool(c.stream->streamError()), c.endStatus == NSStreamStatusError);
        c.stream->close();
    }
}

TEST(NSStream, OutputStreamsKeepWhatWasWrittenAndTellTheirRunLoop)
{
    auto memory = NSOutputStream::outputStreamToMemory();
    auto log = std::make_shared<EventLog>();
    memory->setDelegate(log);
    memory->scheduleInRunLoopForMode(NSRunLoop::currentRunLoop(), NSDefaultRunLoopMode);
    EXPECT_EQ(memory->write(reinterpret_cast<const uint8_t*>("x"), 1), -1);
    memory->open();
    EXPECT_EQ(memory->write(reinterpret_cast<const uint8_t*>("hello "), 6), 6);
    EXPECT_EQ(memory->write(reinterpret_cast<const uint8_t*>("world"), 5), 5);
    drainAll();
    EXPECT_EQ(log->events,
        (std::vector<uint32_t> { NSStreamEventOpenCompleted, NSStreamEventHasSpaceAvailable,
            NSStreamEventHasSpaceAvailable, NSStreamEventHasSpaceAvailable }));
    memory->close();
    auto written = memory->propertyForKey(NSStreamDataWrittenToMemoryStreamKey);
    EXPECT_EQ(std::string(written.bytes().begin(), written.bytes().end()), "hello world");

    std::string path = NSTemporaryDirectory() + "stream-out.txt";
    struct Case {
        bool append;
        int64_t offsetAfter;
        std::string contents;
    } cases[] = { { false, 3, "abc" }, { true, 6, "abcabc" }, { false, 3, "abc" } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.append);
        auto file = NSOutputStream::outputStreamToFileAtPathAppend(path, c.append);
        file->open();
        file->write(reinterpret_cast<const uint8_t*>("abc"), 3);
        EXPECT_EQ(file->propertyForKey(NSStreamFileCurrentOffsetKey).longLongValue(), c.offsetAfter);
        file->close();
        std::ifstream in(path);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), c.contents);
    }
    auto unwritable = NSOutputStream::outputStreamToFileAtPathAppend("/nonexistent-dir/x", false);
    unwritable->open();
    EXPECT_EQ(unwritable->streamStatus(), NSStreamStatusError);
    EXPECT_EQ(unwritable->write(reinterpret_cast<const uint8_t*>("a"), 1), -1);
}

} // namespace
