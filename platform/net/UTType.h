#pragma once

#include <optional>
#include <string>

// Type identifiers from file-name extensions and MIME types, over a built-in table.
inline constexpr const char* kUTTagClassFilenameExtension = "public.filename-extension";
inline constexpr const char* kUTTagClassMIMEType = "public.mime-type";

// The type identifier for a tag of a class ("png" as an extension gives "public.png"); an
// unknown tag gives a dynamic identifier "dyn.<class>.<tag>".
std::string UTTypeCreatePreferredIdentifierForTag(
    const std::string& tagClass, const std::string& tag, const std::optional<std::string>& conformingTo = std::nullopt);
// The preferred tag of a class for a type identifier; nullopt when the table has none.
std::optional<std::string> UTTypeCopyPreferredTagWithClass(const std::string& identifier, const std::string& tagClass);
// The MIME type for a file name's extension (case-insensitive), or "application/octet-stream".
std::string MIMETypeForPathExtension(const std::string& extension);
