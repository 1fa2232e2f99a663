#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

#include <string>

// What the sensor kit knows of the device it runs on: the model (from the machine name), the
// system version, screen scale, cameras and motion sensors, GPS, and per-model tables of the back
// camera's field of view, the device's size and the camera's place on it. Presets let the kit
// pose as another model. Built and read on the main thread; the shared instance and the GPS
// switch are guarded by a lock.
class SNRDeviceProperties : public NSObject {
    VX_OBJECT(SNRDeviceProperties, NSObject)
public:
    explicit SNRDeviceProperties(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<SNRDeviceProperties> sharedDeviceProperties();
    static Ref<SNRDeviceProperties> propertiesFromDevice();
    static void forceDeviceProperties(const Ref<SNRDeviceProperties>& properties);
    static bool simulateGPSForAllDevices();
    static void setSimulateGPSForAllDevices(bool simulate);
    // Test-only: drops the shared instance and turns the GPS switch off.
    static void resetForTesting();

    static std::string deviceNameStringFromOS();
    static int32_t deviceTypeFromDeviceName(const std::string& name);
    static bool deviceTypeIsSlow(int32_t type);
    static int32_t deviceWithNameHasGPS(const std::string& name);
    static CGSize fovsForDevice(int32_t type);
    static CGSize measurementForDevice(int32_t type);
    static CGPoint cameraOffsetForDevice(int32_t type);
    static bool containsStringWithPattern(const std::string& string, const std::string& pattern);

    // Presets.
    static Ref<SNRDeviceProperties> devicePropertiesForPhone3G(float os = 5.1f);
    static Ref<SNRDeviceProperties> devicePropertiesForPhone3Gs(float os = 5.1f);
    static Ref<SNRDeviceProperties> devicePropertiesForPhone4(float os = 5.1f);
    static Ref<SNRDeviceProperties> devicePropertiesForPhone4s(float os = 5.1f);
    static Ref<SNRDeviceProperties> devicePropertiesForPhone5(float os = 5.1f);
    static Ref<SNRDeviceProperties> devicePropertiesForPad1(float os = 5.1f);
    static Ref<SNRDeviceProperties> devicePropertiesForPod4thGeneration(float os = 5.1f);
    static Ref<SNRDeviceProperties> devicePropertiesForPod5thGeneration(float os = 5.1f);
    static Ref<SNRDeviceProperties> devicePropertiesForPad2WithNameAndOsVersion(const std::string& name, float os);
    static Ref<SNRDeviceProperties> devicePropertiesForPadMini1WithNameAndOsVersion(const std::string& name, float os);
    static Ref<SNRDeviceProperties> devicePropertiesForPad3WithNameAndOsVersion(const std::string& name, float os);
    static Ref<SNRDeviceProperties> devicePropertiesForPad4WithNameAndOsVersion(const std::string& name, float os);
    static Ref<SNRDeviceProperties> devicePropertiesForPad2_Wifi(float os = 5.1f);
    static Ref<SNRDeviceProperties> devicePropertiesForPad2_3G(float os = 5.1f);
    static Ref<SNRDeviceProperties> devicePropertiesForPad2_CDMA(float os = 5.1f);
    static Ref<SNRDeviceProperties> devicePropertiesForPad2_WifiNew(float os = 5.1f);
    static Ref<SNRDeviceProperties> devicePropertiesForPadMini1_Wifi(float os = 5.1f);
    static Ref<SNRDeviceProperties> devicePropertiesForPadMini1_3G(float os = 5.1f);
    static Ref<SNRDeviceProperties> devicePropertiesForPadMini1_CDMA(float os = 5.1f);
    static Ref<SNRDeviceProperties> devicePropertiesForPad3_Wifi(float os = 5.1f);
    static Ref<SNRDeviceProperties> devicePropertiesForPad3_4G(float os = 5.1f);
    static Ref<SNRDeviceProperties> devicePropertiesForPad4_Wifi(float os = 5.1f);
    static Ref<SNRDeviceProperties> devicePropertiesForPad4_4G(float os = 5.1f);

    static Ref<SNRDeviceProperties> init() { return make<SNRDeviceProperties>(); }
    static Ref<SNRDeviceProperties> initFromDevice();
    void cacheValues();

    const std::string& deviceName() const { return m_deviceName; }
    int32_t deviceType() const { return m_deviceType; }
    bool isPod() const { return m_isPod; }
    bool isPad() const { return m_isPad; }
    bool isPhone() const { return m_isPhone; }
    bool isSlowDevice() const { return m_singleCoreDevice; }
    bool isSingleCoreDevice() const { return m_singleCoreDevice; }
    float osVersion() const { return m_osVersion; }
    float displayContentScale() const { return m_displayContentScale; }
    bool hasBackFacingCamera() const { return m_hasBackFacingCamera; }
    bool hasFrontFacingCamera() const { return m_hasFrontFacingCamera; }
    CGSize backFacingCameraFOVs() const { return m_backFacingCameraFOVs; }
    CGSize backFacingCameraFovs() const { return m_backFacingCameraFOVs; }
    float backFacingCameraFovPortrait() const { return m_backFacingCameraFOVs.height; }
    float backFacingCameraFovLandscape() const { return m_backFacingCameraFOVs.width; }
    CGPoint deviceCameraOffsetFromCenter() const { return m_deviceCameraOffsetFromCenter; }
    int32_t gpsAvailabilityStatus() const { return m_gpsStatus; }
    bool hasGPSSensor() const { return m_gpsStatus == 1; }
    bool hasCompass() const { return m_hasCompass; }
    bool hasAccelerometer() const { return m_hasAccelerometer; }
    bool hasGyroscope() const { return m_hasGyroscope; }
    bool hasOS4() const { return m_osVersion >= 4; }
    bool hasOS43() const { return m_osVersion >= 4.3f; }
    bool hasOS5() const { return m_osVersion >= 5; }
    bool hasOS6() const { return m_osVersion >= 6; }
    bool hasRetinaScreen() const { return m_displayContentScale > 1; }
    bool supportsLocationServices() const { return true; }
    bool supportsLocationAR() const { return m_hasBackFacingCamera && m_hasGyroscope && m_hasCompass && hasOS5(); }
    bool supportsVisualAR() const { return m_hasBackFacingCamera && hasOS43(); }

    std::string description() const override;

private:
    struct Preset;
    static Ref<SNRDeviceProperties> fromPreset(const Preset& preset, const std::string& name, float os);

    std::string m_deviceName;
    int32_t m_deviceType { -1 };
    bool m_isPad { false };
    bool m_isPod { false };
    bool m_isPhone { false };
    bool m_singleCoreDevice { false };
    float m_osVersion { -1 };
    float m_displayContentScale { 1 };
    bool m_hasBackFacingCamera { false };
    bool m_hasFrontFacingCamera { false };
    CGSize m_backFacingCameraFOVs {};
    CGSize m_deviceMeasurements {};
    CGPoint m_deviceCameraOffsetFromTopRightBorder {};
    CGPoint m_deviceCameraOffsetFromCenter {};
    int32_t m_gpsStatus { 0 };
    bool m_hasCompass { false };
    bool m_hasAccelerometer { false };
    bool m_hasGyroscope { false };
};
