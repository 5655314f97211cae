#include "dsp/VectorMath.h"

// The eight-lane tanh is always inlined into the one function built for AVX2, so no vector
// ever crosses a call boundary whose convention the warning is about.
#pragma GCC diagnostic ignored "-Wpsabi"
#include "dsp/VectorTanh.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#if defined (__x86_64__) && defined (__GNUC__) && ! defined (__clang__)
 #define TAVRO_VECTOR_MATH 1
 #include <immintrin.h>
 // Every fused step below is written out; the compiler must not fuse any other product and sum
 // in the functions built for FMA, or the results would leave the library's.
 #pragma GCC optimize ("fp-contract=off")
#else
 #define TAVRO_VECTOR_MATH 0
#endif

namespace dsp
{
    namespace
    {
        void sinPlain (const float* in, float* out, int n) noexcept
        {
            for (int i = 0; i < n; ++i)
                out[i] = std::sin (in[i]);
        }

        void exp10Plain (const float* in, float* out, int n) noexcept
        {
            for (int i = 0; i < n; ++i)
                out[i] = std::pow (10.0f, in[i]);
        }

       #if TAVRO_VECTOR_MATH
        #define TAVRO_FMA __attribute__ ((target ("avx2,fma")))

        //==============================================================================
        // pow (10, y) = 2^(y log2 10): k/32 + r split, 2^(k/32) from the table, 2^r by a cubic.

        // 2^(i/32) with i << 47 taken off its bits, so adding k << 47 gives 2^(k/32).
        alignas (32) const std::uint64_t exp2Table[32] = {
            0x3ff0000000000000ull, 0x3fefd9b0d3158574ull, 0x3fefb5586cf9890full, 0x3fef9301d0125b51ull,
            0x3fef72b83c7d517bull, 0x3fef54873168b9aaull, 0x3fef387a6e756238ull, 0x3fef1e9df51fdee1ull,
            0x3fef06fe0a31b715ull, 0x3feef1a7373aa9cbull, 0x3feedea64c123422ull, 0x3feece086061892dull,
            0x3feebfdad5362a27ull, 0x3feeb42b569d4f82ull, 0x3feeab07dd485429ull, 0x3feea47eb03a5585ull,
            0x3feea09e667f3bcdull, 0x3fee9f75e8ec5f74ull, 0x3feea11473eb0187ull, 0x3feea589994cce13ull,
            0x3feeace5422aa0dbull, 0x3feeb737b0cdc5e5ull, 0x3feec49182a3f090ull, 0x3feed503b23e255dull,
            0x3feee89f995ad3adull, 0x3feeff76f2fb5e47ull, 0x3fef199bdd85529cull, 0x3fef3720dcef9069ull,
            0x3fef5818dcfba487ull, 0x3fef7c97337b9b5full, 0x3fefa4afa2a490daull, 0x3fefd0765b6e4540ull
        };

        // log2 (10) as the library's own logarithm step gives it (a few thousand ulps from the
        // true value, within its error budget); found by comparing against the library over
        // every float.
        constexpr double log2Of10 = 0x1.a934f0979b22dp+1;

        /** Four powers of ten; `fallback` gets a bit per lane the caller must compute itself. */
        TAVRO_FMA inline __m128 exp10Lanes (__m128 y, int& fallback) noexcept
        {
            // Zero, infinities and NaN: 2 bits - 1 at or above 2 * 0x7f800000 - 1, unsigned.
            const __m128i bits = _mm_castps_si128 (y);
            const __m128i twiceLessOne = _mm_sub_epi32 (_mm_add_epi32 (bits, bits), _mm_set1_epi32 (1));
            const __m128i specialLimit = _mm_set1_epi32 ((std::int32_t) (2u * 0x7f800000u - 1u));
            const __m128i special = _mm_cmpeq_epi32 (_mm_max_epu32 (twiceLessOne, specialLimit), twiceLessOne);

            const __m256d ylogx = _mm256_mul_pd (_mm256_cvtps_pd (y), _mm256_set1_pd (log2Of10));

            // |y log2 10| of 126 or more: near overflow or underflow.
            const __m256i magnitude = _mm256_and_si256 (_mm256_castpd_si256 (ylogx), _mm256_set1_epi64x (0x7fffffffffffffffll));
            const __m256i far = _mm256_cmpgt_epi64 (_mm256_srli_epi64 (magnitude, 47),
                                                    _mm256_set1_epi64x ((0x405f800000000000ll >> 47) - 1));
            const __m128i far32 = _mm256_castsi256_si128 (_mm256_permutevar8x32_epi32 (far, _mm256_setr_epi32 (0, 2, 4, 6, 0, 2, 4, 6)));
            fallback = _mm_movemask_ps (_mm_castsi128_ps (_mm_or_si128 (special, far32)));

            const __m256d shift = _mm256_set1_pd (0x1.8p+52 / 32);
            const __m256d shifted = _mm256_add_pd (ylogx, shift);
            const __m256i k = _mm256_castpd_si256 (shifted);
            const __m256d r = _mm256_sub_pd (ylogx, _mm256_sub_pd (shifted, shift));

            __m256i t = _mm256_i64gather_epi64 ((const long long*) exp2Table, _mm256_and_si256 (k, _mm256_set1_epi64x (31)), 8);
            t = _mm256_add_epi64 (t, _mm256_slli_epi64 (k, 47));

            const __m256d z = _mm256_fmadd_pd (_mm256_set1_pd (0x1.c6af84b912394p-5), r, _mm256_set1_pd (0x1.ebfce50fac4f3p-3));
            __m256d p = _mm256_fmadd_pd (_mm256_set1_pd (0x1.62e42ff0c52d6p-1), r, _mm256_set1_pd (1.0));
            p = _mm256_fmadd_pd (z, _mm256_mul_pd (r, r), p);
            return _mm256_cvtpd_ps (_mm256_mul_pd (p, _mm256_castsi256_pd (t)));
        }

