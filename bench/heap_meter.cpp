#include "heap_meter.h"

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__) || defined(_WIN32)
#define ORVOX_HEAP_METER 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVOX_HEAP_METER 0
#endif
#endif
#ifndef ORVOX_HEAP_METER
#define ORVOX_HEAP_METER 1
#endif

#if ORVOX_HEAP_METER
#include <malloc.h>

// glibc's own entry points; the definitions below take the public names, and
// the dynamic linker hands them to every library of the process.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

namespace {

// The benchmarks run on one thread; libtiff starts none.
std::int64_t held = 0;
std::int64_t peak = 0;
std::int64_t base = 0;

void* counted(void* block)
{
    if (block) {
        held += static_cast<std::int64_t>(malloc_usable_size(block));
        if (held > peak) peak = held;
    }
    return block;
}

void uncount(void* block)
{
    if (block) held -= static_cast<std::int64_t>(malloc_usable_size(block));
}

} // namespace

extern "C" {
void* malloc(std::size_t size) { return counted(__libc_malloc(size)); }
void* calloc(std::size_t count, std::size_t size) { return counted(__libc_calloc(count, size)); }
void* realloc(void* block, std::size_t size)
{
    uncount(block);
    void* moved = __libc_realloc(block, size);
    if (!moved && size != 0) return counted(block);  // the old block stays
    return counted(moved);
}
void free(void* block)
{
    uncount(block);
    __libc_free(block);
}
void* memalign(std::size_t alignment, std::size_t size) { return counted(__libc_memalign(alignment, size)); }
void* aligned_alloc(std::size_t alignment, std::size_t size) { return counted(__libc_memalign(alignment, size)); }
int posix_memalign(void** out, std::size_t alignment, std::size_t size)
{
    void* block = counted(__libc_memalign(alignment, size));
    if (!block) return 12;  // ENOMEM
    *out = block;
    return 0;
}
}

namespace orvox::bench {
bool heapMeterWorks() { return true; }
void resetHeapPeak() { peak = base = held; }
std::int64_t heapPeakSinceReset() { return peak - base; }
} // namespace orvox::bench

#else

namespace orvox::bench {
bool heapMeterWorks() { return false; }
void resetHeapPeak() {}
std::int64_t heapPeakSinceReset() { return -1; }
} // namespace orvox::bench

#endif
