#pragma once

#include "foundation/Ref.h"
#include "foundation/Value.h"

#include <cstdint>
#include <string>

class UIDevice;

// Device kinds that platformType answers.
enum UIDevicePlatform : int32_t {
    UIDeviceUnknown = 0,
    UIDeviceiPhoneSimulator = 1,
    UIDeviceiPhoneSimulatoriPhone = 2,
    UIDeviceiPhoneSimulatoriPad = 3,
    UIDeviceSimulatorAppleTV = 4,
    UIDevice1GiPhone = 5,
    UIDevice3GiPhone = 6,
    UIDevice3GSiPhone = 7,
    UIDevice4iPhone = 8,
    UIDevice4SiPhone = 9,
    UIDevice5iPhone = 10,
    UIDevice1GiPod = 11,
    UIDevice2GiPod = 12,
    UIDevice3GiPod = 13,
    UIDevice4GiPod = 14,
    UIDevice1GiPad = 15,
    UIDevice2GiPad = 16,
    UIDevice3GiPad = 17,
    UIDevice4GiPad = 18,
    UIDeviceAppleTV2 = 19,
    UIDeviceAppleTV3 = 20,
    UIDeviceAppleTV4 = 21,
    UIDeviceUnknowniPhone = 22,
    UIDeviceUnknowniPod = 23,
    UIDeviceUnknowniPad = 24,
    UIDeviceUnknownAppleTV = 25,
    UIDeviceIFPGA = 26,
};

enum UIDeviceFamily : int32_t {
    UIDeviceFamilyiPhone = 0,
    UIDeviceFamilyiPod = 1,
    UIDeviceFamilyiPad = 2,
    UIDeviceFamilyAppleTV = 3,
    UIDeviceFamilyUnknown = 4,
};

// Hardware queries of the device: model strings and figures from the configured device profile,
// disk space, the device type and family with a display name, the screen density and the Wi-Fi
// interface's hardware address. The disk, screen and address queries do not depend on the
// receiver. Main thread only (they read the screen).
namespace UIDevice_Hardware {

// A text of the system information: "hw.machine" (the model identifier, such as "iPad4,2") and
// "hw.model"; empty for a name the profile does not hold.
std::string getSysInfoByName(const Ref<UIDevice>& device, const std::string& name);
std::string platform(const Ref<UIDevice>& device);
std::string hwmodel(const Ref<UIDevice>& device);

// A figure of the hardware group by its number; 0 when the profile does not hold it.
uint32_t getSysInfo(const Ref<UIDevice>& device, uint32_t typeSpecifier);
uint32_t cpuFrequency(const Ref<UIDevice>& device);
uint32_t busFrequency(const Ref<UIDevice>& device);
uint32_t cpuCount(const Ref<UIDevice>& device);
uint32_t totalMemory(const Ref<UIDevice>& device);
uint32_t userMemory(const Ref<UIDevice>& device);
uint32_t maxSocketBufferSize(const Ref<UIDevice>& device);

// Size and free space, in bytes, of the file system holding the home directory; nil when they
// cannot be read.
Value totalDiskSpace(const Ref<UIDevice>& device);
Value freeDiskSpace(const Ref<UIDevice>& device);

int32_t platformType(const Ref<UIDevice>& device);
std::string platformString(const Ref<UIDevice>& device);
int32_t deviceFamily(const Ref<UIDevice>& device);
bool hasRetinaDisplay(const Ref<UIDevice>& device);

// The hardware address of the interface "en0" as "%02X:%02X:%02X:%02X:%02X:%02X"; nil (with a
// line on standard output) when there is none.
Value macaddress(const Ref<UIDevice>& device);
// Test-only: the interface macaddress reads instead of "en0" (empty: back to "en0").
void setMacAddressInterfaceForTesting(const std::string& name);

} // namespace UIDevice_Hardware
