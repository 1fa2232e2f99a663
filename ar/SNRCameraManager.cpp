#include "ar/SNRCameraManager.h"

#include "ar/SNRDeviceProperties.h"
#include "ar/SNRSensorManager.h"
#include "foundation/NSError.h"
#include "foundation/NSLog.h"
#include "media/AVCaptureDeviceInput.h"
#include "media/AVCaptureSession.h"

Ref<AVCaptureDeviceInput> SNRCameraManager::openCamera()
{
    Ref<NSError> error;
    auto input = AVCaptureDeviceInput::deviceInputWithDevice(
        AVCaptureDevice::defaultDeviceWithMediaType(AVMediaTypeVideo), &error);
    // The session is never handed a missing input; it then runs without a picture.
    if (!input) {
        NSLog("ERROR: trying to open camera: %@", error ? error->description() : std::string("(null)"));
        return nullptr;
    }
    if (m_session && m_session->canAddInput(input))
        m_session->addInput(input);
    return input;
}

bool SNRCameraManager::hasBackCamera()
{
    auto properties = SNRSensorManager::sharedSensorManager()->deviceProperties();
    if (!properties || !properties->hasBackFacingCamera()) {
        NSLog("startCameraPreview: no camera available on this device!");
        return false;
    }
    return true;
}
