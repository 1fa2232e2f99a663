#include "ar/SLKRadarView.h"

#include "ar/SLKController.h"
#include "ar/SLKPoi.h"
#include "ar/SLKViewController.h"
#include "ar/SNRDeviceAttitude.h"
#include "ar/SNRSensorManager.h"
#include "foundation/NSTimer.h"
#include "graphics/UIImage.h"
#include "uikit/UIImageView.h"

#include <algorithm>
#include <cmath>

namespace {

// Lives for the process: never destroyed, so nothing it holds is torn down at exit under
// threads and statics that may still use it.
Ref<SLKRadarView>& s_activeRadar = *new Ref<SLKRadarView>();
constexpr UIViewAnimationOptions fadeOptions = UIViewAnimationOptionAllowUserInteraction;

} // namespace

Ref<SLKRadarView> SLKRadarView::init()
{
    auto image = UIImage::imageNamed("RadarScreen");
    if (!image)
        image = UIImage::imageNamed("SkyLensKitResources.bundle/RadarScreen.png");
    return initWithImage(image);
}

Ref<SLKRadarView> SLKRadarView::initWithImage(const Ref<UIImage>& image)
{
    auto radar = makeView<SLKRadarView>(CGRectMake(0, 0, 10, 10));
    radar->m_backgroundImageView = UIImageView::initWithImage(image);
    radar->m_backgroundImageView->setAutoresizingMask(
        UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    radar->m_backgroundImageView->setAutoresizesSubviews(false);
    SNRMatrixReset(radar->m_radarMatrix);
    radar->m_containerView = UIView::initWithFrame(radar->bounds());
    radar->m_containerView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    radar->m_containerView->addSubview(radar->m_backgroundImageView);
    radar->m_backgroundImageView->setFrame(radar->m_containerView->bounds());
    radar->addSubview(radar->m_containerView);
    return radar;
}

Ref<SLKRadarView> SLKRadarView::activeView()
{
    return s_activeRadar;
}

void SLKRadarView::setActiveView(const Ref<SLKRadarView>& radar)
{
    s_activeRadar = radar;
}

void SLKRadarView::resetForTesting()
{
    s_activeRadar = nullptr;
}

void SLKRadarView::setFrame(CGRect frame)
{
    UIView::setFrame(frame);
    if (!m_containerView)
        return;
    m_containerView->setTransform(CGAffineTransformIdentity);
    m_containerView->setFrame(bounds());
    if (m_backgroundImageView)
        m_backgroundImageView->setFrame(m_containerView->bounds());
}

void SLKRadarView::setNeedsDisplay()
{
    UIView::setNeedsDisplay();
    if (m_backgroundImageView)
        m_backgroundImageView->setNeedsDisplay();
    if (m_containerView)
        m_containerView->setNeedsDisplay();
}

void SLKRadarView::showRadar()
{
    if (isHidden())
        setAlpha(0);
    if (m_radarMode == SLKRadarModeNone)
        m_radarMode = SLKRadarModeFullscreen;
    m_shouldBeVisible = true;
    Weak<SLKRadarView> weak = self<SLKRadarView>();
    UIView::animateWithDurationDelayOptions(
        0.5, 0, fadeOptions,
        [weak]() {
            if (auto self = weak.lock())
                self->setAlpha(1);
        },
        nullptr);
}

void SLKRadarView::showRadarInMode(int32_t mode)
{
    m_radarMode = mode;
    if (mode == SLKRadarModeThumbnail)
        setRadarToThumbnail();
    else if (mode == SLKRadarModeFullscreen)
        setRadarToFullscreen();
    showRadar();
}

void SLKRadarView::hideRadar()
{
    if (!m_shouldBeVisible)
        return;
    Weak<SLKRadarView> weak = self<SLKRadarView>();
    UIView::animateWithDurationDelayOptions(
        0.5, 0, fadeOptions,
        [weak]() {
            if (auto self = weak.lock())
                self->setAlpha(0);
        },
        [weak](bool finished) {
            if (auto self = weak.lock(); self && finished)
                self->m_shouldBeVisible = false;
        });
}

void SLKRadarView::placeAt(CGRect rect, bool animated)
{
    if (!animated) {
        setFrame(rect);
        m_animateRadius = false;
        return;
    }
    Weak<SLKRadarView> weak = self<SLKRadarView>();
    UIView::animateWithDurationDelayOptions(
        0.5, 0, fadeOptions,
        [weak, rect]() {
            if (auto self = weak.lock())
                self->setFrame(rect);
        },
        [weak](bool finished) {
            if (auto self = weak.lock(); self && finished)
                self->m_animateRadius = false;
        });
}

void SLKRadarView::setRadarToFullscreenWithSizeOffset(CGPoint offset, float sizeOffset)
{
    auto parent = superview();
    CGSize size = parent ? parent->bounds().size : CGSizeZero;
    float w = size.width + offset.x;
    float h = size.height + offset.y;
    float side = std::min(w, h) - sizeOffset;
    m_radarRect = CGRectMake((w - side) / 2, (h - side) / 2, side, side);
    m_animateRadius = m_radarRadius > -1 && side != m_radarRadius;
    m_radarRadius = side;
    if (m_containerView)
        m_containerView->setAutoresizingMask(UIViewAutoresizingNone);
    placeAt(m_radarRect, true);
    m_radarMode = SLKRadarModeFullscreen;
}

void SLKRadarView::setRadarToThumbnailWithAdditionalOffsetAndSize(int32_t corner, CGRect offset, float size)
{
    auto parent = superview();
    CGSize bounds = parent ? parent->bounds().size : CGSizeZero;
    float w = bounds.width, h = bounds.height;
    float ox = offset.origin.x, oy = offset.origin.y, ow = offset.size.width, oh = offset.size.height;
    CGPoint origin;
    UIViewAutoresizing mask;
    switch (corner) {
    case 0:
        origin = CGPointMake(ox + 5, oy + 5);
        mask = UIViewAutoresizingFlexibleRightMargin | UIViewAutoresizingFlexibleBottomMargin;
        break;
    case 1:
        origin = CGPointMake(w - 5 - size - ow, oy + 5);
        mask = UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleBottomMargin;
        break;
    case 2:
        origin = CGPointMake(ox + 5, h - 5 - size - oh);
        mask = UIViewAutoresizingFlexibleRightMargin | UIViewAutoresizingFlexibleTopMargin;
        break;
    case 3:
        origin = CGPointMake(w - 5 - size - ow, h - 5 - size - oh);
        mask = UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleTopMargin;
        break;
    default:
        return;
    }
    setAutoresizingMask(mask);
    setRadarToThumbnailWithSize(origin, size);
}

void SLKRadarView::setRadarToThumbnailWithSize(CGPoint origin, float size)
{
    m_radarRect = CGRectMake(
        origin.x + std::min(size, 0.0f), origin.y + std::min(size, 0.0f), std::max(size, 0.0f), std::max(size, 0.0f));
    m_radarMode = SLKRadarModeThumbnail;
    m_animateRadius = m_radarRadius > -1 && size != m_radarRadius;
    m_radarRadius = size;
    placeAt(m_radarRect, !isHidden());
}

void SLKRadarView::didRotate()
{
    if (m_radarMode != SLKRadarModeFullscreen)
        return;
    if (auto parent = superview())
        setCenter(CGPointMake(CGRectGetMidX(parent->bounds()), CGRectGetMidY(parent->bounds())));
}

void SLKRadarView::start()
{
    if (m_renderTimer)
        return;
    setActiveView(self<SLKRadarView>());
    m_renderTimer = NSTimer::scheduledTimerWithTimeIntervalTargetSelectorUserInfoRepeats(
        static_cast<double>(1.0f / 15.0f), self<SLKRadarView>(), &SLKRadarView::updateView, Value(), true);
}

void SLKRadarView::stop()
{
    if (m_renderTimer)
        m_renderTimer->invalidate();
    m_renderTimer = nullptr;
    setActiveView(nullptr);
}

void SLKRadarView::updateView(const Ref<NSTimer>&)
{
    auto controller = arViewController();
    if (controller && controller->paused())
        return;
    if (!m_shouldBeVisible || !m_canBeVisible) {
        setHidden(true);
        return;
    }
    setHidden(false);
    if (m_rendering)
        return;
    auto attitude = SNRSensorManager::sharedSensorManager()->deviceAttitude();
    const SNRVector3* gravity = attitude->attitudeGravity();
    if (controller && controller->rotatesARView()) {
        float factor = std::min((1 - std::fabs(gravity->z)) * 2, 1.0f);
        float angle = factor * (attitude->attitudeEulerAngles()->x - controller->orientationOffsetAngle());
        m_containerView->setTransform(CGAffineTransformMakeRotation(SNRDegreesToRadiansF(angle)));
    }
    m_rendering = true;
    m_renderID = 0;
    SLKPoi::setDeviceGravity(gravity);
    SNRMatrixCopy(*attitude->headingMatrix(), m_radarMatrix);
    auto objects = SLKController::sharedARController()->arObjects();
    auto self = this->self<SLKRadarView>();
    for (auto& object : objects) {
        if (object->hidden() || object->clippedByDistance())
            continue;
        object->renderInRadar(self);
        ++m_renderID;
    }
    m_rendering = false;
    setNeedsDisplay();
}
