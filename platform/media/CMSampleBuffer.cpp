#include "media/CMSampleBuffer.h"

#include "graphics/CGColor.h"
#include "graphics/CGContext.h"
#include "media/MediaSimulator.h"

#include <cstring>

Ref<CMSampleBuffer> CMSampleBuffer::frameWithSize(size_t width, size_t height)
{
    auto buffer = make<CMSampleBuffer>(Value(), width, height);
    buffer->m_pixels.resize(width * height * 4);
    auto context = CGBitmapContextCreate(buffer->m_pixels.data(), width, height, 8, width * 4,
        CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Little);
    if (context) {
        CGContextTranslateCTM(context, 0, static_cast<CGFloat>(height));
        CGContextScaleCTM(context, 1, -1);
        MediaSimulator::drawFrame(context, CGRectMake(0, 0, width, height));
    }
    return buffer;
}
