#include "sdk/HBRCrashManager.h"
#include "sdk/tests/HarborTestSupport.h"

#include "crashreporter/HBRPMCrashReport.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSPropertyListSerialization.h"
#include "net/NSURLError.h"

#include <fstream>

#include <libxml/parser.h>
#include <libxml/tree.h>

namespace {

const std::string kCrashURL = std::string(kTestServerURL) + "api/2/apps/" + kTestBetaIdentifier
    + "/crashes?sdk=HarborSDK&sdk_version=3.5.2&feedbackEnabled=no";

// A crash log of this process, written once.
const std::vector<uint8_t>& crashLogBytes()
{
    static const std::vector<uint8_t> bytes = [] {
        auto reporter = HBRPMCrashReporter::initWithApplicationIdentifierAppVersionConfiguration(
            "com.kestravon.volantrix", "7.1.0", HBRPMCrashReporterConfig(0, 3));
        Ref<NSError> error;
        auto log = reporter->generateLiveReportAndReturnError(&error);
        return log ? *log : std::vector<uint8_t>();
    }();
    return bytes;
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

bool exists(const std::string& path)
{
    return NSFileManager::defaultManager()->fileExistsAtPath(path);
}

class HBRCrashManagerTest : public HarborTest {
protected:
    // The configured kit's crash manager with its reporter in the sandbox.
    Ref<HBRCrashManager> crashManager(int32_t status)
    {
        auto manager = configuredManager();
        manager->setDebugLogEnabled(true);
        auto crash = manager->crashManager();
        crash->setCrashManagerStatus(status);
        crash->setServerURL(kTestServerURL);
        m_reporter = HBRPMCrashReporter::initWithConfiguration(HBRPMCrashReporterConfig(0, 3));
        crash->setPmCrashReporter(m_reporter);
        return crash;
    }

    // A stored report N in the manager's directory, as an earlier launch left it.
    std::string storeReport(const Ref<HBRCrashManager>& crash, const std::string& name, const std::string& appLog = "")
    {
        std::string path = crash->crashesDir() + "/" + name;
        writeFile(path, crashLogBytes());
        Value meta = NSPropertyListSerialization::dataWithPropertyList(
            Value::dictionary({ { "HBRCrashMetaApplicationLog", appLog } }),
            NSPropertyListSerialization::NSPropertyListBinaryFormat_v1_0, 0, nullptr);
        NSFileManager::defaultManager()->createFileAtPath(path + ".meta", meta, Value());
        crash->addStringValueToKeychainForKey(std::string("Pat"), name + ".HBRCrashMetaUserName");
        return path;
    }

    Ref<URLStub> crashStub(URLStubs& stubs, int32_t status, std::string body)
    {
        URLStubSpec spec;
        spec.method = "POST";
        spec.url = kCrashURL;
        spec.statusCode = status;
        spec.body = std::move(body);
        return stubs.add(spec);
    }

    static std::string xmlOf(const URLStubRecord& request)
    {
        std::string body(request.body.begin(), request.body.end());
        size_t start = body.find("<crashes>");
        size_t end = body.rfind("</crashes>");
        return start == std::string::npos || end == std::string::npos ? std::string()
                                                                      : body.substr(start, end + 10 - start);
    }

    Ref<HBRPMCrashReporter> m_reporter;
};

TEST_F(HBRCrashManagerTest, StatusReadsTheLegacyDefaultOnce)
{
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->removeObjectForKey("HBRCrashManagerStatus");
    defaults->setBool(true, "HBRCrashAutomaticallySendReports");
    EXPECT_EQ(configuredManager()->crashManager()->crashManagerStatus(), HBRCrashManagerStatusAutoSend);
    EXPECT_EQ(defaults->integerForKey("HBRCrashManagerStatus"), 2);
    EXPECT_TRUE(defaults->objectForKey("HBRCrashAutomaticallySendReports").isNil());
    defaults->setInteger(0, "HBRCrashManagerStatus");
    defaults->setBool(true, "HBRCrashAutomaticallySendReports");
    resetKit();
    EXPECT_EQ(configuredManager()->crashManager()->crashManagerStatus(), HBRCrashManagerStatusDisabled);
    EXPECT_TRUE(defaults->boolForKey("HBRCrashAutomaticallySendReports"));
}

TEST_F(HBRCrashManagerTest, PendingLogIsKeptWithItsMetaDataAndSentAutomatically)
{
    ASSERT_FALSE(crashLogBytes().empty());
    auto crash = crashManager(HBRCrashManagerStatusAutoSend);
    NSFileManager::defaultManager()->createDirectoryAtPath(m_reporter->crashReportDirectory(), true, Value(), nullptr);
    writeFile(m_reporter->crashReportPath(), crashLogBytes());
    m_delegate->userName = "Pat <pilot>";
    m_delegate->userEmail = "pat@example.com";
    m_delegate->applicationLog = "last screen: map ]]> end";
    URLStubs stubs;
    auto stub = crashStub(stubs, 201, "<result>ok</result>");

    crash->startManager();
    EXPECT_TRUE(crash->didCrashInLastSession());
    EXPECT_FALSE(m_reporter->hasPendingCrashReport()); // purged after it was kept
    ASSERT_TRUE(crash->hasPendingCrashReport());
    ASSERT_EQ(crash->crashFiles().size(), 1u);
    std::string stored = crash->crashFiles()[0];
    EXPECT_TRUE(exists(stored + ".meta"));
    std::string name = NSString::lastPathComponent(stored);
    EXPECT_EQ(crash->stringValueFromKeychainForKey(name + ".HBRCrashMetaUserEmail"), "pat@example.com");
    EXPECT_EQ(m_enableCount, 1);
    EXPECT_EQ(crash->exceptionHandler(), &HarborTest::uncaughtHandler);

    advance(0.5);
    ASSERT_EQ(stub->requestCount(), 1u);
    auto request = stub->requests()[0];
    EXPECT_EQ(request.header("User-Agent"), "HarborSDK/iOS");
    std::string contentType = request.header("Content-Type").value_or("");
    ASSERT_EQ(contentType.rfind("multipart/form-data; boundary=", 0), 0u);
    std::string boundary = contentType.substr(30);
    std::string body(request.body.begin(), request.body.end());
    EXPECT_EQ(body.rfind("--" + boundary
                      + "\r\nContent-Disposition: form-data; name=\"xml\"; filename=\"crash.xml\"\r\n"
                        "Content-Type: text/xml\r\n\r\n<crashes><crash><applicationname>",
                  0),
        0u);
    EXPECT_TRUE(body.ends_with("</crashes>\r\n--" + boundary + "--\r\n"));
    std::string xml = xmlOf(request);
    EXPECT_NE(xml.find("<bundleidentifier>"), std::string::npos);
    EXPECT_NE(xml.find("<username>Pat &lt;pilot&gt;</username><contact>pat@example.com</contact>"), std::string::npos);
    EXPECT_NE(
        xml.find("<description><![CDATA[last screen: map ]]]]><![CDATA[> end]]></description>"), std::string::npos);
    EXPECT_NE(xml.find("<log><![CDATA[Incident Identifier:"), std::string::npos);

    EXPECT_FALSE(exists(stored));
    EXPECT_FALSE(exists(stored + ".meta"));
    EXPECT_EQ(crash->stringValueFromKeychainForKey(name + ".HBRCrashMetaUserEmail"), std::nullopt);
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "willSend", "didFinish" }));
    EXPECT_FALSE(crash->isSendingInProgress());
}

