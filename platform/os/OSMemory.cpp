#include "os/OSMemory.h"

#include <atomic>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

namespace vxos {

namespace {
std::atomic<uint64_t> s_readCount { 0 };
} // namespace

uint64_t memoryReadCount()
{
    return s_readCount.load(std::memory_order_relaxed);
}

bool readMemory(uintptr_t address, void* destination, size_t length)
{
    if (length == 0)
        return true;
    if (address + length < address)
        return false;
    // process_vm_readv on ourselves goes through the kernel's user-copy path, so an unmapped
    // page gives EFAULT instead of a fault in this process.
    struct iovec local {
        destination, length
    };
    struct iovec remote {
        reinterpret_cast<void*>(address), length
    };
    s_readCount.fetch_add(1, std::memory_order_relaxed);
    long copied = syscall(SYS_process_vm_readv, static_cast<long>(syscall(SYS_getpid)), &local, 1UL, &remote, 1UL, 0UL);
    return copied == static_cast<long>(length);
}

bool isReadable(uintptr_t address, size_t length)
{
    unsigned char scratch[256];
    while (length > 0) {
        size_t chunk = length < sizeof(scratch) ? length : sizeof(scratch);
        // One byte per page is enough to prove the page readable.
        size_t pageRest = 4096 - (address & 4095);
        if (chunk > pageRest)
            chunk = pageRest;
        if (!readMemory(address, scratch, 1) || !readMemory(address + chunk - 1, scratch, 1))
            return false;
        address += chunk;
        length -= chunk;
    }
    return true;
}

void MemoryWindow::reset()
{
    for (Page& page : m_pages)
        page.loaded = false;
    m_next = 0;
    m_unreadable[0] = m_unreadable[1] = 1;
    m_nextUnreadable = 0;
}

bool MemoryWindow::read(uintptr_t address, void* destination, size_t length)
{
    uintptr_t base = address & ~uintptr_t(kPageSize - 1);
    if (length == 0 || address + length < address || address + length - base > kPageSize)
        return readMemory(address, destination, length); // empty, wrapping or across pages
    for (uintptr_t unreadable : m_unreadable) {
        if (unreadable == base)
            return false;
    }
    Page* page = nullptr;
    for (Page& candidate : m_pages) {
        if (candidate.loaded && candidate.base == base)
            page = &candidate;
    }
    if (!page) {
        Page& slot = m_pages[m_next];
        slot.loaded = false; // a failed read may have overwritten part of it
        if (!readMemory(base, slot.bytes, kPageSize)) {
            m_unreadable[m_nextUnreadable] = base;
            m_nextUnreadable = (m_nextUnreadable + 1) % 2;
            return false;
        }
        slot.base = base;
        slot.loaded = true;
        m_next = (m_next + 1) % 2;
        page = &slot;
    }
    const unsigned char* from = page->bytes + (address - base);
    auto* to = static_cast<unsigned char*>(destination);
    for (size_t i = 0; i < length; ++i)
        to[i] = from[i];
    return true;
}

} // namespace vxos
