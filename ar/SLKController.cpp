#include "ar/SLKController.h"

#include "ar/SLKPoi.h"
#include "ar/SNRDeviceAttitude.h"
#include "ar/SNRDeviceProperties.h"
#include "ar/SNRSensorManager.h"
#include "foundation/NSBundle.h"
#include "foundation/NSLog.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSTimer.h"
#include "location/CLLocationManager.h"
#include "uikit/UIAlertView.h"

#include <algorithm>
#include <mutex>

namespace {

std::mutex s_lock;
// Lives for the process: never destroyed, so nothing it holds is torn down at exit under
// threads and statics that may still use it.
Ref<SLKController>& s_shared = *new Ref<SLKController>();
float s_nearLimit = 10;
float s_farLimit = 10000000;

} // namespace

Ref<SLKController> SLKController::sharedARController()
{
    std::lock_guard lock(s_lock);
    if (!s_shared) {
        s_shared = make<SLKController>();
        s_shared->setDefaultConfig();
        auto main = NSBundle::mainBundle();
        s_shared->m_stringBundle = main->pathForResource("SkyLensKit", "strings") ? main : frameworkBundle();
    }
    return s_shared;
}

void SLKController::resetForTesting()
{
    Ref<SLKController> old;
    {
        std::lock_guard lock(s_lock);
        old = std::move(s_shared);
    }
    if (old) {
        old->stopObjectUpdate();
        cancelPreviousPerformRequestsWithTarget(old);
    }
    s_nearLimit = 10;
    s_farLimit = 10000000;
    SLKPoi::setClipDistancesAndFar(s_nearLimit, s_farLimit);
}

Ref<NSBundle> SLKController::frameworkBundle()
{
    // Looked up on every call (not kept) so that tests can swap the main bundle.
    auto main = NSBundle::mainBundle();
    if (auto path = main->pathForResource("SkyLensKitResources", "bundle")) {
        if (auto bundle = NSBundle::bundleWithPath(*path))
            return bundle;
    }
    return main;
}

bool SLKController::deviceSupportsAR(bool showAlerts)
{
    auto controller = sharedARController();
    int32_t availability = controller->availability();
    if (showAlerts) {
        switch (availability) {
        case SLKAvailabilityUnavailable:
            showAlertWithMessageAndDismissButton(controller->localized("SNR_STATUS_UNAVAILABLE"),
                controller->localized("SNR_STATUS_UNAVAILABLE_MSG"), controller->localized("SNR_OK"));
            break;
        case SLKAvailabilityRestricted:
            showAlertWithMessageAndDismissButton(controller->localized("SNR_STATUS_RESTRICTED"),
                controller->localized(""), controller->localized("SNR_OK"));
            break;
        case SLKAvailabilityDenied:
            showAlertWithMessageAndDismissButton(controller->localized("SNR_STATUS_DENIED"),
                controller->localized("SNR_STATUS_DENIED_MSG"), controller->localized("SNR_OK"));
            break;
        default:
            break;
        }
    }
    return availability == SLKAvailabilityAvailable;
}

void SLKController::showAlertWithMessageAndDismissButton(
    const std::string& title, const std::string& message, const std::string& button)
{
    UIAlertView::initWithTitle(title, message, nullptr, {}, button, {})->show();
}

std::string SLKController::localized(const std::string& key) const
{
    auto bundle = m_stringBundle ? m_stringBundle : frameworkBundle();
    return bundle->localizedStringForKey(key, "", "SkyLensKit");
}

void SLKController::setDefaultConfig()
{
    clipObjectsNearerThanFartherThan(10, 10000000);
}

void SLKController::clipObjectsNearerThanFartherThan(float nearLimit, float farLimit)
{
    s_nearLimit = nearLimit;
    s_farLimit = farLimit;
    SLKPoi::setClipDistancesAndFar(nearLimit, farLimit);
}

float SLKController::clipObjectsNearLimit()
{
    return s_nearLimit;
}

float SLKController::clipObjectsFarLimit()
{
    return s_farLimit;
}

void SLKController::addObject(const Ref<SLKObjectDelegate>& object)
{
    if (!object)
        return;
    m_arObjects.push_back(object);
    object->addedToARController();
    m_objectsNeedSorting = true;
}

void SLKController::addObjects(const std::vector<Ref<SLKObjectDelegate>>& objects)
{
    for (auto& object : objects) {
        if (object)
            m_arObjects.push_back(object);
    }
    for (auto& object : objects) {
        if (object)
            object->addedToARController();
    }
    m_objectsNeedSorting = true;
}

void SLKController::removeObject(const Ref<SLKObjectDelegate>& object)
{
    if (!object)
        return;
    object->removedFromARController();
    std::erase_if(
        m_arObjects, [&](const Ref<SLKObjectDelegate>& o) { return o == object || o->isEqual(object.get()); });
}

void SLKController::clearObjects()
{
    auto copy = m_arObjects;
    for (auto& object : copy)
        object->removedFromARController();
    m_arObjects.clear();
}

void SLKController::sortMarkersByDistance()
{
    auto sorted = m_arObjects;
    std::stable_sort(
        sorted.begin(), sorted.end(), [](const Ref<SLKObjectDelegate>& a, const Ref<SLKObjectDelegate>& b) {
            return a->distanceToUser() < b->distanceToUser();
        });
    m_arObjects.clear();
    m_arObjects = std::move(sorted);
}

