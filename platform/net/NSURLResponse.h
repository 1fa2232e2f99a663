#pragma once

#include "foundation/NSCoding.h"
#include "foundation/NSObject.h"
#include "net/NetForward.h"

#include <optional>
#include <string>

inline constexpr int64_t NSURLResponseUnknownLength = -1;

// The metadata of a response: URL, MIME type, expected length and text encoding name.
// Immutable; any thread.
class NSURLResponse : public NSObject, public NSCoding {
    VX_OBJECT(NSURLResponse, NSObject)
public:
    NSURLResponse(Passkey key, Ref<NSURL> url, std::optional<std::string> mimeType, int64_t expectedLength,
        std::optional<std::string> textEncodingName);

    static Ref<NSURLResponse> initWithURLMIMETypeExpectedContentLengthTextEncodingName(const Ref<NSURL>& url,
        std::optional<std::string> mimeType, int64_t expectedLength, std::optional<std::string> textEncodingName);

    const Ref<NSURL>& URL() const { return m_url; }
    const std::optional<std::string>& MIMEType() const { return m_mimeType; }
    int64_t expectedContentLength() const { return m_expectedLength; }
    const std::optional<std::string>& textEncodingName() const { return m_textEncodingName; }
    // The URL's last path component, with an extension for the MIME type when it has none.
    std::string suggestedFilename() const;

    void encodeWithCoder(NSCoder& coder) override;
    static Ref<NSURLResponse> initWithCoder(NSCoder& coder);

    Value valueForKey(const std::string& key) override;
    std::string description() const override;

protected:
    Ref<NSURL> m_url;
    std::optional<std::string> m_mimeType;
    int64_t m_expectedLength;
    std::optional<std::string> m_textEncodingName;
};
