#include "sdk/HBRFeedbackManager.h"

#include "foundation/NSBundle.h"
#include "foundation/NSDate.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSUUID.h"
#include "foundation/Sandbox.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSURL.h"
#include "net/NSURLConnection.h"
#include "sdk/HBRFeedbackComposeViewController.h"
#include "sdk/HBRFeedbackListViewController.h"
#include "sdk/HBRHarborAppClient.h"
#include "sdk/HBRHarborHelper.h"
#include "sdk/HBRHarborManager.h"
#include "uikit/UIApplication.h"
#include "uikit/UIDevice.h"

#include <algorithm>

VX_REGISTER_CLASS(HBRFeedbackManager);

namespace {

constexpr const char* HBRLogClassName = "HBRFeedbackManager";
constexpr const char* kLoadingStarted = "HBRHarborFeedbackMessagesLoadingStarted";
constexpr const char* kLoadingFinished = "HBRHarborFeedbackMessagesLoadingFinished";
constexpr const char* kTokenKey = "HarborFeedbackToken";
constexpr const char* kUserIDKey = "HarborFeedbackuserID";
constexpr const char* kNameKey = "HarborFeedbackName";
constexpr const char* kEmailKey = "HarborFeedbackEmail";

void postNotification(const char* name)
{
    NSNotificationCenter::defaultCenter()->postNotificationName(name, nullptr);
}

double now()
{
    return NSDate::date()->timeIntervalSince1970();
}

std::optional<std::string> stringEntry(const Value& object, const char* key)
{
    const Value& value = object[key];
    if (value.isString())
        return value.string();
    return std::nullopt;
}

} // namespace

HBRFeedbackManager::~HBRFeedbackManager()
{
    unregisterObservers();
}

void HBRFeedbackManager::init()
{
    HBRHarborBaseManager::init();
    auto support = NSSearchPathForDirectoriesInDomains(NSApplicationSupportDirectory, NSUserDomainMask, true);
    m_feedbackDir = (support.empty() ? std::string() : support[0]) + "/net.harborapp.sdk.ios";
    auto files = NSFileManager::defaultManager();
    if (!files->fileExistsAtPath(m_feedbackDir))
        files->createDirectoryAtPath(
            m_feedbackDir, true, Value::dictionary({ { NSFilePosixPermissions, 0755 } }), nullptr);
    m_settingsFile = m_feedbackDir + "/HBRFeedbackManager.plist";
}

void HBRFeedbackManager::startManager()
{
    if (m_disableFeedbackManager)
        return;
    m_started = true;
    registerObservers();
    if (UIApplication::sharedApplication()->applicationState() == UIApplicationStateActive) {
        m_didEnterBackgroundState = true;
        didBecomeActiveActions();
    }
}

void HBRFeedbackManager::registerObservers()
{
    auto becomeActive
        = [](HBRHarborBaseManager& manager) { static_cast<HBRFeedbackManager&>(manager).didBecomeActiveActions(); };
    observeNotification(m_enterBackgroundObserver, UIApplicationDidEnterBackgroundNotification,
        [](HBRHarborBaseManager& manager) { static_cast<HBRFeedbackManager&>(manager).didEnterBackgroundActions(); });
    observeNotification(m_becomeActiveObserver, UIApplicationDidBecomeActiveNotification, becomeActive);
    observeNotification(m_networkObserver, kHBRNetworkDidBecomeReachableNotification, becomeActive);
}

void HBRFeedbackManager::unregisterObservers()
{
    removeObservers({ &m_enterBackgroundObserver, &m_becomeActiveObserver, &m_networkObserver });
}

void HBRFeedbackManager::didEnterBackgroundActions()
{
    m_didEnterBackgroundState = UIApplication::sharedApplication()->applicationState() == UIApplicationStateBackground;
}

void HBRFeedbackManager::didBecomeActiveActions()
{
    if (m_disableFeedbackManager || !m_didEnterBackgroundState)
        return;
    m_didEnterBackgroundState = false;
    if (m_feedbackList.empty())
        loadMessages();
    else
        updateAppDefinedUserData();
    updateMessagesList();
}

