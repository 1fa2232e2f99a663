#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <cstdint>
#include <vector>

// One captured picture: a still's encoded data, or a video frame's pixels (32-bit BGRA,
// premultiplied, rows of bytesPerRow) with its pixel size. Any thread; the pixels of a frame
// are read between lockBaseAddress and unlockBaseAddress.
class CMSampleBuffer : public NSObject {
    VX_OBJECT(CMSampleBuffer, NSObject)
public:
    CMSampleBuffer(Passkey key, Value data, size_t width, size_t height)
        : NSObject(key)
        , m_data(std::move(data))
        , m_width(width)
        , m_height(height)
    {
    }
    static Ref<CMSampleBuffer> initWithData(Value data, size_t width, size_t height)
    {
        return make<CMSampleBuffer>(std::move(data), width, height);
    }
    // A video frame of the given size filled with the camera's current picture.
    static Ref<CMSampleBuffer> frameWithSize(size_t width, size_t height);

    const Value& data() const { return m_data; }
    bool hasImageBuffer() const { return !m_pixels.empty(); }
    void lockBaseAddress() { m_locked = true; }
    void unlockBaseAddress() { m_locked = false; }
    bool isLocked() const { return m_locked; }
    // Null without pixels.
    void* baseAddress() { return m_pixels.empty() ? nullptr : m_pixels.data(); }
    size_t bytesPerRow() const { return m_width * 4; }
    size_t width() const { return m_width; }
    size_t height() const { return m_height; }

private:
    Value m_data;
    std::vector<uint8_t> m_pixels;
    bool m_locked { false };
    size_t m_width;
    size_t m_height;
};
