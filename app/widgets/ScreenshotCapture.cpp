#include "app/widgets/ScreenshotCapture.h"

#include "foundation/NSDate.h"
#include "foundation/NSDateFormatter.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "foundation/Sandbox.h"
#include "graphics/CALayer.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "uikit/UIActivityViewController.h"
#include "uikit/UIApplication.h"
#include "uikit/UISavedPhotosAlbum.h"
#include "uikit/UIScreen.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

#include <cmath>

VX_REGISTER_CLASS(ScreenshotCapture);

namespace {

// Made on first use and kept for the life of the process.
const Ref<NSDateFormatter>& fileNameFormatter()
{
    static const Ref<NSDateFormatter> s_formatter = [] {
        auto formatter = NSDateFormatter::init();
        formatter->setDateFormat("Y-MM-d HH-mm-ss-SSS");
        return formatter;
    }();
    return s_formatter;
}

} // namespace

Value ScreenshotCapture::dataWithScreenshotInPNGFormat()
{
    auto application = UIApplication::sharedApplication();
    int32_t orientation = application ? application->statusBarOrientation() : UIInterfaceOrientationPortrait;
    CGSize screenSize = UIScreen::mainScreen()->bounds().size;
    CGSize imageSize = screenSize;
    if (orientation == 3 || orientation == 4)
        imageSize = CGSizeMake(screenSize.height, screenSize.width);
    const CGFloat width = imageSize.width, height = imageSize.height;

    CGContextRef outer = UIGraphicsGetCurrentContext();
    UIGraphicsBeginImageContextWithOptions(imageSize, false, UIScreen::mainScreen()->scale());
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context || context == outer)
        return Value();
    if (application) {
        for (const auto& window : application->windows()) {
            CGContextSaveGState(context);
            CGRect bounds = window->bounds();
            CGPoint center = window->center();
            CGPoint anchor = window->layer()->anchorPoint();
            CGContextTranslateCTM(context, center.x, center.y);
            CGContextConcatCTM(context, window->transform());
            CGContextTranslateCTM(context, -bounds.size.width * anchor.x, -bounds.size.height * anchor.y);
            if (orientation == 2) {
                CGContextRotateCTM(context, float(M_PI));
                CGContextTranslateCTM(context, -width, -height);
            } else if (orientation == 3) {
                CGContextRotateCTM(context, float(-M_PI_2));
                CGContextTranslateCTM(context, -height, 0);
            } else if (orientation == 4) {
                CGContextRotateCTM(context, float(M_PI_2));
                CGContextTranslateCTM(context, 0, -width);
            }
            window->drawViewHierarchyInRectAfterScreenUpdates(bounds, true);
            CGContextRestoreGState(context);
        }
    }
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return UIImagePNGRepresentation(image);
}

Ref<UIImage> ScreenshotCapture::imageWithScreenshot()
{
    return UIImage::imageWithData(dataWithScreenshotInPNGFormat());
}

void ScreenshotCapture::takeScreenshotToActivityViewController()
{
    auto application = UIApplication::sharedApplication();
    auto delegate = application ? application->delegate() : nullptr;
    auto window = delegate ? delegate->window() : nullptr;
    auto root = window ? window->rootViewController() : nullptr;
    if (!root)
        return;
    auto image = imageWithScreenshot();
    std::vector<Value> items;
    if (image)
        items.push_back(Value(image));
    auto sheet = UIActivityViewController::initWithActivityItemsApplicationActivities(items, {});
    root->presentViewControllerAnimatedCompletion(sheet, true, nullptr);
}

void ScreenshotCapture::takeScreenshotToCameraRoll()
{
    UIImageWriteToSavedPhotosAlbum(imageWithScreenshot());
}

void ScreenshotCapture::takeScreenshotToDocumentsDirectory()
{
    auto directories = NSSearchPathForDirectoriesInDomains(NSDocumentDirectory, NSUserDomainMask, true);
    if (directories.empty())
        return;
    takeScreenshotToDirectoryAtPath(directories.back());
}

void ScreenshotCapture::takeScreenshotToDirectoryAtPath(const std::string& path)
{
    std::string name = fileNameFormatter()->stringFromDate(NSDate::date()) + ".png";
    std::string filePath = path.empty() || path.back() == '/' ? path + name : path + "/" + name;
    NSFileManager::defaultManager()->createFileAtPath(filePath, dataWithScreenshotInPNGFormat(), Value());
}
