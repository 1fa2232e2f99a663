#include "ar/SNRSimulatedAttitude.h"

#include "ar/SNRSensorManager.h"

#include <algorithm>
#include <mutex>

namespace {

std::mutex s_lock;
// Lives for the process: never destroyed, so nothing it holds is torn down at exit under
// threads and statics that may still use it.
Ref<SNRSimulatedAttitude>& s_shared = *new Ref<SNRSimulatedAttitude>();
// Scratch matrices built on every read while the heading is forced.
SNRMatrix4x4 s_headingScratch;
SNRMatrix4x4 s_attitudeScratch;

} // namespace

Ref<SNRSimulatedAttitude> SNRSimulatedAttitude::sharedAttitude()
{
    std::lock_guard lock(s_lock);
    if (!s_shared)
        s_shared = init();
    return s_shared;
}

void SNRSimulatedAttitude::resetForTesting()
{
    std::lock_guard lock(s_lock);
    s_shared = nullptr;
}

Ref<SNRDeviceAttitude> SNRSimulatedAttitude::realAttitude()
{
    if (!m_realAttitude)
        m_realAttitude = SNRSensorManager::sharedSensorManager()->deviceAttitude();
    return m_realAttitude;
}

void SNRSimulatedAttitude::setSimulatedDistance(float metres)
{
    m_simulatedDistance = std::max(metres, 0.0f);
    m_dirty = true;
}

void SNRSimulatedAttitude::setSimulatedDirection(float degrees)
{
    m_simulatedDirection = SNRWrapAngle(degrees, 360);
    m_dirty = true;
}

void SNRSimulatedAttitude::setSimulatedHeading(float degrees)
{
    m_simulatedHeading = SNRWrapAngle(degrees, 360);
}

void SNRSimulatedAttitude::setSimulatedCenter(SNRCoordinate centre)
{
    m_simulatedCenter = centre;
    m_dirty = true;
}

void SNRSimulatedAttitude::updateSimulatedValues()
{
    auto c = SNRDestinationCoordinate(
        m_simulatedCenter.latitude, m_simulatedCenter.longitude, m_simulatedDistance, m_simulatedDirection);
    storeLocationValues(static_cast<float>(c.latitude), static_cast<float>(c.longitude), 3, 0);
    m_dirty = false;
}

Ref<CLLocation> SNRSimulatedAttitude::location()
{
    updateIfDirty();
    return SNRDeviceAttitude::location();
}

CLLocationCoordinate2D SNRSimulatedAttitude::locationCoordinate()
{
    updateIfDirty();
    return SNRDeviceAttitude::locationCoordinate();
}

float SNRSimulatedAttitude::locationLatitude()
{
    updateIfDirty();
    return SNRDeviceAttitude::locationLatitude();
}

float SNRSimulatedAttitude::locationLongitude()
{
    updateIfDirty();
    return SNRDeviceAttitude::locationLongitude();
}

bool SNRSimulatedAttitude::hasAttitude()
{
    return m_simulateHeading ? true : realAttitude()->hasAttitude();
}

const SNRMatrix4x4* SNRSimulatedAttitude::headingMatrix()
{
    if (!m_simulateHeading)
        return realAttitude()->headingMatrix();
    SNRMatrixSetRotationY(s_headingScratch, m_simulatedHeading);
    return &s_headingScratch;
}

const SNRMatrix4x4* SNRSimulatedAttitude::attitudeMatrix()
{
    if (!m_simulateHeading)
        return realAttitude()->attitudeMatrix();
    SNRMatrix4x4 y, x;
    SNRMatrixSetRotationY(y, m_simulatedHeading);
    SNRMatrixSetRotationX(x, 90);
    SNRMatrixMultiply(s_attitudeScratch, y, x);
    return &s_attitudeScratch;
}

float SNRSimulatedAttitude::attitudeHeading()
{
    return m_simulateHeading ? m_simulatedHeading : realAttitude()->attitudeHeading();
}
