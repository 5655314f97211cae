#include <gtest/gtest.h>

#include "dsp/VectorTanh.h"
#include "FloatBits.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace
{
    using floatbits::fromBits;
    using floatbits::sameResult;

    /** Every input that differs from std::tanh, as a message naming the first few. */
    std::string mismatches (const std::vector<float>& in)
    {
        std::vector<float> out (in.size());
        dsp::tanhEach (in.data(), out.data(), (int) in.size());

        // The four-lane form too, which processors without AVX2 run.
        std::vector<float> narrow (in.size());
        dsp::vectortanh::tanhArray<4> (in.data(), narrow.data(), (int) in.size());
        if (std::memcmp (narrow.data(), out.data(), out.size() * sizeof (float)) != 0)
            for (size_t i = 0; i < in.size(); ++i)
                if (! sameResult (narrow[i], std::tanh (in[i])))
                    return juce::String::formatted ("four lanes, tanh (%a): %a\n", in[i], narrow[i]).toStdString();

        std::string report;
        int count = 0;
        for (size_t i = 0; i < in.size(); ++i)
        {
            const float expected = std::tanh (in[i]);
            if (! sameResult (expected, out[i]) && count++ < 5)
                report += juce::String::formatted ("tanh (%a): %a, expected %a\n", in[i], out[i], expected).toStdString();
        }
        return report;
    }

    /** A stride through all 2^32 bit patterns, plus every float near the thresholds where the
        reduction and the formula change. */
    std::vector<float> sweep()
    {
        std::vector<float> in;
        for (std::uint64_t u = 0; u <= 0xffffffffu; u += 251)
            in.push_back (fromBits ((std::uint32_t) u));

        const std::uint32_t edges[] = { 0x24000000, 0x33000000, 0x3eb17218, 0x3f800000, 0x3F851592,
                                        0x41b00000, 0x7f800000 };
        for (auto edge : edges)
            for (std::uint32_t sign : { 0u, 0x80000000u })
                for (std::uint32_t d = 0; d < 4096; ++d)
                    in.push_back (fromBits (((edge - 2048 + d) & 0x7fffffffu) | sign));

        // Where the band drives and the residue stage live: every float of |x| in [0.25, 4).
        for (std::uint32_t u = 0x3e800000; u < 0x40800000; u += 3)
            in.push_back (fromBits (u));

        in.push_back (std::numeric_limits<float>::infinity());
        in.push_back (-std::numeric_limits<float>::infinity());
        in.push_back (std::numeric_limits<float>::quiet_NaN());
        in.push_back (-0.0f);
        return in;
    }
}

TEST (VectorTanh, MatchesTheLibraryTanhBitForBitWithAndWithoutFlushToZero)
{
    const auto in = sweep();
    EXPECT_EQ (mismatches (in), "");

    juce::ScopedNoDenormals noDenormals;
    EXPECT_EQ (mismatches (in), "") << "under flush-to-zero";
}

TEST (VectorTanh, ArraysOfAnyLengthAndInPlace)
{
    std::vector<float> values;
    for (int n = 0; n < 11; ++n)
    {
        values.assign ((size_t) n, 0.0f);
        for (int i = 0; i < n; ++i)
            values[(size_t) i] = 0.37f * (float) (i - 5);

        const auto original = values;
        dsp::tanhEach (values.data(), values.data(), n);

        for (int i = 0; i < n; ++i)
            EXPECT_TRUE (sameResult (values[(size_t) i], std::tanh (original[(size_t) i]))) << n << " values, lane " << i;
    }
}
