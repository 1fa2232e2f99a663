#pragma once

#include "ar/SLKController.h"
#include "ar/SLKPoi.h"
#include "ar/SLKPoiAdvancedLabel.h"
#include "ar/SLKPoiLabelTemplate.h"
#include "ar/SLKRadarView.h"
#include "ar/SLKView.h"
#include "ar/SLKViewController.h"
#include "ar/SNRDeviceAttitude.h"
#include "ar/SNRDeviceProperties.h"
#include "ar/SNRSensorManager.h"
#include "ar/SNRSensorRecorder.h"
#include "ar/SNRSimulatedAttitude.h"
#include "foundation/Random.h"
#include "location/LocationSimulator.h"
#include "media/MediaSimulator.h"
#include "os/OSHost.h"
#include "testing/Drain.h"
#include "testing/LogCapture.h"
#include "testing/VirtualClock.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIDevice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

// Puts every process-wide value of the sensor and AR kits (and the simulated device under them)
// back to its default around a test, on a virtual clock.
class ARTestScope {
public:
    ARTestScope() { resetAll(); }
    ~ARTestScope()
    {
        drainAll();
        resetAll();
    }
    ARTestScope(const ARTestScope&) = delete;
    ARTestScope& operator=(const ARTestScope&) = delete;

    ScopedVirtualClock& clock() { return m_clock; }

    static void resetAll()
    {
        SNRSensorRecorder::resetForTesting();
        SNRSimulatedAttitude::resetForTesting();
        SLKController::resetForTesting();
        SNRSensorManager::resetForTesting();
        SNRDeviceAttitude::resetForTesting();
        SNRDeviceProperties::resetForTesting();
        SLKPoi::resetClassValuesForTesting();
        SLKPoiLabelTemplate::resetForTesting();
        SLKPoiAdvancedLabel::resetForTesting();
        SLKView::resetForTesting();
        SLKRadarView::resetForTesting();
        SLKViewController::resetForTesting();
        LocationSimulator::shared().reset();
        MediaSimulator::shared().reset();
        UIAlertView::resetForTesting();
        UIDevice::resetForTesting();
        vxos::setMachineModel("iPad3,4");
        vxos::setSystemVersion("7.1");
        Random::reset();
    }

private:
    ScopedVirtualClock m_clock;
};

// Records every sensor callback it receives, as text, in order.
class RecordingSensorDelegate : public NSObject, public SNRSensorDelegate {
    VX_OBJECT(RecordingSensorDelegate, NSObject)
public:
    explicit RecordingSensorDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<RecordingSensorDelegate> init() { return make<RecordingSensorDelegate>(); }

    void didChangeStatus(int32_t status) override { calls.push_back("status " + std::to_string(status)); }
    void didReceiveErrorCode(int32_t code) override { calls.push_back("error " + std::to_string(code)); }
    void didChangeSensorUpdateModeFromModeMotionIncludesHeading(uint32_t n, uint32_t o, bool h) override
    {
        calls.push_back("mode " + std::to_string(n) + " from " + std::to_string(o) + (h ? " heading" : ""));
    }
    void didUpdateLocation(const Ref<CLLocation>& location) override
    {
        calls.push_back(location ? "location" : "location nil");
    }
    void didUpdateHeading(const Ref<CLHeading>&) override { calls.push_back("heading"); }
    void didChangeSignalQuality(int32_t q) override { calls.push_back("quality " + std::to_string(q)); }
    void didChangeDeviceOrientation(int32_t o) override { calls.push_back("orientation " + std::to_string(o)); }
    void didChangeAuthorizationStatus(int32_t s) override { calls.push_back("authorization " + std::to_string(s)); }

    size_t count(const std::string& call) const { return std::count(calls.begin(), calls.end(), call); }

    std::vector<std::string> calls;
};

// Holds the device at a position and attitude the way the simulated sensors report them.
inline void placeDevice(double latitude, double longitude, double altitude = 0)
{
    LocationSimulator::shared().setCoordinate(CLLocationCoordinate2DMake(latitude, longitude), altitude, 5);
}
