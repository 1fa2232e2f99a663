#include "os/OSMemory.h"

#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

namespace vxos {

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

} // namespace vxos
