#include "grid/LGridArrow.h"

#include "foundation/NSRunLoop.h"
#include "graphics/UIImage.h"
#include "grid/LGridCell.h"
#include "grid/LGridGraphics.h"
#include "grid/LatticeGridLog.h"

namespace {

UIImageOrientation imageOrientationFor(int32_t orientation)
{
    switch (orientation) {
    case 0:
        return UIImageOrientationLeft;
    case 1:
        return UIImageOrientationRight;
    case 2:
        return UIImageOrientationDown;
    default:
        return UIImageOrientationUp;
    }
}

} // namespace

LGridArrow::~LGridArrow() = default;

void LGridArrow::initialiseArrow(int32_t orientation, const Ref<UIImage>& image, bool userControlsOrientation)
{
    m_orientation = orientation;
    auto source = image ? image : LGridGraphics::reorderArrowImage();
    UIImageOrientation turned = userControlsOrientation ? UIImageOrientationUp : imageOrientationFor(orientation);
    if (source)
        setImage(UIImage::imageWithCGImage(source->CGImage(), 1.0, turned));
    setAlpha(0);
}

void LGridArrow::fadeTo(float alpha)
{
    UIView::beginAnimations("", nullptr);
    UIView::setAnimationDuration(0.5);
    UIView::setAnimationCurve(UIViewAnimationCurveEaseInOut);
    setAlpha(alpha);
    UIView::commitAnimations();
}

void LGridArrow::pulse()
{
    m_futureCenter = center();
    performSelectorAfterDelay(
        self<LGridArrow>(), "moveToFutureCenter",
        [weak = Weak<LGridArrow>(self<LGridArrow>())] {
            if (auto arrow = weak.lock())
                arrow->moveToFutureCenter();
        },
        0.25);
    CGPoint shifted = m_futureCenter;
    switch (m_orientation) {
    case 0:
        shifted.y += m_cellSize.height / 3;
        break;
    case 1:
        shifted.y -= m_cellSize.height / 3;
        break;
    case 2:
        shifted.x += m_cellSize.width / 3;
        break;
    case 3:
        shifted.x -= m_cellSize.width / 3;
        break;
    default:
        break;
    }
    UIView::beginAnimations("", nullptr);
    UIView::setAnimationDuration(0.25);
    setCenter(shifted);
    UIView::commitAnimations();
}

void LGridArrow::moveToFutureCenter()
{
    UIView::beginAnimations("", nullptr);
    UIView::setAnimationDuration(0.25);
    setCenter(m_futureCenter);
    UIView::commitAnimations();
}

void LGridArrow::addToCell(const Ref<LGridCell>&)
{
    LatticeGridLog::fatalLogMessageFromSource("suclass should decide how to do this", this);
}
