#pragma once

#include "foundation/NSObject.h"

#include <string>
#include <vector>

inline constexpr const char* AVMediaTypeVideo = "vide";
inline constexpr const char* AVMediaTypeAudio = "soun";

enum AVCaptureDevicePosition : int32_t {
    AVCaptureDevicePositionUnspecified = 0,
    AVCaptureDevicePositionBack = 1,
    AVCaptureDevicePositionFront = 2,
};

// One of the device's (simulated) cameras. The list follows MediaSimulator's settings at the
// time of the call. Any thread.
class AVCaptureDevice : public NSObject {
    VX_OBJECT(AVCaptureDevice, NSObject)
public:
    AVCaptureDevice(Passkey key, AVCaptureDevicePosition position);

    static std::vector<Ref<AVCaptureDevice>> devices();
    static std::vector<Ref<AVCaptureDevice>> devicesWithMediaType(const std::string& mediaType);
    // The back camera, else the front one; nil without a camera.
    static Ref<AVCaptureDevice> defaultDeviceWithMediaType(const std::string& mediaType);

    AVCaptureDevicePosition position() const { return m_position; }
    std::string uniqueID() const;
    std::string localizedName() const;
    bool hasMediaType(const std::string& mediaType) const { return mediaType == AVMediaTypeVideo; }

private:
    AVCaptureDevicePosition m_position;
};
