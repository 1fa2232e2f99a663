#include "uikit/UIDevice.h"

#include "foundation/NSNotificationCenter.h"

namespace {
Ref<UIDevice>& deviceSlot()
{
    static Ref<UIDevice> s_device;
    return s_device;
}
} // namespace

Ref<UIDevice> UIDevice::currentDevice()
{
    auto& slot = deviceSlot();
    if (!slot)
        slot = make<UIDevice>();
    return slot;
}

void UIDevice::endGeneratingDeviceOrientationNotifications()
{
    if (m_orientationRequests > 0)
        --m_orientationRequests;
}

void UIDevice::setOrientation(UIDeviceOrientation orientation)
{
    if (orientation == m_orientation)
        return;
    m_orientation = orientation;
    if (isGeneratingDeviceOrientationNotifications())
        NSNotificationCenter::defaultCenter()->postNotificationName(
            UIDeviceOrientationDidChangeNotification, self<UIDevice>());
}

void UIDevice::resetForTesting()
{
    deviceSlot() = nullptr;
}

Value UIDevice::valueForKey(const std::string& key)
{
    if (key == "model")
        return m_model;
    if (key == "systemVersion")
        return m_systemVersion;
    if (key == "name")
        return m_name;
    if (key == "orientation")
        return static_cast<int32_t>(m_orientation);
    if (key == "userInterfaceIdiom")
        return static_cast<int32_t>(m_idiom);
    return NSObject::valueForKey(key);
}

VX_REGISTER_CLASS(UIDevice);
