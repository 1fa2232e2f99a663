#include "crashreporter/PMCrashLogWriter.h"

#include "crashreporter/PMCrashAsync.h"
#include "crashreporter/PMCrashFrameCursor.h"
#include "os/OSHost.h"
#include "os/OSThreads.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

// ---- buffered file

void pmcrash_async_file_init(pmcrash_async_file_t* file, int fd, uint64_t limit)
{
    file->fd = fd;
    file->limit = limit;
    file->total_bytes = 0;
    file->buflen = 0;
    file->refused = false;
}

ssize_t pmcrash_writen(int fd, const void* data, size_t length)
{
    const char* p = static_cast<const char*>(data);
    size_t left = length;
    while (left > 0) {
        ssize_t written = write(fd, p, left);
        if (written <= 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        p += written;
        left -= static_cast<size_t>(written);
    }
    return static_cast<ssize_t>(length);
}

bool pmcrash_async_file_write(pmcrash_async_file_t* file, const void* data, size_t length)
{
    // Once a write was refused, later ones are refused as well: appending after a gap would
    // leave a file that no longer decodes.
    if (file->refused)
        return false;
    if (file->limit > 0 && file->total_bytes + length > file->limit) {
        file->refused = true;
        return false;
    }
    file->total_bytes += length;
    if (file->buflen + length > sizeof(file->buffer)) {
        if (file->buflen > 0 && pmcrash_writen(file->fd, file->buffer, file->buflen) < 0)
            return false;
        file->buflen = 0;
    }
    if (length > sizeof(file->buffer))
        return pmcrash_writen(file->fd, data, length) >= 0;
    pmcrash_memcpy(file->buffer + file->buflen, data, length);
    file->buflen += static_cast<uint32_t>(length);
    return true;
}

bool pmcrash_async_file_flush(pmcrash_async_file_t* file)
{
    if (file->buflen == 0)
        return true;
    if (pmcrash_writen(file->fd, file->buffer, file->buflen) < 0)
        return false;
    file->buflen = 0;
    return true;
}

bool pmcrash_async_file_close(pmcrash_async_file_t* file)
{
    bool flushed = pmcrash_async_file_flush(file);
    return close(file->fd) == 0 && flushed;
}

// ---- field encoder

namespace {

size_t varint(uint8_t* out, uint64_t value)
{
    size_t n = 0;
    do {
        uint8_t byte = value & 0x7f;
        value >>= 7;
        if (value)
            byte |= 0x80;
        out[n++] = byte;
    } while (value);
    return n;
}

size_t emit(pmcrash_async_file_t* file, const void* data, size_t length)
{
    if (file)
        pmcrash_async_file_write(file, data, length);
    return length;
}

} // namespace

size_t pmcrash_writer_pack(pmcrash_async_file_t* file, uint32_t field, int type, const void* value)
{
    int wire;
    switch (type) {
    case PMCRASH_INT32:
    case PMCRASH_SINT32:
    case PMCRASH_INT64:
    case PMCRASH_SINT64:
    case PMCRASH_UINT32:
    case PMCRASH_UINT64:
    case PMCRASH_BOOL:
    case PMCRASH_ENUM:
        wire = 0;
        break;
    case PMCRASH_SFIXED64:
    case PMCRASH_FIXED64:
    case PMCRASH_DOUBLE:
        wire = 1;
        break;
    case PMCRASH_STRING:
    case PMCRASH_BYTES:
    case PMCRASH_MESSAGE:
        wire = 2;
        break;
    case PMCRASH_SFIXED32:
    case PMCRASH_FIXED32:
    case PMCRASH_FLOAT:
        wire = 5;
        break;
    default:
        abort();
    }
    uint8_t head[32];
    size_t n = varint(head, (uint64_t(field) << 3) | uint64_t(wire));
    switch (type) {
    case PMCRASH_INT32: {
        int32_t v;
        pmcrash_memcpy(&v, value, 4);
        n += varint(head + n, static_cast<uint64_t>(static_cast<int64_t>(v)));
        break;
    }
    case PMCRASH_SINT32: {
        int32_t v;
        pmcrash_memcpy(&v, value, 4);
        n += varint(head + n, (uint32_t(v) << 1) ^ uint32_t(v >> 31));
        break;
    }
    case PMCRASH_SINT64: {
        int64_t v;
        pmcrash_memcpy(&v, value, 8);
        n += varint(head + n, (uint64_t(v) << 1) ^ uint64_t(v >> 63));
        break;
    }
    case PMCRASH_INT64:
    case PMCRASH_UINT64: {
        uint64_t v;
        pmcrash_memcpy(&v, value, 8);
        n += varint(head + n, v);
        break;
    }
    case PMCRASH_UINT32:
    case PMCRASH_ENUM:
    case PMCRASH_MESSAGE: {
        uint32_t v;
        pmcrash_memcpy(&v, value, 4);
        n += varint(head + n, v);
        break;
    }
    case PMCRASH_BOOL:
        head[n++] = *static_cast<const uint8_t*>(value) ? 1 : 0;
        break;
    case PMCRASH_SFIXED32:
    case PMCRASH_FIXED32:
    case PMCRASH_FLOAT:
        pmcrash_memcpy(head + n, value, 4); // little-endian host
        n += 4;
        break;
    case PMCRASH_SFIXED64:
    case PMCRASH_FIXED64:
    case PMCRASH_DOUBLE:
        pmcrash_memcpy(head + n, value, 8);
        n += 8;
        break;
    case PMCRASH_STRING: {
        const char* s = static_cast<const char*>(value);
        size_t length = pmcrash_strlen(s);
        n += varint(head + n, length);
        emit(file, head, n);
        return n + emit(file, s, length);
    }
    case PMCRASH_BYTES: {
        const auto* bytes = static_cast<const pmcrash_bytes_t*>(value);
        n += varint(head + n, bytes->length);
        emit(file, head, n);
        return n + emit(file, bytes->data, bytes->length);
    }
    }
    return emit(file, head, n);
}

// ---- signal names

const char* pmcrash_signal_name(int signal)
{
    static const struct {
        int signal;
        const char* name;
    } kNames[] = { { 1, "SIGHUP" }, { 2, "SIGINT" }, { 3, "SIGQUIT" }, { 4, "SIGILL" }, { 5, "SIGTRAP" },
        { 6, "SIGABRT" }, { 6, "SIGIOT" }, { 7, "SIGEMT" }, { 8, "SIGFPE" }, { 9, "SIGKILL" }, { 10, "SIGBUS" },
        { 11, "SIGSEGV" }, { 12, "SIGSYS" }, { 13, "SIGPIPE" }, { 14, "SIGALRM" }, { 15, "SIGTERM" }, { 16, "SIGURG" },
        { 17, "SIGSTOP" }, { 18, "SIGTSTP" }, { 19, "SIGCONT" }, { 20, "SIGCHLD" }, { 21, "SIGTTIN" },
        { 22, "SIGTTOU" }, { 23, "SIGIO" }, { 24, "SIGXCPU" }, { 25, "SIGXFSZ" }, { 26, "SIGVTALRM" },
        { 27, "SIGPROF" }, { 28, "SIGWINCH" }, { 29, "SIGINFO" }, { 30, "SIGUSR1" }, { 31, "SIGUSR2" } };
    for (const auto& row : kNames) {
        if (row.signal == signal)
            return row.name;
    }
    return nullptr;
}

const char* pmcrash_signal_code_name(int signal, int code)
{
    static const struct {
        int signal;
        int code;
        const char* name;
    } kCodes[] = { { 4, 0, "ILL_NOOP" }, { 4, 1, "ILL_ILLOPC" }, { 4, 2, "ILL_ILLTRP" }, { 4, 3, "ILL_PRVOPC" },
        { 4, 4, "ILL_ILLOPN" }, { 4, 5, "ILL_ILLADR" }, { 4, 6, "ILL_PRVREG" }, { 4, 7, "ILL_COPROC" },
        { 4, 8, "ILL_BADSTK" }, { 8, 0, "FPE_NOOP" }, { 8, 1, "FPE_FLTDIV" }, { 8, 2, "FPE_FLTOVF" },
        { 8, 3, "FPE_FLTUND" }, { 8, 4, "FPE_FLTRES" }, { 8, 5, "FPE_FLTINV" }, { 8, 6, "FPE_FLTSUB" },
        { 8, 7, "FPE_INTDIV" }, { 8, 8, "FPE_INTOVF" }, { 11, 0, "SEGV_NOOP" }, { 11, 1, "SEGV_MAPERR" },
        { 11, 2, "SEGV_ACCERR" }, { 10, 0, "BUS_NOOP" }, { 10, 1, "BUS_ADRALN" }, { 10, 2, "BUS_ADRERR" },
        { 10, 3, "BUS_OBJERR" }, { 5, 1, "TRAP_BRKPT" }, { 5, 2, "TRAP_TRACE" }, { 6, 0, "#0" } };
    for (const auto& row : kCodes) {
        if (row.signal == signal && row.code == code)
            return row.name;
    }
    return nullptr;
}

// ---- writer state

namespace {

char* copyString(const std::string& s)
{
    return strdup(s.c_str());
}

void fillRandom(uint8_t* bytes, size_t length)
{
    int fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    bool ok = fd >= 0 && read(fd, bytes, length) == static_cast<ssize_t>(length);
    if (fd >= 0)
        close(fd);
    if (!ok) {
        uint64_t seed = static_cast<uint64_t>(time(nullptr)) ^ static_cast<uint64_t>(getpid()) << 32;
        for (size_t i = 0; i < length; ++i) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            bytes[i] = static_cast<uint8_t>(seed >> 56);
        }
    }
    // RFC 4122 version 4 layout.
    bytes[6] = (bytes[6] & 0x0f) | 0x40;
    bytes[8] = (bytes[8] & 0x3f) | 0x80;
}

} // namespace

