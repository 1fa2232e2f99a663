#pragma once

#include <cstdint>
#include <string>
#include <vector>

// System sounds, simulated: a sound is made from a file and played without a sound device.
// Every play is recorded so tests can see what was played. Any thread.

using SystemSoundID = uint32_t;
using OSStatus = int32_t;

// The system sound that makes the device vibrate.
inline constexpr SystemSoundID kSystemSoundID_Vibrate = 4095;
// The status for a file that cannot be read as a sound.
inline constexpr OSStatus kAudioServicesSystemSoundUnspecifiedError = -1500;

// Makes a sound from the file at `path`; answers 0 and sets `soundID`, or an error status (and
// leaves `soundID` alone) when the file cannot be read.
OSStatus AudioServicesCreateSystemSoundID(const std::string& path, SystemSoundID* soundID);
// Releases a sound made above; unknown identifiers are ignored.
OSStatus AudioServicesDisposeSystemSoundID(SystemSoundID soundID);
// Plays a sound made above ("play <path>") or the vibration ("vibrate"); an unknown identifier
// plays nothing.
void AudioServicesPlaySystemSound(SystemSoundID soundID);

namespace AudioServicesTesting {
// Every play, in order.
std::vector<std::string> recordedEvents();
// Forgets the plays and every sound made.
void reset();
} // namespace AudioServicesTesting
