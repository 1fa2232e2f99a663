#include "crashreporter/PMCrashObjC.h"

#include <sys/mman.h>

namespace {

constexpr uint32_t kClassCacheSlots = 1024;
constexpr size_t kMaxName = 1024;

// A NUL-terminated text read from memory into a stack buffer.
struct Text {
    char bytes[kMaxName];
    size_t length;
};

int readText(uint64_t address, Text* text)
{
    text->length = 0;
    while (text->length < kMaxName) {
        char c;
        if (pmcrash_task_read_at(static_cast<uintptr_t>(address), static_cast<int64_t>(text->length), &c, 1)
            != PMCRASH_ESUCCESS)
            return PMCRASH_EINVAL;
        if (c == '\0')
            return PMCRASH_ESUCCESS;
        text->bytes[text->length++] = c;
    }
    return PMCRASH_ESUCCESS; // longer names are cut
}

size_t pointerSize(const pmcrash_macho_t* image)
{
    return image->m64 ? 8 : 4;
}

uint64_t pointerAt(const pmcrash_macho_t* image, const uint8_t* at)
{
    if (image->m64) {
        uint64_t v;
        pmcrash_memcpy(&v, at, 8);
        return image->byteorder->swap64(v);
    }
    uint32_t v;
    pmcrash_memcpy(&v, at, 4);
    return image->byteorder->swap32(v);
}

uint32_t wordAt(const pmcrash_macho_t* image, const uint8_t* at)
{
    uint32_t v;
    pmcrash_memcpy(&v, at, 4);
    return image->byteorder->swap32(v);
}

// Copies `length` bytes at `address`, from a mapped section when it lies there, else from memory.
int copyFrom(const pmcrash_memory_object_t* section, bool present, uint64_t address, void* out, size_t length)
{
    if (present) {
        if (const void* local = pmcrash_memory_object_remap(section, static_cast<uintptr_t>(address), 0, length)) {
            pmcrash_memcpy(out, local, length);
            return PMCRASH_ESUCCESS;
        }
    }
    return pmcrash_task_read_at(static_cast<uintptr_t>(address), 0, out, length) == PMCRASH_ESUCCESS
        ? PMCRASH_ESUCCESS
        : PMCRASH_EINVALID_DATA;
}

bool inSection(const pmcrash_memory_object_t* section, bool present, uint64_t address, uint64_t length)
{
    return present && pmcrash_memory_object_verify(section, static_cast<uintptr_t>(address), 0, length);
}

int mapSections(const pmcrash_macho_t* image, pmcrash_objc_cache_t* cache)
{
    if (cache->image == image)
        return PMCRASH_ESUCCESS;
    cache->image = nullptr;
    cache->has_objc_const = cache->has_classlist = cache->has_catlist = cache->has_objc_data = false;
    int result = pmcrash_macho_map_section(image, "__DATA", "__objc_const", &cache->objc_const);
    if (result != PMCRASH_ESUCCESS)
        return result;
    cache->has_objc_const = true;
    result = pmcrash_macho_map_section(image, "__DATA", "__objc_classlist", &cache->classlist);
    if (result != PMCRASH_ESUCCESS)
        return result;
    cache->has_classlist = true;
    result = pmcrash_macho_map_section(image, "__DATA", "__objc_catlist", &cache->catlist);
    if (result != PMCRASH_ESUCCESS)
        return result;
    cache->has_catlist = true;
    result = pmcrash_macho_map_section(image, "__DATA", "__objc_data", &cache->objc_data);
    if (result != PMCRASH_ESUCCESS)
        return result;
    cache->has_objc_data = true;
    cache->image = image;
    return PMCRASH_ESUCCESS;
}

uint64_t cachedReadOnly(pmcrash_objc_cache_t* cache, uint64_t key)
{
    if (!cache->class_keys)
        return 0;
    uint32_t slot = static_cast<uint32_t>((key / 4) % cache->class_slots);
    return cache->class_keys[slot] == key ? cache->class_values[slot] : 0;
}

void cacheReadOnly(pmcrash_objc_cache_t* cache, uint64_t key, uint64_t value)
{
    if (!cache->class_keys) {
        void* memory = mmap(nullptr, kClassCacheSlots * 16, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED)
            return; // the cache stays off
        cache->class_slots = kClassCacheSlots;
        cache->class_keys = static_cast<uint64_t*>(memory);
        cache->class_values = cache->class_keys + kClassCacheSlots;
    }
    uint32_t slot = static_cast<uint32_t>((key / 4) % cache->class_slots);
    if (cache->class_keys[slot] == 0) {
        cache->class_keys[slot] = key;
        cache->class_values[slot] = value;
    }
}

// Walks a modern method list; its header and entries must lie in __objc_const.
int walkMethodList(const pmcrash_macho_t* image, pmcrash_objc_cache_t* cache, uint64_t list, bool isClassMethod,
    const Text& className, pmcrash_objc_method_callback callback, void* context)
{
    const auto* header = static_cast<const uint8_t*>(
        pmcrash_memory_object_remap(&cache->objc_const, static_cast<uintptr_t>(list), 0, 8));
    if (!header)
        return PMCRASH_EINVALID_DATA;
    uint32_t entrySize = wordAt(image, header) & ~uint32_t(3);
    uint32_t count = wordAt(image, header + 4);
    uint64_t total;
    if (entrySize < 3 * pointerSize(image) || __builtin_mul_overflow(uint64_t(entrySize), uint64_t(count), &total))
        return PMCRASH_EINVALID_DATA;
    const auto* entries = static_cast<const uint8_t*>(
        pmcrash_memory_object_remap(&cache->objc_const, static_cast<uintptr_t>(list), 8, total));
    if (!entries && count > 0)
        return PMCRASH_EINVALID_DATA;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* entry = entries + uint64_t(i) * entrySize;
        Text name;
        if (readText(pointerAt(image, entry), &name) != PMCRASH_ESUCCESS)
            return PMCRASH_EINVAL;
        uint64_t implementation = pointerAt(image, entry + 2 * pointerSize(image));
        callback(isClassMethod, className.bytes, className.length, name.bytes, name.length, implementation, context);
    }
    return PMCRASH_ESUCCESS;
}

