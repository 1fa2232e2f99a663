#pragma once

#include "media/AVCaptureDevice.h"

class NSError;

// An opened camera. Opening fails (nil, with an error in "AVFoundationErrorDomain") when the
// device is nil or the simulator says cameras cannot be opened. Any thread.
class AVCaptureDeviceInput : public NSObject {
    VX_OBJECT(AVCaptureDeviceInput, NSObject)
public:
    AVCaptureDeviceInput(Passkey key, Ref<AVCaptureDevice> device)
        : NSObject(key)
        , m_device(std::move(device))
    {
    }
    static Ref<AVCaptureDeviceInput> deviceInputWithDevice(const Ref<AVCaptureDevice>& device, Ref<NSError>* error);

    const Ref<AVCaptureDevice>& device() const { return m_device; }

private:
    Ref<AVCaptureDevice> m_device;
};