int pmcrash_log_writer_init(
    pmcrash_log_writer_t* writer, const char* identifier, const char* version, uint32_t strategy, bool userRequested)
{
    std::memset(writer, 0, sizeof(*writer));
    writer->symbol_strategy = strategy;
    writer->user_requested = userRequested;
    fillRandom(writer->uuid, sizeof(writer->uuid));
    writer->app_identifier = strdup(identifier ? identifier : "");
    writer->app_version = strdup(version ? version : "");

    auto process = vxos::processRecord(getpid());
    if (!process)
        return PMCRASH_EINVAL;
    writer->process_id = process->processID;
    writer->process_name = copyString(process->name);
    writer->start_time = process->startSeconds;
    std::string path = vxos::executablePath();
    if (!path.empty())
        writer->process_path = copyString(path);
    writer->parent_process_id = process->parentProcessID;
    if (auto parent = vxos::processRecord(process->parentProcessID))
        writer->parent_process_name = copyString(parent->name);

    writer->machine_model = copyString(vxos::machineModel());
    writer->cpu_type = PMCRASH_CPU_X86_64;
    writer->cpu_subtype = 3;
    writer->physical_cpus = vxos::physicalProcessorCount();
    writer->logical_cpus = vxos::logicalProcessorCount();
    writer->native = true;
    std::string build = vxos::kernelRelease();
    if (!build.empty())
        writer->os_build = copyString(build);
    writer->system_version = copyString(vxos::systemVersion());
    std::atomic_thread_fence(std::memory_order_seq_cst);
    return PMCRASH_ESUCCESS;
}

