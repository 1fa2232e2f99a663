#include "app/core/analytics/DeviceInfo.h"

#include "app/categories/UIDevice+Hardware.h"
#include "app/core/analytics/NSString+URLArgumentsAdditions.h"
#include "app/core/analytics/TallyEvent.h"
#include "app/core/analytics/Tally_SharedUDID.h"
#include "foundation/NSBundle.h"
#include "foundation/NSLocale.h"
#include "foundation/NSString.h"
#include "uikit/UIDevice.h"
#include "uikit/UIScreen.h"

namespace DeviceInfo {

namespace {
std::optional<std::string>& carrierName()
{
    static std::optional<std::string> s_name;
    return s_name;
}
} // namespace

std::string udid()
{
    return Tally_SharedUDID::value();
}

std::string device()
{
    return UIDevice_Hardware::platform(UIDevice::currentDevice());
}

std::string osVersion()
{
    return UIDevice::currentDevice()->systemVersion();
}

std::optional<std::string> carrier()
{
    return carrierName();
}

void setCarrierForTesting(std::optional<std::string> name)
{
    carrierName() = std::move(name);
}

std::string resolution()
{
    auto screen = UIScreen::mainScreen();
    CGRect bounds = screen->bounds();
    float scale = screen->scale() > 0 ? screen->scale() : 1;
    return NSString::stringWithFormat("%gx%g", double(bounds.size.width * scale), double(bounds.size.height * scale));
}

std::string locale()
{
    return NSLocale::currentLocale()->localeIdentifier();
}

std::string appVersion()
{
    auto bundle = NSBundle::mainBundle();
    Value version = bundle->objectForInfoDictionaryKey("CFBundleShortVersionString");
    if (!version.isString() || version.stringValue().empty())
        version = bundle->objectForInfoDictionaryKey("CFBundleVersion");
    return version.isString() ? version.stringValue() : std::string();
}

std::string JSONText()
{
    std::string text = "{\"_device\":" + TallyJSONString(device())
        + ",\"_os\":\"iOS\",\"_os_version\":" + TallyJSONString(osVersion());
    if (auto name = carrier())
        text += ",\"_carrier\":" + TallyJSONString(*name);
    text += ",\"_resolution\":" + TallyJSONString(resolution()) + ",\"_locale\":" + TallyJSONString(locale())
        + ",\"_app_version\":" + TallyJSONString(appVersion()) + "}";
    return text;
}

std::string metrics()
{
    return NSString_URLArgumentsAdditions::gtm_stringByEscapingForURLArgument(JSONText());
}

} // namespace DeviceInfo
