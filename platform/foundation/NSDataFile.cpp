#include "foundation/NSDataFile.h"

#include "foundation/NSFileManager.h"
#include "foundation/NSFileManagerErrors.h"
#include "foundation/NSString.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using FileErrors::Operation;

struct FileDescriptor {
    int fd { -1 };
    explicit FileDescriptor(int f)
        : fd(f)
    {
    }
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
};

bool writeAll(int fd, const uint8_t* bytes, size_t length)
{
    while (length > 0) {
        ssize_t n = ::write(fd, bytes, length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

std::string directoryOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeBytes(const uint8_t* bytes, size_t length, const std::string& path, uint32_t options, Ref<NSError>* error)
{
    bool atomic = options & NSData::NSDataWritingAtomic;
    bool exclusive = options & NSData::NSDataWritingWithoutOverwriting;
    if (path.empty())
        return FileErrors::fail(error, FileErrors::make(NSFileWriteInvalidFileNameError, 0, path));

    if (!atomic) {
        int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (exclusive ? O_EXCL : 0);
        FileDescriptor file(::open(path.c_str(), flags, 0666));
        if (file.fd < 0)
            return FileErrors::fail(error, FileErrors::make(errno, Operation::Write, path));
        if (!writeAll(file.fd, bytes, length))
            return FileErrors::fail(error, FileErrors::make(errno, Operation::Write, path));
        if (::close(file.fd) != 0) {
            file.fd = -1;
            return FileErrors::fail(error, FileErrors::make(errno, Operation::Write, path));
        }
        file.fd = -1;
        return true;
    }

    if (exclusive) {
        struct stat st;
        if (::lstat(path.c_str(), &st) == 0)
            return FileErrors::fail(error, FileErrors::make(EEXIST, Operation::Write, path));
    }
    std::string temporary = path + ".vxtmp.XXXXXX";
    FileDescriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.fd < 0)
        return FileErrors::fail(error, FileErrors::make(errno, Operation::Write, path));
    auto discard = [&](int err) {
        ::unlink(temporary.c_str());
        return FileErrors::fail(error, FileErrors::make(err, Operation::Write, path));
    };
    // mkstemp makes the file 0600; give it the mode an ordinary new file would have.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(file.fd, 0666 & ~mask);
    if (!writeAll(file.fd, bytes, length) || ::fsync(file.fd) != 0)
        return discard(errno);
    int closed = ::close(file.fd);
    file.fd = -1;
    if (closed != 0)
        return discard(errno);
    if (::rename(temporary.c_str(), path.c_str()) != 0)
        return discard(errno);
    // Make the rename itself durable.
    FileDescriptor directory(::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.fd >= 0)
        ::fsync(directory.fd);
    return true;
}

std::optional<Value::Bytes> readBytes(const std::string& path, Ref<NSError>* error)
{
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.fd < 0) {
        FileErrors::fail(error, FileErrors::make(errno, Operation::Read, path));
        return std::nullopt;
    }
    struct stat st;
    if (::fstat(file.fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
        FileErrors::fail(error, FileErrors::make(err, Operation::Read, path));
        return std::nullopt;
    }
    Value::Bytes bytes;
    bytes.reserve(st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0);
    uint8_t buffer[65536];
    for (;;) {
        ssize_t n = ::read(file.fd, buffer, sizeof(buffer));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            FileErrors::fail(error, FileErrors::make(errno, Operation::Read, path));
            return std::nullopt;
        }
        if (n == 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

// Decodes one UTF-8 scalar at `i`; nullopt for malformed, overlong or surrogate sequences.
std::optional<uint32_t> nextUTF8(const uint8_t* s, size_t length, size_t& i)
{
    uint8_t b = s[i];
    if (b < 0x80) {
        ++i;
        return b;
    }
    size_t extra;
    uint32_t c, minimum;
    if ((b & 0xE0) == 0xC0) {
        extra = 1, c = b & 0x1F, minimum = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        extra = 2, c = b & 0x0F, minimum = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        extra = 3, c = b & 0x07, minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (i + extra >= length)
        return std::nullopt;
    for (size_t k = 1; k <= extra; ++k) {
        if ((s[i + k] & 0xC0) != 0x80)
            return std::nullopt;
        c = (c << 6) | (s[i + k] & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return std::nullopt;
    i += extra + 1;
    return c;
}

std::optional<std::string> decodeUTF16(const uint8_t* bytes, size_t length, bool bigEndian)
{
    if (length % 2 != 0)
        return std::nullopt;
    std::string out;
    out.reserve(length);
    auto unit = [&](size_t i) -> uint32_t {
        return bigEndian ? (bytes[i] << 8 | bytes[i + 1]) : (bytes[i + 1] << 8 | bytes[i]);
    };
    for (size_t i = 0; i < length; i += 2) {
        uint32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 3 >= length)
                return std::nullopt;
            uint32_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF)
                return std::nullopt;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return std::nullopt;
        }
        NSString::appendUTF8(out, c);
    }
    return out;
}

std::optional<Value::Bytes> encodeText(const std::string& text, uint32_t encoding)
{
    const auto* s = reinterpret_cast<const uint8_t*>(text.data());
    switch (encoding) {
    case NSString::FileEncodingUTF8:
        if (!NSString::decodeText(s, text.size(), encoding))
            return std::nullopt;
        return Value::Bytes(s, s + text.size());
    case NSString::FileEncodingASCII:
    case NSString::FileEncodingISOLatin1:
    case NSString::FileEncodingUTF16: {
        Value::Bytes out;
        if (encoding == NSString::FileEncodingUTF16)
            out = { 0xFE, 0xFF };
        for (size_t i = 0; i < text.size();) {
            auto c = nextUTF8(s, text.size(), i);
            if (!c)
                return std::nullopt;
            if (encoding == NSString::FileEncodingUTF16) {
                auto push = [&](uint32_t u) {
                    out.push_back(static_cast<uint8_t>(u >> 8));
                    out.push_back(static_cast<uint8_t>(u & 0xFF));
                };
                if (*c >= 0x10000) {
                    push(0xD800 + ((*c - 0x10000) >> 10));
                    push(0xDC00 + ((*c - 0x10000) & 0x3FF));
                } else {
                    push(*c);
                }
            } else {
                uint32_t limit = encoding == NSString::FileEncodingASCII ? 0x80 : 0x100;
                if (*c >= limit)
                    return std::nullopt;
                out.push_back(static_cast<uint8_t>(*c));
            }
        }
        return out;
    }
    default:
        return std::nullopt;
    }
}

bool knownEncoding(uint32_t encoding)
{
    return encoding == NSString::FileEncodingASCII || encoding == NSString::FileEncodingUTF8
        || encoding == NSString::FileEncodingISOLatin1 || encoding == NSString::FileEncodingUTF16;
}

} // namespace

namespace NSData {

Value dataWithContentsOfFile(const std::string& path, uint32_t, Ref<NSError>* error)
{
    auto bytes = readBytes(path, error);
    if (!bytes)
        return {};
    return Value::data(std::move(*bytes));
}

bool writeToFile(const Value& data, const std::string& path, bool atomically)
{
    return writeToFile(data, path, atomically ? NSDataWritingAtomic : NSDataWritingOptions(0), nullptr);
}

bool writeToFile(const Value& data, const std::string& path, NSDataWritingOptions options, Ref<NSError>* error)
{
    if (data.isString()) {
        const std::string& s = data.string();
        return writeBytes(reinterpret_cast<const uint8_t*>(s.data()), s.size(), path, options, error);
    }
    const Value::Bytes& bytes = data.bytes();
    return writeBytes(bytes.data(), bytes.size(), path, options, error);
}

} // namespace NSData

namespace NSString {

std::optional<std::string> decodeText(const uint8_t* bytes, size_t length, uint32_t encoding)
{
    switch (encoding) {
    case FileEncodingUTF8: {
        size_t start = length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF ? 3 : 0;
        for (size_t i = start; i < length;) {
            if (!nextUTF8(bytes, length, i))
                return std::nullopt;
        }
        return std::string(reinterpret_cast<const char*>(bytes) + start, length - start);
    }
    case FileEncodingASCII: {
        for (size_t i = 0; i < length; ++i) {
            if (bytes[i] >= 0x80)
                return std::nullopt;
        }
        return std::string(reinterpret_cast<const char*>(bytes), length);
    }
    case FileEncodingISOLatin1: {
        std::string out;
        for (size_t i = 0; i < length; ++i)
            NSString::appendUTF8(out, bytes[i]);
        return out;
    }
    case FileEncodingUTF16:
        if (length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
            return decodeUTF16(bytes + 2, length - 2, false);
        if (length >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
            return decodeUTF16(bytes + 2, length - 2, true);
        return decodeUTF16(bytes, length, true);
    default:
        return std::nullopt;
    }
}

std::optional<std::string> stringWithContentsOfFile(const std::string& path, uint32_t encoding, Ref<NSError>* error)
{
    if (!knownEncoding(encoding)) {
        FileErrors::fail(error, FileErrors::make(NSFileReadUnknownError, 0, path));
        return std::nullopt;
    }
    auto bytes = readBytes(path, error);
    if (!bytes)
        return std::nullopt;
    auto text = decodeText(bytes->data(), bytes->size(), encoding);
    if (!text)
        FileErrors::fail(error, FileErrors::make(NSFileReadInapplicableStringEncodingError, 0, path));
    return text;
}

bool writeToFile(
    const std::string& text, const std::string& path, bool atomically, uint32_t encoding, Ref<NSError>* error)
{
    auto bytes = encodeText(text, encoding);
    if (!bytes)
        return FileErrors::fail(error, FileErrors::make(NSFileWriteInapplicableStringEncodingError, 0, path));
    return writeBytes(
        bytes->data(), bytes->size(), path, atomically ? uint32_t(NSData::NSDataWritingAtomic) : 0u, error);
}

} // namespace NSString
