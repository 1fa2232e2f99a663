#include "app/core/KESTAuthManager.h"

#include "app/categories/UIDevice+Hardware.h"
#include "app/core/DeviceUUIDHandler.h"
#include "app/core/KESTAlertManager.h"
#include "app/core/KESTKeychainWrapper.h"
#include "app/core/KESTServiceEndpoints.h"
#include "foundation/NSBundle.h"
#include "foundation/NSDate.h"
#include "foundation/NSError.h"
#include "foundation/NSLocale.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "foundation/NSUserDefaults.h"
#include "foundation/Random.h"
#include "foundation/ThreadChecks.h"
#include "net/NSURL.h"
#include "networking/VNHTTPRequestOperationManager.h"
#include "networking/VNHTTPResponseSerializer.h"
#include "uikit/UIDevice.h"
#include "uikit/UINavigationController.h"

VX_REGISTER_CLASS(KESTAuthManager);

namespace {

constexpr const char* kAlphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXZY0123456789";

Ref<KESTAuthManager>& instanceSlot()
{
    static Ref<KESTAuthManager> s_instance;
    return s_instance;
}

KESTAuthManager::ScreenFactory& menuFactory()
{
    static KESTAuthManager::ScreenFactory s_factory;
    return s_factory;
}

KESTAuthManager::ScreenFactory& loginFactory()
{
    static KESTAuthManager::ScreenFactory s_factory;
    return s_factory;
}

} // namespace

Ref<KESTAuthManager> KESTAuthManager::sharedInstance()
{
    auto& slot = instanceSlot();
    if (!slot) {
        auto client = make<KESTAuthManager>();
        client->m_manager = VNHTTPRequestOperationManager::initWithBaseURL(
            NSURL::URLWithString(KESTServiceEndpoints::accountServiceBaseURL()));
        client->m_manager->setRequestSerializer(VNHTTPRequestSerializer::serializer());
        client->m_manager->setResponseSerializer(VNHTTPResponseSerializer::serializer());
        slot = client;
    }
    return slot;
}

void KESTAuthManager::resetSharedInstanceForTesting()
{
    instanceSlot() = nullptr;
}

void KESTAuthManager::setMenuFactory(ScreenFactory factory)
{
    menuFactory() = std::move(factory);
}

void KESTAuthManager::setLoginFactory(ScreenFactory factory)
{
    loginFactory() = std::move(factory);
}

Value KESTAuthManager::deviceInfo() const
{
    auto info = Value::mutableDictionary();
    if (auto uuid = DeviceUUIDHandler::UUID())
        info.setObjectForKey(*uuid, "uuid");
    auto device = UIDevice::currentDevice();
    std::string model = UIDevice_Hardware::platform(device);
    if (!model.empty())
        info.setObjectForKey(model, "model");
    if (auto token = KESTAlertManager::sharedInstance()->storedDeviceToken())
        info.setObjectForKey(*token, "push_token");
    auto bundle = NSBundle::mainBundle();
    if (auto identifier = bundle->bundleIdentifier())
        info.setObjectForKey(*identifier, "bundle_id");
    info.setObjectForKey(device->systemVersion(), "device_version");
    Value version = bundle->objectForInfoDictionaryKey("CFBundleShortVersionString");
    if (version.isString())
        info.setObjectForKey(version, "app_version");
    auto languages = NSLocale::preferredLanguages();
    if (!languages.empty())
        info.setObjectForKey(languages.front(), "language");
    info.setObjectForKey(NSLocale::currentLocale()->localeIdentifier(), "country");
    return info.copy();
}

void KESTAuthManager::performRequestSuccessFailure(const Value& parameters, SuccessBlock success, FailureBlock failure)
{
    assertIsMainThread();
    auto all = parameters.isDictionary() ? parameters.mutableCopy() : Value::mutableDictionary();
    Value info = deviceInfo();
    for (const auto& [key, value] : info.entries())
        all.setObjectForKey(value, key);
    m_manager->POSTParametersSuccessFailure("v1.php", all.copy(), std::move(success), std::move(failure));
}

void KESTAuthManager::createTempAccountWithCompletionFailure(Callback completion, Callback failure)
{
    assertIsMainThread();
    auto stamp = uint32_t(NSDate::date()->hash());
    Value parameters = Value::dictionary({ { "action", "create" },
        { "email",
            NSString::stringWithFormat(
                "temp_%@_%lu", DeviceUUIDHandler::UUID().value_or("(null)"), static_cast<unsigned long>(stamp)) },
        { "password", randomStringWithLength(16) } });
    Weak<KESTAuthManager> weak = self<KESTAuthManager>();
    performRequestSuccessFailure(
        parameters,
        [weak, parameters, completion](const Ref<VNHTTPRequestOperation>&, const Value&) {
            if (auto self = weak.lock())
                self->storeUserCredentials(parameters);
            if (completion)
                completion();
        },
        [failure](const Ref<VNHTTPRequestOperation>& operation, const Ref<NSError>& error) {
            std::string reply = operation ? operation->responseString().value_or("(null)") : "(null)";
            NSLog("%@ %@ %@", reply, error ? error->description() : std::string("(null)"),
                error ? error->localizedDescription() : std::string("(null)"));
            if (failure)
                failure();
        });
}

