#include "support/RealtimeTrap.h"

#include <cstddef>
#include <cstdlib>
#include <dlfcn.h>
#include <new>
#include <pthread.h>

namespace
{
    thread_local int realtimeDepth = 0;
    thread_local testing_rt::Counts threadCounts;
}

namespace testing_rt
{
   #if TAVRO_NO_ALLOC_TRAP
    bool trapAvailable() noexcept { return false; }
   #else
    bool trapAvailable() noexcept { return true; }
   #endif

    RealtimeScope::RealtimeScope() noexcept : start (threadCounts) { ++realtimeDepth; }
    RealtimeScope::~RealtimeScope() { --realtimeDepth; }

    Counts RealtimeScope::counts() const noexcept
    {
        const auto now = threadCounts;
        return { now.allocations - start.allocations, now.releases - start.releases, now.locks - start.locks };
    }
}

#if ! TAVRO_NO_ALLOC_TRAP

namespace
{
    inline bool inRealtime() noexcept { return realtimeDepth > 0; }
}

extern "C"
{
    void* __libc_malloc (std::size_t);
    void* __libc_calloc (std::size_t, std::size_t);
    void* __libc_realloc (void*, std::size_t);
    void* __libc_memalign (std::size_t, std::size_t);
    void  __libc_free (void*);

    void* malloc (std::size_t size)
    {
        if (inRealtime()) ++threadCounts.allocations;
        return __libc_malloc (size);
    }

    void* calloc (std::size_t count, std::size_t size)
    {
        if (inRealtime()) ++threadCounts.allocations;
        return __libc_calloc (count, size);
    }

    void* realloc (void* pointer, std::size_t size)
    {
        if (inRealtime()) ++threadCounts.allocations;
        return __libc_realloc (pointer, size);
    }

    void free (void* pointer)
    {
        if (pointer != nullptr && inRealtime()) ++threadCounts.releases;
        __libc_free (pointer);
    }

    int posix_memalign (void** result, std::size_t alignment, std::size_t size)
    {
        if (inRealtime()) ++threadCounts.allocations;
        *result = __libc_memalign (alignment, size);
        return *result != nullptr ? 0 : 12; // ENOMEM
    }

    void* aligned_alloc (std::size_t alignment, std::size_t size)
    {
        if (inRealtime()) ++threadCounts.allocations;
        return __libc_memalign (alignment, size);
    }

    int pthread_mutex_lock (pthread_mutex_t* mutex)
    {
        using LockFn = int (*) (pthread_mutex_t*);
        static const auto realLock = reinterpret_cast<LockFn> (dlsym (RTLD_NEXT, "pthread_mutex_lock"));
        if (inRealtime()) ++threadCounts.locks;
        return realLock (mutex);
    }
}

// operator new/delete go through malloc/free above, so they are counted there.
void* operator new (std::size_t size)
{
    if (auto* p = malloc (size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void* operator new[] (std::size_t size) { return operator new (size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept { return malloc (size == 0 ? 1 : size); }
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept { return malloc (size == 0 ? 1 : size); }
void operator delete (void* p) noexcept { free (p); }
void operator delete[] (void* p) noexcept { free (p); }
void operator delete (void* p, std::size_t) noexcept { free (p); }
void operator delete[] (void* p, std::size_t) noexcept { free (p); }

#endif
