#include "core/memory.h"

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

std::uint8_t* allocateSparse(std::size_t size) {
    void* block = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) return nullptr;
    madvise(block, size, MADV_NOHUGEPAGE);
    return static_cast<std::uint8_t*>(block);
}

void freeSparse(std::uint8_t* block, std::size_t size) {
    if (block) munmap(block, size);
}

void zeroAndRelease(std::uint8_t* bytes, std::size_t size) {
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const std::uintptr_t start = std::uintptr_t(bytes), end = start + size;
    const std::uintptr_t firstPage = (start + page - 1) & ~(page - 1);
    const std::uintptr_t lastPage = end & ~(page - 1);
    if (firstPage >= lastPage) {
        std::memset(bytes, 0, size);
        return;
    }
    // The partial pages at both ends hold other data: those bytes are written.
    std::memset(bytes, 0, firstPage - start);
    std::memset(reinterpret_cast<void*>(lastPage), 0, end - lastPage);
    if (madvise(reinterpret_cast<void*>(firstPage), lastPage - firstPage, MADV_DONTNEED) != 0)
        std::memset(reinterpret_cast<void*>(firstPage), 0, lastPage - firstPage);
}
