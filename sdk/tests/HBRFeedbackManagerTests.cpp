#include "sdk/HBRFeedbackManager.h"
#include "sdk/tests/HarborTestSupport.h"

#include "foundation/NSDate.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "net/NSURLError.h"

namespace {

const std::string kFeedbackBase = std::string(kTestServerURL) + "api/2/apps/" + kTestBetaIdentifier + "/feedback";

class HBRFeedbackManagerTest : public HarborTest {
protected:
    Ref<HBRFeedbackManager> feedback()
    {
        auto manager = configuredManager()->feedbackManager();
        manager->setServerURL(kTestServerURL);
        return manager;
    }

    // A stub answering every feedback request with `body` (or `status`).
    Ref<URLStub> answer(URLStubs& stubs, std::string body, int32_t status = 200, double delay = 0)
    {
        URLStubSpec spec;
        spec.url = kFeedbackBase;
        spec.matchPrefix = true;
        spec.statusCode = status;
        spec.body = std::move(body);
        spec.delay = delay;
        return stubs.add(spec);
    }

    static std::string reply(const std::string& token, const std::string& messages)
    {
        return R"({"status":"success","token":")" + token + R"(","feedback":{"messages":[)" + messages + "]}}";
    }

    static std::string bodyOf(const URLStubRecord& record)
    {
        return std::string(record.body.begin(), record.body.end());
    }
};

Ref<HBRFeedbackMessage> message(int32_t status, double date, int64_t id = 0)
{
    auto made = HBRFeedbackMessage::init();
    made->status = status;
    made->date = date;
    made->id = id;
    return made;
}

TEST_F(HBRFeedbackManagerTest, SortsUnsentFirstOrphanedLastNewestFirst)
{
    auto manager = feedback();
    double now = NSDate::date()->timeIntervalSince1970();
    auto pendingNow = message(HBRFeedbackMessageStatusPending, now);
    auto deliveredYesterday = message(HBRFeedbackMessageStatusDelivered, now - 86400, 1);
    auto receivedOld = message(HBRFeedbackMessageStatusReceived, now - 7200, 2);
    auto receivedNew = message(HBRFeedbackMessageStatusReceived, now - 60, 3);
    auto orphanedNewest = message(HBRFeedbackMessageStatusOrphaned, now + 60, 4);
    auto undated = message(HBRFeedbackMessageStatusReceived, 0, 5);
    undated->date.reset();
    // Fill the list through the archive path: save, then load into a fresh component.
    std::vector<Ref<HBRFeedbackMessage>> list { orphanedNewest, deliveredYesterday, undated, receivedOld, pendingNow,
        receivedNew };
    auto archiver = NSKeyedArchiver::init();
    Value array = Value::mutableArray();
    for (const auto& m : list)
        array.addObject(Value::object(m));
    archiver->encodeObjectForKey(array, "HarborFeedbackMessages");
    NSFileManager::defaultManager()->createFileAtPath(manager->settingsFile(), archiver->encodedData(), Value());
    manager->loadMessages();
    std::vector<Ref<HBRFeedbackMessage>> expected { pendingNow, receivedNew, receivedOld, deliveredYesterday, undated,
        orphanedNewest };
    ASSERT_EQ(manager->numberOfMessages(), expected.size());
    for (uint32_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(manager->messageAtIndex(i)->id, expected[i]->id) << i;
    EXPECT_FALSE(manager->messageAtIndex(99));
    EXPECT_EQ(manager->lastMessageHavingID()->id, 3);
}

TEST_F(HBRFeedbackManagerTest, ArchiveAndKeychainKeepTheThreadAcrossLaunches)
{
    auto manager = feedback();
    EXPECT_FALSE(NSFileManager::defaultManager()->fileExistsAtPath(manager->settingsFile()));
    manager->loadMessages();
    EXPECT_FALSE(manager->lastCheck()); // no file: nothing read
    EXPECT_EQ(manager->numberOfMessages(), 0u);

    // An older file keeps the token and the user data inside the archive.
    auto archiver = NSKeyedArchiver::init();
    archiver->encodeObjectForKey(std::string("oldtoken"), "HarborFeedbackToken");
    archiver->encodeObjectForKey(std::string("Pat"), "HarborFeedbackName");
    archiver->encodeObjectForKey(std::string("pat@example.com"), "HarborFeedbackEmail");
    archiver->encodeObjectForKey(true, "HarborFeedbackUserDataAsked");
    archiver->encodeObjectForKey(std::string(kTestBetaIdentifier), "HarborFeedbackAppID");
    archiver->encodeObjectForKey(Value(int64_t(1234)), "HarborFeedbackLastMessageID");
    NSFileManager::defaultManager()->createFileAtPath(manager->settingsFile(), archiver->encodedData(), Value());
    manager->loadMessages();
    EXPECT_EQ(manager->token(), "oldtoken");
    EXPECT_EQ(manager->userName(), "Pat");
    EXPECT_EQ(manager->userEmail(), "pat@example.com");
    EXPECT_TRUE(manager->didAskUserData());
    EXPECT_EQ(manager->lastMessageID(), 1234);
    EXPECT_EQ(manager->stringValueFromKeychainForKey(std::string("HarborFeedbackToken")), "oldtoken");

    // Saving moves them out of the archive for good.
    manager->saveMessages();
    Value data = NSFileManager::defaultManager()->contentsAtPath(manager->settingsFile());
    auto reader = NSKeyedUnarchiver::initForReadingWithData(data.bytes(), nullptr);
    ASSERT_TRUE(reader);
    EXPECT_FALSE(reader->containsValueForKey("HarborFeedbackToken"));
    EXPECT_FALSE(reader->containsValueForKey("HarborFeedbackName"));
    EXPECT_TRUE(reader->containsValueForKey("HarborFeedbackMessages"));

    // Another application identifier drops the token but keeps the rest.
    resetKit();
    auto other = HBRHarborManager::sharedHarborManager();
    other->configureWithBetaIdentifierLiveIdentifierDelegate(
        kTestLiveIdentifier, kTestLiveIdentifier, m_delegate.get(), m_delegate);
    other->feedbackManager()->loadMessages();
    EXPECT_FALSE(other->feedbackManager()->token());
    EXPECT_EQ(other->feedbackManager()->userName(), "Pat");
}

TEST_F(HBRFeedbackManagerTest, FirstMessageOpensTheThreadAndLaterOnesGoToIt)
{
    URLStubs stubs;
    auto manager = feedback();
    manager->setUserName(std::string("Pat"));
    auto first = answer(stubs,
        reply("t0k3n", R"({"id":7,"token":"TOKEN","created_at":"2014-01-01T10:00:00Z","text":"Hello","name":"Pat"})"));
    manager->submitMessageWithText("Hello");
    ASSERT_EQ(manager->numberOfMessages(), 1u);
    std::string messageToken = *manager->messageAtIndex(0)->token;
    EXPECT_EQ(messageToken.size(), 32u);
    EXPECT_EQ(manager->messageAtIndex(0)->status, HBRFeedbackMessageStatusSendInProgress);
    drainAll();
    ASSERT_EQ(first->requestCount(), 1u);
    auto post = first->requests()[0];
    EXPECT_EQ(post.method, "POST");
    EXPECT_EQ(post.url.rfind(kFeedbackBase + "?format=json&bundle_version=", 0), 0u);
    EXPECT_NE(post.url.find("&sdk=HarborSDK&sdk_version=3.5.2"), std::string::npos);
    EXPECT_EQ(post.header("User-Agent"), "Harbor/iOS");
    std::string body = bodyOf(post);
    std::vector<std::string> fields;
    for (size_t at = body.find("name=\""); at != std::string::npos; at = body.find("name=\"", at + 1))
        fields.push_back(body.substr(at + 6, body.find('"', at + 6) - at - 6));
    EXPECT_EQ(fields,
        (std::vector<std::string> { "oem", "os_version", "model", "lang", "bundle_version", "text", "message_token",
            "install_string", "name" }));
    std::string contentType = post.header("Content-Type").value_or("");
    ASSERT_EQ(contentType.rfind("multipart/form-data; boundary=", 0), 0u);
    EXPECT_TRUE(body.ends_with("--" + contentType.substr(30) + "--\r\n"));
    // The service's reply did not echo our token, so the message went back to pending.
    EXPECT_EQ(manager->token(), "t0k3n");

    // The reply to the next request confirms the message by its token.
    URLStubs second;
    auto put = answer(second,
        reply("t0k3n",
            R"({"id":8,"token":")" + messageToken + R"(","created_at":"2014-01-02T10:00:00Z","text":"Hello"})"));
    manager->submitPendingMessages();
    drainAll();
    ASSERT_EQ(put->requestCount(), 1u);
    EXPECT_EQ(put->requests()[0].method, "PUT");
    EXPECT_EQ(put->requests()[0].url.rfind(kFeedbackBase + "/t0k3n?", 0), 0u);
    EXPECT_NE(put->requests()[0].url.find("&last_message_id=7"), std::string::npos);
    auto own = manager->messageWithID(8);
    ASSERT_TRUE(own);
    EXPECT_EQ(own->status, HBRFeedbackMessageStatusDelivered);
    EXPECT_TRUE(own->userMessage);
    EXPECT_EQ(*own->date, 1388656800.0);
    EXPECT_EQ(manager->lastMessageID(), 8);
}

TEST_F(HBRFeedbackManagerTest, AnswersFromTheDeveloperAreMergedAndAnnounced)
{
    URLStubs stubs;
    auto manager = feedback();
    manager->setToken(std::string("t0k3n"));
    answer(stubs,
        reply("t0k3n",
            R"({"id":1,"token":"","created_at":"2014-01-01T10:00:00Z","clean_text":"Clean","text":"Raw","name":"Dev"},)"
            R"({"id":2,"created_at":"bad date","text":"Only text"},)"
            R"({"id":3,"name":"No text"},)"
            R"({"token":"no id","text":"skipped"})"));
    manager->fetchMessageUpdates();
    drainAll();
    ASSERT_EQ(manager->numberOfMessages(), 2u);
    auto clean = manager->messageWithID(1);
    ASSERT_TRUE(clean);
    EXPECT_EQ(clean->text, "Clean");
    EXPECT_EQ(clean->status, HBRFeedbackMessageStatusReceived);
    auto raw = manager->messageWithID(2);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->text, "Only text");
    EXPECT_EQ(raw->name, "");
    EXPECT_EQ(raw->email, "");
    EXPECT_TRUE(manager->lastCheck());
    auto alerts = UIAlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0]->title(), HBRLocalizedString(std::string("HarborFeedbackNewMessageTitle")));

    // A known id changes nothing, even with another text; no second alert.
    URLStubs again;
    answer(again, reply("t0k3n", R"({"id":1,"text":"Edited"})"));
    manager->fetchMessageUpdates();
    drainAll();
    EXPECT_EQ(manager->messageWithID(1)->text, "Clean");
    EXPECT_EQ(UIAlertView::visibleAlerts().size(), 1u);
}

