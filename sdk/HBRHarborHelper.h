#pragma once

#include "foundation/FoundationForward.h"
#include "foundation/NSString.h"
#include "foundation/Ref.h"
#include "graphics/CGGeometry.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CGContext;
class NSBundle;
class UIImage;

// The kit's free utilities: URL encoding, e-mail test, keychain service, version comparison,
// application name, UUIDs, the anonymous installation identifier, the resource bundle and its
// texts and images. Main thread unless said otherwise; the once-only values may be read from
// any thread after they were made.

// Percent-encodes UTF-8, escaping every character of "!*'();:@&=+$,/?%#[]" as well.
std::string HBRURLEncodeString(std::string_view string);
// HBRURLEncodeString of the identifier, or of the main bundle's identifier when nullopt.
std::string HBREncodedAppIdentifier(const std::optional<std::string>& identifier);
// Whole-string, case-insensitive match of the kit's e-mail address pattern.
bool HBRIsValidEmail(const std::string& email);
// "<bundle identifier>.HarborSDK".
std::string HBRKeychainServiceName();
std::string HBRMainBundleIdentifier();
// Numeric comparison of the parts before the first letter, then of the whole strings.
NSComparisonResult HBRCompareVersionStrings(const std::string& a, const std::string& b);
// The localized display name, else the plain one, else `placeholder`.
std::string HBRAppDisplayName(const std::string& placeholder);
std::string HBRCoreFoundationUUIDString();
std::string HBRNewUUIDString();
// A multipart boundary that occurs in none of `values`: "HarborSDK-" and 32 random hexadecimal
// digits, drawn again in the unlikely case that a value holds it. Any thread.
std::string HBRMultipartBoundaryForValues(const std::vector<std::string_view>& values);
// Text that XML 1.0 can hold: invalid UTF-8 becomes U+FFFD and the characters XML cannot hold
// (C0 controls other than tab, line feed and carriage return, U+FFFE, U+FFFF) are dropped. Any
// thread.
std::string HBRXMLSafeText(std::string_view text);
// A thread or message token the kit puts into a request path: 1 to 128 ASCII letters, digits,
// "-" and "_". Any thread.
bool HBRIsPlainToken(std::string_view token);
// The per-installation identifier kept in the keychain under "appAnonID"; made once per process.
std::optional<std::string> HBRAnonymousAppIdentifier();
// "HarborSDKResources.bundle" in the main bundle, looked up once per process; nullptr without it.
Ref<NSBundle> HBRResourcesBundle();
// The main bundle's text for the key, else the bundle's "HarborSDK" table, else the key.
std::string HBRLocalizedString(const std::optional<std::string>& key);
// The "@2x" file beside `path` on a 2x screen when it exists, else the file itself.
Ref<UIImage> HBRImageAtPath(const std::string& path);
Ref<UIImage> HBRImageFromResourcesBundle(const std::string& imageName, const std::string& bundleName);

// Test-only: forget the once-only values (anonymous identifier, resource bundle).
void HBRResetHelperForTesting();

// Image utilities of the kit's screens.
// The image itself when it has alpha, else a copy drawn with alpha.
Ref<UIImage> HBRImageWithAlpha(const Ref<UIImage>& image);
// The image scaled to fit the target size, keeping its aspect ratio.
Ref<UIImage> HBRImageScaledToFit(const Ref<UIImage>& image, CGSize size, bool honorScaleFactor);
// The image clipped to a rounded rectangle inset by the border size.
Ref<UIImage> HBRImageWithRoundedCorners(const Ref<UIImage>& image, int32_t cornerSize, int32_t borderSize);
// Adds a rounded rectangle (plain when an oval side is 0) to the context's path.
void HBRAddRoundedRectToPath(const std::shared_ptr<CGContext>& context, CGRect rect, float ovalWidth, float ovalHeight);
