#include "sdk/HBRHarborHelper.h"

#include "foundation/Locked.h"
#include "foundation/NSBundle.h"
#include "foundation/NSCharacterSet.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSPredicate.h"
#include "foundation/NSUUID.h"
#include "graphics/UIImage.h"
#include "sdk/HBRHarborSDK.h"
#include "sdk/HBRKeychainUtils.h"
#include "uikit/UIScreen.h"

#include <cmath>

namespace {

struct HelperState {
    bool anonymousIdentifierMade { false };
    std::optional<std::string> anonymousIdentifier;
    bool bundleLookedUp { false };
    Ref<NSBundle> bundle;
};
Locked<HelperState> s_state;

const char* const kEmailPattern
    = R"RE((?:[a-z0-9!#$%\&'*+/=?\^_`{|}~-]+(?:\.[a-z0-9!#$%\&'*+/=?\^_`{|}~-]+)*|"(?:[\x01-\x08\x0b\x0c\x0e-\x1f\x21\x23-\x5b\x5d-\x7f]|\\[\x01-\x09\x0b\x0c\x0e-\x7f])*")@(?:(?:[a-z0-9](?:[a-z0-9-]*[a-z0-9])?\.)+[a-z0-9](?:[a-z0-9-]*[a-z0-9])?|\[(?:(?:25[0-5]|2[0-4][0-9]|[01]?[0-9][0-9]?)\.){3}(?:25[0-5]|2[0-4][0-9]|[01]?[0-9][0-9]?|[a-z0-9-]*[a-z0-9]:(?:[\x01-\x08\x0b\x0c\x0e-\x1f\x21-\x5a\x53-\x7f]|\\[\x01-\x09\x0b\x0c\x0e-\x7f])+)\]))RE";

// The part of a version string before its first letter (the whole string without letters).
std::string cutBeforeFirstLetter(const std::string& version)
{
    auto range = NSString::rangeOfCharacterFromSet(version, NSCharacterSet::letterCharacterSet());
    if (range.location == NSNotFound)
        return version;
    return NSString::substringToIndex(version, range.location);
}

} // namespace

std::string HBRURLEncodeString(std::string_view string)
{
    return NSString::stringByURLEncoding(string);
}

std::string HBREncodedAppIdentifier(const std::optional<std::string>& identifier)
{
    return HBRURLEncodeString(identifier ? *identifier : HBRMainBundleIdentifier());
}

bool HBRIsValidEmail(const std::string& email)
{
    auto predicate = NSPredicate::predicateWithFormat("SELF MATCHES[c] %@", std::string(kEmailPattern));
    return predicate && predicate->evaluateWithObject(email);
}

std::string HBRMainBundleIdentifier()
{
    return NSBundle::mainBundle()->objectForInfoDictionaryKey("CFBundleIdentifier").stringValue();
}

std::string HBRKeychainServiceName()
{
    return NSString::stringWithFormat("%@.HarborSDK", HBRMainBundleIdentifier());
}

NSComparisonResult HBRCompareVersionStrings(const std::string& a, const std::string& b)
{
    auto result = NSString::compare(cutBeforeFirstLetter(a), cutBeforeFirstLetter(b), NSNumericSearch);
    if (result == NSOrderedSame)
        result = NSString::compare(a, b, NSNumericSearch);
    return result;
}

std::string HBRAppDisplayName(const std::string& placeholder)
{
    auto bundle = NSBundle::mainBundle();
    auto localized = bundle->localizedInfoDictionary()["CFBundleDisplayName"];
    if (localized.isString() && !localized.string().empty())
        return localized.string();
    auto plain = bundle->objectForInfoDictionaryKey("CFBundleDisplayName");
    if (plain.isString() && !plain.string().empty())
        return plain.string();
    return placeholder;
}

std::string HBRCoreFoundationUUIDString()
{
    return NSUUID::UUID()->UUIDString();
}

std::string HBRNewUUIDString()
{
    return NSUUID::UUID()->UUIDString();
}

std::optional<std::string> HBRAnonymousAppIdentifier()
{
    return s_state.with([](HelperState& state) {
        if (state.anonymousIdentifierMade)
            return state.anonymousIdentifier;
        state.anonymousIdentifierMade = true;
        std::string service = HBRKeychainServiceName();
        auto stored = HBRKeychainUtils::getPasswordForUsernameAndServiceName("appAnonID", service, nullptr);
        if (!stored) {
            stored = HBRNewUUIDString();
            (void)HBRKeychainUtils::storeUsernameAndPasswordForServiceName(
                "appAnonID", *stored, service, true, kSecAttrAccessibleWhenUnlockedThisDeviceOnly, nullptr);
        }
        state.anonymousIdentifier = stored;
        return stored;
    });
}

Ref<NSBundle> HBRResourcesBundle()
{
    return s_state.with([](HelperState& state) {
        if (!state.bundleLookedUp) {
            state.bundleLookedUp = true;
            std::string path = NSBundle::mainBundle()->resourcePath() + "/" + kHBRResourcesBundleName;
            bool isDirectory = false;
            if (NSFileManager::defaultManager()->fileExistsAtPath(path, &isDirectory) && isDirectory)
                state.bundle = NSBundle::bundleWithPath(path);
        }
        return state.bundle;
    });
}

std::string HBRLocalizedString(const std::optional<std::string>& key)
{
    if (!key)
        return "";
    std::string text = NSBundle::mainBundle()->localizedStringForKey(*key, "", "");
    if (!text.empty() && text != *key)
        return text;
    auto bundle = HBRResourcesBundle();
    if (!bundle)
        return *key;
    std::string kitText = bundle->localizedStringForKey(*key, "", "HarborSDK");
    return kitText.empty() ? *key : kitText;
}

Ref<UIImage> HBRImageAtPath(const std::string& path)
{
    if (std::floor(UIScreen::mainScreen()->scale()) == 2.0) {
        std::string extension = NSString::pathExtension(path);
        std::string retina
            = NSString::stringWithFormat("%@@2x.%@", NSString::stringByDeletingPathExtension(path), extension);
        if (NSFileManager::defaultManager()->fileExistsAtPath(retina))
            return UIImage::imageWithContentsOfFile(retina);
    }
    return UIImage::imageWithContentsOfFile(path);
}

Ref<UIImage> HBRImageFromResourcesBundle(const std::string& imageName, const std::string& bundleName)
{
    return HBRImageAtPath(NSBundle::mainBundle()->resourcePath() + "/" + bundleName + "/" + imageName);
}

void HBRResetHelperForTesting()
{
    s_state.set(HelperState {});
}
