#include "media/AVCaptureDevice.h"

#include "media/MediaSimulator.h"

AVCaptureDevice::AVCaptureDevice(Passkey key, AVCaptureDevicePosition position)
    : NSObject(key)
    , m_position(position)
{
}

std::vector<Ref<AVCaptureDevice>> AVCaptureDevice::devices()
{
    std::vector<Ref<AVCaptureDevice>> list;
    auto& simulator = MediaSimulator::shared();
    if (simulator.hasBackCamera())
        list.push_back(make<AVCaptureDevice>(AVCaptureDevicePositionBack));
    if (simulator.hasFrontCamera())
        list.push_back(make<AVCaptureDevice>(AVCaptureDevicePositionFront));
    return list;
}

std::vector<Ref<AVCaptureDevice>> AVCaptureDevice::devicesWithMediaType(const std::string& mediaType)
{
    if (mediaType != AVMediaTypeVideo)
        return {};
    return devices();
}

Ref<AVCaptureDevice> AVCaptureDevice::defaultDeviceWithMediaType(const std::string& mediaType)
{
    auto list = devicesWithMediaType(mediaType);
    return list.empty() ? nullptr : list.front();
}

std::string AVCaptureDevice::uniqueID() const
{
    return m_position == AVCaptureDevicePositionBack ? "camera.back" : "camera.front";
}

std::string AVCaptureDevice::localizedName() const
{
    return m_position == AVCaptureDevicePositionBack ? "Back Camera" : "Front Camera";
}