TEST_F(HBRFeedbackManagerTest, ConflictAndGoneThreadsFollowTheirRules)
{
    auto manager = feedback();
    {
        URLStubs stubs;
        auto conflict = answer(stubs, "{}", 409);
        manager->submitMessageWithText("First");
        drainAll();
        EXPECT_EQ(manager->messageAtIndex(0)->status, HBRFeedbackMessageStatusInConflict);
        EXPECT_EQ(manager->token(), manager->messageAtIndex(0)->token); // taken from the message
        advance(0.2); // the thread is fetched again
        EXPECT_EQ(conflict->requestCount(), 2u);
        EXPECT_EQ(conflict->requests()[1].method, "GET");
    }
    {
        URLStubs stubs;
        auto gone = answer(stubs, "{}", 404);
        manager->submitMessageWithText("Second");
        drainAll();
        EXPECT_FALSE(manager->token());
        auto pending = manager->messagesWithStatus(HBRFeedbackMessageStatusPending);
        ASSERT_EQ(pending.size(), 1u);
        EXPECT_EQ(pending[0]->text, "Second");
        EXPECT_EQ(manager->messagesWithStatus(HBRFeedbackMessageStatusOrphaned).size(), 1u);
    }
    {
        // A dropped connection returns the message to pending.
        URLStubs stubs;
        URLStubSpec spec;
        spec.url = kFeedbackBase;
        spec.matchPrefix = true;
        spec.errorCode = NSURLErrorNetworkConnectionLost;
        stubs.add(spec);
        manager->submitPendingMessages();
        drainAll();
        EXPECT_EQ(manager->messagesWithStatus(HBRFeedbackMessageStatusPending).size(), 1u);
        EXPECT_FALSE(manager->isNetworkRequestInProgress());
    }
}

