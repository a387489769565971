#include "ReportMemory.h"

#include <cstdlib> // defines __GLIBC__ where it applies

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace reportmemory {

void retainFreedMemory()
{
#ifdef __GLIBC__
    static const bool done = [] {
        mallopt(M_TOP_PAD, 64 << 20);
        mallopt(M_TRIM_THRESHOLD, 256 << 20);
        return true;
    }();
    (void)done;
#endif
}

void releaseFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace reportmemory
