#include "sdk/HBRHarborHelper.h"
#include "sdk/HBRKeychainUtils.h"
#include "sdk/tests/HarborTestSupport.h"

#include "foundation/NSBundle.h"

namespace {

class HBRHarborHelperTest : public HarborTest { };

TEST_F(HBRHarborHelperTest, LocalizedStringsComeFromTheKitTable)
{
    EXPECT_EQ(HBRLocalizedString(std::nullopt), "");
    EXPECT_EQ(HBRLocalizedString(std::string("NoSuchKitKey")), "NoSuchKitKey");
    EXPECT_EQ(HBRLocalizedString(std::string("CrashSendReport")), "Send Report");
    // The main bundle's own table wins over the kit's.
    EXPECT_EQ(
        HBRLocalizedString(std::string("Cancel")), NSBundle::mainBundle()->localizedStringForKey("Cancel", "", ""));
    ASSERT_TRUE(HBRResourcesBundle());
    for (const char* key : { "CrashDataFoundTitle", "CrashDataFoundDescription", "CrashDataFoundAnonymousDescription",
             "UpdateAlertTextWithAppVersion", "UpdateAlertMandatoryTextWithAppVersion",
             "UpdateNoUpdateAvailableMessage", "HarborFeedbackActivityButtonTitle", "HarborFeedbackListLastUpdated" }) {
        SCOPED_TRACE(key);
        EXPECT_NE(HBRLocalizedString(std::string(key)).find("%@"), std::string::npos);
    }
    for (const char* image : { "feedbackActiviy.png", "IconGradient.png", "buttonHighlight.png" })
        EXPECT_TRUE(HBRImageFromResourcesBundle(image, kHBRResourcesBundleName)) << image;
}

// Every key the kit asks for has a text of its own in the kit's table; a missing one would show
// as its key. ("OK" and "Pending" read the same as their keys and are left out.)
TEST_F(HBRHarborHelperTest, EveryKeyTheKitAsksForHasAText)
{
    for (const char* key : { "CrashDataFoundAnonymousDescription", "CrashDataFoundDescription", "CrashDataFoundTitle",
             "CrashDontSendReport", "CrashSendReport", "CrashSendReportAlways", "HarborAppNamePlaceholder",
             "HarborFeedbackActivityAppPlaceholder", "HarborFeedbackActivityButtonTitle", "HarborFeedbackComposeSend",
             "HarborFeedbackComposeTitle", "HarborFeedbackIgnore", "HarborFeedbackListButonDeleteAllMessages",
             "HarborFeedbackListButonUserDataSetEmail", "HarborFeedbackListButonUserDataSetName",
             "HarborFeedbackListButonUserDataWithEmail", "HarborFeedbackListButonUserDataWithName",
             "HarborFeedbackListButonWriteFeedback", "HarborFeedbackListButonWriteResponse",
             "HarborFeedbackListDeleteAllCancel", "HarborFeedbackListDeleteAllDelete",
             "HarborFeedbackListDeleteAllTitle", "HarborFeedbackListLastUpdated", "HarborFeedbackListLinkActionCancel",
             "HarborFeedbackListLinkActionCopy", "HarborFeedbackListLinkActionOpen", "HarborFeedbackListNeverUpdated",
             "HarborFeedbackListTitle", "HarborFeedbackNewMessageText", "HarborFeedbackNewMessageTitle",
             "HarborFeedbackShow", "HarborFeedbackUserDataDescription", "HarborFeedbackUserDataEmail",
             "HarborFeedbackUserDataEmailPlaceholder", "HarborFeedbackUserDataName",
             "HarborFeedbackUserDataNamePlaceHolder", "HarborFeedbackUserDataTitle", "HarborOK",
             "UpdateAlertMandatoryTextWithAppVersion", "UpdateAlertTextWithAppVersion", "UpdateAvailable",
             "UpdateButtonCheck", "UpdateButtonInstalling", "UpdateButtonOffline", "UpdateButtonSearching",
             "UpdateButtonUpdate", "UpdateError", "UpdateIgnore", "UpdateInstall", "UpdateInstalled",
             "UpdateNoReleaseNotesAvailable", "UpdateNoUpdateAvailableMessage", "UpdateNoUpdateAvailableTitle",
             "UpdateRemindMe", "UpdateScreenTitle", "UpdateShow", "UpdateShowPreviousVersions", "UpdateVersion" }) {
        SCOPED_TRACE(key);
        EXPECT_NE(HBRLocalizedString(std::string(key)), key);
    }
}

TEST(HBRHarborHelper, ComparesVersionsNumericallyBeforeTheFirstLetter)
{
    const struct {
        const char *a, *b;
        NSComparisonResult result;
    } cases[] = {
        { "3.5", "3.5", NSOrderedSame },
        { "1.0", "1.0.0", NSOrderedAscending },
        { "1.9", "1.10", NSOrderedAscending },
        { "2.1", "2.0.5", NSOrderedDescending },
        { "1.0a2", "1.0b1", NSOrderedAscending },
        { "7.1.0", "7.0.0", NSOrderedDescending },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        EXPECT_EQ(HBRCompareVersionStrings(c.a, c.b), c.result);
    }
}

TEST(HBRHarborHelper, EncodesAndValidates)
{
    EXPECT_EQ(HBRURLEncodeString("a/b+c d&e"), "a%2Fb%2Bc%20d%26e");
    EXPECT_EQ(HBREncodedAppIdentifier(std::string("ab/cd+ef")), "ab%2Fcd%2Bef");
    EXPECT_EQ(HBREncodedAppIdentifier(std::nullopt), HBRURLEncodeString(HBRMainBundleIdentifier()));
    EXPECT_EQ(HBRKeychainServiceName(), HBRMainBundleIdentifier() + ".HarborSDK");
    const struct {
        const char* email;
        bool valid;
    } cases[] = {
        { "pat@example.com", true },
        { "Pat.Smith+tag@Example.CO.uk", true },
        { "\"quoted.name\"@example.com", true },
        { "\"quoted name\"@example.com", false }, // the pattern leaves out the blank
        { "pat@[192.168.1.1]", true },
        { "pat@", false },
        { "pat example.com", false },
        { "@example.com", false },
        { "", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.email);
        EXPECT_EQ(HBRIsValidEmail(c.email), c.valid);
    }
}

TEST_F(HBRHarborHelperTest, AnonymousIdentifierIsKeptInTheKeychain)
{
    auto first = HBRAnonymousAppIdentifier();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->size(), 36u);
    HBRResetHelperForTesting();
    EXPECT_EQ(HBRAnonymousAppIdentifier(), first); // read back from the keychain
    EXPECT_EQ(
        HBRKeychainUtils::getPasswordForUsernameAndServiceName("appAnonID", HBRKeychainServiceName(), nullptr), first);
}

