// Large blocks of which only a part is in use at a time (the path search's
// visited grids): they live in their own pages, only the pages written are
// resident, and clearing them hands whole pages back to the system.
#pragma once

#include <cstddef>
#include <cstdint>

// A zeroed block of `size` bytes in pages of its own, not backed by huge
// pages (a huge page would make 2 MB resident for one byte written); nullptr
// when the system refuses.
std::uint8_t* allocateSparse(std::size_t size);
void freeSparse(std::uint8_t* block, std::size_t size);

// Sets `size` bytes from `bytes` to zero. The block must be private memory of
// this process (heap or anonymous mapping): handed-back pages read as zero.
void zeroAndRelease(std::uint8_t* bytes, std::size_t size);
