#include <gtest/gtest.h>

#include "dsp/VectorMath.h"
#include "FloatBits.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace
{
    using floatbits::fromBits;
    using floatbits::sameResult;

    using ArrayForm = void (*) (const float*, float*, int);

    /** Every input whose result differs from the library's, as a message naming the first few. */
    std::string mismatches (const char* name, ArrayForm form, const std::function<float (float)>& library,
                            const std::vector<float>& in)
    {
        std::vector<float> out (in.size());
        form (in.data(), out.data(), (int) in.size());

        std::string report;
        int count = 0;
        for (size_t i = 0; i < in.size(); ++i)
        {
            const float expected = library (in[i]);
            if (! sameResult (expected, out[i]) && count++ < 5)
                report += juce::String::formatted ("%s (%a): %a, expected %a\n", name, in[i], out[i], expected).toStdString();
        }
        return report;
    }

    /** A stride through all 2^32 bit patterns, every float near the bit patterns where the
        library changes its path, and every fifth float of |x| in [lo, hi), where the effects'
        arguments live. */
    std::vector<float> sweep (std::initializer_list<std::uint32_t> edges, float lo, float hi)
    {
        std::vector<float> in;
        for (std::uint64_t u = 0; u <= 0xffffffffu; u += 251)
            in.push_back (fromBits ((std::uint32_t) u));

        for (auto edge : edges)
            for (std::uint32_t sign : { 0u, 0x80000000u })
                for (std::uint32_t d = 0; d < 4096; ++d)
                    in.push_back (fromBits (((edge - 2048 + d) & 0x7fffffffu) | sign));

        std::uint32_t from, to;
        std::memcpy (&from, &lo, sizeof from);
        std::memcpy (&to, &hi, sizeof to);
        for (std::uint32_t u = from; u < to; u += 5)
            for (std::uint32_t sign : { 0u, 0x80000000u })
                in.push_back (fromBits (u | sign));

        for (float special : { 0.0f, -0.0f, std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                               std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::denorm_min(),
                               std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest() })
            in.push_back (special);
        return in;
    }
}

TEST (VectorMath, SinMatchesTheLibraryBitForBitWithAndWithoutFlushToZero)
{
    // 2^-12, pi/4 and 120 (where the library's paths change) and multiples of pi/4, where the
    // quadrant turns.
    const auto in = sweep ({ 0x39800000, 0x3f490fdb, 0x3f500000, 0x40490fdb, 0x40c90fdb, 0x41490fdb, 0x42f00000 }, 0.25f, 8.0f);
    const auto library = [] (float x) { return std::sin (x); };
    EXPECT_EQ (mismatches ("sin", dsp::sinEach, library, in), "");

    juce::ScopedNoDenormals noDenormals;
    EXPECT_EQ (mismatches ("sin", dsp::sinEach, library, in), "") << "under flush-to-zero";
}

TEST (VectorMath, PowersOfTenMatchTheLibraryBitForBitWithAndWithoutFlushToZero)
{
    // Near 1 (tiny exponents), and where the results near overflow and underflow leave the
    // fast path (|y log2 10| = 126: y about 37.9).
    const auto in = sweep ({ 0x33000000, 0x3f800000, 0x4217a000, 0x42180000, 0x42340000 }, 0.25f, 16.0f);
    const auto library = [] (float x) { return std::pow (10.0f, x); };
    EXPECT_EQ (mismatches ("pow10", dsp::exp10Each, library, in), "");

    juce::ScopedNoDenormals noDenormals;
    EXPECT_EQ (mismatches ("pow10", dsp::exp10Each, library, in), "") << "under flush-to-zero";
}

TEST (VectorMath, ArraysOfAnyLengthInPlaceAndTheFastFormsInUseWhereTheProcessorHasThem)
{
    // Lengths around the four-lane step, lanes that leave the fast path (200 for sin, 50 for
    // the power) among fast ones, the arrays overwritten in place and nothing past n touched.
    for (int n = 0; n < 11; ++n)
    {
        std::vector<float> original ((size_t) n);
        for (int i = 0; i < n; ++i)
            original[(size_t) i] = i == 2 ? 200.0f : (i == 3 ? 50.0f : 0.37f * (float) (i - 5));
        original.push_back (1.0e9f);

        auto sines = original, powers = original;
        dsp::sinEach (sines.data(), sines.data(), n);
        dsp::exp10Each (powers.data(), powers.data(), n);

        for (int i = 0; i < n; ++i)
        {
            EXPECT_TRUE (sameResult (sines[(size_t) i], std::sin (original[(size_t) i]))) << n << " values, lane " << i;
            EXPECT_TRUE (sameResult (powers[(size_t) i], std::pow (10.0f, original[(size_t) i]))) << n << " values, lane " << i;
        }
        EXPECT_EQ (sines.back(), 1.0e9f);
        EXPECT_EQ (powers.back(), 1.0e9f);
    }

   #if defined (__x86_64__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports ("avx2") && __builtin_cpu_supports ("fma"))
    {
        EXPECT_TRUE (dsp::vectorMathActive()) << "the C library's sin or pow no longer agrees with the four-lane forms";
    }
   #endif
}
