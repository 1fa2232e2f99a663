#include "ar/SNRNativeCameraManager.h"

#include "foundation/NSLog.h"
#include "media/AVCaptureSession.h"
#include "media/AVCaptureVideoPreviewLayer.h"
#include "uikit/UIView.h"

namespace {

// Lives for the process: never destroyed, so nothing it holds is torn down at exit under
// threads and statics that may still use it.
Ref<AVCaptureVideoDataOutput>& s_output = *new Ref<AVCaptureVideoDataOutput>();

} // namespace

Ref<SNRNativeCameraManager> SNRNativeCameraManager::initWithView(const Ref<UIView>& view)
{
    auto manager = make<SNRNativeCameraManager>();
    manager->m_cameraView = view;
    manager->m_sessionPreset = AVCaptureSessionPresetHigh;
    manager->m_videoGravity = AVLayerVideoGravityResizeAspect;
    manager->m_videoGravities
        = { AVLayerVideoGravityResize, AVLayerVideoGravityResizeAspect, AVLayerVideoGravityResizeAspectFill };
    manager->determineSupportedPresets();
    return manager;
}

const std::vector<std::string>& SNRNativeCameraManager::presetsToProbe()
{
    static const std::vector<std::string> presets { AVCaptureSessionPresetHigh, AVCaptureSessionPresetMedium,
        AVCaptureSessionPresetLow, AVCaptureSessionPreset352x288, AVCaptureSessionPreset640x480,
        AVCaptureSessionPreset1280x720, AVCaptureSessionPreset1920x1080, AVCaptureSessionPresetiFrame960x540,
        AVCaptureSessionPresetiFrame1280x720 };
    return presets;
}

Ref<AVCaptureVideoDataOutput> SNRNativeCameraManager::videoDataOutput()
{
    return s_output;
}

void SNRNativeCameraManager::determineSupportedPresets()
{
    auto probe = AVCaptureSession::init();
    m_supportedPresets.clear();
    for (const auto& preset : presetsToProbe()) {
        if (probe->canSetSessionPreset(preset)) {
            NSLog("%@ supported", preset);
            m_supportedPresets.push_back(preset);
        } else {
            NSLog("%@ not supported", preset);
        }
    }
}

CGRect SNRNativeCameraManager::previewBounds() const
{
    CGSize size = m_cameraView ? m_cameraView->bounds().size : CGSizeZero;
    float w = size.width, h = size.height;
    return CGRectMake((w - w * m_previewScale.width) / 2, (h - h * m_previewScale.height) / 2, w * m_previewScale.width,
        h * m_previewScale.height);
}

void SNRNativeCameraManager::startCameraPreview()
{
    if (!hasBackCamera())
        return;
    if (m_previewScale.width == 0 && m_previewScale.height == 0) {
        m_previewScale = CGSizeMake(1, 1);
        NSLog("preview scale not set, using 1,1");
    }
    if (!m_sessionPreset) {
        NSLog("no session preset, cannot start preview");
        return;
    }
    m_session = AVCaptureSession::init();
    if (m_session->canSetSessionPreset(*m_sessionPreset))
        m_session->setSessionPreset(*m_sessionPreset);
    m_cameraPreviewLayer = AVCaptureVideoPreviewLayer::layerWithSession(m_session);
    m_cameraPreviewLayer->setFrame(previewBounds());
    m_cameraPreviewLayer->setVideoGravity(m_videoGravity);
    if (m_cameraView)
        m_cameraView->layer()->addSublayer(m_cameraPreviewLayer);
    m_input = openCamera();
    s_output = AVCaptureVideoDataOutput::init();
    s_output->setAlwaysDiscardsLateVideoFrames(true);
    s_output->setVideoSettings(
        Value::dictionary({ { Value("PixelFormatType"), Value(static_cast<int64_t>(kCVPixelFormatType_32BGRA)) } }));
    s_output->setSampleBufferDelegateQueue(
        std::weak_ptr<AVCaptureVideoDataOutputSampleBufferDelegate>(self<SNRNativeCameraManager>()),
        dispatch_get_main_queue());
    if (m_session->canAddOutput(s_output))
        m_session->addOutput(s_output);
    m_session->commitConfiguration();
    m_session->startRunning();
    m_cameraPreviewStarted = true;
    m_cameraPreviewPaused = false;
}

void SNRNativeCameraManager::captureOutputDidOutputSampleBufferFromConnection(
    const Ref<AVCaptureVideoDataOutput>&, const Ref<CMSampleBuffer>& buffer, const Ref<AVCaptureConnection>&)
{
    if (buffer && buffer->hasImageBuffer())
        m_previewSize = CGSizeMake(buffer->width(), buffer->height());
}

void SNRNativeCameraManager::willRotateToInterfaceOrientationDuration(int32_t orientation, double)
{
    // A stopped manager has no layer left to turn.
    if (!m_cameraPreviewStarted || !m_cameraPreviewLayer)
        return;
    m_cameraPreviewLayer->setFrame(previewBounds());
    if (auto connection = m_cameraPreviewLayer->connection())
        connection->setVideoOrientation(
            static_cast<AVCaptureVideoOrientation>(orientation >= 2 && orientation <= 4 ? orientation : 1));
}

void SNRNativeCameraManager::stopCameraPreview(bool)
{
    if (!m_cameraPreviewStarted) {
        NSLog("CameraView not loaded");
        return;
    }
    // Stopped managers keep reporting started; what was dropped stays dropped.
    if (m_cameraPreviewLayer) {
        m_cameraPreviewLayer->removeFromSuperlayer();
        m_cameraPreviewLayer = nullptr;
    }
    if (m_session) {
        m_session->stopRunning();
        m_session = nullptr;
    }
}
