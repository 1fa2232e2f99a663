#include "grid/LGridShadow.h"

#include "foundation/NSString.h"
#include "foundation/ThreadChecks.h"
#include "foundation/Value.h"
#include "grid/LatticeGridLog.h"

#include <cmath>
#include <optional>

namespace {

// A 15 x 1 PNG, every pixel black, its alpha rising from 2 at the left to 102 near the right
// (2 7 14 21 28 37 45 54 63 71 79 86 93 102 96): the dark end is at the right.
const uint8_t kShadowPNG[] = { 0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44,
    0x52, 0x00, 0x00, 0x00, 0x0f, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x01, 0xdc, 0xf4, 0x3a, 0x00,
    0x00, 0x00, 0x30, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0x60, 0x60, 0x60, 0x60, 0x02, 0x62, 0x76, 0x20, 0xe6,
    0x03, 0x62, 0x51, 0x20, 0x96, 0x01, 0x62, 0x55, 0x20, 0xd6, 0x05, 0x62, 0x33, 0x20, 0xb6, 0x07, 0x62, 0x77, 0x20,
    0xf6, 0x07, 0xe2, 0x30, 0x20, 0x8e, 0x05, 0xe2, 0x34, 0x20, 0x4e, 0x00, 0x00, 0x39, 0x7b, 0x03, 0x1f, 0x86, 0x1f,
    0x27, 0xd7, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82 };

const Ref<UIImage>& sharedShadowImage()
{
    static const Ref<UIImage> s_image
        = UIImage::imageWithData(Value::data(Value::Bytes(std::begin(kShadowPNG), std::end(kShadowPNG))));
    return s_image;
}

// The orientation that puts the strip's dark end against the owner's edge on each side.
std::optional<UIImageOrientation> orientationForSide(int32_t side)
{
    switch (side) {
    case 0:
        return UIImageOrientationRight;
    case 1:
        return UIImageOrientationLeft;
    case 2:
        return UIImageOrientationUp;
    case 3:
        return UIImageOrientationDown;
    default:
        return std::nullopt;
    }
}

} // namespace

Ref<LGridShadow> LGridShadow::init()
{
    assertIsMainThread();
    auto shadow = makeView<LGridShadow>(CGRectZero);
    shadow->setOpaque(true);
    sharedShadowImage();
    return shadow;
}

void LGridShadow::addToView(const Ref<UIView>& view)
{
    assertIsMainThread();
    if (view)
        view->addSubview(self<LGridShadow>());
}

Ref<UIImage> LGridShadow::createImageOnSide(int32_t side)
{
    auto orientation = orientationForSide(side);
    if (!orientation)
        return nullptr;
    if (image() && m_lastImageOrientation == *orientation)
        return image();
    m_lastImageOrientation = *orientation;
    const auto& shared = sharedShadowImage();
    if (!shared)
        return nullptr;
    return UIImage::imageWithCGImage(shared->CGImage(), 1.0f, *orientation);
}

void LGridShadow::attachOnSide(int32_t side)
{
    assertIsMainThread();
    auto owner = superview();
    if (!orientationForSide(side) || !owner) {
        LatticeGridLog::logMessageFromSource(
            NSString::stringWithFormat(
                "A shadow cannot be attached on side %d without a superview or outside sides 0 to 3.", side),
            this);
        return;
    }
    auto sideImage = createImageOnSide(side);
    CGSize imageSize = sideImage ? sideImage->size() : CGSizeMake(side < 2 ? 1 : 15, side < 2 ? 15 : 1);
    owner->setClipsToBounds(false);
    CGSize ownerSize = owner->frame().size;
    CGFloat w = ownerSize.width;
    CGFloat h = ownerSize.height;
    CGPoint centre;
    CGSize size;
    switch (side) {
    case 0:
        centre = CGPointMake(w / 2, -imageSize.height / 2);
        size = CGSizeMake(w, imageSize.height);
        break;
    case 1:
        centre = CGPointMake(w / 2, h + imageSize.height / 2);
        size = CGSizeMake(w, imageSize.height);
        break;
    case 2:
        centre = CGPointMake(-imageSize.width / 2, h / 2);
        size = CGSizeMake(imageSize.width, h);
        break;
    default:
        centre = CGPointMake(w + imageSize.width / 2, std::floor(h / 2 + 0.5f) - 0.5f);
        size = CGSizeMake(imageSize.width, h);
        break;
    }
    setCenter(centre);
    CGRect wanted = CGRectMake(0, 0, size.width, size.height);
    if (!CGRectEqualToRect(bounds(), wanted))
        setBounds(wanted);
    if (sideImage != image())
        setImage(sideImage);
}