        //==============================================================================
        // sin: below pi/4 the odd polynomial straight away; below 120 a reduction by n pi/2 and
        // the sine or cosine polynomial of the quadrant.

        TAVRO_FMA inline __m256d widenLaneMask (__m128i mask) noexcept
        {
            return _mm256_castsi256_pd (_mm256_cvtepi32_epi64 (mask));
        }

        TAVRO_FMA inline __m128 sinLanes (__m128 y, int& fallback) noexcept
        {
            // The library branches on the top twelve bits of |y| (exponent and three mantissa bits).
            const __m128i top = _mm_srli_epi32 (_mm_and_si128 (_mm_castps_si128 (y), _mm_set1_epi32 (0x7fffffff)), 20);
            const __m128i tiny = _mm_cmplt_epi32 (top, _mm_set1_epi32 (0x398));       // below 2^-12: sin y = y
            const __m128i belowQuarterPi = _mm_cmplt_epi32 (top, _mm_set1_epi32 (0x3f4));
            fallback = _mm_movemask_ps (_mm_castsi128_ps (_mm_cmpgt_epi32 (top, _mm_set1_epi32 (0x42e))));   // 120 and up

            const __m256d x = _mm256_cvtps_pd (y);

            // n = round (x 2 / pi) through a 2^24-scaled truncation, 0 where no reduction runs.
            const __m256d scaled = _mm256_mul_pd (x, _mm256_set1_pd (0x1.45F306DC9C883p+23));
            __m128i n = _mm_srai_epi32 (_mm_add_epi32 (_mm256_cvttpd_epi32 (scaled), _mm_set1_epi32 (0x800000)), 24);
            n = _mm_andnot_si128 (belowQuarterPi, n);
            __m256d reduced = _mm256_fnmadd_pd (_mm256_cvtepi32_pd (n), _mm256_set1_pd (0x1.921FB54442D18p0), x);
            reduced = _mm256_blendv_pd (reduced, x, widenLaneMask (belowQuarterPi));

            // Quadrants 1 and 2 take the negated argument, 2 and 3 the negated cosine; an odd
            // quadrant uses the cosine polynomial.
            const __m128i signBit = _mm_set1_epi32 ((std::int32_t) 0x80000000u);
            const __m256d negateArgument = widenLaneMask (_mm_and_si128 (_mm_slli_epi32 (_mm_add_epi32 (n, _mm_set1_epi32 (1)), 30), signBit));
            const __m256d negateCosine = widenLaneMask (_mm_and_si128 (_mm_slli_epi32 (n, 30), signBit));
            const __m256d sign = _mm256_and_pd (_mm256_set1_pd (-0.0), _mm256_castsi256_pd (_mm256_slli_epi64 (_mm256_castpd_si256 (negateArgument), 32)));
            const __m256d signCos = _mm256_and_pd (_mm256_set1_pd (-0.0), _mm256_castsi256_pd (_mm256_slli_epi64 (_mm256_castpd_si256 (negateCosine), 32)));
            const __m256d odd = widenLaneMask (_mm_cmpeq_epi32 (_mm_and_si128 (n, _mm_set1_epi32 (1)), _mm_set1_epi32 (1)));

            const __m256d xs = _mm256_xor_pd (reduced, sign);
            const __m256d x2 = _mm256_mul_pd (reduced, reduced);

            const __m256d x3 = _mm256_mul_pd (xs, x2);
            const __m256d s1 = _mm256_fmadd_pd (x2, _mm256_set1_pd (-0x1.994eb3774cf24p-13), _mm256_set1_pd (0x1.1107605230bc4p-7));
            const __m256d s = _mm256_fmadd_pd (x3, _mm256_set1_pd (-0x1.555545995a603p-3), xs);
            const __m256d sine = _mm256_fmadd_pd (_mm256_mul_pd (x3, x2), s1, s);

            const __m256d x4 = _mm256_mul_pd (x2, x2);
            const __m256d c2 = _mm256_fmadd_pd (x2, _mm256_set1_pd (0x1.99343027bf8c3p-16), _mm256_set1_pd (-0x1.6c087e89a359dp-10));
            const __m256d c1 = _mm256_fmadd_pd (x2, _mm256_set1_pd (-0x1.ffffffd0c621cp-2), _mm256_set1_pd (1.0));
            const __m256d c = _mm256_fmadd_pd (x4, _mm256_set1_pd (0x1.55553e1068f19p-5), c1);
            const __m256d cosine = _mm256_xor_pd (_mm256_fmadd_pd (_mm256_mul_pd (x4, x2), c2, c), signCos);

            const __m128 result = _mm256_cvtpd_ps (_mm256_blendv_pd (sine, cosine, odd));
            return _mm_blendv_ps (result, y, _mm_castsi128_ps (tiny));
        }

