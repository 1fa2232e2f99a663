#pragma once

#include <cstddef>
#include <cstdint>

// The process's source of random numbers. By default each call draws from the operating
// system's generator; a test can seed a deterministic generator so that code drawing random
// numbers gives the same results every run. Any thread.
//
// These live in a namespace because the C library declares its own arc4random family, which
// would bypass the seam: always call Random::arc4random() and friends.
namespace Random {

uint32_t arc4random();
// A number below `upperBound`, without modulo bias. 0 when `upperBound` is below 2.
uint32_t arc4random_uniform(uint32_t upperBound);
void arc4random_buf(void* buffer, size_t length);

// Test seam: after seeding, every draw comes from a deterministic generator started from
// `seed`; reset() returns to the operating system's generator.
void setSeedForTesting(uint64_t seed);
void reset();

} // namespace Random
