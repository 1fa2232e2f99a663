#pragma once

#include "crashreporter/PMCrashImageList.h"
#include "crashreporter/PMCrashThreadState.h"

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

// The crash log writer. The state is prepared while the process is healthy
// (pmcrash_log_writer_init, not signal-safe); pmcrash_log_writer_write runs at crash time
// (signal-safe): it suspends the other threads, walks their stacks, names frames and streams
// "pmcrash", a version byte and one crash report message through a small buffered file, with
// its own field encoder and no heap memory.

// Buffered output with a size limit. Lives on the caller's stack. Signal-safe.
struct pmcrash_async_file_t {
    int fd;
    uint64_t limit; // 0: none
    uint64_t total_bytes;
    uint32_t buflen;
    bool refused; // a write was refused; every later write is refused too
    char buffer[256];
};

void pmcrash_async_file_init(pmcrash_async_file_t* file, int fd, uint64_t limit);
// Refuses the whole write (false) when it would take the file past its limit.
bool pmcrash_async_file_write(pmcrash_async_file_t* file, const void* data, size_t length);
bool pmcrash_async_file_flush(pmcrash_async_file_t* file);
bool pmcrash_async_file_close(pmcrash_async_file_t* file);
ssize_t pmcrash_writen(int fd, const void* data, size_t length);

// Field types of the encoder.
enum pmcrash_field_type_t : int {
    PMCRASH_INT32 = 0,
    PMCRASH_SINT32,
    PMCRASH_SFIXED32,
    PMCRASH_INT64,
    PMCRASH_SINT64,
    PMCRASH_SFIXED64,
    PMCRASH_UINT32,
    PMCRASH_FIXED32,
    PMCRASH_UINT64,
    PMCRASH_FIXED64,
    PMCRASH_FLOAT,
    PMCRASH_DOUBLE,
    PMCRASH_BOOL,
    PMCRASH_ENUM,
    PMCRASH_STRING,
    PMCRASH_BYTES,
    PMCRASH_MESSAGE,
};

struct pmcrash_bytes_t {
    uint32_t length;
    const void* data;
};

// Encodes one field (tag and payload) and appends it to `file`; with no file only counts.
// Returns the encoded size. For PMCRASH_MESSAGE the value is the body length (uint32_t); the
// body follows from the caller.
size_t pmcrash_writer_pack(pmcrash_async_file_t* file, uint32_t field, int type, const void* value);

const char* pmcrash_signal_name(int signal);
const char* pmcrash_signal_code_name(int signal, int code);

struct pmcrash_mach_info_t {
    int32_t type;
    const uint64_t* codes;
    uint32_t code_count;
};

struct pmcrash_signal_info_t {
    int32_t signo;
    int32_t code;
    uint64_t address;
    const pmcrash_mach_info_t* mach; // null when absent
};

constexpr uint32_t PMCRASH_MAX_FRAMES = 512;

struct pmcrash_log_writer_t {
    uint32_t symbol_strategy;
    bool user_requested;
    uint8_t uuid[16];
    char* system_version;
    char* os_build;
    char* machine_model;
    int64_t cpu_type;
    int64_t cpu_subtype;
    uint32_t physical_cpus;
    uint32_t logical_cpus;
    char* app_identifier;
    char* app_version;
    char* process_name;
    int32_t process_id;
    char* process_path;
    int64_t start_time;
    char* parent_process_name;
    int32_t parent_process_id;
    bool native;
    struct {
        bool has_exception;
        char* name;
        char* reason;
        uint64_t* addresses;
        uint32_t address_count;
    } uncaught_exception;
};

// Not signal-safe. PMCRASH_EINVAL (5) when the
// current process cannot be described.
int pmcrash_log_writer_init(
    pmcrash_log_writer_t* writer, const char* identifier, const char* version, uint32_t strategy, bool userRequested);
// Not signal-safe. Records an uncaught exception once per writer.
void pmcrash_log_writer_set_exception(
    pmcrash_log_writer_t* writer, const char* name, const char* reason, const uint64_t* addresses, uint32_t count);
// Signal-safe. `crashedThread` is a kernel thread id; `currentState` the calling thread's state
// or null (the calling thread is then left out). Returns 0.
int pmcrash_log_writer_write(pmcrash_log_writer_t* writer, pid_t crashedThread, pmcrash_image_list_t* images,
    pmcrash_async_file_t* file, const pmcrash_signal_info_t* signal, const pmcrash_thread_state_t* currentState);
int pmcrash_log_writer_close(pmcrash_log_writer_t* writer);
void pmcrash_log_writer_free(pmcrash_log_writer_t* writer);