void HBRFeedbackManager::updateMessagesList()
{
    if (m_networkRequestInProgress)
        return;
    if (!messagesWithStatus(HBRFeedbackMessageStatusPending).empty())
        submitPendingMessages();
    else
        fetchMessageUpdates();
}

void HBRFeedbackManager::updateMessagesListIfRequired()
{
    if (now() - m_lastCheck.value_or(0) > 30.0)
        updateMessagesList();
}

bool HBRFeedbackManager::updateUserIDUsingDelegate()
{
    auto sdk = HBRHarborManager::sharedHarborManager();
    auto target = sdk->delegate();
    auto answer = target ? target->userIDForHarborManagerComponentManager(*sdk, *this) : std::nullopt;
    if (!answer)
        return false;
    m_userID = answer;
    return true;
}

bool HBRFeedbackManager::updateUserNameUsingDelegate()
{
    auto sdk = HBRHarborManager::sharedHarborManager();
    auto target = sdk->delegate();
    auto answer = target ? target->userNameForHarborManagerComponentManager(*sdk, *this) : std::nullopt;
    if (!answer)
        return false;
    m_userName = answer;
    m_requireUserName = HBRFeedbackUserDataElementDontShow;
    return true;
}

bool HBRFeedbackManager::updateUserEmailUsingDelegate()
{
    auto sdk = HBRHarborManager::sharedHarborManager();
    auto target = sdk->delegate();
    auto answer = target ? target->userEmailForHarborManagerComponentManager(*sdk, *this) : std::nullopt;
    if (!answer)
        return false;
    m_userEmail = answer;
    m_requireUserEmail = HBRFeedbackUserDataElementDontShow;
    return true;
}

void HBRFeedbackManager::updateAppDefinedUserData()
{
    updateUserIDUsingDelegate();
    updateUserNameUsingDelegate();
    updateUserEmailUsingDelegate();
    if (m_requireUserName == HBRFeedbackUserDataElementDontShow
        && m_requireUserEmail == HBRFeedbackUserDataElementDontShow)
        m_didAskUserData = false;
}

bool HBRFeedbackManager::askManualUserDataAvailable()
{
    updateAppDefinedUserData();
    return m_requireUserName != HBRFeedbackUserDataElementDontShow
        || m_requireUserEmail != HBRFeedbackUserDataElementDontShow;
}

bool HBRFeedbackManager::requireManualUserDataMissing()
{
    updateAppDefinedUserData();
    return (m_requireUserName == HBRFeedbackUserDataElementRequired && !m_userName)
        || (m_requireUserEmail == HBRFeedbackUserDataElementRequired && !m_userEmail);
}

bool HBRFeedbackManager::isManualUserDataAvailable()
{
    updateAppDefinedUserData();
    return (m_requireUserName != HBRFeedbackUserDataElementDontShow && m_userName)
        || (m_requireUserEmail != HBRFeedbackUserDataElementDontShow && m_userEmail);
}

void HBRFeedbackManager::updateDidAskUserData()
{
    if (m_didAskUserData)
        return;
    m_didAskUserData = true;
    saveMessages();
}

std::string HBRFeedbackManager::uuidString()
{
    return HBRNewUUIDString();
}

std::string HBRFeedbackManager::uuidAsLowerCaseAndShortened()
{
    std::string uuid;
    for (char c : uuidString())
        if (c != '-')
            uuid.push_back(char(std::tolower(static_cast<unsigned char>(c))));
    return uuid;
}

