#include "app/core/KESTMessagingManager.h"

#include "app/core/KESTLiveDataManager.h"
#include "foundation/Dispatch.h"
#include "foundation/NSBundle.h"
#include "foundation/NSCharacterSet.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSString.h"
#include "foundation/NSUserDefaults.h"
#include "foundation/ThreadChecks.h"
#include "net/NSURL.h"
#include "networking/VNHTTPRequestOperationManager.h"
#include "networking/VNJSONResponseSerializer.h"

#include <algorithm>
#include <cctype>

VX_REGISTER_CLASS(KESTMessagingManager);

namespace {

constexpr const char* kLastMessageKey = "kkestravonLastMessage";
constexpr const char* kLastVersionKey = "kLastVersionUpdateSeen";

// The integer value of a number or a numeric text (an optional sign and digits, with white
// space around); nullopt for anything else, which leaves the remembered numbers alone.
std::optional<int32_t> integerOf(const Value& value)
{
    if (value.isNumber())
        return value.intValue();
    if (!value.isString())
        return std::nullopt;
    std::string text
        = NSString::stringByTrimmingCharactersInSet(value.string(), NSCharacterSet::whitespaceAndNewlineCharacterSet());
    size_t digits = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (digits == text.size()
        || !std::all_of(
            text.begin() + static_cast<long>(digits), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
        return std::nullopt;
    return value.intValue();
}

// Pages the poll may open: web pages and the application's own links (the URL schemes of its
// info dictionary). Any other scheme could start another application or read local files.
bool isOpenableURL(const Ref<NSURL>& url)
{
    std::string scheme = NSString::lowercaseString(url->scheme());
    if (scheme == "http" || scheme == "https")
        return true;
    Value types = NSBundle::mainBundle()->objectForInfoDictionaryKey("CFBundleURLTypes");
    for (const auto& type : types.isArray() ? types.elements() : std::vector<Value> {}) {
        Value schemes = type.isDictionary() ? type.objectForKey("CFBundleURLSchemes") : Value();
        for (const auto& own : schemes.isArray() ? schemes.elements() : std::vector<Value> {}) {
            if (own.isString() && NSString::lowercaseString(own.string()) == scheme)
                return true;
        }
    }
    return false;
}

} // namespace

Ref<KESTMessagingManager> KESTMessagingManager::initWithDelegate(
    KESTMessagingManagerDelegate* delegate, Weak<NSObject> owner)
{
    assertIsMainThread();
    auto manager = make<KESTMessagingManager>();
    manager->m_delegate = delegate;
    manager->m_delegateOwner = std::move(owner);
    manager->m_manager = VNHTTPRequestOperationManager::manager();
    manager->m_manager->setResponseSerializer(VNJSONResponseSerializer::serializer());
    manager->loadStoredNumbers();
    return manager;
}

void KESTMessagingManager::loadStoredNumbers()
{
    auto defaults = NSUserDefaults::standardUserDefaults();
    m_lastMessageID = defaults->integerForKey(kLastMessageKey);
    m_seenUpdateTextFor = defaults->integerForKey(kLastVersionKey);
}

std::string KESTMessagingManager::pollURL() const
{
    assertIsMainThread();
    auto bundle = NSBundle::mainBundle();
    return NSString::stringWithFormat(
        "%@APPAPIv2/KESTPoll/kestPOLL.php?bundleID=%@&lastMessage=%li&seenVersion=%li&currentVersion=%@",
        KESTLiveDataManager::serviceBaseURL(), bundle->bundleIdentifier().value_or(""), long(m_lastMessageID),
        long(m_seenUpdateTextFor), bundle->objectForInfoDictionaryKey("CFBundleVersion").stringValue());
}

void KESTMessagingManager::fetchLatestMessage()
{
    assertIsMainThread();
    loadStoredNumbers();
    int32_t lastMessage = m_lastMessageID;
    int32_t seenVersion = m_seenUpdateTextFor;
    // The poll holds the poller until its answer has been handled; a failed poll shows nothing.
    auto self = this->self<KESTMessagingManager>();
    m_manager->POSTParametersConstructingBodyWithBlockSuccessFailure(
        pollURL(), Value::dictionary(), nullptr,
        [self, lastMessage, seenVersion](const Ref<VNHTTPRequestOperation>&, const Value& answer) {
            self->handleAnswer(answer, lastMessage, seenVersion);
        },
        nullptr);
}

void KESTMessagingManager::handleAnswer(const Value& answer, int32_t lastMessage, int32_t seenVersion)
{
    assertIsMainThread();
    // Answers that are not objects, and entries that are not objects, are ignored like an empty
    // answer: nothing is stored and the delegate hears nothing.
    if (!answer.isDictionary() || answer.count() == 0)
        return;
    auto defaults = NSUserDefaults::standardUserDefaults();
    Value version = answer.objectForKey("version");
    Value message = answer.objectForKey("message");
    auto launch = [&](const Value& link, int32_t timeOut) {
        auto url = link.isString() ? NSURL::URLWithString(link.stringValue()) : nullptr;
        auto target = delegate();
        if (!url || !isOpenableURL(url) || !target) {
            close();
            return;
        }
        // Held across the call: the delegate may drop its poller while showing the page.
        Ref<KESTMessagingManager> protectedThis = self<KESTMessagingManager>();
        Ref<NSObject> owner = m_delegateOwner.lock();
        target->messagingManageRequestedLaunchOfURLWithCloseButtonAndTimeOut(url, true, timeOut);
    };
    if (!version.isNil()) {
        auto number = version.isDictionary() ? integerOf(version.objectForKey("latestVersion")) : std::nullopt;
        if (!number)
            return;
        defaults->setInteger(*number, kLastVersionKey);
        defaults->synchronize();
        if (seenVersion != 0 && *number > seenVersion)
            launch(version.objectForKey("versionURL"), 0);
        else
            close();
    } else if (!message.isNil()) {
        auto number = message.isDictionary() ? integerOf(message.objectForKey("messageID")) : std::nullopt;
        if (!number)
            return;
        defaults->setInteger(*number, kLastMessageKey);
        defaults->synchronize();
        if (lastMessage != 0 && *number > lastMessage)
            launch(message.objectForKey("messageURL"), 5);
        else
            close();
    }
    defaults->synchronize();
}

void KESTMessagingManager::close()
{
    assertIsMainThread();
    Ref<KESTMessagingManager> protectedThis = self<KESTMessagingManager>();
    Ref<NSObject> owner = m_delegateOwner.lock();
    if (auto target = delegate())
        target->messagingManagerDidClose();
    m_delegate = nullptr;
    m_delegateOwner.reset();
}
