// The local heap is the C heap: code that frees a LocalAlloc block with free(), or the other
// way round, keeps working. A block's size is its usable size (LocalSize), which Windows also
// allows to be larger than requested; zero-filling covers all of it.
#include <platform/winbase.h>

#include <cstdlib>
#include <cstring>
#include <malloc.h>

namespace {

// No device heap ever held this much; larger requests fail like an exhausted heap instead of
// reaching the host allocator's own limits (which abort under the sanitizers).
constexpr SIZE_T kLargestBlock = 0x7FFFFFFF;
constexpr UINT kKnownFlags = LMEM_MOVEABLE | LMEM_ZEROINIT;

} // namespace

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
    if (flags & ~kKnownFlags) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (bytes > kLargestBlock) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // A zero-byte request still gives a distinct block.
    SIZE_T n = bytes ? bytes : 1;
    // calloc hands a large block over as fresh zero pages instead of clearing it byte by
    // byte; the slack beyond the request is cleared too, as a block may grow into it.
    const bool zero = flags & LMEM_ZEROINIT;
    void* p = zero ? std::calloc(n, 1) : std::malloc(n);
    if (!p) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (zero) {
        const size_t usable = malloc_usable_size(p);
        if (usable > n)
            std::memset(static_cast<char*>(p) + n, 0, usable - n);
    }
    return p;
}

// Without LMEM_MOVEABLE a block may only change size where it lies, as on Windows.
HLOCAL LocalReAlloc(HLOCAL memory, SIZE_T bytes, UINT flags) {
    if (!memory || (flags & ~kKnownFlags)) {
        SetLastError(memory ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (bytes > kLargestBlock) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    SIZE_T old = malloc_usable_size(memory);
    SIZE_T n = bytes ? bytes : 1;
    if (n <= old)
        return memory;
    if (!(flags & LMEM_MOVEABLE)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    void* p = std::realloc(memory, n);
    if (!p) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (flags & LMEM_ZEROINIT)
        std::memset(static_cast<BYTE*>(p) + old, 0, malloc_usable_size(p) - old);
    return p;
}

HLOCAL LocalFree(HLOCAL memory) {
    std::free(memory);
    return nullptr;
}

SIZE_T LocalSize(HLOCAL memory) {
    if (!memory) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return malloc_usable_size(memory);
}