void HBRFeedbackManager::loadMessages()
{
    bool suppliedID = updateUserIDUsingDelegate();
    bool suppliedName = updateUserNameUsingDelegate();
    bool suppliedEmail = updateUserEmailUsingDelegate();
    auto files = NSFileManager::defaultManager();
    if (!files->fileExistsAtPath(m_settingsFile))
        return;
    Value data = files->contentsAtPath(m_settingsFile);
    if (!data.isData())
        return;
    auto archive = NSKeyedUnarchiver::initForReadingWithData(data.bytes(), nullptr);
    if (!archive)
        return;
    auto moveToKeychain = [&](const char* key, std::optional<std::string>& field) {
        if (archive->containsValueForKey(key)) {
            Value old = archive->decodeObjectForKey(key);
            if (old.isString())
                addStringValueToKeychainForKey(old.string(), std::string(key));
        }
        field = stringValueFromKeychainForKey(std::string(key));
    };
    if (!suppliedID)
        moveToKeychain(kUserIDKey, m_userID);
    if (!suppliedName)
        moveToKeychain(kNameKey, m_userName);
    if (!suppliedEmail)
        moveToKeychain(kEmailKey, m_userEmail);
    if (archive->containsValueForKey("HarborFeedbackUserDataAsked"))
        m_didAskUserData = true;
    if (archive->containsValueForKey(kTokenKey)) {
        Value old = archive->decodeObjectForKey(kTokenKey);
        if (old.isString()) {
            m_token = old.string();
            addStringValueToKeychainForKey(m_token, std::string(kTokenKey));
        }
    }
    m_token = stringValueFromKeychainForKey(std::string(kTokenKey));
    // A token that is not a plain token (kept by an earlier version) would send every request
    // elsewhere or nowhere; without it the next message opens a new thread.
    if (m_token && !HBRIsPlainToken(*m_token))
        m_token.reset();
    Value appID = archive->decodeObjectForKey("HarborFeedbackAppID");
    if (appID.isString() && appID.string() != appIdentifier())
        m_token.reset();
    Value lastCheck = archive->decodeObjectForKey("HarborFeedbackDateOfLastCheck");
    if (lastCheck.isDate())
        m_lastCheck = lastCheck.dateValue();
    Value lastID = archive->decodeObjectForKey("HarborFeedbackLastMessageID");
    if (lastID.isNumber())
        m_lastMessageID = lastID.longLongValue();
    if (archive->containsValueForKey("HarborFeedbackMessages")) {
        Value messages = archive->decodeObjectForKey("HarborFeedbackMessages");
        m_feedbackList.clear();
        for (const auto& element : messages.elements())
            if (auto message = element.objectAs<HBRFeedbackMessage>())
                m_feedbackList.push_back(message);
        // No request runs at load: a message saved on its way goes out again.
        markSendInProgressMessagesAsPending();
        sortFeedbackList();
        postNotification(kLoadingFinished);
    }
    if (!m_lastCheck)
        m_lastCheck = NSDate::distantPast()->timeIntervalSince1970();
}

void HBRFeedbackManager::saveMessages()
{
    sortFeedbackList();
    writeStore();
}

void HBRFeedbackManager::writeStore()
{
    auto archiver = NSKeyedArchiver::init();
    if (m_didAskUserData)
        archiver->encodeObjectForKey(true, "HarborFeedbackUserDataAsked");
    if (m_token)
        addStringValueToKeychainForKey(m_token, std::string(kTokenKey));
    if (!appIdentifier().empty())
        archiver->encodeObjectForKey(appIdentifier(), "HarborFeedbackAppID");
    if (m_userID)
        addStringValueToKeychainForKey(m_userID, std::string(kUserIDKey));
    if (m_userName)
        addStringValueToKeychainForKey(m_userName, std::string(kNameKey));
    if (m_userEmail)
        addStringValueToKeychainForKey(m_userEmail, std::string(kEmailKey));
    if (m_lastCheck)
        archiver->encodeObjectForKey(Value::date(*m_lastCheck), "HarborFeedbackDateOfLastCheck");
    if (m_lastMessageID)
        archiver->encodeObjectForKey(Value(int64_t(*m_lastMessageID)), "HarborFeedbackLastMessageID");
    Value messages = Value::mutableArray();
    for (const auto& message : m_feedbackList)
        messages.addObject(Value::object(message));
    archiver->encodeObjectForKey(messages, "HarborFeedbackMessages");
    Value data = archiver->encodedData();
    if (data.isData())
        NSFileManager::defaultManager()->createFileAtPath(m_settingsFile, data, Value());
}

