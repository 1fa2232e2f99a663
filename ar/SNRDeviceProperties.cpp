#include "ar/SNRDeviceProperties.h"

#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "location/CLLocationManager.h"
#include "location/CMMotionManager.h"
#include "media/AVCaptureDevice.h"
#include "os/OSHost.h"
#include "uikit/UIDevice.h"
#include "uikit/UIScreen.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <mutex>

namespace {

std::mutex s_lock;
// Lives for the process: never destroyed, so nothing it holds is torn down at exit under
// threads and statics that may still use it.
Ref<SNRDeviceProperties>& s_shared = *new Ref<SNRDeviceProperties>();
// The GPS switch has its own lock: building the shared instance reads it.
std::mutex s_gpsLock;
bool s_simulateGPS = false;

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

} // namespace

struct SNRDeviceProperties::Preset {
    const char* label;
    float minimum;
    float maximum; // 0: none
    float scale;
    bool back, front, accelerometer, gyroscope, compass;
};

Ref<SNRDeviceProperties> SNRDeviceProperties::sharedDeviceProperties()
{
    std::lock_guard lock(s_lock);
    if (!s_shared)
        s_shared = initFromDevice();
    return s_shared;
}

Ref<SNRDeviceProperties> SNRDeviceProperties::propertiesFromDevice()
{
    return initFromDevice();
}

void SNRDeviceProperties::forceDeviceProperties(const Ref<SNRDeviceProperties>& properties)
{
    {
        std::lock_guard lock(s_lock);
        s_shared = properties;
    }
    NSLog("FORCE: %@", properties ? properties->description() : std::string("(null)"));
}

bool SNRDeviceProperties::simulateGPSForAllDevices()
{
    std::lock_guard lock(s_gpsLock);
    return s_simulateGPS;
}

void SNRDeviceProperties::setSimulateGPSForAllDevices(bool simulate)
{
    std::lock_guard lock(s_gpsLock);
    s_simulateGPS = simulate;
}

void SNRDeviceProperties::resetForTesting()
{
    std::scoped_lock lock(s_lock, s_gpsLock);
    s_shared = nullptr;
    s_simulateGPS = false;
}

std::string SNRDeviceProperties::deviceNameStringFromOS()
{
    return vxos::machineModel();
}

bool SNRDeviceProperties::containsStringWithPattern(const std::string& string, const std::string& pattern)
{
    return lowered(string).find(lowered(pattern)) != std::string::npos;
}

int32_t SNRDeviceProperties::deviceTypeFromDeviceName(const std::string& name)
{
    struct Rule {
        std::initializer_list<const char*> patterns;
        int32_t code;
    };
    static const Rule rules[] = {
        { { "iPad1" }, 150 },
        { { "iPad2,5", "iPad2,6", "iPad2,7" }, 1061 },
        { { "iPad2" }, 1060 },
        { { "iPad3,1", "iPad3,2", "iPad3,3" }, 1070 },
        { { "iPad3,4", "iPad3,5", "iPad3,6" }, 1080 },
        { { "iPhone1,1" }, 100 },
        { { "iPhone1,2" }, 110 },
        { { "iPhone2" }, 120 },
        { { "iPhone3" }, 130 },
        { { "iPhone4" }, 1040 },
        { { "iPhone5" }, 1050 },
        { { "iPod1", "iPod2", "iPod3" }, 180 },
        { { "iPod4" }, 190 },
    };
    for (auto& rule : rules) {
        for (auto* pattern : rule.patterns) {
            if (containsStringWithPattern(name, pattern))
                return rule.code;
        }
    }
    return 1200;
}

bool SNRDeviceProperties::deviceTypeIsSlow(int32_t type)
{
    return type < 1000;
}

int32_t SNRDeviceProperties::deviceWithNameHasGPS(const std::string& name)
{
    if (simulateGPSForAllDevices())
        return 1;
    auto any = [&](std::initializer_list<const char*> patterns) {
        return std::any_of(
            patterns.begin(), patterns.end(), [&](const char* p) { return containsStringWithPattern(name, p); });
    };
    if (containsStringWithPattern(name, "iPad2"))
        return any({ "iPad2,2", "iPad2,3", "iPad2,6", "iPad2,7" }) ? 1 : 2;
    if (containsStringWithPattern(name, "iPad3"))
        return any({ "iPad3,2", "iPad3,3", "iPad3,6", "iPad3,7" }) ? 1 : 2;
    return 0;
}

