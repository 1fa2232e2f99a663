#include "soundgen/BundleSounds.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace {

void put16(std::string& out, uint16_t value)
{
    out += static_cast<char>(value >> 8);
    out += static_cast<char>(value & 0xFF);
}

void put32(std::string& out, uint32_t value)
{
    put16(out, static_cast<uint16_t>(value >> 16));
    put16(out, static_cast<uint16_t>(value & 0xFFFF));
}

// The sample rate as the 80-bit extended float the AIFF header uses.
void putExtended(std::string& out, unsigned value)
{
    int exponent = 0;
    while ((1u << (exponent + 1)) <= value)
        ++exponent;
    put16(out, static_cast<uint16_t>(16383 + exponent));
    uint64_t mantissa = static_cast<uint64_t>(value) << (63 - exponent);
    put32(out, static_cast<uint32_t>(mantissa >> 32));
    put32(out, static_cast<uint32_t>(mantissa & 0xFFFFFFFF));
}

} // namespace

namespace BundleSounds {

std::string aiff(const std::vector<int16_t>& samples, unsigned sampleRate)
{
    std::string comm;
    put16(comm, 1); // channels
    put32(comm, static_cast<uint32_t>(samples.size()));
    put16(comm, 16); // bits per sample
    putExtended(comm, sampleRate);

    std::string ssnd;
    put32(ssnd, 0); // offset
    put32(ssnd, 0); // block size
    for (int16_t sample : samples)
        put16(ssnd, static_cast<uint16_t>(sample));

    std::string out = "FORM";
    put32(out, static_cast<uint32_t>(4 + 8 + comm.size() + 8 + ssnd.size()));
    out += "AIFF";
    out += "COMM";
    put32(out, static_cast<uint32_t>(comm.size()));
    out += comm;
    out += "SSND";
    put32(out, static_cast<uint32_t>(ssnd.size()));
    out += ssnd;
    return out;
}

std::string cabinChimeAiff()
{
    constexpr unsigned rate = 22050;
    constexpr double length = 1.6;
    struct Tone {
        double start, frequency;
    };
    // A5 then F5, each with a quieter octave partial, decaying like a struck bell.
    const Tone tones[] = { { 0.0, 880.0 }, { 0.45, 698.46 } };
    std::vector<int16_t> samples(static_cast<size_t>(rate * length));
    for (size_t i = 0; i < samples.size(); ++i) {
        double t = static_cast<double>(i) / rate;
        double value = 0;
        for (const auto& tone : tones) {
            double local = t - tone.start;
            if (local < 0)
                continue;
            double attack = std::min(1.0, local / 0.005);
            double envelope = attack * std::exp(-local * 3.2);
            value += envelope
                * (std::sin(2 * M_PI * tone.frequency * local) + 0.3 * std::sin(4 * M_PI * tone.frequency * local));
        }
        samples[i] = static_cast<int16_t>(std::lround(std::clamp(value * 0.35, -1.0, 1.0) * 32767));
    }
    return aiff(samples, rate);
}

bool writeAll(const std::string& directory, std::string& error)
{
    std::string path = directory + "/cabinbong.aiff";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << cabinChimeAiff();
    if (!out.flush()) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace BundleSounds
