#include "media/AudioServices.h"

#include "testing/TemporarySandbox.h"

#include <gtest/gtest.h>

#include <fstream>

TEST(AudioServices, PlaysMadeSoundsAndTheVibrationAndRefusesMissingFiles)
{
    AudioServicesTesting::reset();
    TemporarySandbox sandbox;
    std::string path = sandbox.path("bong.aiff");
    std::ofstream(path) << "sound";

    SystemSoundID missing = 7;
    EXPECT_NE(AudioServicesCreateSystemSoundID(sandbox.path("missing.aiff"), &missing), 0);
    EXPECT_EQ(missing, 7u);

    SystemSoundID sound = 0;
    ASSERT_EQ(AudioServicesCreateSystemSoundID(path, &sound), 0);
    AudioServicesPlaySystemSound(sound);
    AudioServicesPlaySystemSound(kSystemSoundID_Vibrate);
    AudioServicesDisposeSystemSoundID(sound);
    // A disposed or unknown sound plays nothing.
    AudioServicesPlaySystemSound(sound);
    AudioServicesPlaySystemSound(12345);
    EXPECT_EQ(AudioServicesTesting::recordedEvents(), (std::vector<std::string> { "play " + path, "vibrate" }));
    AudioServicesTesting::reset();
    EXPECT_TRUE(AudioServicesTesting::recordedEvents().empty());
}