void pmcrash_log_writer_set_exception(
    pmcrash_log_writer_t* writer, const char* name, const char* reason, const uint64_t* addresses, uint32_t count)
{
    if (writer->uncaught_exception.has_exception) {
        fprintf(stderr, "pmcrash: assertion failed: writer->uncaught_exception.has_exception == false\n");
        abort();
    }
    writer->uncaught_exception.has_exception = true;
    writer->uncaught_exception.name = strdup(name ? name : "");
    writer->uncaught_exception.reason = strdup(reason ? reason : "");
    if (count > 0) {
        writer->uncaught_exception.addresses = static_cast<uint64_t*>(calloc(count, sizeof(uint64_t)));
        if (writer->uncaught_exception.addresses) {
            for (uint32_t i = 0; i < count; ++i)
                writer->uncaught_exception.addresses[i] = addresses[i];
            writer->uncaught_exception.address_count = count;
        }
    }
    std::atomic_thread_fence(std::memory_order_seq_cst);
}

int pmcrash_log_writer_close(pmcrash_log_writer_t*)
{
    return PMCRASH_ESUCCESS;
}

void pmcrash_log_writer_free(pmcrash_log_writer_t* writer)
{
    char** strings[] = { &writer->system_version, &writer->os_build, &writer->machine_model, &writer->app_identifier,
        &writer->app_version, &writer->process_name, &writer->process_path, &writer->parent_process_name,
        &writer->uncaught_exception.name, &writer->uncaught_exception.reason };
    for (char** s : strings) {
        free(*s);
        *s = nullptr;
    }
    free(writer->uncaught_exception.addresses);
    writer->uncaught_exception.addresses = nullptr;
    writer->uncaught_exception.address_count = 0;
    writer->uncaught_exception.has_exception = false;
}

// ---- report writing (signal-safe from here on)

