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

#include <algorithm>
#include <cctype>
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

std::string HBRMultipartBoundaryForValues(const std::vector<std::string_view>& values)
{
    while (true) {
        std::string boundary = "HarborSDK-";
        for (char c : NSUUID::UUID()->UUIDString())
            if (c != '-')
                boundary += char(std::tolower(static_cast<unsigned char>(c)));
        if (std::none_of(values.begin(), values.end(),
                [&](std::string_view value) { return value.find(boundary) != std::string_view::npos; }))
            return boundary;
    }
}

std::string HBRXMLSafeText(std::string_view text)
{
    static const char kReplacement[] = "\xef\xbf\xbd";
    std::string safe;
    safe.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            if (byte >= 0x20 || byte == '\t' || byte == '\n' || byte == '\r')
                safe += char(byte);
            ++i;
            continue;
        }
        // The length of the sequence and the range of its second byte (which excludes overlong
        // forms, surrogates and code points past U+10FFFF).
        size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (byte >= 0xC2 && byte <= 0xDF) {
            length = 2;
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            length = 3;
            low = byte == 0xE0 ? 0xA0 : 0x80;
            high = byte == 0xED ? 0x9F : 0xBF;
        } else if (byte >= 0xF0 && byte <= 0xF4) {
            length = 4;
            low = byte == 0xF0 ? 0x90 : 0x80;
            high = byte == 0xF4 ? 0x8F : 0xBF;
        }
        size_t valid = length == 0 ? 0 : 1;
        while (valid > 0 && valid < length && i + valid < text.size()) {
            auto next = static_cast<unsigned char>(text[i + valid]);
            if (valid == 1 ? (next < low || next > high) : (next < 0x80 || next > 0xBF))
                break;
            ++valid;
        }
        if (length == 0 || valid < length) {
            // One replacement for the longest invalid start, as the standard repair does.
            safe += kReplacement;
            i += std::max<size_t>(valid, 1);
            continue;
        }
        // U+FFFE and U+FFFF are not characters XML can hold.
        bool nonCharacter = length == 3 && byte == 0xEF && static_cast<unsigned char>(text[i + 1]) == 0xBF
            && static_cast<unsigned char>(text[i + 2]) >= 0xBE;
        if (!nonCharacter)
            safe.append(text.substr(i, length));
        i += length;
    }
    return safe;
}

bool HBRIsPlainToken(std::string_view token)
{
    return !token.empty() && token.size() <= 128 && std::all_of(token.begin(), token.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    });
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
