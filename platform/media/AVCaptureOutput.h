#pragma once

#include "media/AVCaptureConnection.h"

class AVCaptureSession;

// Where a session's frames go. A session that gains the output connects it to each of its
// camera inputs. Main thread only.
class AVCaptureOutput : public NSObject {
    VX_OBJECT(AVCaptureOutput, NSObject)
public:
    explicit AVCaptureOutput(Passkey key)
        : NSObject(key)
    {
    }

    const std::vector<Ref<AVCaptureConnection>>& connections() const { return m_connections; }
    Ref<AVCaptureConnection> connectionWithMediaType(const std::string& mediaType) const;
    Ref<AVCaptureSession> session() const { return m_session.lock(); }

    // Called by the session.
    void attachToSession(const Ref<AVCaptureSession>& session, size_t videoInputs);
    void detachFromSession();

private:
    std::vector<Ref<AVCaptureConnection>> m_connections;
    Weak<AVCaptureSession> m_session;
};
