#pragma once

#include "crashreporter/PMCrashAsync.h"

#include <cstddef>
#include <cstdint>

// Reads Mach-O images (the device platform's executable format) straight from memory, safely
// and without heap allocation: an image record parsed from the header and load commands,
// memory objects over verified ranges, segment and section lookups, and a symbol table reader
// that finds the nearest preceding symbol of an address. Every size, count and offset is
// checked against what was verified readable; a bad image gives an error, never a fault or a
// loop. Images in file layout (object files, whose one unnamed segment holds every section)
// are read too: their sections lie at their file offsets from the header. All functions are
// signal-safe.

// A verified readable range of this process's memory.
struct pmcrash_memory_object_t {
    uintptr_t address; // the requested start
    uint64_t length; // bytes usable from it
};

// Verifies [address, address + length). Without `requireAll`, only the readable prefix (in
// whole pages) is kept; PMCRASH_ENOMEM when nothing is readable or the range wraps.
int pmcrash_memory_object_init(pmcrash_memory_object_t* object, uintptr_t address, uint64_t length, bool requireAll);
bool pmcrash_memory_object_verify(
    const pmcrash_memory_object_t* object, uintptr_t address, int64_t offset, uint64_t length);
// The local pointer of a verified range, or null.
const void* pmcrash_memory_object_remap(
    const pmcrash_memory_object_t* object, uintptr_t address, int64_t offset, uint64_t length);
int pmcrash_memory_object_read_u8(
    const pmcrash_memory_object_t* object, uintptr_t address, int64_t offset, uint8_t* out);
int pmcrash_memory_object_read_u16(const pmcrash_memory_object_t* object, const pmcrash_byteorder_t* order,
    uintptr_t address, int64_t offset, uint16_t* out);
int pmcrash_memory_object_read_u32(const pmcrash_memory_object_t* object, const pmcrash_byteorder_t* order,
    uintptr_t address, int64_t offset, uint32_t* out);
int pmcrash_memory_object_read_u64(const pmcrash_memory_object_t* object, const pmcrash_byteorder_t* order,
    uintptr_t address, int64_t offset, uint64_t* out);
void pmcrash_memory_object_free(pmcrash_memory_object_t* object);

// Load command types and file types used here.
enum : uint32_t {
    PMCRASH_LC_SEGMENT = 0x1,
    PMCRASH_LC_SYMTAB = 0x2,
    PMCRASH_LC_DYSYMTAB = 0xb,
    PMCRASH_LC_SEGMENT_64 = 0x19,
    PMCRASH_LC_UUID = 0x1b,
    PMCRASH_MH_OBJECT = 0x1,
};

struct pmcrash_macho_t {
    uintptr_t header_addr;
    int64_t slide; // added to the image's vm addresses to reach memory
    char path[512];
    uint32_t magic;
    int32_t cpu_type;
    int32_t cpu_subtype;
    uint32_t filetype;
    uint32_t ncmds;
    uint32_t sizeofcmds;
    uint32_t flags;
    uint32_t header_size; // 28 or 32
    pmcrash_memory_object_t load_cmds;
    uint64_t text_vmaddr;
    uint64_t text_size;
    bool m64;
    const pmcrash_byteorder_t* byteorder;
};

int pmcrash_macho_init(pmcrash_macho_t* image, const char* path, uintptr_t headerAddress);
void pmcrash_macho_free(pmcrash_macho_t* image);
bool pmcrash_macho_contains_address(const pmcrash_macho_t* image, uint64_t address);
// The next load command after `previous` (the first for null), or null when there is none or
// it is not wholly inside the load commands (a command smaller than 8 bytes ends the walk).
const void* pmcrash_macho_next_command(const pmcrash_macho_t* image, const void* previous);
const void* pmcrash_macho_next_command_type(const pmcrash_macho_t* image, const void* previous, uint32_t type);
const void* pmcrash_macho_find_command(const pmcrash_macho_t* image, uint32_t type);
const void* pmcrash_macho_find_segment(const pmcrash_macho_t* image, const char* segmentName);

struct pmcrash_segment_mapping_t {
    pmcrash_memory_object_t mobj;
    uint64_t fileoff;
    uint64_t filesize;
};
int pmcrash_macho_map_segment(const pmcrash_macho_t* image, const char* segmentName, pmcrash_segment_mapping_t* out);
// The first section whose segment and section names match, mapped whole.
int pmcrash_macho_map_section(
    const pmcrash_macho_t* image, const char* segmentName, const char* sectionName, pmcrash_memory_object_t* out);
// The 16 bytes of LC_UUID; false when the image has none.
bool pmcrash_macho_uuid(const pmcrash_macho_t* image, uint8_t uuid[16]);

struct pmcrash_macho_symtab_entry_t {
    uint32_t n_strx;
    uint8_t n_type;
    uint8_t n_sect;
    uint16_t n_desc;
    uint64_t n_value;
    uint64_t normalized_value; // with the Thumb bit
};

struct pmcrash_macho_symtab_reader_t {
    const pmcrash_macho_t* image;
    pmcrash_memory_object_t linkedit;
    const uint8_t* symtab;
    uint32_t nsyms;
    const char* string_table;
    uint32_t string_table_size;
    const uint8_t* symtab_global;
    uint32_t nsyms_global;
    const uint8_t* symtab_local;
    uint32_t nsyms_local;
};

int pmcrash_macho_symtab_init(pmcrash_macho_symtab_reader_t* reader, const pmcrash_macho_t* image);
pmcrash_macho_symtab_entry_t pmcrash_macho_symtab_entry(
    const pmcrash_macho_symtab_reader_t* reader, const uint8_t* table, uint32_t index);
// The NUL-terminated name at `strx`, or null when it does not end inside the string table.
const char* pmcrash_macho_symtab_name(const pmcrash_macho_symtab_reader_t* reader, uint32_t strx);
void pmcrash_macho_symtab_free(pmcrash_macho_symtab_reader_t* reader);

using pmcrash_macho_symbol_callback = void (*)(uint64_t address, const char* name, void* context);
int pmcrash_macho_find_symbol_by_pc(
    const pmcrash_macho_t* image, uint64_t pc, pmcrash_macho_symbol_callback callback, void* context);
int pmcrash_macho_find_symbol_by_name(const pmcrash_macho_t* image, const char* name, uint64_t* address);