namespace {

using File = pmcrash_async_file_t;

// Writes a sub-message: its length by a dry run of `body`, then tag and length, then the body.
template <typename Body> size_t packMessage(File* file, uint32_t field, Body&& body)
{
    uint32_t length = static_cast<uint32_t>(body(nullptr));
    size_t n = pmcrash_writer_pack(file, field, PMCRASH_MESSAGE, &length);
    if (file)
        body(file);
    return n + length;
}

size_t packString(File* file, uint32_t field, const char* s)
{
    return pmcrash_writer_pack(file, field, PMCRASH_STRING, s);
}
size_t packU64(File* file, uint32_t field, uint64_t v)
{
    return pmcrash_writer_pack(file, field, PMCRASH_UINT64, &v);
}
size_t packU32(File* file, uint32_t field, uint32_t v)
{
    return pmcrash_writer_pack(file, field, PMCRASH_UINT32, &v);
}
size_t packI64(File* file, uint32_t field, int64_t v)
{
    return pmcrash_writer_pack(file, field, PMCRASH_INT64, &v);
}
size_t packEnum(File* file, uint32_t field, uint32_t v)
{
    return pmcrash_writer_pack(file, field, PMCRASH_ENUM, &v);
}
size_t packBool(File* file, uint32_t field, bool v)
{
    uint8_t b = v ? 1 : 0;
    return pmcrash_writer_pack(file, field, PMCRASH_BOOL, &b);
}

struct SymbolFound {
    bool found;
    uint64_t start;
    char name[256];
};

void symbolCallback(uint64_t start, const char* name, void* context)
{
    auto* found = static_cast<SymbolFound*>(context);
    found->found = true;
    found->start = start;
    size_t i = 0;
    for (; name[i] != '\0' && i < sizeof(found->name) - 1; ++i)
        found->name[i] = name[i];
    found->name[i] = '\0';
}

struct WriteContext {
    pmcrash_log_writer_t* writer;
    pmcrash_image_list_t* images;
};

size_t packFrame(File* file, uint32_t field, const WriteContext& ctx, uint64_t pc)
{
    SymbolFound symbol {};
    if (ctx.writer->symbol_strategy != 0 && ctx.images) {
        if (pmcrash_image_t* image = pmcrash_image_list_image_for_address(ctx.images, pc)) {
            // Symbol tables (strategy bit 1) are the dynamic symbols of ELF images; the runtime
            // metadata of strategy bit 2 has no counterpart in ELF images.
            if (ctx.writer->symbol_strategy & 1)
                vxos::elfFindSymbol(&image->elf, pc, symbolCallback, &symbol);
        }
    }
    return packMessage(file, field, [&](File* f) {
        size_t n = packU64(f, 3, pc);
        if (symbol.found) {
            n += packMessage(
                f, 6, [&](File* g) { return packString(g, 1, symbol.name) + packU64(g, 2, symbol.start); });
        }
        return n;
    });
}

// One thread; at most `frameCap` frames.
size_t packThread(File* file, const WriteContext& ctx, uint32_t number, bool crashed,
    const pmcrash_thread_state_t* state, uint32_t frameCap)
{
    return packMessage(file, 3, [&](File* f) {
        size_t n = packU32(f, 1, number) + packBool(f, 3, crashed);
        if (!state)
            return n;
        pmcrash_frame_cursor_t cursor;
        if (pmcrash_frame_cursor_init(&cursor, state, ctx.images) != PMCRASH_FRAME_ESUCCESS)
            return n;
        if (pmcrash_frame_cursor_next(&cursor) != PMCRASH_FRAME_ESUCCESS)
            return n;
        if (crashed) {
            int count = pmcrash_frame_cursor_get_regcount(&cursor);
            for (int i = 0; i < count; ++i) {
                uint64_t value = 0;
                if (pmcrash_frame_cursor_get_reg(&cursor, i, &value) != PMCRASH_FRAME_ESUCCESS)
                    value = 0;
                const char* name = pmcrash_frame_cursor_get_regname(&cursor, i);
                n += packMessage(f, 4, [&](File* g) { return packString(g, 1, name) + packU64(g, 2, value); });
            }
        }
        for (uint32_t index = 0; index < frameCap && index < PMCRASH_MAX_FRAMES; ++index) {
            uint64_t pc;
            if (pmcrash_frame_cursor_get_reg(&cursor, PMCRASH_REG_IP, &pc) != PMCRASH_FRAME_ESUCCESS)
                break;
            n += packFrame(f, 2, ctx, pc);
            if (pmcrash_frame_cursor_next(&cursor) != PMCRASH_FRAME_ESUCCESS)
                break;
        }
        pmcrash_frame_cursor_free(&cursor);
        return n;
    });
}

size_t packImage(File* file, const pmcrash_image_t* image)
{
    return packMessage(file, 4, [&](File* f) {
        size_t n = packU64(f, 2, image->elf.textSize) + packU64(f, 1, image->elf.headerAddress)
            + packString(f, 3, image->path);
        if (image->elf.buildIdLength > 0) {
            pmcrash_bytes_t uuid { image->elf.buildIdLength, image->elf.buildId };
            n += pmcrash_writer_pack(f, 4, PMCRASH_BYTES, &uuid);
        }
        n += packMessage(f, 5, [&](File* g) {
            return packEnum(g, 1, 1) + packU64(g, 2, static_cast<uint32_t>(image->elf.cpuType))
                + packU64(g, 3, static_cast<uint32_t>(image->elf.cpuSubtype));
        });
        return n;
    });
}

size_t packException(File* file, const WriteContext& ctx)
{
    const auto& exception = ctx.writer->uncaught_exception;
    return packMessage(file, 5, [&](File* f) {
        size_t n = packString(f, 1, exception.name) + packString(f, 2, exception.reason);
        for (uint32_t i = 0; i < exception.address_count && i < PMCRASH_MAX_FRAMES; ++i)
            n += packFrame(f, 3, ctx, exception.addresses[i]);
        return n;
    });
}

void formatNumber(char* out, size_t size, int value)
{
    // "#%d" into a buffer of `size` bytes, cut to fit.
    char digits[16];
    int count = 0;
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    size_t at = 0;
    auto put = [&](char c) {
        if (at + 1 < size)
            out[at++] = c;
    };
    put('#');
    if (value < 0)
        put('-');
    while (count > 0)
        put(digits[--count]);
    out[at] = '\0';
}

size_t packSignal(File* file, const pmcrash_signal_info_t* signal)
{
    return packMessage(file, 6, [&](File* f) {
        char nameBuffer[10];
        char codeBuffer[10];
        const char* name = pmcrash_signal_name(signal->signo);
        if (!name) {
            formatNumber(nameBuffer, sizeof(nameBuffer), signal->signo);
            name = nameBuffer;
        }
        const char* code = pmcrash_signal_code_name(signal->signo, signal->code);
        if (!code) {
            formatNumber(codeBuffer, sizeof(codeBuffer), signal->code);
            code = codeBuffer;
        }
        size_t n = packString(f, 1, name) + packString(f, 2, code) + packU64(f, 3, signal->address);
        if (signal->mach) {
            n += packMessage(f, 4, [&](File* g) {
                size_t m = packU64(g, 1, static_cast<uint64_t>(static_cast<int64_t>(signal->mach->type)));
                for (uint32_t i = 0; i < signal->mach->code_count; ++i)
                    m += packU64(g, 2, signal->mach->codes[i]);
                return m;
            });
        }
        return n;
    });
}

struct ThreadEntry {
    pid_t tid;
    bool hasState;
    pmcrash_thread_state_t state;
};

} // namespace

