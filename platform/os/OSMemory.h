#pragma once

#include <cstddef>
#include <cstdint>

// Reads of this process's memory that fail cleanly instead of faulting.
namespace vxos {

// Signal-safe. Copies `length` bytes at `address` into `destination`; false when any of them
// cannot be read (unmapped, no read permission) or when the range wraps around.
bool readMemory(uintptr_t address, void* destination, size_t length);

// Signal-safe. True when every byte of [address, address + length) is readable.
bool isReadable(uintptr_t address, size_t length);

} // namespace vxos
