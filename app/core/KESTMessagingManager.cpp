#include "app/core/KESTMessagingManager.h"

#include "app/core/KESTLiveDataManager.h"
#include "foundation/Dispatch.h"
#include "foundation/NSBundle.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSString.h"
#include "foundation/NSUserDefaults.h"
#include "foundation/ThreadChecks.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSURL.h"
#include "net/NSURLSession.h"
#include "net/NSURLSessionDataTask.h"

VX_REGISTER_CLASS(KESTMessagingManager);

namespace {

constexpr const char* kLastMessageKey = "kkestravonLastMessage";
constexpr const char* kLastVersionKey = "kLastVersionUpdateSeen";

// The integer value of a number or a numeric text; nullopt for anything else.
std::optional<int32_t> integerOf(const Value& value)
{
    if (value.isNumber() || value.isString())
        return value.intValue();
    return std::nullopt;
}

} // namespace

Ref<KESTMessagingManager> KESTMessagingManager::initWithDelegate(
    KESTMessagingManagerDelegate* delegate, Weak<NSObject> owner)
{
    assertIsMainThread();
    auto manager = make<KESTMessagingManager>();
    manager->m_delegate = delegate;
    manager->m_delegateOwner = std::move(owner);
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
    auto self = this->self<KESTMessagingManager>();
    auto url = NSURL::URLWithString(pollURL());
    if (!url) {
        dispatch_async(dispatch_get_main_queue(),
            [self, lastMessage, seenVersion] { self->handleAnswer(Value(), lastMessage, seenVersion); });
        return;
    }
    auto request = NSMutableURLRequest::requestWithURL(url);
    request->setHTTPMethod("POST");
    // The poll holds the poller until its answer has been handled.
    auto task = NSURLSession::sharedSession()->dataTaskWithRequestCompletionHandler(request,
        [self, lastMessage, seenVersion](
            const Value& data, const Ref<NSURLResponse>& response, const Ref<NSError>& error) {
            Value answer;
            auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
            if (!error && http && http->statusCode() >= 200 && http->statusCode() < 300 && data.isData()) {
                Ref<NSError> parseError;
                answer = NSJSONSerialization::JSONObjectWithData(data.bytes(), 0, &parseError);
            }
            dispatch_async(dispatch_get_main_queue(),
                [self, answer, lastMessage, seenVersion] { self->handleAnswer(answer, lastMessage, seenVersion); });
        });
    task->resume();
}

void KESTMessagingManager::handleAnswer(const Value& answer, int32_t lastMessage, int32_t seenVersion)
{
    assertIsMainThread();
    auto defaults = NSUserDefaults::standardUserDefaults();
    Value version = answer.isDictionary() ? answer.objectForKey("version") : Value();
    Value message = answer.isDictionary() ? answer.objectForKey("message") : Value();
    auto launch = [&](const Value& link, int32_t timeOut) {
        auto url = link.isString() ? NSURL::URLWithString(link.stringValue()) : nullptr;
        auto target = delegate();
        if (!url || !target) {
            close();
            return;
        }
        // Held across the call: the delegate may drop its poller while showing the page.
        Ref<KESTMessagingManager> protectedThis = self<KESTMessagingManager>();
        Ref<NSObject> owner = m_delegateOwner.lock();
        target->messagingManageRequestedLaunchOfURLWithCloseButtonAndTimeOut(url, true, timeOut);
    };
    if (version.isDictionary()) {
        if (auto number = integerOf(version.objectForKey("latestVersion"))) {
            defaults->setInteger(*number, kLastVersionKey);
            defaults->synchronize();
            if (seenVersion != 0 && *number > seenVersion) {
                launch(version.objectForKey("versionURL"), 0);
                return;
            }
        }
    } else if (message.isDictionary()) {
        if (auto number = integerOf(message.objectForKey("messageID"))) {
            defaults->setInteger(*number, kLastMessageKey);
            defaults->synchronize();
            if (lastMessage != 0 && *number > lastMessage) {
                launch(message.objectForKey("messageURL"), 5);
                return;
            }
        }
    }
    close();
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
