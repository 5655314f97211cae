#pragma once

/** Linear interpolation between a ring's sample at `i` (0 <= i < size) and the one after it,
    wrapping to the start: the read every modulated line (chorus, pitch shifters, grains) shares. */
namespace dsp
{
    inline float lerpRing (const float* ring, int i, float frac, int size) noexcept
    {
        const int next = i + 1 == size ? 0 : i + 1;
        return (1.0f - frac) * ring[i] + frac * ring[next];
    }
}
