#include "media/AVCaptureDeviceInput.h"

#include "foundation/NSError.h"
#include "media/MediaSimulator.h"

Ref<AVCaptureDeviceInput> AVCaptureDeviceInput::deviceInputWithDevice(
    const Ref<AVCaptureDevice>& device, Ref<NSError>* error)
{
    if (!device || MediaSimulator::shared().inputFails()) {
        if (error)
            *error = NSError::errorWithDomain("AVFoundationErrorDomain", -11814,
                Value::dictionary({ { "NSLocalizedDescription", Value("Cannot Record") } }));
        return nullptr;
    }
    return make<AVCaptureDeviceInput>(device);
}