void HBRFeedbackManager::sortFeedbackList()
{
    // Unsent messages first, orphaned ones last, the newest first within each group. A message
    // without a date sorts as the distant past.
    auto date = [](const Ref<HBRFeedbackMessage>& message) {
        return message->date.value_or(NSDate::distantPast()->timeIntervalSince1970());
    };
    auto group = [](int32_t status) { return status < 2 ? 0 : (status == HBRFeedbackMessageStatusOrphaned ? 2 : 1); };
    std::stable_sort(m_feedbackList.begin(), m_feedbackList.end(), [&](const auto& a, const auto& b) {
        int ga = group(a->status), gb = group(b->status);
        if (ga != gb)
            return ga < gb;
        return date(a) > date(b);
    });
}

Ref<HBRFeedbackMessage> HBRFeedbackManager::messageAtIndex(uint32_t index) const
{
    return index < m_feedbackList.size() ? m_feedbackList[index] : nullptr;
}

std::vector<Ref<HBRFeedbackMessage>> HBRFeedbackManager::messagesWithStatus(int32_t status) const
{
    std::vector<Ref<HBRFeedbackMessage>> found;
    for (const auto& message : m_feedbackList)
        if (message->status == status)
            found.push_back(message);
    return found;
}

Ref<HBRFeedbackMessage> HBRFeedbackManager::messageWithID(int64_t id) const
{
    for (const auto& message : m_feedbackList)
        if (message->id == id)
            return message;
    return nullptr;
}

Ref<HBRFeedbackMessage> HBRFeedbackManager::lastMessageHavingID() const
{
    for (const auto& message : m_feedbackList)
        if (message->id != 0)
            return message;
    return nullptr;
}

void HBRFeedbackManager::updateLastMessageID()
{
    auto last = lastMessageHavingID();
    if (last && (!m_lastMessageID || *m_lastMessageID != last->id))
        m_lastMessageID = last->id;
}

void HBRFeedbackManager::markSendInProgressMessagesAsPending()
{
    for (const auto& message : m_feedbackList)
        if (message->status == HBRFeedbackMessageStatusSendInProgress)
            message->status = HBRFeedbackMessageStatusPending;
}

void HBRFeedbackManager::markSendInProgressMessagesAsInConflict()
{
    for (const auto& message : m_feedbackList)
        if (message->status == HBRFeedbackMessageStatusSendInProgress)
            message->status = HBRFeedbackMessageStatusInConflict;
}

bool HBRFeedbackManager::deleteMessageAtIndex(uint32_t index)
{
    if (index >= m_feedbackList.size())
        return false;
    m_feedbackList.erase(m_feedbackList.begin() + index);
    saveMessages();
    return true;
}

void HBRFeedbackManager::deleteAllMessages()
{
    m_feedbackList.clear();
    saveMessages();
}

void HBRFeedbackManager::scheduleAfter(const char* name, double delay, std::function<void(HBRFeedbackManager&)> action)
{
    auto me = self<HBRFeedbackManager>();
    Weak<HBRFeedbackManager> weak = me;
    performSelectorAfterDelay(
        me, name,
        [weak, action] {
            if (auto manager = weak.lock())
                action(*manager);
        },
        delay);
}

void HBRFeedbackManager::submitMessageWithText(const std::string& text)
{
    auto message = HBRFeedbackMessage::init();
    message->text = text;
    message->status = HBRFeedbackMessageStatusPending;
    message->token = uuidAsLowerCaseAndShortened();
    message->userMessage = true;
    m_feedbackList.push_back(message);
    // On disk at once: a running request may postpone the submission, and the application may
    // end before it. The list keeps its order until the next sort; the load sorts anyway.
    writeStore();
    submitPendingMessages();
}