        //==============================================================================
        template <typename Lanes, typename Plain>
        TAVRO_FMA inline void eachInFours (const float* in, float* out, int n, Lanes lanes, Plain plain) noexcept
        {
            int i = 0;
            for (; i + 4 <= n; i += 4)
            {
                alignas (16) float x[4];
                _mm_store_ps (x, _mm_loadu_ps (in + i));
                int fallback = 0;
                _mm_storeu_ps (out + i, lanes (_mm_load_ps (x), fallback));
                for (int lane = 0; fallback != 0; ++lane, fallback >>= 1)
                    if ((fallback & 1) != 0)
                        plain (x + lane, out + i + lane, 1);
            }

            if (i < n)
            {
                alignas (16) float x[4] = {}, y[4];
                std::memcpy (x, in + i, sizeof (float) * (size_t) (n - i));
                int fallback = 0;
                _mm_store_ps (y, lanes (_mm_load_ps (x), fallback));
                for (int lane = 0; lane < n - i; ++lane)
                    out[i + lane] = y[lane];
                for (int lane = 0; lane < n - i; ++lane)
                    if ((fallback >> lane & 1) != 0)
                        plain (x + lane, out + i + lane, 1);
            }
        }

        TAVRO_FMA void sinFused (const float* in, float* out, int n) noexcept
        {
            eachInFours (in, out, n, [] (__m128 y, int& f) TAVRO_FMA { return sinLanes (y, f); }, sinPlain);
        }

        TAVRO_FMA void exp10Fused (const float* in, float* out, int n) noexcept
        {
            eachInFours (in, out, n, [] (__m128 y, int& f) TAVRO_FMA { return exp10Lanes (y, f); }, exp10Plain);
        }

        /** The library takes its fused forms where the processor has both AVX2 and FMA; ours
            must then agree with it on a spread of values, or we leave it to the library. */
        bool fusedFormsAgree() noexcept
        {
            __builtin_cpu_init();
            if (! (__builtin_cpu_supports ("avx2") && __builtin_cpu_supports ("fma")))
                return false;

            constexpr int count = 1024;
            float in[count], fast[count], plain[count];
            for (int i = 0; i < count; ++i)
                in[i] = 0.123457f * (float) (i - count / 2) + 1.0e-3f * (float) (i % 7);

            using Form = void (*) (const float*, float*, int) noexcept;
            const Form pairs[2][2] = { { sinFused, sinPlain }, { exp10Fused, exp10Plain } };
            for (const auto& pair : pairs)
            {
                pair[0] (in, fast, count);
                pair[1] (in, plain, count);
                if (std::memcmp (fast, plain, sizeof fast) != 0)
                    return false;
            }
            return true;
        }

        const bool useFused = fusedFormsAgree();

        // tanh has no fused steps: eight lanes of the same operations where AVX2 is there.
        __attribute__ ((target ("avx2"))) void tanhWide (const float* in, float* out, int n) noexcept
        {
            vectortanh::tanhArray<8> (in, out, n);
        }

        const bool useWideTanh = []
        {
            __builtin_cpu_init();
            return __builtin_cpu_supports ("avx2") != 0;
        }();
       #endif
    }

    void tanhEach (const float* in, float* out, int n) noexcept
    {
       #if TAVRO_VECTOR_MATH
        if (useWideTanh)
            return tanhWide (in, out, n);
       #endif
       #if TAVRO_VECTOR_TANH
        vectortanh::tanhArray<4> (in, out, n);
       #else
        for (int i = 0; i < n; ++i)
            out[i] = std::tanh (in[i]);
       #endif
    }

    void sinEach (const float* in, float* out, int n) noexcept
    {
       #if TAVRO_VECTOR_MATH
        if (useFused)
            return sinFused (in, out, n);
       #endif
        sinPlain (in, out, n);
    }

    void exp10Each (const float* in, float* out, int n) noexcept
    {
       #if TAVRO_VECTOR_MATH
        if (useFused)
            return exp10Fused (in, out, n);
       #endif
        exp10Plain (in, out, n);
    }

    bool vectorMathActive() noexcept
    {
       #if TAVRO_VECTOR_MATH
        return useFused;
       #else
        return false;
       #endif
    }
}