CGSize SNRDeviceProperties::fovsForDevice(int32_t type)
{
    switch (type) {
    case 130:
        return CGSizeMake(47.49899f, 61.003902f);
    case 1040:
        return CGSizeMake(29.066f, 43.639f);
    case 1050:
        return CGSizeMake(23, 42);
    case 1060:
        return CGSizeMake(26, 35);
    case 1061:
        return CGSizeMake(33.56f, 44.75f);
    case 1070:
    case 1080:
        return CGSizeMake(35, 44);
    default:
        return CGSizeMake(34.66f, 52);
    }
}

CGSize SNRDeviceProperties::measurementForDevice(int32_t type)
{
    switch (type) {
    case 130:
    case 1040:
        return CGSizeMake(5.86f, 11.52f);
    case 1050:
        return CGSizeMake(5.86f, 12.38f);
    case 1060:
    case 1070:
    case 1080:
        return CGSizeMake(18.57f, 24.12f);
    case 1061:
        return CGSizeMake(13.47f, 20);
    default:
        return CGSizeMake(6.21f, 11.55f);
    }
}

CGPoint SNRDeviceProperties::cameraOffsetForDevice(int32_t type)
{
    switch (type) {
    case 1050:
        return CGPointMake(0.95f, 0.75f);
    case 1060:
    case 1070:
    case 1080:
        return CGPointMake(2.3f, 1.25f);
    default:
        return CGPointMake(0, 0);
    }
}

Ref<SNRDeviceProperties> SNRDeviceProperties::initFromDevice()
{
    auto properties = init();
    properties->m_deviceName = deviceNameStringFromOS();
    properties->m_osVersion = static_cast<float>(std::atof(UIDevice::currentDevice()->systemVersion().c_str()));
    properties->m_displayContentScale = properties->m_osVersion >= 4 ? UIScreen::mainScreen()->scale() : 1;
    for (auto& device : AVCaptureDevice::devicesWithMediaType(AVMediaTypeVideo)) {
        if (device->position() == AVCaptureDevicePositionBack)
            properties->m_hasBackFacingCamera = true;
        else if (device->position() == AVCaptureDevicePositionFront)
            properties->m_hasFrontFacingCamera = true;
    }
    auto motion = CMMotionManager::init();
    properties->m_hasAccelerometer = motion->isAccelerometerAvailable();
    properties->m_hasGyroscope = motion->isGyroAvailable();
    properties->m_hasCompass = CLLocationManager::headingAvailable();
    properties->cacheValues();
    return properties;
}

void SNRDeviceProperties::cacheValues()
{
    m_deviceType = deviceTypeFromDeviceName(m_deviceName);
    m_isPad = containsStringWithPattern(m_deviceName, "iPad");
    m_isPod = containsStringWithPattern(m_deviceName, "iPod");
    m_isPhone = containsStringWithPattern(m_deviceName, "iPhone");
    m_singleCoreDevice = deviceTypeIsSlow(m_deviceType);
    m_backFacingCameraFOVs = fovsForDevice(m_deviceType);
    m_deviceMeasurements = measurementForDevice(m_deviceType);
    m_deviceCameraOffsetFromTopRightBorder = cameraOffsetForDevice(m_deviceType);
    m_deviceCameraOffsetFromCenter
        = CGPointMake(m_deviceMeasurements.width * 0.5f - m_deviceCameraOffsetFromTopRightBorder.x,
            m_deviceMeasurements.height * 0.5f - m_deviceCameraOffsetFromTopRightBorder.y);
    if (m_isPad)
        m_gpsStatus = deviceWithNameHasGPS(m_deviceName);
    else if (m_isPod)
        m_gpsStatus = 2;
    else if (m_isPhone)
        m_gpsStatus = 1;
}

std::string SNRDeviceProperties::description() const
{
    return NSString::stringWithFormat("%@@OS=%.1f", m_deviceName, m_osVersion);
}

