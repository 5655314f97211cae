#pragma once

// Helpers for the tests that compare vector forms with the C library bit for bit.

#include <cmath>
#include <cstdint>
#include <cstring>

namespace floatbits
{
    inline float fromBits (std::uint32_t u)
    {
        float f;
        std::memcpy (&f, &u, sizeof f);
        return f;
    }

    /** The same bits, or both NaN (whose payloads the library does not pin). */
    inline bool sameResult (float a, float b)
    {
        return (std::isnan (a) && std::isnan (b)) || std::memcmp (&a, &b, sizeof (float)) == 0;
    }
}
