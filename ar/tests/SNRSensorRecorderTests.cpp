#include "ar/tests/ARTestSupport.h"

#include "ar/SNRSimulator.h"
#include "foundation/NSDataFile.h"
#include "foundation/NSFileManager.h"

TEST(SNRSensorRecorder, SamplesOnItsTimerAndWritesAScript)
{
    ARTestScope scope;
    auto recorder = SNRSensorRecorder::sharedAttitudeRecorder();
    EXPECT_EQ(SNRSensorManager::sharedSensorManager()->sensorUpdateMode(), 7u);
    recorder->setRecordMode(1);
    recorder->startRecordingwithSamplingRate(10);
    recorder->startRecordingwithSamplingRate(2);
    scope.clock().advance(0.35);
    EXPECT_EQ(recorder->locationRecords().size(), 3u);
    EXPECT_EQ(recorder->locationRecords()[0].latitude, 0);
    std::string text = recorder->recordText();
    EXPECT_EQ(text.substr(0, 17), "var samples = [\n{");
    // Location records end with a comma right before the closing brace.
    EXPECT_NE(text.find("\"sampleTimestamp\":\""), std::string::npos);
    EXPECT_NE(text.find(",},\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 2), "];");
    auto path = recorder->saveRecord();
    ASSERT_TRUE(path);
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_TRUE(recorder->locationRecords().empty());
    EXPECT_TRUE(NSFileManager::defaultManager()->fileExistsAtPath(*path));
    // Nothing recorded: only the frame.
    EXPECT_EQ(recorder->recordText(), "var samples = [\n];");
}

TEST(SNRSensorRecorder, AttitudeLinesAndUnevenLists)
{
    ARTestScope scope;
    auto recorder = SNRSensorRecorder::sharedAttitudeRecorder();
    recorder->setRecordMode(2);
    recorder->recordAttitudeSample(nullptr);
    recorder->recordAttitudeSample(nullptr);
    recorder->recordLocationSample(nullptr);
    std::string text = recorder->recordText();
    EXPECT_NE(
        text.find("\"m11\":\"1.000000\", \"m12\":\"0.000000\", \"m13\":\"0.000000\", \"m14\":\"0.000000\",\n \"m21\""),
        std::string::npos);
    EXPECT_NE(text.find("\"m34\":\"0.000000\",\n\"m41\":\"1.000000\""), std::string::npos);
    // Two attitude samples and one location sample: the second record has no location part.
    EXPECT_NE(text.find("\"sampleTimestamp\":\""), std::string::npos);
    EXPECT_NE(text.find("},\n{\"m11\""), std::string::npos);
    // A non-positive rate does not start recording.
    recorder->startRecordingwithSamplingRate(0);
    EXPECT_FALSE(recorder->isRecording());
}

TEST(SNRSimulatedAttitude, StoresWrappedValuesAndComputesItsPosition)
{
    ARTestScope scope;
    auto simulated = SNRSimulatedAttitude::sharedAttitude();
    simulated->setSimulatedDirection(-90);
    EXPECT_FLOAT_EQ(simulated->simulatedDirection(), 270);
    simulated->setSimulatedDistance(-5);
    EXPECT_FLOAT_EQ(simulated->simulatedDistance(), 0);
    simulated->setSimulatedCenter({ 10, 20 });
    simulated->setSimulatedDistance(111319.49f);
    simulated->setSimulatedDirection(0);
    simulated->setSimulatedHeading(370);
    EXPECT_FALSE(simulated->simulateHeading());
    EXPECT_NEAR(simulated->locationLatitude(), 11, 1e-4);
    EXPECT_NEAR(simulated->locationLongitude(), 20, 1e-4);
    EXPECT_TRUE(simulated->hasLocation());
    EXPECT_FLOAT_EQ(simulated->heading(), 10);
    simulated->setSimulateHeading(true);
    EXPECT_TRUE(simulated->overridesAnything());
    EXPECT_FLOAT_EQ(simulated->attitudeHeading(), 10);
    SNRMatrix4x4 expected;
    SNRMatrixSetRotationY(expected, 10);
    EXPECT_FLOAT_EQ((*simulated->headingMatrix())[0], expected[0]);
}

TEST(SNRSimulator, InstallsTheProperties)
{
    ARTestScope scope;
    LogCapture log;
    auto phone = SNRDeviceProperties::devicePropertiesForPhone4s();
    SNRSimulator::simulate(phone);
    EXPECT_EQ(SNRSensorManager::sharedSensorManager()->deviceProperties(), phone);
    EXPECT_EQ(SNRDeviceProperties::sharedDeviceProperties(), phone);
    EXPECT_TRUE(log.contains("SIMULATE: iPhone4,1@OS=5.1"));
    EXPECT_TRUE(log.contains("FORCE: iPhone4,1@OS=5.1"));
}
