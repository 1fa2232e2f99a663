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

// Signal-safe. How many kernel reads readMemory has made in this process, so tests can check
// that a walk over memory reads it in blocks rather than word by word.
uint64_t memoryReadCount();

// A copy of the last two pages read, so a walk that reads many words of the same pages (a stack
// scan, a chain of frame records) makes one kernel call per page instead of one per word.
// Readability is decided per page, so a page that reads at all reads whole. Only for memory that
// does not change while the window is used (the stacks of suspended threads, the frames above a
// captured state). Signal-safe; lives on the caller's stack.
class MemoryWindow {
public:
    static constexpr size_t kPageSize = 4096;

    // Copies `length` bytes at `address`; false when any of them cannot be read.
    bool read(uintptr_t address, void* destination, size_t length);
    // Forgets every page read so far.
    void reset();

private:
    struct Page {
        uintptr_t base = 0;
        bool loaded = false;
        unsigned char bytes[kPageSize];
    };
    Page m_pages[2];
    unsigned m_next = 0; // the page to replace next
    // Pages found unreadable, so probing them again costs no kernel call.
    uintptr_t m_unreadable[2] = { 1, 1 }; // 1: no page (bases are page-aligned)
    unsigned m_nextUnreadable = 0;
};

} // namespace vxos
