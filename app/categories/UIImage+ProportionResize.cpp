#include "app/categories/UIImage+ProportionResize.h"

#include "foundation/NSLog.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"

namespace UIImage_ProportionResize {

Ref<UIImage> imageByScalingProportionallyToSize(const Ref<UIImage>& image, CGSize targetSize)
{
    Ref<UIImage> result;
    if (image) {
        CGSize size = image->size();
        CGFloat width = size.width, height = size.height;
        CGFloat targetWidth = targetSize.width, targetHeight = targetSize.height;
        CGRect drawRect = CGRectMake(0, 0, targetWidth, targetHeight);
        if (!(width == targetWidth && height == targetHeight) && width > 0 && height > 0) {
            CGFloat widthFactor = targetWidth / width;
            CGFloat heightFactor = targetHeight / height;
            CGFloat factor = widthFactor < heightFactor ? widthFactor : heightFactor;
            CGFloat scaledWidth = width * factor;
            CGFloat scaledHeight = height * factor;
            CGFloat y = widthFactor < heightFactor ? (targetHeight - scaledHeight) * 0.5f : 0;
            drawRect = CGRectMake(0, y, scaledWidth, scaledHeight);
        }
        if (targetWidth > 0 && targetHeight > 0) {
            CGContextRef outer = UIGraphicsGetCurrentContext();
            UIGraphicsBeginImageContextWithOptions(targetSize, false, 1);
            CGContextRef context = UIGraphicsGetCurrentContext();
            if (context && context != outer) {
                image->drawInRect(drawRect);
                result = UIGraphicsGetImageFromCurrentImageContext();
                UIGraphicsEndImageContext();
            }
        }
    }
    if (!result)
        NSLog("could not scale image");
    return result;
}

} // namespace UIImage_ProportionResize
