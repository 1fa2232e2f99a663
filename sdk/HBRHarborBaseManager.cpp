#include "sdk/HBRHarborBaseManager.h"

#include "foundation/NSDate.h"
#include "foundation/NSDateFormatter.h"
#include "foundation/NSError.h"
#include "foundation/NSLocale.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSTimeZone.h"
#include "foundation/NSUserDefaults.h"
#include "graphics/UIColor.h"
#include "os/OSHost.h"
#include "os/OSImages.h"
#include "sdk/HBRHarborBaseViewController.h"
#include "sdk/HBRHarborHelper.h"
#include "sdk/HBRHarborManager.h"
#include "sdk/HBRHarborSDK.h"
#include "sdk/HBRKeychainUtils.h"
#include "uikit/UIApplication.h"
#include "uikit/UIDevice.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIWindow.h"

VX_REGISTER_CLASS(HBRHarborBaseManager);

namespace {
constexpr const char* HBRLogClassName = "HBRHarborBaseManager";
}

HBRHarborBaseManager::HBRHarborBaseManager(Passkey key)
    : NSObject(key)
{
}

void HBRHarborBaseManager::init()
{
    m_rfc3339Formatter = NSDateFormatter::init();
    m_rfc3339Formatter->setLocale(NSLocale::localeWithLocaleIdentifier("en_US_POSIX"));
    m_rfc3339Formatter->setDateFormat("yyyy'-'MM'-'dd'T'HH':'mm':'ss'Z'");
    m_rfc3339Formatter->setTimeZone(NSTimeZone::timeZoneForSecondsFromGMT(0));
    m_serverURL = kHBRDefaultServerURL;
    m_barStyle = 0;
    m_navigationBarTintColor = nullptr;
    m_modalPresentationStyle = UIModalPresentationFormSheet;
}

void HBRHarborBaseManager::reportError(const Ref<NSError>& error)
{
    HBRLog("ERROR: %@", error ? error->localizedDescription() : std::string());
}

std::string HBRHarborBaseManager::encodedAppIdentifier() const
{
    return HBREncodedAppIdentifier(m_appIdentifier);
}

std::string HBRHarborBaseManager::getDevicePlatform()
{
    return vxos::machineModel();
}

std::string HBRHarborBaseManager::executableUUID()
{
    // The first image the loader reports is the executable itself.
    std::string uuid;
    bool first = true;
    vxos::forEachLoadedImage([&](uintptr_t header, const char*) {
        if (!first)
            return;
        first = false;
        vxos::ElfImage image;
        if (vxos::elfImageInit(&image, header) != 0)
            return;
        static const char* const digits = "0123456789abcdef";
        for (uint32_t i = 0; i < image.buildIdLength; ++i) {
            uuid.push_back(digits[image.buildId[i] >> 4]);
            uuid.push_back(digits[image.buildId[i] & 15]);
        }
    });
    return uuid;
}

Ref<UIWindow> HBRHarborBaseManager::findVisibleWindow()
{
    auto application = UIApplication::sharedApplication();
    auto keyWindow = application->keyWindow();
    if (keyWindow && !keyWindow->isHidden())
        return keyWindow;
    for (const auto& window : application->windows()) {
        if (!window->isHidden() && window->rootViewController()) {
            HBRLog("INFO: UIWindow with rootViewController found: %@", window->description());
            return window;
        }
    }
    return keyWindow;
}

Ref<UINavigationController> HBRHarborBaseManager::customNavigationControllerWithRootViewControllerPresentationStyle(
    const Ref<UIViewController>& viewController, int32_t presentationStyle)
{
    auto navigation = UINavigationController::initWithRootViewController(viewController);
    navigation->view(); // makes the navigation bar
    if (auto bar = navigation->navigationBar())
        bar->setTintColor(m_navigationBarTintColor ? m_navigationBarTintColor
                                                   : UIColor::colorWithRedGreenBlueAlpha(0, 122.0f / 255.0f, 1, 1));
    navigation->setModalPresentationStyle(UIModalPresentationStyle(presentationStyle));
    return navigation;
}

