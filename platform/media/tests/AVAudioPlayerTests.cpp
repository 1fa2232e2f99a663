#include "media/AVAudioPlayer.h"

#include "testing/TemporarySandbox.h"

#include <gtest/gtest.h>

#include <fstream>

TEST(AVAudioPlayer, PlaysOnceAndRecordsStopAndRefusesMissingFiles)
{
    AVAudioPlayer::resetRecordForTesting();
    TemporarySandbox sandbox;
    std::string path = sandbox.path("loop.mp3");
    std::ofstream(path) << "sound";
    EXPECT_FALSE(AVAudioPlayer::initWithContentsOfURLError(sandbox.path("missing.mp3")));

    auto player = AVAudioPlayer::initWithContentsOfURLError(path);
    ASSERT_TRUE(player);
    player->setNumberOfLoops(-1);
    EXPECT_TRUE(player->prepareToPlay());
    EXPECT_TRUE(player->play());
    EXPECT_TRUE(player->play());
    EXPECT_TRUE(player->isPlaying());
    player->stop();
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(AVAudioPlayer::recordedEvents(), (std::vector<std::string> { "play " + path, "stop " + path }));
}
