#include "media/AVAudioPlayer.h"

#include "foundation/NSError.h"

#include <fstream>
#include <mutex>

VX_REGISTER_CLASS(AVAudioPlayer);

namespace {

std::mutex s_recordLock;
std::vector<std::string>& record()
{
    static std::vector<std::string> events;
    return events;
}

void note(const std::string& event)
{
    std::lock_guard lock(s_recordLock);
    record().push_back(event);
}

} // namespace

Ref<AVAudioPlayer> AVAudioPlayer::initWithContentsOfURLError(const std::string& path, Ref<NSError>* error)
{
    std::ifstream file(path, std::ios::binary);
    if (path.empty() || !file) {
        if (error)
            *error = NSError::errorWithDomain("NSOSStatusErrorDomain", 2003334207);
        return nullptr;
    }
    auto player = make<AVAudioPlayer>();
    player->m_path = path;
    return player;
}

bool AVAudioPlayer::prepareToPlay()
{
    m_prepared = true;
    return true;
}

bool AVAudioPlayer::play()
{
    m_prepared = true;
    if (!m_playing) {
        m_playing = true;
        note("play " + m_path);
    }
    return true;
}

void AVAudioPlayer::stop()
{
    if (m_playing)
        note("stop " + m_path);
    m_playing = false;
    m_prepared = false;
}

std::vector<std::string> AVAudioPlayer::recordedEvents()
{
    std::lock_guard lock(s_recordLock);
    return record();
}

void AVAudioPlayer::resetRecordForTesting()
{
    std::lock_guard lock(s_recordLock);
    record().clear();
}