TEST_F(HBRCrashManagerTest, ReportsAreDeletedOnlyWhenTheServiceTookOrRefusedThem)
{
    const struct {
        const char* name;
        int32_t status;
        const char* body;
        int32_t networkError; // 0: the service answers
        bool kept;
        int32_t errorCode; // 0: none; -1: the connection's own error
        const char* description;
    } cases[] = {
        { "accepted", 200, "ok", 0, false, 0, "" },
        { "accepted with redirect status", 302, "ok", 0, false, 0, "" },
        { "empty answer", 200, "", 0, true, 2, "Sending failed with an empty response!" },
        { "server error", 500, "oops", 0, true, 3, "Sending failed with status code: 500" },
        { "refused", 400, "no", 0, false, 1, "The server rejected receiving crash reports for this app version!" },
        { "dropped connection", 200, "", NSURLErrorNetworkConnectionLost, true, -1, "" },
        { "timed out", 200, "", NSURLErrorTimedOut, true, -1, "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        resetKit();
        m_delegate->events.clear();
        m_delegate->errors.clear();
        auto crash = crashManager(HBRCrashManagerStatusAutoSend);
        std::string path = storeReport(crash, "409000000");
        URLStubs stubs;
        URLStubSpec spec;
        spec.method = "POST";
        spec.url = kCrashURL;
        spec.statusCode = c.status;
        spec.body = c.body;
        if (c.networkError != 0)
            spec.errorCode = c.networkError;
        auto stub = stubs.add(spec);
        crash->startManager();
        advance(0.5);
        EXPECT_EQ(stub->requestCount(), 1u);
        EXPECT_EQ(exists(path), c.kept);
        EXPECT_EQ(exists(path + ".meta"), c.kept);
        EXPECT_FALSE(crash->isSendingInProgress());
        if (c.errorCode == 0) {
            EXPECT_TRUE(m_delegate->errors.empty());
            continue;
        }
        ASSERT_EQ(m_delegate->errors.size(), 1u);
        if (c.errorCode > 0) {
            EXPECT_EQ(m_delegate->errors[0]->domain(), "HBRCrashReporterErrorDomain");
            EXPECT_EQ(m_delegate->errors[0]->code(), c.errorCode);
            EXPECT_EQ(m_delegate->errors[0]->localizedDescription(), c.description);
        }
        if (c.kept) {
            // The next activation sends the same report again, listed once.
            UIApplicationHost::resignActive();
            UIApplicationHost::becomeActive();
            advance(0.5);
            EXPECT_EQ(stub->requestCount(), 2u);
            EXPECT_EQ(crash->crashFiles().size(), 1u);
        }
    }
}

TEST_F(HBRCrashManagerTest, ScanSkipsMetaDataAndEmptyFilesAndSetsAsideUnreadableReports)
{
    auto crash = crashManager(HBRCrashManagerStatusAutoSend);
    std::string dir = crash->crashesDir();
    for (const char* name : { "x.plist", "y.meta", "z.analyzer", "w.DS_Store" })
        writeFile(dir + "/" + name, { 1, 2, 3 });
    writeFile(dir + "/empty", {});
    EXPECT_FALSE(crash->hasPendingCrashReport());

    // A damaged file and one past the size limit are removed and nothing is posted.
    writeFile(dir + "/damaged", { 'p', 'm', 'c', 'r', 'a', 's', 'h', 9, 9 });
    {
        std::ofstream huge(dir + "/huge", std::ios::binary);
        huge.seekp(HBRCrashManager::kMaximumReportSize);
        huge.put('x');
    }
    URLStubs stubs;
    auto stub = crashStub(stubs, 201, "ok");
    crash->startManager();
    advance(0.5);
    EXPECT_EQ(stub->requestCount(), 0u);
    EXPECT_FALSE(exists(dir + "/damaged"));
    EXPECT_FALSE(exists(dir + "/huge"));
    EXPECT_TRUE(exists(dir + "/x.plist"));
    // Nothing was posted, so the next report can still go out.
    EXPECT_FALSE(crash->isSendingInProgress());
    std::string path = storeReport(crash, "409000001");
    UIApplicationHost::resignActive();
    UIApplicationHost::becomeActive();
    advance(0.5);
    EXPECT_EQ(stub->requestCount(), 1u);
    EXPECT_FALSE(exists(path));
}

TEST_F(HBRCrashManagerTest, AskingStatusShowsTheAlertAndFollowsTheChoice)
{
    const struct {
        int32_t button;
        bool sent;
        int32_t statusAfter;
        std::vector<std::string> events;
    } cases[] = {
        { 0, false, 1, { "willShowAlert", "willCancel" } },
        { 1, true, 1, { "willShowAlert", "willSend", "didFinish" } },
        { 2, true, 2, { "willShowAlert", "willSendAlways", "willSend", "didFinish" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        resetKit();
        m_delegate->events.clear();
        auto crash = crashManager(HBRCrashManagerStatusAlwaysAsk);
        std::string path = storeReport(crash, "409000002");
        URLStubs stubs;
        auto stub = crashStub(stubs, 201, "ok");
        crash->startManager();
        advance(0.5);
        auto alerts = UIAlertView::visibleAlerts();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0]->numberOfButtons(), 3);
        EXPECT_EQ(alerts[0]->buttonTitleAtIndex(0), "Don't Send");
        EXPECT_NE(alerts[0]->message().find("anonymous"), std::string::npos);
        EXPECT_TRUE(crash->isSendingInProgress());
        alerts[0]->tapButtonAtIndex(c.button);
        advance(1.0); // the dismissal animation
        EXPECT_EQ(stub->requestCount(), c.sent ? 1u : 0u);
        EXPECT_FALSE(exists(path));
        EXPECT_FALSE(exists(path + ".meta"));
        EXPECT_EQ(crash->crashManagerStatus(), c.statusAfter);
        EXPECT_EQ(m_delegate->events, c.events);
    }
}

TEST_F(HBRCrashManagerTest, ActivationsWithinHalfASecondCollapseIntoOneRun)
{
    auto crash = crashManager(HBRCrashManagerStatusAutoSend);
    storeReport(crash, "409000003");
    URLStubs stubs;
    URLStubSpec spec;
    spec.method = "POST";
    spec.url = kCrashURL;
    spec.statusCode = 500;
    spec.body = "busy";
    auto stub = stubs.add(spec);
    crash->startManager();
    advance(0.3);
    NSNotificationCenter::defaultCenter()->postNotificationName(kHBRNetworkDidBecomeReachableNotification, nullptr);
    advance(0.3);
    EXPECT_EQ(stub->requestCount(), 0u);
    advance(0.2);
    EXPECT_EQ(stub->requestCount(), 1u);
}

TEST_F(HBRCrashManagerTest, DisabledStatusLeavesThePendingLogAlone)
{
    auto crash = crashManager(HBRCrashManagerStatusDisabled);
    NSFileManager::defaultManager()->createDirectoryAtPath(m_reporter->crashReportDirectory(), true, Value(), nullptr);
    writeFile(m_reporter->crashReportPath(), crashLogBytes());
    crash->startManager();
    advance(1.0);
    EXPECT_FALSE(crash->isSetup());
    EXPECT_EQ(m_enableCount, 0);
    EXPECT_TRUE(m_reporter->hasPendingCrashReport());
    EXPECT_FALSE(crash->hasPendingCrashReport());
}

TEST_F(HBRCrashManagerTest, UndecodablePendingLogIsDroppedAndTheDelegateHearsOfIt)
{
    auto crash = crashManager(HBRCrashManagerStatusAutoSend);
    NSFileManager::defaultManager()->createDirectoryAtPath(m_reporter->crashReportDirectory(), true, Value(), nullptr);
    writeFile(m_reporter->crashReportPath(), { 'n', 'o', 'p', 'e' });
    crash->startManager();
    EXPECT_FALSE(m_reporter->hasPendingCrashReport());
    advance(0.5);
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "willCancel" }));
    EXPECT_FALSE(crash->didCrashInLastSession());
}