TEST_F(HBRFeedbackManagerTest, SubmissionsWaitForTheRunningRequest)
{
    URLStubs stubs;
    auto manager = feedback();
    manager->setToken(std::string("t0k3n"));
    auto stub = answer(stubs, reply("t0k3n", ""), 200, 1.0);
    manager->fetchMessageUpdates();
    drainAll();
    EXPECT_TRUE(manager->isNetworkRequestInProgress());
    manager->submitMessageWithText("Older");
    advance(0.5);
    manager->submitMessageWithText("Newer"); // postpones the submission to 2.5 s
    std::string newerToken = *manager->feedbackList().back()->token;
    // From now on the service confirms the newer message.
    URLStubSpec confirm;
    confirm.url = kFeedbackBase;
    confirm.matchPrefix = true;
    confirm.body = reply("t0k3n", R"({"id":5,"token":")" + newerToken + R"(","created_at":"2014-01-01T10:00:00Z"})");
    auto confirming = stubs.add(confirm);
    advance(0.5); // the fetch ends
    EXPECT_EQ(stub->requestCount(), 1u);
    EXPECT_EQ(confirming->requestCount(), 0u);
    advance(1.4);
    EXPECT_EQ(confirming->requestCount(), 0u);
    advance(0.1); // 2.0 s after the last submission
    ASSERT_GE(confirming->requestCount(), 1u);
    EXPECT_NE(bodyOf(confirming->requests()[0]).find("\r\n\r\nNewer\r\n"), std::string::npos);
    EXPECT_EQ(manager->messageWithID(5)->text, "Newer");
    advance(0.2); // the older one follows 0.1 s after the reply
    ASSERT_EQ(confirming->requestCount(), 2u);
    EXPECT_NE(bodyOf(confirming->requests()[1]).find("\r\n\r\nOlder\r\n"), std::string::npos);
}

