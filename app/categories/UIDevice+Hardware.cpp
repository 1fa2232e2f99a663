#include "app/categories/UIDevice+Hardware.h"

#include "foundation/Locked.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSString.h"
#include "foundation/Sandbox.h"
#include "os/OSHost.h"
#include "uikit/UIDevice.h"
#include "uikit/UIScreen.h"

#include <cstdio>
#include <fstream>
#include <net/if.h>
#include <unistd.h>

namespace UIDevice_Hardware {

namespace {

// Hardware group entries, by number.
constexpr uint32_t kHWCPUCount = 3;
constexpr uint32_t kHWPhysicalMemory = 5;
constexpr uint32_t kHWUserMemory = 6;

Locked<std::string> s_interfaceName { std::string("en0") };

std::string interfaceName()
{
    return s_interfaceName.get();
}

bool hasPrefix(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

bool hasSuffix(const std::string& text, const char* suffix)
{
    std::string end(suffix);
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The memory a 32-bit device would report: the figure, saturated to 32 bits.
uint32_t saturated(uint64_t value)
{
    return value > UINT32_MAX ? UINT32_MAX : uint32_t(value);
}

Value fileSystemAttribute(const char* key)
{
    Ref<NSError> error;
    Value attributes = NSFileManager::defaultManager()->attributesOfFileSystemForPath(NSHomeDirectory(), &error);
    if (!attributes.isDictionary())
        return Value();
    return attributes.objectForKey(key);
}

} // namespace

std::string getSysInfoByName(const Ref<UIDevice>&, const std::string& name)
{
    if (name == "hw.machine")
        return vxos::machineModel();
    return {};
}

std::string platform(const Ref<UIDevice>& device)
{
    return getSysInfoByName(device, "hw.machine");
}

std::string hwmodel(const Ref<UIDevice>& device)
{
    return getSysInfoByName(device, "hw.model");
}

uint32_t getSysInfo(const Ref<UIDevice>&, uint32_t typeSpecifier)
{
    switch (typeSpecifier) {
    case kHWCPUCount:
        return vxos::logicalProcessorCount();
    case kHWPhysicalMemory: {
        long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
        return pages > 0 && pageSize > 0 ? saturated(uint64_t(pages) * uint64_t(pageSize)) : 0;
    }
    case kHWUserMemory: {
        long pages = sysconf(_SC_AVPHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
        return pages > 0 && pageSize > 0 ? saturated(uint64_t(pages) * uint64_t(pageSize)) : 0;
    }
    default:
        return 0;
    }
}

uint32_t cpuFrequency(const Ref<UIDevice>& device)
{
    return getSysInfo(device, 15);
}
uint32_t busFrequency(const Ref<UIDevice>& device)
{
    return getSysInfo(device, 14);
}
uint32_t cpuCount(const Ref<UIDevice>& device)
{
    return getSysInfo(device, kHWCPUCount);
}
uint32_t totalMemory(const Ref<UIDevice>& device)
{
    return getSysInfo(device, kHWPhysicalMemory);
}
uint32_t userMemory(const Ref<UIDevice>& device)
{
    return getSysInfo(device, kHWUserMemory);
}
uint32_t maxSocketBufferSize(const Ref<UIDevice>& device)
{
    return getSysInfo(device, 1);
}

Value totalDiskSpace(const Ref<UIDevice>&)
{
    return fileSystemAttribute("NSFileSystemSize");
}

Value freeDiskSpace(const Ref<UIDevice>&)
{
    return fileSystemAttribute("NSFileSystemFreeSize");
}

int32_t platformType(const Ref<UIDevice>& device)
{
    std::string model = platform(device);
    if (model == "iFPGA")
        return UIDeviceIFPGA;
    if (model == "iPhone1,1")
        return UIDevice1GiPhone;
    if (model == "iPhone1,2")
        return UIDevice3GiPhone;
    static const struct {
        const char* prefix;
        int32_t type;
    } prefixes[] = {
        { "iPhone2", UIDevice3GSiPhone },
        { "iPhone3", UIDevice4iPhone },
        { "iPhone4", UIDevice4SiPhone },
        { "iPhone5", UIDevice5iPhone },
        { "iPod1", UIDevice1GiPod },
        { "iPod2", UIDevice2GiPod },
        { "iPod3", UIDevice3GiPod },
        { "iPod4", UIDevice4GiPod },
        { "iPad1", UIDevice1GiPad },
        { "iPad2", UIDevice2GiPad },
        { "iPad3", UIDevice3GiPad },
        { "iPad4", UIDevice4GiPad },
        { "AppleTV2", UIDeviceAppleTV2 },
        { "AppleTV3", UIDeviceAppleTV3 },
        { "iPhone", UIDeviceUnknowniPhone },
        { "iPod", UIDeviceUnknowniPod },
        { "iPad", UIDeviceUnknowniPad },
        { "AppleTV", UIDeviceUnknownAppleTV },
    };
    for (const auto& row : prefixes)
        if (hasPrefix(model, row.prefix))
            return row.type;
    if (hasSuffix(model, "86") || model == "x86_64") {
        auto screen = UIScreen::mainScreen();
        bool small = !screen || screen->bounds().size.width < 768;
        return small ? UIDeviceiPhoneSimulatoriPhone : UIDeviceiPhoneSimulatoriPad;
    }
    return UIDeviceUnknown;
}

std::string platformString(const Ref<UIDevice>& device)
{
    switch (platformType(device)) {
    case UIDevice1GiPhone:
        return "iPhone 1G";
    case UIDevice3GiPhone:
        return "iPhone 3G";
    case UIDevice3GSiPhone:
        return "iPhone 3GS";
    case UIDevice4iPhone:
        return "iPhone 4";
    case UIDevice4SiPhone:
        return "iPhone 4S";
    case UIDevice5iPhone:
        return "iPhone 5";
    case UIDevice1GiPod:
        return "iPod touch 1G";
    case UIDevice2GiPod:
        return "iPod touch 2G";
    case UIDevice3GiPod:
        return "iPod touch 3G";
    case UIDevice4GiPod:
        return "iPod touch 4G";
    case UIDevice1GiPad:
        return "iPad 1G";
    case UIDevice2GiPad:
        return "iPad 2G";
    case UIDevice3GiPad:
        return "iPad 3G";
    case UIDevice4GiPad:
        return "iPad 4G";
    case UIDeviceAppleTV2:
        return "Apple TV 2G";
    case UIDeviceAppleTV3:
        return "Apple TV 3G";
    case UIDeviceAppleTV4:
        return "Apple TV 4G";
    case UIDeviceUnknowniPhone:
        return "Unknown iPhone";
    case UIDeviceUnknowniPod:
        return "Unknown iPod";
    case UIDeviceUnknowniPad:
        return "Unknown iPad";
    case UIDeviceUnknownAppleTV:
        return "Unknown Apple TV";
    case UIDeviceiPhoneSimulator:
        return "iPhone Simulator";
    case UIDeviceiPhoneSimulatoriPhone:
        return "iPhone Simulator";
    case UIDeviceiPhoneSimulatoriPad:
        return "iPad Simulator";
    case UIDeviceSimulatorAppleTV:
        return "Apple TV Simulator";
    case UIDeviceIFPGA:
        return "iFPGA";
    default:
        return "Unknown iOS device";
    }
}

int32_t deviceFamily(const Ref<UIDevice>& device)
{
    std::string model = platform(device);
    if (hasPrefix(model, "iPhone"))
        return UIDeviceFamilyiPhone;
    if (hasPrefix(model, "iPod"))
        return UIDeviceFamilyiPod;
    if (hasPrefix(model, "iPad"))
        return UIDeviceFamilyiPad;
    if (hasPrefix(model, "AppleTV"))
        return UIDeviceFamilyAppleTV;
    return UIDeviceFamilyUnknown;
}

bool hasRetinaDisplay(const Ref<UIDevice>&)
{
    auto screen = UIScreen::mainScreen();
    return screen && screen->scale() == 2.0f;
}

Value macaddress(const Ref<UIDevice>&)
{
    std::string name = interfaceName();
    if (if_nametoindex(name.c_str()) == 0) {
        std::printf("Error: if_nametoindex error\n");
        std::fflush(stdout);
        return Value();
    }
    // The link-level address as the kernel lists it ("aa:bb:cc:dd:ee:ff").
    std::ifstream file("/sys/class/net/" + name + "/address");
    std::string text;
    if (!file || !std::getline(file, text)) {
        std::printf("Error: sysctl, take 2\n");
        std::fflush(stdout);
        return Value();
    }
    unsigned bytes[6];
    if (std::sscanf(text.c_str(), "%x:%x:%x:%x:%x:%x", &bytes[0], &bytes[1], &bytes[2], &bytes[3], &bytes[4], &bytes[5])
        != 6) {
        std::printf("Error: sysctl, take 2\n");
        std::fflush(stdout);
        return Value();
    }
    char formatted[18];
    std::snprintf(formatted, sizeof formatted, "%02X:%02X:%02X:%02X:%02X:%02X", bytes[0] & 0xff, bytes[1] & 0xff,
        bytes[2] & 0xff, bytes[3] & 0xff, bytes[4] & 0xff, bytes[5] & 0xff);
    return Value(std::string(formatted));
}

void setMacAddressInterfaceForTesting(const std::string& name)
{
    s_interfaceName.set(name.empty() ? "en0" : name);
}

} // namespace UIDevice_Hardware
