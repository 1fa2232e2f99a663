#pragma once

#include "foundation/FoundationForward.h"
#include "foundation/Value.h"

#include <cstdint>
#include <optional>
#include <string>

// Reading and writing whole files as data and as text. Failures answer nil/NO and, when an
// error slot is given, the platform's file error (see NSFileManager.h). Any thread.
namespace NSData {

enum NSDataReadingOptions : uint32_t {
    NSDataReadingMappedIfSafe = 1 << 0,
    NSDataReadingUncached = 1 << 1,
    NSDataReadingMappedAlways = 1 << 3,
};

enum NSDataWritingOptions : uint32_t {
    // Write a temporary file beside the target, flush it to disk and rename it over the
    // target, so readers see either the old or the new contents, never a part.
    NSDataWritingAtomic = 1 << 0,
    // Fail with NSFileWriteFileExistsError when the file exists.
    NSDataWritingWithoutOverwriting = 1 << 1,
};

// The file's bytes as a data Value; nil on failure. The reading options are accepted and
// make no difference.
Value dataWithContentsOfFile(const std::string& path, uint32_t options = 0, Ref<NSError>* error = nullptr);
// Writes the bytes of a data Value (a string Value writes its UTF-8 bytes).
bool writeToFile(const Value& data, const std::string& path, bool atomically);
bool writeToFile(const Value& data, const std::string& path, NSDataWritingOptions options, Ref<NSError>* error);

} // namespace NSData

namespace NSString {

// Text encodings the file helpers understand: ASCII (1), UTF-8 (4), ISO Latin 1 (5) and
// UTF-16 (10, byte order from the byte-order mark, big-endian without one).
inline constexpr uint32_t FileEncodingASCII = 1;
inline constexpr uint32_t FileEncodingUTF8 = 4;
inline constexpr uint32_t FileEncodingISOLatin1 = 5;
inline constexpr uint32_t FileEncodingUTF16 = 10;

// The file's text converted to UTF-8; nil with NSFileReadInapplicableStringEncodingError (261)
// when the bytes are not valid in that encoding, NSFileReadUnknownError for an unknown one.
std::optional<std::string> stringWithContentsOfFile(
    const std::string& path, uint32_t encoding, Ref<NSError>* error = nullptr);
// Writes the UTF-8 text converted to `encoding`; NSFileWriteInapplicableStringEncodingError
// (517) when it cannot be represented.
bool writeToFile(const std::string& text, const std::string& path, bool atomically, uint32_t encoding,
    Ref<NSError>* error = nullptr);

// Text in that encoding to UTF-8, or nil when the bytes are not valid. A UTF-8 or UTF-16
// byte-order mark is dropped.
std::optional<std::string> decodeText(const uint8_t* bytes, size_t length, uint32_t encoding);

} // namespace NSString