void HBRFeedbackManager::submitPendingMessages()
{
    if (m_networkRequestInProgress) {
        cancelPreviousPerformRequestsWithTargetSelector(self<HBRFeedbackManager>(), "submitPendingMessages");
        scheduleAfter(
            "submitPendingMessages", 2.0, [](HBRFeedbackManager& manager) { manager.submitPendingMessages(); });
        return;
    }
    updateAppDefinedUserData();
    saveMessages();
    auto pending = messagesWithStatus(HBRFeedbackMessageStatusPending);
    if (pending.empty())
        return;
    auto message = pending.front();
    message->status = HBRFeedbackMessageStatusSendInProgress;
    if (m_userID)
        message->userID = m_userID;
    if (m_userName)
        message->name = m_userName;
    if (m_userEmail)
        message->email = m_userEmail;
    Weak<HBRFeedbackManager> weak = self<HBRFeedbackManager>();
    sendNetworkRequestWithHTTPMethodWithMessageCompletionHandler(
        m_token ? "PUT" : "POST", message, [weak](const Ref<NSError>& error) {
            auto manager = weak.lock();
            if (manager && error) {
                manager->markSendInProgressMessagesAsPending();
                manager->saveMessages();
            }
            postNotification(kLoadingFinished);
        });
}

void HBRFeedbackManager::fetchMessageUpdates()
{
    if (m_feedbackList.empty() && !m_token) {
        postNotification(kLoadingFinished);
        return;
    }
    sendNetworkRequestWithHTTPMethodWithMessageCompletionHandler(
        "GET", nullptr, [](const Ref<NSError>&) { postNotification(kLoadingFinished); });
}

void HBRFeedbackManager::sendNetworkRequestWithHTTPMethodWithMessageCompletionHandler(
    const std::string& method, const Ref<HBRFeedbackMessage>& message, Completion completion)
{
    m_networkRequestInProgress = true;
    postNotification(kLoadingStarted);
    // The token is escaped so that no character of it can leave the thread's path.
    std::string path = NSString::stringWithFormat("api/2/apps/%@/feedback%@", encodedAppIdentifier(),
        m_token && !m_token->empty() ? NSString::stringWithFormat("/%@", HBRURLEncodeString(*m_token)) : std::string());
    if (!m_lastMessageID)
        updateLastMessageID();
    auto bundle = NSBundle::mainBundle();
    std::string bundleVersion = bundle->objectForInfoDictionaryKey("CFBundleVersion").stringValue();
    path += NSString::stringWithFormat("?format=json&bundle_version=%@&sdk=%@&sdk_version=%@%@",
        HBRURLEncodeString(bundleVersion), std::string(kHBRSDKName), std::string(kHBRSDKVersion),
        m_lastMessageID ? NSString::stringWithFormat("&last_message_id=%li", long(*m_lastMessageID)) : std::string());
    std::string url = NSString::stringWithFormat("%@%@", serverURL(), path);
    HBRLog("INFO: sending api request to %@", url);
    auto request = NSMutableURLRequest::requestWithURLCachePolicyTimeoutInterval(
        NSURL::URLWithString(url), NSURLRequestReloadIgnoringLocalCacheData, 10.0);
    request->setValueForHTTPHeaderField("Harbor/iOS", "User-Agent");
    request->setValueForHTTPHeaderField("gzip", "Accept-Encoding");
    request->setHTTPMethod(method);
    if (message) {
        auto languages = NSBundle::localizationOrder();
        std::vector<std::pair<const char*, std::string>> fields { { "oem", "Apple" },
            { "os_version", UIDevice::currentDevice()->systemVersion() }, { "model", getDevicePlatform() },
            { "lang", languages.empty() ? "en" : languages[0] }, { "bundle_version", bundleVersion },
            { "text", message->text.value_or("") }, { "message_token", message->token.value_or("") } };
        if (auto install = HBRAnonymousAppIdentifier())
            fields.emplace_back("install_string", *install);
        if (m_userID)
            fields.emplace_back("user_string", *m_userID);
        if (m_userName)
            fields.emplace_back("name", *m_userName);
        if (m_userEmail)
            fields.emplace_back("email", *m_userEmail);
        // A boundary that no value holds, so that no text ends its part early or forges another.
        std::vector<std::string_view> values;
        for (const auto& field : fields)
            values.push_back(field.second);
        std::string boundary = HBRMultipartBoundaryForValues(values);
        request->setValueForHTTPHeaderField(
            NSString::stringWithFormat("multipart/form-data; boundary=%@", boundary), "Content-type");
        std::string body;
        for (const auto& [key, value] : fields)
            body += HBRHarborAppClient::dataWithPostValueForKeyBoundary(value, key, boundary);
        body += NSString::stringWithFormat("--%@--\r\n", boundary);
        request->setHTTPBody(Value::data(body.data(), body.size()));
    }
    Weak<HBRFeedbackManager> weak = self<HBRFeedbackManager>();
    NSURLConnection::sendAsynchronousRequestQueueCompletionHandler(request, NSOperationQueue::mainQueue(),
        [weak, completion](const Ref<NSURLResponse>& response, const Value& data, const Ref<NSError>& error) {
            if (auto manager = weak.lock())
                manager->handleResponse(response, data, error, completion);
        });
}

