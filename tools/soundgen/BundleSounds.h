#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The sounds of the application bundle, synthesised at build time. Any thread.
namespace BundleSounds {

// The alert chime "cabinbong.aiff": two soft bell tones, a falling major third, as 16-bit mono
// AIFF at 22,050 Hz, about 1.6 seconds long.
std::string cabinChimeAiff();

// 16-bit mono PCM samples as an AIFF file.
std::string aiff(const std::vector<int16_t>& samples, unsigned sampleRate);

[[nodiscard]] bool writeAll(const std::string& directory, std::string& error);

} // namespace BundleSounds
