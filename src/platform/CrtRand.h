#pragma once

#include <cstdint>

// The randomised features were tuned against the Windows C runtime's generator: a 15-bit
// range (r / 32767 spans [0, 1]) and a fixed sequence per thread from seed 1. glibc's rand()
// has a 31-bit range and takes a process-wide lock, so it must never be called; this is the
// same linear congruential generator, lock-free and allocation-free, safe on the audio thread.
namespace platform
{
    inline constexpr int crtRandMax = 32767;

    inline thread_local std::uint32_t crtRandState = 1u;

    inline int crtRand() noexcept
    {
        crtRandState = crtRandState * 214013u + 2531011u;
        return (int) ((crtRandState >> 16) & 0x7fffu);
    }

    inline void crtSrand (unsigned int seed) noexcept { crtRandState = seed; }
}
