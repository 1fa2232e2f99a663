#pragma once

#include "graphics/CALayer.h"
#include "media/AVCaptureConnection.h"
#include "media/AVCaptureSession.h"

inline constexpr const char* AVLayerVideoGravityResize = "AVLayerVideoGravityResize";
inline constexpr const char* AVLayerVideoGravityResizeAspect = "AVLayerVideoGravityResizeAspect";
inline constexpr const char* AVLayerVideoGravityResizeAspectFill = "AVLayerVideoGravityResizeAspectFill";

// Shows a session's camera picture: while the session runs and has a camera input, the layer
// draws the simulated camera's current picture over its bounds; otherwise it draws nothing of
// its own. Main thread only.
class AVCaptureVideoPreviewLayer : public CALayer {
    VX_OBJECT(AVCaptureVideoPreviewLayer, CALayer)
public:
    explicit AVCaptureVideoPreviewLayer(Passkey key)
        : CALayer(key)
    {
    }
    static Ref<AVCaptureVideoPreviewLayer> layerWithSession(const Ref<AVCaptureSession>& session);

    const Ref<AVCaptureSession>& session() const { return m_session; }
    const std::string& videoGravity() const { return m_videoGravity; }
    void setVideoGravity(std::string gravity) { m_videoGravity = std::move(gravity); }
    const Ref<AVCaptureConnection>& connection() const { return m_connection; }

protected:
    void drawBackgroundAndContents(const CGContextRef& context) override;

private:
    Ref<AVCaptureSession> m_session;
    Ref<AVCaptureConnection> m_connection;
    std::string m_videoGravity { AVLayerVideoGravityResizeAspect };
};