// Class name and base methods of a modern class record at `classAddress`.
int walkClass(const pmcrash_macho_t* image, pmcrash_objc_cache_t* cache, uint64_t classAddress, bool isClassMethod,
    Text* className, bool walkMethods, pmcrash_objc_method_callback callback, void* context)
{
    size_t p = pointerSize(image);
    uint8_t classRecord[40];
    if (copyFrom(&cache->objc_data, cache->has_objc_data, classAddress, classRecord, 5 * p) != PMCRASH_ESUCCESS)
        return PMCRASH_EINVALID_DATA;
    uint64_t data = pointerAt(image, classRecord + 4 * p) & ~uint64_t(3);
    size_t roSize = image->m64 ? 72 : 40;
    uint8_t ro[72];
    uint64_t roAddress = cachedReadOnly(cache, data);
    if (roAddress != 0) {
        if (copyFrom(&cache->objc_const, cache->has_objc_const, roAddress, ro, roSize) != PMCRASH_ESUCCESS)
            return PMCRASH_EINVALID_DATA;
    } else {
        uint8_t rw[16];
        if (pmcrash_task_read_at(static_cast<uintptr_t>(data), 0, rw, image->m64 ? 16 : 12) != PMCRASH_ESUCCESS)
            return PMCRASH_EINVALID_DATA;
        uint32_t flags = wordAt(image, rw);
        if (!(flags & 0x80000000u))
            return PMCRASH_ENOTFOUND; // not realized
        roAddress = pointerAt(image, rw + 8);
        bool copied = flags & 0x8000000u;
        bool inText = pmcrash_macho_contains_address(image, roAddress);
        if (copyFrom(&cache->objc_const, !copied && inText && cache->has_objc_const, roAddress, ro, roSize)
            != PMCRASH_ESUCCESS)
            return PMCRASH_EINVALID_DATA;
        cacheReadOnly(cache, data, roAddress);
    }
    uint64_t nameAddress = pointerAt(image, ro + (image->m64 ? 24 : 16));
    if (readText(nameAddress, className) != PMCRASH_ESUCCESS)
        return PMCRASH_EINVAL;
    if (!walkMethods)
        return PMCRASH_ESUCCESS;
    uint64_t methods = pointerAt(image, ro + (image->m64 ? 32 : 20));
    if (methods == 0)
        return PMCRASH_ESUCCESS;
    return walkMethodList(image, cache, methods, isClassMethod, *className, callback, context);
}

