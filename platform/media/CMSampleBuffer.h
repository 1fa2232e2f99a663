#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

// One captured still: the encoded picture as data and its pixel size. Immutable; any thread.
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
    const Value& data() const { return m_data; }
    size_t width() const { return m_width; }
    size_t height() const { return m_height; }

private:
    Value m_data;
    size_t m_width;
    size_t m_height;
};