void HBRFeedbackManager::handleResponse(
    const Ref<NSURLResponse>& response, const Value& data, const Ref<NSError>& error, const Completion& completion)
{
    m_networkRequestInProgress = false;
    if (error) {
        reportError(error);
        markSendInProgressMessagesAsPending();
        if (completion)
            completion(error);
        return;
    }
    auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
    int32_t status = http ? http->statusCode() : 0;
    if (status == 409) {
        if (!m_token) {
            for (const auto& message : m_feedbackList)
                if (message->status == HBRFeedbackMessageStatusSendInProgress) {
                    m_token = message->token;
                    break;
                }
        }
        markSendInProgressMessagesAsInConflict();
        saveMessages();
        scheduleAfter("fetchMessageUpdates", 0.2, [](HBRFeedbackManager& manager) { manager.fetchMessageUpdates(); });
    } else if (status == 404) {
        updateMessageListFromResponse(std::nullopt);
    } else if (data.isData() && !data.bytes().empty()) {
        auto text = NSString::stringWithBytes(data.bytes().data(), data.bytes().size(), NSUTF8StringEncoding);
        if (text) {
            HBRLog("INFO: Received API response: %@", *text);
            Ref<NSError> jsonError;
            Value feed = NSJSONSerialization::JSONObjectWithData(data.bytes(), 0, &jsonError);
            auto feedbackError = [](int32_t code, const char* description) {
                return NSError::errorWithDomain(
                    "HBRFeedbackErrorDomain", code, Value::dictionary({ { NSLocalizedDescriptionKey, description } }));
            };
            if (jsonError || feed.isNil()) {
                reportError(jsonError);
            } else if (feed.isDictionary() && feed.count() == 0) {
                reportError(feedbackError(3, "Server returned empty response."));
            } else if (feed.isDictionary()) {
                HBRLog("INFO: Received API response: %@", *text);
                Value statusValue = feed["status"];
                if (!statusValue.isNil() && !(statusValue.isString() && statusValue.string() == "success"))
                    reportError(feedbackError(1, "Server returned invalid status."));
                else
                    updateMessageListFromResponse(feed);
            }
        }
    }
    markSendInProgressMessagesAsPending();
    if (completion)
        completion(nullptr);
}

