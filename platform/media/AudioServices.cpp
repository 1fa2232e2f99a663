#include "media/AudioServices.h"

#include <fstream>
#include <map>
#include <mutex>

namespace {

struct SoundTable {
    std::mutex lock;
    std::map<SystemSoundID, std::string> sounds;
    SystemSoundID next { 4096 };
    std::vector<std::string> events;
};

SoundTable& table()
{
    static SoundTable shared;
    return shared;
}

} // namespace

OSStatus AudioServicesCreateSystemSoundID(const std::string& path, SystemSoundID* soundID)
{
    std::ifstream file(path, std::ios::binary);
    if (path.empty() || !file || !soundID)
        return kAudioServicesSystemSoundUnspecifiedError;
    auto& shared = table();
    std::lock_guard guard(shared.lock);
    SystemSoundID made = shared.next++;
    shared.sounds[made] = path;
    *soundID = made;
    return 0;
}

OSStatus AudioServicesDisposeSystemSoundID(SystemSoundID soundID)
{
    auto& shared = table();
    std::lock_guard guard(shared.lock);
    shared.sounds.erase(soundID);
    return 0;
}

void AudioServicesPlaySystemSound(SystemSoundID soundID)
{
    auto& shared = table();
    std::lock_guard guard(shared.lock);
    if (soundID == kSystemSoundID_Vibrate) {
        shared.events.push_back("vibrate");
        return;
    }
    auto found = shared.sounds.find(soundID);
    if (found != shared.sounds.end())
        shared.events.push_back("play " + found->second);
}

std::vector<std::string> AudioServicesTesting::recordedEvents()
{
    auto& shared = table();
    std::lock_guard guard(shared.lock);
    return shared.events;
}

void AudioServicesTesting::reset()
{
    auto& shared = table();
    std::lock_guard guard(shared.lock);
    shared.events.clear();
    shared.sounds.clear();
}