TEST_F(HBRHarborHelperTest, KeychainUtilsFollowTheStoreRules)
{
    const std::string service = "svc.HarborSDK";
    Ref<NSError> error;
    EXPECT_EQ(HBRKeychainUtils::getPasswordForUsernameAndServiceName("never", service, &error), std::nullopt);
    EXPECT_FALSE(error);
    EXPECT_FALSE(HBRKeychainUtils::storeUsernameAndPasswordForServiceName(std::nullopt, "v", service, true, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), "HBRKeychainUtilsErrorDomain");
    EXPECT_EQ(error->code(), -2000);

    EXPECT_TRUE(HBRKeychainUtils::storeUsernameAndPasswordForServiceName("k", "one", service, true, &error));
    EXPECT_FALSE(error);
    EXPECT_TRUE(HBRKeychainUtils::storeUsernameAndPasswordForServiceName("k", "one", service, true, &error));
    EXPECT_TRUE(HBRKeychainUtils::storeUsernameAndPasswordForServiceName("k", "two", service, false, &error));
    EXPECT_EQ(HBRKeychainUtils::getPasswordForUsernameAndServiceName("k", service, nullptr), "one");
    EXPECT_TRUE(HBRKeychainUtils::storeUsernameAndPasswordForServiceName("k", "two", service, true, &error));
    EXPECT_EQ(HBRKeychainUtils::getPasswordForUsernameAndServiceName("k", service, nullptr), "two");
    EXPECT_TRUE(HBRKeychainUtils::storeUsernameAndPasswordForServiceName("k2", "x", service, true, nullptr));
    EXPECT_TRUE(HBRKeychainUtils::deleteItemForUsernameAndServiceName("k", service, &error));
    EXPECT_EQ(HBRKeychainUtils::getPasswordForUsernameAndServiceName("k", service, nullptr), std::nullopt);
    EXPECT_TRUE(HBRKeychainUtils::purgeItemsForServiceName(service, &error));
    EXPECT_EQ(HBRKeychainUtils::getPasswordForUsernameAndServiceName("k2", service, nullptr), std::nullopt);
    EXPECT_FALSE(HBRKeychainUtils::deleteItemForUsernameAndServiceName("k", service, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), -25300);
}

} // namespace

#include "graphics/CGColor.h"
#include "graphics/CGImage.h"
#include "graphics/UIImage.h"

namespace {

// A white image without alpha, `width` x `height` pixels.
Ref<UIImage> opaqueImage(size_t width, size_t height)
{
    std::vector<uint8_t> bytes(width * height * 4, 255);
    auto image = CGImageCreate(width, height, 8, 32, width * 4, CGColorSpaceCreateDeviceRGB(),
        kCGImageAlphaNoneSkipLast | kCGBitmapByteOrder32Big, CGDataProviderCreateWithBytes(bytes), nullptr, false,
        kCGRenderingIntentDefault);
    return UIImage::imageWithCGImage(image);
}

bool pixelIsClear(const Ref<UIImage>& image, size_t x, size_t y)
{
    auto data = CGDataProviderCopyData(CGImageGetDataProvider(image->CGImage()));
    size_t at = y * CGImageGetBytesPerRow(image->CGImage()) + x * 4;
    return data[at] == 0 && data[at + 1] == 0 && data[at + 2] == 0 && data[at + 3] == 0;
}

TEST_F(HBRHarborHelperTest, ImagesGainAlphaFitAndRoundTheirCorners)
{
    auto opaque = opaqueImage(40, 20);
    auto withAlpha = HBRImageWithAlpha(opaque);
    ASSERT_TRUE(withAlpha);
    EXPECT_NE(withAlpha, opaque);
    auto alpha = CGImageGetAlphaInfo(withAlpha->CGImage());
    EXPECT_TRUE(alpha >= kCGImageAlphaPremultipliedLast && alpha <= kCGImageAlphaFirst);
    EXPECT_EQ(HBRImageWithAlpha(withAlpha), withAlpha);

    auto fitted = HBRImageScaledToFit(opaque, CGSizeMake(10, 10), false);
    ASSERT_TRUE(fitted);
    EXPECT_EQ(fitted->size().width, 10);
    EXPECT_EQ(fitted->size().height, 5);

    auto rounded = HBRImageWithRoundedCorners(opaqueImage(20, 20), 6, 1);
    ASSERT_TRUE(rounded);
    EXPECT_TRUE(pixelIsClear(rounded, 0, 0));
    EXPECT_FALSE(pixelIsClear(rounded, 10, 10));
}

} // namespace
