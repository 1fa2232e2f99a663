// The sending half of HBRCrashManager: the XML document of the pending reports, its multipart
// upload and the handling of the service's answer.
#include "sdk/HBRCrashManager.h"

#include "crashreporter/HBRCrashReportTextFormatter.h"
#include "crashreporter/HBRPMCrashReport.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSPropertyListSerialization.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSURL.h"
#include "sdk/HBRHarborHelper.h"

namespace {

constexpr const char* HBRLogClassName = "HBRCrashManager";

std::string replaceAll(std::string text, const std::string& from, const std::string& to)
{
    size_t position = 0;
    while ((position = text.find(from, position)) != std::string::npos) {
        text.replace(position, from.size(), to);
        position += to.size();
    }
    return text;
}

Ref<NSError> crashError(int32_t code, const std::string& description)
{
    return NSError::errorWithDomain(
        "HBRCrashReporterErrorDomain", code, Value::dictionary({ { NSLocalizedDescriptionKey, description } }));
}

} // namespace

std::string HBRCrashManager::escapeCDATA(const std::string& text)
{
    return replaceAll(HBRXMLSafeText(text), "]]>", "]]]]><![CDATA[>");
}

std::string HBRCrashManager::escapeXML(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : HBRXMLSafeText(text)) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&apos;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string HBRCrashManager::crashElementForReport(const HBRPMCrashReport& report, const std::string&,
    const std::string& log, const std::string& userID, const std::string& userName, const std::string& userEmail,
    const std::string& applicationLog) const
{
    auto bundle = NSBundle::mainBundle();
    std::string uuids;
    for (const auto& entry : HBRCrashReportTextFormatter::arrayOfAppUUIDsForCrashReport(report)) {
        if (entry.uuid.empty() || entry.arch.empty())
            continue;
        uuids += NSString::stringWithFormat("<uuid type=\"%@\" arch=\"%@\">%@</uuid>", escapeXML(entry.type),
            escapeXML(entry.arch), escapeXML(entry.uuid));
    }
    auto application = report.applicationInfo();
    auto system = report.systemInfo();
    std::string installString = HBRAnonymousAppIdentifier().value_or("");
    return NSString::stringWithFormat(
        "<crash><applicationname>%@</applicationname><uuids>%@</uuids><bundleidentifier>%@</bundleidentifier>"
        "<systemversion>%@</systemversion><platform>%@</platform><senderversion>%@</senderversion>"
        "<version>%@</version><uuid>%@</uuid><log><![CDATA[%@]]></log><userid>%@</userid><username>%@</username>"
        "<contact>%@</contact><installstring>%@</installstring><description><![CDATA[%@]]></description></crash>",
        escapeXML(bundle->objectForInfoDictionaryKey("CFBundleExecutable").stringValue()), uuids,
        escapeXML(application ? application->applicationIdentifier() : std::string()),
        escapeXML(system ? system->operatingSystemVersion() : std::string()), escapeXML(getDevicePlatform()),
        escapeXML(bundle->objectForInfoDictionaryKey("CFBundleVersion").stringValue()),
        escapeXML(application ? application->applicationVersion() : std::string()),
        escapeXML(report.uuidString().value_or("")), escapeCDATA(log), escapeXML(userID), escapeXML(userName),
        escapeXML(userEmail), escapeXML(installString), escapeCDATA(applicationLog));
}

void HBRCrashManager::sendCrashReports()
{
    std::string body;
    for (const auto& path : m_crashFiles) {
        std::string fileName = NSString::lastPathComponent(path);
        // A damaged or huge file is set aside rather than loaded.
        auto bytes = [&]() -> std::optional<Value::Bytes> {
            if (auto data = m_fileManager->attributesOfItemAtPath(path, nullptr);
                data[NSFileSize].isNumber() && size_t(data[NSFileSize].longLongValue()) > kMaximumReportSize)
                return std::nullopt;
            Value data = m_fileManager->contentsAtPath(path);
            if (!data.isData())
                return std::nullopt;
            return data.bytes();
        }();
        if (!bytes || bytes->empty()) {
            removeReportAtPath(path);
            continue;
        }
        auto report = HBRPMCrashReport::initWithData(*bytes, nullptr);
        if (!report) {
            HBRLog("WARNING: Could not parse crash report");
            removeReportAtPath(path);
            continue;
        }
        std::string userID, userName, userEmail, applicationLog;
        Value meta = m_fileManager->contentsAtPath(path + ".meta");
        Ref<NSError> metaError;
        Value metaList
            = meta.isData() ? NSPropertyListSerialization::propertyListWithData(meta, 0, nullptr, &metaError) : Value();
        if (metaList.isDictionary()) {
            userID = stringValueFromKeychainForKey(keychainKey(fileName, "HBRCrashMetaUserID")).value_or("");
            userName = stringValueFromKeychainForKey(keychainKey(fileName, "HBRCrashMetaUserName")).value_or("");
            userEmail = stringValueFromKeychainForKey(keychainKey(fileName, "HBRCrashMetaUserEmail")).value_or("");
            Value logValue = metaList["HBRCrashMetaApplicationLog"];
            if (logValue.isString() && !logValue.string().empty())
                applicationLog = NSString::stringWithFormat("%@", logValue.string());
        } else {
            HBRLog("ERROR: Reading crash meta data. %@", metaError ? metaError->localizedDescription() : std::string());
        }
        std::string log
            = HBRCrashReportTextFormatter::stringValueForCrashReport(*report, HBRAnonymousAppIdentifier().value_or(""));
        body += crashElementForReport(*report, fileName, log, userID, userName, userEmail, applicationLog);
        m_approvedCrashReports.setObjectForKey(true, Value(path));
    }
    saveSettings();
    if (body.empty()) {
        // Nothing could be read, so nothing is posted; the next activation may try again.
        m_sendingInProgress = false;
        return;
    }
    HBRLog("INFO: Sending crash reports:\n%@", body);
    postXML(NSString::stringWithFormat("<crashes>%@</crashes>", body));
}

