#include "ar/SNRSensorRecorder.h"

#include "ar/SNRDeviceAttitude.h"
#include "ar/SNRSensorManager.h"
#include "foundation/Clock.h"
#include "foundation/NSDataFile.h"
#include "foundation/NSDate.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "foundation/NSTimer.h"
#include "foundation/Sandbox.h"
#include "location/CLLocation.h"

#include <algorithm>
#include <mutex>

namespace {

std::mutex s_lock;
// Lives for the process: never destroyed, so nothing it holds is torn down at exit under
// threads and statics that may still use it.
Ref<SNRSensorRecorder>& s_shared = *new Ref<SNRSensorRecorder>();

std::string pair(const char* key, double value)
{
    return NSString::stringWithFormat("\"%s\":\"%f\"", key, value);
}

} // namespace

Ref<SNRSensorRecorder> SNRSensorRecorder::sharedAttitudeRecorder()
{
    std::lock_guard lock(s_lock);
    if (!s_shared) {
        s_shared = make<SNRSensorRecorder>();
        s_shared->initialize();
    }
    return s_shared;
}

void SNRSensorRecorder::resetForTesting()
{
    std::lock_guard lock(s_lock);
    if (s_shared)
        s_shared->stopRecording();
    s_shared = nullptr;
}

void SNRSensorRecorder::initialize()
{
    auto manager = SNRSensorManager::sharedSensorManager();
    manager->setDelegate(Weak<SNRSensorDelegate>(self<SNRSensorRecorder>()));
    manager->setUseCompassAsBaseline(true);
    manager->setSensorUpdateMode(
        SNRSensorManagerUpdateLocation | SNRSensorManagerUpdateHeading | SNRSensorManagerUpdateMotion);
}

void SNRSensorRecorder::startRecordingwithSamplingRate(float samplesPerSecond)
{
    NSLog("Starting");
    NSLog("Starting Test:");
    if (m_recordTimer)
        return;
    if (!(samplesPerSecond > 0)) {
        NSLog("Cannot record at %f samples per second", static_cast<double>(samplesPerSecond));
        return;
    }
    resetRecord();
    m_recordTimer = NSTimer::scheduledTimerWithTimeIntervalTargetSelectorUserInfoRepeats(
        1.0 / samplesPerSecond, self<SNRSensorRecorder>(), &SNRSensorRecorder::recordSample, Value(), true);
}

void SNRSensorRecorder::stopRecording()
{
    NSLog("Stopping");
    if (m_recordTimer)
        m_recordTimer->invalidate();
    m_recordTimer = nullptr;
}

void SNRSensorRecorder::resetRecord()
{
    NSLog("Reset");
    m_attitudeRecordArray.clear();
    m_locationRecordArray.clear();
}

void SNRSensorRecorder::setRecordMode(int32_t mode)
{
    if (mode == m_recordMode)
        return;
    stopRecording();
    resetRecord();
    m_recordMode = mode;
    if (mode == 2)
        NSLog("Now recording Location and Attitude");
    else if (mode == 1)
        NSLog("Now recording Location");
    else if (mode == 0)
        NSLog("Now recording Attitude");
}

void SNRSensorRecorder::recordSample(const Ref<NSTimer>& timer)
{
    switch (m_recordMode) {
    case 2:
        recordAttitudeSample(timer);
        recordLocationSample(timer);
        break;
    case 1:
        recordLocationSample(timer);
        break;
    case 0:
        recordAttitudeSample(timer);
        break;
    default:
        break;
    }
}

void SNRSensorRecorder::recordAttitudeSample(const Ref<NSTimer>&)
{
    NSLog("Recording Attitude Sample");
    auto attitude = SNRSensorManager::sharedSensorManager()->deviceAttitude();
    AttitudeSample sample {};
    std::copy(std::begin(attitude->attitudeMatrix()->m), std::end(attitude->attitudeMatrix()->m), sample.matrix);
    sample.heading = attitude->heading();
    sample.attitudeHeading = attitude->attitudeHeading();
    sample.timestamp = Clock::wallTime();
    m_attitudeRecordArray.push_back(sample);
}

void SNRSensorRecorder::recordLocationSample(const Ref<NSTimer>&)
{
    NSLog("Recording Location Sample");
    LocationSample sample {};
    if (m_lastLocation) {
        sample.latitude = m_lastLocation->coordinate().latitude;
        sample.longitude = m_lastLocation->coordinate().longitude;
        sample.locationTimestamp
            = m_lastLocation->timestamp() ? m_lastLocation->timestamp()->timeIntervalSince1970() : 0;
    }
    sample.sampleTimestamp = Clock::wallTime();
    m_locationRecordArray.push_back(sample);
}

std::string SNRSensorRecorder::recordText() const
{
    std::string text = "var samples = [\n";
    bool withLocation = m_recordMode == 1 || m_recordMode == 2;
    bool withAttitude = m_recordMode == 0 || m_recordMode == 2;
    size_t n = std::max(m_attitudeRecordArray.size(), m_locationRecordArray.size());
    for (size_t i = 0; i < n; ++i) {
        text += "{";
        // Lists of different lengths (samples recorded by hand) write only what exists.
        if (withLocation && i < m_locationRecordArray.size()) {
            const auto& l = m_locationRecordArray[i];
            text += pair("latitude", l.latitude) + ", " + pair("longitude", l.longitude) + ", "
                + pair("locationTimestamp", l.locationTimestamp) + ", " + pair("sampleTimestamp", l.sampleTimestamp)
                + ",";
        }
        if (withAttitude && i < m_attitudeRecordArray.size()) {
            const auto& a = m_attitudeRecordArray[i];
            auto group = [&](int column) {
                std::string line;
                for (int row = 0; row < 4; ++row) {
                    int index = column * 4 + row;
                    std::string key = "m" + std::to_string(index / 4 + 1) + std::to_string(index % 4 + 1);
                    line += (row ? ", " : "") + pair(key.c_str(), a.matrix[index]);
                }
                return line;
            };
            text += group(0) + ",\n " + group(1) + ",\n " + group(2) + ",\n" + group(3) + ",\n ";
            text += pair("heading", a.heading) + ", " + pair("attitudeHeading", a.attitudeHeading) + ", "
                + pair("timestamp", a.timestamp);
        }
        text += "},\n";
    }
    text += "];";
    return text;
}

std::optional<std::string> SNRSensorRecorder::saveRecord()
{
    stopRecording();
    std::string text = recordText();
    NSLog("string to write:%@", text);
    std::string path = NSHomeDirectory() + "/Documents/" + NSString::stringWithFormat("%f.json", Clock::wallTime());
    Ref<NSError> error;
    bool written = NSString::writeToFile(text, path, true, NSUTF8StringEncoding, &error);
    if (!written)
        NSLog("Could not write the sensor record to %@", path);
    resetRecord();
    return written ? std::optional<std::string>(path) : std::nullopt;
}
