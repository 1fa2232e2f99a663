#pragma once

#include "crashreporter/PMCrashMachO.h"

#include <cstddef>
#include <cstdint>

// Names frames from the Objective-C runtime metadata of a Mach-O image (its class and category
// lists and their method lists), read straight from memory with no runtime calls and no heap
// allocation, and combines that with the symbol table lookup. All functions are signal-safe.

struct pmcrash_objc_cache_t {
    bool got_modern; // a modern walk succeeded; later walks skip the legacy step
    const pmcrash_macho_t* image; // whose sections are mapped
    bool has_objc_const, has_classlist, has_catlist, has_objc_data;
    pmcrash_memory_object_t objc_const, classlist, catlist, objc_data;
    // Class cache: read-only data addresses keyed by class data pointers; null until first used.
    uint32_t class_slots;
    uint64_t* class_keys;
    uint64_t* class_values;
};

// Receives the class name and the method name as texts of the given lengths (not terminated).
using pmcrash_objc_method_callback = void (*)(bool isClassMethod, const char* className, size_t classNameLength,
    const char* methodName, size_t methodNameLength, uint64_t implementation, void* context);

int pmcrash_objc_cache_init(pmcrash_objc_cache_t* cache);
void pmcrash_objc_cache_free(pmcrash_objc_cache_t* cache);

// Calls `callback` for every method of the image's classes and categories.
int pmcrash_objc_parse(
    const pmcrash_macho_t* image, pmcrash_objc_cache_t* cache, pmcrash_objc_method_callback callback, void* context);
// Calls `callback` once, for the method whose implementation is the nearest at or below `address`.
int pmcrash_objc_find_method(const pmcrash_macho_t* image, pmcrash_objc_cache_t* cache, uint64_t address,
    pmcrash_objc_method_callback callback, void* context);

// Strategy bits: 1 symbol table, 2 runtime metadata. The callback receives the start address
// and the name (at most 255 characters, NUL-terminated).
using pmcrash_find_symbol_callback = void (*)(uint64_t startAddress, const char* name, void* context);
int pmcrash_find_symbol(const pmcrash_macho_t* image, uint32_t strategy, pmcrash_objc_cache_t* cache, uint64_t address,
    pmcrash_find_symbol_callback callback, void* context);
