#include "media/AVCaptureSession.h"

#include "foundation/NSException.h"

#include <algorithm>

bool AVCaptureSession::canSetSessionPreset(const std::string& preset) const
{
    static const char* const accepted[] = { AVCaptureSessionPresetPhoto, AVCaptureSessionPresetHigh,
        AVCaptureSessionPresetMedium, AVCaptureSessionPresetLow, AVCaptureSessionPreset352x288,
        AVCaptureSessionPreset640x480, AVCaptureSessionPreset1280x720, AVCaptureSessionPresetiFrame960x540,
        AVCaptureSessionPresetiFrame1280x720 };
    return std::any_of(std::begin(accepted), std::end(accepted), [&](const char* p) { return preset == p; });
}

void AVCaptureSession::setSessionPreset(const std::string& preset)
{
    if (!canSetSessionPreset(preset))
        throw NSException("NSInvalidArgumentException", "Unsupported session preset " + preset);
    m_preset = preset;
}

bool AVCaptureSession::canAddInput(const Ref<AVCaptureDeviceInput>& input) const
{
    return input && std::find(m_inputs.begin(), m_inputs.end(), input) == m_inputs.end();
}

void AVCaptureSession::addInput(const Ref<AVCaptureDeviceInput>& input)
{
    if (!canAddInput(input))
        throw NSException("NSInvalidArgumentException", "Cannot add the input to the session");
    m_inputs.push_back(input);
    for (auto& output : m_outputs)
        output->attachToSession(self<AVCaptureSession>(), m_inputs.size());
}

void AVCaptureSession::removeInput(const Ref<AVCaptureDeviceInput>& input)
{
    std::erase(m_inputs, input);
    for (auto& output : m_outputs)
        output->attachToSession(self<AVCaptureSession>(), m_inputs.size());
}

bool AVCaptureSession::canAddOutput(const Ref<AVCaptureOutput>& output) const
{
    return output && !output->session() && std::find(m_outputs.begin(), m_outputs.end(), output) == m_outputs.end();
}

void AVCaptureSession::addOutput(const Ref<AVCaptureOutput>& output)
{
    if (!canAddOutput(output))
        throw NSException("NSInvalidArgumentException", "Cannot add the output to the session");
    m_outputs.push_back(output);
    output->attachToSession(self<AVCaptureSession>(), m_inputs.size());
}

void AVCaptureSession::removeOutput(const Ref<AVCaptureOutput>& output)
{
    if (std::find(m_outputs.begin(), m_outputs.end(), output) == m_outputs.end())
        return;
    std::erase(m_outputs, output);
    output->detachFromSession();
}
