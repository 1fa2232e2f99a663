#pragma once

#include "media/AVCaptureDeviceInput.h"
#include "media/AVCaptureOutput.h"

#include <string>
#include <vector>

inline constexpr const char* AVCaptureSessionPresetPhoto = "AVCaptureSessionPresetPhoto";
inline constexpr const char* AVCaptureSessionPresetHigh = "AVCaptureSessionPresetHigh";
inline constexpr const char* AVCaptureSessionPresetMedium = "AVCaptureSessionPresetMedium";
inline constexpr const char* AVCaptureSessionPresetLow = "AVCaptureSessionPresetLow";
inline constexpr const char* AVCaptureSessionPreset352x288 = "AVCaptureSessionPreset352x288";
inline constexpr const char* AVCaptureSessionPreset640x480 = "AVCaptureSessionPreset640x480";
inline constexpr const char* AVCaptureSessionPreset1280x720 = "AVCaptureSessionPreset1280x720";
inline constexpr const char* AVCaptureSessionPreset1920x1080 = "AVCaptureSessionPreset1920x1080";
inline constexpr const char* AVCaptureSessionPresetiFrame960x540 = "AVCaptureSessionPresetiFrame960x540";
inline constexpr const char* AVCaptureSessionPresetiFrame1280x720 = "AVCaptureSessionPresetiFrame1280x720";

// Joins camera inputs to outputs and preview layers. The simulated camera accepts every preset
// except 1920x1080 (so the presets a device supports can be probed). Starting and stopping never
// wait for an output's work in flight. Main thread only.
class AVCaptureSession : public NSObject {
    VX_OBJECT(AVCaptureSession, NSObject)
public:
    explicit AVCaptureSession(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<AVCaptureSession> init() { return make<AVCaptureSession>(); }

    const std::string& sessionPreset() const { return m_preset; }
    bool canSetSessionPreset(const std::string& preset) const;
    // A preset the session refuses raises "NSInvalidArgumentException", as on the platform.
    void setSessionPreset(const std::string& preset);

    const std::vector<Ref<AVCaptureDeviceInput>>& inputs() const { return m_inputs; }
    bool canAddInput(const Ref<AVCaptureDeviceInput>& input) const;
    void addInput(const Ref<AVCaptureDeviceInput>& input);
    void removeInput(const Ref<AVCaptureDeviceInput>& input);
    const std::vector<Ref<AVCaptureOutput>>& outputs() const { return m_outputs; }
    bool canAddOutput(const Ref<AVCaptureOutput>& output) const;
    void addOutput(const Ref<AVCaptureOutput>& output);
    void removeOutput(const Ref<AVCaptureOutput>& output);

    void beginConfiguration() { ++m_configurationDepth; }
    void commitConfiguration()
    {
        if (m_configurationDepth > 0)
            --m_configurationDepth;
    }
    void startRunning() { m_running = true; }
    void stopRunning() { m_running = false; }
    bool isRunning() const { return m_running; }

private:
    std::string m_preset { AVCaptureSessionPresetHigh };
    std::vector<Ref<AVCaptureDeviceInput>> m_inputs;
    std::vector<Ref<AVCaptureOutput>> m_outputs;
    int m_configurationDepth { 0 };
    bool m_running { false };
};
