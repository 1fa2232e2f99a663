#pragma once

#include "ar/SLKObjectDelegate.h"
#include "ar/SNRSensorDelegate.h"
#include "foundation/NSObject.h"

#include <vector>

class NSBundle;
class NSTimer;

enum SLKAvailability : int32_t {
    SLKAvailabilityNotDetermined = 0,
    SLKAvailabilityUnavailable = 1,
    SLKAvailabilityRestricted = 2,
    SLKAvailabilityDenied = 3,
    SLKAvailabilityAvailable = 4,
};

// The AR kit's registry of objects and its update loop: keeps the ordered object list the
// overlay and radar draw, the clip distances, starts and stops the sensor manager, re-places every
// object after each location fix, refreshes the objects 30 times a second and keeps them sorted
// by distance, and passes every sensor callback on to a second (weak) delegate. Main thread only.
class SLKController : public NSObject, public SNRSensorDelegate {
    VX_OBJECT(SLKController, NSObject)
public:
    explicit SLKController(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<SLKController> sharedARController();
    // Test-only: drops the shared controller (stopping its timer) and restores the clip distances.
    static void resetForTesting();
    static Ref<NSBundle> frameworkBundle();
    static bool deviceSupportsAR() { return deviceSupportsAR(false); }
    static bool deviceSupportsAR(bool showAlerts);
    static void showAlertWithMessageAndDismissButton(
        const std::string& title, const std::string& message, const std::string& button);

    void setDefaultConfig();
    void clipObjectsNearerThanFartherThan(float nearLimit, float farLimit);
    static float clipObjectsNearLimit();
    static float clipObjectsFarLimit();

    // The registered objects, in drawing order (nearest first once sorted). Callers that call out
    // to objects while walking it should walk a copy.
    const std::vector<Ref<SLKObjectDelegate>>& arObjects() const { return m_arObjects; }
    void addObject(const Ref<SLKObjectDelegate>& object);
    void addObjects(const std::vector<Ref<SLKObjectDelegate>>& objects);
    void removeObject(const Ref<SLKObjectDelegate>& object);
    void clearObjects();
    int32_t numberOfObjects() const { return static_cast<int32_t>(m_arObjects.size()); }
    bool objectsNeedSorting() const { return m_objectsNeedSorting; }
    void setObjectsNeedSorting(bool v) { m_objectsNeedSorting = v; }
    void sortMarkersByDistance();
    void updateAfterLocationChange();

    int32_t availability() const;
    bool isReady() const { return availability() == SLKAvailabilityAvailable; }
    void start();
    void stop();
    bool isStarted() const { return m_started; }
    void startObjectUpdate();
    void stopObjectUpdate();
    bool isUpdatingObjects() const;
    void updateObjects(const Ref<NSTimer>& timer);
    void suspendToBackground();
    void resumeFromBackground();
    void freeMemory() { }
    bool isFrozen() const;
    void setFrozen(bool frozen);

    Weak<SLKControllerDelegate> delegate() const { return m_delegate; }
    void setDelegate(const Weak<SLKControllerDelegate>& delegate) { m_delegate = delegate; }
    Weak<SNRSensorDelegate> sensorDelegate() const { return m_sensorDelegate; }
    void setSensorDelegate(const Weak<SNRSensorDelegate>& delegate) { m_sensorDelegate = delegate; }

    // SNRSensorDelegate.
    void didChangeStatus(int32_t status) override;
    void didReceiveErrorCode(int32_t code) override;
    void didChangeSensorUpdateModeFromModeMotionIncludesHeading(
        uint32_t newMode, uint32_t oldMode, bool motionIncludesHeading) override;
    void didUpdateLocation(const Ref<CLLocation>& location) override;
    void didUpdateHeading(const Ref<CLHeading>& heading) override;
    void didChangeSignalQuality(int32_t quality) override;
    void didChangeDeviceOrientation(int32_t orientation) override;
    void didChangeAuthorizationStatus(int32_t status) override;

private:
    std::string localized(const std::string& key) const;

    std::vector<Ref<SLKObjectDelegate>> m_arObjects;
    bool m_objectsNeedSorting { false };
    Ref<NSTimer> m_updateTimer;
    bool m_shouldUpdateObjects { false };
    bool m_started { false };
    Weak<SLKControllerDelegate> m_delegate;
    Weak<SNRSensorDelegate> m_sensorDelegate;
    Ref<NSBundle> m_stringBundle;
};
