#include "crashreporter/HBRPMCrashReporter.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSPropertyListSerialization.h"
#include "sdk/HBRCrashManager.h"
#include "sdk/HBRFeedbackManager.h"
#include "sdk/HBRHarborHelper.h"
#include "sdk/HBRHarborManager.h"
#include "security/SecItem.h"
#include "servicesim/ServiceSimulator.h"
#include "testing/Drain.h"
#include "testing/TemporarySandbox.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplicationHost.h"

#include <gtest/gtest.h>

#include <fstream>
#include <httplib.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <memory>
#include <nlohmann/json.hpp>

namespace {

const char* const kBeta = "a41f07c2e98d3b56f10e7ac42d9b6853";
const char* const kLive = "7c3e952d0fb84a16e2c9d07b1a64f3e8";

class HarborUploadAppDelegate : public NSObject, public UIApplicationDelegate {
    VX_OBJECT(HarborUploadAppDelegate, NSObject)
public:
    explicit HarborUploadAppDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<HarborUploadAppDelegate> init() { return make<HarborUploadAppDelegate>(); }
};

// The kit configured against the simulated service, in a sandbox, on a virtual clock, with the
// crash reporter made there and enabled without signal handlers.
class HarborUploadIntegration : public ::testing::Test {
protected:
    void SetUp() override
    {
        Keychain::setStorageForTesting(Keychain::Storage::Memory);
        resetKit();
        HBRHarborManager::setAppStoreEnvironmentForTesting(false);
        HBRCrashManager::setDebuggerAttachedForTesting(false);
        HBRCrashManager::setReporterEnablerForTesting([](HBRPMCrashReporter&, Ref<NSError>*) { return true; });
        HBRPMCrashReporter::setCachesDirectory(m_sandbox.path("Library/Caches"));
        ServiceSimulator::Options options;
        options.aircraft = 10;
        std::string error;
        m_sim = ServiceSimulator::create(options, &error);
        ASSERT_TRUE(m_sim) << error;
        ASSERT_TRUE(m_sim->start(0));
        UIApplicationHost::resetForTesting();
        m_delegate = HarborUploadAppDelegate::init();
        UIApplicationHost::launchWithDelegate(m_delegate);
    }
    void TearDown() override
    {
        drainAll();
        resetKit();
        if (m_sim)
            m_sim->stop();
        HBRCrashManager::setReporterEnablerForTesting(nullptr);
        HBRCrashManager::setDebuggerAttachedForTesting(std::nullopt);
        HBRHarborManager::setAppStoreEnvironmentForTesting(std::nullopt);
        HBRPMCrashReporter::setCachesDirectory("");
        UIApplicationHost::resetForTesting();
    }
    static void resetKit()
    {
        HBRHarborManager::resetSharedHarborManagerForTesting();
        HBRCrashManager::resetForTesting();
        HBRResetHelperForTesting();
    }
    Ref<HBRHarborManager> kit()
    {
        auto harbor = HBRHarborManager::sharedHarborManager();
        harbor->setServerURL(m_sim->baseUrl());
        harbor->configureWithBetaIdentifierLiveIdentifierDelegate(kBeta, kLive, nullptr, {});
        return harbor;
    }
    void advance(double seconds)
    {
        m_clock.advance(seconds);
        drainAll();
    }

    TemporarySandbox m_sandbox;
    ScopedVirtualClock m_clock;
    std::unique_ptr<ServiceSimulator> m_sim;
    Ref<HarborUploadAppDelegate> m_delegate;
};

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

// A report whose user data and application log hold control characters, invalid UTF-8 and the
// old fixed boundary's lines reaches the service, which reads and keeps it; the kept document
// parses and holds the repaired values; the report is gone from the device.
TEST_F(HarborUploadIntegration, CrashReportWithHostileValuesIsReadByTheService)
{
    auto harbor = kit();
    auto crash = harbor->crashManager();
    crash->setCrashManagerStatus(HBRCrashManagerStatusAutoSend);
    auto reporter = HBRPMCrashReporter::initWithConfiguration(HBRPMCrashReporterConfig(0, 3));
    crash->setPmCrashReporter(reporter);
    Ref<NSError> error;
    auto log = reporter->generateLiveReportAndReturnError(&error);
    ASSERT_TRUE(log);
    NSFileManager::defaultManager()->createDirectoryAtPath(crash->crashesDir(), true, Value(), nullptr);
    std::string path = crash->crashesDir() + "/409000010";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(log->data()), log->size());
    const std::string applicationLog
        = "map\x01\r\n------FOO--\r\n]]>\r\n------FOO\r\nContent-Disposition: form-data; name=\"xml\";\r\n\r\n<x/>";
    Value meta = NSPropertyListSerialization::dataWithPropertyList(
        Value::dictionary({ { "HBRCrashMetaApplicationLog", applicationLog } }),
        NSPropertyListSerialization::NSPropertyListBinaryFormat_v1_0, 0, nullptr);
    NSFileManager::defaultManager()->createFileAtPath(path + ".meta", meta, Value());
    crash->addStringValueToKeychainForKey(std::string("P\x1b[31mat \xff\xfe"), "409000010.HBRCrashMetaUserName");

