#pragma once

#include "crashreporter/PMCrashAsyncList.h"
#include "os/OSImages.h"

#include <atomic>
#include <cstdint>
#include <vector>

// The loaded images of the process, readable from a signal handler. Each record is parsed from
// the image's mapped ELF bytes when it is added; records are never freed while the list lives,
// so a walk at crash time never meets freed memory.

struct pmcrash_image_t {
    vxos::ElfImage elf;
    char path[1024];
    // The image's function symbols sorted when it was added (elf.symbolIndex points here), so
    // naming a frame at crash time reads only the symbol's name.
    std::vector<vxos::ElfSymbolIndexEntry> symbolIndex;
    // The list node that holds this image (null until a walk has passed it).
    std::atomic<void*> node { nullptr };
};

class pmcrash_image_list_t {
public:
    using List = pmcrash_async_list<pmcrash_image_t*>;

    pmcrash_image_list_t() = default;
    ~pmcrash_image_list_t();
    pmcrash_image_list_t(const pmcrash_image_list_t&) = delete;
    pmcrash_image_list_t& operator=(const pmcrash_image_list_t&) = delete;

    List list;
};

// Not signal-safe. Parses the image at `headerAddress`, sorts its function symbols and appends
// it; an image that cannot be parsed is not added (false).
bool pmcrash_image_list_append(pmcrash_image_list_t* list, uintptr_t headerAddress, const char* path);
// Not signal-safe. Removes the image with this header address; the record stays allocated.
void pmcrash_image_list_remove(pmcrash_image_list_t* list, uintptr_t headerAddress);
// Not signal-safe. Brings the list in line with the loader's current images: adds the new ones,
// removes the ones that are gone.
void pmcrash_image_list_sync(pmcrash_image_list_t* list);

// Signal-safe.
void pmcrash_image_list_set_reading(pmcrash_image_list_t* list, bool reading);
pmcrash_image_t* pmcrash_image_list_next(pmcrash_image_list_t* list, pmcrash_image_t* current);
// The first image whose [header, header + text size) holds `address`; callers hold a reader mark.
pmcrash_image_t* pmcrash_image_list_image_for_address(pmcrash_image_list_t* list, uint64_t address);