int walkLegacyMethodLists(const pmcrash_macho_t* image, const uint8_t* cls, bool isClassMethod,
    pmcrash_objc_method_callback callback, void* context)
{
    Text className;
    if (readText(wordAt(image, cls + 8), &className) != PMCRASH_ESUCCESS)
        return PMCRASH_EINVAL;
    uint32_t info = wordAt(image, cls + 16);
    uint32_t lists = wordAt(image, cls + 28);
    auto walkList = [&](uint32_t list) -> int {
        uint32_t header[2];
        if (pmcrash_task_read_at(list, 0, header, 8) != PMCRASH_ESUCCESS)
            return PMCRASH_EINVALID_DATA;
        uint32_t count = image->byteorder->swap32(header[1]);
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t method[3];
            if (pmcrash_task_read_at(list, 8 + int64_t(i) * 12, method, 12) != PMCRASH_ESUCCESS)
                return PMCRASH_EINVALID_DATA;
            Text name;
            if (readText(image->byteorder->swap32(method[0]), &name) != PMCRASH_ESUCCESS)
                return PMCRASH_EINVAL;
            callback(isClassMethod, className.bytes, className.length, name.bytes, name.length,
                image->byteorder->swap32(method[2]), context);
        }
        return PMCRASH_ESUCCESS;
    };
    if (lists == 0)
        return PMCRASH_ESUCCESS;
    if (info & 0x4000)
        return walkList(lists);
    for (uint32_t i = 0; i < 4096; ++i) {
        uint32_t list;
        if (pmcrash_task_read_at(lists, int64_t(i) * 4, &list, 4) != PMCRASH_ESUCCESS)
            return PMCRASH_EINVALID_DATA;
        list = image->byteorder->swap32(list);
        if (list == 0 || list == 0xffffffffu)
            break;
        int result = walkList(list);
        if (result != PMCRASH_ESUCCESS)
            return result;
    }
    return PMCRASH_ESUCCESS;
}

} // namespace

int pmcrash_objc_cache_init(pmcrash_objc_cache_t* cache)
{
    pmcrash_memset(cache, 0, sizeof(*cache));
    return PMCRASH_ESUCCESS;
}

void pmcrash_objc_cache_free(pmcrash_objc_cache_t* cache)
{
    if (cache->class_keys)
        munmap(cache->class_keys, kClassCacheSlots * 16);
    pmcrash_memset(cache, 0, sizeof(*cache));
}

