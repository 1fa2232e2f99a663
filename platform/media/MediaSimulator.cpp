#include "media/MediaSimulator.h"

#include "graphics/CGColor.h"

MediaSimulator& MediaSimulator::shared()
{
    static MediaSimulator simulator;
    return simulator;
}

void MediaSimulator::setCameras(bool back, bool front)
{
    std::lock_guard lock(m_lock);
    m_back = back;
    m_front = front;
}

bool MediaSimulator::hasBackCamera() const
{
    std::lock_guard lock(m_lock);
    return m_back;
}

bool MediaSimulator::hasFrontCamera() const
{
    std::lock_guard lock(m_lock);
    return m_front;
}

void MediaSimulator::setInputFailure(bool fails)
{
    std::lock_guard lock(m_lock);
    m_inputFails = fails;
}

bool MediaSimulator::inputFails() const
{
    std::lock_guard lock(m_lock);
    return m_inputFails;
}

void MediaSimulator::drawFrame(const CGContextRef& context, CGRect rect)
{
    if (!context || rect.size.width <= 0 || rect.size.height <= 0)
        return;
    // Sky in bands from deep blue at the top to pale blue at the horizon.
    const int bands = 24;
    CGFloat horizon = rect.origin.y + rect.size.height * 0.5f;
    CGFloat bandHeight = (horizon - rect.origin.y) / bands;
    for (int i = 0; i < bands; ++i) {
        CGFloat t = static_cast<CGFloat>(i) / (bands - 1);
        CGContextSetRGBFillColor(context, 0.18f + 0.5f * t, 0.36f + 0.45f * t, 0.72f + 0.23f * t, 1);
        CGContextFillRect(
            context, CGRectMake(rect.origin.x, rect.origin.y + i * bandHeight, rect.size.width, bandHeight + 1));
    }
    // Ground: a grey-green field, darker towards the viewer.
    CGFloat groundHeight = rect.origin.y + rect.size.height - horizon;
    for (int i = 0; i < bands; ++i) {
        CGFloat t = static_cast<CGFloat>(i) / (bands - 1);
        CGContextSetRGBFillColor(context, 0.42f - 0.2f * t, 0.46f - 0.2f * t, 0.36f - 0.18f * t, 1);
        CGContextFillRect(context,
            CGRectMake(rect.origin.x, horizon + i * groundHeight / bands, rect.size.width, groundHeight / bands + 1));
    }
}

CGImageRef MediaSimulator::frameImage(size_t width, size_t height)
{
    auto context = CGBitmapContextCreate(nullptr, width, height, 8, 0, CGColorSpaceCreateDeviceRGB(),
        kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Little);
    if (!context)
        return nullptr;
    // Bitmap contexts are y-up; the picture is drawn y-down.
    CGContextTranslateCTM(context, 0, static_cast<CGFloat>(height));
    CGContextScaleCTM(context, 1, -1);
    drawFrame(context, CGRectMake(0, 0, width, height));
    return CGBitmapContextCreateImage(context);
}

void MediaSimulator::reset()
{
    std::lock_guard lock(m_lock);
    m_back = true;
    m_front = true;
    m_inputFails = false;
}