// The text of the first element named `name` below `node`, as an XML parser reads it.
std::optional<std::string> elementText(xmlNode* node, const char* name)
{
    for (xmlNode* child = node; child; child = child->next) {
        if (child->type == XML_ELEMENT_NODE && xmlStrcmp(child->name, BAD_CAST name) == 0) {
            xmlChar* text = xmlNodeGetContent(child);
            std::string value = text ? reinterpret_cast<const char*>(text) : "";
            xmlFree(text);
            return value;
        }
        if (auto found = elementText(child->children, name))
            return found;
    }
    return std::nullopt;
}

// User data and an application log with control characters, invalid UTF-8, a copy of the old
// closing boundary and a forged part still make one well-formed document in one part, whose
// values an XML parser reads back repaired.
TEST_F(HBRCrashManagerTest, HostileValuesKeepTheUploadWellFormed)
{
    auto crash = crashManager(HBRCrashManagerStatusAutoSend);
    const std::string log = "tap\x01\x1b map\r\n------FOO--\r\n]]> end\r\n--"
                            "----FOO\r\n"
                            "Content-Disposition: form-data; name=\"email\";\r\n\r\nforged\r\n";
    std::string path = storeReport(crash, "409000004", log);
    std::string name = NSString::lastPathComponent(path);
    crash->addStringValueToKeychainForKey(std::string("Pat\x01\x1b <x> \xff\xfe\xc3"), name + ".HBRCrashMetaUserName");
    crash->addStringValueToKeychainForKey(std::string("p\x0c@example.com\x7f"), name + ".HBRCrashMetaUserEmail");
    URLStubs stubs;
    auto stub = crashStub(stubs, 201, "ok");
    crash->startManager();
    advance(0.5);
    ASSERT_EQ(stub->requestCount(), 1u);
    auto request = stub->requests()[0];
    std::string body(request.body.begin(), request.body.end());
    auto fields = readMultipart(request.header("Content-Type").value_or(""), body);
    ASSERT_TRUE(fields);
    ASSERT_EQ(fields->size(), 1u);
    EXPECT_EQ((*fields)[0].name, "xml");
    const std::string& xml = (*fields)[0].content;
    xmlDoc* document = xmlReadMemory(xml.data(), int(xml.size()), "crash.xml", "UTF-8", XML_PARSE_NONET);
    ASSERT_TRUE(document) << xml;
    xmlNode* root = xmlDocGetRootElement(document);
    const std::string replacement = "\xef\xbf\xbd";
    EXPECT_EQ(elementText(root, "username"), "Pat <x> " + replacement + replacement + replacement);
    EXPECT_EQ(elementText(root, "contact"), "p@example.com\x7f");
    // An XML parser reads every line end as a line feed.
    EXPECT_EQ(elementText(root, "description"),
        "tap map\n------FOO--\n]]> end\n------FOO\nContent-Disposition: form-data; name=\"email\";\n\nforged\n");
    xmlFreeDoc(document);
    EXPECT_FALSE(exists(path));
}

TEST(HBRCrashManager, EscapesTextForTheUploadDocument)
{
    EXPECT_EQ(HBRCrashManager::escapeCDATA("a]]>b]]>"), "a]]]]><![CDATA[>b]]]]><![CDATA[>");
    EXPECT_EQ(HBRCrashManager::escapeCDATA("plain"), "plain");
    EXPECT_EQ(HBRCrashManager::escapeXML("com.kestravon.volantrix"), "com.kestravon.volantrix");
    EXPECT_EQ(HBRCrashManager::escapeXML("a&b<c>\"d'"), "a&amp;b&lt;c&gt;&quot;d&apos;");
}

} // namespace
