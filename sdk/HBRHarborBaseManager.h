#pragma once

#include "foundation/NSObject.h"

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

class NSDate;
class NSDateFormatter;
class NSError;
class UIColor;
class UINavigationController;
class UIViewController;
class UIWindow;

// The superclass of the kit's component managers (crash, beta update, store update, feedback):
// the application identifier and store-build flag, the service's base URL, the kit's keychain
// string store, the RFC 3339 date parser and the presentation of kit screens. Main thread only.
class HBRHarborBaseManager : public NSObject {
    VX_OBJECT(HBRHarborBaseManager, NSObject)
public:
    explicit HBRHarborBaseManager(Passkey key);

    // Runs init() (a subclass's own defaults), then stores the identifier and the flag.
    template <typename T>
    static Ref<T> initWithAppIdentifierIsAppStoreEnvironment(const std::string& appIdentifier, bool appStore)
    {
        auto manager = make<T>();
        HBRHarborBaseManager& base = *manager;
        base.init();
        base.m_appIdentifier = appIdentifier;
        base.m_isAppStoreEnvironment = appStore;
        return manager;
    }

    virtual void startManager() { }
    virtual void reportError(const Ref<NSError>& error);

    bool isAppStoreEnvironment() const { return m_isAppStoreEnvironment; }
    void setIsAppStoreEnvironment(bool value) { m_isAppStoreEnvironment = value; }
    const std::string& appIdentifier() const { return m_appIdentifier; }
    void setAppIdentifier(std::string identifier) { m_appIdentifier = std::move(identifier); }
    const std::string& serverURL() const { return m_serverURL; }
    virtual void setServerURL(const std::string& url) { m_serverURL = url; }
    int32_t barStyle() const { return m_barStyle; }
    void setBarStyle(int32_t style) { m_barStyle = style; }
    const Ref<UIColor>& navigationBarTintColor() const { return m_navigationBarTintColor; }
    void setNavigationBarTintColor(Ref<UIColor> color) { m_navigationBarTintColor = std::move(color); }
    int32_t modalPresentationStyle() const { return m_modalPresentationStyle; }
    void setModalPresentationStyle(int32_t style) { m_modalPresentationStyle = style; }
    const Ref<UINavigationController>& navController() const { return m_navController; }

    std::string encodedAppIdentifier() const;
    // The kit always runs its iOS 7 paths: the platform's Foundation is newer than 993.
    static bool isPreiOS7Environment() { return false; }
    // The device model ("hw.machine").
    static std::string getDevicePlatform();
    // The running executable's identity in lower-case hexadecimal (its build id), "" without one.
    static std::string executableUUID();

    Ref<UIWindow> findVisibleWindow();
    Ref<UINavigationController> customNavigationControllerWithRootViewControllerPresentationStyle(
        const Ref<UIViewController>& viewController, int32_t presentationStyle);
    // Presents a kit screen over whatever the application shows (retrying every 0.5 s while the
    // parent is still being presented).
    void showView(const Ref<UIViewController>& viewController);

    // The kit's keychain string store (service HBRKeychainServiceName()).
    bool addStringValueToKeychainForKey(const std::optional<std::string>& value, const std::optional<std::string>& key);
    bool addStringValueToKeychainForThisDeviceOnlyForKey(
        const std::optional<std::string>& value, const std::optional<std::string>& key);
    std::optional<std::string> stringValueFromKeychainForKey(const std::optional<std::string>& key);
    bool removeKeyFromKeychain(const std::optional<std::string>& key);

    // "yyyy-MM-ddTHH:mm:ssZ" in GMT; nullptr (with a debug line) when it does not parse.
    Ref<NSDate> parseRFC3339Date(const std::string& string);

protected:
    // The defaults; subclasses extend it and call their superclass first.
    virtual void init();

    // Writes a date to the user defaults and synchronises them; the distant past, which an
    // absent value reads as, removes the key (the defaults' file cannot hold it).
    static void storeDateInUserDefaults(double secondsSince1970, const std::string& key);
    // Runs `action` on the main queue for each notification of that name, holding this manager
    // weakly; does nothing when `token` is already set.
    void observeNotification(
        Ref<NSObject>& token, const std::string& name, std::function<void(HBRHarborBaseManager&)> action);
    // Removes the observations and clears the tokens.
    static void removeObservers(std::initializer_list<Ref<NSObject>*> tokens);

private:
    Ref<UINavigationController> m_navController;
    Ref<NSDateFormatter> m_rfc3339Formatter;
    bool m_isAppStoreEnvironment { false };
    std::string m_serverURL;
    int32_t m_barStyle { 0 };
    Ref<UIColor> m_navigationBarTintColor;
    int32_t m_modalPresentationStyle { 2 };
    std::string m_appIdentifier;
};
