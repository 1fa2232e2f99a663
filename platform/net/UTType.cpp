#include "net/UTType.h"

#include <cctype>

namespace {

struct TypeEntry {
    const char* identifier;
    const char* extension;
    const char* mimeType;
};

// Preferred entries first: the first row for a tag answers it.
constexpr TypeEntry s_types[] = {
    { "public.png", "png", "image/png" },
    { "public.jpeg", "jpg", "image/jpeg" },
    { "public.jpeg", "jpeg", "image/jpeg" },
    { "com.compuserve.gif", "gif", "image/gif" },
    { "public.tiff", "tiff", "image/tiff" },
    { "public.tiff", "tif", "image/tiff" },
    { "com.microsoft.bmp", "bmp", "image/bmp" },
    { "com.microsoft.ico", "ico", "image/vnd.microsoft.icon" },
    { "public.svg-image", "svg", "image/svg+xml" },
    { "public.plain-text", "txt", "text/plain" },
    { "public.html", "html", "text/html" },
    { "public.html", "htm", "text/html" },
    { "public.css", "css", "text/css" },
    { "public.comma-separated-values-text", "csv", "text/csv" },
    { "public.xml", "xml", "application/xml" },
    { "public.json", "json", "application/json" },
    { "com.netscape.javascript-source", "js", "application/javascript" },
    { "com.adobe.pdf", "pdf", "application/pdf" },
    { "public.zip-archive", "zip", "application/zip" },
    { "org.gnu.gnu-zip-archive", "gz", "application/x-gzip" },
    { "com.apple.property-list", "plist", "application/x-plist" },
    { "public.mpeg-4", "mp4", "video/mp4" },
    { "com.apple.quicktime-movie", "mov", "video/quicktime" },
    { "public.mp3", "mp3", "audio/mpeg" },
    { "com.microsoft.waveform-audio", "wav", "audio/wav" },
    { "public.mpeg-4-audio", "m4a", "audio/mp4" },
    { "com.apple.coreaudio-format", "caf", "audio/x-caf" },
    { "public.rtf", "rtf", "text/rtf" },
    { "com.microsoft.word.doc", "doc", "application/msword" },
    { "com.microsoft.excel.xls", "xls", "application/vnd.ms-excel" },
    { "public.data", "bin", "application/octet-stream" },
};

std::string lower(std::string s)
{
    for (auto& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

std::string UTTypeCreatePreferredIdentifierForTag(
    const std::string& tagClass, const std::string& tag, const std::optional<std::string>&)
{
    std::string key = lower(tag);
    bool byExtension = tagClass == kUTTagClassFilenameExtension;
    for (const auto& entry : s_types) {
        if (byExtension ? key == entry.extension : key == entry.mimeType)
            return entry.identifier;
    }
    return "dyn." + std::string(byExtension ? "ext" : "mime") + "." + key;
}

std::optional<std::string> UTTypeCopyPreferredTagWithClass(const std::string& identifier, const std::string& tagClass)
{
    for (const auto& entry : s_types) {
        if (identifier == entry.identifier)
            return std::string(tagClass == kUTTagClassMIMEType ? entry.mimeType : entry.extension);
    }
    return std::nullopt;
}

std::string MIMETypeForPathExtension(const std::string& extension)
{
    auto identifier = UTTypeCreatePreferredIdentifierForTag(kUTTagClassFilenameExtension, extension);
    return UTTypeCopyPreferredTagWithClass(identifier, kUTTagClassMIMEType).value_or("application/octet-stream");
}
