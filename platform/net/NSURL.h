#pragma once

#include "foundation/NSCoding.h"
#include "foundation/NSObject.h"
#include "net/NetForward.h"

#include <optional>
#include <string>
#include <vector>

// An absolute or relative URL. Parsing is strict: a string with characters that may not stand in
// a URL (spaces, non-ASCII, a bare "%"), a malformed scheme or a bad port gives nullptr.
// A relative URL keeps its base; its absolute form is resolved with RFC 3986 rules.
// Immutable; any thread.
class NSURL : public NSObject, public NSCoding {
    VX_OBJECT(NSURL, NSObject)
public:
    struct Parts {
        std::optional<std::string> scheme;
        std::optional<std::string> user;
        std::optional<std::string> password;
        std::optional<std::string> host; // set when the URL has an authority ("//...")
        std::optional<int32_t> port;
        std::string path; // as written, still percent-encoded
        std::optional<std::string> query;
        std::optional<std::string> fragment;
    };

    NSURL(Passkey, std::string text, Parts parts, Ref<NSURL> base);

    static Ref<NSURL> URLWithString(const std::string& text);
    static Ref<NSURL> URLWithStringRelativeToURL(const std::string& text, const Ref<NSURL>& base);
    // A file URL for an absolute path ("file:///a/b"); a relative path is taken from the current
    // directory. Directories end with "/".
    static Ref<NSURL> fileURLWithPath(const std::string& path);
    static Ref<NSURL> fileURLWithPathIsDirectory(const std::string& path, bool isDirectory);

    // The text the URL was made from (relative to the base when there is one).
    const std::string& relativeString() const { return m_text; }
    std::string absoluteString() const;
    Ref<NSURL> absoluteURL() const;
    Ref<NSURL> baseURL() const { return m_base; }

    // Components of the absolute URL. Strings that are absent answer "" (and hasX answers false).
    std::string scheme() const;
    std::string host() const;
    bool hasHost() const;
    std::optional<int32_t> port() const;
    std::string user() const;
    std::string password() const;
    // The percent-decoded path without a trailing slash ("/" stays "/").
    std::string path() const;
    // The path as written, still escaped, trailing slash kept.
    std::string percentEncodedPath() const;
    std::optional<std::string> query() const;
    std::optional<std::string> fragment() const;
    std::string lastPathComponent() const;
    std::string pathExtension() const;
    std::vector<std::string> pathComponents() const;
    bool hasDirectoryPath() const;

    // Appending "" adds a trailing slash; the component is percent-escaped.
    Ref<NSURL> URLByAppendingPathComponent(const std::string& component) const;
    Ref<NSURL> URLByAppendingPathComponentIsDirectory(const std::string& component, bool isDirectory) const;
    Ref<NSURL> URLByDeletingLastPathComponent() const;
    Ref<NSURL> URLByAppendingPathExtension(const std::string& extension) const;

    bool isFileURL() const;
    // For a file URL: whether the file exists. Otherwise, or when it does not exist, false with
    // an NSCocoaErrorDomain error (260 for a missing file, 262 for a URL that is not a file URL).
    bool checkResourceIsReachableAndReturnError(Ref<NSError>* error) const;

    // Archives the text and the base; decoding parses them again (nil when they no longer parse).
    void encodeWithCoder(NSCoder& coder) override;
    static Ref<NSURL> initWithCoder(NSCoder& coder);

    std::string description() const override;
    bool isEqual(const NSObject* other) const override;
    size_t hash() const override;
    Value valueForKey(const std::string& key) override;

    // Parsing without making an object (nullopt when invalid).
    static std::optional<Parts> parse(const std::string& text);
    static std::string compose(const Parts& parts);
    // RFC 3986 section 5.2 resolution of a reference against a base.
    static Parts resolve(const Parts& base, const Parts& reference);

private:
    const Parts& absoluteParts() const;
    std::string m_text;
    Parts m_parts;
    Ref<NSURL> m_base;
    Parts m_absolute;
};