// Text holding the old fixed boundary's closing line or a whole forged part stays one field:
// the body has exactly the kit's fields, each with its own value.
TEST_F(HBRFeedbackManagerTest, MessageTextCannotEndTheBodyOrForgeAField)
{
    URLStubs stubs;
    auto manager = feedback();
    manager->setUserEmail(std::string("pat@example.com"));
    auto stub = answer(stubs, reply("t0k3n", ""));
    const std::string text = "Hi\r\n------FOO--\r\nafter\r\n------FOO\r\nContent-Disposition: form-data; "
                             "name=\"email\";\r\nContent-Type: text\r\n\r\nforged@evil.example\r\n";
    manager->submitMessageWithText(text);
    drainAll();
    ASSERT_EQ(stub->requestCount(), 1u);
    auto post = stub->requests()[0];
    auto fields = readMultipart(post.header("Content-Type").value_or(""), bodyOf(post));
    ASSERT_TRUE(fields);
    std::vector<std::string> names;
    for (const auto& field : *fields) {
        names.push_back(field.name);
        if (field.name == "text") {
            EXPECT_EQ(field.content, text);
        }
        if (field.name == "email") {
            EXPECT_EQ(field.content, "pat@example.com");
        }
    }
    EXPECT_EQ(names,
        (std::vector<std::string> { "oem", "os_version", "model", "lang", "bundle_version", "text", "message_token",
            "install_string", "email" }));
}

// A message written while another request runs is on disk at once, and a message that was on
// its way when the application ended goes out again as pending after the next launch.
TEST_F(HBRFeedbackManagerTest, MessagesSurviveTheEndOfTheApplication)
{
    URLStubs stubs;
    auto manager = feedback();
    manager->setToken(std::string("t0k3n"));
    auto stub = answer(stubs, reply("t0k3n", ""), 200, 5.0);
    manager->fetchMessageUpdates();
    drainAll();
    ASSERT_TRUE(manager->isNetworkRequestInProgress());
    manager->submitMessageWithText("Written during a fetch");
    {
        Value data = NSFileManager::defaultManager()->contentsAtPath(manager->settingsFile());
        auto reader = NSKeyedUnarchiver::initForReadingWithData(data.bytes(), nullptr);
        ASSERT_TRUE(reader);
        std::vector<std::string> texts;
        for (const auto& element : reader->decodeObjectForKey("HarborFeedbackMessages").elements())
            if (auto saved = element.objectAs<HBRFeedbackMessage>())
                texts.push_back(saved->text.value_or(""));
        EXPECT_EQ(texts, std::vector<std::string> { "Written during a fetch" });
    }

    // A store saved while a message was being sent.
    auto sending = message(HBRFeedbackMessageStatusSendInProgress, 1388570400);
    sending->text = "On its way";
    sending->token = std::string("0123456789abcdef0123456789abcdef");
    sending->userMessage = true;
    auto archiver = NSKeyedArchiver::init();
    archiver->encodeObjectForKey(Value::array({ Value::object(sending) }), "HarborFeedbackMessages");
    NSFileManager::defaultManager()->createFileAtPath(manager->settingsFile(), archiver->encodedData(), Value());
    resetKit();
    URLStubs later;
    auto relaunched = feedback();
    auto put = answer(later, reply("t0k3n", ""));
    relaunched->loadMessages();
    ASSERT_EQ(relaunched->numberOfMessages(), 1u);
    EXPECT_EQ(relaunched->messageAtIndex(0)->status, HBRFeedbackMessageStatusPending);
    relaunched->updateMessagesList();
    drainAll();
    ASSERT_EQ(put->requestCount(), 1u);
    EXPECT_NE(bodyOf(put->requests()[0]).find("\r\n\r\nOn its way\r\n"), std::string::npos);
}

