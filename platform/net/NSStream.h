#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "net/NetForward.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

enum NSStreamStatus : uint32_t {
    NSStreamStatusNotOpen = 0,
    NSStreamStatusOpening = 1,
    NSStreamStatusOpen = 2,
    NSStreamStatusReading = 3,
    NSStreamStatusWriting = 4,
    NSStreamStatusAtEnd = 5,
    NSStreamStatusClosed = 6,
    NSStreamStatusError = 7,
};

enum NSStreamEvent : uint32_t {
    NSStreamEventNone = 0,
    NSStreamEventOpenCompleted = 1,
    NSStreamEventHasBytesAvailable = 2,
    NSStreamEventHasSpaceAvailable = 4,
    NSStreamEventErrorOccurred = 8,
    NSStreamEventEndEncountered = 16,
};

inline constexpr const char* NSStreamDataWrittenToMemoryStreamKey = "NSStreamDataWrittenToMemoryStreamKey";
inline constexpr const char* NSStreamFileCurrentOffsetKey = "NSStreamFileCurrentOffsetKey";

class NSStream;

// Receives a stream's events on the run loop the stream is scheduled in.
class NSStreamDelegate {
public:
    virtual ~NSStreamDelegate() = default;
    virtual void streamHandleEvent(const Ref<NSStream>& stream, NSStreamEvent event) { }
};

// A byte stream with the platform's status values. A stream scheduled in a run loop tells its
// delegate about opening, available bytes or space, the end and errors there, one event per
// pass. Not thread-safe: use a stream from one thread at a time.
class NSStream : public NSObject {
    VX_OBJECT(NSStream, NSObject)
public:
    explicit NSStream(Passkey key)
        : NSObject(key)
    {
    }

    virtual void open();
    virtual void close();
    NSStreamStatus streamStatus() const { return m_status; }
    const Ref<NSError>& streamError() const { return m_error; }
    void setDelegate(const Weak<NSStreamDelegate>& delegate) { m_delegate = delegate; }
    virtual Value propertyForKey(const std::string& key) const { return Value(); }
    void scheduleInRunLoopForMode(const Ref<NSRunLoop>& runLoop, const std::string& mode);
    void removeFromRunLoopForMode(const Ref<NSRunLoop>& runLoop, const std::string& mode);

protected:
    void setStatus(NSStreamStatus status) { m_status = status; }
    void fail(const Ref<NSError>& error);
    // Queues an event for the delegate on every run loop the stream is scheduled in.
    void postEvent(NSStreamEvent event);

    NSStreamStatus m_status { NSStreamStatusNotOpen };
    Ref<NSError> m_error;

private:
    Weak<NSStreamDelegate> m_delegate;
    std::vector<std::pair<Weak<NSRunLoop>, std::string>> m_schedules;
};

// Reads bytes from data, a file or a subclass's own source. A subclass overrides read and
// hasBytesAvailable (and open/close when it needs to).
class NSInputStream : public NSStream {
    VX_OBJECT(NSInputStream, NSStream)
public:
    explicit NSInputStream(Passkey key)
        : NSStream(key)
    {
    }
    ~NSInputStream() override;

    static Ref<NSInputStream> inputStreamWithData(const Value& data);
    // The file is opened by open(); a missing file puts the stream in the error state then.
    static Ref<NSInputStream> inputStreamWithFileAtPath(const std::string& path);
    static Ref<NSInputStream> inputStreamWithURL(const Ref<NSURL>& url);

    void open() override;
    void close() override;
    // Bytes read (0 at the end, -1 on error or when the stream is not open).
    virtual int64_t read(uint8_t* buffer, size_t maxLength);
    virtual bool hasBytesAvailable() const;
    Value propertyForKey(const std::string& key) const override;

private:
    enum class Source { Data, File, None };
    Source m_source { Source::None };
    Value m_data;
    size_t m_offset { 0 };
    std::string m_path;
    FILE* m_file { nullptr };
};

// Writes bytes to memory or to a file. A memory stream answers its bytes for
// NSStreamDataWrittenToMemoryStreamKey; a file stream its offset for NSStreamFileCurrentOffsetKey.
class NSOutputStream : public NSStream {
    VX_OBJECT(NSOutputStream, NSStream)
public:
    explicit NSOutputStream(Passkey key)
        : NSStream(key)
    {
    }
    ~NSOutputStream() override;

    static Ref<NSOutputStream> outputStreamToMemory();
    static Ref<NSOutputStream> outputStreamToFileAtPathAppend(const std::string& path, bool append);

    void open() override;
    void close() override;
    // Bytes written, or -1 when the stream is not open or the write failed.
    virtual int64_t write(const uint8_t* buffer, size_t length);
    virtual bool hasSpaceAvailable() const;
    Value propertyForKey(const std::string& key) const override;

private:
    bool m_toMemory { true };
    Value::Bytes m_bytes;
    std::string m_path;
    bool m_append { false };
    FILE* m_file { nullptr };
    int64_t m_offset { 0 };
};
