#include "net/NSStream.h"

#include "foundation/NSError.h"
#include "foundation/NSRunLoop.h"
#include "net/NSURL.h"

#include <cerrno>
#include <cstring>

VX_REGISTER_CLASS(NSStream);
VX_REGISTER_CLASS(NSInputStream);
VX_REGISTER_CLASS(NSOutputStream);

namespace {

Ref<NSError> posixError(int code)
{
    return NSError::errorWithDomain(NSPOSIXErrorDomain, code,
        Value::dictionary({ { NSLocalizedDescriptionKey, std::string(std::strerror(code)) } }));
}

} // namespace

void NSStream::open()
{
    if (m_status != NSStreamStatusNotOpen)
        return;
    m_status = NSStreamStatusOpen;
    postEvent(NSStreamEventOpenCompleted);
}

void NSStream::close()
{
    if (m_status == NSStreamStatusNotOpen || m_status == NSStreamStatusClosed)
        return;
    m_status = NSStreamStatusClosed;
}

void NSStream::fail(const Ref<NSError>& error)
{
    m_error = error;
    m_status = NSStreamStatusError;
    postEvent(NSStreamEventErrorOccurred);
}

void NSStream::scheduleInRunLoopForMode(const Ref<NSRunLoop>& runLoop, const std::string& mode)
{
    if (runLoop)
        m_schedules.emplace_back(runLoop, mode);
}

void NSStream::removeFromRunLoopForMode(const Ref<NSRunLoop>& runLoop, const std::string& mode)
{
    std::erase_if(
        m_schedules, [&](const auto& entry) { return entry.first.lock() == runLoop && entry.second == mode; });
}

void NSStream::postEvent(NSStreamEvent event)
{
    std::vector<std::string> modes;
    Ref<NSRunLoop> loop;
    for (const auto& [weakLoop, mode] : m_schedules) {
        auto candidate = weakLoop.lock();
        if (!candidate)
            continue;
        if (!loop)
            loop = candidate;
        if (candidate == loop)
            modes.push_back(mode);
    }
    if (!loop)
        return;
    loop->performInModesBlock(modes, [weak = weak_from_this(), event] {
        auto self = std::static_pointer_cast<NSStream>(weak.lock());
        if (!self || self->m_status == NSStreamStatusClosed)
            return;
        if (auto delegate = self->m_delegate.lock())
            delegate->streamHandleEvent(self, event);
    });
}

NSInputStream::~NSInputStream()
{
    if (m_file)
        std::fclose(m_file);
}

Ref<NSInputStream> NSInputStream::inputStreamWithData(const Value& data)
{
    auto stream = make<NSInputStream>();
    stream->m_source = Source::Data;
    stream->m_data = data.isData() ? data.copy() : Value::data({});
    return stream;
}

Ref<NSInputStream> NSInputStream::inputStreamWithFileAtPath(const std::string& path)
{
    auto stream = make<NSInputStream>();
    stream->m_source = Source::File;
    stream->m_path = path;
    return stream;
}

Ref<NSInputStream> NSInputStream::inputStreamWithURL(const Ref<NSURL>& url)
{
    if (!url || !url->isFileURL())
        return nullptr;
    return inputStreamWithFileAtPath(url->path());
}

void NSInputStream::open()
{
    if (m_status != NSStreamStatusNotOpen)
        return;
    if (m_source == Source::File) {
        m_file = std::fopen(m_path.c_str(), "rb");
        if (!m_file) {
            fail(posixError(errno));
            return;
        }
    }
    NSStream::open();
    if (hasBytesAvailable())
        postEvent(NSStreamEventHasBytesAvailable);
}

void NSInputStream::close()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    NSStream::close();
}

int64_t NSInputStream::read(uint8_t* buffer, size_t maxLength)
{
    if (m_status == NSStreamStatusAtEnd)
        return 0;
    if (m_status != NSStreamStatusOpen)
        return -1;
    size_t count = 0;
    if (m_source == Source::Data) {
        const auto& bytes = m_data.bytes();
        count = std::min(maxLength, bytes.size() - m_offset);
        if (count)
            std::memcpy(buffer, bytes.data() + m_offset, count);
        m_offset += count;
    } else if (m_source == Source::File && m_file) {
        count = std::fread(buffer, 1, maxLength, m_file);
        if (count == 0 && std::ferror(m_file)) {
            fail(posixError(EIO));
            return -1;
        }
        m_offset += count;
    }
    if (count == 0 || !hasBytesAvailable()) {
        if (count == 0 || m_source == Source::Data) {
            bool atEnd = m_source != Source::File || std::feof(m_file) || count == 0;
            if (atEnd && !hasBytesAvailable()) {
                m_status = NSStreamStatusAtEnd;
                postEvent(NSStreamEventEndEncountered);
            }
        }
    } else {
        postEvent(NSStreamEventHasBytesAvailable);
    }
    return int64_t(count);
}

bool NSInputStream::hasBytesAvailable() const
{
    if (m_status != NSStreamStatusOpen)
        return false;
    if (m_source == Source::Data)
        return m_offset < m_data.bytes().size();
    if (m_source == Source::File && m_file) {
        int c = std::fgetc(m_file);
        if (c == EOF)
            return false;
        std::ungetc(c, m_file);
        return true;
    }
    return false;
}

Value NSInputStream::propertyForKey(const std::string& key) const
{
    if (key == NSStreamFileCurrentOffsetKey && m_source == Source::File)
        return Value(int64_t(m_offset));
    return Value();
}

NSOutputStream::~NSOutputStream()
{
    if (m_file)
        std::fclose(m_file);
}

Ref<NSOutputStream> NSOutputStream::outputStreamToMemory()
{
    return make<NSOutputStream>();
}

Ref<NSOutputStream> NSOutputStream::outputStreamToFileAtPathAppend(const std::string& path, bool append)
{
    auto stream = make<NSOutputStream>();
    stream->m_toMemory = false;
    stream->m_path = path;
    stream->m_append = append;
    return stream;
}

void NSOutputStream::open()
{
    if (m_status != NSStreamStatusNotOpen)
        return;
    if (!m_toMemory) {
        m_file = std::fopen(m_path.c_str(), m_append ? "ab" : "wb");
        if (!m_file) {
            fail(posixError(errno));
            return;
        }
        m_offset = std::ftell(m_file);
    }
    NSStream::open();
    postEvent(NSStreamEventHasSpaceAvailable);
}

void NSOutputStream::close()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    NSStream::close();
}

int64_t NSOutputStream::write(const uint8_t* buffer, size_t length)
{
    if (m_status != NSStreamStatusOpen)
        return -1;
    if (m_toMemory) {
        m_bytes.insert(m_bytes.end(), buffer, buffer + length);
    } else {
        size_t written = std::fwrite(buffer, 1, length, m_file);
        if (written < length || std::fflush(m_file) != 0) {
            fail(posixError(errno ? errno : EIO));
            return -1;
        }
        m_offset += int64_t(written);
    }
    postEvent(NSStreamEventHasSpaceAvailable);
    return int64_t(length);
}

bool NSOutputStream::hasSpaceAvailable() const
{
    return m_status == NSStreamStatusOpen;
}

Value NSOutputStream::propertyForKey(const std::string& key) const
{
    if (key == NSStreamDataWrittenToMemoryStreamKey)
        return m_toMemory ? Value::data(m_bytes) : Value();
    if (key == NSStreamFileCurrentOffsetKey)
        return m_toMemory ? Value() : Value(m_offset);
    return Value();
}