// The thread token from the service goes into the request path: one that is not a plain token
// is refused, and the one in use is escaped, so the request always reaches the thread's path.
TEST_F(HBRFeedbackManagerTest, ThreadTokenIsEscapedAndOnlyAPlainTokenIsTaken)
{
    for (const char* hostile : { "../../evil/x?y=1#", "a b", "", "t0k3n/../x", "\xff" }) {
        SCOPED_TRACE(hostile);
        resetKit();
        URLStubs stubs;
        auto manager = feedback();
        manager->setToken(std::string("t0k3n"));
        auto stub = answer(stubs, reply(hostile, ""));
        manager->fetchMessageUpdates();
        drainAll();
        EXPECT_EQ(manager->token(), "t0k3n");
        manager->fetchMessageUpdates();
        drainAll();
        ASSERT_EQ(stub->requestCount(), 2u);
        EXPECT_EQ(stub->requests()[1].url.rfind(kFeedbackBase + "/t0k3n?format=json&", 0), 0u);
        EXPECT_FALSE(manager->isNetworkRequestInProgress());

        // A token kept by an earlier version is escaped on the way out.
        manager->setToken(std::string(hostile));
        manager->fetchMessageUpdates();
        drainAll();
        ASSERT_EQ(stub->requestCount(), 3u);
        std::string url = stub->requests()[2].url;
        EXPECT_EQ(url.rfind(kFeedbackBase, 0), 0u);
        EXPECT_EQ(url.substr(0, url.find('?')), kFeedbackBase + (*hostile ? "/" + HBRURLEncodeString(hostile) : ""));
        EXPECT_NE(url.find("?format=json&bundle_version="), std::string::npos);
    }
    // Such a token left in the keychain is dropped when the store loads.
    resetKit();
    auto manager = feedback();
    manager->addStringValueToKeychainForKey(std::string("a b"), std::string("HarborFeedbackToken"));
    auto archiver = NSKeyedArchiver::init();
    archiver->encodeObjectForKey(std::string(kTestBetaIdentifier), "HarborFeedbackAppID");
    NSFileManager::defaultManager()->createFileAtPath(manager->settingsFile(), archiver->encodedData(), Value());
    manager->loadMessages();
    EXPECT_FALSE(manager->token());
}

TEST_F(HBRFeedbackManagerTest, RefreshesAfterAStayInTheBackgroundAndAtMostEveryThirtySeconds)
{
    URLStubs stubs;
    auto manager = feedback();
    manager->setToken(std::string("t0k3n"));
    auto stub = answer(stubs, reply("t0k3n", ""));
    manager->startManager();
    drainAll();
    EXPECT_EQ(stub->requestCount(), 1u); // started while active
    UIApplicationHost::resignActive();
    UIApplicationHost::becomeActive();
    drainAll();
    EXPECT_EQ(stub->requestCount(), 1u); // no stay in the background
    UIApplicationHost::sendToBackground();
    drainAll();
    UIApplicationHost::bringToForeground();
    drainAll();
    EXPECT_EQ(stub->requestCount(), 2u);
    manager->updateMessagesListIfRequired();
    drainAll();
    EXPECT_EQ(stub->requestCount(), 2u);
    advance(31);
    manager->updateMessagesListIfRequired();
    drainAll();
    EXPECT_EQ(stub->requestCount(), 3u);
}

} // namespace
