#pragma once

#include "foundation/NSObject.h"

#include <string>
#include <vector>

enum AVCaptureVideoOrientation : int32_t {
    AVCaptureVideoOrientationPortrait = 1,
    AVCaptureVideoOrientationPortraitUpsideDown = 2,
    AVCaptureVideoOrientationLandscapeRight = 3,
    AVCaptureVideoOrientationLandscapeLeft = 4,
};

// A link from a session's input to an output or a preview layer: the media types of its input
// ports and the orientation of the video it carries. Main thread only.
class AVCaptureConnection : public NSObject {
    VX_OBJECT(AVCaptureConnection, NSObject)
public:
    AVCaptureConnection(Passkey key, std::vector<std::string> portMediaTypes)
        : NSObject(key)
        , m_portMediaTypes(std::move(portMediaTypes))
    {
    }
    static Ref<AVCaptureConnection> initWithInputPortMediaTypes(std::vector<std::string> mediaTypes)
    {
        return make<AVCaptureConnection>(std::move(mediaTypes));
    }

    // The media types of the input ports, one per port.
    const std::vector<std::string>& inputPortMediaTypes() const { return m_portMediaTypes; }
    bool isVideoOrientationSupported() const { return true; }
    AVCaptureVideoOrientation videoOrientation() const { return m_orientation; }
    void setVideoOrientation(AVCaptureVideoOrientation orientation) { m_orientation = orientation; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

private:
    std::vector<std::string> m_portMediaTypes;
    AVCaptureVideoOrientation m_orientation { AVCaptureVideoOrientationPortrait };
    bool m_enabled { true };
};