int pmcrash_objc_parse(
    const pmcrash_macho_t* image, pmcrash_objc_cache_t* cache, pmcrash_objc_method_callback callback, void* context)
{
    if (!cache)
        return PMCRASH_EACCESS;
    if (!cache->got_modern) {
        pmcrash_memory_object_t modules;
        int result = pmcrash_macho_map_section(image, "__OBJC", "__module_info", &modules);
        if (result == PMCRASH_ESUCCESS && modules.length >= 16) {
            for (uint64_t m = 0; m + 16 <= modules.length; m += 16) {
                uint32_t symtab = wordAt(image, reinterpret_cast<const uint8_t*>(modules.address + m + 12));
                if (symtab == 0)
                    continue;
                uint8_t header[12];
                if (pmcrash_task_read_at(symtab, 0, header, 12) != PMCRASH_ESUCCESS)
                    return PMCRASH_EINVALID_DATA;
                uint16_t classCount;
                pmcrash_memcpy(&classCount, header + 8, 2);
                classCount = image->byteorder->swap16(classCount);
                for (uint32_t c = 0; c < classCount; ++c) {
                    uint32_t classPointer;
                    uint8_t cls[40], meta[40];
                    if (pmcrash_task_read_at(symtab, 12 + int64_t(c) * 4, &classPointer, 4) != PMCRASH_ESUCCESS
                        || pmcrash_task_read_at(image->byteorder->swap32(classPointer), 0, cls, 40) != PMCRASH_ESUCCESS)
                        return PMCRASH_EINVALID_DATA;
                    result = walkLegacyMethodLists(image, cls, false, callback, context);
                    if (result != PMCRASH_ESUCCESS)
                        return result;
                    if (pmcrash_task_read_at(wordAt(image, cls), 0, meta, 40) != PMCRASH_ESUCCESS)
                        return PMCRASH_EINVALID_DATA;
                    result = walkLegacyMethodLists(image, meta, true, callback, context);
                    if (result != PMCRASH_ESUCCESS)
                        return result;
                }
            }
            return PMCRASH_ESUCCESS;
        }
        if (result != PMCRASH_ESUCCESS && result != PMCRASH_ENOTFOUND)
            return result;
    }

    int result = mapSections(image, cache);
    if (result != PMCRASH_ESUCCESS)
        return result;
    size_t p = pointerSize(image);
    for (uint64_t offset = 0; offset + p <= cache->classlist.length; offset += p) {
        uint64_t cls = pointerAt(image, reinterpret_cast<const uint8_t*>(cache->classlist.address + offset));
        if (!inSection(&cache->objc_data, true, cls, 5 * p))
            return PMCRASH_EINVALID_DATA;
        Text className;
        result = walkClass(image, cache, cls, false, &className, true, callback, context);
        if (result == PMCRASH_ENOTFOUND)
            continue;
        if (result != PMCRASH_ESUCCESS)
            return result;
        uint64_t isa = pointerAt(image,
            static_cast<const uint8_t*>(
                pmcrash_memory_object_remap(&cache->objc_data, static_cast<uintptr_t>(cls), 0, p)));
        if (image->m64 && image->cpu_type == 0x0100000C && (isa & 1))
            isa &= ~uint64_t(7);
        if (!inSection(&cache->objc_data, true, isa, 5 * p))
            return PMCRASH_EINVALID_DATA;
        Text metaName;
        result = walkClass(image, cache, isa, true, &metaName, true, callback, context);
        if (result != PMCRASH_ESUCCESS)
            return result;
    }
    for (uint64_t offset = 0; offset + p <= cache->catlist.length; offset += p) {
        uint64_t category = pointerAt(image, reinterpret_cast<const uint8_t*>(cache->catlist.address + offset));
        const auto* record = static_cast<const uint8_t*>(
            pmcrash_memory_object_remap(&cache->objc_const, static_cast<uintptr_t>(category), 0, 6 * p));
        if (!record)
            return PMCRASH_EINVALID_DATA;
        uint64_t cls = pointerAt(image, record + p);
        Text className;
        result = walkClass(image, cache, cls, false, &className, false, callback, context);
        if (result == PMCRASH_ENOTFOUND)
            continue;
        if (result != PMCRASH_ESUCCESS)
            return result;
        uint64_t instanceMethods = pointerAt(image, record + 2 * p);
        uint64_t classMethods = pointerAt(image, record + 3 * p);
        result = instanceMethods ? walkMethodList(image, cache, instanceMethods, false, className, callback, context)
                                 : PMCRASH_ESUCCESS;
        if (result == PMCRASH_ESUCCESS && classMethods)
            result = walkMethodList(image, cache, classMethods, true, className, callback, context);
        if (result != PMCRASH_ESUCCESS && result != PMCRASH_ENOTFOUND)
            return result;
    }
    cache->got_modern = true;
    return PMCRASH_ESUCCESS;
}

