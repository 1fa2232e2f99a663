#pragma once

#include "ar/SNRMath.h"
#include "foundation/NSObject.h"
#include "location/CLLocation.h"

class CLHeading;
class CMDeviceMotion;
class NSDate;

enum SNRSignalQuality : int32_t {
    SNRSignalQualityBest = 0,
    SNRSignalQualityOkay = 1,
    SNRSignalQualityMedium = 2,
    SNRSignalQualityBad = 3,
    SNRSignalQualityNotUsable = 4,
};

// The sensor kit's shared record of where the device is and how it is held: the last location
// (with accuracy and age), the last valid compass heading, the motion sensor's attitude matrix,
// gravity and the angles derived from it, the earth-fixed position, the device orientation
// derived from gravity and a signal quality grading location and heading. The sensor manager
// writes readings into it; its writers tell the sensor manager's delegate. Main thread only.
class SNRDeviceAttitude : public NSObject {
    VX_OBJECT(SNRDeviceAttitude, NSObject)
public:
    explicit SNRDeviceAttitude(Passkey key);

    static Ref<SNRDeviceAttitude> sharedDeviceAttitude();
    static Ref<SNRDeviceAttitude> init() { return make<SNRDeviceAttitude>(); }
    // Test-only: the next sharedDeviceAttitude() makes a new record.
    static void resetForTesting();

    bool hasLocation() const { return m_hasLocation; }
    float locationAge() const { return m_locationAge; }
    virtual float locationLatitude() { return m_locationLatitude; }
    virtual float locationLongitude() { return m_locationLongitude; }
    float locationAccuracy() const { return m_locationAccuracy; }
    float locationAltitude() const { return m_locationAltitude; }
    float locationAltitudeAccuracy() const { return m_locationAltitudeAccuracy; }
    const Ref<NSDate>& locationTimestamp() const { return m_locationTimestamp; }
    // The invalid coordinate when latitude and longitude are both exactly 0.
    virtual CLLocationCoordinate2D locationCoordinate();
    // nil when the coordinate is invalid; a removed location is still answered.
    virtual Ref<CLLocation> location();
    const SNRVector3* ecefCoordinates();

    bool hasHeading() const { return m_hasHeading; }
    float headingAge() const { return m_headingAge; }
    virtual float heading() { return m_heading; }
    float magneticHeading() const { return m_magneticHeading; }
    float headingAccuracy() const { return m_headingAccuracy; }
    const Ref<NSDate>& headingTimestamp() const { return m_headingTimestamp; }

    virtual bool hasAttitude() { return m_hasAttitude; }
    int32_t locationAuthorizationStatus() const { return m_locationAuthorizationStatus; }
    virtual const SNRMatrix4x4* attitudeMatrix() { return &m_attitudeMatrix; }
    virtual const SNRVector3* attitudeGravity() { return &m_attitudeGravity; }
    virtual double attitudePitch() { return m_attitudePitch; }
    virtual double attitudeRoll() { return m_attitudeRoll; }
    virtual double attitudeYaw() { return m_attitudeYaw; }
    double motionPitch() const { return m_motionPitch; }
    double motionRoll() const { return m_motionRoll; }
    double motionYaw() const { return m_motionYaw; }
    virtual const SNRVector3* attitudeEulerAngles();
    const SNRVector3* motionEulerAngles();
    virtual float attitudeHeading() { return m_attitudeHeading; }
    virtual float attitudeTilting() { return m_attitudeTilting; }
    virtual const SNRMatrix4x4* headingMatrix() { return &m_headingMatrix; }
    virtual int32_t signalQuality() { return m_signalQuality; }
    int32_t locationSignalQuality() const { return m_locationSignalQuality; }
    int32_t headingSignalQuality() const { return m_headingSignalQuality; }
    virtual int32_t deviceOrientation() { return m_deviceOrientation; }
    virtual float orientationSideAxis() { return m_orientationSideAxis; }
    virtual float orientationUpAxis() { return m_orientationUpAxis; }
    virtual bool orientationIsLandscape() { return m_orientationIsLandscape; }

    // Writers.
    void setLocationFromCLLocation(const Ref<CLLocation>& location);
    void setLocation(const Ref<CLLocation>& location);
    void removeLocation();
    void removeLocationBecauseOfError();
    void setAuthorizationStatusFromCLLocationManager();
    void setAuthorizationStatus(int32_t status) { m_locationAuthorizationStatus = status; }
    void setHeadingFromCLHeading(const Ref<CLHeading>& heading);
    void setHeading(const Ref<CLHeading>& heading);
    void removeHeading();
    void setMotionFromCMMotion(const Ref<CMDeviceMotion>& motion);
    void setMotion();
    void setOrientationFromGravity();
    void setOrientation();
    void updateSignalQuality();

    std::string description() const override;
    std::string descriptionForHeading() const;
    std::string descriptionForMotion() const;

protected:
    // For records that compute their own position (the simulated attitude).
    void storeLocationValues(float latitude, float longitude, float accuracy, float age);

private:
    // The log lines of the motion reading, shared by the descriptions.
    std::string attitudeLines() const;

    bool m_hasLocation { false };
    Ref<CLLocation> m_location;
    float m_locationAge { 0 };
    float m_locationLatitude { 0 };
    float m_locationLongitude { 0 };
    float m_locationAccuracy { 0 };
    float m_locationAltitude { 0 };
    float m_locationAltitudeAccuracy { 0 };
    Ref<NSDate> m_locationTimestamp;
    bool m_needsToUpdateEcef { false };
    double m_ecefX { 0 }, m_ecefY { 0 }, m_ecefZ { 0 };
    SNRVector3 m_ecefCoordinates {};
    bool m_hasHeading { false };
    float m_headingAge { 0 };
    float m_heading { 0 };
    float m_magneticHeading { 0 };
    float m_headingAccuracy { 0 };
    Ref<NSDate> m_headingTimestamp;
    bool m_hasAttitude { false };
    int32_t m_locationAuthorizationStatus { 0 };
    SNRMatrix4x4 m_attitudeMatrix {};
    SNRVector3 m_attitudeGravity { 0, -1, 0 };
    SNRVector3 m_attitudeSignedGravity {};
    bool m_hasGravityOnX { false }, m_hasGravityOnY { false }, m_hasGravityOnZ { false };
    double m_attitudePitch { 0 }, m_attitudeRoll { 0 }, m_attitudeYaw { 0 };
    double m_motionPitch { 0 }, m_motionRoll { 0 }, m_motionYaw { 0 };
    bool m_needsToUpdateAttitudeEulerAngles { false };
    SNRVector3 m_attitudeEulerAngles {};
    bool m_needsToUpdateMotionEulerAngles { false };
    SNRVector3 m_motionEulerAngles {};
    float m_attitudeHeading { 0 };
    float m_attitudeTilting { 0 };
    SNRMatrix4x4 m_headingMatrix {};
    int32_t m_signalQuality { 0 };
    int32_t m_locationSignalQuality { 0 };
    int32_t m_headingSignalQuality { 0 };
    int32_t m_deviceOrientation { 0 };
    int32_t m_previousDeviceOrientation { 0 };
    float m_orientationSideAxis { 0 };
    float m_orientationUpAxis { 0 };
    bool m_orientationIsLandscape { false };
};
