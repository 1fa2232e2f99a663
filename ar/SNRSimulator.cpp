#include "ar/SNRSimulator.h"

#include "ar/SNRDeviceProperties.h"
#include "ar/SNRSensorManager.h"
#include "foundation/NSLog.h"

void SNRSimulator::simulate(const Ref<SNRDeviceProperties>& properties)
{
    NSLog("SIMULATE: %@", properties ? properties->description() : std::string("(null)"));
    auto manager = SNRSensorManager::sharedSensorManager();
    manager->clearDeviceProperties();
    SNRDeviceProperties::forceDeviceProperties(properties);
    manager->deviceProperties();
}