namespace {

struct Nearest {
    uint64_t address;
    bool found;
    uint64_t best;
    pmcrash_objc_method_callback callback;
    void* context;
};

void keepNearest(bool, const char*, size_t, const char*, size_t, uint64_t implementation, void* context)
{
    auto* nearest = static_cast<Nearest*>(context);
    if (implementation <= nearest->address && (!nearest->found || implementation >= nearest->best)) {
        nearest->best = implementation;
        nearest->found = true;
    }
}

void reportNearest(bool isClassMethod, const char* className, size_t classLength, const char* methodName,
    size_t methodLength, uint64_t implementation, void* context)
{
    auto* nearest = static_cast<Nearest*>(context);
    if (nearest->callback && implementation == nearest->best) {
        nearest->callback(
            isClassMethod, className, classLength, methodName, methodLength, implementation, nearest->context);
        nearest->callback = nullptr;
    }
}

} // namespace

int pmcrash_objc_find_method(const pmcrash_macho_t* image, pmcrash_objc_cache_t* cache, uint64_t address,
    pmcrash_objc_method_callback callback, void* context)
{
    Nearest nearest { address, false, 0, callback, context };
    int result = pmcrash_objc_parse(image, cache, keepNearest, &nearest);
    if (result != PMCRASH_ESUCCESS)
        return result;
    if (!nearest.found)
        return PMCRASH_ENOTFOUND;
    return pmcrash_objc_parse(image, cache, reportNearest, &nearest);
}

namespace {

struct Candidate {
    char name[256];
    bool found;
    uint64_t address;
};

void takeSymbol(uint64_t address, const char* name, void* context)
{
    auto* candidate = static_cast<Candidate*>(context);
    size_t i = 0;
    for (; name[i] != '\0' && i < 255; ++i)
        candidate->name[i] = name[i];
    candidate->name[i] = '\0';
    candidate->found = true;
    candidate->address = address;
}

void takeMethod(bool isClassMethod, const char* className, size_t classLength, const char* methodName,
    size_t methodLength, uint64_t implementation, void* context)
{
    auto* candidate = static_cast<Candidate*>(context);
    // A nearer symbol already held keeps its place.
    if (candidate->found && candidate->address > implementation)
        return;
    size_t at = 0;
    auto put = [&](const char* text, size_t length) {
        size_t i = 0;
        for (; i < length && at < 255; ++i)
            candidate->name[at++] = text[i];
        return i == length;
    };
    put(isClassMethod ? "+[" : "-[", 2);
    put(className, classLength);
    put(" ", 1);
    if (put(methodName, methodLength) && at < 255)
        candidate->name[at++] = ']';
    candidate->name[at] = '\0';
    candidate->found = true;
    candidate->address = implementation;
}

} // namespace

int pmcrash_find_symbol(const pmcrash_macho_t* image, uint32_t strategy, pmcrash_objc_cache_t* cache, uint64_t address,
    pmcrash_find_symbol_callback callback, void* context)
{
    Candidate candidate {};
    int symbolResult = PMCRASH_ENOTFOUND;
    if (strategy & 1)
        symbolResult = pmcrash_macho_find_symbol_by_pc(image, address, takeSymbol, &candidate);
    int methodResult = PMCRASH_ENOTFOUND;
    if (strategy & 2)
        methodResult = pmcrash_objc_find_method(image, cache, address, takeMethod, &candidate);
    if (symbolResult != PMCRASH_ESUCCESS && methodResult != PMCRASH_ESUCCESS)
        return symbolResult;
    if (!candidate.found)
        return PMCRASH_EINTERNAL;
    callback(candidate.address, candidate.name, context);
    return PMCRASH_ESUCCESS;
}
