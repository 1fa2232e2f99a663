#pragma once

#include "foundation/NSObject.h"

#include <string>
#include <vector>

class NSError;

// Plays one sound file, simulated: no sound device is opened. The file must exist and be
// readable, as a player cannot be made for a missing resource. Playing, stopping and the loop
// count are recorded so tests can see what was played. Main thread only.
class AVAudioPlayer : public NSObject {
    VX_OBJECT(AVAudioPlayer, NSObject)
public:
    explicit AVAudioPlayer(Passkey key)
        : NSObject(key)
    {
    }
    // nullptr (and an error when asked) for a file that cannot be read.
    static Ref<AVAudioPlayer> initWithContentsOfURLError(const std::string& path, Ref<NSError>* error = nullptr);

    const std::string& url() const { return m_path; }
    // -1 loops for ever.
    int32_t numberOfLoops() const { return m_numberOfLoops; }
    void setNumberOfLoops(int32_t loops) { m_numberOfLoops = loops; }
    bool prepareToPlay();
    bool play();
    void stop();
    bool isPlaying() const { return m_playing; }

    // Every play and stop of every player, in order ("play <path>" / "stop <path>").
    static std::vector<std::string> recordedEvents();
    static void resetRecordForTesting();

private:
    std::string m_path;
    int32_t m_numberOfLoops { 0 };
    bool m_prepared { false };
    bool m_playing { false };
};
