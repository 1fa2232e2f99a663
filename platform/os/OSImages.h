#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Loaded ELF images of this process: enumeration through the dynamic loader, and a reader that
// describes an image from its mapped bytes alone (safe to use at crash time).
namespace vxos {

// Not signal-safe (the loader takes its lock). Calls `visit` with the address of each loaded
// image's ELF header and its path (the main program gets the path of /proc/self/exe).
void forEachLoadedImage(const std::function<void(uintptr_t headerAddress, const char* path)>& visit);

// Mach CPU type values, so an image reads like one of the platform's.
constexpr int32_t kCpuTypeX86 = 7;
constexpr int32_t kCpuTypeArm = 12;
constexpr int32_t kCpuTypeX86_64 = 0x01000007;
constexpr int32_t kCpuTypeArm64 = 0x0100000C;

// One function symbol of an image's dynamic symbol table: its value (the start address less the
// load bias) and the offset of its name in the string table.
struct ElfSymbolIndexEntry {
    uint32_t value;
    uint32_t name;
};

// A parsed image: a plain record filled by elfImageInit.
struct ElfImage {
    uintptr_t headerAddress = 0;
    uintptr_t loadBias = 0;
    // From the header to the end of the last executable segment, so [header, header + textSize)
    // holds every instruction of the image.
    uint64_t textSize = 0;
    int32_t cpuType = 0;
    int32_t cpuSubtype = 0;
    uint8_t buildId[32] {};
    uint32_t buildIdLength = 0;
    // Dynamic symbol table (0 when absent).
    uintptr_t symbols = 0;
    uint32_t symbolCount = 0;
    uintptr_t strings = 0;
    uint64_t stringsSize = 0;
    // The function symbols sorted by value (table order among equal values), when the owner has
    // prepared them with elfSymbolIndex; elfFindSymbol then searches them instead of the table.
    const ElfSymbolIndexEntry* symbolIndex = nullptr;
    uint32_t symbolIndexCount = 0;
};

// Error values shared with the crash reporter's async error codes.
enum ElfError : int { kElfOk = 0, kElfInvalidArgument = 5, kElfInternal = 6, kElfNotFound = 8, kElfInvalidData = 9 };

// Signal-safe. Reads the ELF header, program headers, build id and dynamic symbol table of the
// image mapped at `headerAddress`. Every size, count and offset is checked; an image that is
// not a readable 64-bit ELF gives kElfInvalidData (or kElfInternal when its header cannot be read).
int elfImageInit(ElfImage* image, uintptr_t headerAddress);

// Not signal-safe (allocates). The image's function symbols sorted for elfFindSymbol, read once
// while the process is healthy so that a lookup at crash time reads only the name. Empty when the
// image has no dynamic symbol table, the table cannot be read, or a value does not fit.
std::vector<ElfSymbolIndexEntry> elfSymbolIndex(const ElfImage& image);

using ElfSymbolCallback = void (*)(uint64_t startAddress, const char* name, void* context);

// Signal-safe. Finds the function symbol of the dynamic symbol table that starts nearest at or
// below `address` (the first in table order among equal starts) and calls `callback` with its
// start and its name (at most 255 characters, copied to the stack). kElfNotFound when none.
// With a symbol index it searches the index; otherwise it reads the whole table in blocks.
int elfFindSymbol(const ElfImage* image, uint64_t address, ElfSymbolCallback callback, void* context);

} // namespace vxos
