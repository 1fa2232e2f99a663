#include "sdk/HBRHarborHelper.h"

#include "foundation/Locked.h"
#include "foundation/NSBundle.h"
#include "foundation/NSCharacterSet.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSPredicate.h"
#include "foundation/NSUUID.h"
#include "graphics/CGContext.h"
#include "graphics/CGImage.h"
#include "graphics/UIGraphics.h"
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

Ref<UIImage> HBRImageWithAlpha(const Ref<UIImage>& image)
{
    if (!image || !image->CGImage())
        return image;
    switch (CGImageGetAlphaInfo(image->CGImage())) {
    case kCGImageAlphaPremultipliedLast:
    case kCGImageAlphaPremultipliedFirst:
    case kCGImageAlphaLast:
    case kCGImageAlphaFirst:
        return image;
    default:
        break;
    }
    CGSize size = image->size();
    UIGraphicsBeginImageContextWithOptions(size, false, image->scale());
    image->drawInRect(CGRectMake(0, 0, size.width, size.height));
    auto copy = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return copy;
}

Ref<UIImage> HBRImageScaledToFit(const Ref<UIImage>& image, CGSize target, bool honorScaleFactor)
{
    if (!image || !image->CGImage())
        return nullptr;
    float scale = honorScaleFactor && image->scale() > 0 ? image->scale() : 1;
    float w = image->size().width * scale;
    float h = image->size().height * scale;
    if (w <= 0 || h <= 0 || target.width <= 0 || target.height <= 0)
        return nullptr;
    CGSize fitted;
    if (w / h <= target.width / target.height)
        fitted = CGSizeMake(std::round(w / h * target.height), target.height);
    else
        fitted = CGSizeMake(target.width, std::round(target.width * h / w));
    auto cropped = CGImageCreateWithImageInRect(image->CGImage(), CGRectMake(0, 0, w, h));
    UIGraphicsBeginImageContextWithOptions(fitted, false, honorScaleFactor ? UIScreen::mainScreen()->scale() : 1);
    UIImage::imageWithCGImage(cropped, 1, image->imageOrientation())
        ->drawInRect(CGRectMake(0, 0, fitted.width, fitted.height));
    auto result = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return result;
}

void HBRAddRoundedRectToPath(const std::shared_ptr<CGContext>& context, CGRect rect, float ovalWidth, float ovalHeight)
{
    if (ovalWidth == 0 || ovalHeight == 0) {
        CGContextAddRect(context, rect);
        return;
    }
    CGContextSaveGState(context);
    CGContextTranslateCTM(context, CGRectGetMinX(rect), CGRectGetMinY(rect));
    CGContextScaleCTM(context, ovalWidth, ovalHeight);
    float fw = rect.size.width / ovalWidth;
    float fh = rect.size.height / ovalHeight;
    CGContextMoveToPoint(context, fw, fh / 2);
    CGContextAddArcToPoint(context, fw, fh, fw / 2, fh, 1);
    CGContextAddArcToPoint(context, 0, fh, 0, fh / 2, 1);
    CGContextAddArcToPoint(context, 0, 0, fw / 2, 0, 1);
    CGContextAddArcToPoint(context, fw, 0, fw, fh / 2, 1);
    CGContextClosePath(context);
    CGContextRestoreGState(context);
}

Ref<UIImage> HBRImageWithRoundedCorners(const Ref<UIImage>& image, int32_t cornerSize, int32_t borderSize)
{
    if (!image || !image->CGImage())
        return nullptr;
    CGSize size = image->size();
    UIGraphicsBeginImageContextWithOptions(size, false, UIScreen::mainScreen()->scale());
    auto context = UIGraphicsGetCurrentContext();
    auto cropped = CGImageCreateWithImageInRect(
        image->CGImage(), CGRectMake(0, 0, size.width * image->scale(), size.height * image->scale()));
    HBRAddRoundedRectToPath(context,
        CGRectMake(borderSize, borderSize, size.width - borderSize * 2, size.height - borderSize * 2), cornerSize,
        cornerSize);
    CGContextClip(context);
    UIImage::imageWithCGImage(cropped, image->scale(), image->imageOrientation())
        ->drawInRect(CGRectMake(0, 0, size.width, size.height));
    auto result = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return result;
}