int pmcrash_log_writer_write(pmcrash_log_writer_t* writer, pid_t crashedThread, pmcrash_image_list_t* images,
    File* file, const pmcrash_signal_info_t* signal, const pmcrash_thread_state_t* currentState)
{
    pid_t tids[vxos::kMaxThreads];
    int threadCount = vxos::listThreads(tids, vxos::kMaxThreads);
    if (threadCount < 0)
        threadCount = 0;
    pid_t self = vxos::currentThreadId();
    bool suspended = vxos::suspendThreads(tids, threadCount);

    WriteContext ctx { writer, images };
    if (images)
        pmcrash_image_list_set_reading(images, true);

    static const char kMagic[8] = { 'p', 'm', 'c', 'r', 'a', 's', 'h', 1 };
    pmcrash_async_file_write(file, kMagic, sizeof(kMagic));

    packMessage(file, 9, [&](File* f) {
        pmcrash_bytes_t uuid { 16, writer->uuid };
        return packBool(f, 1, writer->user_requested) + pmcrash_writer_pack(f, 2, PMCRASH_BYTES, &uuid);
    });
    // Read once: the dry run and the write must produce the same bytes.
    time_t now = time(nullptr);
    int64_t timestamp = now == static_cast<time_t>(-1) ? 0 : static_cast<int64_t>(now);
    packMessage(file, 1, [&](File* f) {
        size_t n = packEnum(f, 1, 1) + packString(f, 2, writer->system_version ? writer->system_version : "");
        if (writer->os_build)
            n += packString(f, 5, writer->os_build);
        return n + packEnum(f, 3, 1) + packI64(f, 4, timestamp);
    });
    packMessage(file, 8, [&](File* f) {
        size_t n = 0;
        if (writer->machine_model)
            n += packString(f, 1, writer->machine_model);
        n += packMessage(f, 2, [&](File* g) {
            return packEnum(g, 1, 1) + packU64(g, 2, static_cast<uint64_t>(writer->cpu_type))
                + packU64(g, 3, static_cast<uint64_t>(writer->cpu_subtype));
        });
        return n + packU32(f, 3, writer->physical_cpus) + packU32(f, 4, writer->logical_cpus);
    });
    packMessage(file, 2, [&](File* f) {
        return packString(f, 1, writer->app_identifier ? writer->app_identifier : "")
            + packString(f, 2, writer->app_version ? writer->app_version : "");
    });
    packMessage(file, 7, [&](File* f) {
        size_t n = 0;
        if (writer->process_name)
            n += packString(f, 1, writer->process_name);
        n += packU32(f, 2, static_cast<uint32_t>(writer->process_id));
        if (writer->process_path)
            n += packString(f, 3, writer->process_path);
        if (writer->parent_process_name)
            n += packString(f, 4, writer->parent_process_name);
        n += packU32(f, 5, static_cast<uint32_t>(writer->parent_process_id)) + packBool(f, 6, writer->native)
            + packU64(f, 7, static_cast<uint64_t>(writer->start_time));
        return n;
    });

    // What must follow the threads and images, so it is kept out of their budget.
    size_t tail
        = (writer->uncaught_exception.has_exception ? packException(nullptr, ctx) : 0) + packSignal(nullptr, signal);
    size_t imagesSize = 0;
    if (images) {
        for (auto* image = pmcrash_image_list_next(images, nullptr); image;
             image = pmcrash_image_list_next(images, image))
            imagesSize += packImage(nullptr, image);
    }
    auto remaining = [&]() -> uint64_t {
        if (file->limit == 0)
            return UINT64_MAX;
        uint64_t used = file->total_bytes + tail;
        return used >= file->limit ? 0 : file->limit - used;
    };
    uint64_t available = remaining();
    // Threads may take the room the images leave, but at least half of what is available, so
    // that both sections keep their first entries.
    uint64_t imageReserve = available == UINT64_MAX ? 0 : (imagesSize < available / 2 ? imagesSize : available / 2);

    uint32_t number = 0;
    for (int i = 0; i < threadCount; ++i) {
        pid_t tid = tids[i];
        ThreadEntry entry { tid, false, {} };
        if (tid == self) {
            if (!currentState)
                continue;
            entry.hasState = true;
            pmcrash_thread_state_copy(&entry.state, currentState);
        } else {
            uint64_t registers[vxos::kX86RegisterCount];
            if (suspended && vxos::suspendedThreadRegisters(tid, registers)) {
                entry.hasState = true;
                pmcrash_thread_state_from_x86_registers(&entry.state, registers);
            }
        }
        bool crashed = tid == crashedThread;
        uint64_t room = remaining();
        room = room > imageReserve ? room - imageReserve : 0;
        uint32_t cap = PMCRASH_MAX_FRAMES;
        size_t size = packThread(nullptr, ctx, number, crashed, entry.hasState ? &entry.state : nullptr, cap);
        // Too big: drop trailing frames, halving until the thread fits.
        while (size > room && cap > 0) {
            cap /= 2;
            size = packThread(nullptr, ctx, number, crashed, entry.hasState ? &entry.state : nullptr, cap);
        }
        if (size > room)
            break; // no room for even the bare thread: drop it and the rest
        packThread(file, ctx, number, crashed, entry.hasState ? &entry.state : nullptr, cap);
        ++number;
    }

    if (images) {
        for (auto* image = pmcrash_image_list_next(images, nullptr); image;
             image = pmcrash_image_list_next(images, image)) {
            if (packImage(nullptr, image) > remaining())
                break;
            packImage(file, image);
        }
    }
    if (writer->uncaught_exception.has_exception)
        packException(file, ctx);
    packSignal(file, signal);

    if (images)
        pmcrash_image_list_set_reading(images, false);
    if (suspended)
        vxos::resumeThreads();
    return PMCRASH_ESUCCESS;
}
