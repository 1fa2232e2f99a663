#include "crashreporter/PMCrashFrameCursor.h"

#include "crashreporter/PMCrashAsync.h"

const char* pmcrash_frame_strerror(int error)
{
    switch (error) {
    case PMCRASH_FRAME_ESUCCESS:
        return "No error";
    case PMCRASH_FRAME_EUNKNOWN:
        return "Unknown error";
    case PMCRASH_FRAME_ENOFRAME:
        return "No frames are available";
    case PMCRASH_FRAME_EBADFRAME:
        return "Corrupted frame";
    case PMCRASH_FRAME_ENOTSUP:
        return "Operation not supported";
    case PMCRASH_FRAME_EINVAL:
        return "Invalid argument";
    case PMCRASH_FRAME_EINTERNAL:
        return "Internal error";
    case PMCRASH_FRAME_EBADREG:
        return "Invalid register";
    default:
        return "Unhandled error code";
    }
}

namespace {
const pmcrash_frame_reader_t kReaders[] = { pmcrash_frame_read_fp };
} // namespace

int pmcrash_frame_cursor_init(
    pmcrash_frame_cursor_t* cursor, const pmcrash_thread_state_t* state, pmcrash_image_list_t* images)
{
    pmcrash_memset(cursor, 0, sizeof(*cursor));
    cursor->window.reset();
    cursor->image_list = images;
    cursor->depth = 0;
    pmcrash_thread_state_copy(&cursor->frame, state);
    return PMCRASH_FRAME_ESUCCESS;
}

int pmcrash_frame_cursor_next(pmcrash_frame_cursor_t* cursor)
{
    if (cursor->depth == 0) {
        cursor->depth = 1;
        return PMCRASH_FRAME_ESUCCESS;
    }
    pmcrash_thread_state_t next;
    int result = PMCRASH_FRAME_EUNKNOWN;
    // The record the frame-pointer reader uses lies at the current frame pointer.
    uint64_t record = pmcrash_thread_state_has_reg(&cursor->frame, PMCRASH_REG_FP)
        ? pmcrash_thread_state_get_reg(&cursor->frame, PMCRASH_REG_FP)
        : 0;
    for (auto reader : kReaders) {
        result = reader(cursor->image_list, &cursor->frame, cursor->depth >= 2 ? &cursor->prev_frame : nullptr, &next,
            &cursor->window);
        if (result == PMCRASH_FRAME_ESUCCESS)
            break;
    }
    auto usable = [](const pmcrash_thread_state_t* frame) {
        return pmcrash_thread_state_has_reg(frame, PMCRASH_REG_IP)
            && pmcrash_thread_state_get_reg(frame, PMCRASH_REG_IP) > 0x1000;
    };
    auto inImage = [cursor](const pmcrash_thread_state_t* frame) {
        return !cursor->image_list
            || pmcrash_image_list_image_for_address(
                cursor->image_list, pmcrash_thread_state_get_reg(frame, PMCRASH_REG_IP));
    };
    // A frame may stand in code built without frame pointers (the C library for abort and
    // raise, the C++ runtime while terminating), whose frame pointer register then holds
    // anything. Look for the nearest frame record further up the stack instead, so the walk
    // reaches the callers.
    if ((result != PMCRASH_FRAME_ESUCCESS || !usable(&next) || !inImage(&next))
        && pmcrash_frame_read_stack_scan(
               cursor->image_list, &cursor->frame, cursor->record_address, &next, &record, &cursor->window)
            == PMCRASH_FRAME_ESUCCESS)
        result = PMCRASH_FRAME_ESUCCESS;
    if (result != PMCRASH_FRAME_ESUCCESS)
        return result;
    if (!usable(&next))
        return PMCRASH_FRAME_ENOFRAME;
    pmcrash_thread_state_copy(&cursor->prev_frame, &cursor->frame);
    pmcrash_thread_state_copy(&cursor->frame, &next);
    cursor->record_address = record;
    cursor->depth += 1;
    return PMCRASH_FRAME_ESUCCESS;
}

int pmcrash_frame_cursor_get_reg(pmcrash_frame_cursor_t* cursor, int index, uint64_t* value)
{
    if (!pmcrash_thread_state_has_reg(&cursor->frame, index))
        return PMCRASH_FRAME_ENOTSUP;
    *value = pmcrash_thread_state_get_reg(&cursor->frame, index);
    return PMCRASH_FRAME_ESUCCESS;
}

const char* pmcrash_frame_cursor_get_regname(pmcrash_frame_cursor_t* cursor, int index)
{
    return pmcrash_thread_state_reg_name(&cursor->frame, index);
}

int pmcrash_frame_cursor_get_regcount(pmcrash_frame_cursor_t* cursor)
{
    return pmcrash_thread_state_reg_count(&cursor->frame);
}

void pmcrash_frame_cursor_free(pmcrash_frame_cursor_t*) { }

