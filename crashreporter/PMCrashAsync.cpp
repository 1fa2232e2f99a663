#include "crashreporter/PMCrashAsync.h"

#include "os/OSMemory.h"

const char* pmcrash_async_strerror(int error)
{
    switch (error) {
    case PMCRASH_ESUCCESS:
        return "No error";
    case PMCRASH_EUNKNOWN:
        return "Unknown error";
    case PMCRASH_OUTPUT_ERR:
        return "Output file can not be opened (or written to)";
    case PMCRASH_ENOMEM:
        return "No memory available";
    case PMCRASH_ENOTSUP:
        return "Operation not supported";
    case PMCRASH_EINVAL:
        return "Invalid argument";
    case PMCRASH_EINTERNAL:
        return "Internal error";
    case PMCRASH_EACCESS:
        return "Access denied";
    case PMCRASH_ENOTFOUND:
        return "Not found";
    case PMCRASH_EINVALID_DATA:
        return "The input data is in an unknown or invalid format.";
    default:
        return "Unhandled error code";
    }
}

bool pmcrash_address_add(uintptr_t address, int64_t offset, uintptr_t* result)
{
    if (offset >= 0) {
        uintptr_t sum;
        if (__builtin_add_overflow(address, static_cast<uint64_t>(offset), &sum))
            return false;
        *result = sum;
        return true;
    }
    uint64_t magnitude = static_cast<uint64_t>(-(offset + 1)) + 1;
    if (magnitude > address)
        return false;
    *result = address - magnitude;
    return true;
}

int pmcrash_task_read_at(uintptr_t address, int64_t offset, void* destination, size_t length)
{
    uintptr_t at;
    if (!pmcrash_address_add(address, offset, &at))
        return PMCRASH_ENOMEM;
    return vxos::readMemory(at, destination, length) ? PMCRASH_ESUCCESS : PMCRASH_ENOTFOUND;
}

namespace {
uint16_t identity16(uint16_t v)
{
    return v;
}
uint32_t identity32(uint32_t v)
{
    return v;
}
uint64_t identity64(uint64_t v)
{
    return v;
}
uint16_t swap16(uint16_t v)
{
    return __builtin_bswap16(v);
}
uint32_t swap32(uint32_t v)
{
    return __builtin_bswap32(v);
}
uint64_t swap64(uint64_t v)
{
    return __builtin_bswap64(v);
}
const pmcrash_byteorder_t s_native { identity16, identity32, identity64 };
const pmcrash_byteorder_t s_swapped { swap16, swap32, swap64 };
} // namespace

const pmcrash_byteorder_t* pmcrash_byteorder_native()
{
    return &s_native;
}
const pmcrash_byteorder_t* pmcrash_byteorder_swapped()
{
    return &s_swapped;
}

int pmcrash_strcmp(const char* a, const char* b)
{
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
}

int pmcrash_strncmp(const char* a, const char* b, size_t n)
{
    for (; n > 0; --n, ++a, ++b) {
        if (*a != *b)
            return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
        if (*a == '\0')
            return 0;
    }
    return 0;
}

void* pmcrash_memcpy(void* destination, const void* source, size_t n)
{
    auto* d = static_cast<unsigned char*>(destination);
    const auto* s = static_cast<const unsigned char*>(source);
    for (size_t i = 0; i < n; ++i)
        d[i] = s[i];
    return destination;
}

void* pmcrash_memset(void* destination, int value, size_t n)
{
    auto* d = static_cast<unsigned char*>(destination);
    for (size_t i = 0; i < n; ++i)
        d[i] = static_cast<unsigned char>(value);
    return destination;
}

size_t pmcrash_strlen(const char* s)
{
    size_t n = 0;
    while (s[n] != '\0')
        ++n;
    return n;
}
