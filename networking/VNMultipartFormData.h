#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "net/NetForward.h"

#include <cstdint>
#include <string>

// What the body block of a multipart request can append to the form. Parts keep the order in
// which they are appended.
class VNMultipartFormData {
public:
    virtual ~VNMultipartFormData() = default;

    // A file part named after the URL's last path component, with the MIME type of its
    // extension ("application/octet-stream" when unknown). False (and `error` filled) when the
    // URL is not a reachable file.
    virtual bool appendPartWithFileURLNameError(const Ref<NSURL>& fileURL, const std::string& name, Ref<NSError>* error)
        = 0;
    virtual bool appendPartWithFileURLNameFileNameMimeTypeError(const Ref<NSURL>& fileURL, const std::string& name,
        const std::string& fileName, const std::string& mimeType, Ref<NSError>* error)
        = 0;
    // A part read from `inputStream`, which must deliver exactly `length` bytes.
    virtual void appendPartWithInputStreamNameFileNameLengthMimeType(const Ref<NSInputStream>& inputStream,
        const std::string& name, const std::string& fileName, int64_t length, const std::string& mimeType)
        = 0;
    virtual void appendPartWithFileDataNameFileNameMimeType(
        const Value& data, const std::string& name, const std::string& fileName, const std::string& mimeType)
        = 0;
    virtual void appendPartWithFormDataName(const Value& data, const std::string& name) = 0;
    // A part with the given header dictionary (names to values, in the order listed) and body.
    virtual void appendPartWithHeadersBody(const Value& headers, const Value& body) = 0;
    // Limits the bytes read per read call and pauses the reading thread after each chunk.
    virtual void throttleBandwidthWithPacketSizeDelay(uint32_t numberOfBytes, double delay) = 0;
};