    harbor->startManager();
    advance(0.5);
    auto documents = m_sim->receivedCrashReports();
    ASSERT_EQ(documents.size(), 1u);
    xmlDoc* document = xmlReadMemory(documents[0].data(), int(documents[0].size()), "crash.xml", "UTF-8", 0);
    ASSERT_TRUE(document);
    xmlNode* root = xmlDocGetRootElement(document);
    EXPECT_EQ(elementText(root, "username"), "P[31mat \xef\xbf\xbd\xef\xbf\xbd");
    EXPECT_EQ(elementText(root, "description"),
        "map\n------FOO--\n]]>\n------FOO\nContent-Disposition: form-data; name=\"xml\";\n\n<x/>");
    EXPECT_NE(elementText(root, "log").value_or("").find("Incident Identifier:"), std::string::npos);
    xmlFreeDoc(document);
    EXPECT_FALSE(NSFileManager::defaultManager()->fileExistsAtPath(path));
    EXPECT_FALSE(crash->isSendingInProgress());
}

// A message holding boundary lines and a forged e-mail part arrives whole, with the user's own
// address; after a kill while it was on its way, the relaunched kit sends it again and the
// service, which already holds it, confirms it instead of keeping it twice.
TEST_F(HarborUploadIntegration, FeedbackMessageArrivesWholeAndOnce)
{
    auto feedback = kit()->feedbackManager();
    feedback->setServerURL(m_sim->baseUrl());
    feedback->setUserEmail(std::string("pat@example.com"));
    const std::string text = "Hi\r\n------FOO--\r\n--"
                             "----FOO\r\nContent-Disposition: form-data; "
                             "name=\"email\";\r\nContent-Type: text\r\n\r\nforged@evil.example\r\nend";
    feedback->submitMessageWithText(text);
    drainAll();
    ASSERT_TRUE(feedback->token());
    std::string token = *feedback->token();
    auto thread = [&] {
        httplib::Client client("127.0.0.1", m_sim->port());
        auto read = client.Get(("/api/2/apps/" + std::string(kBeta) + "/feedback/" + token).c_str());
        return read ? nlohmann::json::parse(read->body) : nlohmann::json();
    };
    auto messages = thread()["feedback"]["messages"];
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0]["text"], text);
    EXPECT_EQ(messages[0]["email"], "pat@example.com");

    // The store as a kill during the send of a second message leaves it; the service got it.
    feedback->submitMessageWithText("Second");
    drainAll();
    ASSERT_EQ(thread()["feedback"]["messages"].size(), 2u);
    auto second = feedback->messagesWithStatus(HBRFeedbackMessageStatusDelivered);
    ASSERT_EQ(second.size(), 2u);
    for (const auto& message : second)
        if (message->text == "Second") {
            message->status = HBRFeedbackMessageStatusSendInProgress;
            message->id = 0;
        }
    feedback->saveMessages();
    resetKit();
    auto relaunched = kit()->feedbackManager();
    relaunched->setServerURL(m_sim->baseUrl());
    relaunched->loadMessages();
    relaunched->updateMessagesList();
    drainAll();
    EXPECT_EQ(thread()["feedback"]["messages"].size(), 2u);
    EXPECT_EQ(relaunched->messagesWithStatus(HBRFeedbackMessageStatusDelivered).size(), 2u);
    EXPECT_TRUE(relaunched->messagesWithStatus(HBRFeedbackMessageStatusPending).empty());
}

} // namespace
