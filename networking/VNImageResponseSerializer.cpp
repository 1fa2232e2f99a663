#include "networking/VNImageResponseSerializer.h"

#include "foundation/NSCoder.h"
#include "foundation/NSError.h"
#include "graphics/CGColor.h"
#include "graphics/CGContext.h"
#include "graphics/CGImage.h"
#include "graphics/UIImage.h"
#include "net/NSURLResponse.h"
#include "networking/VNResponseValidation.h"
#include "uikit/UIScreen.h"

VX_REGISTER_CODING_CLASS(VNImageResponseSerializer);

namespace {

constexpr size_t kMaximumInflatedPixels = 1024 * 1024;

// The data decoded as an image, then re-made from its bitmap at `scale`, keeping its orientation.
Ref<UIImage> imageAtScale(const Value& data, float scale)
{
    auto image = UIImage::imageWithData(data);
    if (!image)
        return nullptr;
    if (!image->images().empty())
        return image;
    return UIImage::imageWithCGImage(image->CGImage(), scale, image->imageOrientation());
}

Ref<UIImage> inflatedImage(const Ref<NSURLResponse>& response, const Value& data, float scale)
{
    if (!data.isData() || data.bytes().empty())
        return nullptr;

    CGImageRef bitmap;
    auto provider = CGDataProviderCreateWithBytes(data.bytes());
    const auto& mimeType = response ? response->MIMEType() : std::nullopt;
    if (mimeType == "image/png")
        bitmap = CGImageCreateWithPNGDataProvider(provider, nullptr, true, kCGRenderingIntentDefault);
    else if (mimeType == "image/jpeg")
        bitmap = CGImageCreateWithJPEGDataProvider(provider, nullptr, true, kCGRenderingIntentDefault);

    auto image = imageAtScale(data, scale);
    if (!bitmap) {
        if (image && !image->images().empty())
            return image;
        bitmap = image ? CGImageCreateCopy(image->CGImage()) : nullptr;
        if (!bitmap)
            return nullptr;
    }

    size_t width = CGImageGetWidth(bitmap);
    size_t height = CGImageGetHeight(bitmap);
    if (width * height > kMaximumInflatedPixels)
        return imageAtScale(data, scale);

    auto colorSpace = CGColorSpaceCreateDeviceRGB();
    CGBitmapInfo bitmapInfo = CGImageGetBitmapInfo(bitmap);
    if (CGColorSpaceGetNumberOfComponents(colorSpace) == 3) {
        uint32_t alpha = bitmapInfo & kCGBitmapAlphaInfoMask;
        if (alpha == kCGImageAlphaNone) {
            alpha = kCGImageAlphaNoneSkipFirst;
        } else if (alpha != kCGImageAlphaNoneSkipLast && alpha != kCGImageAlphaNoneSkipFirst) {
            alpha = kCGImageAlphaPremultipliedFirst;
        }
        bitmapInfo = (bitmapInfo & ~kCGBitmapAlphaInfoMask) | alpha;
    }
    auto context
        = CGBitmapContextCreate(nullptr, width, height, CGImageGetBitsPerComponent(bitmap), 0, colorSpace, bitmapInfo);
    if (!context)
        return imageAtScale(data, scale);

    CGContextDrawImage(context, CGRectMake(0, 0, width, height), bitmap);
    auto drawn = CGBitmapContextCreateImage(context);
    if (!drawn)
        return imageAtScale(data, scale);
    return UIImage::imageWithCGImage(drawn, scale, image ? image->imageOrientation() : UIImageOrientationUp);
}

} // namespace

Ref<VNImageResponseSerializer> VNImageResponseSerializer::init()
{
    auto serializer = make<VNImageResponseSerializer>();
    serializer->initialize();
    serializer->setAcceptableContentTypes(std::set<std::string> { "image/tiff", "image/jpeg", "image/gif", "image/png",
        "image/ico", "image/x-icon", "image/bmp", "image/x-bmp", "image/x-xbitmap", "image/x-win-bitmap" });
    auto screen = UIScreen::mainScreen();
    serializer->setImageScale(screen ? float(screen->scale()) : 1.0f);
    serializer->setAutomaticallyInflatesResponseImage(true);
    return serializer;
}

const std::set<std::string>& VNImageResponseSerializer::acceptablePathExtensions()
{
    static const std::set<std::string> s_extensions { "tif", "tiff", "jpg", "jpeg", "gif", "png", "ico", "bmp", "cur" };
    return s_extensions;
}

Value VNImageResponseSerializer::responseObjectForResponseDataError(
    const Ref<NSURLResponse>& response, const Value& data, Ref<NSError>* error)
{
    if (!VNResponseValidation::validateBeforeParsing(*this, response, data, error))
        return nullptr;
    if (!data.isData())
        return nullptr;
    auto image = m_automaticallyInflatesResponseImage ? inflatedImage(response, data, m_imageScale)
                                                      : imageAtScale(data, m_imageScale);
    if (!image)
        return nullptr;
    return Value(image);
}

Ref<VNImageResponseSerializer> VNImageResponseSerializer::initWithCoder(NSCoder& coder)
{
    auto serializer = init();
    serializer->decodeBaseWithCoder(coder);
    serializer->setImageScale(coder.decodeFloatForKey("imageScale"));
    serializer->setAutomaticallyInflatesResponseImage(coder.decodeBoolForKey("automaticallyInflatesResponseImage"));
    return serializer;
}

void VNImageResponseSerializer::encodeWithCoder(NSCoder& coder)
{
    VNHTTPResponseSerializer::encodeWithCoder(coder);
    coder.encodeFloatForKey(m_imageScale, "imageScale");
    coder.encodeBoolForKey(m_automaticallyInflatesResponseImage, "automaticallyInflatesResponseImage");
}

Ref<VNHTTPResponseSerializer> VNImageResponseSerializer::copy() const
{
    auto serializer = init();
    serializer->setImageScale(m_imageScale);
    serializer->setAutomaticallyInflatesResponseImage(m_automaticallyInflatesResponseImage);
    return serializer;
}
