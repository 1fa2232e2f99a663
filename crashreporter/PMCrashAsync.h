#pragma once

#include <cstddef>
#include <cstdint>

// Small async-signal-safe utilities shared by the whole crash reporter: error codes and their
// texts, memory reads that fail cleanly, byte-order tables and string helpers. Every function
// here may be called from a signal handler.

enum pmcrash_error_t : int {
    PMCRASH_ESUCCESS = 0,
    PMCRASH_EUNKNOWN = 1,
    PMCRASH_OUTPUT_ERR = 2,
    PMCRASH_ENOMEM = 3,
    PMCRASH_ENOTSUP = 4,
    PMCRASH_EINVAL = 5,
    PMCRASH_EINTERNAL = 6,
    PMCRASH_EACCESS = 7,
    PMCRASH_ENOTFOUND = 8,
    PMCRASH_EINVALID_DATA = 9,
};

const char* pmcrash_async_strerror(int error);

// Reads `length` bytes at `address` + `offset` of this process. PMCRASH_ENOMEM when the sum
// overflows or underflows, PMCRASH_ENOTFOUND when the memory is not readable.
int pmcrash_task_read_at(uintptr_t address, int64_t offset, void* destination, size_t length);

// address + offset without wrapping; false on overflow or underflow.
bool pmcrash_address_add(uintptr_t address, int64_t offset, uintptr_t* result);

struct pmcrash_byteorder_t {
    uint16_t (*swap16)(uint16_t);
    uint32_t (*swap32)(uint32_t);
    uint64_t (*swap64)(uint64_t);
};
const pmcrash_byteorder_t* pmcrash_byteorder_native();
const pmcrash_byteorder_t* pmcrash_byteorder_swapped();

int pmcrash_strcmp(const char* a, const char* b);
int pmcrash_strncmp(const char* a, const char* b, size_t n);
void* pmcrash_memcpy(void* destination, const void* source, size_t n);
void* pmcrash_memset(void* destination, int value, size_t n);
size_t pmcrash_strlen(const char* s);