namespace {

// Reads stack memory through the walk's window when there is one.
bool readStack(vxos::MemoryWindow* window, uint64_t address, void* destination, size_t length)
{
    if (window)
        return window->read(static_cast<uintptr_t>(address), destination, length);
    return pmcrash_task_read_at(static_cast<uintptr_t>(address), 0, destination, length) == PMCRASH_ESUCCESS;
}

} // namespace

int pmcrash_frame_read_fp(pmcrash_image_list_t*, const pmcrash_thread_state_t* current,
    const pmcrash_thread_state_t* previous, pmcrash_thread_state_t* next, vxos::MemoryWindow* window)
{
    if (!pmcrash_thread_state_has_reg(current, PMCRASH_REG_FP))
        return PMCRASH_FRAME_EBADFRAME;
    uint64_t fp = pmcrash_thread_state_get_reg(current, PMCRASH_REG_FP);
    if (fp == 0)
        return PMCRASH_FRAME_ENOFRAME;
    if (previous && pmcrash_thread_state_has_reg(previous, PMCRASH_REG_FP)) {
        uint64_t previousFp = pmcrash_thread_state_get_reg(previous, PMCRASH_REG_FP);
        bool downward = pmcrash_thread_state_stack_direction(current) == 2;
        if (downward ? fp <= previousFp : fp >= previousFp)
            return PMCRASH_FRAME_EBADFRAME;
    }
    int width = pmcrash_thread_state_gpreg_size(current);
    uint64_t words[2] = { 0, 0 };
    if (width == 8) {
        if (!readStack(window, fp, words, 16))
            return PMCRASH_FRAME_EBADFRAME;
    } else {
        uint32_t narrow[2];
        if (!readStack(window, fp, narrow, 8))
            return PMCRASH_FRAME_EBADFRAME;
        words[0] = narrow[0];
        words[1] = narrow[1];
    }
    pmcrash_thread_state_copy(next, current);
    pmcrash_thread_state_clear_regs(next);
    pmcrash_thread_state_set_reg(next, PMCRASH_REG_FP, words[0]);
    pmcrash_thread_state_set_reg(next, PMCRASH_REG_IP, words[1]);
    return PMCRASH_FRAME_ESUCCESS;
}

int pmcrash_detail::captureTrampoline(const uint64_t* registers, void* context)
{
    auto* capture = static_cast<CaptureContext*>(context);
    pmcrash_thread_state_t state;
    pmcrash_thread_state_from_x86_registers(&state, registers);
    return capture->callback(&state, capture->context);
}

int pmcrash_frame_read_stack_scan(pmcrash_image_list_t* images, const pmcrash_thread_state_t* current,
    uint64_t recordAddress, pmcrash_thread_state_t* next, uint64_t* foundRecord, vxos::MemoryWindow* window)
{
    if (!images || pmcrash_thread_state_gpreg_size(current) != 8)
        return PMCRASH_FRAME_ENOTSUP;
    uint64_t start;
    if (pmcrash_thread_state_has_reg(current, PMCRASH_REG_SP))
        start = pmcrash_thread_state_get_reg(current, PMCRASH_REG_SP);
    else if (recordAddress != 0)
        start = recordAddress + 16; // just above the record that led here
    else
        return PMCRASH_FRAME_ENOTSUP;
    constexpr uint64_t kScanBytes = 16384;
    constexpr uint64_t kMaxFrameSize = 1 << 20;
    auto inImage
        = [images](uint64_t address) { return pmcrash_image_list_image_for_address(images, address) != nullptr; };
    // A record at `at` links on: its saved frame pointer is 0 (the outermost frame) or a record
    // further up whose return address lies in an image.
    auto linksOn = [&](uint64_t at, uint64_t savedFp) {
        if (savedFp == 0)
            return true;
        if (savedFp <= at || savedFp - at > kMaxFrameSize)
            return false;
        uint64_t outer[2];
        return readStack(window, savedFp, outer, sizeof(outer)) && inImage(outer[1]);
    };
    uint64_t base = start & ~uint64_t(7);
    for (uint64_t slot = base; slot - base < kScanBytes; slot += 8) {
        uint64_t record[2];
        if (!readStack(window, slot, record, sizeof(record)))
            return PMCRASH_FRAME_EBADFRAME;
        if (record[0] <= slot || record[0] - slot > kMaxFrameSize || record[1] <= 0x1000 || !inImage(record[1]))
            continue;
        uint64_t outer[2];
        if (!readStack(window, record[0], outer, sizeof(outer)))
            continue;
        if (outer[0] != 0 && (!inImage(outer[1]) || !linksOn(record[0], outer[0])))
            continue;
        pmcrash_thread_state_copy(next, current);
        pmcrash_thread_state_clear_regs(next);
        pmcrash_thread_state_set_reg(next, PMCRASH_REG_FP, record[0]);
        pmcrash_thread_state_set_reg(next, PMCRASH_REG_IP, record[1]);
        *foundRecord = slot;
        return PMCRASH_FRAME_ESUCCESS;
    }
    return PMCRASH_FRAME_EBADFRAME;
}
