#include "foundation/Random.h"

#include "foundation/Locked.h"

#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

// SplitMix64 for seeding and xoshiro256** for the stream: small, fast and well distributed,
// which is all a test generator needs.
struct Xoshiro256 {
    uint64_t s[4];

    explicit Xoshiro256(uint64_t seed)
    {
        for (auto& word : s) {
            seed += 0x9e3779b97f4a7c15ull;
            uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
            z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
            word = z ^ (z >> 31);
        }
    }

    static uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

    uint64_t next()
    {
        uint64_t result = rotl(s[1] * 5, 7) * 9;
        uint64_t t = s[1] << 17;
        s[2] ^= s[0];
        s[3] ^= s[1];
        s[1] ^= s[2];
        s[0] ^= s[3];
        s[2] ^= t;
        s[3] = rotl(s[3], 45);
        return result;
    }
};

Locked<std::optional<Xoshiro256>> s_seeded;

} // namespace

namespace Random {

void arc4random_buf(void* buffer, size_t length)
{
    if (!buffer || length == 0)
        return;
    bool filled = s_seeded.with([&](std::optional<Xoshiro256>& seeded) {
        if (!seeded)
            return false;
        auto* out = static_cast<uint8_t*>(buffer);
        while (length > 0) {
            uint64_t word = seeded->next();
            size_t n = length < sizeof(word) ? length : sizeof(word);
            std::memcpy(out, &word, n);
            out += n;
            length -= n;
        }
        return true;
    });
    if (!filled)
        ::arc4random_buf(buffer, length);
}

uint32_t arc4random()
{
    uint32_t value;
    arc4random_buf(&value, sizeof(value));
    return value;
}

uint32_t arc4random_uniform(uint32_t upperBound)
{
    if (upperBound < 2)
        return 0;
    // Reject the values below 2^32 mod upperBound so every remainder is equally likely.
    uint32_t minimum = static_cast<uint32_t>(-upperBound) % upperBound;
    for (;;) {
        uint32_t r = arc4random();
        if (r >= minimum)
            return r % upperBound;
    }
}

void setSeedForTesting(uint64_t seed)
{
    s_seeded.set(Xoshiro256(seed));
}

void reset()
{
    s_seeded.set(std::nullopt);
}

} // namespace Random
