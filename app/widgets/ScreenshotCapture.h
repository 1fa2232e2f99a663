#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <string>

class UIImage;

// Renders every window of the application into one image the size of the screen in the
// current interface orientation, and saves or shares it. Main thread only.
class ScreenshotCapture : public NSObject {
    VX_OBJECT(ScreenshotCapture, NSObject)
public:
    explicit ScreenshotCapture(Passkey key)
        : NSObject(key)
    {
    }

    // The PNG data of the screenshot; nil when no image could be made.
    static Value dataWithScreenshotInPNGFormat();
    static Ref<UIImage> imageWithScreenshot();
    // Presents a share sheet with the screenshot from the root screen of the application
    // delegate's window.
    static void takeScreenshotToActivityViewController();
    static void takeScreenshotToCameraRoll();
    static void takeScreenshotToDocumentsDirectory();
    // Writes the PNG data to "<time>.png" in the directory, the time formatted as
    // "Y-MM-d HH-mm-ss-SSS"; a file of that name is replaced.
    static void takeScreenshotToDirectoryAtPath(const std::string& path);
};
