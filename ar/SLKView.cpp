#include "ar/SLKView.h"

#include "ar/SLKController.h"
#include "ar/SLKPoi.h"
#include "ar/SLKViewController.h"
#include "ar/SNRDeviceAttitude.h"
#include "ar/SNRDeviceProperties.h"
#include "ar/SNRSensorManager.h"
#include "foundation/NSTimer.h"
#include "uikit/UIDevice.h"
#include "uikit/UIScreen.h"

#include <algorithm>
#include <cmath>

namespace {

// Lives for the process: never destroyed, so nothing it holds is torn down at exit under
// threads and statics that may still use it.
Ref<SLKView>& s_activeView = *new Ref<SLKView>();
bool s_sortNeeded = false;

} // namespace

Ref<SLKView> SLKView::initWithFrame(CGRect frame)
{
    auto view = makeView<SLKView>(frame);
    view->initialize();
    return view;
}

void SLKView::initialize()
{
    auto properties = SNRSensorManager::sharedSensorManager()->deviceProperties();
    m_fov = properties ? properties->backFacingCameraFOVs().width : 0;
    SLKPoi::setViewRotation(0);
    setupProjectionMatrix();
    setStackingAnimationSpeed(UI_USER_INTERFACE_IDIOM() == UIUserInterfaceIdiomPad ? 0.25f : 0.5f);
    setLabelBaseline(0.5f);
    m_numberOfStackingSectors = UI_USER_INTERFACE_IDIOM() == UIUserInterfaceIdiomPad ? 80 : 40;
    updateStackingValues();
    setAutoresizesSubviews(false);
}

Ref<SLKView> SLKView::activeView()
{
    return s_activeView;
}

void SLKView::setActiveView(const Ref<SLKView>& view)
{
    s_activeView = view;
}

void SLKView::resetForTesting()
{
    s_activeView = nullptr;
    s_sortNeeded = false;
}

void SLKView::setupProjectionMatrix()
{
    CGSize size = UIScreen::mainScreen()->bounds().size;
    if (size.height < size.width)
        std::swap(size.width, size.height);
    m_viewport = size;
    SLKPoi::setViewport(m_viewport);
    float fovRadians = static_cast<float>(m_fov * (SNRPi / 180.0));
    SNRMatrixSetPerspective(m_perspectiveMatrix, fovRadians, m_viewport.width / m_viewport.height, 0.25f, 100000.0f);
}

void SLKView::setLabelBaseline(float baseline)
{
    m_labelBaseline = SNRClamp(baseline, 0, 1);
    SLKPoi::setLabelBaseline(m_labelBaseline);
}

void SLKView::setStackingAnimationSpeed(float speed)
{
    m_stackingAnimationSpeed = speed;
    SLKPoi::setStackingAnimationSpeed(speed);
}

void SLKView::start()
{
    if (m_renderTimer)
        return;
    setActiveView(self<SLKView>());
    s_sortNeeded = true;
    m_renderTimer = NSTimer::scheduledTimerWithTimeIntervalTargetSelectorUserInfoRepeats(
        0, self<SLKView>(), &SLKView::updateView, Value(), true);
}

void SLKView::stop()
{
    if (!m_renderTimer)
        return;
    m_renderTimer->invalidate();
    m_renderTimer = nullptr;
    setActiveView(nullptr);
}

void SLKView::updateView(const Ref<NSTimer>&)
{
    auto controller = arViewController();
    if (controller && controller->paused())
        return;
    auto arController = SLKController::sharedARController();
    if (s_sortNeeded) {
        arController->sortMarkersByDistance();
        s_sortNeeded = false;
    }
    auto attitude = SNRSensorManager::sharedSensorManager()->deviceAttitude();
    if (controller && controller->rotatesARView()) {
        float roll = attitude->attitudeEulerAngles()->x;
        m_viewRotationOffset = roll;
        setTransform(CGAffineTransformMakeRotation(SNRDegreesToRadiansF(roll - controller->orientationOffsetAngle())));
        SLKPoi::setViewRotation(m_viewRotationOffset);
    }
    SNRMatrixMultiply(m_perspectiveCameraMatrix, m_perspectiveMatrix, *attitude->attitudeMatrix());
    resetStacking();
    auto objects = arController->arObjects();
    auto self = this->self<SLKView>();
    std::vector<Ref<UIView>> rendered;
    rendered.reserve(objects.size());
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        auto& object = *it;
        if (object->hidden() || object->clippedByDistance())
            continue;
        object->renderInView(self);
        if (auto poi = std::dynamic_pointer_cast<SLKPoi>(object);
            poi && poi->labelView() && poi->labelView()->superview() == self)
            rendered.push_back(poi->labelView());
    }
    // Each rendered label is brought to the front in turn, so the nearest ends frontmost. The
    // subviews are only reordered when that order is not already in place: reordering marks the
    // view for layout, which on every pass would keep the run loop busy for good.
    const auto& subviews = this->subviews();
    bool inOrder = rendered.size() <= subviews.size()
        && std::equal(rendered.begin(), rendered.end(), subviews.end() - static_cast<std::ptrdiff_t>(rendered.size()));
    if (!inOrder) {
        for (auto& view : rendered)
            bringSubviewToFront(view);
    }
}

void SLKView::layoutSubviews()
{
    UIView::layoutSubviews();
    updateStackingValues();
}

void SLKView::updateStackingValues()
{
    float width = frame().size.width;
    m_firstSectorX = width * 0.25f;
    float sectorWidth = std::max(width * 1.5f / m_numberOfStackingSectors, 1.0f);
    m_widthOfStackingSector = 1.0f / sectorWidth;
}

void SLKView::resetStacking()
{
    for (int32_t i = 0; i < m_numberOfStackingSectors; ++i)
        m_heightInStackingSector[i] = 0;
}

float SLKView::addHeightInStackingSectorTheWidthTheHeight(float x, float width, float height)
{
    float s = m_widthOfStackingSector;
    float o = m_firstSectorX;
    int32_t n = m_numberOfStackingSectors;
    int32_t first = static_cast<int32_t>(std::floor((x - width / 2 + o) * s));
    int32_t last = static_cast<int32_t>(std::ceil((x + width / 2 + o) * s));
    float base = 0;
    for (int32_t i = std::max(first + 1, 0); i <= last - 2 && i < n; ++i)
        base = std::max(base, m_heightInStackingSector[i]);
    float top = base + height;
    for (int32_t i = std::max(first - 1, 0); i <= last && i < n; ++i)
        m_heightInStackingSector[i] = top;
    return top;
}

int32_t SLKView::getHeightInStackingSector(int32_t sector) const
{
    if (sector < 0 || sector >= m_numberOfStackingSectors)
        return 0;
    return static_cast<int32_t>(m_heightInStackingSector[sector]);
}

void SLKView::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    if (auto controller = arViewController())
        controller->touchesBegan(touches, event);
}

void SLKView::touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    if (auto controller = arViewController())
        controller->touchesMoved(touches, event);
}

void SLKView::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    if (auto controller = arViewController())
        controller->touchesEnded(touches, event);
}

void SLKView::touchesCancelled(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    if (auto controller = arViewController())
        controller->touchesCancelled(touches, event);
}
