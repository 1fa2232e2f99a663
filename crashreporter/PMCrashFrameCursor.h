#pragma once

#include "crashreporter/PMCrashImageList.h"
#include "crashreporter/PMCrashThreadState.h"
#include "os/OSMemory.h"
#include "os/OSRegisters.h"

// Walks a thread's stack frame by frame by following frame pointers. Signal-safe: memory is
// only read through calls that fail cleanly, nothing is allocated.

enum pmcrash_frame_error_t : int {
    PMCRASH_FRAME_ESUCCESS = 0,
    PMCRASH_FRAME_EUNKNOWN = 1,
    PMCRASH_FRAME_ENOFRAME = 2,
    PMCRASH_FRAME_EBADFRAME = 3,
    PMCRASH_FRAME_ENOTSUP = 4,
    PMCRASH_FRAME_EINVAL = 5,
    PMCRASH_FRAME_EINTERNAL = 6,
    PMCRASH_FRAME_EBADREG = 7,
};

const char* pmcrash_frame_strerror(int error);

struct pmcrash_frame_cursor_t {
    pmcrash_image_list_t* image_list;
    uint32_t depth;
    // Where the frame record of the current frame was read (0 for the first frame), so a
    // stack scan can resume above it.
    uint64_t record_address;
    pmcrash_thread_state_t prev_frame;
    pmcrash_thread_state_t frame;
    // The stack pages read so far in this walk: frame records and a scan read them from here.
    vxos::MemoryWindow window;
};

// `window` serves the reads of stack memory; null reads each word from the kernel.
using pmcrash_frame_reader_t = int (*)(pmcrash_image_list_t* images, const pmcrash_thread_state_t* current,
    const pmcrash_thread_state_t* previous, pmcrash_thread_state_t* next, vxos::MemoryWindow* window);

int pmcrash_frame_cursor_init(
    pmcrash_frame_cursor_t* cursor, const pmcrash_thread_state_t* state, pmcrash_image_list_t* images);
int pmcrash_frame_cursor_next(pmcrash_frame_cursor_t* cursor);
// PMCRASH_FRAME_ENOTSUP when the current frame has no value for the register.
int pmcrash_frame_cursor_get_reg(pmcrash_frame_cursor_t* cursor, int index, uint64_t* value);
const char* pmcrash_frame_cursor_get_regname(pmcrash_frame_cursor_t* cursor, int index);
int pmcrash_frame_cursor_get_regcount(pmcrash_frame_cursor_t* cursor);
void pmcrash_frame_cursor_free(pmcrash_frame_cursor_t* cursor);

// The frame-pointer reader: the frame record at the frame pointer holds the caller's frame
// pointer and the return address. The frame pointer must move strictly towards the stack's
// base; a frame record that does not (equal or reversed) is a corrupted frame, which keeps a
// self-referencing record from repeating.
int pmcrash_frame_read_fp(pmcrash_image_list_t* images, const pmcrash_thread_state_t* current,
    const pmcrash_thread_state_t* previous, pmcrash_thread_state_t* next, vxos::MemoryWindow* window);

// Recovery when the frame-pointer reader fails or leaves the loaded images: the nearest frame
// record above the stack pointer (or above the record the current frame came from) whose
// return address lies in a loaded image and whose saved frame pointer links on upwards through
// one more such record. Needs the image list. `window` as for the readers.
int pmcrash_frame_read_stack_scan(pmcrash_image_list_t* images, const pmcrash_thread_state_t* current,
    uint64_t recordAddress, pmcrash_thread_state_t* next, uint64_t* foundRecord, vxos::MemoryWindow* window);

using pmcrash_capture_callback_t = int (*)(const pmcrash_thread_state_t* state, void* context);

namespace pmcrash_detail {
struct CaptureContext {
    pmcrash_capture_callback_t callback;
    void* context;
};
int captureTrampoline(const uint64_t* registers, void* context);
} // namespace pmcrash_detail

// Signal-safe. Captures the calling thread's registers as they are right after this call (the
// routine is inlined so the captured pc lies in the caller) and calls `callback` with them.
[[gnu::always_inline]] inline int pmcrash_capture_current_thread(pmcrash_capture_callback_t callback, void* context)
{
    pmcrash_detail::CaptureContext capture { callback, context };
    return vxos_capture_context(pmcrash_detail::captureTrampoline, &capture);
}
