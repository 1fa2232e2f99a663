#include "app/categories/UIDevice+Hardware.h"
#include "graphics/UIGraphics.h"
#include "os/OSHost.h"
#include "uikit/UIDevice.h"
#include "uikit/UIScreen.h"

#include <gtest/gtest.h>

namespace {

struct ProfileScope {
    ProfileScope()
        : model(vxos::machineModel())
    {
    }
    ~ProfileScope()
    {
        vxos::setMachineModel(model);
        UIScreen::resetForTesting();
        UIDevice_Hardware::setMacAddressInterfaceForTesting({});
    }
    std::string model;
};

TEST(UIDevice_Hardware, ClassifiesTheModel)
{
    ProfileScope scope;
    auto device = UIDevice::currentDevice();
    struct Case {
        const char* model;
        CGFloat screenWidth;
        int32_t type;
        const char* name;
        int32_t family;
    };
    const Case cases[] = {
        { "iPad3,4", 768, 17, "iPad 3G", 2 },
        { "iPad5,1", 768, 24, "Unknown iPad", 2 },
        { "iPhone1,2", 320, 6, "iPhone 3G", 0 },
        { "iPhone1,1", 320, 5, "iPhone 1G", 0 },
        { "iPhone2,1", 320, 7, "iPhone 3GS", 0 },
        { "iPhone9,9", 320, 22, "Unknown iPhone", 0 },
        { "iPod4,1", 320, 14, "iPod touch 4G", 1 },
        { "AppleTV3,2", 1024, 20, "Apple TV 3G", 3 },
        { "AppleTV5,3", 1024, 25, "Unknown Apple TV", 3 },
        { "iFPGA", 768, 26, "iFPGA", 4 },
        { "x86_64", 1024, 3, "iPad Simulator", 4 },
        { "i386", 320, 2, "iPhone Simulator", 4 },
        { "Watch1,1", 320, 0, "Unknown iOS device", 4 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        vxos::setMachineModel(c.model);
        UIScreen::mainScreen()->setSizeForTesting(CGSizeMake(c.screenWidth, 1024));
        EXPECT_EQ(UIDevice_Hardware::platform(device), c.model);
        EXPECT_EQ(UIDevice_Hardware::platformType(device), c.type);
        EXPECT_EQ(UIDevice_Hardware::platformString(device), c.name);
        EXPECT_EQ(UIDevice_Hardware::deviceFamily(device), c.family);
    }
}

TEST(UIDevice_Hardware, FiguresDiskAndScreen)
{
    ProfileScope scope;
    auto device = UIDevice::currentDevice();
    EXPECT_GT(UIDevice_Hardware::cpuCount(device), 0u);
    EXPECT_GT(UIDevice_Hardware::totalMemory(device), 0u);
    EXPECT_EQ(UIDevice_Hardware::getSysInfo(device, 9999), 0u);
    EXPECT_EQ(UIDevice_Hardware::getSysInfoByName(device, "hw.nothing"), "");
    auto total = UIDevice_Hardware::totalDiskSpace(device);
    auto free = UIDevice_Hardware::freeDiskSpace(device);
    ASSERT_TRUE(total.isNumber());
    ASSERT_TRUE(free.isNumber());
    EXPECT_GE(total.doubleValue(), free.doubleValue());

    CGFloat scale = UIGraphicsScreenScale();
    for (CGFloat s : { 1.0f, 2.0f }) {
        UIGraphicsSetScreenScale(s);
        EXPECT_EQ(UIDevice_Hardware::hasRetinaDisplay(device), s == 2.0f);
    }
    UIGraphicsSetScreenScale(scale);
}

TEST(UIDevice_Hardware, HardwareAddressOfTheInterface)
{
    ProfileScope scope;
    auto device = UIDevice::currentDevice();
    UIDevice_Hardware::setMacAddressInterfaceForTesting("vxnone0");
    testing::internal::CaptureStdout();
    EXPECT_TRUE(UIDevice_Hardware::macaddress(device).isNil());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error: if_nametoindex error\n");

    // The loopback interface has an all-zero link address.
    UIDevice_Hardware::setMacAddressInterfaceForTesting("lo");
    EXPECT_EQ(UIDevice_Hardware::macaddress(device).stringValue(), "00:00:00:00:00:00");
}

} // namespace
