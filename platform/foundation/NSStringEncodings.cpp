// NSString: text encodings (IANA names, decoding bytes, encoding text).
#include "foundation/NSString.h"

#include "foundation/NSStringInternal.h"

#include <unicode/ucnv.h>

#include <cctype>

namespace NSString {

using namespace NSStringInternal;

// MARK: Encodings

namespace {

struct EncodingName {
    NSStringEncoding encoding;
    const char* name;
    const char* converter; // ICU converter for encodings without a hand-written path
};

// The first entry of each encoding is its IANA name; the rest are accepted aliases.
constexpr EncodingName kEncodingNames[] = {
    { NSUTF8StringEncoding, "utf-8", "UTF-8" },
    { NSASCIIStringEncoding, "us-ascii", "US-ASCII" },
    { NSISOLatin1StringEncoding, "iso-8859-1", "ISO-8859-1" },
    { NSUTF16StringEncoding, "utf-16", "UTF-16" },
    { NSUTF16BigEndianStringEncoding, "utf-16be", "UTF-16BE" },
    { NSUTF16LittleEndianStringEncoding, "utf-16le", "UTF-16LE" },
    { NSUTF32StringEncoding, "utf-32", "UTF-32" },
    { NSUTF32BigEndianStringEncoding, "utf-32be", "UTF-32BE" },
    { NSUTF32LittleEndianStringEncoding, "utf-32le", "UTF-32LE" },
    { NSWindowsCP1250StringEncoding, "windows-1250", "windows-1250" },
    { NSWindowsCP1251StringEncoding, "windows-1251", "windows-1251" },
    { NSWindowsCP1252StringEncoding, "windows-1252", "windows-1252" },
    { NSWindowsCP1253StringEncoding, "windows-1253", "windows-1253" },
    { NSWindowsCP1254StringEncoding, "windows-1254", "windows-1254" },
    { NSISOLatin2StringEncoding, "iso-8859-2", "ISO-8859-2" },
    { NSMacOSRomanStringEncoding, "macintosh", "macintosh" },
    { NSShiftJISStringEncoding, "shift_jis", "Shift_JIS" },
    { NSJapaneseEUCStringEncoding, "euc-jp", "EUC-JP" },
    { NSISO2022JPStringEncoding, "iso-2022-jp", "ISO-2022-JP" },
    { NSUTF8StringEncoding, "utf8", "UTF-8" },
    { NSASCIIStringEncoding, "ascii", "US-ASCII" },
    { NSASCIIStringEncoding, "iso646-us", "US-ASCII" },
    { NSISOLatin1StringEncoding, "latin1", "ISO-8859-1" },
    { NSISOLatin1StringEncoding, "iso_8859-1", "ISO-8859-1" },
    { NSISOLatin1StringEncoding, "iso-latin-1", "ISO-8859-1" },
    { NSISOLatin2StringEncoding, "latin2", "ISO-8859-2" },
    { NSWindowsCP1252StringEncoding, "cp1252", "windows-1252" },
    { NSShiftJISStringEncoding, "sjis", "Shift_JIS" },
    { NSMacOSRomanStringEncoding, "mac", "macintosh" },
};

const EncodingName* encodingEntry(NSStringEncoding encoding)
{
    for (const auto& entry : kEncodingNames) {
        if (entry.encoding == encoding)
            return &entry;
    }
    return nullptr;
}

std::optional<std::string> decodeUTF16(const uint8_t* bytes, size_t length, bool bigEndian)
{
    if (length % 2)
        return std::nullopt;
    std::u16string units(length / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = bigEndian ? static_cast<char16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1])
                             : static_cast<char16_t>(bytes[2 * i + 1] << 8 | bytes[2 * i]);
    for (size_t i = 0; i < units.size();) {
        UChar32 c;
        U16_NEXT(units.data(), i, units.size(), c);
        if (U_IS_SURROGATE(c))
            return std::nullopt;
    }
    return fromUTF16(units);
}

// Conversion through an ICU converter that stops at the first unmappable character.
std::optional<std::string> decodeWithConverter(const char* name, const uint8_t* bytes, size_t length)
{
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(name, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    icu::UnicodeString text(reinterpret_cast<const char*>(bytes), static_cast<int32_t>(length), converter, status);
    ucnv_close(converter);
    if (U_FAILURE(status))
        return std::nullopt;
    return fromICU(text);
}

std::optional<std::vector<uint8_t>> encodeWithConverter(const char* name, std::string_view s)
{
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(name, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    ucnv_setFromUCallBack(converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    icu::UnicodeString text = toICU(s);
    std::vector<uint8_t> out(static_cast<size_t>(text.length()) * 4 + 4);
    int32_t written
        = text.extract(reinterpret_cast<char*>(out.data()), static_cast<int32_t>(out.size()), converter, status);
    ucnv_close(converter);
    if (U_FAILURE(status))
        return std::nullopt;
    out.resize(static_cast<size_t>(written));
    return out;
}

} // namespace

std::optional<NSStringEncoding> encodingFromIANACharsetName(std::string_view name)
{
    std::string lower;
    for (char c : name)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& entry : kEncodingNames) {
        if (lower == entry.name)
            return entry.encoding;
    }
    return std::nullopt;
}

std::optional<std::string> IANACharsetNameFromEncoding(NSStringEncoding encoding)
{
    for (const auto& entry : kEncodingNames) {
        if (entry.encoding == encoding)
            return std::string(entry.name);
    }
    return std::nullopt;
}

std::optional<std::string> stringWithBytes(const void* data, size_t length, NSStringEncoding encoding)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (!bytes && length)
        return std::nullopt;
    switch (encoding) {
    case NSUTF8StringEncoding: {
        std::string_view text(reinterpret_cast<const char*>(bytes), length);
        if (!isValidUTF8(text))
            return std::nullopt;
        return std::string(text);
    }
    case NSASCIIStringEncoding:
        for (size_t i = 0; i < length; ++i) {
            if (bytes[i] >= 0x80)
                return std::nullopt;
        }
        return std::string(reinterpret_cast<const char*>(bytes), length);
    case NSISOLatin1StringEncoding: {
        std::string out;
        out.reserve(length);
        for (size_t i = 0; i < length; ++i)
            appendUTF8(out, bytes[i]);
        return out;
    }
    case NSUTF16StringEncoding:
        if (length >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
            return decodeUTF16(bytes + 2, length - 2, true);
        if (length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
            return decodeUTF16(bytes + 2, length - 2, false);
        return decodeUTF16(bytes, length, true);
    case NSUTF16BigEndianStringEncoding:
        return decodeUTF16(bytes, length, true);
    case NSUTF16LittleEndianStringEncoding:
        return decodeUTF16(bytes, length, false);
    default:
        if (const EncodingName* entry = encodingEntry(encoding))
            return decodeWithConverter(entry->converter, bytes, length);
        return std::nullopt;
    }
}

std::optional<std::string> stringWithData(const std::vector<uint8_t>& data, NSStringEncoding encoding)
{
    return stringWithBytes(data.data(), data.size(), encoding);
}

std::optional<std::vector<uint8_t>> dataUsingEncoding(std::string_view s, NSStringEncoding encoding)
{
    std::vector<uint8_t> out;
    bool ok = true;
    auto putUnits = [&](bool bigEndian) {
        for (char16_t unit : toUTF16(s)) {
            uint8_t hi = static_cast<uint8_t>(unit >> 8), lo = static_cast<uint8_t>(unit & 0xFF);
            out.push_back(bigEndian ? hi : lo);
            out.push_back(bigEndian ? lo : hi);
        }
    };
    switch (encoding) {
    case NSUTF8StringEncoding:
        forEachCodePoint(s, [&](char32_t c, size_t, size_t) {
            std::string piece;
            appendUTF8(piece, c);
            out.insert(out.end(), piece.begin(), piece.end());
        });
        return out;
    case NSASCIIStringEncoding:
    case NSISOLatin1StringEncoding: {
        char32_t limit = encoding == NSASCIIStringEncoding ? 0x80 : 0x100;
        forEachCodePoint(s, [&](char32_t c, size_t, size_t) {
            if (c >= limit)
                ok = false;
            out.push_back(static_cast<uint8_t>(c));
        });
        if (!ok)
            return std::nullopt;
        return out;
    }
    case NSUTF16StringEncoding:
        // With a byte-order mark, in little-endian order.
        out = { 0xFF, 0xFE };
        putUnits(false);
        return out;
    case NSUTF16BigEndianStringEncoding:
        putUnits(true);
        return out;
    case NSUTF16LittleEndianStringEncoding:
        putUnits(false);
        return out;
    default:
        if (const EncodingName* entry = encodingEntry(encoding))
            return encodeWithConverter(entry->converter, s);
        return std::nullopt;
    }
}

} // namespace NSString