void SLKController::updateAfterLocationChange()
{
    auto copy = m_arObjects;
    for (auto& object : copy)
        object->updateLocation();
    m_objectsNeedSorting = true;
}

int32_t SLKController::availability() const
{
    auto manager = SNRSensorManager::sharedSensorManager();
    auto properties = manager ? manager->deviceProperties() : nullptr;
    if (!properties || !properties->supportsLocationAR())
        return SLKAvailabilityUnavailable;
    switch (CLLocationManager::authorizationStatus()) {
    case kCLAuthorizationStatusRestricted:
        return SLKAvailabilityRestricted;
    case kCLAuthorizationStatusDenied:
        return SLKAvailabilityDenied;
    case kCLAuthorizationStatusAuthorized:
        return SLKAvailabilityAvailable;
    default:
        return SLKAvailabilityNotDetermined;
    }
}

void SLKController::start()
{
    if (m_started)
        return;
    int32_t available = availability();
    if (available != SLKAvailabilityNotDetermined && available != SLKAvailabilityAvailable)
        return;
    auto manager = SNRSensorManager::sharedSensorManager();
    manager->setDelegate(Weak<SNRSensorDelegate>(self<SLKController>()));
    manager->startForLocationBasedPoiAR();
    startObjectUpdate();
    m_started = true;
}

void SLKController::stop()
{
    if (!m_started)
        return;
    SNRSensorManager::sharedSensorManager()->stop();
    stopObjectUpdate();
    m_started = false;
}

void SLKController::startObjectUpdate()
{
    if (m_updateTimer)
        m_updateTimer->invalidate();
    m_updateTimer = NSTimer::scheduledTimerWithTimeIntervalTargetSelectorUserInfoRepeats(
        static_cast<double>(1.0f / 30.0f), self<SLKController>(), &SLKController::updateObjects, Value(), true);
}

void SLKController::stopObjectUpdate()
{
    if (isUpdatingObjects())
        m_updateTimer->invalidate();
    m_updateTimer = nullptr;
}

bool SLKController::isUpdatingObjects() const
{
    return m_updateTimer && m_updateTimer->isValid();
}

void SLKController::updateObjects(const Ref<NSTimer>&)
{
    if (m_objectsNeedSorting) {
        m_objectsNeedSorting = false;
        sortMarkersByDistance();
    }
    auto copy = m_arObjects;
    for (auto& object : copy)
        object->updateContent();
}

void SLKController::suspendToBackground()
{
    m_shouldUpdateObjects = isUpdatingObjects();
    stopObjectUpdate();
    freeMemory();
}

void SLKController::resumeFromBackground()
{
    if (auto delegate = m_sensorDelegate.lock())
        delegate->didUpdateLocation(nullptr);
    if (m_shouldUpdateObjects) {
        Weak<SLKController> weak = self<SLKController>();
        performSelectorAfterDelay(
            self<SLKController>(), "startObjectUpdate",
            [weak]() {
                if (auto self = weak.lock())
                    self->startObjectUpdate();
            },
            0.5);
    }
    if (auto delegate = m_sensorDelegate.lock())
        delegate->didChangeAuthorizationStatus(CLLocationManager::authorizationStatus());
}

bool SLKController::isFrozen() const
{
    NSLog("SLKController:isFrozen is deprecated, use SLKViewController:isPaused");
    return false;
}

void SLKController::setFrozen(bool)
{
    NSLog("SLKController:setFrozen is deprecated, use SLKViewController:setPaused");
}

void SLKController::didChangeStatus(int32_t status)
{
    if (auto delegate = m_sensorDelegate.lock())
        delegate->didChangeStatus(status);
}

void SLKController::didReceiveErrorCode(int32_t code)
{
    if (code == 16770) {
        showAlertWithMessageAndDismissButton(localized("SNR_ERROR_COMPASS_CALIBRATION_DISABLED"),
            localized("SNR_ERROR_COMPASS_CALIBRATION_DISABLED_MSG"), localized("SNR_OK"));
    }
    if (auto delegate = m_sensorDelegate.lock())
        delegate->didReceiveErrorCode(code);
}

void SLKController::didChangeSensorUpdateModeFromModeMotionIncludesHeading(
    uint32_t newMode, uint32_t oldMode, bool motionIncludesHeading)
{
    if (auto delegate = m_sensorDelegate.lock())
        delegate->didChangeSensorUpdateModeFromModeMotionIncludesHeading(newMode, oldMode, motionIncludesHeading);
}

void SLKController::didUpdateLocation(const Ref<CLLocation>& location)
{
    Ref<SLKController> protectedThis = self<SLKController>();
    updateAfterLocationChange();
    if (auto delegate = m_sensorDelegate.lock())
        delegate->didUpdateLocation(location);
}

void SLKController::didUpdateHeading(const Ref<CLHeading>& heading)
{
    if (auto delegate = m_sensorDelegate.lock())
        delegate->didUpdateHeading(heading);
}

void SLKController::didChangeSignalQuality(int32_t quality)
{
    if (auto delegate = m_sensorDelegate.lock())
        delegate->didChangeSignalQuality(quality);
}

void SLKController::didChangeDeviceOrientation(int32_t orientation)
{
    if (auto delegate = m_sensorDelegate.lock())
        delegate->didChangeDeviceOrientation(orientation);
}

void SLKController::didChangeAuthorizationStatus(int32_t status)
{
    if (auto delegate = m_sensorDelegate.lock())
        delegate->didChangeAuthorizationStatus(status);
}
