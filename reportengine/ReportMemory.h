#pragma once

namespace reportmemory {

// Long reports allocate and free page-sized buffers over and over (Qt's PDF
// writer builds every page in a buffer that grows and is freed again). By
// default glibc hands such blocks back to the kernel and faults them in anew
// for the next page, which costs as much as drawing the page: keep them.
// Once per process.
void retainFreedMemory();
// Hands what a finished report freed back to the system.
void releaseFreedMemory();

} // namespace reportmemory