void HBRFeedbackManager::updateMessageListFromResponse(const std::optional<Value>& response)
{
    if (!response) {
        markSendInProgressMessagesAsPending();
        for (const auto& message : m_feedbackList)
            if (message->status != HBRFeedbackMessageStatusPending)
                message->status = HBRFeedbackMessageStatusOrphaned;
        m_token.reset();
        saveMessages();
        return;
    }
    const Value& feedback = (*response)["feedback"];
    const Value& token = (*response)["token"];
    // The token goes into every later request path: only a plain token is taken.
    if (!feedback.isDictionary() || !token.isString() || !HBRIsPlainToken(token.string())) {
        markSendInProgressMessagesAsPending();
        saveMessages();
        return;
    }
    m_token = token.string();
    m_lastCheck = now();
    auto inProgress = messagesWithStatus(HBRFeedbackMessageStatusSendInProgress);
    size_t pendingBefore = messagesWithStatus(HBRFeedbackMessageStatusPending).size();
    bool newMessage = false;
    for (const auto& entry : feedback["messages"].elements()) {
        const Value& id = entry["id"];
        if (!id.isNumber())
            continue;
        if (messageWithID(id.longLongValue()))
            continue;
        auto entryToken = stringEntry(entry, "token");
        auto own = std::find_if(inProgress.begin(), inProgress.end(),
            [&](const auto& message) { return entryToken && message->token == entryToken; });
        auto created = stringEntry(entry, "created_at");
        auto date = created ? parseRFC3339Date(*created) : nullptr;
        if (own != inProgress.end()) {
            (*own)->date = date ? std::optional<double>(date->timeIntervalSince1970()) : std::nullopt;
            (*own)->id = id.longLongValue();
            (*own)->status = HBRFeedbackMessageStatusDelivered;
            continue;
        }
        auto text = stringEntry(entry, "clean_text");
        if (!text)
            text = stringEntry(entry, "text");
        if (!text)
            continue;
        auto message = HBRFeedbackMessage::init();
        message->text = text;
        message->name = stringEntry(entry, "name").value_or("");
        message->email = stringEntry(entry, "email").value_or("");
        message->date = date ? date->timeIntervalSince1970() : now();
        message->id = id.longLongValue();
        message->status = HBRFeedbackMessageStatusReceived;
        message->userMessage = false;
        m_feedbackList.push_back(message);
        newMessage = true;
    }
    markSendInProgressMessagesAsPending();
    sortFeedbackList();
    updateLastMessageID();
    if (newMessage) {
        auto last = lastMessageHavingID();
        bool ownEcho = m_userEmail && last && last->email && *last->email == *m_userEmail;
        if (!ownEcho) {
            if (auto target = delegate())
                target->feedbackManagerDidReceiveNewFeedback(*this);
            if (m_showAlertOnIncomingMessages && !m_currentList && !m_currentCompose) {
                auto alert = UIAlertView::initWithTitle(HBRLocalizedString("HarborFeedbackNewMessageTitle"),
                    HBRLocalizedString("HarborFeedbackNewMessageText"), this, self<HBRFeedbackManager>(),
                    HBRLocalizedString("HarborFeedbackIgnore"), { HBRLocalizedString("HarborFeedbackShow") });
                alert->setTag(0);
                alert->show();
            }
        }
    }
    size_t pendingNow = messagesWithStatus(HBRFeedbackMessageStatusPending).size();
    if (pendingNow >= 1 && pendingNow < inProgress.size() + pendingBefore)
        scheduleAfter(
            "submitPendingMessages", 0.1, [](HBRFeedbackManager& manager) { manager.submitPendingMessages(); });
    saveMessages();
}

void HBRFeedbackManager::alertViewDidDismissWithButtonIndex(const Ref<UIAlertView>& alert, int32_t buttonIndex)
{
    if (alert && buttonIndex == alert->firstOtherButtonIndex())
        showFeedbackListView();
}

void HBRFeedbackManager::showFeedbackListView()
{
    if (m_currentList) {
        HBRLog("INFO: update view already visible, aborting");
        return;
    }
    showView(HBRFeedbackListViewController::initWithStyleModal(UITableViewStyleGrouped, true));
}

Ref<HBRFeedbackComposeViewController> HBRFeedbackManager::feedbackComposeViewController()
{
    return HBRFeedbackComposeViewController::init();
}

void HBRFeedbackManager::showFeedbackComposeView()
{
    if (m_currentCompose) {
        HBRLog("INFO: update view already visible, aborting");
        return;
    }
    showView(feedbackComposeViewController());
}
