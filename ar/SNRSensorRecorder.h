#pragma once

#include "ar/SNRSensorDelegate.h"
#include "foundation/NSObject.h"

#include <optional>
#include <string>
#include <vector>

class NSTimer;

// Samples the shared attitude record and the last location on a timer and writes the samples
// as a script ("var samples = [...];") into the Documents directory, for replaying a run.
// Creating it makes it the sensor manager's delegate and switches every sensor on. Main thread only.
class SNRSensorRecorder : public NSObject, public SNRSensorDelegate {
    VX_OBJECT(SNRSensorRecorder, NSObject)
public:
    struct AttitudeSample {
        float matrix[16];
        float heading;
        float attitudeHeading;
        double timestamp;
    };
    struct LocationSample {
        double latitude;
        double longitude;
        double locationTimestamp;
        double sampleTimestamp;
    };

    explicit SNRSensorRecorder(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<SNRSensorRecorder> sharedAttitudeRecorder();
    static void resetForTesting();

    // A rate of 0 or less is refused with a log line.
    void startRecordingwithSamplingRate(float samplesPerSecond);
    void stopRecording();
    void resetRecord();
    bool isRecording() const { return m_recordTimer != nullptr; }
    int32_t recordMode() const { return m_recordMode; }
    void setRecordMode(int32_t mode);
    void recordSample(const Ref<NSTimer>& timer);
    void recordAttitudeSample(const Ref<NSTimer>& timer);
    void recordLocationSample(const Ref<NSTimer>& timer);
    // Writes the file and answers its path (nullopt when the write failed, which is logged).
    std::optional<std::string> saveRecord();
    // The text saveRecord writes.
    std::string recordText() const;
    const std::vector<AttitudeSample>& attitudeRecords() const { return m_attitudeRecordArray; }
    const std::vector<LocationSample>& locationRecords() const { return m_locationRecordArray; }

    void didChangeStatus(int32_t) override { }
    void didReceiveErrorCode(int32_t) override { }
    void didChangeSensorUpdateModeFromModeMotionIncludesHeading(uint32_t, uint32_t, bool) override { }
    void didUpdateLocation(const Ref<CLLocation>& location) override { m_lastLocation = location; }
    void didUpdateHeading(const Ref<CLHeading>&) override { }
    void didChangeSignalQuality(int32_t) override { }
    void didChangeDeviceOrientation(int32_t) override { }
    void didChangeAuthorizationStatus(int32_t) override { }

private:
    void initialize();

    Ref<NSTimer> m_recordTimer;
    std::vector<AttitudeSample> m_attitudeRecordArray;
    std::vector<LocationSample> m_locationRecordArray;
    Ref<CLLocation> m_lastLocation;
    int32_t m_recordMode { 0 };
};
