#pragma once

#include "graphics/CGContext.h"
#include "graphics/CGImage.h"

#include <mutex>

// The simulated cameras. The host and tests say which cameras the device has and whether
// opening one fails; every camera shows the same generated picture: a sky that brightens towards
// a horizon across the middle, and darker ground below, the same on every run. Any thread.
class MediaSimulator {
public:
    static MediaSimulator& shared();

    // Defaults: a back and a front camera, both open without error.
    void setCameras(bool back, bool front);
    bool hasBackCamera() const;
    bool hasFrontCamera() const;
    void setInputFailure(bool fails);
    bool inputFails() const;

    // Draws the current camera picture filling `rect` of the context.
    static void drawFrame(const CGContextRef& context, CGRect rect);
    // The current picture as an image of the given pixel size.
    static CGImageRef frameImage(size_t width, size_t height);

    void reset();

private:
    MediaSimulator() = default;
    mutable std::mutex m_lock;
    bool m_back { true };
    bool m_front { true };
    bool m_inputFails { false };
};