Ref<SNRDeviceProperties> SNRDeviceProperties::fromPreset(const Preset& preset, const std::string& name, float os)
{
    auto properties = init();
    if (os < preset.minimum) {
        NSLog("Minimum OS Version on %@ is %.1f!", std::string(preset.label), preset.minimum);
        os = preset.minimum;
    }
    if (preset.maximum > 0 && os > preset.maximum) {
        NSLog("Maximum OS Version on %@ is %.1f!", std::string(preset.label), preset.maximum);
        os = preset.maximum;
    }
    properties->m_osVersion = os;
    properties->m_deviceName = name;
    properties->m_displayContentScale = preset.scale;
    properties->m_hasBackFacingCamera = preset.back;
    properties->m_hasFrontFacingCamera = preset.front;
    properties->m_hasAccelerometer = preset.accelerometer;
    properties->m_hasGyroscope = preset.gyroscope;
    properties->m_hasCompass = preset.compass;
    properties->cacheValues();
    return properties;
}

namespace {
constexpr bool Y = true, N = false;
}

Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPhone3G(float os)
{
    return fromPreset({ "iPhone 3G", 3.2f, 4.2f, 1, Y, N, Y, N, N }, "iPhone1,2", os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPhone3Gs(float os)
{
    return fromPreset({ "iPhone 3GS", 3.2f, 0, 1, Y, N, Y, N, Y }, "iPhone2,1", os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPhone4(float os)
{
    return fromPreset({ "iPhone 4", 4, 0, 2, Y, Y, Y, Y, Y }, "iPhone3,1", os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPhone4s(float os)
{
    return fromPreset({ "iPhone 4S", 5, 0, 2, Y, Y, Y, Y, Y }, "iPhone4,1", os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPhone5(float os)
{
    return fromPreset({ "iPhone 5", 6, 0, 2, Y, Y, Y, Y, Y }, "iPhone5,1", os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPad1(float os)
{
    return fromPreset({ "iPad 1", 3.2f, 5.1f, 1, N, N, Y, N, Y }, "iPad1", os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPod4thGeneration(float os)
{
    return fromPreset({ "iPod 4th generation", 4.1f, 0, 2, Y, Y, Y, Y, N }, "iPod4,1", os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPod5thGeneration(float os)
{
    return fromPreset({ "iPod 5th generation", 6, 0, 2, Y, Y, Y, Y, N }, "iPod5,1", os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPad2WithNameAndOsVersion(
    const std::string& name, float os)
{
    return fromPreset({ "iPad 2", 4.2f, 0, 2, Y, Y, Y, Y, Y }, name, os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPadMini1WithNameAndOsVersion(
    const std::string& name, float os)
{
    return fromPreset({ "iPad mini", 6, 0, 1, Y, Y, Y, Y, Y }, name, os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPad3WithNameAndOsVersion(
    const std::string& name, float os)
{
    return fromPreset({ "iPad 3", 5.1f, 0, 2, Y, Y, Y, Y, Y }, name, os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPad4WithNameAndOsVersion(
    const std::string& name, float os)
{
    return fromPreset({ "iPad 4", 6, 0, 2, Y, Y, Y, Y, Y }, name, os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPad2_Wifi(float os)
{
    return devicePropertiesForPad2WithNameAndOsVersion("iPad2,1", os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPad2_3G(float os)
{
    return devicePropertiesForPad2WithNameAndOsVersion("iPad2,2", os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPad2_CDMA(float os)
{
    return devicePropertiesForPad2WithNameAndOsVersion("iPad2,3", os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPad2_WifiNew(float os)
{
    return devicePropertiesForPad2WithNameAndOsVersion("iPad2,4", os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPadMini1_Wifi(float os)
{
    return devicePropertiesForPadMini1WithNameAndOsVersion("iPad2,5", os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPadMini1_3G(float os)
{
    return devicePropertiesForPadMini1WithNameAndOsVersion("iPad2,6", os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPadMini1_CDMA(float os)
{
    return devicePropertiesForPadMini1WithNameAndOsVersion("iPad2,7", os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPad3_Wifi(float os)
{
    return devicePropertiesForPad3WithNameAndOsVersion("iPad3,1", os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPad3_4G(float os)
{
    return devicePropertiesForPad3WithNameAndOsVersion("iPad3,2", os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPad4_Wifi(float os)
{
    return devicePropertiesForPad4WithNameAndOsVersion("iPad3,4", os);
}
Ref<SNRDeviceProperties> SNRDeviceProperties::devicePropertiesForPad4_4G(float os)
{
    return devicePropertiesForPad4WithNameAndOsVersion("iPad3,5", os);
}