void HBRCrashManager::postXML(const std::string& xml)
{
    // A boundary found in no part of the document, so that no text in it ends the part early.
    std::string boundary = HBRMultipartBoundaryForValues({ xml });
    std::string url = NSString::stringWithFormat("%@api/2/apps/%@/crashes?sdk=%@&sdk_version=%@&feedbackEnabled=no",
        serverURL(), encodedAppIdentifier(), std::string(kHBRSDKName), std::string(kHBRSDKVersion));
    auto request = NSMutableURLRequest::requestWithURLCachePolicyTimeoutInterval(
        NSURL::URLWithString(url), NSURLRequestReloadIgnoringLocalCacheData, 15);
    request->setHTTPMethod("POST");
    request->setValueForHTTPHeaderField("HarborSDK/iOS", "User-Agent");
    request->setValueForHTTPHeaderField("gzip", "Accept-Encoding");
    request->setValueForHTTPHeaderField(
        NSString::stringWithFormat("multipart/form-data; boundary=%@", boundary), "Content-type");
    std::string body = NSString::stringWithFormat("--%@\r\n", boundary)
        + "Content-Disposition: form-data; name=\"xml\"; filename=\"crash.xml\"\r\n" + "Content-Type: text/xml\r\n\r\n"
        + xml + NSString::stringWithFormat("\r\n--%@--\r\n", boundary);
    request->setHTTPBody(Value::data(body.data(), body.size()));

    m_statusCode = 200;
    m_responseData.clear();
    m_urlConnection = request->URL()
        ? NSURLConnection::initWithRequestDelegateStartImmediately(request, self<HBRCrashManager>(), true)
        : nullptr;
    if (m_urlConnection) {
        if (auto target = delegate())
            target->crashManagerWillSendCrashReport(*this);
        HBRLog("INFO: Sending crash reports started.");
    } else {
        HBRLog("INFO: Sending crash reports could not start!");
        m_sendingInProgress = false;
    }
}

void HBRCrashManager::connectionDidReceiveResponse(const Ref<NSURLConnection>&, const Ref<NSURLResponse>& response)
{
    if (auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response))
        m_statusCode = http->statusCode();
}

void HBRCrashManager::connectionDidReceiveData(const Ref<NSURLConnection>&, const Value& data)
{
    m_responseData.insert(m_responseData.end(), data.bytes().begin(), data.bytes().end());
}

void HBRCrashManager::connectionDidFailWithError(const Ref<NSURLConnection>&, const Ref<NSError>& error)
{
    if (auto target = delegate())
        target->crashManagerDidFailWithError(*this, error);
    HBRLog("ERROR: %@", error ? error->localizedDescription() : std::string());
    finishSending();
}

void HBRCrashManager::connectionDidFinishLoading(const Ref<NSURLConnection>&)
{
    Ref<NSError> error;
    if (m_statusCode >= 200 && m_statusCode < 400 && !m_responseData.empty()) {
        cleanCrashReports();
        Value answer
            = NSPropertyListSerialization::propertyListWithData(Value::data(m_responseData), 0, nullptr, nullptr);
        HBRLog("INFO: Received API response: %@", answer.description());
        if (auto target = delegate())
            target->crashManagerDidFinishSendingCrashReport(*this);
    } else if (m_statusCode == 400) {
        cleanCrashReports();
        error = crashError(1, "The server rejected receiving crash reports for this app version!");
    } else if (m_responseData.empty()) {
        error = crashError(2, "Sending failed with an empty response!");
    } else {
        error = crashError(3, NSString::stringWithFormat("Sending failed with status code: %li", long(m_statusCode)));
    }
    if (error) {
        if (auto target = delegate())
            target->crashManagerDidFailWithError(*this, error);
        HBRLog("ERROR: %@", error->localizedDescription());
    }
    finishSending();
}

void HBRCrashManager::finishSending()
{
    m_sendingInProgress = false;
    m_responseData.clear();
    m_urlConnection = nullptr;
}