void KESTAuthManager::authenticateInControllerTempAccountAcceptableCompletionFailure(
    const Ref<UIViewController>& controller, bool tempAccountAcceptable, Callback completion, Callback failure)
{
    assertIsMainThread();
    bool stored = tempAccountAcceptable ? hasStoredCredentials() : hasValidStoredCredentials();
    if (!stored) {
        presentManagerInControllerCompletionFailure(controller, std::move(completion), std::move(failure));
        return;
    }
    auto email = storedEmail();
    Ref<NSError> error;
    auto password = KESTKeychainWrapper::getPasswordForUsernameAndServiceNameError(email, kKeychainService, &error);
    if (error || !email || !password) {
        presentLoginInControllerCompletionFailure(controller, std::move(completion), std::move(failure));
        return;
    }
    Weak<KESTAuthManager> weak = self<KESTAuthManager>();
    Weak<UIViewController> weakController = controller;
    performRequestSuccessFailure(
        Value::dictionary({ { "action", "login" }, { "email", *email }, { "password", *password } }),
        [completion](const Ref<VNHTTPRequestOperation>&, const Value&) {
            if (completion)
                completion();
        },
        [weak, weakController, completion, failure](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>&) {
            auto self = weak.lock();
            if (self)
                self->presentLoginInControllerCompletionFailure(weakController.lock(), completion, failure);
        });
}

void KESTAuthManager::present(
    const ScreenFactory& factory, const Ref<UIViewController>& controller, Callback completion, Callback failure)
{
    assertIsMainThread();
    if (!controller || !factory)
        return;
    auto screen = factory(std::move(completion), std::move(failure));
    if (!screen)
        return;
    auto navigation = UINavigationController::initWithRootViewController(screen);
    navigation->setModalPresentationStyle(UIModalPresentationCurrentContext);
    controller->presentViewControllerAnimatedCompletion(navigation, true, nullptr);
}

void KESTAuthManager::presentManagerInControllerCompletionFailure(
    const Ref<UIViewController>& controller, Callback completion, Callback failure)
{
    present(menuFactory(), controller, std::move(completion), std::move(failure));
}

void KESTAuthManager::presentLoginInControllerCompletionFailure(
    const Ref<UIViewController>& controller, Callback completion, Callback failure)
{
    present(loginFactory(), controller, std::move(completion), std::move(failure));
}

bool KESTAuthManager::storeUserCredentials(const Value& credentials)
{
    Value email = credentials.isDictionary() ? credentials["email"] : Value();
    Value password = credentials.isDictionary() ? credentials["password"] : Value();
    if (!email.isString() || !password.isString())
        return false;
    auto defaults = NSUserDefaults::standardUserDefaults();
    Ref<NSError> error;
    KESTKeychainWrapper::storeUsernameAndPasswordForServiceNameUpdateExistingError(
        email.stringValue(), password.stringValue(), std::string(kKeychainService), true, &error);
    if (error) {
        defaults->removeObjectForKey(kEmailDefaultsKey);
        return false;
    }
    defaults->setObjectForKey(email, kEmailDefaultsKey);
    return true;
}

void KESTAuthManager::removeStoredCredentials()
{
    auto email = storedEmail();
    if (!email)
        return;
    Ref<NSError> error;
    KESTKeychainWrapper::deleteItemForUsernameAndServiceNameError(email, std::string(kKeychainService), &error);
    NSUserDefaults::standardUserDefaults()->removeObjectForKey(kEmailDefaultsKey);
}

std::optional<std::string> KESTAuthManager::storedEmail() const
{
    Value email = NSUserDefaults::standardUserDefaults()->objectForKey(kEmailDefaultsKey);
    if (!email.isString())
        return std::nullopt;
    return email.stringValue();
}

bool KESTAuthManager::hasStoredCredentials() const
{
    auto email = storedEmail();
    if (!email)
        return false;
    Ref<NSError> error;
    auto password
        = KESTKeychainWrapper::getPasswordForUsernameAndServiceNameError(email, std::string(kKeychainService), &error);
    return password.has_value() && !error;
}

bool KESTAuthManager::hasValidStoredCredentials() const
{
    auto email = storedEmail();
    if (!email)
        return false;
    std::string temporaryPrefix = "temp_" + DeviceUUIDHandler::UUID().value_or("");
    return email->rfind(temporaryPrefix, 0) != 0;
}

std::string KESTAuthManager::randomStringWithLength(uint32_t length)
{
    static const std::string s_alphabet = kAlphabet;
    std::string result;
    result.reserve(length);
    for (uint32_t i = 0; i < length; ++i)
        result += s_alphabet[Random::arc4random() % s_alphabet.size()];
    return result;
}