void HBRHarborBaseManager::showView(const Ref<UIViewController>& viewController)
{
    Ref<UIViewController> parent;
    auto sdk = HBRHarborManager::sharedHarborManager();
    if (auto delegate = sdk->delegate())
        parent = delegate->viewControllerForHarborManagerComponentManager(*sdk, *this).value_or(nullptr);
    auto window = findVisibleWindow();
    if (!parent && window)
        parent = window->rootViewController();
    while (parent && parent->presentedViewController())
        parent = parent->presentedViewController();
    if (parent && parent->isBeingPresented()) {
        HBRLog("WARNING: There is already a view controller being presented onto the parentViewController. "
               "Delaying presenting the new view controller by 0.5s.");
        performSelectorAfterDelay(
            self<HBRHarborBaseManager>(), "showView:",
            [weak = Weak<HBRHarborBaseManager>(self<HBRHarborBaseManager>()), viewController] {
                if (auto manager = weak.lock())
                    manager->showView(viewController);
            },
            0.5);
        return;
    }
    m_navController = nullptr;
    m_navController
        = customNavigationControllerWithRootViewControllerPresentationStyle(viewController, m_modalPresentationStyle);
    if (parent) {
        m_navController->setModalTransitionStyle(UIModalTransitionStyleCoverVertical);
        if (UIDevice::currentDevice()->userInterfaceIdiom() == UIUserInterfaceIdiomPad)
            m_navController->setModalPresentationStyle(UIModalPresentationFormSheet);
        if (auto screen = std::dynamic_pointer_cast<HBRHarborBaseViewController>(viewController))
            screen->setModalAnimated(true);
        parent->presentViewControllerAnimatedCompletion(m_navController, true, nullptr);
    } else if (window) {
        HBRLog("INFO: No rootViewController found, using UIWindow-approach: %@", window->description());
        if (auto screen = std::dynamic_pointer_cast<HBRHarborBaseViewController>(viewController))
            screen->setModalAnimated(false);
        window->addSubview(m_navController->view());
    }
}

bool HBRHarborBaseManager::addStringValueToKeychainForKey(
    const std::optional<std::string>& value, const std::optional<std::string>& key)
{
    if (!value || !key)
        return false;
    return HBRKeychainUtils::storeUsernameAndPasswordForServiceName(
        key, value, HBRKeychainServiceName(), true, nullptr);
}

bool HBRHarborBaseManager::addStringValueToKeychainForThisDeviceOnlyForKey(
    const std::optional<std::string>& value, const std::optional<std::string>& key)
{
    if (!value || !key)
        return false;
    return HBRKeychainUtils::storeUsernameAndPasswordForServiceName(
        key, value, HBRKeychainServiceName(), true, kSecAttrAccessibleWhenUnlockedThisDeviceOnly, nullptr);
}

std::optional<std::string> HBRHarborBaseManager::stringValueFromKeychainForKey(const std::optional<std::string>& key)
{
    if (!key)
        return std::nullopt;
    return HBRKeychainUtils::getPasswordForUsernameAndServiceName(key, HBRKeychainServiceName(), nullptr);
}

bool HBRHarborBaseManager::removeKeyFromKeychain(const std::optional<std::string>& key)
{
    return HBRKeychainUtils::deleteItemForUsernameAndServiceName(key, HBRKeychainServiceName(), nullptr);
}

Ref<NSDate> HBRHarborBaseManager::parseRFC3339Date(const std::string& string)
{
    auto date = m_rfc3339Formatter->dateFromString(string);
    if (!date)
        HBRLog("INFO: Invalid date '%@' string: %@", string, std::string("unparsable"));
    return date;
}

void HBRHarborBaseManager::storeDateInUserDefaults(double secondsSince1970, const std::string& key)
{
    auto defaults = NSUserDefaults::standardUserDefaults();
    if (secondsSince1970 <= NSDate::distantPast()->timeIntervalSince1970())
        defaults->removeObjectForKey(key);
    else
        defaults->setObjectForKey(Value::date(secondsSince1970), key);
    defaults->synchronize();
}

void HBRHarborBaseManager::observeNotification(
    Ref<NSObject>& token, const std::string& name, std::function<void(HBRHarborBaseManager&)> action)
{
    if (token)
        return;
    Weak<HBRHarborBaseManager> weak = self<HBRHarborBaseManager>();
    token = NSNotificationCenter::defaultCenter()->addObserverForName(
        name, nullptr, NSOperationQueue::mainQueue(), [weak, action](const Ref<NSNotification>&) {
            if (auto manager = weak.lock())
                action(*manager);
        });
}

void HBRHarborBaseManager::removeObservers(std::initializer_list<Ref<NSObject>*> tokens)
{
    auto center = NSNotificationCenter::defaultCenter();
    for (auto* token : tokens) {
        if (*token)
            center->removeObserver(*token);
        *token = nullptr;
    }
}
