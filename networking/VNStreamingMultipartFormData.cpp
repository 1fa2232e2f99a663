#include "networking/VNStreamingMultipartFormData.h"

#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSFileManager.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"
#include "net/UTType.h"
#include "networking/VNURLResponseSerialization.h"

VX_REGISTER_CLASS(VNStreamingMultipartFormData);

namespace {

Ref<NSError> badFileURLError(const std::string& reason)
{
    auto bundle = NSBundle::mainBundle();
    std::string localized = bundle ? bundle->localizedStringForKey(reason, reason, "VNNetworking") : reason;
    Value userInfo = Value::dictionary({ { Value(NSLocalizedFailureReasonErrorKey), Value(localized) } });
    return NSError::errorWithDomain(VNNetworkingErrorDomain, NSURLErrorBadURL, userInfo);
}

Value headerDictionary(std::initializer_list<std::pair<const char*, std::string>> headers)
{
    Value dictionary = Value::mutableDictionary();
    for (const auto& [field, value] : headers)
        dictionary.setObjectForKey(Value(value), Value(field));
    return dictionary;
}

// A name or file name as it goes between the quotes of a Content-Disposition parameter: a quote
// would end the value early and a line break would start a header of its own, so both are
// percent-escaped.
std::string quotedParameter(const std::string& value)
{
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        if (c == '"')
            out += "%22";
        else if (c == '\r')
            out += "%0D";
        else if (c == '\n')
            out += "%0A";
        else
            out += c;
    }
    return out;
}

// The headers of a part that carries a file: its form name, file name and MIME type.
Value filePartHeaders(const std::string& name, const std::string& fileName, const std::string& mimeType)
{
    return headerDictionary({
        { "Content-Disposition",
            NSString::stringWithFormat(
                "form-data; name=\"%@\"; filename=\"%@\"", quotedParameter(name), quotedParameter(fileName)) },
        { "Content-Type", mimeType },
    });
}

void appendPart(const Ref<VNMultipartBodyStream>& stream, NSStringEncoding encoding, const Value& headers,
    const Value& body, uint64_t length)
{
    auto part = VNHTTPBodyPart::init();
    part->setStringEncoding(encoding);
    part->setHeaders(headers);
    part->setBody(body);
    part->setBodyContentLength(length);
    stream->appendHTTPBodyPart(part);
}

} // namespace

Ref<VNStreamingMultipartFormData> VNStreamingMultipartFormData::initWithURLRequestStringEncoding(
    const Ref<NSURLRequest>& request, NSStringEncoding encoding)
{
    auto formData = make<VNStreamingMultipartFormData>();
    formData->setRequest(request);
    formData->m_stringEncoding = encoding;
    formData->m_bodyStream = VNMultipartBodyStream::initWithStringEncoding(encoding);
    return formData;
}

bool VNStreamingMultipartFormData::appendPartWithFileURLNameError(
    const Ref<NSURL>& fileURL, const std::string& name, Ref<NSError>* error)
{
    std::string fileName = fileURL ? fileURL->lastPathComponent() : std::string();
    std::string mimeType = MIMETypeForPathExtension(fileURL ? fileURL->pathExtension() : std::string());
    return appendPartWithFileURLNameFileNameMimeTypeError(fileURL, name, fileName, mimeType, error);
}

bool VNStreamingMultipartFormData::appendPartWithFileURLNameFileNameMimeTypeError(const Ref<NSURL>& fileURL,
    const std::string& name, const std::string& fileName, const std::string& mimeType, Ref<NSError>* error)
{
    if (!fileURL || !fileURL->isFileURL()) {
        if (error)
            *error = badFileURLError("Expected URL to be a file URL");
        return false;
    }
    if (!fileURL->checkResourceIsReachableAndReturnError(error)) {
        if (error)
            *error = badFileURLError("File URL not reachable.");
        return false;
    }
    Value attributes = NSFileManager::defaultManager()->attributesOfItemAtPath(fileURL->path(), nullptr);

    appendPart(m_bodyStream, m_stringEncoding, filePartHeaders(name, fileName, mimeType), Value(fileURL),
        static_cast<uint64_t>(attributes[NSFileSize].longLongValue()));
    return true;
}

void VNStreamingMultipartFormData::appendPartWithInputStreamNameFileNameLengthMimeType(
    const Ref<NSInputStream>& inputStream, const std::string& name, const std::string& fileName, int64_t length,
    const std::string& mimeType)
{
    appendPart(m_bodyStream, m_stringEncoding, filePartHeaders(name, fileName, mimeType), Value(inputStream),
        static_cast<uint64_t>(std::max<int64_t>(length, 0)));
}

void VNStreamingMultipartFormData::appendPartWithFileDataNameFileNameMimeType(
    const Value& data, const std::string& name, const std::string& fileName, const std::string& mimeType)
{
    appendPartWithHeadersBody(filePartHeaders(name, fileName, mimeType), data);
}

void VNStreamingMultipartFormData::appendPartWithFormDataName(const Value& data, const std::string& name)
{
    appendPartWithHeadersBody(headerDictionary({ { "Content-Disposition",
                                  NSString::stringWithFormat("form-data; name=\"%@\"", quotedParameter(name)) } }),
        data);
}

void VNStreamingMultipartFormData::appendPartWithHeadersBody(const Value& headers, const Value& body)
{
    appendPart(m_bodyStream, m_stringEncoding, headers, body.isData() ? body : Value::data(Value::Bytes()),
        body.isData() ? body.bytes().size() : 0);
}

void VNStreamingMultipartFormData::throttleBandwidthWithPacketSizeDelay(uint32_t numberOfBytes, double delay)
{
    m_bodyStream->setNumberOfBytesInPacket(numberOfBytes);
    m_bodyStream->setDelay(delay);
}

Ref<NSMutableURLRequest> VNStreamingMultipartFormData::requestByFinalizingMultipartFormData()
{
    if (m_bodyStream->isEmpty())
        return m_request;
    m_bodyStream->setInitialAndFinalBoundaries();
    m_request->setHTTPBodyStream(m_bodyStream);
    m_request->setValueForHTTPHeaderField(
        NSString::stringWithFormat("multipart/form-data; boundary=%@", VNMultipartFormBoundary), "Content-Type");
    m_request->setValueForHTTPHeaderField(
        NSString::stringWithFormat("%llu", static_cast<unsigned long long>(m_bodyStream->contentLength())),
        "Content-Length");
    return m_request;
}
