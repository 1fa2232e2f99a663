#include "ar/tests/ARTestSupport.h"

#include "testing/LogCapture.h"

TEST(SNRDeviceProperties, ModelCodesFieldsOfViewAndGPSByName)
{
    ARTestScope scope;
    struct Case {
        const char* name;
        int32_t type;
        float landscape;
        int32_t gps;
    };
    const Case cases[] = {
        { "iPad2,5", 1061, 33.56f, 2 },
        { "iPad2,1", 1060, 26, 2 },
        { "iPad2,2", 1060, 26, 1 },
        { "iPad3,4", 1080, 35, 2 },
        { "iPad3,6", 1080, 35, 1 },
        { "iPhone5,2", 1050, 23, 1 },
        { "iPhone6,1", 1200, 34.66f, 1 },
        { "iPad4,1", 1200, 34.66f, 0 },
        { "IPHONE3,1", 130, 47.49899f, 1 },
        { "iPod5,1", 1200, 34.66f, 2 },
        { "x86_64", 1200, 34.66f, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto properties = SNRDeviceProperties::init();
        vxos::setMachineModel(c.name);
        properties = SNRDeviceProperties::propertiesFromDevice();
        EXPECT_EQ(properties->deviceType(), c.type);
        EXPECT_FLOAT_EQ(properties->backFacingCameraFovLandscape(), c.landscape);
        EXPECT_EQ(properties->gpsAvailabilityStatus(), c.gps);
    }
    // The switch grants GPS to every iPad built afterwards, never to an iPod.
    SNRDeviceProperties::setSimulateGPSForAllDevices(true);
    vxos::setMachineModel("iPad4,1");
    EXPECT_TRUE(SNRDeviceProperties::propertiesFromDevice()->hasGPSSensor());
    vxos::setMachineModel("iPod4,1");
    EXPECT_EQ(SNRDeviceProperties::propertiesFromDevice()->gpsAvailabilityStatus(), 2);
}

TEST(SNRDeviceProperties, TheDefaultDeviceSupportsLocationAR)
{
    ARTestScope scope;
    auto properties = SNRDeviceProperties::sharedDeviceProperties();
    EXPECT_EQ(properties->deviceName(), "iPad3,4");
    EXPECT_TRUE(properties->hasBackFacingCamera());
    EXPECT_TRUE(properties->hasGyroscope());
    EXPECT_TRUE(properties->hasCompass());
    EXPECT_TRUE(properties->supportsLocationAR());
    EXPECT_FALSE(properties->isSingleCoreDevice());
    // Without a back camera the device is not fit for AR.
    MediaSimulator::shared().setCameras(false, true);
    EXPECT_FALSE(SNRDeviceProperties::propertiesFromDevice()->supportsLocationAR());
}

TEST(SNRDeviceProperties, PresetsClampTheirVersion)
{
    ARTestScope scope;
    LogCapture log;
    auto mini = SNRDeviceProperties::devicePropertiesForPadMini1_Wifi();
    EXPECT_FLOAT_EQ(mini->osVersion(), 6);
    EXPECT_TRUE(log.contains("Minimum OS Version on iPad mini is 6.0!"));
    auto old = SNRDeviceProperties::devicePropertiesForPhone3G(7);
    EXPECT_FLOAT_EQ(old->osVersion(), 4.2f);
    EXPECT_FALSE(old->hasGyroscope());
    auto phone4 = SNRDeviceProperties::devicePropertiesForPhone4();
    EXPECT_FLOAT_EQ(phone4->backFacingCameraFovPortrait(), 61.003902f);
    EXPECT_FLOAT_EQ(phone4->backFacingCameraFovLandscape(), 47.49899f);
    EXPECT_TRUE(phone4->isSingleCoreDevice());
    EXPECT_EQ(phone4->description(), "iPhone3,1@OS=5.1");
}
